#include "ListBox.h"

#include "Application.h"
#include "Border.h"
#include "ClrValue.h"
#include "XamlSchema.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace wpfsim {

// --- containers -----------------------------------------------------------------------------------------

ItemContainer::ItemContainer(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    AddProperty(
        L"IsSelected", [this] { return ov::Variant::Bool(selected_); },
        [this](const VARIANT& v) {
            const bool selected = BoolOf(v);
            auto* selector = dynamic_cast<Selector*>(Owner());
            const long index = selector ? selector->IndexOfItemElement(*this) : -1;
            if (index < 0) return SetSelected(selected);
            selector->SetItemSelected(static_cast<size_t>(index), selected);
        });
}

ItemsControl* ItemContainer::Owner() const noexcept {
    for (Element* e = RouteParent(); e; e = e->RouteParent())
        if (auto* owner = dynamic_cast<ItemsControl*>(e)) return owner;
    return nullptr;
}

void ItemContainer::SetSelected(bool selected) {
    selected_ = selected;
}

void ItemContainer::OnMouseDown(MouseEvent& e) {
    if (auto* list = dynamic_cast<ListBox*>(Owner())) list->ItemPressed(*this, e);
}

void ItemContainer::ShowAsRow(const GridView& view) {
    if (!cells_.empty()) return;
    // The row replaces the content template.
    while (!Children().empty())
        DiscardPart(*Children().back());
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"Bd");
    border.padding = {1, 1, 1, 1};
    auto& row = MakePart<StackPanel>(border, L"System.Windows.Controls.GridViewRowPresenter", L"");
    row.SetHorizontal(true);
    for (GridViewColumn* column : view.Columns()) {
        auto& cell = MakePart<ContentPresenter>(row, L"System.Windows.Controls.ContentPresenter", L"");
        cell.Layout().width = column->Width();
        cell.Layout().margin = {6, 0, 6, 0};
        cells_.push_back(&cell);
    }
    SetPresenter(cells_.empty() ? nullptr : cells_.front());
}

void ItemContainer::OnContentChanged() {
    // The cells after the first show a text content too; an element can stand in one place only.
    for (size_t i = 1; i < cells_.size(); ++i) {
        wpfsim::Content shown;
        shown.text = GetContent().text;
        cells_[i]->Show(shown);
    }
}

// --- GridView -------------------------------------------------------------------------------------------

GridViewColumn::GridViewColumn(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
    SetObjectKind(ObjectKind::DependencyObject);
    AddProperty(
        L"Header", [this] { return Str(header_); }, [this](const VARIANT& v) { header_ = TextOf(v); });
    AddProperty(L"Width", [this] { return ov::Variant::Double(width_); });
}

GridView::GridView(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
    SetObjectKind(ObjectKind::DependencyObject);
    ov::ComPtr<ClrObject> columns = MakeCollection(
        *this, L"System.Windows.Controls.GridViewColumnCollection", [this] { return columns_.size(); },
        [this](size_t i) { return Obj(columns_[i]); });
    AddProperty(L"Columns", [columns] { return Obj(columns.Get()); });
}

void GridView::AddChild(Element& child) {
    auto* column = dynamic_cast<GridViewColumn*>(&child);
    if (!column) throw std::invalid_argument("a GridView holds GridViewColumns only");
    AddLogicalChild(child);
    columns_.push_back(column);
}

// --- Selector -------------------------------------------------------------------------------------------

Selector::Selector(Application& app, std::wstring className, std::wstring name, std::wstring containerClass)
    : ItemsControl(app, std::move(className), std::move(name), std::move(containerClass)) {
    AddProperty(
        L"SelectedIndex", [this] { return ov::Variant::Int(SelectedIndex()); },
        [this](const VARIANT& v) {
            const LONG index = IntOf(v);
            if (index < -1) throw InvalidPropertyValue(std::to_wstring(index), L"SelectedIndex");
            if (index < static_cast<LONG>(Count())) SelectOnly(index);
        });
    AddProperty(
        L"SelectedItem",
        [this] {
            return SelectedIndex() < 0 ? Obj(nullptr) : ItemValue(static_cast<size_t>(SelectedIndex()));
        },
        [this](const VARIANT& v) {
            if (IsNull(v)) return SelectOnly(-1);
            for (size_t i = 0; i < Count(); ++i)
                if (ItemEquals(i, v)) return SelectOnly(static_cast<long>(i));
        });
    if (app.GetFramework() == Framework::Net40)
        AddMethod(L"ItemGetIsSelected", 1,
                  [this](const Args& a) { return ov::Variant::Bool(ItemGetIsSelected(a[0])); });
}

