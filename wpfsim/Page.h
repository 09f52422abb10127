// The page of the simulated application: "System.Windows.Controls.Page", a FrameworkElement with one
// "Content" that takes no focus, shown by a Window or a Frame only (elsewhere WPF's InvalidOperationException
// "Page can have only Window or Frame as parent."). "Title" (get, put; null when not set: it names the page's
// journal entry, not the window), "WindowTitle" (get: the title of the window it is in, else WPF's
// InvalidOperationException); in XAML, WindowTitle, WindowWidth and WindowHeight are what the window that
// shows a page at the root takes. Template (Aero2): a Border holding a
// ContentPresenter. A page at the root of its XAML file shows in a NavigationWindow (see host/app/Xaml.h);
// the navigation UI, the journal and navigation itself are left out.
#pragma once

#include "ContentControl.h"

#include <optional>

namespace wpfsim {

// Implemented over ContentControl, which gives it its content and template; its XAML type and its .NET
// surface are Page's, whose base is FrameworkElement.
class Page : public ContentControl {
public:
    Page(Application& app, std::wstring className, std::wstring name);
    const std::optional<std::wstring>& Title() const noexcept { return title_; }
    void SetTitle(std::wstring title) { title_ = std::move(title); }
    const std::optional<std::wstring>& WindowTitle() const noexcept { return windowTitle_; }
    void SetWindowTitle(std::wstring title) { windowTitle_ = std::move(title); }
    // The size of the window that shows the page: NaN when not set.
    double WindowWidth() const noexcept { return windowWidth_; }
    double WindowHeight() const noexcept { return windowHeight_; }
    void SetWindowWidth(double width) noexcept { windowWidth_ = width; }
    void SetWindowHeight(double height) noexcept { windowHeight_ = height; }

private:
    std::optional<std::wstring> title_;
    std::optional<std::wstring> windowTitle_;
    double windowWidth_, windowHeight_;
};

} // namespace wpfsim
