#include "TextBlock.h"

#include "XamlSchema.h"

#include <algorithm>

namespace wpfsim {

TextBlock::TextBlock(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Text", [this] { return Str(text_); }, [this](const VARIANT& v) { SetText(TextOf(v)); });
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

Size TextBlock::MeasureOverride(Size available) {
    constexpr double kCharWidth = 7.0, kLineHeight = 16.0;
    const Size oneLine = TextSize(0, kLineHeight);
    if (wrapping_ == Wrapping::NoWrap || !(available.width < oneLine.width)) return oneLine;
    const size_t perLine = std::max<size_t>(1, static_cast<size_t>(available.width / kCharWidth));
    // Greedy breaking: each line takes the words that fit; the spaces at a break take no room.
    size_t lines = 0, widest = 0, pos = 0;
    const size_t n = text_.size();
    while (pos < n) {
        while (pos < n && text_[pos] == L' ')
            ++pos;
        if (pos >= n) break;
        size_t end = std::min(n, pos + perLine);
        if (end < n && text_[end] != L' ') {
            const size_t space = text_.rfind(L' ', end);
            if (space != std::wstring::npos && space > pos)
                end = space;
            else if (wrapping_ == Wrapping::WrapWithOverflow)
                end = std::min(n, text_.find(L' ', end));
        }
        size_t last = end;
        while (last > pos && text_[last - 1] == L' ')
            --last;
        widest = std::max(widest, last - pos);
        ++lines;
        pos = end;
    }
    return {kCharWidth * static_cast<double>(widest),
            kLineHeight * static_cast<double>(std::max<size_t>(1, lines))};
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
         .content = Content::Text,
         .textProperty = L"Text"},
    };
}

} // namespace xaml

} // namespace wpfsim
