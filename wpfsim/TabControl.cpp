#include "TabControl.h"

#include "Border.h"
#include "XamlSchema.h"

namespace wpfsim {

// --- TabControl -----------------------------------------------------------------------------------------

TabControl::TabControl(Application& app, std::wstring className, std::wstring name)
    : ItemsControl(app, std::move(className), std::move(name), L"System.Windows.Controls.TabItem") {
    SetParentMember(L"get_TabControlParent");
    AddProperty(
        L"SelectedIndex", [this] { return ov::Variant::Int(selected_); },
        [this](const VARIANT& v) {
            const LONG index = IntOf(v);
            if (index < -1) throw InvalidPropertyValue(std::to_wstring(index), L"SelectedIndex");
            if (index < static_cast<LONG>(Count())) Select(index);
        });
    AddProperty(
        L"SelectedItem",
        [this] { return selected_ < 0 ? Obj(nullptr) : ItemValue(static_cast<size_t>(selected_)); },
        [this](const VARIANT& v) {
            // An object that is not among the items leaves the selection as it is; null clears it.
            Element* element = ElementOf(v);
            const bool null = IsNull(v);
            for (size_t i = 0; i < Count() && !null; ++i) {
                const Item& item = At(i);
                if (item.IsElement() ? item.element.Get() == element
                                     : !element && PrimitiveText(item.value) == TextOf(v))
                    return Select(static_cast<long>(i));
            }
            if (null) Select(-1);
        });
}

void TabControl::OnApplyTemplate() {
    auto& grid = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"templateRoot");
    grid.rows = {Auto, -1};
    auto& headers = MakePart<VirtualizingStackPanel>(grid, L"System.Windows.Controls.Primitives.TabPanel",
                                                     L"headerPanel", *this, false);
    headers.SetHorizontal(true);
    SetItemsHost(headers);
    auto& border = MakePart<Border>(grid, L"System.Windows.Controls.Border", L"contentPanel");
    border.Layout().row = 1;
    border.padding = {2, 2, 2, 2};
    content_ = &MakePart<ContentPresenter>(border, L"System.Windows.Controls.ContentPresenter",
                                           L"PART_SelectedContentHost");
}

void TabControl::OnItemsChanged() {
    if (selected_ < 0 && Count() > 0) Select(0);
}

void TabControl::PrepareContainer(Element& container, size_t index) {
    if (static_cast<long>(index) == selected_)
        if (auto* tab = dynamic_cast<ItemContainer*>(&container)) tab->SetSelected(true);
}

void TabControl::Select(long index) {
    if (index < -1 || index >= static_cast<long>(Count())) throw ArgumentOutOfRange(L"value");
    const long previous = selected_;
    selected_ = index;
    for (size_t i = 0; i < Count(); ++i)
        if (auto* tab = dynamic_cast<ItemContainer*>(ContainerAt(i, true)))
            tab->SetSelected(static_cast<long>(i) == index);
    // Only the selected tab's content is in the visual tree.
    Content shown;
    if (index >= 0)
        if (auto* tab = dynamic_cast<TabItem*>(ContainerAt(static_cast<size_t>(index), true)))
            shown = tab->GetContent();
    if (content_) content_->Show(shown);
    InvalidateLayout();
    // SelectionChanged; a selection made inside the handler raises no second event.
    if (previous != index && selectionChanged_ && !notifying_) {
        notifying_ = true;
        try {
            selectionChanged_(*this, previous);
        } catch (...) {
            notifying_ = false;
            throw;
        }
        notifying_ = false;
    }
}

TabItem::TabItem(Application& app, std::wstring className, std::wstring name)
    : ItemContainer(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Header",
        [this]() -> ov::Variant {
            if (header_.element) return Obj(header_.element.Get());
            return header_.text ? Str(*header_.text) : Obj(nullptr);
        },
        [this](const VARIANT& v) { SetHeader(TextOf(v)); });
    AddProperty(
        L"IsSelected", [this] { return ov::Variant::Bool(IsSelected()); },
        [this](const VARIANT& v) {
            auto* owner = dynamic_cast<TabControl*>(Owner());
            if (!owner) return SetSelected(BoolOf(v));
            const long index = owner->IndexOfContainer(*this);
            if (BoolOf(v))
                owner->Select(index);
            else if (owner->SelectedIndex() == index)
                owner->Select(-1);
        });
    // TabItem.OnPreviewGotKeyboardFocus: a tab that takes the focus is selected.
    AddMethod(L"Focus", 0, [this](const Args&) {
        const bool taken = Focus();
        if (auto* owner = dynamic_cast<TabControl*>(Owner()); owner && taken) {
            if (!IsSelected()) owner->Select(owner->IndexOfContainer(*this));
        }
        return ov::Variant::Bool(taken);
    });
}

void TabItem::OnApplyTemplate() {
    // The tab shows its header; its content is shown by the tab control when the tab is selected.
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"Bd");
    border.padding = {6, 2, 6, 2};
    headerPresenter_ =
        &MakePart<ContentPresenter>(border, L"System.Windows.Controls.ContentPresenter", L"ContentSite");
}

void TabItem::SetHeader(std::wstring text) {
    header_ = {};
    header_.text = std::move(text);
    if (headerPresenter_) headerPresenter_->Show(header_);
    InvalidateLayout();
}

void TabItem::SetHeaderElement(Element* element) {
    header_ = {};
    header_.element = element;
    if (element) AddLogicalChild(*element);
    if (headerPresenter_) headerPresenter_->Show(header_);
    InvalidateLayout();
}

void TabItem::OnMouseDown(MouseEvent& e) {
    ItemContainer::OnMouseDown(e);
    if (e.button != MouseButton::Left) return;
    if (auto* owner = dynamic_cast<TabControl*>(Owner())) owner->Select(owner->IndexOfContainer(*this));
    e.handled = true;
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> TabControlTypes() {
    return {
        {.name = L"TabControl",
         .className = L"System.Windows.Controls.TabControl",
         .base = L"ItemsControl",
         .make = &Make<TabControl>,
         .content = Content::Items},
        {.name = L"TabItem",
         .className = L"System.Windows.Controls.TabItem",
         .base = L"ContentControl",
         .make = &Make<TabItem>,
         .properties = {HeaderProperty<TabItem>()},
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
