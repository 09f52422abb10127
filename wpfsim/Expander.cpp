#include "Expander.h"

#include "Panels.h"
#include "XamlSchema.h"

namespace wpfsim {

// --- Expander -------------------------------------------------------------------------------------------

Expander::Expander(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    AddProperty(
        L"IsExpanded", [this] { return ov::Variant::Bool(expanded_); },
        [this](const VARIANT& v) { SetExpanded(BoolOf(v)); });
    AddProperty(
        L"Header", [this] { return HeaderValue(*this, header_); },
        [this](const VARIANT& v) {
            if (Element* element = ElementOf(v)) return SetHeaderElement(element);
            SetHeader(TextOf(v));
        });
}

void Expander::OnApplyTemplate() {
    auto& dock = MakePart<DockPanel>(*this, L"System.Windows.Controls.DockPanel", L"");
    auto& header = MakePart<Element>(dock, L"System.Windows.Controls.Primitives.ToggleButton", L"HeaderSite");
    header.Layout().dock = Dock::Top;
    header.Layout().minHeight = 20;
    headerSite_ = &header;
    headerPresenter_ = &MakePart<ContentPresenter>(header, L"System.Windows.Controls.ContentPresenter", L"");
    auto& site = MakePart<ContentPresenter>(dock, L"System.Windows.Controls.ContentPresenter", L"ExpandSite");
    site_ = &site;
    site.SetVisibility(Visibility::Collapsed);
    SetPresenter(&site);
}

bool Expander::OnHeader(const MouseEvent& e) const {
    return e.button == MouseButton::Left && headerSite_ && e.source && headerSite_->IsAncestorOf(*e.source);
}

void Expander::OnMouseDown(MouseEvent& e) {
    if (!OnHeader(e)) return;
    pressed_ = true;
    e.handled = true;
}

void Expander::OnMouseUp(MouseEvent& e) {
    if (!OnHeader(e) || !pressed_) return;
    pressed_ = false;
    e.handled = true;
    SetExpanded(!expanded_);
}

void Expander::SetExpanded(bool expanded) {
    expanded_ = expanded;
    if (site_) site_->SetVisibility(expanded ? Visibility::Visible : Visibility::Collapsed);
    InvalidateLayout();
}

void Expander::SetHeader(std::wstring header) {
    header_ = {};
    header_.text = std::move(header);
    if (headerPresenter_) headerPresenter_->Show(header_);
    InvalidateLayout();
}

void Expander::SetHeaderElement(Element* element) {
    header_ = {};
    header_.element = element;
    if (element) AddLogicalChild(*element);
    if (headerPresenter_) headerPresenter_->Show(header_);
    InvalidateLayout();
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> ExpanderTypes() {
    return {
        {.name = L"Expander",
         .className = L"System.Windows.Controls.Expander",
         .base = L"ContentControl",
         .make = &Make<Expander>,
         .properties = {HeaderProperty<Expander>(),
                        {L"IsExpanded",
                         [](Node& n, std::wstring_view v) { As<Expander>(n).SetExpanded(ToBool(v)); }},
                        Cosmetic(L"ExpandDirection")},
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
