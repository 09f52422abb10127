#include "Inline.h"

#include "Application.h"
#include "TextBlock.h"
#include "XamlSchema.h"

#include <stdexcept>

namespace wpfsim {

void Inline::TextChanged() {
    for (Element* e = LogicalParent(); e; e = e->LogicalParent())
        if (auto* text = dynamic_cast<TextBlock*>(e)) return text->OnInlinesChanged();
}

Inline& AsInline(Element& holder, Element& child) {
    if (auto* inline_ = dynamic_cast<Inline*>(&child)) return *inline_;
    if (child.Kind() != ObjectKind::UIElement)
        throw std::invalid_argument("only inline elements and UIElements go in text");
    auto& container =
        holder.App()->Create<InlineUIContainer>(L"System.Windows.Documents.InlineUIContainer", L"");
    container.AddChild(child);
    return container;
}

Run::Run(Application& app, std::wstring className, std::wstring name)
    : Inline(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Text", [this] { return Str(text_); }, [this](const VARIANT& v) { SetText(TextOf(v)); });
}

void Span::AddChild(Element& child) {
    AddLogicalChild(AsInline(*this, child));
    TextChanged();
}

std::wstring Span::InlineText() const {
    std::wstring text;
    for (Element* child : LogicalChildren())
        if (auto* inline_ = dynamic_cast<Inline*>(child)) text += inline_->InlineText();
    return text;
}

Hyperlink::Hyperlink(Application& app, std::wstring className, std::wstring name)
    : Span(app, std::move(className), std::move(name)) {
    AddProperty(
        L"NavigateUri", [this] { return uri_ ? Str(*uri_) : Obj(nullptr); },
        [this](const VARIANT& v) {
            if (IsNull(v))
                uri_.reset();
            else
                uri_ = TextOf(v);
        });
}

InlineUIContainer::InlineUIContainer(Application& app, std::wstring className, std::wstring name)
    : Inline(app, std::move(className), std::move(name)) {
    AddProperty(L"Child", [this] { return Obj(child_.Get()); });
}

void InlineUIContainer::AddChild(Element& child) {
    if (child_) throw std::invalid_argument("an InlineUIContainer holds one element");
    if (child.Kind() != ObjectKind::UIElement) throw std::invalid_argument("a UIElement expected");
    child_ = &child;
    AddLogicalChild(child);
    TextChanged();
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

Element& MakeRun(Application& app, std::wstring text) {
    auto& run = app.Create<Run>(L"System.Windows.Documents.Run", L"");
    run.SetText(std::move(text));
    return run;
}

bool TrimsSurroundingWhitespace(const Element& element) {
    return dynamic_cast<const LineBreak*>(&element) != nullptr;
}

std::vector<Type> InlineTypes() {
    return {
        {.name = L"Inline",
         .className = L"System.Windows.Documents.Inline",
         .properties = {{L"FontWeight", &check::FontWeight},
                        {L"FontSize", &check::FontSize},
                        {L"FontFamily", &check::FontFamily},
                        {L"Foreground", &check::Brush},
                        {L"Background", &check::Brush}}},
        {.name = L"Run",
         .className = L"System.Windows.Documents.Run",
         .base = L"Inline",
         .make = &Make<Run>,
         .properties = {{L"Text", [](Node& n, std::wstring_view v) { As<Run>(n).SetText(std::wstring(v)); }}},
         .content = Content::Text,
         .textProperty = L"Text"},
        {.name = L"Span",
         .className = L"System.Windows.Documents.Span",
         .base = L"Inline",
         .make = &Make<Span>,
         .content = Content::Inlines},
        {.name = L"Bold",
         .className = L"System.Windows.Documents.Bold",
         .base = L"Span",
         .make = &Make<Span>,
         .content = Content::Inlines},
        {.name = L"Italic",
         .className = L"System.Windows.Documents.Italic",
         .base = L"Span",
         .make = &Make<Span>,
         .content = Content::Inlines},
        {.name = L"Underline",
         .className = L"System.Windows.Documents.Underline",
         .base = L"Span",
         .make = &Make<Span>,
         .content = Content::Inlines},
        {.name = L"Hyperlink",
         .className = L"System.Windows.Documents.Hyperlink",
         .base = L"Span",
         .make = &Make<Hyperlink>,
         .properties = {{L"NavigateUri",
                         [](Node& n, std::wstring_view v) {
                             if (Trim(v).empty()) throw ValueError{L"a URI expected"};
                             As<Hyperlink>(n).SetNavigateUri(std::wstring(v));
                         }},
                        {L"TargetName", &check::Text}},
         .content = Content::Inlines},
        {.name = L"LineBreak",
         .className = L"System.Windows.Documents.LineBreak",
         .base = L"Inline",
         .make = &Make<LineBreak>},
        {.name = L"InlineUIContainer",
         .className = L"System.Windows.Documents.InlineUIContainer",
         .base = L"Inline",
         .make = &Make<InlineUIContainer>,
         .content = Content::Single},
    };
}

} // namespace xaml

} // namespace wpfsim
