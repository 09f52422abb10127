// The host's standard menu and menu item (IovWin32Menu, IovWin32MenuItem) over any menu technology: caption
// paths, the walk that opens each submenu on the way and hovers over, clicks or checks the last item, the
// messages and the checks. What a menu is made of comes from the virtual operations, which the WPF objects
// (WPFMenuHelper.h) implement.
//
// A path is a list of heads separated by "|": a head is a caption pattern (ov::MatchMask) or an index "[n]";
// "||" is a "|" inside a head, and a path written as one bracketed index list ("[2|0]") is read as "[2]|[0]".
// Captions are compared in the form a head takes after that reduction: the caption with a leading "["
// doubled. So the `Caption` of an item (every "|" doubled as well) written as a head addresses the item
// again.
//
// Menus and items are made anew for every request, keep their owner and parent (or menu) alive and start
// with the report modes of the object that made them. Nothing is cached: every walk reads the menu anew.
#pragma once

#include "../dispatch/HostDispatch.h"
#include "../dispatch/InvokeException.h"
#include "../scripting/SyntaxItem.h"
#include "ovHostIntf.h"

#include <optional>
#include <string>
#include <string_view>

class CovMenuItemHelper;

namespace ov {

struct MenuPathStep {
    std::wstring head;
    std::optional<std::wstring> rest;
};
// One step of a path: the first head (its doubled separators reduced) and what follows it.
MenuPathStep SplitMenuPath(std::wstring_view path);
// The caption as `Caption` gives it and the host's syntax names the item: "|" doubled, a leading "[" doubled.
std::wstring EscapeMenuCaption(std::wstring_view raw);

} // namespace ov

class CovMenuHelper : public CovSyntaxItem, public ov::IDispatchImpl<IovWin32Menu> {
public:
    using Interfaces = ov::Interfaces<IovWin32Menu, ov::Via<IDispatch, IovWin32Menu>, IovCtrlBase>;

    // IovWin32Menu. Select hovers over the last item, Click clicks it, Check clicks it once when its state
    // differs (an item already in the state is a menu notice, kind 2); the submenus on the way are opened
    // and stay open, as they do after a failure.
    HRESULT STDMETHODCALLTYPE Select(BSTR item) override;
    HRESULT STDMETHODCALLTYPE Check(BSTR item, VARIANT_BOOL checked) override;
    HRESULT STDMETHODCALLTYPE Click(BSTR item) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    // Null when the item cannot be made (a data item without a container).
    HRESULT STDMETHODCALLTYPE get_Items(LONG index, IDispatch** item) override;
    // IovCtrlBase: the member step of its name under the parent (or the owner); without a name the owner's
    // (or the parent's) own syntax.
    HRESULT STDMETHODCALLTYPE GetSyntax(IovSyntaxItem** syntax, LONG flag) override;

    // --- the menu's operations ---
    virtual void CloseMenu() = 0;
    // Null when no item object can be made for the index.
    virtual ov::ComPtr<CovMenuItemHelper> MakeItem(LONG index) = 0;
    // The menu whose item has this menu as its submenu; null at the top.
    virtual ov::ComPtr<CovMenuHelper> ParentMenu() = 0;
    virtual LONG ItemCount() = 0;
    // Waits for the tick count to move on (one sleep of 20 ms at most).
    virtual void Pause();
    // Runs first in every member.
    virtual void OnEnter() {}

    // The index of the item a head names; "Cannot find the menu item '%s'." when there is none.
    LONG FindItemIndex(std::wstring_view head);
    // The item's name in the host's syntax: the escaped caption, or "[%d]" when the caption is empty, holds
    // "|" or is matched by the caption of another item of this menu.
    ov::Bstr ItemName(CovMenuItemHelper& item);

