// Boxed .NET values. The host hands .NET strings (and other values it does not turn into VARIANTs
// itself) as objects whose "OleValue" gives the plain value; each reading makes a new object, as boxing
// does, so two readings are never the same reference.
#pragma once

#include "ClrObject.h"

namespace wpfsim {

class ClrValue : public ClrObject {
public:
    // "OleValue" and "ToString" for every value; "Length" for a System.String.
    ClrValue(std::shared_ptr<Runtime> runtime, std::wstring className, ov::Variant value);
    const VARIANT& Value() const noexcept { return value_; }

private:
    ov::Variant value_;
};

// A new boxed value as an object reference (VT_DISPATCH).
ov::Variant Box(const std::shared_ptr<Runtime>& runtime, std::wstring className, ov::Variant value);

} // namespace wpfsim
