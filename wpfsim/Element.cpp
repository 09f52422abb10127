#include "Element.h"

#include "Application.h"

#include <stdexcept>

namespace wpfsim {

ClrException ArgumentOutOfRange(std::wstring_view parameter) {
    // COR_E_ARGUMENTOUTOFRANGE: a .NET exception reaches OLE with its HRESULT as scode.
    return {L"mscorlib", 0,
            L"Specified argument was out of the range of valid values.\r\nParameter name: " +
                std::wstring(parameter),
            static_cast<SCODE>(0x80131502)};
}

Element::Element(Application& app, std::wstring className, std::wstring name)
    : ClrObject(app.SharedRuntime(), std::move(className)), app_(&app), name_(std::move(name)) {
    if (FAILED(CoCreateGuid(&id_))) throw std::runtime_error("CoCreateGuid failed");

    AddProperty(
        L"Name", [this] { return Str(name_); }, [this](const VARIANT& v) { name_ = TextOf(v); });
    for (const wchar_t* logical : {L"Parent", L"get_Parent", L"get_LogicalParent"})
        AddProperty(logical, [this] { return Obj(LogicalParent()); });
    AddProperty(L"get_VisualParent", [this] { return Obj(parent_); });
    AddProperty(L"get_VisualChildrenCount",
                [this] { return ov::Variant::Int(static_cast<LONG>(children_.size())); });
    AddMethod(L"GetVisualChild", 1, [this](const Args& a) {
        LONG i = IntOf(a[0]);
        if (i < 0 || static_cast<size_t>(i) >= children_.size()) throw ArgumentOutOfRange(L"index");
        return Obj(children_[static_cast<size_t>(i)]);
    });
    AddProperty(
        L"IsEnabled", [this] { return ov::Variant::Bool(IsEnabled()); },
        [this](const VARIANT& v) { enabled_ = BoolOf(v); });
    AddProperty(L"IsVisible", [this] { return ov::Variant::Bool(IsVisible()); });
    AddProperty(
        L"Focusable", [this] { return ov::Variant::Bool(focusable_); },
        [this](const VARIANT& v) { focusable_ = BoolOf(v); });
    for (const wchar_t* focused : {L"IsFocused", L"IsKeyboardFocused"})
        AddProperty(focused, [this] { return ov::Variant::Bool(IsFocused()); });
    AddMethod(L"Focus", 0, [this](const Args&) { return ov::Variant::Bool(Focus()); });
    AddProperty(L"ActualWidth", [this] { return ov::Variant::Double(bounds_.right - bounds_.left); });
    AddProperty(L"ActualHeight", [this] { return ov::Variant::Double(bounds_.bottom - bounds_.top); });
}

Element::~Element() = default;

bool Element::IsEnabled() const noexcept {
    for (const Element* e = this; e; e = e->parent_)
        if (!e->enabled_) return false;
    return true;
}

bool Element::IsVisible() const noexcept {
    for (const Element* e = this; e; e = e->parent_)
        if (!e->visible_) return false;
    return true;
}

bool Element::IsFocused() const noexcept {
    return app_ && app_->focused_ == this;
}

bool Element::Focus() noexcept {
    if (!app_ || !focusable_ || !IsEnabled() || !IsVisible()) return false;
    app_->focused_ = this;
    return true;
}

bool Element::HostClick(const MouseClick& click) {
    if (!app_ || !app_->IsResponding() || ignoresClicks_ || !IsEnabled() || !IsVisible()) return false;
    clicks_.push_back(click);
    OnClick(click);
    return true;
}

void Element::Detach(bool applicationGone) noexcept {
    parent_ = nullptr;
    if (!applicationGone) return;
    children_.clear();
    logicalParent_.Reset();
    app_ = nullptr;
    DropMembers();
}

} // namespace wpfsim
