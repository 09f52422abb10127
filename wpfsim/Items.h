// Item controls, as WPF builds them:
//
//   ItemsControl   "Items" (an ItemCollection: "Count", "get_Item"(i) throwing ArgumentOutOfRangeException
//                  outside the range, "IndexOf"(item), "Contains"(item)), "ItemContainerGenerator"
//                  ("ContainerFromIndex", "ContainerFromItem": null while the item has no container,
//                  "IndexFromContainer": -1 for a stranger, "ItemFromContainer"), "ElementAt"(i) (the
//                  container of item i when it exists), "HasItems", "FocusedItem" (the item whose container
//                  took the focus last, by a click or its "Focus"()), "get_ItemsHost" (the items panel, with
//                  "get_InternalChildren": "Count", "get_Item"(i))
//   items          container elements (a ListBoxItem in a ListBox, any element in a ToolBar) are their own
//                  containers; data items (.NET strings and primitives) get a generated container of the
//                  control's container class whose "Content" (or "Header") is the item
//   the panel      a StackPanel, or a VirtualizingStackPanel that generates containers only for the items in
//                  its scroll viewer's viewport ("BringIndexIntoView"(i) scrolls item i into view and
//                  generates it; VirtualizingStackPanel.IsVirtualizing False generates all)
//
// Every control kind builds its default template (OnApplyTemplate) with WPF's part names and types.
#pragma once

#include "Framework.h"

#include <set>
#include <unordered_map>
#include <unordered_set>

namespace wpfsim {

class ItemsControl;
class GridView;
class TextBox;
class VirtualizingStackPanel;

// A data item (what the application put in Items) or a container element that is its own item.
struct Item {
    ov::Variant value;           // a data item's value: a string or a primitive
    std::wstring typeName;       // its .NET class ("System.String", "System.Int32", ...)
    ov::ComPtr<Element> element; // a container element declared as an item
    ov::ComPtr<Element> container;
    // The data item's .NET object, made at its first reading: the collection holds one reference, so
    // every reading (and the container's "Content") is the same object, as "ReferenceEquals" sees it.
    mutable ov::ComPtr<ClrObject> boxed;
    bool IsElement() const noexcept { return element != nullptr; }
};

// What virtualizing panels, generators and collections share: the owner's items.
class ItemsControl : public Control {
public:
    ItemsControl(Application& app, std::wstring className, std::wstring name, std::wstring containerClass);
    // The internal member through which a container names this control ("get_ParentListBox", ...).
    void SetParentMember(const wchar_t* member) noexcept { parentMember_ = member; }

    size_t Count() const noexcept { return items_.size(); }
    const Item& At(size_t i) const { return items_.at(i); }
    void AddItem(Element& container);
    void AddDataItem(ov::Variant value, std::wstring typeName);
    void RemoveItemAt(size_t index);
    void AddChild(Element& child) override { AddItem(child); }
    // The item's text (its content or header for a container, its value's text for a data item).
    std::wstring ItemText(size_t index) const;

