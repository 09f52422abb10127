// The items machinery of the simulated application, as WPF builds it:
//
//   ItemsControl   "Items" (an ItemCollection: "Count", "get_Item"(i) throwing ArgumentOutOfRangeException
//                  outside the range, "IndexOf"(item), "Contains"(item)), "ItemContainerGenerator"
//                  ("ContainerFromIndex", "ContainerFromItem": null while the item has no container,
//                  "IndexFromContainer": -1 for a stranger, "ItemFromContainer"), "HasItems", "FocusedItem"
//                  (4.0's internal field: the item whose container took the keyboard focus last, by a click
//                  or its "Focus"(); it outlives the container's virtualization and goes when the item leaves
//                  the items or the focus moves to another element of the control outside its container;
//                  absent from 4.5 on), "get_ItemsHost" (the items panel, with "get_InternalChildren":
//                  "Count", "get_Item"(i))
//   items          container elements (a ListBoxItem in a ListBox, any element in a ToolBar) are their own
//                  containers; data items (.NET strings and primitives) get a generated container of the
//                  control's container class whose "Content" (or "Header") is the item; objects of the
//                  application's data (DataObject.h) are items too, shown by "DisplayMemberPath" (get, put)
//   the panel      a StackPanel, or a VirtualizingStackPanel ("BringIndexIntoView"(i) scrolls item i into
//                  view and generates it). Under a ScrollViewer whose CanContentScroll is true either panel
//                  scrolls by items; a VirtualizingStackPanel that scrolls so generates containers only for
//                  the items in view (VirtualizingStackPanel.IsVirtualizing False: for all, still scrolling
//                  by items), as 4.0's panel virtualizes only when it is the one that scrolls
//   headers        HeaderedItemsControl: the "Header" of tree and menu items, text or an element
//
// Every control kind builds its default template (OnApplyTemplate) with WPF's part names and types; the
// item controls are in files of their own (ListBox.h, ComboBox.h, TabControl.h, TreeView.h, Menus.h,
// ToolBar.h).
#pragma once

#include "ContentControl.h"
#include "Panels.h"
#include "ScrollViewer.h"

#include <functional>
#include <set>
#include <unordered_map>

namespace wpfsim {

class ItemsControl;
class VirtualizingStackPanel;

// .NET's ToString of a primitive data item.
std::wstring PrimitiveText(const VARIANT& v);

// A collection object of the application: "Count" and "get_Item"(i) over a live source.
ov::ComPtr<ClrObject> MakeCollection(Element& owner, std::wstring className, std::function<size_t()> count,
                                     std::function<ov::Variant(size_t)> item);

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
    // "DisplayMemberPath": the property path of the data items that their containers show.
    void SetDisplayMemberPath(std::wstring path) { displayMemberPath_ = std::move(path); }
    // The item template: the visual tree that a data item's generated container shows in place of its
    // text (its content, or a tree or menu item's header), made anew for every container; nothing: the
    // item has no template. A tab control's headers and contents keep their text.
    using ItemTemplate =
        std::function<std::optional<ov::ComPtr<Element>>(const Item& item, Element& container)>;
    void SetItemTemplate(ItemTemplate itemTemplate) { itemTemplate_ = std::move(itemTemplate); }

