#include "Label.h"

#include "Border.h"
#include "TextBlock.h"
#include "XamlSchema.h"

namespace wpfsim {

Label::Label(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    // Label's style: Padding 5; a label takes no focus of its own (it hands it to its Target).
    SetPadding({5, 5, 5, 5});
    SetFocusable(false);
    AddProperty(
        L"Target", [this] { return Obj(target_.Get()); },
        [this](const VARIANT& v) {
            const bool object = v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN;
            Element* element = object ? ElementOf(v) : nullptr;
            if (!element && !IsNull(v)) throw InvalidPropertyValue(TextOf(v), L"Target");
            SetTarget(element);
        });
}

std::wstring Label::DisplayText() const {
    const wpfsim::Content& content = GetContent();
    return content.text ? AccessText::Shown(*content.text) : content.Text();
}

void Label::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
    auto& presenter = MakePart<ContentPresenter>(border, L"System.Windows.Controls.ContentPresenter", L"");
    presenter.SetRecognizesAccessKey(true);
    SetPresenter(&presenter);
}

// The template's Border takes the Padding: the content lies inside it.
void Label::ArrangeOverride(Rect inner) {
    ContentControl::ArrangeOverride(TemplateReplaced() ? inner : Deflate(inner, Padding()));
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> LabelTypes() {
    return {
        {.name = L"Label",
         .className = L"System.Windows.Controls.Label",
         .base = L"ContentControl",
         .make = &Make<Label>,
         .properties = {{L"Target",
                         [](Node&, std::wstring_view) {
                             // WPF's UIElement has no converter from text.
                             throw ValueError{L"an element expected ({Binding ElementName=...})"};
                         },
                         [](Node& n, Element& e) { As<Label>(n).SetTarget(&e); }}},
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
