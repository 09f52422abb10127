#include "Framework.h"

namespace wpfsim {

FrameworkElement::FrameworkElement(Application& app, std::wstring className, std::wstring name)
    : Element(app, std::move(className), std::move(name)) {
    AddProperty(L"ContextMenu", [] { return Obj(nullptr); });
}

Window::Window(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Title", [this] { return Str(title_); }, [this](const VARIANT& v) { title_ = TextOf(v); });
}

TextBlock::TextBlock(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Text", [this] { return Str(text_); }, [this](const VARIANT& v) { text_ = TextOf(v); });
}

} // namespace wpfsim
