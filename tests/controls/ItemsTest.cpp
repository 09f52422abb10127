// Item addressing: index and pattern arguments, item texts of .NET objects, the joined item list, multi-item
// arguments in every shape scripts pass them, the recorder's designators, and the default item source.
#include "ControlFixture.h"

#include "controls/Items.h"
#include "wpfsim/ClrValue.h"

#include <string>
#include <vector>

namespace {

using ovtest::Raised;

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
    long textReads = 0;
    long countReads = 0;

private:
    std::vector<std::wstring> texts_;
};

ov::Variant Typed(VARTYPE vt, LONGLONG value) {
    ov::Variant v;
    v.vt = VT_I8;
    v.llVal = value;
    EXPECT_EQ(VariantChangeType(&v, &v, 0, vt), S_OK);
    return v;
}

ov::Variant Null() {
    ov::Variant v;
    v.vt = VT_NULL;
    return v;
}

// A VARIANT by reference to `target`, as scripts pass variables (the target must outlive it).
VARIANT RefTo(VARIANT& target) {
    VARIANT v;
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = &target;
    return v;
}

// A one-dimensional array of VARIANT (VT_ARRAY | VT_VARIANT), as a VBScript Array(...) literal.
ov::Variant ArrayOf(const std::vector<ov::Variant>& elements, LONG lower = 0) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(elements.size()), lower};
    ov::SafeArray array(SafeArrayCreate(VT_VARIANT, 1, &bound));
    for (LONG i = 0; i < static_cast<LONG>(elements.size()); ++i) {
        LONG at = lower + i;
        EXPECT_EQ(SafeArrayPutElement(array.Get(), &at,
                                      const_cast<ov::Variant*>(&elements[static_cast<size_t>(i)])),
                  S_OK);
    }
    ov::Variant v;
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = array.Detach();
    return v;
}

void ExpectItemNotFound(const std::optional<CovInvokeException>& e, const std::wstring& item, int total) {
    ASSERT_TRUE(e) << "nothing raised";
    EXPECT_EQ(e->Message().View(), L"The control item '" + item + L"' not found.");
    EXPECT_EQ(e->Details().View(), L"Total number of items: " + std::to_wstring(total) + L".");
    EXPECT_EQ(e->Kind(), 3);
}

void ExpectInvalidList(const std::optional<CovInvokeException>& e) {
    ASSERT_TRUE(e) << "nothing raised";
    EXPECT_EQ(e->Message().View(), L"Invalid item list.");
    EXPECT_EQ(
        e->Details().View(),
        L"The following formats are supported:\r\n1. A string of item names to select separated by the value "
        L"of the wListSeparator property.\r\n2. An array of item names or indexes.");
    EXPECT_EQ(e->Kind(), 3);
}

// --- integers ------------------------------------------------------------------------------------------

TEST(VariantToIntTest, IntegerTypesWithinRangeAndBooleans) {
    ov::Variant nine = ov::Variant::Int(9);
    VARIANT refNine = RefTo(nine);
    VARIANT refNothing;
    refNothing.vt = VT_VARIANT | VT_BYREF;
    refNothing.pvarVal = nullptr;
    LONG target = 4;
    VARIANT refI4;
    refI4.vt = VT_I4 | VT_BYREF;
    refI4.plVal = &target;
    struct Case {
        const char* name;
        ov::Variant value;
        bool integer;
        LONG result;
    } cases[] = {
        {"I1", Typed(VT_I1, -5), true, -5},
        {"UI2", Typed(VT_UI2, 65535), true, 65535},
        {"I4", Typed(VT_I4, -0x80000000LL), true, LONG(-0x7FFFFFFF - 1)},
        {"UI4 max", Typed(VT_UI4, 0x7FFFFFFF), true, 0x7FFFFFFF},
        {"UINT over", Typed(VT_UINT, 0x80000000LL), false, 0},
        {"I8 min", Typed(VT_I8, -0x80000000LL), true, LONG(-0x7FFFFFFF - 1)},
        {"I8 under", Typed(VT_I8, -0x80000001LL), false, 0},
        {"I8 over", Typed(VT_I8, 0x80000000LL), false, 0},
        {"UI8 over", Typed(VT_UI8, 0x80000000LL), false, 0},
        {"BOOL true", Typed(VT_BOOL, -1), true, 1},
        {"BOOL false", Typed(VT_BOOL, 0), true, 0},
        {"BSTR", ov::Variant::String(L"3"), false, 0},
        {"R8", Typed(VT_R8, 1), false, 0},
        {"CY", Typed(VT_CY, 1), false, 0},
        {"EMPTY", ov::Variant(), false, 0},
        {"by reference to I4", refNine, true, 9},
        {"by reference to nothing", refNothing, false, 0},
        {"I4 by reference", refI4, false, 0},
    };
    for (const auto& c : cases) {
        LONG result = 12345;
        EXPECT_EQ(ov::VariantToInt(c.value, result), c.integer) << c.name;
        if (c.integer) EXPECT_EQ(result, c.result) << c.name;
    }
}