    // The container of item i, made when `generate` (or null when it has none).
    Element* ContainerAt(size_t index, bool generate);
    // The index of a container among the items, or -1.
    long IndexOfContainer(const Element& container) const;
    // Generation off (a fault): no data item ever gets a container.
    void SetNeverGenerates(bool never) noexcept { neverGenerates_ = never; }
    bool Virtualizing() const noexcept { return virtualizing_; }
    void SetVirtualizing(bool virtualizing);
    Element* ItemsHost() const noexcept { return host_; }
    Element* FocusedContainer() const noexcept { return focusedItem_.Get(); }
    void SetFocusedContainer(Element* container) noexcept { focusedItem_ = container; }
    ScrollViewer* ScrollHost() const noexcept { return scrollHost_; }
    // The index of an item given as the element declared as item or as its container, or -1.
    long IndexOfItemElement(const Element& element) const;
    // Whether item i equals a value as .NET's Equals sees it: the same element, or a string or primitive
    // of the item's type and value.
    bool ItemEquals(size_t index, const VARIANT& value) const;
    // Whether data items get containers now (a collapsed tree item generates none until expanded).
    virtual bool Generates() const noexcept { return true; }
    // A virtualizing panel drops containers it made for items that left the view.
    void DropGenerated(size_t index);

protected:
    // The panel of the items in an ItemsPresenter of the template, placed under `parent` or (null) as the
    // content of `viewer`, which becomes the control's scroll host.
    VirtualizingStackPanel& MakeItemsHost(Element* parent, ScrollViewer* viewer, const wchar_t* panelClass,
                                          bool horizontal = false);
    // The headers panel of a tab control is its items host without a presenter.
    void SetItemsHost(VirtualizingStackPanel& panel);
    // A container the control generates for a data item (the container class with the item as content).
    virtual Element& MakeContainer(const Item& item);
    // A new container joins the control (its content, its place in the panel).
    virtual void PrepareContainer(Element& container, size_t index) {}
    virtual void OnItemsChanged() {}
    // Item `index` left the collection (the items after it moved up by one).
    virtual void OnItemRemoved(size_t index) {}
    // The items that have a container now, in item order.
    const std::set<size_t>& Realized() const noexcept { return realized_; }
    // Item i's value as callers see it: the element, a string (object or BSTR) or a primitive.
    ov::Variant ItemValue(size_t index) const;
    static ov::Variant DataValue(const Element& self, const Item& item);

private:
    void Realize(size_t index, Element& container);
    // The item of every element item and container, after the items moved.
    void Reindex();
    std::wstring containerClass_;
    std::vector<Item> items_;
    // Look-ups touch only what exists, as WPF's generator walks its realized blocks: a list of 100,000
    // items with 10 in view costs what a list of 10 does.
    std::set<size_t> realized_;
    std::unordered_map<const Element*, size_t> indexOf_;
    Element* host_ = nullptr;
    ScrollViewer* scrollHost_ = nullptr;
    ov::ComPtr<Element> focusedItem_;
    bool virtualizing_ = true;
    bool neverGenerates_ = false;
    const wchar_t* parentMember_ = nullptr;
    friend class VirtualizingStackPanel;
};

// A StackPanel that holds its owner's containers: all of them, or (virtualizing) those in view.
class VirtualizingStackPanel : public StackPanel, public ScrollViewer::ItemScroller {
public:
    VirtualizingStackPanel(Application& app, std::wstring className, std::wstring name, ItemsControl& owner,
                           bool virtualizing);
    void BringIndexIntoView(size_t index);
    // ItemScroller: scrolling by items.
    double ItemCount() const override { return static_cast<double>(owner_->Count()); }
    double ItemsInView() const override { return inView_; }
    double FirstItem() const override { return static_cast<double>(first_); }
    void SetFirstItem(double first) override;
    bool ScrollsByItems() const noexcept {
        return virtualizing_ && owner_->Virtualizing() && owner_->ScrollHost();
    }
    // The containers the panel holds, in item order (its children).
    void Sync();

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    double ItemHeight();
    ItemsControl* owner_;
    bool virtualizing_;
    size_t first_ = 0;
    double inView_ = 0;
};

// A container whose text is its content (ListBoxItem, ComboBoxItem, ...), focusable, selectable:
// "IsSelected" (get, put) goes through its selector's rules. Its owner is the first items control on its
// route (through a popup's window back to the control that owns the popup).
class ItemContainer : public ContentControl {
public:
    ItemContainer(Application& app, std::wstring className, std::wstring name);
    ItemsControl* Owner() const noexcept;
    bool IsSelected() const noexcept { return selected_; }
    void SetSelected(bool selected);
    // A list view row: its content in a GridViewRowPresenter with a cell per column.
    void ShowAsRow(const GridView& view);

protected:
    void OnMouseDown(MouseEvent& e) override;
    void OnContentChanged() override;

private:
    bool selected_ = false;
    std::vector<ContentPresenter*> cells_;
};

// A list view's GridView ("System.Windows.Controls.GridView", no element on screen itself): its "Columns"
// ("Count", "get_Item"(i)) of GridViewColumns with a "Header" text and a "Width" (NaN: Auto). The list view
// shows a GridViewHeaderRowPresenter of GridViewColumnHeaders above its items, and each container shows its
// content in a GridViewRowPresenter with one cell per column (the content in every cell, as WPF's cells
// without a binding show the item; an element content in the first cell only).
class GridViewColumn : public FrameworkElement {
public:
    GridViewColumn(Application& app, std::wstring className, std::wstring name);
    const std::wstring& Header() const noexcept { return header_; }
    void SetHeader(std::wstring header) { header_ = std::move(header); }
    double Width() const noexcept { return width_; }
    void SetWidth(double width) noexcept { width_ = width; }

private:
    std::wstring header_;
    double width_ = Auto;
};

class GridView : public FrameworkElement {
public:
    GridView(Application& app, std::wstring className, std::wstring name);
    const std::vector<GridViewColumn*>& Columns() const noexcept { return columns_; }
    // Columns only: anything else is refused (std::invalid_argument), as GridViewColumnCollection does.
    void AddChild(Element& child) override;

private:
    std::vector<GridViewColumn*> columns_;
};

// --- the controls ---------------------------------------------------------------------------------------

// WPF's Selector. The selection is kept per item, not per container, so that it outlives virtualization;
// it is ordered as WPF keeps it: by the time each item was selected. "SelectedIndex" and "SelectedItem" are
// the first item of that order (get), and select that item alone (put): -1 or a null item clears, an
// index below -1 is refused (ArgumentException), an index at or beyond the count and an object that is
// not an item leave the selection as it is. "ItemGetIsSelected"(item): whether an item equal to the
// argument is selected. Containers have "IsSelected" (get, put). A "SelectedIndex" given in XAML before the
// items exist waits for its item.
class Selector : public ItemsControl {
public:
    enum class Mode { Single = 0, Multiple = 1, Extended = 2 };
    Selector(Application& app, std::wstring className, std::wstring name, std::wstring containerClass);
    Mode SelectionMode() const noexcept { return mode_; }
    // Leaving the multiple modes keeps the first selected item only, as WPF does.
    void SetSelectionMode(Mode mode);
    long SelectedIndex() const noexcept { return selection_.empty() ? -1 : static_cast<long>(selection_[0]); }
    const std::vector<size_t>& Selection() const noexcept { return selection_; }
    bool IsItemSelected(size_t index) const noexcept;
    // As the item's "IsSelected" put: in Single mode selecting an item unselects the one before.
    void SetItemSelected(size_t index, bool selected);
    // Item `index` alone (-1: none).
    void SelectOnly(long index);
    void SetSelectedIndexFromMarkup(long index);

protected:
    void PrepareContainer(Element& container, size_t index) override;
    void OnItemsChanged() override;
    void OnItemRemoved(size_t index) override;
    // The selection changed (the containers show it already).
    virtual void OnSelectionChanged() {}
    // Each shows the item's state on its element and container at once.
    void Select(size_t index);
    void Unselect(size_t index);
    // The selection changed: what the control shows of it follows.
    void Changed();

private:
    // Shows an item's state on its element item and its container.
    void Show(size_t index, bool selected);
    void ClearSelection();
    std::vector<size_t> selection_;          // in the order the items were selected
    std::unordered_set<size_t> selectedSet_; // the same items, for the test of one
    Mode mode_ = Mode::Single;
    long pending_ = -1;
    size_t declaredSeen_ = 0; // items checked for a declared IsSelected
};

// "SelectionMode" (get: a boxed System.Windows.Controls.SelectionMode whose "OleValue" and "ToString" are
// its name; put: the name, the number or such an object), "SelectedItems" (one live
// System.Windows.Controls.SelectedItemCollection: "Count", "get_Item"(i) in selection order, "Contains",
// "IndexOf"), "SelectAll"() (InvalidOperationException in Single mode), "UnselectAll"(),
// "ScrollIntoView"(item). Clicks on items follow WPF's ListBox: Single selects the item (Ctrl+click unselects
// the selected one), Multiple toggles it (with either button), Extended selects it alone, Ctrl+click toggles,
// Shift+click selects the range from the anchor alone, Ctrl+Shift+click adds the range; a right click in
// Extended mode selects the item alone unless it is selected already or Ctrl or Shift is held. Each press of
// a double click is a click.
class ListBox : public Selector {
public:
    ListBox(Application& app, std::wstring className, std::wstring name, std::wstring containerClass = L"");
    void SelectAll();
    void UnselectAll();
    // A press on one of its containers, on the container's route.
    void ItemPressed(Element& container, MouseEvent& e);
    // A list view's "View": the columns' header row above the items, rows of cells for the containers.
    void SetView(GridView& view);

protected:
    void OnApplyTemplate() override;
    void OnItemRemoved(size_t index) override;
    void PrepareContainer(Element& container, size_t index) override;

private:
    Border* border_ = nullptr;
    ScrollViewer* viewer_ = nullptr;
    ov::ComPtr<GridView> view_;
    void Toggle(size_t index);
    void SelectRange(size_t to, bool alone);
    long anchor_ = -1;
};

// "IsDropDownOpen" (get, put: opens and closes PART_Popup), "IsEditable" (get, put), "Text" (the selected
// item's text; an editable box shows its own text in PART_EditableTextBox; put selects the first item of
// that text, compared without case as WPF's text search does, or none), the Selector's members, and the
// internal popup field under the name the host's bridge gives it: "field__dropDownPopup" (the default) or
// "zdropDownPopup", or none (sim:PopupField). A left click on an enabled item of the open drop-down selects
// it and closes the drop-down.
class ComboBox : public Selector {
public:
    ComboBox(Application& app, std::wstring className, std::wstring name);
    Popup& DropDown() const noexcept { return *popup_; }
    bool IsEditable() const noexcept { return editable_; }
    void SetEditable(bool editable);
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    // The member that holds the popup: "field__dropDownPopup", "zdropDownPopup" or empty (none); a null
    // field holds a null object (as before the template is applied) while "IsDropDownOpen" still works.
    void SetPopupField(std::wstring name);
    void SetPopupFieldNull(bool null) noexcept { nullField_ = null; }

protected:
    void OnApplyTemplate() override;
    void OnMouseDown(MouseEvent& e) override;
    void OnMouseUp(MouseEvent& e) override;
    void OnSelectionChanged() override;

private:
    void ShowSelection();
    Popup* popup_ = nullptr;
    ContentPresenter* selection_ = nullptr;
    TextBox* editor_ = nullptr;
    bool editable_ = false;
    bool nullField_ = false;
    std::wstring popupField_;
};

// "SelectedIndex" as WPF's Selector takes it: -1 clears the selection, an index below -1 is refused
// (ArgumentException), an index at or beyond the count is coerced away (the selection stays). The first
// tab added is selected. Only the selected page's content is in the visual tree (PART_SelectedContentHost).
class TabControl : public ItemsControl {
public:
    TabControl(Application& app, std::wstring className, std::wstring name);
    long SelectedIndex() const noexcept { return selected_; }
    void Select(long index);
    // The application's SelectionChanged handler, called with the index selected before; it may select
    // again (to refuse a page, as applications do).
    void SetSelectionChangedHandler(std::function<void(TabControl&, long previous)> handler) {
        selectionChanged_ = std::move(handler);
    }

protected:
    void OnApplyTemplate() override;
    void PrepareContainer(Element& container, size_t index) override;
    void OnItemsChanged() override;

private:
    long selected_ = -1;
    ContentPresenter* content_ = nullptr;
    std::function<void(TabControl&, long)> selectionChanged_;
    bool notifying_ = false;
};

class TabItem : public ItemContainer {
public:
    TabItem(Application& app, std::wstring className, std::wstring name);
    const wpfsim::Content& Header() const noexcept { return header_; }
    void SetHeader(std::wstring text);
    void SetHeaderElement(Element* element);
    std::wstring DisplayText() const override { return header_.Text(); }

protected:
    void OnApplyTemplate() override;
    void OnMouseDown(MouseEvent& e) override;

private:
    wpfsim::Content header_;
    ContentPresenter* headerPresenter_ = nullptr;
};

// The header of headered items (TreeViewItem, MenuItem): text or an element.
class HeaderedItemsControl : public ItemsControl {
public:
    using ItemsControl::ItemsControl;
    const wpfsim::Content& Header() const noexcept { return header_; }
    void SetHeader(std::wstring text);
    void SetHeaderElement(Element* element);
    std::wstring DisplayText() const override { return header_.Text(); }

protected:
    void SetHeaderPresenter(ContentPresenter* presenter);

private:
    wpfsim::Content header_;
    ContentPresenter* presenter_ = nullptr;
};

// One node of the tree at most is selected: selecting a node unselects every other node of its tree view.
class TreeView : public ItemsControl {
public:
    TreeView(Application& app, std::wstring className, std::wstring name);
    // Unselects every node of the tree (declared or generated) but `keep`.
    void UnselectAllBut(const Element* keep);

protected:
    void OnApplyTemplate() override;
};

// "IsExpanded" (get, put), "IsSelected" (get, put), "Header", "Items". Data items get containers only
// while the node is expanded (a node never expanded has none, as WPF generates them when its items
// presenter is first measured); containers once made stay when it collapses. Input as WPF's: a left press
// on the "Expander" toggle toggles the node (each press, ClickMode.Press) and does not select it; a left
// press on the header (anywhere but the child items) selects the node, its second press of a double click
// toggles it. Right and middle presses change nothing.
class TreeViewItem : public HeaderedItemsControl {
public:
    TreeViewItem(Application& app, std::wstring className, std::wstring name);
    bool IsExpanded() const noexcept { return expanded_; }
    void SetExpanded(bool expanded);
    bool IsSelected() const noexcept { return selected_; }
    void SetSelected(bool selected);
    bool Generates() const noexcept override { return expanded_; }
    // The tree view the node belongs to (null while it is in none).
    TreeView* ParentTreeView() const noexcept;

protected:
    void OnApplyTemplate() override;
    void OnMouseDown(MouseEvent& e) override;

private:
    bool expanded_ = false;
    bool selected_ = false;
    Element* itemsPresenter_ = nullptr;
    Element* expander_ = nullptr;
};

class MenuItem;

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
    Element* PlacementTarget() const noexcept { return target_; }
    void SetPlacementTarget(Element* target) noexcept { target_ = target; }
    void SetMenuMode(bool menuMode) override;

protected:
    void OnApplyTemplate() override;

private:
    Popup* popup_ = nullptr;
    Element* target_ = nullptr;
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
    Popup* popup_ = nullptr;
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

// A toolbar's items sit on the bar (the "PART_ToolBarPanel") or in the overflow panel
// ("PART_ToolBarOverflowPanel", in the "OverflowPopup"; its items are not "IsVisible" while it is closed).
// ToolBar.OverflowMode Always sends an item to the overflow panel, Never keeps it on the bar; AsNeeded
// items stay on the bar in item order while they fit beside the Never items and the overflow button, and
// from the first one that does not fit on they all overflow. "IsOverflowOpen" (get, put) opens the panel,
// as a left press on the "OverflowButton" does.
class ToolBar : public ItemsControl {
public:
    ToolBar(Application& app, std::wstring className, std::wstring name);
    bool IsOverflowOpen() const noexcept { return overflow_ && overflow_->IsOpen(); }
    void SetOverflowOpen(bool open);
    enum class OverflowMode { AsNeeded, Always, Never };
    void SetOverflowMode(Element& item, OverflowMode mode);
    // Whether the item's element sits in the overflow panel now (after the layout).
    bool InOverflow(const Element& item) const;

protected:
    void OnApplyTemplate() override;
    void PrepareContainer(Element& container, size_t index) override;
    Size MeasureOverride(Size available) override;
    void OnMouseDown(MouseEvent& e) override;

private:
    void Place(Element& item);
    // Moves the items between the bar and the overflow panel for a bar `width` wide.
    void Reflow(double width);
    Element* mainPanel_ = nullptr;
    Element* overflowPanel_ = nullptr;
    Element* overflowButton_ = nullptr;
    Popup* overflow_ = nullptr;
};

// The bands of toolbars: its content is ToolBars only, laid out side by side ("Orientation" Horizontal) or
// one above the other.
class ToolBarTray : public StackPanel {
public:
    ToolBarTray(Application& app, std::wstring className, std::wstring name);
    void AddChild(Element& child) override;
};

// "Text" set from code is taken whole; "MaxLength" (0: no limit) only cuts what a user types, as in WPF.
// Setting "Text" puts the caret at the start. "SelectionStart" and "SelectionLength" are kept inside the
// text; "Select"(start, length) clamps the same way and throws ArgumentOutOfRangeException for a negative
// argument; "SelectedText" (get, put: replaces the selection); the internal "ScrollViewer" is the
// template's "PART_ContentHost".
class TextBox : public Control {
public:
    TextBox(Application& app, std::wstring className, std::wstring name);
    const std::wstring& Text() const noexcept { return text_; }
    void SetText(std::wstring text);
    LONG MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(LONG maxLength);
    LONG SelectionStart() const noexcept { return selectionStart_; }
    LONG SelectionLength() const noexcept { return selectionLength_; }
    void Select(LONG start, LONG length);
    std::wstring SelectedText() const { return text_.substr(selectionStart_, selectionLength_); }
    void SetSelectedText(const std::wstring& text);
    std::wstring DisplayText() const override { return text_; }

protected:
    void OnApplyTemplate() override;
    Size MeasureOverride(Size available) override;

private:
    std::wstring text_;
    LONG maxLength_ = 0;
    LONG selectionStart_ = 0, selectionLength_ = 0;
    ScrollViewer* viewer_ = nullptr;
    TextBlock* view_ = nullptr;
};

// "Password" (get, put: taken whole, as in WPF a password set from code is), "PasswordChar" (a char,
// U+25CF by default), "MaxLength", the internal "ScrollViewer" ("PART_ContentHost").
class PasswordBox : public Control {
public:
    PasswordBox(Application& app, std::wstring className, std::wstring name);
    const std::wstring& Password() const noexcept { return password_; }
    void SetPassword(std::wstring password) { password_ = std::move(password); }
    wchar_t PasswordChar() const noexcept { return passwordChar_; }
    void SetPasswordChar(wchar_t c) noexcept { passwordChar_ = c; }
    LONG MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(LONG maxLength);

protected:
    void OnApplyTemplate() override;
    Size MeasureOverride(Size available) override;

private:
    std::wstring password_;
    wchar_t passwordChar_ = L'\x25CF';
    LONG maxLength_ = 0;
    ScrollViewer* viewer_ = nullptr;
};

// "IsExpanded" (get, put) and "Header" (text or an element). The header is the toggle button
// "HeaderSite", which toggles the expander when it is clicked (ClickMode.Release, as a ToggleButton); the
// content is in "ExpandSite", Collapsed (so off screen, taking no room) while the expander is not expanded.
class Expander : public ContentControl {
public:
    Expander(Application& app, std::wstring className, std::wstring name);
    bool IsExpanded() const noexcept { return expanded_; }
    void SetExpanded(bool expanded);
    const wpfsim::Content& Header() const noexcept { return header_; }
    void SetHeader(std::wstring header);
    void SetHeaderElement(Element* element);
    std::wstring DisplayText() const override { return header_.Text(); }

protected:
    void OnApplyTemplate() override;
    void OnMouseDown(MouseEvent& e) override;
    void OnMouseUp(MouseEvent& e) override;

private:
    bool OnHeader(const MouseEvent& e) const;
    wpfsim::Content header_;
    bool expanded_ = false;
    bool pressed_ = false;
    Element* headerSite_ = nullptr;
    Element* site_ = nullptr;
    ContentPresenter* headerPresenter_ = nullptr;
};

} // namespace wpfsim
