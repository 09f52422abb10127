// The menu objects over WPF: a Menu, a ContextMenu, or a MenuItem whose "Items" are a submenu, and their
// items, read and set by name through the element's .NET object. An item is acted on through the host: its
// host object is looked for under the owner control's and then in the application's popup windows (where
// submenus and context menus live), so an item of a closed menu cannot be clicked.
#pragma once

#include "../controls/ControlBase.h"
#include "MenuHelper.h"

class CovWPFHelperMenu : public CovMenuHelper {
public:
    // `owner` (may be null) is kept alive by the base's reference.
    CovWPFHelperMenu(CovWPFCtrl* owner, IovCtrlBase* parent, std::wstring_view name, CovDispDriver element);

    // "IsMenuMode", "IsOpen" and "IsSubmenuOpen" set to false, each where the element has it.
    void CloseMenu() override;
    // "Items"."get_Item"(index), shown by the container the "ItemContainerGenerator" has for it, or by the
    // item itself; null when that is no object.
    ov::ComPtr<CovMenuItemHelper> MakeItem(LONG index) override;
    // A nameless menu over the element's "get_LogicalParent" (a menu item's: the menu or menu item it is an
    // item of); null for an element without that member (a menu, a context menu).
    ov::ComPtr<CovMenuHelper> ParentMenu() override;
    LONG ItemCount() override;

    CovWPFCtrl* WPFOwner() const noexcept { return owner_; }

private:
    CovWPFCtrl* owner_;
    CovDispDriver element_;
};

class CovWPFHelperMenuItem : public CovMenuItemHelper {
public:
    CovWPFHelperMenuItem(LONG index, CovWPFCtrl* owner, CovWPFHelperMenu& menu, CovDispDriver item);

    // IovWin32MenuItem: true for the exact class "System.Windows.Controls.Separator".
    HRESULT STDMETHODCALLTYPE get_Separator(VARIANT_BOOL* value) override;

    // "ReferenceEquals" of the two items' objects.
    bool IsSameItem(CovMenuItemHelper& other) override;
    // A menu named "SubMenu" over this item's element while it has items.
    ov::ComPtr<CovMenuHelper> SubMenu() override;
    // "ScreenLeft", "ScreenTop", "Width" and "Height" of the item's host object.
    bool ScreenRect(RECT& rect) override;
    // The window at the point (the host's object service) is the one of the item's window object.
    bool IsPointInWindow(POINT point) override;
    // "Header" as text (an element gives its "OleValue", or nothing), without its first "_" unless that is
    // the last character.
    ov::Bstr RawCaption() override;
    LONG Identifier() override;
    bool IsEnabled() override;
    // False for an element without "IsChecked".
    bool IsChecked() override;
    bool CanBeChecked() override;
    bool CanBeUnchecked() override;
    // A left click at the centre of the item's host object. When the item is not on screen the lookup is
    // tried once more after 50 ms, then "The control item '%s' is not visible on screen.".
    void ClickItem() override;
    // The mouse moves to the centre of the item (the host's mouse-move record).
    void Hover() override;
    // Up to three clicks until "IsSubmenuOpen"; "Cannot obtain the popup menu for item '%s'." after them.
    void OpenSubMenu() override;

private:
    CovWPFCtrl& RequireOwner() const;
    // BringIntoView, then the item's host object (null when it is not on screen).
    ov::ComPtr<IovHostObject> Reach();
    POINT ClickPoint();

    CovWPFCtrl* owner_;
    CovDispDriver item_;
};
