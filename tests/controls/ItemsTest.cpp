// Item addressing: index and pattern arguments, item texts of .NET objects, the joined item list, multi-item
// arguments in every shape scripts pass them, the recorder's designators, and the default item source.
#include "ControlFixture.h"

#include "controls/Items.h"
#include "wpfsim/ClrValue.h"

namespace {

using namespace ovtest;

// An item source of plain texts that counts how often it is asked.
class ListSource : public CovCtrlWithItems {
public:
    explicit ListSource(std::vector<std::wstring> texts, const wchar_t* separator = L"|")
        : texts_(std::move(texts)) {
        SetListSeparator(ov::Bstr(separator));
    }
    ov::Bstr GetItemText(LONG index) override {
        ++textReads;
        return ov::Bstr(texts_.at(static_cast<size_t>(index)));
    }
    LONG GetItemCount() override {
        ++countReads;
        return static_cast<LONG>(texts_.size());
    }
    long textReads = 0, countReads = 0;

private:
    std::vector<std::wstring> texts_;
};

inline ov::Variant Null() {
    ov::Variant v;
    v.vt = VT_NULL;
    return v;
}

// A VARIANT by reference to `target`, as scripts pass variables (the target must outlive it).
inline VARIANT RefTo(VARIANT& target) {
    VARIANT v;
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = &target;
    return v;
}

ov::Variant Typed(VARTYPE vt, LONGLONG value) {
    ov::Variant v;
    v.vt = VT_I8;
    v.llVal = value;
    EXPECT_EQ(VariantChangeType(&v, &v, 0, vt), S_OK);
    return v;
}

void ExpectItemNotFound(const std::optional<CovInvokeException>& e, const std::wstring& item, int total) {
    ExpectError(e, L"The control item '" + item + L"' not found.",
                L"Total number of items: " + std::to_wstring(total) + L".");
}

TEST(FindItemTest, IndexesAndPatterns) {
    ListSource items({L"Apple", L"Apricot", L"Cherry", L"", L"2", L"Star*", L"1"});
    wpfsim::Application app;
    ov::Variant cherry = ov::Variant::String(L"Cherry");
    LONG two = 2;
    VARIANT refI4;
    refI4.vt = VT_I4 | VT_BYREF;
    refI4.plVal = &two;
    // The argument; the index found (-1: none); the name handed out, or the item of the error message.
    const std::tuple<ov::Variant, LONG, std::wstring> cases[] = {
        // What VariantToInt takes is an index (VariantToIntTest); other values, also an integer beyond a LONG
        // or by reference, are names or patterns by their text ("1" is item 6).
        {Typed(VT_I4, 2), 2, L"2"},
        {Typed(VT_I4, 7), -1, L"7"},
        {Typed(VT_I4, -1), -1, L"-1"},
        {Typed(VT_BOOL, VARIANT_TRUE), 1, L"1"},
        {ov::Variant::String(L"1"), 6, L"1"},
        {Typed(VT_R8, 1), 6, L"1"},
        {refI4, 4, L"2"},
        {Typed(VT_UI4, 0x80000000LL), -1, L"2147483648"},
        // Patterns match the whole text, case-sensitively; "**" is a literal star.
        {ov::Variant::String(L"Ap*"), 0, L"Apple"},
        {ov::Variant::String(L"apple"), -1, L"apple"},
        {ov::Variant::String(L"?pricot"), 1, L"Apricot"},
        {ov::Variant::String(L"*rr*"), 2, L"Cherry"},
        {ov::Variant::String(L"Star**"), 5, L"Star*"},
        // The empty text, no text, and texts by reference or as .NET strings.
        {ov::Variant::String(L""), 3, L""},
        {ov::Variant(), 3, L""},
        {Null(), -1, L""},
        {RefTo(cherry), 2, L"Cherry"},
        {wpfsim::Box(app.SharedRuntime(), L"System.String", cherry), 2, L"Cherry"}};
    int row = 0;
    for (const auto& [argument, expected, text] : cases) {
        SCOPED_TRACE(row++);
        ov::Bstr name(L"untouched");
        LONG index = -1;
        auto e = Raised([&] { index = ov::FindItem(items, argument, &name); });
        if (expected < 0) {
            ExpectItemNotFound(e, text, 7);
        } else {
            ASSERT_FALSE(e) << std::wstring(e->Message().View());
            EXPECT_EQ(index, expected);
            EXPECT_EQ(name.View(), text);
        }
    }
    ListSource none({});
    ExpectItemNotFound(Raised([&] { ov::FindItem(none, ov::Variant::Int(0)); }), L"0", 0);
    ExpectItemNotFound(Raised([&] { ov::FindItem(none, ov::Variant::String(L"*")); }), L"*", 0);
}

TEST(VariantToIntTest, IntegersWithinALongBooleansAndVariantReferences) {
    ov::Variant inner = Typed(VT_UI4, 0x7FFFFFFF);
    LONG five = 5;
    VARIANT refI4;
    refI4.vt = VT_I4 | VT_BYREF;
    refI4.plVal = &five;
    // The value; what it converts to (nothing: refused).
    const std::pair<ov::Variant, std::optional<LONG>> cases[] = {
        // Each integer type up to the ends of a LONG, and one past them.
        {Typed(VT_I1, -128), -128},
        {Typed(VT_UI1, 255), 255},
        {Typed(VT_I2, -32768), -32768},
        {Typed(VT_UI2, 65535), 65535},
        {Typed(VT_I4, -0x7FFFFFFF - 1), -0x7FFFFFFF - 1},
        {Typed(VT_INT, 0x7FFFFFFF), 0x7FFFFFFF},
        {Typed(VT_UI4, 0x7FFFFFFF), 0x7FFFFFFF},
        {Typed(VT_UI4, 0x80000000LL), std::nullopt},
        {Typed(VT_UINT, 0x7FFFFFFF), 0x7FFFFFFF},
        {Typed(VT_UINT, 0x80000000LL), std::nullopt},
        {Typed(VT_I8, 0x7FFFFFFF), 0x7FFFFFFF},
        {Typed(VT_I8, -0x80000000LL), -0x7FFFFFFF - 1},
        {Typed(VT_I8, 0x80000000LL), std::nullopt},
        {Typed(VT_I8, -0x80000001LL), std::nullopt},
        {Typed(VT_UI8, 0x7FFFFFFF), 0x7FFFFFFF},
        {Typed(VT_UI8, 0x80000000LL), std::nullopt},
        {Typed(VT_BOOL, VARIANT_TRUE), 1},
        {Typed(VT_BOOL, VARIANT_FALSE), 0},
        // A variant by reference is followed; a reference to an integer and everything else is no integer.
        {RefTo(inner), 0x7FFFFFFF},
        {refI4, std::nullopt},
        {ov::Variant::String(L"1"), std::nullopt},
        {Typed(VT_R8, 1), std::nullopt},
        {ov::Variant(), std::nullopt},
        {Null(), std::nullopt},
    };
    int row = 0;
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(row++);
        LONG result = 12345;
        const bool converted = ov::VariantToInt(value, result);
        EXPECT_EQ(converted ? std::optional<LONG>(result) : std::nullopt, expected);
    }
}

