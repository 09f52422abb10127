// The tree view, the collections of its nodes and the nodes. Collections and nodes are made anew by every
// lookup and keep only what they were made from: a node holds the data item its parent collection gave,
// never the container, so it stays valid when WPF regenerates containers; the container (and its header)
// is found again on every use. Nodes have no host objects: for a click the host makes an on-screen object
// from the rectangle the node reports through IovWin32CtrlStdActionsWindow.
//
// Collections and nodes start with the report modes of the object that made them (the tree view, a node,
// a collection), so that a script sees their errors and messages as it sees the tree view's.
#pragma once

#include "../recognition/KindInfo.h"
#include "Items.h"

class CovWPFCtrlTreeViewItem;
class CovWPFCtrlTreeViewItemCollection;

class CovWPFCtrlTreeView : public CovWPFCtrl, public ov::IDispatchMultiImpl<IovWPFTreeView> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFTreeView>;
    class CovWPFCtrlTreeViewInfo;

    HRESULT STDMETHODCALLTYPE get_wItems(IDispatch** items) override;
    // A node by name, index or path ("a|b|c", "[1]|[0]"); one leading "|" is dropped, a doubled one is not.
    HRESULT STDMETHODCALLTYPE ClickItem(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItem(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickItemR(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItemR(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickItemM(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItemM(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ExpandItem(VARIANT item) override;
    HRESULT STDMETHODCALLTYPE CollapseItem(VARIANT item) override;

    // The collection of the top-level nodes, over the element's "Items".
    ov::ComPtr<CovWPFCtrlTreeViewItemCollection> TopLevel();

private:
    ov::ComPtr<CovWPFCtrlTreeViewItem> FindNode(const VARIANT& item);
    HRESULT ClickNode(const VARIANT& item, LONG shift, LONG button, bool dbl);
};

class CovWPFCtrlTreeViewItemCollection : public ov::IDispatchMultiImpl<IovWPFTreeViewItemCollection>,
                                         public CovSyntaxItem,
                                         public CovCtrlWithItems,
                                         public virtual ov::CMultiDispatchRoot {
public:
    using Interfaces = ov::Interfaces<IovWPFTreeViewItemCollection,
                                      ov::Via<IDispatch, IovWPFTreeViewItemCollection>, IovCtrlBase>;

    // `parent` null: the top level. An empty `items` driver is a level without items (a node whose
    // container has no "Items").
    CovWPFCtrlTreeViewItemCollection(CovWPFCtrlTreeView& owner, CovWPFCtrlTreeViewItem* parent,
                                     CovDispDriver items);

    // IovWPFTreeViewItemCollection
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT item, IDispatch** node) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    // IovCtrlBase: "wItems" of the tree view, or "Items" of the parent node.
    HRESULT STDMETHODCALLTYPE GetSyntax(IovSyntaxItem** syntax, LONG flag) override;

    // The item source: "Count" and "get_Item"(i) of the collection, texts by "Header".
    LONG GetItemCount() override;
    ov::Bstr GetItemText(LONG index) override;

    // The path lookup. A string holding "|" is cut at its first one: the head names a node of this level
    // (a name pattern, or "[n]" read as a decimal number the way wcstol reads it, so "[x]" is 0), the rest
    // is looked up below it without expanding anything. Any other value is an index or a name, and a
    // string "[n]" is index n. Unresolved parts fail with the item-addressing errors of their level.
    ov::ComPtr<CovWPFCtrlTreeViewItem> Lookup(const VARIANT& item);

    CovWPFCtrlTreeView& Owner() const noexcept { return *owner_; }
    CovWPFCtrlTreeViewItem* ParentNode() const noexcept { return parent_.Get(); }

private:
    template <class Body> HRESULT Member(Body&& body) { return ov::Member(*this, std::forward<Body>(body)); }
    // The index of a head ("[n]" or a name) and the name the item addressing gives for it.
    LONG Resolve(std::wstring_view head, ov::Bstr& name);
    ov::ComPtr<CovWPFCtrlTreeViewItem> MakeNode(LONG index, ov::Bstr name);

    ov::ComPtr<CovWPFCtrlTreeView> owner_;
    ov::ComPtr<CovWPFCtrlTreeViewItem> parent_;
    CovDispDriver items_;
};

class CovWPFCtrlTreeViewItem : public ov::IDispatchMultiImpl<IovWPFTreeViewItem>,
                               public IovWin32CtrlStdActionsWindow,
                               public CovSyntaxItem,
                               public virtual ov::CMultiDispatchRoot {
public:
    using Interfaces = ov::Interfaces<IovWPFTreeViewItem, ov::Via<IDispatch, IovWPFTreeViewItem>,
                                      IovWin32CtrlStdActionsWindow, IovCtrlBase>;

    CovWPFCtrlTreeViewItem(CovWPFCtrlTreeViewItemCollection& parent, ov::Variant item, ov::Bstr name);

    // IovWPFTreeViewItem. The clicks act through the host on the node's header; the host's answer is not
    // looked at, so the message is posted also when the header could not be placed.
    HRESULT STDMETHODCALLTYPE Click(TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickR(TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickM(TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClick(TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickR(TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickM(TShiftKey shift) override;
    // Sets the container's "IsExpanded"; a node already in that state is a notice (kind 1). A container
    // that is no object or has no "IsExpanded" fails with the late-bound call's error.
    HRESULT STDMETHODCALLTYPE Expand(VARIANT_BOOL expand) override;
    HRESULT STDMETHODCALLTYPE Collapse() override;
    // Null when the container has no "Items" or none in them.
    HRESULT STDMETHODCALLTYPE get_Items(IDispatch** items) override;
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) override;
    // False when the container has no such member (also when it is a data item without a container).
    HRESULT STDMETHODCALLTYPE get_Expanded(VARIANT_BOOL* expanded) override;
    HRESULT STDMETHODCALLTYPE get_Selected(VARIANT_BOOL* selected) override;

    // IovWin32CtrlStdActionsWindow. The window object is the first host object from the tree view's up
    // that answers IovNativeWindow (in this host the tree view's own); the rectangle is the header's, from
    // the tree view's IovInternalObjects helper, relative to that object's "ScreenLeft" and "ScreenTop".
    // A node that cannot be placed (no header, no helper, a failed call) answers false.
    HRESULT STDMETHODCALLTYPE GetOwnerWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE GetRectangle(RECT* rect, VARIANT_BOOL* placed) override;
    HRESULT STDMETHODCALLTYPE IsAvailable(VARIANT_BOOL* available) override;

    // IovCtrlBase: "Item" of the parent collection with the node's name.
    HRESULT STDMETHODCALLTYPE GetSyntax(IovSyntaxItem** syntax, LONG flag) override;

    // The bodies the tree view's members share (they raise the module's errors).
    void ClickWith(LONG shift, LONG button, bool dbl);
    void SetExpanded(bool expand);
    // The TreeViewItem that shows the node: the parent element's "ItemContainerGenerator"
    // "ContainerFromItem" of the data item, or the data item itself when that gives nothing.
    ov::Variant Container();
    // The children, also when there are none (an empty level when the container has no "Items").
    ov::ComPtr<CovWPFCtrlTreeViewItemCollection> ChildCollection();

private:
    template <class Body> HRESULT Member(Body&& body) { return ov::Member(*this, std::forward<Body>(body)); }
    HRESULT ContainerFlag(const wchar_t* member, VARIANT_BOOL* value);
    // The host object of the tree view's window (see GetOwnerWindow), or null.
    ov::ComPtr<IovHostObject> WindowObject();

    ov::ComPtr<CovWPFCtrlTreeView> owner_;
    ov::ComPtr<CovWPFCtrlTreeViewItemCollection> parent_;
    ov::Variant item_;
    ov::Bstr name_;
};

class CovWPFCtrlTreeView::CovWPFCtrlTreeViewInfo : public CovWPFCtrlInfoOf<CovWPFCtrlTreeView> {
public:
    CovWPFCtrlTreeViewInfo();
};
