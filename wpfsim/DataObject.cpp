#include "DataObject.h"

#include "Items.h"

namespace wpfsim {

DataObject::DataObject(std::shared_ptr<Runtime> runtime, std::wstring className)
    : ClrObject(std::move(runtime), std::move(className)) {}

void DataObject::SetValue(const std::wstring& name, ov::Variant value) {
    for (Entry& entry : values_)
        if (entry.name == name) {
            entry.value = std::move(value);
            return;
        }
    values_.push_back({name, std::move(value)});
    names_.push_back(name);
    // Strings are handed out as the application hands every .NET string.
    AddProperty(
        name,
        [this, name] {
            const ov::Variant& v = *Value(name);
            return v.vt == VT_BSTR ? Str(v.bstrVal ? v.bstrVal : L"") : v;
        },
        [this, name](const VARIANT& v) { SetValue(name, ov::Variant(v)); });
}

const ov::Variant* DataObject::Value(std::wstring_view name) const {
    for (const Entry& entry : values_)
        if (entry.name == name) return &entry.value;
    return nullptr;
}

std::optional<ov::Variant> ReadPath(const ov::Variant& source, std::wstring_view path) {
    ov::Variant current = source;
    if (path == L".") path = {};
    while (!path.empty()) {
        const size_t dot = path.find(L'.');
        const std::wstring_view step = path.substr(0, dot);
        path = dot == std::wstring_view::npos ? std::wstring_view() : path.substr(dot + 1);
        const VARIANT& v = current;
        if (v.vt != VT_DISPATCH && v.vt != VT_UNKNOWN) return std::nullopt;
        ov::ComPtr<ClrObject> object = ObjectOf(v);
        auto* data = dynamic_cast<DataObject*>(object.Get());
        const ov::Variant* next = data ? data->Value(step) : nullptr;
        if (!next) return std::nullopt;
        current = *next;
    }
    return current;
}

std::wstring DisplayText(const VARIANT& value) {
    if (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) {
        ov::ComPtr<ClrObject> object = ObjectOf(value);
        return object ? object->ClassName() : std::wstring();
    }
    return PrimitiveText(value);
}

} // namespace wpfsim
