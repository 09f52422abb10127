// Framework elements of the simulated application that are no control of the module's kinds but that an
// application is built from:
//
//   Window     "Title" (get, put)
//   TextBlock  "Text" (get, put)
//
// Panels and decorators (StackPanel, Grid, Border, ...) need nothing beyond the plain Element.
#pragma once

#include "Element.h"

namespace wpfsim {

class Window : public Element {
public:
    Window(Application& app, std::wstring className, std::wstring name);

    const std::wstring& Title() const noexcept { return title_; }
    void SetTitle(std::wstring title) { title_ = std::move(title); }

private:
    std::wstring title_;
};

class TextBlock : public Element {
public:
    TextBlock(Application& app, std::wstring className, std::wstring name);

    const std::wstring& Text() const noexcept { return text_; }
    void SetText(std::wstring text) { text_ = std::move(text); }

private:
    std::wstring text_;
};

} // namespace wpfsim
