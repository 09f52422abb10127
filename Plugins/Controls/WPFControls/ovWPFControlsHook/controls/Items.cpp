#include "Items.h"

#include "../recognition/KindInfo.h"

#include <string>
#include <string_view>

namespace {

bool IsObject(const VARIANT& v) noexcept {
    return v.vt == VT_DISPATCH || v.vt == (VT_DISPATCH | VT_BYREF);
}

// The value behind VARIANTs by reference to VARIANTs (scripts pass variables that way, VBScript arrays
// twice over). A reference to nothing, or a chain too long to be a script's, reads as empty.
const VARIANT& Deref(const VARIANT& v) noexcept {
    static const VARIANT empty{};
    constexpr int kMaxHops = 8;
    const VARIANT* p = &v;
    for (int hops = 0; p->vt == (VT_VARIANT | VT_BYREF); ++hops) {
        if (!p->pvarVal || hops == kMaxHops) return empty;
        p = p->pvarVal;
    }
    return *p;
}

[[noreturn]] void RaiseItemNotFound(std::wstring_view name, LONG count) {
    throw CovInvokeException(ov::Format(ov::texts::ItemNotFound, std::wstring(name).c_str()).c_str(),
                             ov::Format(ov::texts::ItemTotal, static_cast<int>(count)).c_str(),
                             CovInvokeException::Error);
}

[[noreturn]] void RaiseInvalidItemList() {
    throw CovInvokeException(ov::texts::InvalidItemList, ov::texts::ItemListFormats,
                             CovInvokeException::Error);
}

bool EqualIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) return false;
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

// Whether the item's text is empty or shared (apart from the case of A to Z) with another item.
bool NeedsIndex(CovCtrlWithItems& items, LONG index, const ov::Bstr& text) {
    if (text.Empty()) return true;
    const LONG count = items.GetItemCount();
    for (LONG i = 0; i < count; ++i)
        if (i != index && EqualIgnoringAsciiCase(items.GetItemText(i).View(), text.View())) return true;
    return false;
}

} // namespace

// --- the default item source ----------------------------------------------------------------------------

LONG CovWPFCtrlWithItems::GetItemCount() {
    return ov::GetInt(ov::GetObjectByName(GetClrObject(), L"Items"), L"Count");
}

ov::Bstr CovWPFCtrlWithItems::GetItemText(LONG index) {
    CovDispDriver items = ov::GetObjectByName(GetClrObject(), L"Items");
    return ov::ItemText(ov::Call(items, L"get_Item", ov::Variant::Int(index)), textMember_);
}

HRESULT CovWPFCtrlWithItems::ItemCountMember(LONG* count) {
    return Member([&] {
        ov::RequireOut(count);
        *count = 0;
        EnterCall();
        *count = GetItemCount();
    });
}

HRESULT CovWPFCtrlWithItems::SelectedIndexMember(LONG* index) {
    return Member([&] {
        ov::RequireOut(index);
        EnterCall();
        *index = ov::GetInt(GetClrObject(), L"SelectedIndex");
    });
}

namespace ov {

bool VariantToInt(const VARIANT& argument, LONG& result) {
    const VARIANT& value = Deref(argument);
    constexpr LONGLONG kMax = 0x7FFFFFFF;
    constexpr LONGLONG kMin = -0x80000000LL;
    switch (value.vt) {
    case VT_I1:
        result = static_cast<signed char>(value.cVal);
        return true;
    case VT_UI1:
        result = value.bVal;
        return true;
    case VT_I2:
        result = value.iVal;
        return true;
    case VT_UI2:
        result = value.uiVal;
        return true;
    case VT_I4:
        result = value.lVal;
        return true;
    case VT_INT:
        result = value.intVal;
        return true;
    case VT_UI4:
        if (value.ulVal > kMax) return false;
        result = static_cast<LONG>(value.ulVal);
        return true;
    case VT_UINT:
        if (value.uintVal > kMax) return false;
        result = static_cast<LONG>(value.uintVal);
        return true;
    case VT_I8:
        if (value.llVal < kMin || value.llVal > kMax) return false;
        result = static_cast<LONG>(value.llVal);
        return true;
    case VT_UI8:
        if (value.ullVal > static_cast<ULONGLONG>(kMax)) return false;
        result = static_cast<LONG>(value.ullVal);
        return true;
    case VT_BOOL:
        result = value.boolVal ? 1 : 0;
        return true;
    default:
        return false;
    }
}

std::optional<Bstr> ValueToText(const VARIANT& argument) {
    const VARIANT& value = Deref(argument);
    Variant text;
    // The conversion's string is taken over, not copied again: every item text of a list passes here.
    if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&value), 0, VT_BSTR)))
        return Bstr::Adopt(text.Detach().bstrVal);
    if (CovWPFCtrl::IsVariantEmpty(value)) return Bstr(L"");
    // Only an object can still have a text of its own (a boxed primitive); arrays and the like have none.
    if (!IsObject(value)) return std::nullopt;
    CovDispDriver object;
    object.AttachVariant(value);
    CovDispDriver type;
    type.AttachVariant(Call(object, L"GetType"));
    if (!GetBool(type, L"IsPrimitive")) return std::nullopt;
    return TextOf(Call(object, L"ToString"));
}

