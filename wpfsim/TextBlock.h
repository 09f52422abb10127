// The elements that show text, with WPF's layout rules:
//
//   TextBlock          "Text" (get, put); its content is text or inline elements (Inline.h), whose texts
//                      "Text" reads in order
//   AccessText         a TextBlock that shows its text without the access-key marker
#pragma once

#include "Framework.h"

namespace wpfsim {

class TextBlock : public FrameworkElement {
public:
    TextBlock(Application& app, std::wstring className, std::wstring name);
    const std::wstring& Text() const noexcept { return text_; }
    // Replaces the inlines, as WPF's Text setter does.
    void SetText(std::wstring text);
    // An inline element (or a UIElement, which goes into an InlineUIContainer) at the end of the text.
    void AddChild(Element& child) override;
    // The inlines changed: the text and the elements shown in it follow.
    void OnInlinesChanged();
    std::wstring DisplayText() const override { return text_; }
    // "TextWrapping": the text breaks between words to fit the width it is given; a word longer than
    // the width is broken inside with Wrap and overflows with WrapWithOverflow, as in WPF.
    enum class Wrapping { NoWrap = 0, Wrap = 1, WrapWithOverflow = 2 };
    void SetWrapping(Wrapping wrapping) {
        wrapping_ = wrapping;
        InvalidateLayout();
    }

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    std::wstring text_;
    Wrapping wrapping_ = Wrapping::NoWrap;
};

// "System.Windows.Controls.AccessText": "Text" is the text as given ("_Open"); it shows it without the
// access-key marker (the first "_" before a character; "__" shows as "_").
class AccessText : public TextBlock {
public:
    AccessText(Application& app, std::wstring className, std::wstring name);
    void SetAccessText(std::wstring text);
    static std::wstring Shown(std::wstring_view text);

private:
    std::wstring raw_;
};

} // namespace wpfsim