    IovCtrlBase* Owner() const noexcept { return owner_.Get(); }

protected:
    // `name`: the member the menu was reached by ("WPFMenu", "PopupMenu", "SubMenu") or empty.
    CovMenuHelper(IovCtrlBase* owner, IovCtrlBase* parent, std::wstring_view name);
    virtual ~CovMenuHelper() = default;

private:
    enum class Action { Hover, Click, Check };
    void Walk(std::wstring_view path, Action action, bool state);
    // Select, Check and Click: the walk of `item`, then the member's message.
    HRESULT WalkMember(BSTR item, Action action, bool state);
    template <class Body> HRESULT Member(Body&& body) { return ov::Member(*this, std::forward<Body>(body)); }

    ov::ComPtr<IovCtrlBase> owner_;
    ov::ComPtr<IovCtrlBase> parent_;
    ov::Bstr name_;
};

class CovMenuItemHelper : public CovSyntaxItem, public ov::IDispatchImpl<IovWin32MenuItem> {
public:
    using Interfaces = ov::Interfaces<IovWin32MenuItem, ov::Via<IDispatch, IovWin32MenuItem>, IovCtrlBase>;

    // IovWin32MenuItem. Default, RadioCheck and OwnerDraw are always false; Separator is the technology's.
    HRESULT STDMETHODCALLTYPE get_Caption(BSTR* caption) override;
    HRESULT STDMETHODCALLTYPE get_Id(LONG* id) override;
    HRESULT STDMETHODCALLTYPE get_Index(LONG* index) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* enabled) override;
    HRESULT STDMETHODCALLTYPE get_Checked(VARIANT_BOOL* checked) override;
    HRESULT STDMETHODCALLTYPE get_SubMenu(IDispatch** subMenu) override;
    HRESULT STDMETHODCALLTYPE get_Default(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_Separator(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_RadioCheck(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_OwnerDraw(VARIANT_BOOL* value) override;
    // IovCtrlBase: "Items" of its menu with the item's name.
    HRESULT STDMETHODCALLTYPE GetSyntax(IovSyntaxItem** syntax, LONG flag) override;

    // --- the item's operations ---
    // The path from the top menu to this item, each step the item's name (the recorder's menu item walk).
    virtual ov::Bstr PathText();
    virtual bool IsSameItem(CovMenuItemHelper& other) = 0;
    // Null when the item has no subitems.
    virtual ov::ComPtr<CovMenuHelper> SubMenu() = 0;
    // The item's rectangle on screen; false when it is not on screen.
    virtual bool ScreenRect(RECT& rect) = 0;
    // Whether the point lies in the window that shows the item.
    virtual bool IsPointInWindow(POINT point) = 0;
    // The caption without its access-key marker.
    virtual ov::Bstr RawCaption() = 0;
    virtual LONG Identifier() = 0;
    virtual bool IsEnabled() = 0;
    virtual bool IsChecked() = 0;
    // Whether Check may set (first) or clear (second) the item's check mark.
    virtual bool CanBeChecked() = 0;
    virtual bool CanBeUnchecked() = 0;
    virtual void ClickItem() = 0;
    virtual void Hover() = 0;
    virtual void OpenSubMenu() = 0;

    ov::Bstr Caption();
    LONG Index() const noexcept { return index_; }
    CovMenuHelper& Menu() const noexcept { return *menu_; }
    IovCtrlBase* Owner() const noexcept { return owner_.Get(); }

protected:
    CovMenuItemHelper(LONG index, IovCtrlBase* owner, CovMenuHelper& menu);
    virtual ~CovMenuItemHelper() = default;

    template <class Body> HRESULT Member(Body&& body) { return ov::Member(*this, std::forward<Body>(body)); }

private:
    HRESULT Flag(VARIANT_BOOL* value, bool (CovMenuItemHelper::*read)());

    LONG index_;
    ov::ComPtr<IovCtrlBase> owner_;
    ov::ComPtr<CovMenuHelper> menu_;
};

namespace ov::texts {
inline constexpr const wchar_t* MenuItemDisabled = L"The menu item '%s' is disabled.";
inline constexpr const wchar_t* MenuPopupNotObtained = L"Cannot obtain the popup menu for item '%s'.";
inline constexpr const wchar_t* MenuItemNotOnScreen = L"The control item '%s' is not visible on screen.";
} // namespace ov::texts
