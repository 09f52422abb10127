#include "ByName.h"

#include <vector>

namespace ovhost {
namespace {

std::optional<DISPID> IdOf(IDispatch* object, std::wstring_view name) {
    if (!object) return std::nullopt;
    std::wstring copy(name);
    LPOLESTR names[] = {copy.data()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return std::nullopt;
    return id;
}

// A .NET value that converts to a type, through the default value of a .NET string object.
std::optional<ov::Variant> Converted(std::optional<ov::Variant> value, VARTYPE type) {
    if (!value) return std::nullopt;
    ov::Variant out;
    if (FAILED(VariantChangeType(&out, &*value, 0, type))) return std::nullopt;
    return out;
}

} // namespace

bool HasMember(IDispatch* object, std::wstring_view name) {
    return IdOf(object, name).has_value();
}

std::optional<ov::Variant> ByName(IDispatch* object, std::wstring_view name,
                                  std::initializer_list<ov::Variant> arguments) {
    const std::optional<DISPID> id = IdOf(object, name);
    if (!id) return std::nullopt;
    // DISPPARAMS take the arguments last first.
    std::vector<VARIANT> reversed(arguments.size());
    size_t i = arguments.size();
    for (const ov::Variant& a : arguments)
        reversed[--i] = a;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    ov::Variant result;
    if (FAILED(object->Invoke(*id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                              &params, &result, nullptr, nullptr)))
        return std::nullopt;
    return result;
}

std::optional<std::wstring> ValueText(const VARIANT& value) {
    ov::Variant text;
    if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&value), 0, VT_BSTR)))
        return std::wstring(ov::Bstr::CopyOf(text.bstrVal).View());
    if (value.vt == VT_EMPTY || value.vt == VT_NULL || (value.vt == VT_DISPATCH && !value.pdispVal))
        return std::wstring();
    if (value.vt != VT_DISPATCH) return std::nullopt;
    ov::ComPtr<IDispatch> type = ObjectByName(value.pdispVal, L"GetType");
    const auto primitive = BoolByName(type.Get(), L"IsPrimitive");
    if (!primitive || !*primitive || !**primitive) return std::nullopt;
    return TextByName(value.pdispVal, L"ToString");
}

std::optional<std::wstring> TextByName(IDispatch* object, std::wstring_view name,
                                       std::initializer_list<ov::Variant> arguments) {
    const std::optional<ov::Variant> value = ByName(object, name, arguments);
    return value ? ValueText(*value) : std::nullopt;
}

std::optional<LONG> IntByName(IDispatch* object, std::wstring_view name,
                              std::initializer_list<ov::Variant> arguments) {
    const auto value = Converted(ByName(object, name, arguments), VT_I4);
    return value ? std::optional<LONG>(value->lVal) : std::nullopt;
}

std::optional<double> NumberByName(IDispatch* object, std::wstring_view name) {
    const auto value = Converted(ByName(object, name), VT_R8);
    return value ? std::optional<double>(value->dblVal) : std::nullopt;
}

std::optional<std::optional<bool>> BoolByName(IDispatch* object, std::wstring_view name,
                                              std::initializer_list<ov::Variant> arguments) {
    std::optional<ov::Variant> value = ByName(object, name, arguments);
    if (!value) return std::nullopt;
    if (value->vt == VT_NULL || value->vt == VT_EMPTY || (value->vt == VT_DISPATCH && !value->pdispVal))
        return std::optional<bool>();
    const auto flag = Converted(std::move(value), VT_BOOL);
    if (!flag) return std::nullopt;
    return std::optional<bool>(flag->boolVal != VARIANT_FALSE);
}

ov::ComPtr<IDispatch> ObjectByName(IDispatch* object, std::wstring_view name,
                                   std::initializer_list<ov::Variant> arguments) {
    const std::optional<ov::Variant> value = ByName(object, name, arguments);
    if (!value || value->vt != VT_DISPATCH) return nullptr;
    return value->pdispVal;
}

} // namespace ovhost
