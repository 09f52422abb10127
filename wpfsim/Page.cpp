#include "Page.h"

#include "Window.h"
#include "XamlSchema.h"

#include <limits>

namespace wpfsim {

Page::Page(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)),
      windowWidth_(std::numeric_limits<double>::quiet_NaN()),
      windowHeight_(std::numeric_limits<double>::quiet_NaN()) {
    SetFocusable(false);
    AddProperty(
        L"Title", [this] { return title_ ? Str(*title_) : Obj(nullptr); },
        [this](const VARIANT& v) {
            if (IsNull(v))
                title_.reset();
            else
                title_ = TextOf(v);
        });
    // WPF's getter reads the title of the window the page is in.
    AddProperty(L"WindowTitle", [this] {
        for (const Element* e = this; e; e = e->LogicalParent() ? e->LogicalParent() : e->Parent())
            if (auto* window = dynamic_cast<const Window*>(e)) return Str(window->Title());
        throw ClrException{
            L"PresentationFramework", 0,
            L"Cannot read Page properties because it is not in a tree with Window as its root.",
            static_cast<SCODE>(0x80131509)};
    });
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> PageTypes() {
    return {
        {.name = L"Page",
         .className = L"System.Windows.Controls.Page",
         .base = L"FrameworkElement",
         .make = &Make<Page>,
         .properties =
             {{L"Content", [](Node& n, std::wstring_view v) { As<Page>(n).SetContent(std::wstring(v)); },
               [](Node& n, Element& e) { As<Page>(n).SetContentElement(&e); }},
              {L"Title", [](Node& n, std::wstring_view v) { As<Page>(n).SetTitle(std::wstring(v)); }},
              {L"WindowTitle",
               [](Node& n, std::wstring_view v) { As<Page>(n).SetWindowTitle(std::wstring(v)); }},
              {L"WindowWidth", [](Node& n, std::wstring_view v) { As<Page>(n).SetWindowWidth(ToLength(v)); }},
              {L"WindowHeight",
               [](Node& n, std::wstring_view v) { As<Page>(n).SetWindowHeight(ToLength(v)); }}},
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
