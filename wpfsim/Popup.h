// Popups, as WPF opens them:
//
//   Popup              "IsOpen" (get, put), "Child", "StaysOpen", "PlacementTarget": its child lives in a
//                      top-level window whose root is a PopupRoot, which exists only while the popup is open
//   PopupRoot          the root of a popup's window; its logical parent is the popup
#pragma once

#include "Framework.h"

#include <functional>

namespace wpfsim {

class PopupRoot;

class Popup : public FrameworkElement {
public:
    Popup(Application& app, std::wstring className, std::wstring name);
    bool IsOpen() const noexcept { return static_cast<bool>(root_); }
    // Opens (the child moves into a new popup window) or closes (the window goes); a popup whose opening
    // is blocked (the fault below) stays closed.
    void SetIsOpen(bool open);
    Element* Child() const noexcept { return child_.Get(); }
    void SetChild(Element* child);
    void AddChild(Element& child) override { SetChild(&child); }
    bool StaysOpen() const noexcept { return staysOpen_; }
    void SetStaysOpen(bool staysOpen) noexcept { staysOpen_ = staysOpen; }
    // Where the window opens: below (the default) or to the right of the placement target (the
    // popup's visual parent when none is set), or with its top-left corner at a screen point.
    enum class Placement { Bottom, Right, MousePoint };
    void SetPlacement(Placement placement) noexcept { placement_ = placement; }
    void SetPlacementPoint(POINT point) noexcept { point_ = point; }
    // A press inside this element does not light-dismiss the popup (a submenu's menu; default: the
    // popup itself).
    void SetDismissScope(Element* scope) noexcept { scope_ = scope; }
    const Element& DismissScope() const noexcept {
        return scope_ ? *scope_ : static_cast<const Element&>(*this);
    }
    void SetPlacementTarget(Element* target) noexcept { target_ = target; }
    Element* PlacementTarget() const noexcept { return target_ ? target_ : Parent(); }
    // Faults: the popup never opens; once open, it never closes (neither by IsOpen nor by light dismiss).
    void SetNeverOpens(bool never) noexcept { neverOpens_ = never; }
    void SetNeverCloses(bool never) noexcept { neverCloses_ = never; }
    // Called with the new state after it changed.
    std::function<void(bool)> onOpenChanged;
    // The rectangle of the popup window for a root of the given desired size.
    Rect WindowPlacement(Size desired) const;

private:
    ov::ComPtr<Element> child_;
    ov::ComPtr<PopupRoot> root_; // the open window's root, which the popup keeps while it is open
    Element* target_ = nullptr;
    Element* scope_ = nullptr;
    POINT point_{};
    bool staysOpen_ = false;
    bool neverOpens_ = false;
    bool neverCloses_ = false;
    Placement placement_ = Placement::Bottom;
};

// An "IsDropDownOpen", "IsSubmenuOpen" or "IsOverflowOpen" as WPF coerces it: while the control is not
// loaded, true is refused (the property stays false) and the control opens when it is loaded, unless a
// later value said false.
class OpenOnLoad {
public:
    // Applies `open` to the popup (through `apply`), or waits for the owner to be loaded.
    void Set(Element& owner, bool open, std::function<void(bool)> apply);

private:
    bool wanted_ = false;
    bool waiting_ = false;
};

// The root element of a popup's window ("System.Windows.Controls.Primitives.PopupRoot"); its logical
// parent is the popup, so routes and parent chains lead back to the owning control.
class PopupRoot : public FrameworkElement {
public:
    PopupRoot(Application& app, std::wstring className, std::wstring name, Popup& popup);
    Popup& Owner() const noexcept { return *popup_; }
    Rect Placement() const { return popup_->WindowPlacement(DesiredSize()); }

private:
    Popup* popup_;
};

} // namespace wpfsim
