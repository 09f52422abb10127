#include "GroupBox.h"

#include "Border.h"
#include "Panels.h"
#include "XamlSchema.h"

namespace wpfsim {

// --- HeaderedContentControl -----------------------------------------------------------------------------

HeaderedContentControl::HeaderedContentControl(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Header", [this] { return HeaderValue(*this, header_); },
        [this](const VARIANT& v) {
            const bool object = v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN;
            if (Element* element = object ? ElementOf(v) : nullptr) return SetHeaderElement(element);
            if (IsNull(v)) return SetHeaderElement(nullptr);
            SetHeader(TextOf(v));
        });
    AddProperty(L"HasHeader", [this] { return ov::Variant::Bool(!header_.Empty()); });
}

void HeaderedContentControl::OnApplyTemplate() {
    auto& stack = MakePart<StackPanel>(*this, L"System.Windows.Controls.StackPanel", L"");
    SetHeaderPresenter(&MakePart<ContentPresenter>(stack, L"System.Windows.Controls.ContentPresenter", L""));
    SetPresenter(&MakePart<ContentPresenter>(stack, L"System.Windows.Controls.ContentPresenter", L""));
}

void HeaderedContentControl::SetHeaderPresenter(ContentPresenter* presenter) {
    headerPresenter_ = presenter;
    ShowHeader();
}

void HeaderedContentControl::ShowHeader() {
    if (headerPresenter_) headerPresenter_->Show(header_);
    InvalidateLayout();
}

void HeaderedContentControl::SetHeader(std::wstring header) {
    if (header_.element) RemoveLogicalChild(*header_.element);
    header_ = {};
    header_.text = std::move(header);
    ShowHeader();
}

void HeaderedContentControl::SetHeaderElement(Element* element) {
    if (header_.element) RemoveLogicalChild(*header_.element);
    header_ = {};
    header_.element = element;
    if (element) AddLogicalChild(*element);
    ShowHeader();
}

// --- GroupBox -------------------------------------------------------------------------------------------

void GroupBox::OnApplyTemplate() {
    auto& grid = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"");
    grid.columns = {6, Auto, -1, 6};
    grid.rows = {Auto, Auto, -1, 6};
    for (int i = 0; i < 2; ++i) {
        auto& frame = MakePart<Border>(grid, L"System.Windows.Controls.Border", L"");
        frame.Layout().row = 1;
        frame.Layout().rowSpan = 3;
        frame.Layout().columnSpan = 4;
    }
    auto& header = MakePart<Border>(grid, L"System.Windows.Controls.Border", L"Header");
    header.padding = {3, 1, 3, 0};
    header.Layout().rowSpan = 2;
    header.Layout().column = 1;
    auto& headerPresenter =
        MakePart<ContentPresenter>(header, L"System.Windows.Controls.ContentPresenter", L"");
    headerPresenter.SetRecognizesAccessKey(true);
    SetHeaderPresenter(&headerPresenter);
    auto& content = MakePart<ContentPresenter>(grid, L"System.Windows.Controls.ContentPresenter", L"");
    content.Layout().row = 2;
    content.Layout().column = 1;
    content.Layout().columnSpan = 2;
    content_ = &content;
    SetPresenter(&content);
}

// The template binds the content presenter's Margin to the Padding, and its BorderThickness (1) frames the
// grid: the control itself adds neither.
Size GroupBox::MeasureOverride(Size available) {
    content_->Layout().margin = Padding();
    return Element::MeasureOverride(available);
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> GroupBoxTypes() {
    return {
        {.name = L"HeaderedContentControl",
         .className = L"System.Windows.Controls.HeaderedContentControl",
         .base = L"ContentControl",
         .make = &Make<HeaderedContentControl>,
         .properties = {HeaderProperty<HeaderedContentControl>()},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"GroupBox",
         .className = L"System.Windows.Controls.GroupBox",
         .base = L"HeaderedContentControl",
         .make = &Make<GroupBox>,
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