// --- resolving an item argument ---------------------------------------------------------------------------

TEST(FindItemTest, IndexesAndPatterns) {
    ListSource items({L"Apple", L"Apricot", L"Cherry", L"", L"2", L"Star*", L"1"});
    wpfsim::Application app;
    ov::Variant boxedCherry =
        wpfsim::Box(app.SharedRuntime(), L"System.String", ov::Variant::String(L"Cherry"));
    ov::Variant one = ov::Variant::Int(1), cherry = ov::Variant::String(L"Cherry");
    LONG two = 2;
    VARIANT refI4;
    refI4.vt = VT_I4 | VT_BYREF;
    refI4.plVal = &two;

    struct Case {
        const char* name;
        ov::Variant argument;
        LONG index;        // -1: not found
        std::wstring text; // the name handed out, or the item of the error message
    } cases[] = {
        {"I4 in range", Typed(VT_I4, 2), 2, L"2"},
        {"I4 at count", Typed(VT_I4, 7), -1, L"7"},
        {"I4 negative", Typed(VT_I4, -1), -1, L"-1"},
        {"UI4 in range", Typed(VT_UI4, 6), 6, L"6"},
        {"UI8 integer but out of range", Typed(VT_UI8, 0x7FFFFFFF), -1, L"2147483647"},
        {"BOOL true", Typed(VT_BOOL, VARIANT_TRUE), 1, L"1"},
        {"string of a number is a name", ov::Variant::String(L"2"), 4, L"2"},
        {"double as its text", Typed(VT_R8, 1), 6, L"1"},
        {"UI4 beyond LONG as its text", Typed(VT_UI4, 0x80000000LL), -1, L"2147483648"},
        {"I8 below LONG as its text", Typed(VT_I8, -0x80000001LL), -1, L"-2147483649"},
        {"prefix pattern gives the full text", ov::Variant::String(L"Ap*"), 0, L"Apple"},
        {"case matters", ov::Variant::String(L"apple"), -1, L"apple"},
        {"question mark", ov::Variant::String(L"?pricot"), 1, L"Apricot"},
        {"infix pattern", ov::Variant::String(L"*rr*"), 2, L"Cherry"},
        {"whole text only", ov::Variant::String(L"Sta"), -1, L"Sta"},
        {"double star is a literal star", ov::Variant::String(L"Star**"), 5, L"Star*"},
        {"star in the item text is no wildcard", ov::Variant::String(L"Starx"), -1, L"Starx"},
        {"empty string: first empty item", ov::Variant::String(L""), 3, L""},
        {"VT_EMPTY reads as an empty string", ov::Variant(), 3, L""},
        {"VT_NULL has no text", Null(), -1, L""},
        {"variant by reference to an index", RefTo(one), 1, L"1"},
        {"variant by reference to a name", RefTo(cherry), 2, L"Cherry"},
        {"I4 by reference is no index", refI4, 4, L"2"},
        {".NET string object", boxedCherry, 2, L"Cherry"},
    };
    for (const auto& c : cases) {
        ov::Bstr name(L"untouched");
        LONG index = -1;
        auto e = Raised([&] { index = ov::FindItem(items, c.argument, &name); });
        if (c.index < 0) {
            ExpectItemNotFound(e, c.text, 7);
        } else {
            ASSERT_FALSE(e) << c.name << ": " << std::wstring(e->Message().View());
            EXPECT_EQ(index, c.index) << c.name;
            EXPECT_EQ(name.View(), c.text) << c.name;
        }
    }
    ListSource none({});
    ExpectItemNotFound(Raised([&] { ov::FindItem(none, ov::Variant::Int(0)); }), L"0", 0);
    ExpectItemNotFound(Raised([&] { ov::FindItem(none, ov::Variant::String(L"*")); }), L"*", 0);
}

// --- the joined list ------------------------------------------------------------------------------------

