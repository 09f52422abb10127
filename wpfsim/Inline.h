// The inline text elements of the simulated application (System.Windows.Documents), as a TextBlock holds
// them. They are content elements (FrameworkContentElement): logical only, without a place on screen.
//
//   Run                "Text" (get, put)
//   Span               inline elements as content (text in it becomes Runs); Bold, Italic, Underline and
//                      Hyperlink are Spans
//   Hyperlink          "NavigateUri" (get, put: the address as given, or a null object). A click lands on
//                      the TextBlock that shows it (a content element is never hit): raising its Click and
//                      navigating are left out, also for scripts.
//   LineBreak          a line break ("\r\n" in the text)
//   InlineUIContainer  "Child": an element in the text (its text is one space); the TextBlock shows it as
//                      its visual child at its top left, at the element's desired size
//
// A TextBlock's "Text" reads its inlines as WPF's TextBlock.Text does: their texts in order. Setting "Text"
// replaces them. The text measures and wraps as one text does (TextBlock.h), a line break included.
#pragma once

#include "Framework.h"

#include <optional>

namespace wpfsim {

class Inline : public FrameworkContentElement {
public:
    using FrameworkContentElement::FrameworkContentElement;
    // The text the inline contributes to its TextBlock's "Text".
    virtual std::wstring InlineText() const { return {}; }
    std::wstring DisplayText() const override { return InlineText(); }

protected:
    // The text changed: the TextBlock that holds the inline reads it again.
    void TextChanged();
};

class Run : public Inline {
public:
    Run(Application& app, std::wstring className, std::wstring name);
    void SetText(std::wstring text) {
        text_ = std::move(text);
        TextChanged();
    }
    std::wstring InlineText() const override { return text_; }

private:
    std::wstring text_;
};

class Span : public Inline {
public:
    using Inline::Inline;
    // An inline, or a UIElement (which WPF puts in an InlineUIContainer of its own).
    void AddChild(Element& child) override;
    std::wstring InlineText() const override;
};

class Hyperlink : public Span {
public:
    Hyperlink(Application& app, std::wstring className, std::wstring name);
    void SetNavigateUri(std::optional<std::wstring> uri) { uri_ = std::move(uri); }

private:
    std::optional<std::wstring> uri_;
};

class LineBreak : public Inline {
public:
    using Inline::Inline;
    std::wstring InlineText() const override { return L"\r\n"; }
};

class InlineUIContainer : public Inline {
public:
    InlineUIContainer(Application& app, std::wstring className, std::wstring name);
    Element* Child() const noexcept { return child_.Get(); }
    void AddChild(Element& child) override;
    std::wstring InlineText() const override { return L" "; }

private:
    ov::ComPtr<Element> child_;
};

// Adds inline content to a TextBlock or Span: an Inline as it is, a UIElement in a new InlineUIContainer.
Inline& AsInline(Element& holder, Element& child);

} // namespace wpfsim