    // The container of item i, made when `generate` (or null when it has none).
    Element* ContainerAt(size_t index, bool generate);
    // The index of a container among the items, or -1.
    long IndexOfContainer(const Element& container) const;
    // Generation off (a fault): no data item ever gets a container.
    void SetNeverGenerates(bool never) noexcept { neverGenerates_ = never; }
    bool Virtualizing() const noexcept { return virtualizing_; }
    void SetVirtualizing(bool virtualizing);
    Element* ItemsHost() const noexcept { return host_; }
    // The index of the focused item ("FocusedItem"), or -1.
    long FocusedIndex() const noexcept { return focused_; }
    ScrollViewer* ScrollHost() const noexcept { return scrollHost_; }
    // The index of an item given as the element declared as item or as its container, or -1.
    long IndexOfItemElement(const Element& element) const;
    // Whether item i equals a value as .NET's Equals sees it: the same element, or a string or primitive
    // of the item's type and value.
    bool ItemEquals(size_t index, const VARIANT& value) const;
    // The first realized container of an item equal to the value, as the generator's "ContainerFromItem"
    // finds it (null when no equal item has one).
    Element* ContainerOfItem(const VARIANT& value) const;
    // Whether data items get containers now (a collapsed tree item generates none until expanded).
    virtual bool Generates() const noexcept { return true; }
    // Whether the items panel holds the container (a toolbar's overflowing items are elsewhere).
    virtual bool PanelShows(const Element&) const noexcept { return true; }
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
    virtual ov::ComPtr<Element> MakeContainer(const Item& item);
    // A new container joins the control (its content, its place in the panel).
    virtual void PrepareContainer(Element& container, size_t index) {}
    // Whether an element item is its own container (else it gets one from MakeContainer, as content).
    virtual bool IsItemItsOwnContainer(const Element&) const { return true; }
    // A container made for an item is released: it lets go of the item.
    virtual void ClearContainer(Element& container) {}
    virtual void OnItemsChanged() {}
    // Item `index` left the collection (the items after it moved up by one).
    virtual void OnItemRemoved(size_t index) {}
    void OnGotKeyboardFocus(Element& focused) override;
    // The items that have a container now, in item order.
    const std::set<size_t>& Realized() const noexcept { return realized_; }
    // Item i's value as callers see it: the element, a string (object or BSTR) or a primitive.
    ov::Variant ItemValue(size_t index) const;
    static ov::Variant DataValue(const Element& self, const Item& item);
    // What a data item's container shows: its DisplayMemberPath's value, or the item, as text.
    std::wstring DataText(const Item& item) const;
    // The item template's tree for a data item's new container; nothing when the control has no template.
    std::optional<ov::ComPtr<Element>> TemplateFor(const Item& item, Element& container) const;

private:
    void Realize(size_t index, Element& container);
    // The item of every element item and container, after the items moved.
    void Reindex();
    std::wstring containerClass_;
    std::wstring displayMemberPath_;
    ItemTemplate itemTemplate_;
    std::vector<Item> items_;
    // Look-ups touch only what exists, as WPF's generator walks its realized blocks: a list of 100,000
    // items with 10 in view costs what a list of 10 does.
    std::set<size_t> realized_;
    std::unordered_map<const Element*, size_t> indexOf_;
    Element* host_ = nullptr;
    ScrollViewer* scrollHost_ = nullptr;
    long focused_ = -1;
    bool virtualizing_ = true;
    bool neverGenerates_ = false;
    const wchar_t* parentMember_ = nullptr;
    friend class VirtualizingStackPanel;
};

// The items panel of an items control (of the class it is made as: StackPanel, VirtualizingStackPanel, ...):
// it holds its owner's containers, all of them, or (virtualizing) those in view.
class VirtualizingStackPanel : public StackPanel, public ScrollViewer::ItemScroller {
public:
    VirtualizingStackPanel(Application& app, std::wstring className, std::wstring name, ItemsControl& owner,
                           bool virtualizingPanel);
    void BringIndexIntoView(size_t index);
    // ItemScroller: scrolling by items.
    double ItemCount() const override { return static_cast<double>(owner_->Count()); }
    double ItemsInView() const override { return inView_; }
    double FirstItem() const override { return static_cast<double>(first_); }
    void SetFirstItem(double first) override;
    void MakeVisible(Element& descendant) override;
    // Whether the owner's scroll viewer scrolls by items through this panel.
    bool ScrollsByItems() const noexcept {
        const ScrollViewer* viewer = owner_->ScrollHost();
        return viewer && viewer->Scroller() == this;
    }
    // Whether only the items in view have containers.
    bool Virtualizes() const noexcept {
        return virtualizingPanel_ && owner_->Virtualizing() && ScrollsByItems();
    }
    // The containers the panel holds, in item order (its children).
    void Sync();

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    double ItemHeight();
    // After a layout pass: the first item in view moves so that item `index` is in view.
    void ScrollIndexIntoView(size_t index);
    ItemsControl* owner_;
    bool virtualizingPanel_;
    size_t first_ = 0;
    double inView_ = 0;
    size_t pinned_ = SIZE_MAX; // the item brought into view, until the panel scrolled to it
};

// The header of headered items (TreeViewItem, MenuItem): text or an element.
class HeaderedItemsControl : public ItemsControl {
public:
    using ItemsControl::ItemsControl;
    const wpfsim::Content& Header() const noexcept { return header_; }
    void SetHeader(std::wstring text);
    void SetHeaderElement(Element* element);
    // Shows a data template's visual tree for the header (a generated container's data item).
    void ShowHeaderTemplate(ov::ComPtr<Element> root);
    std::wstring DisplayText() const override { return header_.Text(); }

protected:
    void SetHeaderPresenter(ContentPresenter* presenter);

private:
    wpfsim::Content header_;
    ContentPresenter* presenter_ = nullptr;
};

} // namespace wpfsim