TEST(BuildItemListTest, SeparatorBetweenEveryTwoItems) {
    struct Case {
        std::vector<std::wstring> texts;
        const wchar_t* separator;
        const wchar_t* list;
    } cases[] = {
        {{L"a", L"", L"b"}, L"|", L"a||b"}, {{L"a", L"", L"b"}, L", ", L"a, , b"},
        {{L"a", L"", L"b"}, L"", L"ab"},    {{}, L"|", L""},
        {{L"only"}, L"|", L"only"},         {{L"", L""}, L"|", L"|"},
        {{L"x|y", L"z"}, L"|", L"x|y|z"},
    };
    for (const auto& c : cases) {
        ListSource items(c.texts, c.separator);
        EXPECT_EQ(ov::BuildItemList(items).View(), c.list) << c.list;
        EXPECT_EQ(items.countReads, 1);
        EXPECT_EQ(items.textReads, static_cast<long>(c.texts.size()));
    }
}

// --- multi-item arguments -------------------------------------------------------------------------------

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
    struct Case {
        const wchar_t* separator;
        const wchar_t* names;
        std::vector<LONG> indexes;
        const wchar_t* missing; // the item of the error, when one is not found
    } cases[] = {
        {L"|", L"a|b|a", {0, 1, 0}, nullptr},
        {L"|", L"a||b", {0, 1}, nullptr},
        {L"|", L"|a|", {0}, nullptr},
        {L"|", L"", {}, nullptr},
        {L"|", L"2", {3}, nullptr}, // a name, not the index 2
        {L"|", L"?|d*", {0, 4}, nullptr},
        {L"|", L"a|zz|b", {}, L"zz"},
        {L", ", L"a, b", {0, 1}, nullptr},
        {L", ", L"d e, , a, ", {4, 0}, nullptr},
        {L", ", L"a,b", {}, L"a,b"},
        {L",", L"x, y", {}, L"x"},
        {L"ab", L"aabb", {0, 1}, nullptr},
        // An empty separator cuts nothing: the whole text is one name.
        {L"", L"d e", {4}, nullptr},
        {L"", L"x, y", {5}, nullptr},
        {L"", L"a|b", {}, L"a|b"},
        {L"", L"", {}, nullptr},
    };
    for (const auto& c : cases) {
        ListSource items(texts_, c.separator);
        std::vector<LONG> indexes;
        auto e = Raised([&] { indexes = ov::ParseItemList(items, ov::Variant::String(c.names)); });
        if (c.missing) {
            ExpectItemNotFound(e, c.missing, 6);
        } else {
            ASSERT_FALSE(e) << std::wstring(c.names) << ": " << std::wstring(e->Message().View());
            EXPECT_EQ(indexes, c.indexes) << std::wstring(c.names) << " separated by '" << c.separator << "'";
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
    EXPECT_TRUE(ov::ParseItemList(items, ScriptArray({}, 0)).empty());
    EXPECT_TRUE(ov::ParseItemList(items, ScriptArray({}, -1)).empty());
    EXPECT_TRUE(ov::ParseItemList(items, ArrayOf({})).empty());

    ExpectItemNotFound(Raised([&] { ov::ParseItemList(items, ArrayOf({ov::Variant::Int(6)})); }), L"6", 6);
    ExpectItemNotFound(Raised([&] { ov::ParseItemList(items, ScriptArray({ov::Variant::String(L"q")}, 1)); }),
                       L"q", 6);
}

TEST_F(ParseItemListTest, SingleValuesAndOtherShapesAreRejected) {
    ListSource items(texts_);
    ov::Variant twoDimensions;
    {
        SAFEARRAYBOUND bounds[2] = {{2, 0}, {1, 0}};
        twoDimensions.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
        twoDimensions.vt = VT_ARRAY | VT_VARIANT;
    }
    ov::Variant strings;
    {
        SAFEARRAYBOUND bound{1, 0};
        strings.parray = SafeArrayCreate(VT_BSTR, 1, &bound);
        strings.vt = VT_ARRAY | VT_BSTR;
    }
    ov::Variant one = ov::Variant::Int(1);
    const std::pair<const char*, VARIANT> cases[] = {
        {"I4", ov::Variant::Int(1)},
        {"BOOL", Typed(VT_BOOL, VARIANT_TRUE)},
        {"UI1", Typed(VT_UI1, 0)},
        {"I4 by reference", RefTo(one)},
        {"NULL", Null()},
        {"two-dimensional array", twoDimensions},
        {"array of strings", strings},
    };
    for (const auto& [name, value] : cases) {
        SCOPED_TRACE(name);
        ExpectInvalidList(Raised([&] { ov::ParseItemList(items, value); }));
    }
    // A missing argument is an empty list: nothing to select.
    EXPECT_TRUE(ov::ParseItemList(items, ov::Variant()).empty());
}

// --- designators ----------------------------------------------------------------------------------------

TEST(ItemDesignatorTest, TextUnlessEmptyOrSharedIgnoringAsciiCase) {
    ListSource items({L"Apple", L"aPPLE", L"Pear", L"", L"\u00C4pfel", L"\u00E4pfel", L"Plum "});
    struct Case {
        LONG index;
        const wchar_t* text; // null: the index
    } cases[] = {
        {0, nullptr},
        {1, nullptr},
        {2, L"Pear"},
        {3, nullptr},
        // Only A to Z fold: these two differ.
        {4, L"\u00C4pfel"},
        {5, L"\u00E4pfel"},
        {6, L"Plum "},
    };
    for (const auto& c : cases) {
        ov::Variant designator = ov::GetItemDesignator(items, c.index);
        ov::Bstr text = ov::GetItemDesignatorText(items, c.index);
        if (c.text) {
            ASSERT_EQ(designator.vt, VT_BSTR) << c.index;
            EXPECT_EQ(std::wstring_view(designator.bstrVal), c.text);
            EXPECT_EQ(text.View(), c.text);
        } else {
            ASSERT_EQ(designator.vt, VT_I4) << c.index;
            EXPECT_EQ(designator.lVal, c.index);
            EXPECT_EQ(text.View(), L"[" + std::to_wstring(c.index) + L"]");
        }
    }
}

// --- cost ------------------------------------------------------------------------------------------------

TEST(ItemsCostTest, ListAndLookupAreLinearInTheNumberOfItems) {
    constexpr LONG kCount = 20000;
    std::vector<std::wstring> texts;
    for (LONG i = 0; i < kCount; ++i)
        texts.push_back(L"Item " + std::to_wstring(i));
    ListSource items(texts);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    ov::Bstr list = ov::BuildItemList(items);
    ov::Bstr name;
    LONG last = ov::FindItem(items, ov::Variant::String(L"Item 19999"), &name);
    auto missing = Raised([&] { ov::FindItem(items, ov::Variant::String(L"*x")); });
    QueryPerformanceCounter(&end);
    const double ms =
        1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);

    EXPECT_EQ(last, kCount - 1);
    EXPECT_EQ(name.View(), L"Item 19999");
    ExpectItemNotFound(missing, L"*x", kCount);
    size_t length = kCount - 1; // the separators
    for (const auto& text : texts)
        length += text.size();
    EXPECT_EQ(list.Length(), length);
    EXPECT_EQ(items.textReads, 3 * kCount);
    EXPECT_LT(ms, 500.0);
}

