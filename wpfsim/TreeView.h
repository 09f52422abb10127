// The tree view of the simulated application and its nodes, as WPF builds them.
#pragma once

#include "Items.h"

namespace wpfsim {

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

} // namespace wpfsim
