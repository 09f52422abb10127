// The menus of the simulated application (Menu, ContextMenu, MenuItem, Separator), as WPF builds them.
#pragma once

#include "Items.h"
#include "Popup.h"

#include <functional>

namespace wpfsim {

class MenuItem;
class Popup;

// WPF's menus (MenuBase, Menu, ContextMenu, MenuItem):
//   - "IsMenuMode" (get, put): a Menu is in menu mode from the opening of a top-level submenu until a leaf
//     item's click, a second click on the open top-level header, a click outside the menu or its submenus, or
//     the closing of its last open submenu; a ContextMenu while it is open. Leaving menu mode closes the
//     submenus (and the context menu).
//   - a MenuItem's "Role" (a boxed System.Windows.Controls.MenuItemRole, its name as "OleValue"):
//     TopLevelHeader or TopLevelItem in a Menu, SubmenuHeader or SubmenuItem elsewhere; a header has items
//     and is not checkable. A left press on a header opens its submenu ("IsSubmenuOpen", PART_Popup in a
//     window of its own) or, on an open top-level header, leaves menu mode; a left release on an item raises
//     its Click, toggles "IsChecked" when "IsCheckable", and closes the menus unless "StaysOpenOnClick". In a
//     context menu the right button does the same. Presses inside a submenu's window reach only the items
//     there (disabled items ignore them, and so does their header).
//   - hover: in menu mode the mouse entering an enabled item selects it: the submenus of its siblings close
//     and a header opens its own (at once: the simulation's mouse stays longer than WPF's MenuShowDelay).
//     Outside menu mode hovering changes nothing.
//   - a ContextMenu set on an element ("ContextMenu", <X.ContextMenu>) opens at the point of a right click
//     whose release no element handled, on the nearest enabled element of the route that has one; its
//     "PlacementTarget" becomes that element. "IsOpen" (get, put) opens it at the mouse's point. Its popup is
//     made at the first opening and stays its logical parent, as WPF's; a click outside closes it.
//   - a MenuItem's internal "get_LogicalParent" (MenuItem.LogicalParent): its "Parent", or for a generated
//     item the items control it is an item of; no other element has the member.
class MenuBase : public ItemsControl {
public:
    MenuBase(Application& app, std::wstring className, std::wstring name);
    bool IsMenuMode() const noexcept { return menuMode_; }
    virtual void SetMenuMode(bool menuMode);
    // The submenus of the items other than `keep` close (the selection moved to `keep`).
    void CloseSubmenusBut(const Element* keep);
    // A top-level item's submenu opened (the others close) or closed.
    virtual void OnSubmenuChanged(MenuItem& item, bool open);

protected:
    bool menuMode_ = false;
    bool switching_ = false; // the selection moves from one submenu to another
};

class Menu : public MenuBase {
public:
    Menu(Application& app, std::wstring className, std::wstring name);
    void OnSubmenuChanged(MenuItem& item, bool open) override;

protected:
    void OnApplyTemplate() override;
};

class ContextMenu : public MenuBase {
public:
    ContextMenu(Application& app, std::wstring className, std::wstring name);
    bool IsOpen() const noexcept;
    // Opens at the screen point (the mouse's), or closes.
    void SetIsOpen(bool open);
    void OpenAt(POINT screen);
    Element* PlacementTarget() const noexcept { return target_.Get(); }
    void SetPlacementTarget(Element* target) noexcept { target_ = target; }
    void SetMenuMode(bool menuMode) override;

protected:
    void OnApplyTemplate() override;

private:
    Popup* popup_ = nullptr;
    ov::ComPtr<Element> target_; // a reference, as WPF's property holds one
};

class MenuItem : public HeaderedItemsControl {
public:
    enum class Role { TopLevelItem = 0, TopLevelHeader = 1, SubmenuItem = 2, SubmenuHeader = 3 };
    MenuItem(Application& app, std::wstring className, std::wstring name);
    bool IsSubmenuOpen() const noexcept;
    void SetSubmenuOpen(bool open);
    bool IsCheckable() const noexcept { return checkable_; }
    void SetCheckable(bool checkable) noexcept { checkable_ = checkable; }
    bool IsChecked() const noexcept { return checked_; }
    void SetChecked(bool checked) noexcept { checked_ = checked; }
    void SetStaysOpenOnClick(bool stays) noexcept { staysOpen_ = stays; }
    Role GetRole() const noexcept;
    // The menu or menu item whose item this is, and the Menu or ContextMenu at the top (null outside one).
    ItemsControl* ParentMenu() const noexcept;
    MenuBase* RootMenu() const noexcept;
    // "Icon" (get, put): text or an element, shown by the template's ContentPresenter "Icon", which the
    // item makes at the first icon (in a Grid with the header, the icon's column first).
    void SetIcon(std::wstring text);
    void SetIconElement(Element* element);
    // Click events raised so far, and the application's handler (after the item's own reaction).
    long ClickCount() const noexcept { return clickCount_; }
    void SetClickHandler(std::function<void(MenuItem&)> handler) { handler_ = std::move(handler); }

protected:
    void OnApplyTemplate() override;
    void OnMouseDown(MouseEvent& e) override;
    void OnMouseUp(MouseEvent& e) override;
    void OnMouseEnter() override;

private:
    bool Answers(const MouseEvent& e) const;
    void OnSubmenuOpenChanged(bool open);
    void ClickItem();
    void ShowIcon();
    Popup* popup_ = nullptr;
    Element* templateRoot_ = nullptr;
    ContentPresenter* headerHost_ = nullptr;
    ContentPresenter* iconHost_ = nullptr;
    wpfsim::Content icon_;
    OpenOnLoad openOnLoad_;
    bool checkable_ = false;
    bool checked_ = false;
    bool staysOpen_ = false;
    long clickCount_ = 0;
    std::function<void(MenuItem&)> handler_;
};

// The line between menu items (or toolbar items): a Control that takes no input.
class Separator : public Control {
public:
    Separator(Application& app, std::wstring className, std::wstring name);

protected:
    Size MeasureOverride(Size available) override;
};

} // namespace wpfsim
