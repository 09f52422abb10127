#include "Window.h"

#include "Application.h"
#include "XamlSchema.h"

namespace wpfsim {

// --- Window ---------------------------------------------------------------------------------------------

namespace {
constexpr double kWindowFrame = 8, kTitleBar = 23;
}

Window::Window(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Title", [this] { return Str(title_); }, [this](const VARIANT& v) { title_ = TextOf(v); });
}

Size Window::MeasureOverride(Size available) {
    Size s = ContentControl::MeasureOverride(available);
    return {s.width + 2 * kWindowFrame, s.height + kTitleBar + 2 * kWindowFrame};
}

void Window::ArrangeOverride(Rect inner) {
    ContentControl::ArrangeOverride(
        Deflate(inner, {kWindowFrame, kTitleBar + kWindowFrame, kWindowFrame, kWindowFrame}));
}

ForeignWindow::ForeignWindow(Application& app, std::wstring className, std::wstring name)
    : Element(app, std::move(className), std::move(name)) {
    RemoveMember(L"ClrFullClassName");
    RemoveMember(L"GetType");
    // Somewhere off the application's own windows, so that it takes none of their clicks.
    SetBounds({1600, 1200, 1900, 1400});
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> WindowTypes() {
    return {
        {.name = L"Window",
         .className = L"System.Windows.Window",
         .base = L"ContentControl",
         .make = &Make<Window>,
         .properties =
             {
                 {L"Title", [](Node& n, std::wstring_view v) { As<Window>(n).SetTitle(std::wstring(v)); }},
                 Cosmetic(L"ResizeMode"),
                 Cosmetic(L"SizeToContent"),
                 Cosmetic(L"WindowStartupLocation"),
             },
         .content = Content::Single,
         .textProperty = L"Content",
         // The process shows a native window beside this one (it comes first among the top-level windows).
         .sim = {{L"ForeignWindow",
                  [](Node& n, std::wstring_view v) {
                      if (!ToBool(v)) return;
                      Application& app = *n.element->App();
                      app.AddRoot(app.Create<ForeignWindow>(L"#32770", L""));
                  }},
                 // The framework the application runs on: 4.0, or 4.8 for every version from 4.5 on. The
                 // Window's attributes are read before its content is made.
                 {L"Framework",
                  [](Node& n, std::wstring_view v) {
                      const size_t which = EnumValue(v, {L"4.0", L"4.8"});
                      n.element->App()->SetFramework(which == 0 ? Framework::Net40 : Framework::Net48);
                  }},
                 // When the application does the work that WPF defers (Dispatcher.h).
                 {L"Dispatcher",
                  [](Node& n, std::wstring_view v) {
                      n.element->App()->GetDispatcher().SetMode(
                          static_cast<DispatcherMode>(EnumValue(v, {L"Immediate", L"Deferred"})));
                  }}}},
        // The window of a navigation application (it shows a Page). Navigation is left out: its Source
        // shows nothing, as a Frame's (Frame.h).
        {.name = L"NavigationWindow",
         .className = L"System.Windows.Navigation.NavigationWindow",
         .base = L"Window",
         .make = &Make<Window>,
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
