// Items of a control, addressed by index from 0 or by a text pattern: the item source of a wrapper, the
// text of an item object, the resolution of an item argument, the joined item list, multi-item
// arguments and the designator the recorder writes for an item.
#pragma once

#include "ControlBase.h"

#include <optional>
#include <vector>

// The item source of a wrapper with items, and its list separator ("|" until a script replaces it; any
// text is accepted, also the empty one).
class CovCtrlWithItems {
public:
    virtual ov::Bstr GetItemText(LONG index) = 0;
    virtual LONG GetItemCount() = 0;

    const ov::Bstr& ListSeparator() const noexcept { return listSeparator_; }
    void SetListSeparator(ov::Bstr separator) noexcept { listSeparator_ = std::move(separator); }

protected:
    CovCtrlWithItems() : listSeparator_(L"|") {}
    ~CovCtrlWithItems() = default;

private:
    ov::Bstr listSeparator_;
};

// A wrapper whose items are the element's "Items" collection, each item's text taken by ov::ItemText
// with the kind's text member ("Content" unless the kind says otherwise).
class CovWPFCtrlWithItems : public CovWPFCtrl, public CovCtrlWithItems {
public:
    // "Items"."Count".
    LONG GetItemCount() override;
    // "Items"."get_Item"(index) through ov::ItemText.
    ov::Bstr GetItemText(LONG index) override;

    const wchar_t* TextMember() const noexcept { return textMember_; }

protected:
    explicit CovWPFCtrlWithItems(const wchar_t* textMember = L"Content") noexcept : textMember_(textMember) {}

    // Member bodies that several kinds share under their own names: the number of items (the combo box's
    // wItemCount, the tab control's wTabCount) and the element's "SelectedIndex" as it gives it, -1
    // included (wSelectedItem, wFocusedTab).
    HRESULT ItemCountMember(LONG* count);
    HRESULT SelectedIndexMember(LONG* index);

private:
    const wchar_t* textMember_;
};

namespace ov::texts {
inline constexpr const wchar_t* ItemNotFound = L"The control item '%s' not found.";
inline constexpr const wchar_t* ItemTotal = L"Total number of items: %d.";
inline constexpr const wchar_t* InvalidItemList = L"Invalid item list.";
inline constexpr const wchar_t* ItemListFormats =
    L"The following formats are supported:\r\n1. A string of item names to select separated by the value of "
    L"the wListSeparator property.\r\n2. An array of item names or indexes.";
} // namespace ov::texts

namespace ov {

// The integer of an item index or a state argument: the integer types (unsigned and 64-bit ones only
// within 0x7FFFFFFF, resp. the 32-bit range), a boolean as 1 or 0, and the same behind a VARIANT by
// reference. False for everything else (strings, floating point, empty, objects, arrays, other references).
bool VariantToInt(const VARIANT& value, LONG& result);

// The text of a plain value: its string conversion, "" for an empty value, or the "ToString" of an object
// whose type "IsPrimitive". Nothing for other objects and for values that have no text form.
std::optional<Bstr> ValueToText(const VARIANT& value);

// The text of an item: its own text (ValueToText), else the text of its `textMember` property, else "".
Bstr ItemText(const VARIANT& item, const wchar_t* textMember);

// An item argument resolved to an index: an integer is an index below the count; anything else is
// turned into a string and matched as a pattern (ov::MatchMask) against the item texts in order. `name`
// receives the index in decimal, or the text of the matching item. Raises "The control item '%s' not
// found." with "Total number of items: %d.".
LONG FindItem(CovCtrlWithItems& items, const VARIANT& item, Bstr* name = nullptr);

// Every item's text, joined by the separator (count - 1 separators, also around empty texts).
Bstr BuildItemList(CovCtrlWithItems& items);

// The indexes of a multi-item argument, in order, duplicates kept: an array of VARIANT (also a script's
// array variable held by reference), a script array object ("length", "0", "1", ...), or a string of item
// names cut at every occurrence of the whole separator; empty pieces are skipped. An empty separator cuts
// nothing: the whole string is one item name. A missing (empty) argument reads as the empty string and
// gives no indexes. A single index is no list: "Invalid item list.".
std::vector<LONG> ParseItemList(CovCtrlWithItems& items, const VARIANT& list);

// How the recorder names an item: its text (VT_BSTR), or its index (VT_I4) when the text is empty or
// another item has the same text apart from the case of A to Z.
Variant GetItemDesignator(CovCtrlWithItems& items, LONG index);
// The same as text inside an item path: the text, or the index as "[%d]".
Bstr GetItemDesignatorText(CovCtrlWithItems& items, LONG index);

} // namespace ov
