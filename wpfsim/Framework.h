// Framework elements of the simulated application that are no control of the module's kinds but that an
// application is built from:
//
//   FrameworkElement  WPF's base of every element in a window: "ContextMenu" (a null object)
//   Window            + "Title" (get, put)
//   TextBlock         + "Text" (get, put)
//
// Panels and decorators (StackPanel, Grid, Border, ...) are plain FrameworkElements of their class.
#pragma once

#include "Element.h"

namespace wpfsim {

class FrameworkElement : public Element {
public:
    FrameworkElement(Application& app, std::wstring className, std::wstring name);
};

class Window : public FrameworkElement {
public:
    Window(Application& app, std::wstring className, std::wstring name);

    const std::wstring& Title() const noexcept { return title_; }
    void SetTitle(std::wstring title) { title_ = std::move(title); }

private:
    std::wstring title_;
};

class TextBlock : public FrameworkElement {
public:
    TextBlock(Application& app, std::wstring className, std::wstring name);

    const std::wstring& Text() const noexcept { return text_; }
    void SetText(std::wstring text) { text_ = std::move(text); }

private:
    std::wstring text_;
};

} // namespace wpfsim
