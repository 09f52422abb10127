#include "HostServices.h"

namespace ov::HostServices {
namespace {
// Set and cleared by Initialize and Finalize, which the host calls from one thread.
ComPtr<IovObjectService> g_service;
ComPtr<IovHostLog> g_log;
} // namespace

void Attach(IUnknown* hook) {
    Set(QueryAs<IovObjectService>(hook).Get(), QueryAs<IovHostLog>(hook).Get());
}

void Set(IovObjectService* service, IovHostLog* log) {
    g_service = service;
    g_log = log;
}

void Clear() {
    Set(nullptr, nullptr);
}
ComPtr<IovObjectService> ObjectService() {
    return g_service;
}
ComPtr<IovHostLog> Log() {
    return g_log;
}

} // namespace ov::HostServices
