// The forms of "IsChecked" (state cycle, radio groups and clicks: the button wrapper tests).
#include "SimCall.h"

#include "wpfsim/Buttons.h"

using namespace simtest;
using wpfsim::CheckedForm;

namespace {

constexpr std::optional<bool> kGrayed = std::nullopt;
using ButtonsTest = SimTest;
TEST_F(ButtonsTest, IsCheckedReadsInTheElementsFormAndTakesEveryFormOnPut) {
    auto& box = app->Add<wpfsim::CheckBox>(window, L"System.Windows.Controls.CheckBox", L"box");
    box.SetThreeState(true);
    auto d = box.NewDispatch();
    auto read = [&](std::optional<bool> state) {
        box.SetChecked(state);
        return Get(d.Get(), L"IsChecked").value;
    };
    EXPECT_EQ(read(true).boolVal, VARIANT_TRUE);
    EXPECT_EQ(read(false).vt, VT_BOOL);
    EXPECT_EQ(read(kGrayed).vt, VT_NULL);
    box.SetCheckedForm(CheckedForm::BoolOrEmpty);
    EXPECT_EQ(read(kGrayed).vt, VT_EMPTY);
    box.SetCheckedForm(CheckedForm::Boxed);
    ov::Variant boxed = read(true), converted;
    ASSERT_EQ(boxed.vt, VT_DISPATCH);
    EXPECT_EQ(Get(boxed.pdispVal, L"m_Value").value.boolVal, VARIANT_TRUE);
    EXPECT_TRUE(FAILED(VariantChangeType(&converted, &boxed, 0, VT_BOOL))) << "no Boolean of its own";
    ov::Variant none = read(kGrayed);
    EXPECT_TRUE(none.vt == VT_DISPATCH && !none.pdispVal) << "a bool? without a value boxes to null";

    for (auto [value, expected] : {std::pair{ov::Variant::Int(0), std::optional<bool>(false)},
                                   {ov::Variant(), kGrayed},
                                   {boxed, true},
                                   {none, kGrayed}}) {
        EXPECT_EQ(Put(d.Get(), L"IsChecked", value).hr, S_OK) << value.vt;
        EXPECT_EQ(box.IsChecked(), expected) << value.vt;
    }
}

} // namespace
