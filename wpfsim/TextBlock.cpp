#include "TextBlock.h"

#include "Inline.h"
#include "XamlSchema.h"

#include <functional>

#include <algorithm>

namespace wpfsim {

TextBlock::TextBlock(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Text", [this] { return Str(text_); }, [this](const VARIANT& v) { SetText(TextOf(v)); });
}

void TextBlock::SetText(std::wstring text) {
    while (!LogicalChildren().empty())
        RemoveLogicalChild(*LogicalChildren().back());
    while (!Children().empty())
        RemoveVisualChild(*Children().back());
    text_ = std::move(text);
    InvalidateLayout();
}

void TextBlock::AddChild(Element& child) {
    AddLogicalChild(AsInline(*this, child));
    OnInlinesChanged();
}

void TextBlock::OnInlinesChanged() {
    std::wstring text;
    std::vector<Element*> embedded;
    std::function<void(Element&)> walk = [&](Element& e) {
        if (auto* container = dynamic_cast<InlineUIContainer*>(&e); container && container->Child())
            embedded.push_back(container->Child());
        for (Element* child : e.LogicalChildren())
            if (dynamic_cast<Inline*>(child)) walk(*child);
    };
    for (Element* child : LogicalChildren())
        if (auto* inline_ = dynamic_cast<Inline*>(child)) {
            text += inline_->InlineText();
            walk(*child);
        }
    text_ = std::move(text);
    for (Element* e : embedded)
        if (e->Parent() != this) {
            if (e->Parent()) e->Parent()->RemoveVisualChild(*e);
            AddVisualChild(*e);
        }
    InvalidateLayout();
}

// The elements in the text stand at its top left, at their desired size.
void TextBlock::ArrangeOverride(Rect inner) {
    for (Element* child : Children())
        child->Arrange({inner.x, inner.y, child->DesiredSize().width, child->DesiredSize().height});
}

AccessText::AccessText(Application& app, std::wstring className, std::wstring name)
    : TextBlock(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Text", [this] { return Str(raw_); }, [this](const VARIANT& v) { SetAccessText(TextOf(v)); });
}

void AccessText::SetAccessText(std::wstring text) {
    raw_ = std::move(text);
    SetText(Shown(raw_));
}

std::wstring AccessText::Shown(std::wstring_view text) {
    std::wstring shown;
    bool marked = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'_' && i + 1 < text.size()) {
            if (text[i + 1] == L'_') {
                shown += L'_';
                ++i;
                continue;
            }
            if (!marked) {
                marked = true;
                continue;
            }
        }
        shown += text[i];
    }
    return shown;
}

namespace {

constexpr double kCharWidth = 7.0, kLineHeight = 16.0;

// One line of text (no line breaks in it), broken between words to fit the width when wrapping.
Size MeasureLine(std::wstring_view text, double availableWidth, TextBlock::Wrapping wrapping) {
    const Size oneLine{kCharWidth * static_cast<double>(text.size()), kLineHeight};
    if (wrapping == TextBlock::Wrapping::NoWrap || !(availableWidth < oneLine.width)) return oneLine;
    const size_t perLine = std::max<size_t>(1, static_cast<size_t>(availableWidth / kCharWidth));
    // Greedy breaking: each line takes the words that fit; the spaces at a break take no room.
    size_t lines = 0, widest = 0, pos = 0;
    const size_t n = text.size();
    while (pos < n) {
        while (pos < n && text[pos] == L' ')
            ++pos;
        if (pos >= n) break;
        size_t end = std::min(n, pos + perLine);
        if (end < n && text[end] != L' ') {
            const size_t space = text.rfind(L' ', end);
            if (space != std::wstring_view::npos && space > pos)
                end = space;
            else if (wrapping == TextBlock::Wrapping::WrapWithOverflow)
                end = std::min(n, text.find(L' ', end));
        }
        size_t last = end;
        while (last > pos && text[last - 1] == L' ')
            --last;
        widest = std::max(widest, last - pos);
        ++lines;
        pos = end;
    }
    return {kCharWidth * static_cast<double>(widest),
            kLineHeight * static_cast<double>(std::max<size_t>(1, lines))};
}

} // namespace

// Each line of the text (a LineBreak ends one) measures on its own.
Size TextBlock::MeasureOverride(Size available) {
    for (Element* child : Children())
        child->Measure(available);
    const std::wstring shown = DisplayText();
    std::wstring_view rest = shown;
    Size size;
    while (true) {
        const size_t end = rest.find(L"\r\n");
        const Size line = MeasureLine(rest.substr(0, end), available.width, wrapping_);
        size.width = std::max(size.width, line.width);
        size.height += line.height;
        if (end == std::wstring_view::npos) break;
        rest.remove_prefix(end + 2);
    }
    return size;
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> TextBlockTypes() {
    return {
        {.name = L"TextBlock",
         .className = L"System.Windows.Controls.TextBlock",
         .base = L"FrameworkElement",
         .make = &Make<TextBlock>,
         .properties =
             {
                 {L"Text", [](Node& n, std::wstring_view v) { As<TextBlock>(n).SetText(std::wstring(v)); }},
                 Cosmetic(L"Padding"),
                 Cosmetic(L"Background"),
                 Cosmetic(L"Foreground"),
                 Cosmetic(L"FontFamily"),
                 Cosmetic(L"FontSize"),
                 Cosmetic(L"FontWeight"),
                 Cosmetic(L"TextAlignment"),
                 {L"TextWrapping",
                  [](Node& n, std::wstring_view v) {
                      As<TextBlock>(n).SetWrapping(static_cast<TextBlock::Wrapping>(
                          EnumValue(v, {L"NoWrap", L"Wrap", L"WrapWithOverflow"})));
                  }},
             },
         .content = Content::Inlines,
         .textProperty = L"Text"},
    };
}

} // namespace xaml

} // namespace wpfsim
