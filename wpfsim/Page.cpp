#include "Page.h"

#include "XamlSchema.h"

#include <limits>

namespace wpfsim {

Page::Page(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)),
      windowWidth_(std::numeric_limits<double>::quiet_NaN()),
      windowHeight_(std::numeric_limits<double>::quiet_NaN()) {
    SetFocusable(false);
    AddProperty(
        L"Title", [this] { return Str(title_); }, [this](const VARIANT& v) { title_ = TextOf(v); });
    AddProperty(L"WindowTitle", [this] { return Str(windowTitle_.value_or(title_)); });
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