// 4.0's Selector.ItemGetIsSelected: what the item's container shows (the generator's ContainerFromItem),
// else what the item shows when it is its own container, else false; so a data item whose container was
// virtualized away reads as not selected although the selection holds it.
bool Selector::ItemGetIsSelected(const VARIANT& item) const {
    if (IsNull(item)) return false;
    Element* shown = ContainerOfItem(item);
    if (!shown) shown = ElementOf(item);
    auto* container = dynamic_cast<ItemContainer*>(shown);
    return container && container->IsSelected();
}

bool Selector::IsItemSelected(size_t index) const noexcept {
    return selectedSet_.count(index) != 0;
}

void Selector::Show(size_t index, bool selected) {
    for (Element* e : {At(index).element.Get(), At(index).container.Get()})
        if (auto* container = dynamic_cast<ItemContainer*>(e)) container->SetSelected(selected);
}

void Selector::Select(size_t index) {
    if (!selectedSet_.insert(index).second) return;
    selection_.push_back(index);
    Show(index, true);
}

void Selector::Unselect(size_t index) {
    if (!selectedSet_.erase(index)) return;
    std::erase(selection_, index);
    Show(index, false);
}

void Selector::ClearSelection() {
    for (size_t i : std::exchange(selection_, {}))
        Show(i, false);
    selectedSet_.clear();
}

void Selector::Changed() {
    OnSelectionChanged();
}

void Selector::SetItemSelected(size_t index, bool selected) {
    if (index >= Count()) throw ArgumentOutOfRange(L"index");
    if (selected) {
        if (mode_ == Mode::Single) ClearSelection();
        Select(index);
    } else {
        Unselect(index);
    }
    Changed();
}

void Selector::SelectOnly(long index) {
    ClearSelection();
    if (index >= 0) Select(static_cast<size_t>(index));
    Changed();
}

void Selector::SetSelectionMode(Mode mode) {
    mode_ = mode;
    if (mode == Mode::Single)
        for (size_t i : std::vector<size_t>(selection_.begin() + std::min<size_t>(1, selection_.size()),
                                            selection_.end()))
            Unselect(i);
    Changed();
}

void Selector::SetSelectedIndexFromMarkup(long index) {
    if (index < static_cast<long>(Count()))
        SelectOnly(index);
    else
        pending_ = index;
}

void Selector::PrepareContainer(Element& container, size_t index) {
    if (auto* item = dynamic_cast<ItemContainer*>(&container)) item->SetSelected(IsItemSelected(index));
}

void Selector::OnItemsChanged() {
    if (pending_ >= 0 && pending_ < static_cast<long>(Count())) {
        const long index = pending_;
        pending_ = -1;
        return SelectOnly(index);
    }
    // An item declared selected (IsSelected="True") joins the selection when it is added. The items
    // checked before show the selection, so only those added since are looked at.
    bool changed = false;
    for (size_t i = declaredSeen_; i < Count(); ++i)
        if (auto* item = dynamic_cast<ItemContainer*>(At(i).element.Get());
            item && item->IsSelected() && !IsItemSelected(i)) {
            if (mode_ == Mode::Single) ClearSelection();
            Select(i);
            changed = true;
        }
    declaredSeen_ = Count();
    if (changed) Changed();
}

void Selector::OnItemRemoved(size_t index) {
    // The item is gone already: nothing of it to show.
    std::erase(selection_, index);
    for (size_t& i : selection_)
        if (i > index) --i;
    selectedSet_ = {selection_.begin(), selection_.end()};
    if (index < declaredSeen_) --declaredSeen_;
    Changed();
}

// --- ListBox --------------------------------------------------------------------------------------------

