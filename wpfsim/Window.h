// The top-level windows of the application:
//
//   Window             a Control: a Border holding a ContentPresenter of its "Content"; "Title"
//   ForeignWindow      a window of the process that is not WPF's
#pragma once

#include "ContentControl.h"

namespace wpfsim {

class Window : public ContentControl {
public:
    Window(Application& app, std::wstring className, std::wstring name);
    const std::wstring& Title() const noexcept { return title_; }
    void SetTitle(std::wstring title) { title_ = std::move(title); }

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    std::wstring title_;
};

// A top-level window of the process that is not WPF's (a native dialog, another toolkit's window): the host
// lists it with the application's windows, but its object has no .NET class ("ClrFullClassName" and
// "GetType" are unknown names). XAML: sim:ForeignWindow="True" on the Window.
class ForeignWindow : public Element {
public:
    ForeignWindow(Application& app, std::wstring className, std::wstring name);
};

} // namespace wpfsim
