#include "Border.h"

#include "XamlSchema.h"

#include <stdexcept>

namespace wpfsim {

void Border::AddChild(Element& child) {
    if (!Children().empty()) throw std::invalid_argument("a Border holds one element");
    AddLogicalChild(child);
    AddVisualChild(child);
}

Size Border::MeasureOverride(Size available) {
    return Inflate(Element::MeasureOverride(available), padding);
}

void Border::ArrangeOverride(Rect inner) {
    Element::ArrangeOverride(Deflate(inner, padding));
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> BorderTypes() {
    return {
        {.name = L"Border",
         .className = L"System.Windows.Controls.Border",
         .base = L"FrameworkElement",
         .make = &Make<Border>,
         .properties =
             {
                 {L"Padding",
                  [](Node& n, std::wstring_view v) { As<Border>(n).padding = ToThickness(v, false); }},
                 Cosmetic(L"Background"),
                 Cosmetic(L"BorderBrush"),
                 Cosmetic(L"BorderThickness"),
                 Cosmetic(L"CornerRadius"),
             },
         .content = Content::Single},
    };
}

} // namespace xaml

} // namespace wpfsim
