#include "ContentControl.h"

#include "Border.h"
#include "TextBlock.h"
#include "XamlSchema.h"

#include <stdexcept>

namespace wpfsim {

// --- content --------------------------------------------------------------------------------------------

std::wstring Content::Text() const {
    if (text) return *text;
    if (element) return element->DisplayText();
    return {};
}

ov::Variant HeaderValue(const Element& self, const Content& header) {
    if (header.element) return ClrObject::Obj(header.element.Get());
    return header.text ? self.Str(*header.text) : ClrObject::Obj(nullptr);
}

bool IsTemplatePart(const Element& element) {
    const auto* presenter = dynamic_cast<const ContentPresenter*>(element.TemplatedParent());
    return element.TemplatedParent() && !(presenter && presenter->ShowsDataTemplate());
}

void ContentPresenter::Show(const Content& content) {
    while (!Children().empty()) {
        Element& shown = *Children().back();
        // The text it made goes with it; an element content is the control's, a template's tree the
        // content's.
        if (shown.TemplatedParent() == this && &shown != content.shown.Get())
            DiscardPart(shown);
        else
            RemoveVisualChild(shown);
    }
    text_ = nullptr;
    templated_ = content.templated;
    if (content.templated) {
        if (content.shown) {
            if (Element* parent = content.shown->Parent(); parent && parent != this)
                parent->RemoveVisualChild(*content.shown);
            if (!content.shown->Parent()) AddVisualChild(*content.shown);
            AdoptTemplate(*content.shown);
        }
    } else if (content.element) {
        if (content.element->Parent()) content.element->Parent()->RemoveVisualChild(*content.element);
        AddVisualChild(*content.element);
    } else if (content.text) {
        // String content is shown by a TextBlock that the presenter makes (templated by the presenter).
        if (accessKey_) {
            auto& text = MakePart<AccessText>(*this, L"System.Windows.Controls.AccessText", L"");
            text.SetAccessText(*content.text);
            text_ = &text;
        } else {
            auto& text = MakePart<TextBlock>(*this, L"System.Windows.Controls.TextBlock", L"");
            text.SetText(*content.text);
            text_ = &text;
        }
    }
}

std::wstring ContentPresenter::DisplayText() const {
    return text_ ? text_->DisplayText() : std::wstring();
}

ContentControl::ContentControl(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Content", [this] { return ContentValue(); },
        [this](const VARIANT& v) {
            ov::ComPtr<ClrObject> object =
                (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) ? ObjectOf(v) : nullptr;
            if (auto* element = dynamic_cast<Element*>(object.Get()))
                SetContentElement(element);
            else
                SetContent(TextOf(v));
        });
}

ov::Variant ContentControl::ContentValue() const {
    if (content_.element) return Obj(content_.element.Get());
    if (content_.text) return Str(*content_.text);
    return Obj(nullptr);
}

void ContentControl::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
    SetPresenter(&MakePart<ContentPresenter>(border, L"System.Windows.Controls.ContentPresenter", L""));
}

void ContentControl::SetPresenter(ContentPresenter* presenter) {
    presenter_ = presenter;
    Present();
}

void ContentControl::Present() {
    if (presenter_) presenter_->Show(content_);
    InvalidateLayout();
    OnContentChanged();
}

void ContentControl::SetContent(std::wstring text) {
    if (content_.element && contentLogical_) RemoveLogicalChild(*content_.element);
    content_ = {};
    content_.text = std::move(text);
    Present();
}

void ContentControl::SetContentElement(Element* element, bool logical) {
    if (content_.element && contentLogical_) RemoveLogicalChild(*content_.element);
    content_ = {};
    content_.element = element;
    contentLogical_ = logical;
    if (element && logical) AddLogicalChild(*element);
    Present();
}

void ContentControl::ShowTemplate(ov::ComPtr<Element> root) {
    content_.templated = true;
    content_.shown = std::move(root);
    Present();
}

void ContentControl::ReplaceTemplate(ov::ComPtr<Element> root) {
    // The content is the control's: it leaves the old parts before they go.
    if (content_.element && content_.element->Parent())
        content_.element->Parent()->RemoveVisualChild(*content_.element);
    while (!Children().empty()) {
        Element& part = *Children().back();
        if (part.TemplatedParent() == this)
            DiscardPart(part);
        else
            RemoveVisualChild(part);
    }
    presenter_ = nullptr;
    templateReplaced_ = true;
    ContentPresenter* presenter = nullptr;
    if (root) {
        AddVisualChild(*root);
        AdoptTemplate(*root);
        std::vector<Element*> pending{root.Get()};
        while (!pending.empty() && !presenter) {
            Element* e = pending.front();
            pending.erase(pending.begin());
            if (auto* p = dynamic_cast<ContentPresenter*>(e); p && p->TemplatedParent() == this)
                presenter = p;
            pending.insert(pending.end(), e->Children().begin(), e->Children().end());
        }
    }
    if (presenter)
        SetPresenter(presenter);
    else
        Present();
}

void ContentControl::AddChild(Element& child) {
    if (!content_.Empty()) throw std::invalid_argument("the content is set already");
    SetContentElement(&child);
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {
namespace {

// The content of a content control: text, or an element in a property element.
void SetContent(Node& n, std::wstring_view v) {
    As<ContentControl>(n).SetContent(std::wstring(v));
}
void SetContentElement(Node& n, Element& e) {
    As<ContentControl>(n).SetContentElement(&e);
}
const Property kContent{L"Content", &SetContent, &SetContentElement};

} // namespace

std::vector<Type> ContentControlTypes() {
    return {
        // Outside a template a presenter shows its own Content, as its visual child only (it is no logical
        // parent); it has no content property, so children are no content.
        {.name = L"ContentPresenter",
         .className = L"System.Windows.Controls.ContentPresenter",
         .base = L"FrameworkElement",
         .make = &Make<ContentPresenter>,
         .properties = {{L"Content",
                         [](Node& n, std::wstring_view v) {
                             As<ContentPresenter>(n).Show(wpfsim::Content{std::wstring(v), nullptr});
                         },
                         [](Node& n, Element& e) {
                             As<ContentPresenter>(n).Show(wpfsim::Content{std::nullopt, &e});
                         }}}},
        {.name = L"ContentControl",
         .className = L"System.Windows.Controls.ContentControl",
         .base = L"Control",
         .make = &Make<ContentControl>,
         .properties = {kContent},
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