namespace {
const wchar_t* const kSelectionModes[] = {L"Single", L"Multiple", L"Extended"};

Selector::Mode SelectionModeOf(const VARIANT& v) {
    if (v.vt == VT_BSTR || v.vt == VT_DISPATCH) {
        const std::wstring name = TextOf(v);
        for (size_t i = 0; i < 3; ++i)
            if (_wcsicmp(name.c_str(), kSelectionModes[i]) == 0) return static_cast<Selector::Mode>(i);
        throw InvalidPropertyValue(name, L"SelectionMode");
    }
    const LONG mode = IntOf(v);
    if (mode < 0 || mode > 2) throw InvalidPropertyValue(std::to_wstring(mode), L"SelectionMode");
    return static_cast<Selector::Mode>(mode);
}

// .NET's NotSupportedException (COR_E_NOTSUPPORTED) as the bridge hands it on.
ClrException NotSupported(std::wstring message) {
    return {L"PresentationFramework", 0, std::move(message), static_cast<SCODE>(0x80131515)};
}
} // namespace

ListBox::ListBox(Application& app, std::wstring className, std::wstring name, std::wstring containerClass)
    : Selector(app, std::move(className), std::move(name),
               containerClass.empty() ? L"System.Windows.Controls.ListBoxItem" : std::move(containerClass)) {
    SetParentMember(L"get_ParentListBox");
    AddProperty(
        L"SelectionMode",
        [this] {
            return Box(SharedRuntime(), L"System.Windows.Controls.SelectionMode",
                       ov::Variant::String(kSelectionModes[static_cast<int>(SelectionMode())]));
        },
        [this](const VARIANT& v) { SetSelectionMode(SelectionModeOf(v)); });
    ov::ComPtr<ClrObject> selected = MakeCollection(
        *this, L"System.Windows.Controls.SelectedItemCollection", [this] { return Selection().size(); },
        [this](size_t i) { return ItemValue(Selection()[i]); });
    selected->AddMethod(L"Contains", 1, [this](const Args& a) {
        for (size_t i : Selection())
            if (ItemEquals(i, a[0])) return ov::Variant::Bool(true);
        return ov::Variant::Bool(false);
    });
    selected->AddMethod(L"IndexOf", 1, [this](const Args& a) {
        for (size_t k = 0; k < Selection().size(); ++k)
            if (ItemEquals(Selection()[k], a[0])) return ov::Variant::Int(static_cast<LONG>(k));
        return ov::Variant::Int(-1);
    });
    AddProperty(L"SelectedItems", [selected] { return Obj(selected.Get()); });
    AddMethod(L"SelectAll", 0, [this](const Args&) {
        SelectAll();
        return ov::Variant();
    });
    AddMethod(L"UnselectAll", 0, [this](const Args&) {
        UnselectAll();
        return ov::Variant();
    });
    // ListBox's private ElementAt: the generator's container of item i, null out of range or without one.
    AddMethod(L"ElementAt", 1, [this](const Args& a) {
        const LONG i = IntOf(a[0]);
        return Obj(i < 0 || static_cast<size_t>(i) >= Count() ? nullptr
                                                              : ContainerAt(static_cast<size_t>(i), false));
    });
    AddMethod(L"ScrollIntoView", 1, [this](const Args& a) {
        for (size_t i = 0; i < Count(); ++i)
            if (ItemEquals(i, a[0])) {
                if (auto* panel = dynamic_cast<VirtualizingStackPanel*>(ItemsHost()))
                    panel->BringIndexIntoView(i);
                break;
            }
        return ov::Variant();
    });
}

void ListBox::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"Bd");
    border.padding = {1, 1, 1, 1};
    // Aero2's ListBox style: both bars Auto, the viewer not focusable.
    auto& viewer = MakePart<ScrollViewer>(border, L"System.Windows.Controls.ScrollViewer", L"");
    viewer.SetFocusable(false);
    viewer.SetBarVisibility(true, ScrollViewer::BarVisibility::Auto);
    viewer.SetBarVisibility(false, ScrollViewer::BarVisibility::Auto);
    // The list box's style: ScrollViewer.CanContentScroll True.
    viewer.SetCanContentScroll(true);
    MakeItemsHost(nullptr, &viewer, L"System.Windows.Controls.VirtualizingStackPanel");
    border_ = &border;
    viewer_ = &viewer;
}