// --- texts of .NET objects -----------------------------------------------------------------------------

class ItemTextTest : public ovtest::ControlFixture {
protected:
    // A .NET object with nothing but the members every object has.
    ov::ComPtr<wpfsim::ClrObject> Object(const wchar_t* className) {
        return ov::Create<wpfsim::ClrObject>(App().SharedRuntime(), className);
    }
    static ov::Variant Of(wpfsim::ClrObject& object) { return wpfsim::ClrObject::Obj(&object); }
};

TEST_F(ItemTextTest, PlainValuesStringObjectsPrimitivesAndTextMembers) {
    auto boxedInt = Object(L"System.Int32"); // a primitive without a default value: its "ToString"
    boxedInt->AddMethod(L"ToString", 0,
                        [self = boxedInt.Get()](const wpfsim::Args&) { return self->Str(L"42"); });
    auto point = Object(L"System.Windows.Point"); // no primitive: no text of its own
    auto& item = App().Add(&MainWindow(), L"System.Windows.Controls.ListBoxItem", L"item");
    item.AddProperty(L"Content", [&item] { return item.Str(L"Banana"); });
    auto& tab = App().Add(&MainWindow(), L"System.Windows.Controls.TabItem", L"tab");
    tab.AddProperty(L"Header", [&tab] { return tab.Str(L"General"); });
    auto& complex = App().Add(&MainWindow(), L"System.Windows.Controls.ListBoxItem", L"complex");
    complex.AddProperty(L"Content", [&item] { return wpfsim::ClrObject::Obj(&item); });
    auto& nullContent = App().Add(&MainWindow(), L"System.Windows.Controls.ListBoxItem", L"nullContent");
    nullContent.AddProperty(L"Content", [] { return ov::Variant::Dispatch(nullptr); });
    ov::Variant array = ArrayOf({ov::Variant::Int(1)});

    struct Case {
        const char* name;
        ov::Variant value;
        const wchar_t* own;     // ValueToText; null: no text
        const wchar_t* content; // ItemText with "Content"
    } cases[] = {
        {"string", ov::Variant::String(L"Plain"), L"Plain", L"Plain"},
        {"integer", ov::Variant::Int(5), L"5", L"5"},
        {"empty", ov::Variant(), L"", L""},
        {"null", Null(), L"", L""},
        {"null object", ov::Variant::Dispatch(nullptr), L"", L""},
        {".NET string", wpfsim::Box(App().SharedRuntime(), L"System.String", ov::Variant::String(L"Apple")),
         L"Apple", L"Apple"},
        {"primitive object", Of(*boxedInt), L"42", L"42"},
        {"other object", Of(*point), nullptr, L""},
        {"element with content", Of(item), nullptr, L"Banana"},
        {"element with a header only", Of(tab), nullptr, L""},
        {"element whose content is an element", Of(complex), nullptr, L""},
        {"element with null content", Of(nullContent), nullptr, L""},
        {"array", array, nullptr, L""},
    };
    for (const auto& c : cases) {
        std::optional<ov::Bstr> own = ov::ValueToText(c.value);
        if (c.own) {
            ASSERT_TRUE(own) << c.name;
            EXPECT_EQ(own->View(), c.own) << c.name;
        } else {
            EXPECT_FALSE(own) << c.name;
        }
        EXPECT_EQ(ov::ItemText(c.value, L"Content").View(), c.content) << c.name;
    }
    EXPECT_EQ(ov::ItemText(Of(tab), L"Header").View(), L"General");
    ov::Variant byRef = Of(item);
    EXPECT_EQ(ov::ItemText(RefTo(byRef), L"Content").View(), L"Banana");
}

