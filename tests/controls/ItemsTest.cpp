// What the item table's rows cannot pass: values that no script engine makes (integers of every width,
// references that are not to a VARIANT, .NET objects as arguments, arrays of other shapes), and item values
// that no application of ours holds.
#include "ControlFixture.h"

#include "controls/Items.h"
#include "wpfsim/ClrValue.h"

namespace {

using namespace ovtest;

class ListSource : public CovCtrlWithItems {
public:
    explicit ListSource(std::vector<std::wstring> texts) : texts_(std::move(texts)) {
        SetListSeparator(ov::Bstr(L"|"));
    }
    ov::Bstr GetItemText(LONG index) override { return ov::Bstr(texts_.at(static_cast<size_t>(index))); }
    LONG GetItemCount() override { return static_cast<LONG>(texts_.size()); }

private:
    std::vector<std::wstring> texts_;
};

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

TEST(VariantToIntTest, IntegersWithinALongBooleansAndVariantReferences) {
    ov::Variant inner = Typed(VT_UI4, 0x7FFFFFFF);
    LONG five = 5;
    VARIANT refI4;
    refI4.vt = VT_I4 | VT_BYREF;
    refI4.plVal = &five;
    const std::pair<ov::Variant, std::optional<LONG>> cases[] = {
        {Typed(VT_I1, -128), -128},
        {Typed(VT_UI1, 255), 255},
        {Typed(VT_I2, -32768), -32768},
        {Typed(VT_UI2, 65535), 65535},
        {Typed(VT_INT, 0x7FFFFFFF), 0x7FFFFFFF},
        {Typed(VT_UI4, 0x7FFFFFFF), 0x7FFFFFFF},
        {Typed(VT_UI4, 0x80000000LL), std::nullopt},
        {Typed(VT_UINT, 0x80000000LL), std::nullopt},
        {Typed(VT_I8, -0x80000000LL), -0x7FFFFFFF - 1},
        {Typed(VT_I8, 0x80000000LL), std::nullopt},
        {Typed(VT_I8, -0x80000001LL), std::nullopt},
        {Typed(VT_UI8, 0x7FFFFFFF), 0x7FFFFFFF},
        {Typed(VT_UI8, 0x80000000LL), std::nullopt},
        {Typed(VT_BOOL, VARIANT_FALSE), 0},
        {RefTo(inner), 0x7FFFFFFF},
        {refI4, std::nullopt},
        {Typed(VT_R8, 1), std::nullopt},
    };
    int row = 0;
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(row++);
        LONG result = 12345;
        const bool converted = ov::VariantToInt(value, result);
        EXPECT_EQ(converted ? std::optional<LONG>(result) : std::nullopt, expected);
    }
}

TEST(FindItemTest, ValuesThatAreNoIndexAreNamesByTheirText) {
    ListSource items({L"Apple", L"2", L"Cherry", L"2147483648"});
    wpfsim::Application app;
    LONG two = 2;
    VARIANT refI4;
    refI4.vt = VT_I4 | VT_BYREF;
    refI4.plVal = &two;
    const std::pair<ov::Variant, LONG> cases[] = {
        {refI4, 1},
        {Typed(VT_UI4, 0x80000000LL), 3},
        {wpfsim::Box(app.SharedRuntime(), L"System.String", ov::Variant::String(L"Cherry")), 2}};
    for (const auto& [argument, expected] : cases)
        EXPECT_EQ(ov::FindItem(items, argument), expected);
}

TEST(ParseItemListTest, ArraysOfOtherBoundsAndShapes) {
    ListSource items({L"a", L"b", L"c"});
    const std::vector<ov::Variant> elements = {ov::Variant::Int(2), ov::Variant::String(L"a")};
    EXPECT_EQ(ov::ParseItemList(items, ArrayOf(elements, 5)), (std::vector<LONG>{2, 0})) << "lower bound 5";
    ov::Variant literal = ArrayOf(elements);
    SAFEARRAY* array = literal.parray;
    VARIANT byReference;
    byReference.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
    byReference.pparray = &array;
    EXPECT_EQ(ov::ParseItemList(items, byReference), (std::vector<LONG>{2, 0})) << "array by reference";

    ov::Variant twoDimensions, strings;
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {1, 0}};
    twoDimensions.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
    twoDimensions.vt = VT_ARRAY | VT_VARIANT;
    strings.parray = SafeArrayCreate(VT_BSTR, 1, bounds);
    strings.vt = VT_ARRAY | VT_BSTR;
    for (const ov::Variant* value : {&twoDimensions, &strings})
        ExpectError(Raised([&] { ov::ParseItemList(items, *value); }), ov::texts::InvalidItemList,
                    ov::texts::ItemListFormats);
}

class ListCtrl : public CovWPFCtrlWithItems {};
class ItemSourceTest : public ControlFixture {};

// Items no application of ours holds: a primitive that only "ToString" names, null, a structure.
TEST_F(ItemSourceTest, ObjectsWithoutTextOfTheirOwn) {
    auto& list = App().Add(&MainWindow(), L"System.Windows.Controls.ListBox", L"list");
    auto object = [&](const wchar_t* cls) {
        return ov::Create<wpfsim::ClrObject>(App().SharedRuntime(), cls);
    };
    auto boxedInt = object(L"System.Int32");
    boxedInt->AddMethod(L"ToString", 0, [b = boxedInt.Get()](const wpfsim::Args&) { return b->Str(L"42"); });
    auto point = object(L"System.Windows.Point");
    ov::Variant null;
    null.vt = VT_NULL;
    std::vector<ov::Variant> values = {wpfsim::ClrObject::Obj(boxedInt.Get()), null,
                                       ov::Variant::Dispatch(nullptr), wpfsim::ClrObject::Obj(point.Get())};
    auto collection = object(L"System.Windows.Controls.ItemCollection");
    collection->AddProperty(L"Count", [n = static_cast<LONG>(values.size())] { return ov::Variant::Int(n); });
    collection->AddMethod(L"get_Item", 1,
                          [values](const wpfsim::Args& a) { return values.at(wpfsim::IntOf(a[0])); });
    list.AddProperty(L"Items", [c = collection.Get()] { return wpfsim::ClrObject::Obj(c); });
    EXPECT_EQ(ov::BuildItemList(*WrapObject<ListCtrl>(list)).View(), L"42|||");
}

} // namespace
