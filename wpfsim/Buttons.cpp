#include "Buttons.h"

#include "Application.h"
#include "ToolBar.h"
#include "XamlSchema.h"

namespace wpfsim {

namespace {

// A bool? as some hosts hand it out: the struct itself, boxed, with its fields.
class BoxedNullableBool : public ClrObject {
public:
    BoxedNullableBool(std::shared_ptr<Runtime> runtime, bool value)
        : ClrObject(std::move(runtime), L"System.Nullable`1[[System.Boolean, mscorlib, Version=4.0.0.0, "
                                        L"Culture=neutral, PublicKeyToken=b77a5c561934e089]]"),
          value_(value) {
        AddProperty(L"m_Value", [this] { return ov::Variant::Bool(value_); });
        AddProperty(L"hasValue", [] { return ov::Variant::Bool(true); });
        AddProperty(L"HasValue", [] { return ov::Variant::Bool(true); });
        AddProperty(L"Value", [this] { return ov::Variant::Bool(value_); });
    }
    bool Value() const noexcept { return value_; }

private:
    bool value_;
};

// KeyboardNavigation.GetVisualRoot: the top of the visual tree (a window, a popup's root, or the top of
// a subtree that is not shown).
Element* VisualRoot(Element* e) {
    while (e->Parent())
        e = e->Parent();
    return e;
}

std::optional<bool> NullableOf(const VARIANT& v) {
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return std::nullopt;
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        ov::ComPtr<ClrObject> object = ObjectOf(v);
        if (!object) return std::nullopt;
        if (auto* boxed = dynamic_cast<BoxedNullableBool*>(object.Get())) return boxed->Value();
        return BoolOf(v); // a boxed Boolean
    }
    default:
        return BoolOf(v);
    }
}

} // namespace

// --- ButtonBase --------------------------------------------------------------------------------------

ButtonBase::ButtonBase(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    AddProperty(L"IsPressed", [this] { return ov::Variant::Bool(pressed_); });
    AddProperty(
        L"ClickMode", [this] { return ov::Variant::Int(static_cast<LONG>(clickMode_)); },
        [this](const VARIANT& v) {
            const LONG mode = IntOf(v);
            if (mode < 0 || mode > 2) throw InvalidPropertyValue(std::to_wstring(mode), L"ClickMode");
            clickMode_ = static_cast<ClickMode>(mode);
        });
}

// WPF's ButtonBase: the press takes the button (IsPressed, capture), the release lets it go and then, in
// ClickMode.Release, clicks it.
void ButtonBase::OnMouseDown(MouseEvent& e) {
    if (e.button != MouseButton::Left || clickMode_ == ClickMode::Hover) return;
    e.handled = true;
    pressed_ = true;
    if (clickMode_ == ClickMode::Press) Click();
}

void ButtonBase::OnMouseUp(MouseEvent& e) {
    if (e.button != MouseButton::Left || clickMode_ == ClickMode::Hover) return;
    e.handled = true;
    const bool click = pressed_ && clickMode_ == ClickMode::Release;
    pressed_ = false;
    if (click) Click();
}

void ButtonBase::OnMouseEnter() {
    if (clickMode_ == ClickMode::Hover && IsEnabled() && !IgnoresClicks()) Click();
}

void ButtonBase::Click() {
    ov::ComPtr<Element> keep(this);
    OnToggle();
    ++clickCount_;
    if (handler_) handler_(*this);
    // As WPF's toolbar does with the Click of one of its own items: the overflow panel closes.
    if (auto* bar = dynamic_cast<ToolBar*>(LogicalParent()); bar && bar->IsOverflowOpen())
        bar->SetOverflowOpen(false);
}

Size ButtonBase::MeasureOverride(Size available) {
    Size content = ContentControl::MeasureOverride(available);
    // A replaced template has no chrome of the theme's.
    if (TemplateReplaced()) return content;
    Size chrome = Chrome();
    return {std::max(content.width + chrome.width, MinWidth()), std::max(content.height, chrome.height)};
}

RepeatButton::RepeatButton(Application& app, std::wstring className, std::wstring name)
    : ButtonBase(app, std::move(className), std::move(name)) {
    SetClickMode(ClickMode::Press);
}

// --- ToggleButton ------------------------------------------------------------------------------------

ToggleButton::ToggleButton(Application& app, std::wstring className, std::wstring name)
    : ButtonBase(app, std::move(className), std::move(name)) {
    AddProperty(
        L"IsChecked", [this] { return CheckedValue(); },
        [this](const VARIANT& v) { SetChecked(NullableOf(v)); });
    AddProperty(
        L"IsThreeState", [this] { return ov::Variant::Bool(threeState_); },
        [this](const VARIANT& v) { threeState_ = BoolOf(v); });
}

void ToggleButton::SetChecked(std::optional<bool> checked) {
    bool becomesChecked = checked == true && checked_ != true;
    checked_ = checked;
    if (becomesChecked) OnChecked();
}

