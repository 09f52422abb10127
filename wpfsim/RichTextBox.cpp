#include "RichTextBox.h"

#include "Border.h"
#include "XamlSchema.h"

namespace wpfsim {

namespace {

// The view of the box's document: one line of text for every paragraph, within a page padding of 5.
class RichDocumentView : public FrameworkElement {
public:
    RichDocumentView(Application& app, std::wstring className, std::wstring name, RichTextBox& box)
        : FrameworkElement(app, std::move(className), std::move(name)), box_(box) {}

protected:
    Size MeasureOverride(Size) override {
        constexpr double kPadding = 5, kLine = 16;
        Size size{2 * kPadding, 2 * kPadding};
        for (Element* block : box_.Document().LogicalChildren())
            ForEachLine(*block, [&](const Element& line) {
                size.width =
                    std::max(size.width, 2 * kPadding + 7.0 * static_cast<double>(line.DisplayText().size()));
                size.height += kLine;
            });
        return size;
    }

private:
    RichTextBox& box_;
};

} // namespace

RichTextBox::RichTextBox(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)) {
    ov::ComPtr<FlowDocument> document = app.Make<FlowDocument>(L"System.Windows.Documents.FlowDocument", L"");
    ov::ComPtr<Paragraph> paragraph = app.Make<Paragraph>(L"System.Windows.Documents.Paragraph", L"");
    document->AddChild(*paragraph);
    document_ = document;
    AddLogicalChild(*document_);
    AddProperty(
        L"Document", [this] { return Obj(document_.Get()); },
        [this](const VARIANT& v) {
            ov::ComPtr<ClrObject> object = ObjectOf(v);
            auto* document = dynamic_cast<FlowDocument*>(object.Get());
            // WPF's setter refuses null with ArgumentNullException.
            if (!document) throw ov::ComError(DISP_E_TYPEMISMATCH);
            SetDocument(*document);
        });
    AddProperty(
        L"IsReadOnly", [this] { return ov::Variant::Bool(readOnly_); },
        [this](const VARIANT& v) { readOnly_ = BoolOf(v); });
    AddProperty(
        L"AcceptsReturn", [this] { return ov::Variant::Bool(acceptsReturn_); },
        [this](const VARIANT& v) { acceptsReturn_ = BoolOf(v); });
    AddProperty(
        L"AcceptsTab", [this] { return ov::Variant::Bool(acceptsTab_); },
        [this](const VARIANT& v) { acceptsTab_ = BoolOf(v); });
    AddProperty(
        L"IsDocumentEnabled", [this] { return ov::Variant::Bool(documentEnabled_); },
        [this](const VARIANT& v) { documentEnabled_ = BoolOf(v); });
    AddProperty(L"ScrollViewer", [this] { return Obj(viewer_); });
}

void RichTextBox::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"border");
    border.padding = {2, 2, 2, 2};
    viewer_ = &MakePart<ScrollViewer>(border, L"System.Windows.Controls.ScrollViewer", L"PART_ContentHost");
    viewer_->SetFocusable(false);
    viewer_->SetBarVisibility(true, ScrollViewer::BarVisibility::Hidden);
    viewer_->SetBarVisibility(false, ScrollViewer::BarVisibility::Auto);
    viewer_->SetContentElement(
        &MakeDetachedPart<RichDocumentView>(L"MS.Internal.Documents.FlowDocumentView", L"", *this));
}

void RichTextBox::SetDocument(FlowDocument& document) {
    if (&document == document_.Get()) return;
    if (document.LogicalParent()) throw std::invalid_argument("the document belongs to another element");
    RemoveLogicalChild(*document_);
    document_ = &document;
    AddLogicalChild(document);
    InvalidateLayout();
}

void RichTextBox::AddChild(Element& child) {
    auto* document = dynamic_cast<FlowDocument*>(&child);
    if (!document || declared_) throw std::invalid_argument("a RichTextBox holds one FlowDocument");
    declared_ = true;
    SetDocument(*document);
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

namespace {
constexpr const wchar_t* kBarVisibilities[] = {L"Disabled", L"Auto", L"Hidden", L"Visible"};
template <bool horizontal> void SetBar(Node& n, std::wstring_view v) {
    As<RichTextBox>(n).Viewer().SetBarVisibility(
        horizontal, static_cast<ScrollViewer::BarVisibility>(EnumValue(v, kBarVisibilities)));
}
} // namespace

std::vector<Type> RichTextBoxTypes() {
    return {
        {.name = L"RichTextBox",
         .className = L"System.Windows.Controls.RichTextBox",
         .base = L"Control",
         .make = &Make<RichTextBox>,
         .properties =
             {{L"Document", nullptr,
               [](Node& n, Element& e) {
                   auto* document = dynamic_cast<FlowDocument*>(&e);
                   if (!document) throw ValueError{L"a FlowDocument expected"};
                   As<RichTextBox>(n).AddChild(*document);
               }},
              {L"IsReadOnly",
               [](Node& n, std::wstring_view v) { As<RichTextBox>(n).SetReadOnly(ToBool(v)); }},
              {L"AcceptsReturn",
               [](Node& n, std::wstring_view v) { As<RichTextBox>(n).SetAcceptsReturn(ToBool(v)); }},
              {L"AcceptsTab",
               [](Node& n, std::wstring_view v) { As<RichTextBox>(n).SetAcceptsTab(ToBool(v)); }},
              {L"IsDocumentEnabled",
               [](Node& n, std::wstring_view v) { As<RichTextBox>(n).SetDocumentEnabled(ToBool(v)); }},
              {L"VerticalScrollBarVisibility", &SetBar<false>},
              {L"HorizontalScrollBarVisibility", &SetBar<true>}},
         .content = Content::Single},
    };
}

} // namespace xaml

} // namespace wpfsim
