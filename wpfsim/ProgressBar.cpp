#include "ProgressBar.h"

#include "Border.h"
#include "XamlSchema.h"

namespace wpfsim {

ProgressBar::ProgressBar(Application& app, std::wstring className, std::wstring name)
    : RangeBase(app, std::move(className), std::move(name), 100.0) {
    SetFocusable(false);
    AddProperty(
        L"IsIndeterminate", [this] { return ov::Variant::Bool(indeterminate_); },
        [this](const VARIANT& v) { SetIndeterminate(BoolOf(v)); });
}

void ProgressBar::OnApplyTemplate() {
    auto& root = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"TemplateRoot");
    MakePart<Border>(root, L"System.Windows.Controls.Border", L"");
    track_ = &MakePart<FrameworkElement>(root, L"System.Windows.Shapes.Rectangle", L"PART_Track");
    indicator_ = &MakePart<Grid>(root, L"System.Windows.Controls.Grid", L"PART_Indicator");
    MakePart<FrameworkElement>(*indicator_, L"System.Windows.Shapes.Rectangle", L"Indicator");
    MakePart<FrameworkElement>(*indicator_, L"System.Windows.Shapes.Rectangle", L"Animation");
}

void ProgressBar::ArrangeOverride(Rect inner) {
    RangeBase::ArrangeOverride(inner);
    const double range = Maximum() - Minimum();
    const double share = indeterminate_ ? 1.0 : range <= 0 ? 1.0 : (Value() - Minimum()) / range;
    const RECT& track = track_->Bounds();
    const double width = track.right - track.left, height = track.bottom - track.top;
    if (Horizontal())
        indicator_->Arrange(
            {static_cast<double>(track.left), static_cast<double>(track.top), width * share, height});
    else
        indicator_->Arrange(
            {static_cast<double>(track.left), track.top + height * (1 - share), width, height * share});
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> ProgressBarTypes() {
    return {
        {.name = L"ProgressBar",
         .className = L"System.Windows.Controls.ProgressBar",
         .base = L"RangeBase",
         .make = &Make<ProgressBar>,
         .properties =
             {{L"IsIndeterminate",
               [](Node& n, std::wstring_view v) { As<ProgressBar>(n).SetIndeterminate(ToBool(v)); }},
              {L"Orientation",
               [](Node& n, std::wstring_view v) {
                   As<ProgressBar>(n).SetHorizontal(EnumValue(v, {L"Horizontal", L"Vertical"}) == 0);
               }}}},
    };
}

} // namespace xaml

} // namespace wpfsim