void ListBox::SetView(GridView& view) {
    if (view_) throw std::invalid_argument("the view is set already");
    view_ = &view;
    AddLogicalChild(view);
    AddProperty(L"View", [this] { return Obj(view_.Get()); });
    // The header row stands above the scrolled items.
    border_->RemoveVisualChild(*viewer_);
    border_->RemoveLogicalChild(*viewer_);
    auto& dock = MakePart<DockPanel>(*border_, L"System.Windows.Controls.DockPanel", L"");
    auto& headers = MakePart<StackPanel>(dock, L"System.Windows.Controls.GridViewHeaderRowPresenter", L"");
    headers.SetHorizontal(true);
    headers.Layout().dock = Dock::Top;
    for (GridViewColumn* column : view.Columns()) {
        auto& header =
            MakePart<ContentControl>(headers, L"System.Windows.Controls.GridViewColumnHeader", L"");
        header.SetContent(column->Header());
        header.Layout().width = column->Width();
        header.SetFocusable(false);
    }
    dock.AddVisualChild(*viewer_);
    dock.AddLogicalChild(*viewer_);
    for (size_t i = 0; i < Count(); ++i)
        if (auto* row = dynamic_cast<ItemContainer*>(At(i).container.Get())) row->ShowAsRow(view);
    InvalidateLayout();
}

void ListBox::PrepareContainer(Element& container, size_t index) {
    Selector::PrepareContainer(container, index);
    if (auto* row = dynamic_cast<ItemContainer*>(&container); row && view_) row->ShowAsRow(*view_);
}

void ListBox::SelectAll() {
    if (SelectionMode() == Mode::Single)
        throw NotSupported(L"Can only call SelectAll when SelectionMode is Multiple or Extended.");
    for (size_t i = 0; i < Count(); ++i)
        Select(i);
    Changed();
}

void ListBox::UnselectAll() {
    SelectOnly(-1);
}

void ListBox::Toggle(size_t index) {
    if (IsItemSelected(index))
        Unselect(index);
    else
        Select(index);
    anchor_ = static_cast<long>(index);
    Changed();
}

// As ListBox.MakeAnchorSelection: without an anchor (no click since the selection was made from code) the
// last item selected becomes it, or the first item when none is; the range keeps the anchor where it was,
// its items join the selection in index order.
void ListBox::SelectRange(size_t to, bool alone) {
    if (anchor_ < 0) anchor_ = Selection().empty() ? 0 : static_cast<long>(Selection().back());
    const size_t from = static_cast<size_t>(anchor_);
    const size_t low = std::min(from, to), high = std::max(from, to);
    if (alone)
        for (size_t i : std::vector<size_t>(Selection()))
            if (i < low || i > high) Unselect(i);
    for (size_t i = low; i <= high; ++i)
        Select(i);
    Changed();
}

// In Single mode the anchor moves to the item selected, from code too, while it has a container.
void ListBox::OnSelectionChanged() {
    if (SelectionMode() == Mode::Single && SelectedIndex() >= 0 &&
        At(static_cast<size_t>(SelectedIndex())).container)
        anchor_ = SelectedIndex();
}

void ListBox::ItemPressed(Element& container, MouseEvent& e) {
    if (e.button != MouseButton::Left && e.button != MouseButton::Right) return;
    const long found = IndexOfItemElement(container);
    if (found < 0) return;
    e.handled = true;
    const size_t index = static_cast<size_t>(found);
    const bool ctrl = (e.shift & shift::Ctrl) != 0, shiftKey = (e.shift & shift::Shift) != 0;
    switch (SelectionMode()) {
    case Mode::Single:
        if (!IsItemSelected(index))
            SetItemSelected(index, true);
        else if (ctrl)
            SetItemSelected(index, false);
        anchor_ = found;
        break;
    case Mode::Multiple:
        Toggle(index);
        break;
    case Mode::Extended:
        if (e.button == MouseButton::Left) {
            if (ctrl && shiftKey)
                SelectRange(index, false);
            else if (ctrl)
                Toggle(index);
            else if (shiftKey)
                SelectRange(index, true);
            else {
                SelectOnly(found);
                anchor_ = found;
            }
        } else if (!ctrl && !shiftKey) {
            // A right click keeps a selection it lands in (for a context menu over it).
            if (!IsItemSelected(index)) SelectOnly(found);
            anchor_ = found;
        }
        break;
    }
}

