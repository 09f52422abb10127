#include "Framework.h"

#include "Menus.h"
#include "ToolTip.h"
#include "XamlSchema.h"

namespace wpfsim {

// --- Control --------------------------------------------------------------------------------------------

Control::Control(Application& app, std::wstring className, std::wstring name)
    : Element(app, std::move(className), std::move(name)) {
    SetFocusable(true);
}

Size Control::MeasureOverride(Size available) {
    return Inflate(Element::MeasureOverride(available), padding_);
}

void Control::ArrangeOverride(Rect inner) {
    Element::ArrangeOverride(inner);
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {
namespace {

void Relayout(Node& n) {
    n.element->InvalidateLayout();
}

} // namespace

std::vector<Type> FrameworkTypes() {
    return {
        {.name = L"FrameworkElement",
         .className = L"System.Windows.FrameworkElement",
         .properties =
             {
                 {L"IsEnabled", [](Node& n, std::wstring_view v) { n.element->SetEnabled(ToBool(v)); }},
                 {L"Visibility",
                  [](Node& n, std::wstring_view v) {
                      n.element->SetVisibility(
                          static_cast<Visibility>(EnumValue(v, {L"Visible", L"Hidden", L"Collapsed"})));
                  }},
                 {L"Focusable", [](Node& n, std::wstring_view v) { n.element->SetFocusable(ToBool(v)); }},
                 {L"IsHitTestVisible",
                  [](Node& n, std::wstring_view v) { n.element->SetHitTestVisible(ToBool(v)); }},
                 {L"Width",
                  [](Node& n, std::wstring_view v) {
                      n.element->Layout().width = ToLength(v);
                      Relayout(n);
                  }},
                 {L"Height",
                  [](Node& n, std::wstring_view v) {
                      n.element->Layout().height = ToLength(v);
                      Relayout(n);
                  }},
                 {L"MinWidth",
                  [](Node& n, std::wstring_view v) { n.element->Layout().minWidth = ToExtent(v); }},
                 {L"MinHeight",
                  [](Node& n, std::wstring_view v) { n.element->Layout().minHeight = ToExtent(v); }},
                 {L"MaxWidth",
                  [](Node& n, std::wstring_view v) { n.element->Layout().maxWidth = ToExtent(v); }},
                 {L"MaxHeight",
                  [](Node& n, std::wstring_view v) { n.element->Layout().maxHeight = ToExtent(v); }},
                 {L"Margin",
                  [](Node& n, std::wstring_view v) { n.element->Layout().margin = ToThickness(v); }},
                 {L"ContextMenu", nullptr,
                  [](Node& n, wpfsim::Element& e) {
                      auto* menu = dynamic_cast<wpfsim::ContextMenu*>(&e);
                      if (!menu) throw ValueError{L"a ContextMenu expected"};
                      n.element->SetContextMenu(menu);
                  }},
                 {L"HorizontalAlignment",
                  [](Node& n, std::wstring_view v) {
                      n.element->Layout().horizontalAlignment =
                          static_cast<HorizontalAlignment>(EnumValue(v, check::kHorizontalAlignments));
                      Relayout(n);
                  }},
                 {L"VerticalAlignment",
                  [](Node& n, std::wstring_view v) {
                      n.element->Layout().verticalAlignment =
                          static_cast<VerticalAlignment>(EnumValue(v, check::kVerticalAlignments));
                      Relayout(n);
                  }},
                 {L"ToolTip", [](Node& n, std::wstring_view v) { SetToolTip(*n.element, std::wstring(v)); },
                  [](Node& n, wpfsim::Element& e) { SetToolTip(*n.element, e); }},
             }},
        {.name = L"Control",
         .className = L"System.Windows.Controls.Control",
         .base = L"FrameworkElement",
         .properties =
             {
                 {L"Padding",
                  [](Node& n, std::wstring_view v) {
                      As<wpfsim::Control>(n).SetPadding(ToThickness(v, false));
                  }},
                 Cosmetic(L"Background"),
                 Cosmetic(L"Foreground"),
                 Cosmetic(L"BorderBrush"),
                 Cosmetic(L"BorderThickness"),
                 Cosmetic(L"FontFamily"),
                 Cosmetic(L"FontSize"),
                 Cosmetic(L"FontWeight"),
                 Cosmetic(L"HorizontalContentAlignment"),
                 Cosmetic(L"VerticalContentAlignment"),
             }},
    };
}

} // namespace xaml

} // namespace wpfsim