TEST(BuildItemListTest, SeparatorBetweenEveryTwoItems) {
    const std::tuple<std::vector<std::wstring>, const wchar_t*, const wchar_t*> cases[] = {
        {{L"a", L"", L"b"}, L"|", L"a||b"}, {{L"a", L"", L"b"}, L", ", L"a, , b"},
        {{L"a", L"", L"b"}, L"", L"ab"},    {{}, L"|", L""},
        {{L"only"}, L"|", L"only"},         {{L"", L""}, L"|", L"|"},
        {{L"x|y", L"z"}, L"|", L"x|y|z"}};
    for (const auto& [texts, separator, list] : cases) {
        ListSource items(texts, separator);
        EXPECT_EQ(ov::BuildItemList(items).View(), list);
        EXPECT_EQ(items.countReads, 1);
        EXPECT_EQ(items.textReads, static_cast<long>(texts.size()));
    }
}

// Linear: each item's text is read once by the list and by each lookup.
TEST(ItemsCostTest, ListAndLookupAreLinearInTheNumberOfItems) {
    constexpr LONG kCount = 20000;
    std::vector<std::wstring> texts;
    size_t length = kCount - 1; // the separators
    for (LONG i = 0; i < kCount; ++i) {
        texts.push_back(L"Item " + std::to_wstring(i));
        length += texts.back().size();
    }
    ListSource items(texts);
    ov::Bstr list = ov::BuildItemList(items);
    EXPECT_EQ(ov::FindItem(items, ov::Variant::String(L"Item 19999")), kCount - 1);
    ExpectItemNotFound(Raised([&] { ov::FindItem(items, ov::Variant::String(L"*x")); }), L"*x", kCount);
    EXPECT_EQ(list.Length(), length);
    EXPECT_EQ(items.textReads, 3 * kCount);
}

class ParseItemListTest : public testing::Test {
protected:
    std::vector<std::wstring> texts_ = {L"a", L"b", L"c", L"2", L"d e", L"x, y"};
    wpfsim::Application app_;

