#include "TreeView.h"

#include "Border.h"
#include "XamlSchema.h"

#include <functional>

namespace wpfsim {

// --- TreeView -------------------------------------------------------------------------------------------

TreeView::TreeView(Application& app, std::wstring className, std::wstring name)
    : ItemsControl(app, std::move(className), std::move(name), L"System.Windows.Controls.TreeViewItem") {
    SetVirtualizing(false);
}

void TreeView::UnselectAllBut(const Element* keep) {
    std::function<void(ItemsControl&)> walk = [&](ItemsControl& level) {
        for (size_t i = 0; i < level.Count(); ++i) {
            const Item& item = level.At(i);
            auto* node =
                dynamic_cast<TreeViewItem*>(item.container ? item.container.Get() : item.element.Get());
            if (!node) continue;
            if (node != keep && node->IsSelected()) node->SetSelected(false);
            walk(*node);
        }
    };
    walk(*this);
}

void TreeView::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"Bd");
    border.padding = {1, 1, 1, 1};
    auto& viewer =
        MakePart<ScrollViewer>(border, L"System.Windows.Controls.ScrollViewer", L"_tv_scrollviewer_");
    viewer.SetBarVisibility(true, ScrollViewer::BarVisibility::Auto);
    MakeItemsHost(nullptr, &viewer, L"System.Windows.Controls.StackPanel");
}

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
    AddProperty(L"get_ParentItemsControl", [this] {
        for (Element* e = Parent(); e; e = e->Parent())
            if (dynamic_cast<ItemsControl*>(e)) return Obj(e);
        return Obj(dynamic_cast<ItemsControl*>(LogicalParent()));
    });
    AddProperty(
        L"IsSelected", [this] { return ov::Variant::Bool(selected_); },
        [this](const VARIANT& v) { SetSelected(BoolOf(v)); });
    AddProperty(L"get_ParentTreeView", [this] { return Obj(ParentTreeView()); });
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

void TreeViewItem::OnApplyTemplate() {
    auto& grid = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"");
    grid.columns = {19, -1};
    grid.rows = {Auto, -1};
    auto& expander = MakePart<Element>(grid, L"System.Windows.Controls.Primitives.ToggleButton", L"Expander");
    expander.Layout().width = 16;
    expander.Layout().height = 16;
    expander_ = &expander;
    auto& border = MakePart<Border>(grid, L"System.Windows.Controls.Border", L"Bd");
    border.Layout().column = 1;
    border.padding = {1, 1, 1, 1};
    SetHeaderPresenter(
        &MakePart<ContentPresenter>(border, L"System.Windows.Controls.ContentPresenter", L"PART_Header"));
    auto& panel = MakeItemsHost(&grid, nullptr, L"System.Windows.Controls.StackPanel");
    itemsPresenter_ = panel.Parent();
    itemsPresenter_->SetName(L"ItemsHost");
    itemsPresenter_->Layout().row = 1;
    itemsPresenter_->Layout().column = 1;
    itemsPresenter_->SetVisibility(Visibility::Collapsed);
}

void TreeViewItem::SetExpanded(bool expanded) {
    expanded_ = expanded;
    if (itemsPresenter_)
        itemsPresenter_->SetVisibility(expanded ? Visibility::Visible : Visibility::Collapsed);
    InvalidateLayout();
}

void TreeViewItem::OnMouseDown(MouseEvent& e) {
    if (e.button != MouseButton::Left) return;
    bool onExpander = expander_ && e.source && expander_->IsAncestorOf(*e.source);
    bool onHeader =
        e.source && !onExpander && (!itemsPresenter_ || !itemsPresenter_->IsAncestorOf(*e.source));
    if (onExpander || (onHeader && e.clickCount == 2)) SetExpanded(!expanded_);
    if (onHeader && e.clickCount == 1) SetSelected(true);
    if (onExpander || onHeader) e.handled = true;
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