// --- the default item source -----------------------------------------------------------------------------

class ListCtrl : public CovWPFCtrlWithItems {};
class TabsCtrl : public CovWPFCtrlWithItems {
public:
    TabsCtrl() : CovWPFCtrlWithItems(L"Header") {}
};

class ItemSourceTest : public ItemTextTest {
protected:
    void SetUp() override {
        ItemTextTest::SetUp();
        list_ = &App().Add(&MainWindow(), L"System.Windows.Controls.ListBox", L"list");
        auto& banana = App().Add(list_, L"System.Windows.Controls.ListBoxItem", L"banana");
        banana.AddProperty(L"Content", [&banana] { return banana.Str(L"Banana"); });
        auto& tab = App().Add(list_, L"System.Windows.Controls.TabItem", L"tab");
        tab.AddProperty(L"Header", [&tab] { return tab.Str(L"General"); });
        std::vector<ov::Variant> values = {list_->Str(L"Apple"), wpfsim::ClrObject::Obj(&banana),
                                           wpfsim::ClrObject::Obj(&tab)};
        items_ = Object(L"System.Windows.Controls.ItemCollection");
        items_->AddProperty(L"Count", [n = static_cast<LONG>(values.size())] { return ov::Variant::Int(n); });
        items_->AddMethod(L"get_Item", 1, [values](const wpfsim::Args& a) {
            LONG i = wpfsim::IntOf(a[0]);
            if (i < 0 || i >= static_cast<LONG>(values.size())) throw wpfsim::ArgumentOutOfRange(L"index");
            return values[static_cast<size_t>(i)];
        });
        list_->AddProperty(L"Items", [items = items_.Get()] { return wpfsim::ClrObject::Obj(items); });
    }

    wpfsim::Element* list_ = nullptr;
    ov::ComPtr<wpfsim::ClrObject> items_;
};

TEST_F(ItemSourceTest, ItemsCountAndGetItemWithTheKindsTextMemberFailuresPropagated) {
    auto list = WrapObject<ListCtrl>(*list_);
    EXPECT_EQ(list->ListSeparator().View(), L"|");
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(ov::BuildItemList(*list).View(), L"Apple|Banana|");
    ov::Bstr name;
    items_->ResetCalls();
    EXPECT_EQ(ov::FindItem(*list, ov::Variant::String(L"B*"), &name), 1);
    EXPECT_EQ(name.View(), L"Banana");
    EXPECT_EQ(items_->Calls(L"get_Item").invokes, 2);

    auto tabs = WrapObject<TabsCtrl>(*list_);
    EXPECT_EQ(ov::BuildItemList(*tabs).View(), L"Apple||General");

    // A failing "get_Item" reaches the caller as the driver raised it.
    items_->ThrowOn(L"get_Item", wpfsim::ArgumentOutOfRange(L"index"));
    auto e = Raised([&] { ov::BuildItemList(*list); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message().View(), L"An error occurred.");
    const std::wstring details(e->Details().View());
    EXPECT_NE(details.find(L"\n346 0x80020009"), std::wstring::npos) << "a one-argument method call";
    EXPECT_NE(details.find(L"Specified argument was out of the range of valid values."), std::wstring::npos);
}

} // namespace
