// Content and the controls that hold one, with WPF's rules:
//
//   ContentPresenter   shows its templated parent's content: an element as its visual child, text in a
//                      TextBlock of its own, or the visual tree of a data template made for it
//   ContentControl     "Content" (get, put): text, or an element (its logical child, "Content" returns it);
//                      its default template may give way to one the application gives
#pragma once

#include "Framework.h"

#include <optional>

namespace wpfsim {

// What a ContentControl (or a HeaderedItemsControl's header) holds: text or an element. The holder makes
// the element its logical child.
class Content {
public:
    Content() = default;
    Content(std::optional<std::wstring> shownText, ov::ComPtr<Element> shownElement)
        : text(std::move(shownText)), element(std::move(shownElement)) {}
    std::optional<std::wstring> text;
    ov::ComPtr<Element> element;
    // A data template's visual tree (null: an empty template), shown in place of the text: the presenter
    // takes its elements as its parts.
    bool templated = false;
    ov::ComPtr<Element> shown;
    bool Empty() const noexcept { return !text && !element; }
    std::wstring Text() const;
};

// What a "Header" gives: its element, its text, or a null object.
ov::Variant HeaderValue(const Element& self, const Content& header);

// Whether an element belongs to a control's template (its chrome, its presenters, the text a presenter
// makes) rather than to the application's content: the tree of a data template that a presenter shows is
// content, though WPF makes the presenter its templated parent.
bool IsTemplatePart(const Element& element);

class ContentPresenter : public FrameworkElement {
public:
    using FrameworkElement::FrameworkElement;
    // Shows the content: replaces what the presenter showed before.
    void Show(const Content& content);
    std::wstring DisplayText() const override;
    // Text content shows in an AccessText (RecognizesAccessKey, as menu item headers have it).
    void SetRecognizesAccessKey(bool recognizes) noexcept { accessKey_ = recognizes; }
    // Whether it shows a data template's tree (the application's content, not the control's chrome).
    bool ShowsDataTemplate() const noexcept { return templated_; }

private:
    Element* text_ = nullptr;
    bool templated_ = false;
    bool accessKey_ = false;
};

class ContentControl : public Control {
public:
    ContentControl(Application& app, std::wstring className, std::wstring name);
    const wpfsim::Content& GetContent() const noexcept { return content_; }
    std::wstring ContentText() const { return content_.Text(); }
    void SetContent(std::wstring text);
    // `logical` false: the element is the item of the items control that generated this container, and
    // stays that control's logical child (WPF's ContentIsNotLogical).
    void SetContentElement(Element* element, bool logical = true);
    // Shows a data template's visual tree for the content (a generated container's data item).
    void ShowTemplate(ov::ComPtr<Element> root);
    // A control template in place of the kind's default one (null: an empty template): the default parts
    // go, the new tree's first ContentPresenter shows the content (none: the content is not shown).
    void ReplaceTemplate(ov::ComPtr<Element> root);
    bool TemplateReplaced() const noexcept { return templateReplaced_; }
    void AddChild(Element& child) override;
    std::wstring DisplayText() const override { return content_.Text(); }

protected:
    // The presenter that shows the content (made by the kind's template; the default template is a
    // Border holding it).
    void OnApplyTemplate() override;
    void SetPresenter(ContentPresenter* presenter);
    virtual void OnContentChanged() {}
    ov::Variant ContentValue() const;

private:
    void Present();
    wpfsim::Content content_;
    bool contentLogical_ = true;
    bool templateReplaced_ = false;
    ContentPresenter* presenter_ = nullptr;
};

} // namespace wpfsim