    // A script engine's array object: "length" and the elements by their decimal names.
    ov::Variant ScriptArray(std::vector<ov::Variant> elements, LONG length) {
        auto array = ov::Create<wpfsim::ClrObject>(app_.SharedRuntime(), L"JScriptTypeInfo");
        array->AddProperty(L"length", [length] { return ov::Variant::Int(length); });
        for (size_t i = 0; i < elements.size(); ++i)
            array->AddProperty(std::to_wstring(i), [value = elements[i]] { return value; });
        return ov::Variant::Dispatch(array->NewDispatch().Get());
    }
};

TEST_F(ParseItemListTest, StringsAreCutAtTheWholeSeparator) {
    // The separator, the names, the indexes, or the item of the error when one is not found.
    const std::tuple<const wchar_t*, const wchar_t*, std::vector<LONG>, const wchar_t*> cases[] = {
        {L"|", L"a|b|a", {0, 1, 0}, nullptr},
        {L"|", L"a||b", {0, 1}, nullptr},
        {L"|", L"|a|", {0}, nullptr},
        {L"|", L"", {}, nullptr},
        {L"|", L"2", {3}, nullptr}, // a name, not the index 2
        {L"|", L"?|d*", {0, 4}, nullptr},
        {L"|", L"a|zz|b", {}, L"zz"},
        {L", ", L"d e, , a, ", {4, 0}, nullptr},
        {L", ", L"a,b", {}, L"a,b"},
        {L",", L"x, y", {}, L"x"},
        {L"ab", L"aabb", {0, 1}, nullptr},
        {L"", L"x, y", {5}, nullptr}, // an empty separator cuts nothing
        {L"", L"a|b", {}, L"a|b"}};
    for (const auto& [separator, names, expected, missing] : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(names) << " separated by '" << separator << "'");
        ListSource items(texts_, separator);
        std::vector<LONG> indexes;
        auto e = Raised([&] { indexes = ov::ParseItemList(items, ov::Variant::String(names)); });
        if (missing) {
            ExpectItemNotFound(e, missing, 6);
        } else {
            ASSERT_FALSE(e) << std::wstring(e->Message().View());
            EXPECT_EQ(indexes, expected);
        }
    }
}

TEST_F(ParseItemListTest, ArraysOfIndexesAndNamesInEveryScriptShape) {
    ListSource items(texts_);
    const std::vector<LONG> expected = {2, 0, 3};
    const std::vector<ov::Variant> elements = {ov::Variant::Int(2), ov::Variant::String(L"a"),
                                               ov::Variant::String(L"2")};
    ov::Variant literal = ArrayOf(elements);
    EXPECT_EQ(ov::ParseItemList(items, literal), expected) << "VBScript Array(...)";
    EXPECT_EQ(ov::ParseItemList(items, ArrayOf(elements, 5)), expected) << "lower bound 5";
    // A VBScript array variable: a VARIANT by reference to the array by reference.
    SAFEARRAY* array = literal.parray;
    VARIANT inner;
    inner.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
    inner.pparray = &array;
    EXPECT_EQ(ov::ParseItemList(items, RefTo(inner)), expected) << "VBScript array variable";
    EXPECT_EQ(ov::ParseItemList(items, inner), expected) << "array by reference";

    EXPECT_EQ(ov::ParseItemList(items, ScriptArray(elements, 3)), expected) << "JScript array";
    EXPECT_EQ(ov::ParseItemList(items, ScriptArray(elements, 2)), (std::vector<LONG>{2, 0}))
        << "length rules";
    EXPECT_TRUE(ov::ParseItemList(items, ScriptArray({}, -1)).empty());
    EXPECT_TRUE(ov::ParseItemList(items, ArrayOf({})).empty());
    EXPECT_TRUE(ov::ParseItemList(items, ov::Variant()).empty()) << "a missing argument selects nothing";

    ExpectItemNotFound(Raised([&] { ov::ParseItemList(items, ArrayOf({ov::Variant::Int(6)})); }), L"6", 6);
    ExpectItemNotFound(Raised([&] { ov::ParseItemList(items, ScriptArray({ov::Variant::String(L"q")}, 1)); }),
                       L"q", 6);

    // Single values and other shapes are no list.
    ov::Variant twoDimensions, strings, one = ov::Variant::Int(1);
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {1, 0}};
    twoDimensions.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
    twoDimensions.vt = VT_ARRAY | VT_VARIANT;
    strings.parray = SafeArrayCreate(VT_BSTR, 1, bounds);
    strings.vt = VT_ARRAY | VT_BSTR;
    const ov::Variant bad[] = {one, Typed(VT_BOOL, VARIANT_TRUE), RefTo(one), Null(), twoDimensions, strings};
    for (const ov::Variant& value : bad)
        ExpectError(
            Raised([&] { ov::ParseItemList(items, value); }), L"Invalid item list.",
            L"The following formats are supported:\r\n1. A string of item names to select separated by "
            L"the value of the wListSeparator property.\r\n2. An array of item names or indexes.");
}

