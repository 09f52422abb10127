// The host's object service and log, taken from the hook object at initialisation. Either may be
// missing: without the object service no host object can be found; without the log, log entries are
// dropped.
#pragma once

#include "com/ComPtr.h"
#include "ovHostIntf.h"

namespace ov::HostServices {

// Queries the hook object for both services (absent ones stay null).
void Attach(IUnknown* hook);
void Set(IovObjectService* service, IovHostLog* log);
void Clear();
ComPtr<IovObjectService> ObjectService();
ComPtr<IovHostLog> Log();

} // namespace ov::HostServices
