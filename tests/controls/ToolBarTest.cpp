// The toolbar wrapper as the host drives it: the calls one click costs on the bar and in the overflow
// panel, where the item is found in the popup window after the panel was opened.
#include "ControlFixture.h"

#include "controls/ToolBar.h"
#include "wpfsim/Buttons.h"
#include "wpfsim/ToolBar.h"

#include <map>
#include <string>

namespace {

using namespace ovtest;
using Calls = std::map<std::string, long, std::less<>>;

class ToolBarTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        bar_ = &App().Add<wpfsim::ToolBar>(&MainWindow(), L"System.Windows.Controls.ToolBar", L"bar");
        bar_->SetBounds({10, 10, 300, 40});
        for (const wchar_t* name : {L"cut", L"copy"}) {
            auto& button = App().Create<wpfsim::Button>(L"System.Windows.Controls.Button", name);
            button.SetContent(name);
            bar_->AddItem(button);
        }
        wrap_ = &App().Create<wpfsim::CheckBox>(L"System.Windows.Controls.CheckBox", L"wrap");
        wrap_->SetContent(L"wrap");
        bar_->AddItem(*wrap_);
        bar_->SetOverflowMode(*wrap_, wpfsim::ToolBar::OverflowMode::Always);
        Attach();
        App().UpdateLayout();
    }

    wpfsim::ToolBar* bar_ = nullptr;
    wpfsim::CheckBox* wrap_ = nullptr;
};

TEST_F(ToolBarTest, AClickOnTheBarCostsTheseHostCalls) {
    auto wrapper = WrapElement<CovWPFCtrlToolBar>(*bar_).As<IDispatch>();
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {ov::Variant::String(L"copy")}).hr, S_OK);
    EXPECT_EQ(ClickedNames(), std::vector<std::wstring>{L"copy"});
    const auto expected = ovtest::AndOneClick({
        // The toolbar's host object, found once; its native object for "IsEnabled".
        {"IovObjectService::FindHostObject", 1},
        // The search below the toolbar, up to the second item.
        {"IovHostObject::GetChildCount", 10},
        {"IovHostObject::GetChild", 10},
        {"IovHostObject::GetExtender", 15},
        {"IovObject::GetNativeObject", 15},
    });
    EXPECT_EQ(Host().Calls().Snapshot(), expected);
    EXPECT_EQ(App().Calls(L"IsVisible").invokes, 1);
    EXPECT_EQ(App().Calls(L"IsOverflowOpen").invokes, 0);
}

TEST_F(ToolBarTest, AnItemOfTheOverflowPanelIsFoundInThePopupOnceThePanelIsOpen) {
    auto wrapper = WrapElement<CovWPFCtrlToolBar>(*bar_).As<IDispatch>();
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {ov::Variant::Int(2)}).hr, S_OK);
    EXPECT_EQ(ClickedNames(), std::vector<std::wstring>{L"wrap"});
    EXPECT_EQ(wrap_->IsChecked(), std::optional<bool>(true));
    // The check box's own click closed the panel again.
    EXPECT_FALSE(bar_->IsOverflowOpen());
    const Calls expected = {
        {"IovObjectService::FindHostObject", 1},
        // The window activated before the panel opens: up the parent chain to the window, activated
        // under the action options.
        {"IovHostObject::GetParent", 5},
        {"IovHostObject::GetObjectType", 6},
        {"IovHostWindow::Activate", 1},
        // The whole toolbar searched in vain, then the popup window, brought up to date first.
        {"IovHostObject::RefreshChildren", 1},
        {"IovHostObject::GetChildCount", 20},
        {"IovHostObject::GetChild", 20},
        {"IovHostObject::GetExtender", 23},
        {"IovObject::GetNativeObject", 23},
        {"IovHostObject::GetExtension", 1},
        {"IovActionOptions::get_ActionMode", 2},
        {"IovActionOptions::get_ActionFlags", 2},
        {"IovActionOptions::put_ActionMode", 4},
        {"IovActionOptions::put_ActionFlags", 4},
        {"IovMouseActions::Click", 1},
        {"IovHostLog::AddEntry", 1},
    };
    EXPECT_EQ(Host().Calls().Snapshot(), expected);
    EXPECT_EQ(App().Calls(L"IsOverflowOpen").invokes, 1);
}

TEST_F(ToolBarTest, ThePropertiesLeaveZeroOrFalseWhenTheyFail) {
    auto wrapper = WrapElement<CovWPFCtrlToolBar>(*bar_);
    App().StopResponding();
    const ov::Variant item = ov::Variant::Int(0);
    LONG number = 7;
    EXPECT_EQ(wrapper->get_wButtonCount(&number), S_OK);
    EXPECT_EQ(number, 0);
    number = 7;
    EXPECT_EQ(wrapper->get_wButtonPos(item, &number), S_OK);
    EXPECT_EQ(number, 0);
    ov::Bstr leftOver(L"left over");
    BSTR text = leftOver.Get();
    EXPECT_EQ(wrapper->get_wButtonText(item, &text), S_OK);
    EXPECT_EQ(text, nullptr);
    for (auto flag : {&CovWPFCtrlToolBar::get_wIsCheckButton, &CovWPFCtrlToolBar::get_wIsDropDownButton,
                      &CovWPFCtrlToolBar::get_wIsSeparatorButton, &CovWPFCtrlToolBar::get_wChecked,
                      &CovWPFCtrlToolBar::get_wEnabled, &CovWPFCtrlToolBar::get_wVisible,
                      &CovWPFCtrlToolBar::get_wGrayed}) {
        VARIANT_BOOL value = VARIANT_TRUE;
        EXPECT_EQ(((*wrapper).*flag)(item, &value), S_OK);
        EXPECT_EQ(value, VARIANT_FALSE);
    }
    App().Resume();
    // Every failure was reported to the log (mode 1).
    EXPECT_EQ(TakeLog().size(), 10u);
}

} // namespace