Bstr ItemText(const VARIANT& argument, const wchar_t* textMember) {
    const VARIANT& v = Deref(argument);
    if (std::optional<Bstr> text = ValueToText(v)) return std::move(*text);
    if (textMember && IsObject(v)) {
        CovDispDriver object;
        object.AttachVariant(v);
        // The text members ("Content", "Header") are properties: read, not invoked as methods.
        if (DISPID id = DISPID_UNKNOWN; object.HasMember(textMember, &id))
            if (std::optional<Bstr> text = ValueToText(object.GetProperty(id))) return std::move(*text);
    }
    return Bstr(L"");
}

LONG FindItem(CovCtrlWithItems& items, const VARIANT& argument, Bstr* name) {
    const VARIANT& item = Deref(argument);
    const LONG count = items.GetItemCount();

    if (LONG index = 0; VariantToInt(item, index)) {
        std::wstring decimal = Format(L"%d", static_cast<int>(index));
        if (name) *name = Bstr(decimal);
        if (index < 0 || index >= count) RaiseItemNotFound(decimal, count);
        return index;
    }

    Variant pattern;
    if (FAILED(VariantChangeType(&pattern, const_cast<VARIANT*>(&item), 0, VT_BSTR)))
        RaiseItemNotFound(L"", count);
    const wchar_t* mask = pattern.bstrVal ? pattern.bstrVal : L"";
    for (LONG i = 0; i < count; ++i) {
        Bstr text = items.GetItemText(i);
        if (MatchMask(mask, text.c_str())) {
            if (name) *name = std::move(text);
            return i;
        }
    }
    RaiseItemNotFound(mask, count);
}

Bstr BuildItemList(CovCtrlWithItems& items) {
    const LONG count = items.GetItemCount();
    const std::wstring_view separator = items.ListSeparator().View();
    std::wstring list;
    for (LONG i = 0; i < count; ++i) {
        if (i > 0) list += separator;
        list += items.GetItemText(i).View();
    }
    return Bstr(list);
}

std::vector<LONG> ParseItemList(CovCtrlWithItems& items, const VARIANT& argument) {
    const VARIANT& list = Deref(argument);
    std::vector<LONG> indexes;

    // An array of VARIANT, held directly or (a script's array variable) by reference.
    if (list.vt == (VT_ARRAY | VT_VARIANT) || list.vt == (VT_ARRAY | VT_VARIANT | VT_BYREF)) {
        SAFEARRAY* array = list.vt & VT_BYREF ? (list.pparray ? *list.pparray : nullptr) : list.parray;
        if (array && SafeArrayGetDim(array) == 1 && SafeArrayGetElemsize(array) == sizeof(VARIANT)) {
            LONG lower = 0, upper = -1;
            ThrowIfFailed(SafeArrayGetLBound(array, 1, &lower));
            ThrowIfFailed(SafeArrayGetUBound(array, 1, &upper));
            for (LONG i = lower; i <= upper; ++i) {
                Variant element;
                ThrowIfFailed(SafeArrayGetElement(array, &i, static_cast<VARIANT*>(&element)));
                indexes.push_back(FindItem(items, element));
            }
            return indexes;
        }
    }

    // A script's array object: "length" and the elements under their decimal names.
    if (Variant object; SUCCEEDED(VariantChangeType(&object, const_cast<VARIANT*>(&list), 0, VT_DISPATCH)) &&
                        object.pdispVal) {
        CovDispDriver array(object.pdispVal);
        const LONG length = GetInt(array, L"length");
        for (LONG i = 0; i < length; ++i) {
            std::wstring key = Format(L"%d", static_cast<int>(i));
            indexes.push_back(FindItem(items, GetRaw(array, key.c_str())));
        }
        return indexes;
    }

    if (LONG single = 0; VariantToInt(list, single)) RaiseInvalidItemList();

    Variant text;
    if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&list), 0, VT_BSTR))) RaiseInvalidItemList();
    const std::wstring_view names(text.bstrVal ? text.bstrVal : L"",
                                  text.bstrVal ? SysStringLen(text.bstrVal) : 0);
    const std::wstring_view separator = items.ListSeparator().View();
    auto resolve = [&](std::wstring_view piece) {
        if (!piece.empty()) indexes.push_back(FindItem(items, Variant::String(piece)));
    };
    if (separator.empty()) {
        // Nothing to cut at: the whole text names one item.
        resolve(names);
        return indexes;
    }
    size_t start = 0;
    for (size_t at; (at = names.find(separator, start)) != std::wstring_view::npos;
         start = at + separator.size())
        resolve(names.substr(start, at - start));
    resolve(names.substr(start));
    return indexes;
}

Variant GetItemDesignator(CovCtrlWithItems& items, LONG index) {
    Bstr text = items.GetItemText(index);
    if (NeedsIndex(items, index, text)) return Variant::Int(index);
    return Variant::String(text.View());
}

Bstr GetItemDesignatorText(CovCtrlWithItems& items, LONG index) {
    Bstr text = items.GetItemText(index);
    if (NeedsIndex(items, index, text)) return Bstr(Format(L"[%d]", static_cast<int>(index)));
    return text;
}

} // namespace ov
