#include "Expander.h"

#include "Border.h"
#include "Buttons.h"
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

namespace {
// The header's toggle: Aero2's header style, a 19-wide arrow circle beside the header.
class HeaderSite : public ToggleButton {
public:
    using ToggleButton::ToggleButton;
    ContentPresenter* presenter = nullptr;

protected:
    void OnApplyTemplate() override {
        presenter = &MakePart<ContentPresenter>(*this, L"System.Windows.Controls.ContentPresenter", L"");
    }
    Size MeasureOverride(Size available) override {
        const Size content = Element::MeasureOverride(available);
        return {content.width + 19, std::max(content.height, 19.0)};
    }
    void ArrangeOverride(Rect inner) override {
        presenter->Arrange({inner.x + 19, inner.y, std::max(0.0, inner.width - 19), inner.height});
    }
};
} // namespace

void Expander::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
    auto& dock = MakePart<DockPanel>(border, L"System.Windows.Controls.DockPanel", L"");
    auto& header =
        MakePart<HeaderSite>(dock, L"System.Windows.Controls.Primitives.ToggleButton", L"HeaderSite");
    header.Layout().dock = Dock::Top;
    header.Layout().margin = {1, 1, 1, 1};
    header.SetClickHandler([this](ButtonBase&) { SetExpanded(headerSite_->IsChecked() == true); });
    headerSite_ = &header;
    headerPresenter_ = header.presenter;
    auto& site = MakePart<ContentPresenter>(dock, L"System.Windows.Controls.ContentPresenter", L"ExpandSite");
    site_ = &site;
    site.Layout().dock = Dock::Bottom;
    site.SetVisibility(Visibility::Collapsed);
    SetPresenter(&site);
}

void Expander::SetExpanded(bool expanded) {
    expanded_ = expanded;
    if (site_) site_->SetVisibility(expanded ? Visibility::Visible : Visibility::Collapsed);
    if (headerSite_) headerSite_->SetChecked(expanded);
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
