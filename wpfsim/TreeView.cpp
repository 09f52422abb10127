#include "TreeView.h"

#include "Border.h"
#include "Buttons.h"
#include "XamlSchema.h"

#include <functional>

namespace wpfsim {

// --- TreeView -------------------------------------------------------------------------------------------

namespace {
// The node of an item: its container, or the node declared as the item.
TreeViewItem* NodeOf(const Item& item) {
    return dynamic_cast<TreeViewItem*>(item.container ? item.container.Get() : item.element.Get());
}
} // namespace

TreeView::TreeView(Application& app, std::wstring className, std::wstring name)
    : ItemsControl(app, std::move(className), std::move(name), L"System.Windows.Controls.TreeViewItem") {
    SetVirtualizing(false);
    for (const wchar_t* selected : {L"SelectedItem", L"SelectedValue"})
        AddProperty(selected, [this] { return SelectedItem(); });
}

void TreeView::UnselectAllBut(const Element* keep) {
    std::function<void(ItemsControl&)> walk = [&](ItemsControl& level) {
        for (size_t i = 0; i < level.Count(); ++i) {
            TreeViewItem* node = NodeOf(level.At(i));
            if (!node) continue;
            if (node != keep && node->IsSelected()) node->SetSelected(false);
            walk(*node);
        }
    };
    walk(*this);
}

ov::Variant TreeView::SelectedItem() const {
    std::function<ov::Variant(const ItemsControl&)> find = [&](const ItemsControl& level) -> ov::Variant {
        for (size_t i = 0; i < level.Count(); ++i) {
            const Item& item = level.At(i);
            TreeViewItem* node = NodeOf(item);
            if (!node) continue;
            if (node->IsSelected())
                return item.IsElement() ? Obj(item.element.Get()) : DataValue(*this, item);
            if (ov::Variant found = find(*node); found.vt != VT_EMPTY) return found;
        }
        return ov::Variant();
    };
    ov::Variant selected = find(*this);
    return selected.vt == VT_EMPTY ? Obj(nullptr) : selected;
}

void TreeView::OnCollapsed(Element& node) {
    std::function<TreeViewItem*(ItemsControl&)> selectedIn = [&](ItemsControl& level) -> TreeViewItem* {
        for (size_t i = 0; i < level.Count(); ++i) {
            TreeViewItem* child = NodeOf(level.At(i));
            if (!child) continue;
            if (child->IsSelected()) return child;
            if (TreeViewItem* found = selectedIn(*child)) return found;
        }
        return nullptr;
    };
    if (auto* collapsed = dynamic_cast<TreeViewItem*>(&node); collapsed && selectedIn(*collapsed))
        collapsed->SetSelected(true);
}

void TreeView::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"Bd");
    border.padding = {1, 1, 1, 1};
    auto& viewer =
        MakePart<ScrollViewer>(border, L"System.Windows.Controls.ScrollViewer", L"_tv_scrollviewer_");
    viewer.SetFocusable(false);
    viewer.SetBarVisibility(true, ScrollViewer::BarVisibility::Auto);
    viewer.SetBarVisibility(false, ScrollViewer::BarVisibility::Auto);
    MakeItemsHost(nullptr, &viewer, L"System.Windows.Controls.StackPanel");
}

// --- TreeViewItem ---------------------------------------------------------------------------------------

TreeViewItem::TreeViewItem(Application& app, std::wstring className, std::wstring name)
    : HeaderedItemsControl(app, std::move(className), std::move(name),
                           L"System.Windows.Controls.TreeViewItem") {
    SetVirtualizing(false);
    AddProperty(
        L"Header", [this] { return HeaderValue(*this, Header()); },
        [this](const VARIANT& v) { SetHeader(TextOf(v)); });
    AddProperty(
        L"IsExpanded", [this] { return ov::Variant::Bool(expanded_); },
        [this](const VARIANT& v) { SetExpanded(BoolOf(v)); });
    AddProperty(L"get_ParentItemsControl", [this] { return Obj(ParentItemsControl()); });
    AddProperty(
        L"IsSelected", [this] { return ov::Variant::Bool(selected_); },
        [this](const VARIANT& v) { SetSelected(BoolOf(v)); });
    AddProperty(L"get_ParentTreeView", [this] { return Obj(ParentTreeView()); });
    AddMethod(L"Focus", 0, [this](const Args&) { return ov::Variant::Bool(TakeFocus()); });
    AddMethod(L"BringIntoView", 0, [this](const Args&) {
        for (auto* node = dynamic_cast<TreeViewItem*>(ParentItemsControl()); node;
             node = dynamic_cast<TreeViewItem*>(node->ParentItemsControl()))
            if (!node->IsExpanded()) node->SetExpanded(true);
        BringHeaderIntoView();
        return ov::Variant();
    });
}

