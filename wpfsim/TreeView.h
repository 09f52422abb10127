// The tree view of the simulated application and its nodes, as WPF builds them.
#pragma once

#include "Items.h"

namespace wpfsim {

class ToggleButton;

// One node of the tree at most is selected: selecting a node unselects every other node of its tree view.
// "SelectedItem" and "SelectedValue" (get only): the selected node's item (the TreeViewItem itself when it
// was declared as an item, the data item of a generated one), or a null object.
class TreeView : public ItemsControl {
public:
    TreeView(Application& app, std::wstring className, std::wstring name);
    // Unselects every node of the tree (declared or generated) but `keep`.
    void UnselectAllBut(const Element* keep);
    // A node collapsed: a selection inside it moves to the node (TreeView.HandleSelectionAndCollapsed).
    void OnCollapsed(Element& node);

protected:
    void OnApplyTemplate() override;

private:
    ov::Variant SelectedItem() const;
};

// "IsExpanded" (get, put), "IsSelected" (get, put), "Header", "Items", "BringIntoView"() (expands every
// collapsed node above it, then brings its header into view, as TreeViewItem.HandleBringIntoView does),
// "Focus"() (a node that takes the focus is selected, TreeViewItem.OnGotFocus). Data items get containers
// only while the node is expanded (a node never expanded has none, as WPF generates them when its items
// presenter is first measured); containers once made stay when it collapses.
// Template (Aero2): a Grid of the ToggleButton "Expander" (16 by 16, ClickMode Press, not focusable, checked
// while the node is expanded, Hidden while the node has no items), the Border "Bd" holding the
// ContentPresenter "PART_Header", and the ItemsPresenter "ItemsHost" (Collapsed while the node is
// collapsed). Input as WPF's: a left press on the expander toggles the node (each press) and selects
// nothing; a left press elsewhere on the node focuses and so selects it, and the second press of a double
// click toggles it. Right and middle presses change nothing.
class TreeViewItem : public HeaderedItemsControl {
public:
    TreeViewItem(Application& app, std::wstring className, std::wstring name);
    bool IsExpanded() const noexcept { return expanded_; }
    void SetExpanded(bool expanded);
    bool IsSelected() const noexcept { return selected_; }
    void SetSelected(bool selected);
    bool Generates() const noexcept override { return expanded_; }
    // The tree view the node belongs to (null while it is in none), and the tree view or node whose item
    // it is.
    TreeView* ParentTreeView() const noexcept;
    ItemsControl* ParentItemsControl() const noexcept;

protected:
    void OnApplyTemplate() override;
    void OnMouseDown(MouseEvent& e) override;
    void OnItemsChanged() override;
    void OnItemRemoved(size_t) override { OnItemsChanged(); }

private:
    // Focus(), and the selection that WPF's OnGotFocus makes of it.
    bool TakeFocus();
    void BringHeaderIntoView();
    bool expanded_ = false;
    bool selected_ = false;
    Element* itemsPresenter_ = nullptr;
    ToggleButton* expander_ = nullptr;
    Element* header_ = nullptr;
};

} // namespace wpfsim