void ListBox::OnItemRemoved(size_t index) {
    if (anchor_ == static_cast<long>(index))
        anchor_ = -1;
    else if (anchor_ > static_cast<long>(index))
        --anchor_;
    Selector::OnItemRemoved(index);
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

// A whole number from -1, as Selector.SelectedIndex takes it in XAML.
void SetSelectedIndex(Node& n, std::wstring_view v) {
    const double index = ToNumber(v);
    if (index != std::floor(index) || index < -1 || index > 1e6)
        throw ValueError{L"a whole number from -1 expected"};
    As<Selector>(n).SetSelectedIndexFromMarkup(static_cast<long>(index));
}

std::vector<Type> ListBoxTypes() {
    return {
        {.name = L"ListBox",
         .className = L"System.Windows.Controls.ListBox",
         .base = L"ItemsControl",
         .make = &Make<ListBox>,
         .properties = {{L"SelectionMode",
                         [](Node& n, std::wstring_view v) {
                             As<ListBox>(n).SetSelectionMode(static_cast<Selector::Mode>(
                                 EnumValue(v, {L"Single", L"Multiple", L"Extended"})));
                         }},
                        {L"SelectedIndex", &SetSelectedIndex}},
         .content = Content::Items},
        {.name = L"ListView",
         .className = L"System.Windows.Controls.ListView",
         .base = L"ListBox",
         .make = [](Application& app, std::wstring cls) -> Element& {
             return app.Create<ListBox>(std::move(cls), L"", L"System.Windows.Controls.ListViewItem");
         },
         .properties = {{L"View",
                         [](Node&, std::wstring_view) {
                             throw ValueError{L"the view is an element (<ListView.View><GridView>...)"};
                         },
                         [](Node& n, Element& view) {
                             auto* grid = dynamic_cast<GridView*>(&view);
                             if (!grid) throw ValueError{L"a GridView expected"};
                             try {
                                 As<ListBox>(n).SetView(*grid);
                             } catch (const std::invalid_argument&) {
                                 throw ValueError{L"the view is set already"};
                             }
                         }}},
         .content = Content::Items},
        {.name = L"GridView",
         .className = L"System.Windows.Controls.GridView",
         .make = &Make<GridView>,
         .properties = {Cosmetic(L"AllowsColumnReorder"), Cosmetic(L"ColumnHeaderToolTip")},
         .content = Content::Many},
        {.name = L"GridViewColumn",
         .className = L"System.Windows.Controls.GridViewColumn",
         .make = &Make<GridViewColumn>,
         .properties =
             {{L"Header",
               [](Node& n, std::wstring_view v) { As<GridViewColumn>(n).SetHeader(std::wstring(v)); }},
              {L"Width", [](Node& n, std::wstring_view v) { As<GridViewColumn>(n).SetWidth(ToLength(v)); }}},
         .content = Content::Text,
         .textProperty = L"Header"},
        {.name = L"ListBoxItem",
         .className = L"System.Windows.Controls.ListBoxItem",
         .base = L"ContentControl",
         .make = &Make<ItemContainer>,
         .properties = {{L"IsSelected",
                         [](Node& n, std::wstring_view v) {
                             auto& item = As<ItemContainer>(n);
                             auto* selector = dynamic_cast<Selector*>(item.Owner());
                             const long index = selector ? selector->IndexOfItemElement(item) : -1;
                             if (index < 0) return item.SetSelected(ToBool(v));
                             selector->SetItemSelected(static_cast<size_t>(index), ToBool(v));
                         }}},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"ListViewItem",
         .className = L"System.Windows.Controls.ListViewItem",
         .base = L"ListBoxItem",
         .make = &Make<ItemContainer>,
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
