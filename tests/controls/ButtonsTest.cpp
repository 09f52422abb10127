// What no member row can set up: an application whose click handler skips the grayed state (its handlers
// are C++ only), so that the second click lands short of the target (the rows: tests/members/buttons.table).
#include "ControlFixture.h"

#include "controls/Buttons.h"
#include "wpfsim/Buttons.h"

namespace {

using namespace ovtest;

class ButtonsTest : public ControlFixture, public testing::WithParamInterface<bool> {};

TEST_P(ButtonsTest, TheSecondClickReportsTheTargetWhereverTheApplicationLeftTheState) {
    const bool checkBox = GetParam();
    auto& element = App().Add<wpfsim::ToggleButton>(
        &MainWindow(),
        checkBox ? L"System.Windows.Controls.CheckBox" : L"System.Windows.Controls.Primitives.ToggleButton",
        L"button");
    element.SetBounds({10, 10, 90, 40});
    element.SetThreeState(true);
    element.SetChecked(false);
    element.SetClickHandler([&](wpfsim::ButtonBase&) {
        if (!element.IsChecked()) element.SetChecked(false);
    });
    Attach();
    ov::ComPtr<IDispatch> wrapper = checkBox ? WrapElement<CovWPFCtrlCheckBox>(element).As<IDispatch>()
                                             : WrapElement<CovWPFCtrlToggleButton>(element).As<IDispatch>();
    EXPECT_EQ(Call(wrapper.Get(), L"ClickButton", {ov::Variant::Int(cbGrayed)}).hr, S_OK);
    EXPECT_EQ(element.ClickCount(), 2);
    EXPECT_EQ(element.IsChecked(), false);
    EXPECT_EQ(TakeLog(), (std::vector<ovhost::LogEntry>{
                             {ovhost::LogMessage,
                              checkBox ? L"The check box was clicked with the left mouse button."
                                       : L"The toggle button was clicked with the left mouse button.",
                              L"The control state has been changed to 'grayed'."}}));
}

INSTANTIATE_TEST_SUITE_P(Kinds, ButtonsTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "CheckBox" : "ToggleButton";
                         });

} // namespace