TEST(ItemDesignatorTest, TextUnlessEmptyOrSharedIgnoringAsciiCase) {
    ListSource items({L"Apple", L"aPPLE", L"Pear", L"", L"\u00C4pfel", L"\u00E4pfel", L"Plum "});
    // Null: the index. Only A to Z fold: the two umlaut texts differ.
    const wchar_t* texts[] = {nullptr, nullptr, L"Pear", nullptr, L"\u00C4pfel", L"\u00E4pfel", L"Plum "};
    for (LONG index = 0; index < 7; ++index) {
        SCOPED_TRACE(index);
        ov::Variant designator = ov::GetItemDesignator(items, index);
        ov::Bstr text = ov::GetItemDesignatorText(items, index);
        if (const wchar_t* expected = texts[index]) {
            ASSERT_EQ(designator.vt, VT_BSTR);
            EXPECT_EQ(std::wstring_view(designator.bstrVal), expected);
            EXPECT_EQ(text.View(), expected);
        } else {
            ASSERT_EQ(designator.vt, VT_I4);
            EXPECT_EQ(designator.lVal, index);
            EXPECT_EQ(text.View(), L"[" + std::to_wstring(index) + L"]");
        }
    }
}

// --- texts of .NET objects and the default item source ------------------------------------------------

class ListCtrl : public CovWPFCtrlWithItems {};
class ItemSourceTest : public ControlFixture {};

TEST_F(ItemSourceTest, DefaultSourceReadsItemsWithTheKindsTextMemberAndPassesFailuresOn) {
    auto& list = App().Add(&MainWindow(), L"System.Windows.Controls.ListBox", L"list");
    auto& banana = App().Add(&list, L"System.Windows.Controls.ListBoxItem", L"banana");
    banana.AddProperty(L"Content", [&banana] { return banana.Str(L"Banana"); });
    auto& tab = App().Add(&list, L"System.Windows.Controls.TabItem", L"tab");
    tab.AddProperty(L"Header", [&tab] { return tab.Str(L"General"); });
    auto& nested = App().Add(&list, L"System.Windows.Controls.ListBoxItem", L"nested");
    nested.AddProperty(L"Content", [&banana] { return wpfsim::ClrObject::Obj(&banana); });
    auto object = [&](const wchar_t* cls) {
        return ov::Create<wpfsim::ClrObject>(App().SharedRuntime(), cls);
    };
    auto boxedInt = object(L"System.Int32"); // a primitive without a default value: its "ToString"
    boxedInt->AddMethod(L"ToString", 0, [b = boxedInt.Get()](const wpfsim::Args&) { return b->Str(L"42"); });
    auto point = object(L"System.Windows.Point"); // no primitive: no text of its own
    // Texts, .NET strings, primitives, nothing, other objects, elements with and without the text member,
    // an element whose content is another element.
    std::vector<ov::Variant> values = {ov::Variant::String(L"Plain"),
                                       list.Str(L"Apple"),
                                       ov::Variant::Int(5),
                                       wpfsim::ClrObject::Obj(boxedInt.Get()),
                                       Null(),
                                       ov::Variant::Dispatch(nullptr),
                                       wpfsim::ClrObject::Obj(point.Get()),
                                       wpfsim::ClrObject::Obj(&banana),
                                       wpfsim::ClrObject::Obj(&tab),
                                       wpfsim::ClrObject::Obj(&nested)};
    auto items = object(L"System.Windows.Controls.ItemCollection");
    items->AddProperty(L"Count", [n = static_cast<LONG>(values.size())] { return ov::Variant::Int(n); });
    items->AddMethod(L"get_Item", 1,
                     [values](const wpfsim::Args& a) { return values.at(wpfsim::IntOf(a[0])); });
    list.AddProperty(L"Items", [i = items.Get()] { return wpfsim::ClrObject::Obj(i); });

    auto contents = WrapObject<ListCtrl>(list);
    EXPECT_EQ(contents->ListSeparator().View(), L"|");
    EXPECT_EQ(ov::BuildItemList(*contents).View(), L"Plain|Apple|5|42||||Banana||");
    ov::Bstr name;
    items->ResetCalls();
    EXPECT_EQ(ov::FindItem(*contents, ov::Variant::String(L"B*"), &name), 7);
    EXPECT_EQ(name.View(), L"Banana");
    EXPECT_EQ(items->Calls(L"get_Item").invokes, 8);
}

} // namespace
