#include "ClrValue.h"

namespace wpfsim {

ClrValue::ClrValue(std::shared_ptr<Runtime> runtime, std::wstring className, ov::Variant value)
    : ClrObject(std::move(runtime), std::move(className)), value_(std::move(value)) {
    AddProperty(L"OleValue", [this] { return value_; });
    SetDefaultMember(L"OleValue");
    AddMethod(L"ToString", 0, [this](const Args&) {
        if (value_.vt == VT_BOOL) return Str(value_.boolVal != VARIANT_FALSE ? L"True" : L"False");
        return Str(TextOf(value_));
    });
    if (ClassName() == L"System.String")
        AddProperty(L"Length", [this] { return ov::Variant::Int(static_cast<LONG>(TextOf(value_).size())); });
}

ov::Variant Box(const std::shared_ptr<Runtime>& runtime, std::wstring className, ov::Variant value) {
    auto boxed = ov::Create<ClrValue>(runtime, std::move(className), std::move(value));
    return ClrObject::Obj(boxed.Get());
}

} // namespace wpfsim