ItemsControl* TreeViewItem::ParentItemsControl() const noexcept {
    // A generated node stands in its parent's panel; a declared one may not have stood anywhere yet.
    for (Element* e = Parent(); e; e = e->Parent())
        if (auto* owner = dynamic_cast<ItemsControl*>(e)) return owner;
    return dynamic_cast<ItemsControl*>(LogicalParent());
}

TreeView* TreeViewItem::ParentTreeView() const noexcept {
    for (Element* e = Parent() ? Parent() : LogicalParent(); e;
         e = e->Parent() ? e->Parent() : e->LogicalParent())
        if (auto* tree = dynamic_cast<TreeView*>(e)) return tree;
    return nullptr;
}

void TreeViewItem::SetSelected(bool selected) {
    selected_ = selected;
    if (!selected) return;
    if (TreeView* tree = ParentTreeView()) tree->UnselectAllBut(this);
}

bool TreeViewItem::TakeFocus() {
    if (!Focus()) return false;
    SetSelected(true);
    return true;
}

void TreeViewItem::BringHeaderIntoView() {
    Element& target = header_ ? *header_ : *this;
    (void)target.Bounds();
    for (Element* e = target.Parent(); e; e = e->Parent())
        if (auto* viewer = dynamic_cast<ScrollViewer*>(e)) viewer->MakeVisible(target);
}

void TreeViewItem::OnApplyTemplate() {
    auto& grid = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"");
    grid.columns = {19, Auto, -1};
    grid.rows = {Auto, -1};
    auto& expander =
        MakePart<ToggleButton>(grid, L"System.Windows.Controls.Primitives.ToggleButton", L"Expander");
    expander.Layout().width = 16;
    expander.Layout().height = 16;
    expander.SetFocusable(false);
    expander.SetClickMode(ButtonBase::ClickMode::Press);
    expander.SetClickHandler([this](ButtonBase&) { SetExpanded(expander_->IsChecked() == true); });
    expander.SetVisibility(Visibility::Hidden);
    expander_ = &expander;
    auto& border = MakePart<Border>(grid, L"System.Windows.Controls.Border", L"Bd");
    border.Layout().column = 1;
    border.padding = {1, 1, 1, 1};
    auto& header =
        MakePart<ContentPresenter>(border, L"System.Windows.Controls.ContentPresenter", L"PART_Header");
    header_ = &header;
    SetHeaderPresenter(&header);
    auto& panel = MakeItemsHost(&grid, nullptr, L"System.Windows.Controls.StackPanel");
    itemsPresenter_ = panel.Parent();
    itemsPresenter_->SetName(L"ItemsHost");
    itemsPresenter_->Layout().row = 1;
    itemsPresenter_->Layout().column = 1;
    itemsPresenter_->Layout().columnSpan = 2;
    itemsPresenter_->SetVisibility(Visibility::Collapsed);
}

void TreeViewItem::OnItemsChanged() {
    // The template's trigger on HasItems: the expander is Hidden (keeping its room) without items.
    if (expander_) expander_->SetVisibility(Count() > 0 ? Visibility::Visible : Visibility::Hidden);
}

void TreeViewItem::SetExpanded(bool expanded) {
    const bool changed = expanded_ != expanded;
    expanded_ = expanded;
    if (itemsPresenter_)
        itemsPresenter_->SetVisibility(expanded ? Visibility::Visible : Visibility::Collapsed);
    if (expander_) expander_->SetChecked(expanded);
    InvalidateLayout();
    if (changed && !expanded)
        if (TreeView* tree = ParentTreeView()) tree->OnCollapsed(*this);
}

// WPF's TreeViewItem.OnMouseLeftButtonDown (the expander takes its own presses): the node takes the focus,
// which selects it; the second press of a double click toggles it.
void TreeViewItem::OnMouseDown(MouseEvent& e) {
    if (e.handled || e.button != MouseButton::Left || !e.source) return;
    // Presses on the child nodes are theirs (a disabled child's too).
    if (itemsPresenter_ && itemsPresenter_->IsAncestorOf(*e.source)) return;
    TakeFocus();
    e.handled = true;
    if (e.clickCount % 2 == 0) SetExpanded(!expanded_);
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> TreeViewTypes() {
    return {
        {.name = L"TreeView",
         .className = L"System.Windows.Controls.TreeView",
         .base = L"ItemsControl",
         .make = &Make<TreeView>,
         .content = Content::Items},
        {.name = L"TreeViewItem",
         .className = L"System.Windows.Controls.TreeViewItem",
         .base = L"ItemsControl",
         .make = &Make<TreeViewItem>,
         .properties = {HeaderProperty<HeaderedItemsControl>(),
                        {L"IsExpanded",
                         [](Node& n, std::wstring_view v) { As<TreeViewItem>(n).SetExpanded(ToBool(v)); }},
                        {L"IsSelected",
                         [](Node& n, std::wstring_view v) { As<TreeViewItem>(n).SetSelected(ToBool(v)); }}},
         .content = Content::Items},
    };
}

} // namespace xaml

} // namespace wpfsim
