// Selector and the lists of the simulated application, as WPF builds them:
//
//   Selector       the selection of an items control, kept per item (ComboBox.h is a Selector too)
//   ListBoxItem    a container whose "IsSelected" goes through its selector's rules (ListViewItem,
//                  ComboBoxItem and TabItem are of its class)
//   ListBox        the selection modes and the clicks that change the selection
//   ListView       a ListBox whose "View" is a GridView: a header row above rows of cells
#pragma once

#include "Items.h"

#include <string_view>
#include <unordered_set>

namespace wpfsim {

class Border;
class GridView;

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

// WPF's Selector. The selection is kept per item, not per container, so that it outlives virtualization;
// it is ordered as WPF keeps it: by the time each item was selected. "SelectedIndex" and "SelectedItem" are
// the first item of that order (get), and select that item alone (put): -1 or a null item clears, an
// index below -1 is refused (ArgumentException), an index at or beyond the count and an object that is
// not an item leave the selection as it is. "ItemGetIsSelected"(item) (4.0 only) reads what the item's
// container shows (see the function). Containers have "IsSelected" (get, put). A "SelectedIndex" given in
// XAML before the items exist waits for its item.
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
    bool ItemGetIsSelected(const VARIANT& item) const;

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
// "IndexOf"), "SelectAll"() (NotSupportedException in Single mode), "UnselectAll"(), "ScrollIntoView"(item),
// the private "ElementAt"(i) (item i's container, or null). Clicks on items follow WPF's ListBox: Single
// selects the item (Ctrl+click unselects the selected one), Multiple toggles it (with either button),
// Extended selects it alone, Ctrl+click toggles, Shift+click selects the range from the anchor alone (the
// last clicked item; without one, the last item selected), Ctrl+Shift+click adds the range; a right click
// in Extended mode selects the item alone unless it is selected already or Ctrl or Shift is held. Each
// press of a double click is a click.
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
    void OnSelectionChanged() override;

private:
    Border* border_ = nullptr;
    ScrollViewer* viewer_ = nullptr;
    ov::ComPtr<GridView> view_;
    void Toggle(size_t index);
    void SelectRange(size_t to, bool alone);
    long anchor_ = -1;
};

namespace xaml {
struct Node;
// "SelectedIndex" as XAML gives it to a selector (ListBox, ComboBox).
void SetSelectedIndex(Node& n, std::wstring_view v);
} // namespace xaml

} // namespace wpfsim
