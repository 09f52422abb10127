// The button family of the simulated application, with WPF's behaviour:
//
//   ButtonBase    a ContentControl (its template: a Border chrome with a ContentPresenter) with
//                 "IsPressed" and "ClickMode" (0 Release, the default: the left button's press and release
//                 on it, or on anything inside it, the events bubble, raise the Click event, after the
//                 release made "IsPressed" false again; 1 Press: the press raises it, "IsPressed" true;
//                 2 Hover: the mouse entering it raises it, presses are not taken). A double click is two
//                 clicks. Other mouse buttons raise nothing.
//   Button        a plain ButtonBase
//   RepeatButton  "ClickMode" Press by default; one Click per host click (a host's press is shorter than
//                 WPF's repeat Delay)
//   ToggleButton  "IsChecked" (get, put), "IsThreeState" (get, put); a click moves unchecked -> checked
//                 -> (indeterminate when three-state) -> unchecked
//   CheckBox      a ToggleButton
//   RadioButton   + "GroupName" (get, put); a click checks it (never unchecks); checking one unchecks the
//                 others of its group: the same non-empty GroupName under the same visual root (a window,
//                 a popup's window; a tab page not shown is a root of its own), or, without a GroupName,
//                 the siblings of its logical parent that have none either
//
// "IsChecked" is handed out in one of the forms hosts use for a bool? (per element, CheckedForm). It
// accepts all of them on put: a Boolean (or what converts to one), VT_NULL, VT_EMPTY, a null object, or
// a boxed object with "m_Value".
//
//   auto& box = app.Add<wpfsim::CheckBox>(&window, L"System.Windows.Controls.CheckBox", L"agree");
//   box.SetThreeState(true);
//   box.SetClickHandler([](wpfsim::ButtonBase& b) { ... }); // the application's Click handler
#pragma once

#include "Border.h"
#include "ContentControl.h"

#include <functional>
#include <optional>

namespace wpfsim {

class ButtonBase : public ContentControl {
public:
    ButtonBase(Application& app, std::wstring className, std::wstring name);

    std::wstring Content() const { return ContentText(); }
    bool IsPressed() const noexcept { return pressed_; }
    enum class ClickMode { Release = 0, Press = 1, Hover = 2 };
    void SetClickMode(ClickMode mode) noexcept { clickMode_ = mode; }
    // Click events raised so far.
    long ClickCount() const noexcept { return clickCount_; }
    // The application's Click handler: runs after the control's own reaction, once per Click event.
    void SetClickHandler(std::function<void(ButtonBase&)> handler) { handler_ = std::move(handler); }

protected:
    // The control's own reaction to a Click, before the event reaches the application.
    virtual void OnToggle() {}

    void OnMouseDown(MouseEvent& e) final;
    void OnMouseUp(MouseEvent& e) final;
    void OnMouseEnter() final;
    Size MeasureOverride(Size available) override;
    // The room the kind's chrome takes around its content.
    virtual Size Chrome() const { return {16, 23}; }
    virtual double MinWidth() const { return 75; }

private:
    // The Click event: the control's reaction, the application's handler, a toolbar's overflow closing.
    void Click();
    bool pressed_ = false;
    ClickMode clickMode_ = ClickMode::Release;
    long clickCount_ = 0;
    std::function<void(ButtonBase&)> handler_;
};

class Button : public ButtonBase {
public:
    using ButtonBase::ButtonBase;
};

class RepeatButton : public ButtonBase {
public:
    RepeatButton(Application& app, std::wstring className, std::wstring name);
};

// How "IsChecked" reaches callers: a VT_BOOL with VT_NULL or VT_EMPTY for the indeterminate state, or
// a boxed bool? (an object with "m_Value"; the indeterminate state boxes to a null object).
enum class CheckedForm { BoolOrNull, BoolOrEmpty, Boxed };

class ToggleButton : public ButtonBase {
public:
    ToggleButton(Application& app, std::wstring className, std::wstring name);

    // nullopt: indeterminate.
    std::optional<bool> IsChecked() const noexcept { return checked_; }
    // As setting the property: a radio button that becomes checked unchecks its group.
    void SetChecked(std::optional<bool> checked);
    bool IsThreeState() const noexcept { return threeState_; }
    void SetThreeState(bool threeState) noexcept { threeState_ = threeState; }
    void SetCheckedForm(CheckedForm form) noexcept { form_ = form; }

    // Test hook: a Click handler that puts the state back to what it was before the click.
    void ResetStateAfterClicks();

protected:
    void OnToggle() override;
    // Runs after the state changed to checked.
    virtual void OnChecked() {}

private:
    ov::Variant CheckedValue() const;

    std::optional<bool> checked_ = false;
    std::optional<bool> beforeClick_ = false;
    bool threeState_ = false;
    CheckedForm form_ = CheckedForm::BoolOrNull;
};

class CheckBox : public ToggleButton {
public:
    using ToggleButton::ToggleButton;

protected:
    Size Chrome() const override { return {20, 16}; }
    double MinWidth() const override { return 0; }
};

class RadioButton : public ToggleButton {
public:
    RadioButton(Application& app, std::wstring className, std::wstring name, std::wstring groupName = {});

    const std::wstring& GroupName() const noexcept { return groupName_; }
    void SetGroupName(std::wstring groupName) { groupName_ = std::move(groupName); }

protected:
    void OnToggle() override;
    void OnChecked() override;
    Size Chrome() const override { return {20, 16}; }
    double MinWidth() const override { return 0; }

private:
    bool SameGroup(RadioButton& other);

    std::wstring groupName_;
};

} // namespace wpfsim