void ToggleButton::ResetStateAfterClicks() {
    SetClickHandler([this](ButtonBase&) { SetChecked(beforeClick_); });
}

void ToggleButton::OnToggle() {
    beforeClick_ = checked_;
    // WPF's ToggleButton.OnToggle.
    if (checked_ == true)
        SetChecked(threeState_ ? std::nullopt : std::optional<bool>(false));
    else
        SetChecked(checked_.has_value());
}

ov::Variant ToggleButton::CheckedValue() const {
    if (form_ == CheckedForm::Boxed) {
        if (!checked_) return Obj(nullptr);
        auto boxed = ov::Create<BoxedNullableBool>(SharedRuntime(), *checked_);
        return Obj(boxed.Get());
    }
    if (checked_) return ov::Variant::Bool(*checked_);
    ov::Variant none;
    if (form_ == CheckedForm::BoolOrNull) none.vt = VT_NULL;
    return none;
}

// --- RadioButton -------------------------------------------------------------------------------------

RadioButton::RadioButton(Application& app, std::wstring className, std::wstring name, std::wstring groupName)
    : ToggleButton(app, std::move(className), std::move(name)), groupName_(std::move(groupName)) {
    AddProperty(
        L"GroupName", [this] { return Str(groupName_); },
        [this](const VARIANT& v) { groupName_ = TextOf(v); });
}

void RadioButton::OnToggle() {
    // A click never unchecks a radio button.
    SetChecked(true);
}

// WPF's RadioButton.UpdateRadioButtonGroup: a named group is the radio buttons of that name under the same
// visual root (a window, or a popup's window); without a name, the siblings of the same logical parent that
// have none either.
bool RadioButton::SameGroup(RadioButton& other) {
    if (&other == this || other.groupName_ != groupName_) return false;
    // A named group's mates are collected from the visual root (OnChecked).
    return !groupName_.empty() || other.LogicalParent() == LogicalParent();
}

void RadioButton::OnChecked() {
    std::vector<RadioButton*> mates;
    std::function<void(const std::vector<Element*>&)> collect = [&](const std::vector<Element*>& level) {
        for (Element* e : level) {
            if (auto* radio = dynamic_cast<RadioButton*>(e); radio && SameGroup(*radio))
                mates.push_back(radio);
            if (!groupName_.empty()) collect(e->Children());
        }
    };
    if (!groupName_.empty()) {
        collect({VisualRoot(this)});
    } else if (LogicalParent()) {
        collect(LogicalParent()->LogicalChildren());
    }
    for (RadioButton* mate : mates)
        if (mate->IsChecked() == true) mate->SetChecked(false);
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> ButtonTypes() {
    return {
        {.name = L"ButtonBase",
         .className = L"System.Windows.Controls.Primitives.ButtonBase",
         .base = L"ContentControl",
         .properties = {{L"ClickMode",
                         [](Node& n, std::wstring_view v) {
                             As<ButtonBase>(n).SetClickMode(static_cast<ButtonBase::ClickMode>(
                                 EnumValue(v, {L"Release", L"Press", L"Hover"})));
                         }}},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"Button",
         .className = L"System.Windows.Controls.Button",
         .base = L"ButtonBase",
         .make = &Make<Button>,
         .properties = {Cosmetic(L"IsDefault"), Cosmetic(L"IsCancel")},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"RepeatButton",
         .className = L"System.Windows.Controls.Primitives.RepeatButton",
         .base = L"ButtonBase",
         .make = &Make<RepeatButton>,
         .properties = {Cosmetic(L"Delay"), Cosmetic(L"Interval")},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"ToggleButton",
         .className = L"System.Windows.Controls.Primitives.ToggleButton",
         .base = L"ButtonBase",
         .make = &Make<ToggleButton>,
         .properties =
             {
                 {L"IsChecked",
                  [](Node& n, std::wstring_view v) {
                      std::optional<bool> checked;
                      if (Trim(v) != L"{x:Null}") checked = ToBool(v);
                      As<ToggleButton>(n).SetChecked(checked);
                  }},
                 {L"IsThreeState",
                  [](Node& n, std::wstring_view v) { As<ToggleButton>(n).SetThreeState(ToBool(v)); }},
             },
         .content = Content::Single,
         .textProperty = L"Content",
         .sim = {{L"CheckedForm",
                  [](Node& n, std::wstring_view v) {
                      As<ToggleButton>(n).SetCheckedForm(
                          static_cast<CheckedForm>(EnumValue(v, {L"BoolOrNull", L"BoolOrEmpty", L"Boxed"})));
                  }}}},
        {.name = L"CheckBox",
         .className = L"System.Windows.Controls.CheckBox",
         .base = L"ToggleButton",
         .make = &Make<CheckBox>,
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"RadioButton",
         .className = L"System.Windows.Controls.RadioButton",
         .base = L"ToggleButton",
         .make = &Make<RadioButton>,
         .properties = {{L"GroupName",
                         [](Node& n, std::wstring_view v) {
                             As<RadioButton>(n).SetGroupName(std::wstring(v));
                         }}},
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
