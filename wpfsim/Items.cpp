#include "Items.h"

#include "Application.h"
#include "XamlSchema.h"

#include <functional>
#include "ClrValue.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace wpfsim {

namespace {

// .NET's ToString of a primitive data item.
std::wstring PrimitiveText(const VARIANT& v) {
    switch (v.vt) {
    case VT_BSTR:
        return v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
    case VT_BOOL:
        return v.boolVal ? L"True" : L"False";
    case VT_I4:
        return std::to_wstring(v.lVal);
    case VT_R8: {
        wchar_t text[40];
        swprintf(text, 40, L"%.15g", v.dblVal);
        std::wstring s = text;
        for (wchar_t& c : s)
            if (c == L'e') c = L'E';
        return s;
    }
    default:
        return {};
    }
}

// A collection object of the application: "Count" and "get_Item"(i) over a live source.
ov::ComPtr<ClrObject> MakeCollection(Element& owner, std::wstring className, std::function<size_t()> count,
                                     std::function<ov::Variant(size_t)> item) {
    auto collection = ov::Create<ClrObject>(owner.SharedRuntime(), std::move(className));
    collection->AddProperty(L"Count", [count] { return ov::Variant::Int(static_cast<LONG>(count())); });
    collection->AddMethod(L"get_Item", 1, [count, item](const Args& a) {
        LONG i = IntOf(a[0]);
        if (i < 0 || static_cast<size_t>(i) >= count()) throw ArgumentOutOfRange(L"index");
        return item(static_cast<size_t>(i));
    });
    return collection;
}

Element* ElementOf(const VARIANT& v) {
    ov::ComPtr<ClrObject> object = ObjectOf(v);
    return dynamic_cast<Element*>(object.Get());
}

bool IsNull(const VARIANT& v) {
    return v.vt == VT_EMPTY || v.vt == VT_NULL || (v.vt == VT_DISPATCH && !v.pdispVal);
}

// What a dependency property's validation raises for a value it refuses.
ClrException InvalidPropertyValue(const std::wstring& value, const wchar_t* property) {
    return {L"WindowsBase", 0, L"'" + value + L"' is not a valid value for property '" + property + L"'.",
            static_cast<SCODE>(0x80070057)};
}

} // namespace

// --- ItemsControl ---------------------------------------------------------------------------------------

ItemsControl::ItemsControl(Application& app, std::wstring className, std::wstring name,
                           std::wstring containerClass)
    : Control(app, std::move(className), std::move(name)), containerClass_(std::move(containerClass)) {
    // The collection and the generator are one object each for the control's life, as in WPF.
    ov::ComPtr<ClrObject> items = MakeCollection(
        *this, L"System.Windows.Controls.ItemCollection", [this] { return items_.size(); },
        [this](size_t i) { return ItemValue(i); });
    auto indexOf = [this](const VARIANT& v) -> long {
        for (size_t i = 0; i < items_.size(); ++i)
            if (ItemEquals(i, v)) return static_cast<long>(i);
        return -1;
    };
    items->AddMethod(L"IndexOf", 1, [indexOf](const Args& a) { return ov::Variant::Int(indexOf(a[0])); });
    items->AddMethod(L"Contains", 1,
                     [indexOf](const Args& a) { return ov::Variant::Bool(indexOf(a[0]) >= 0); });
    AddProperty(L"Items", [items] { return Obj(items.Get()); });
    AddProperty(L"HasItems", [this] { return ov::Variant::Bool(!items_.empty()); });

    auto generator =
        ov::Create<ClrObject>(SharedRuntime(), L"System.Windows.Controls.ItemContainerGenerator");
    generator->AddMethod(L"ContainerFromIndex", 1, [this](const Args& a) {
        LONG i = IntOf(a[0]);
        return Obj(i < 0 || static_cast<size_t>(i) >= items_.size() ? nullptr : items_[i].container.Get());
    });
    // The first realized container of an equal item: an item without one has no container to give.
    generator->AddMethod(L"ContainerFromItem", 1, [this](const Args& a) {
        for (size_t i : realized_)
            if (ItemEquals(i, a[0])) return Obj(items_[i].container.Get());
        return Obj(nullptr);
    });
    generator->AddMethod(L"IndexFromContainer", 1, [this](const Args& a) {
        Element* container = ElementOf(a[0]);
        return ov::Variant::Int(container ? IndexOfContainer(*container) : -1);
    });
    generator->AddMethod(L"ItemFromContainer", 1, [this](const Args& a) {
        Element* container = ElementOf(a[0]);
        long i = container ? IndexOfContainer(*container) : -1;
        return i < 0 ? Obj(nullptr) : ItemValue(static_cast<size_t>(i));
    });
    AddProperty(L"ItemContainerGenerator", [generator] { return Obj(generator.Get()); });
    AddMethod(L"ElementAt", 1, [this](const Args& a) {
        LONG i = IntOf(a[0]);
        if (i < 0 || static_cast<size_t>(i) >= items_.size()) throw ArgumentOutOfRange(L"index");
        return Obj(items_[static_cast<size_t>(i)].container.Get());
    });
    AddProperty(L"FocusedItem", [this]() -> ov::Variant {
        long i = focusedItem_ ? IndexOfContainer(*focusedItem_) : -1;
        return i < 0 ? ov::Variant() : ItemValue(static_cast<size_t>(i));
    });
    AddProperty(L"get_ItemsHost", [this] { return Obj(host_); });
    AddProperty(L"get_ScrollHost", [this] { return Obj(scrollHost_); });
}

ov::Variant ItemsControl::ItemValue(size_t index) const {
    const Item& item = items_.at(index);
    if (item.IsElement()) return Obj(item.element.Get());
    return DataValue(*this, item);
}

ov::Variant ItemsControl::DataValue(const Element& self, const Item& item) {
    if (item.typeName == L"System.String" && !self.GetRuntime().stringsAsObjects)
        return ov::Variant::String(PrimitiveText(item.value));
    if (!item.boxed) item.boxed = ov::Create<ClrValue>(self.SharedRuntime(), item.typeName, item.value);
    return Obj(item.boxed.Get());
}

std::wstring ItemsControl::ItemText(size_t index) const {
    const Item& item = items_.at(index);
    return item.IsElement() ? item.element->DisplayText() : PrimitiveText(item.value);
}

void ItemsControl::AddItem(Element& container) {
    Item item;
    item.element = &container;
    AddLogicalChild(container);
    indexOf_[&container] = items_.size();
    items_.push_back(std::move(item));
    InvalidateLayout();
    OnItemsChanged();
}

void ItemsControl::AddDataItem(ov::Variant value, std::wstring typeName) {
    Item item;
    item.value = std::move(value);
    item.typeName = std::move(typeName);
    items_.push_back(std::move(item));
    InvalidateLayout();
    OnItemsChanged();
}

void ItemsControl::RemoveItemAt(size_t index) {
    DropGenerated(index);
    if (items_.at(index).IsElement()) RemoveLogicalChild(*items_[index].element);
    items_.erase(items_.begin() + static_cast<long>(index));
    Reindex();
    InvalidateLayout();
    OnItemRemoved(index);
    OnItemsChanged();
}

bool ItemsControl::ItemEquals(size_t index, const VARIANT& v) const {
    const Item& item = items_.at(index);
    const bool isObject = v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN;
    ov::ComPtr<ClrObject> object = isObject ? ObjectOf(v) : nullptr;
    if (auto* element = dynamic_cast<Element*>(object.Get())) return item.element.Get() == element;
    if (item.IsElement()) return false;
    if (auto* boxed = dynamic_cast<ClrValue*>(object.Get()))
        return boxed->ClassName() == item.typeName &&
               PrimitiveText(boxed->Value()) == PrimitiveText(item.value);
    if (isObject) return false;
    const wchar_t* type = v.vt == VT_BSTR   ? L"System.String"
                          : v.vt == VT_I4   ? L"System.Int32"
                          : v.vt == VT_R8   ? L"System.Double"
                          : v.vt == VT_BOOL ? L"System.Boolean"
                                            : nullptr;
    return type && item.typeName == type && PrimitiveText(v) == PrimitiveText(item.value);
}

long ItemsControl::IndexOfItemElement(const Element& element) const {
    auto it = indexOf_.find(&element);
    return it == indexOf_.end() ? -1 : static_cast<long>(it->second);
}

long ItemsControl::IndexOfContainer(const Element& container) const {
    auto it = indexOf_.find(&container);
    return it == indexOf_.end() || items_[it->second].container.Get() != &container
               ? -1
               : static_cast<long>(it->second);
}

void ItemsControl::Reindex() {
    indexOf_.clear();
    realized_.clear();
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].element) indexOf_[items_[i].element.Get()] = i;
        if (items_[i].container) {
            indexOf_[items_[i].container.Get()] = i;
            realized_.insert(realized_.end(), i);
        }
    }
}

Element& ItemsControl::MakeContainer(const Item& item) {
    DataValue(*this, item);
    Item shown = item;
    auto showItem = [shown](Element& container, const wchar_t* member) {
        Element* self = &container;
        container.AddProperty(member, [self, shown]() -> ov::Variant { return DataValue(*self, shown); });
    };
    // A generated container shows the data item: a headered items control (tree and menu items) as its
    // "Header", any other as its "Content"; either member gives the item itself.
    HeaderedItemsControl* headered = nullptr;
    if (containerClass_ == L"System.Windows.Controls.TreeViewItem")
        headered = &App()->Create<TreeViewItem>(containerClass_, L"");
    else if (containerClass_ == L"System.Windows.Controls.MenuItem")
        headered = &App()->Create<MenuItem>(containerClass_, L"");
    if (headered) {
        headered->SetHeader(PrimitiveText(item.value));
        showItem(*headered, L"Header");
        return *headered;
    }
    auto& container = App()->Create<ItemContainer>(containerClass_, L"");
    container.SetContent(PrimitiveText(item.value));
    showItem(container, L"Content");
    return container;
}

Element* ItemsControl::ContainerAt(size_t index, bool generate) {
    Item& item = items_.at(index);
    if (item.container || !generate) return item.container.Get();
    if (item.IsElement()) {
        Realize(index, *item.element);
    } else {
        if (neverGenerates_ || containerClass_.empty()) return nullptr;
        Realize(index, MakeContainer(item));
    }
    return item.container.Get();
}

void ItemsControl::Realize(size_t index, Element& container) {
    items_[index].container = &container;
    realized_.insert(index);
    indexOf_[&container] = index;
    if (parentMember_ && !container.HasMember(parentMember_))
        container.AddProperty(parentMember_, [this] { return Obj(this); });
    PrepareContainer(container, index);
}

void ItemsControl::DropGenerated(size_t index) {
    Item& item = items_.at(index);
    if (!item.container) return;
    Element& container = *item.container;
    if (container.Parent()) container.Parent()->RemoveVisualChild(container);
    if (focusedItem_.Get() == &container && !item.IsElement()) focusedItem_.Reset();
    realized_.erase(index);
    if (!item.IsElement()) indexOf_.erase(&container);
    item.container.Reset();
}

void ItemsControl::SetVirtualizing(bool virtualizing) {
    virtualizing_ = virtualizing;
    if (auto* panel = dynamic_cast<VirtualizingStackPanel*>(host_)) SetItemsHost(*panel);
    InvalidateLayout();
}

VirtualizingStackPanel& ItemsControl::MakeItemsHost(Element* parent, ScrollViewer* viewer,
                                                    const wchar_t* panelClass, bool horizontal) {
    auto& presenter = parent ? MakePart<FrameworkElement>(*parent, L"System.Windows.Controls.ItemsPresenter",
                                                          L"ItemsPresenter")
                             : MakeDetachedPart<FrameworkElement>(L"System.Windows.Controls.ItemsPresenter",
                                                                  L"ItemsPresenter");
    if (viewer) viewer->SetContentElement(&presenter);
    scrollHost_ = viewer;
    const bool virtualizingPanel =
        std::wstring_view(panelClass) == L"System.Windows.Controls.VirtualizingStackPanel";
    auto& panel = MakePart<VirtualizingStackPanel>(presenter, panelClass, L"", *this, virtualizingPanel);
    panel.SetHorizontal(horizontal);
    SetItemsHost(panel);
    return panel;
}

void ItemsControl::SetItemsHost(VirtualizingStackPanel& panel) {
    host_ = &panel;
    if (scrollHost_) scrollHost_->SetItemScroller(panel.ScrollsByItems() ? &panel : nullptr);
}

// --- VirtualizingStackPanel -----------------------------------------------------------------------------

VirtualizingStackPanel::VirtualizingStackPanel(Application& app, std::wstring className, std::wstring name,
                                               ItemsControl& owner, bool virtualizing)
    : StackPanel(app, std::move(className), std::move(name)), owner_(&owner), virtualizing_(virtualizing) {
    auto children = MakeCollection(
        *this, L"System.Windows.Controls.UIElementCollection", [this] { return Children().size(); },
        [this](size_t i) { return Obj(Children()[i]); });
    AddProperty(L"get_InternalChildren", [children] { return Obj(children.Get()); });
    AddProperty(L"Children", [children] { return Obj(children.Get()); });
    if (virtualizing)
        AddMethod(L"BringIndexIntoView", 1, [this](const Args& a) {
            LONG i = IntOf(a[0]);
            if (i < 0 || static_cast<size_t>(i) >= owner_->Count()) throw ArgumentOutOfRange(L"index");
            BringIndexIntoView(static_cast<size_t>(i));
            return ov::Variant();
        });
}

double VirtualizingStackPanel::ItemHeight() {
    for (Element* child : Children())
        if (child->DesiredSize().height > 0) return child->DesiredSize().height;
    if (owner_->Count() > 0)
        if (Element* c = owner_->ContainerAt(std::min(first_, owner_->Count() - 1), true)) {
            if (!c->Parent()) AddVisualChild(*c);
            c->Measure({Infinity, Infinity});
            if (c->DesiredSize().height > 0) return c->DesiredSize().height;
        }
    return 20;
}

void VirtualizingStackPanel::SetFirstItem(double first) {
    size_t count = owner_->Count();
    size_t most = count > static_cast<size_t>(inView_) ? count - static_cast<size_t>(inView_) : 0;
    first_ = std::min(static_cast<size_t>(std::max(0.0, first)), most);
    InvalidateLayout();
}

void VirtualizingStackPanel::BringIndexIntoView(size_t index) {
    if (ScrollsByItems()) {
        size_t view = std::max<size_t>(1, static_cast<size_t>(inView_));
        if (index < first_)
            first_ = index;
        else if (index >= first_ + view)
            first_ = index - view + 1;
        InvalidateLayout();
        if (App()) App()->UpdateLayout();
    } else if (Element* container = owner_->ContainerAt(index, true)) {
        if (!container->Parent()) Sync();
        for (Element* e = Parent(); e; e = e->Parent())
            if (auto* viewer = dynamic_cast<ScrollViewer*>(e)) viewer->MakeVisible(*container);
    }
}

// Makes the panel's children the containers of the items it shows: all, or those from first_ on that fit.
void VirtualizingStackPanel::Sync() {
    size_t count = owner_->Count(), from = 0, to = count;
    if (ScrollsByItems()) {
        from = std::min(first_, count);
        to = std::min(count, from + static_cast<size_t>(std::ceil(inView_)) + 1);
    }
    // Only the containers that exist and the items in view are visited, never the whole list.
    std::vector<size_t> left;
    for (size_t i : owner_->Realized())
        if (i < from || i >= to) left.push_back(i);
    for (size_t i : left)
        owner_->DropGenerated(i);
    std::vector<Element*> wanted;
    for (size_t i = from; i < to; ++i) {
        Element* c = owner_->ContainerAt(i, owner_->Generates());
        // A container placed elsewhere by its control (a toolbar's overflow item) stays there.
        if (c && (!c->Parent() || c->Parent() == this)) wanted.push_back(c);
    }
    if (wanted == Children()) return;
    while (!Children().empty())
        RemoveVisualChild(*Children().back());
    for (Element* c : wanted)
        AddVisualChild(*c);
}

Size VirtualizingStackPanel::MeasureOverride(Size available) {
    if (!ScrollsByItems()) {
        Sync();
        return StackPanel::MeasureOverride(available);
    }
    double height = ItemHeight();
    if (std::isfinite(available.height)) inView_ = std::max(1.0, std::floor(available.height / height));
    Sync();
    Size size = StackPanel::MeasureOverride(available);
    // The extent of all items, of which only those in view exist.
    return {size.width, height * static_cast<double>(owner_->Count())};
}

void VirtualizingStackPanel::ArrangeOverride(Rect inner) {
    if (ScrollsByItems()) {
        double height = ItemHeight();
        double fits = std::max(1.0, std::floor(inner.height / height));
        if (fits != inView_) {
            inView_ = fits;
            SetFirstItem(static_cast<double>(first_));
            Sync();
            for (Element* c : Children())
                c->Measure({inner.width, Infinity});
        }
    }
    StackPanel::ArrangeOverride(inner);
}

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
    // An item that takes the keyboard focus becomes its control's focused item, by code as by a click.
    AddMethod(L"Focus", 0, [this](const Args&) {
        const bool taken = Focus();
        if (ItemsControl* owner = Owner(); owner && taken) owner->SetFocusedContainer(this);
        return ov::Variant::Bool(taken);
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
    ItemsControl* owner = Owner();
    if (owner) owner->SetFocusedContainer(this);
    if (auto* list = dynamic_cast<ListBox*>(owner)) list->ItemPressed(*this, e);
}

void ItemContainer::ShowAsRow(const GridView& view) {
    if (!cells_.empty()) return;
    while (!Children().empty())
        RemoveVisualChild(*Children().back());
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
    if (cells_.empty()) return;
    SetPresenter(cells_.front());
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
    AddProperty(
        L"Header", [this] { return Str(header_); }, [this](const VARIANT& v) { header_ = TextOf(v); });
    AddProperty(L"Width", [this] { return ov::Variant::Double(width_); });
}

GridView::GridView(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
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
    AddMethod(L"ItemGetIsSelected", 1, [this](const Args& a) {
        for (size_t i : selection_)
            if (ItemEquals(i, a[0])) return ov::Variant::Bool(true);
        return ov::Variant::Bool(false);
    });
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

// .NET's InvalidOperationException (COR_E_INVALIDOPERATION) as the bridge hands it on.
ClrException InvalidOperation(std::wstring message) {
    return {L"PresentationFramework", 0, std::move(message), static_cast<SCODE>(0x80131509)};
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
    auto& viewer = MakePart<ScrollViewer>(border, L"System.Windows.Controls.ScrollViewer", L"");
    viewer.SetBarVisibility(true, ScrollViewer::BarVisibility::Auto);
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
        throw InvalidOperation(L"Can only call SelectAll when SelectionMode is Multiple or Extended.");
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

// The range keeps the anchor where it was; its items join the selection in index order.
void ListBox::SelectRange(size_t to, bool alone) {
    const size_t from = anchor_ < 0 ? to : static_cast<size_t>(anchor_);
    const size_t low = std::min(from, to), high = std::max(from, to);
    if (alone)
        for (size_t i : std::vector<size_t>(Selection()))
            if (i < low || i > high) Unselect(i);
    for (size_t i = low; i <= high; ++i)
        Select(i);
    Changed();
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

// --- ComboBox -------------------------------------------------------------------------------------------

ComboBox::ComboBox(Application& app, std::wstring className, std::wstring name)
    : Selector(app, std::move(className), std::move(name), L"System.Windows.Controls.ComboBoxItem") {
    SetParentMember(L"get_ParentComboBox");
    AddProperty(
        L"IsDropDownOpen", [this] { return ov::Variant::Bool(popup_ && popup_->IsOpen()); },
        [this](const VARIANT& v) {
            if (popup_) popup_->SetIsOpen(BoolOf(v));
        });
    AddProperty(
        L"IsEditable", [this] { return ov::Variant::Bool(editable_); },
        [this](const VARIANT& v) { SetEditable(BoolOf(v)); });
    AddProperty(
        L"Text", [this] { return Str(Text()); }, [this](const VARIANT& v) { SetText(TextOf(v)); });
    SetPopupField(L"field__dropDownPopup");
}

void ComboBox::SetPopupField(std::wstring name) {
    if (!popupField_.empty()) RemoveMember(popupField_);
    popupField_ = std::move(name);
    if (!popupField_.empty()) AddProperty(popupField_, [this] { return Obj(nullField_ ? nullptr : popup_); });
}

void ComboBox::OnApplyTemplate() {
    auto& grid = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"templateRoot");
    auto& toggle =
        MakePart<Element>(grid, L"System.Windows.Controls.Primitives.ToggleButton", L"toggleButton");
    toggle.Layout().minWidth = 120;
    toggle.Layout().minHeight = 22;
    selection_ =
        &MakePart<ContentPresenter>(grid, L"System.Windows.Controls.ContentPresenter", L"contentPresenter");
    selection_->SetHitTestVisible(false);
    // An editable box shows its text in a text box that leaves the toggle's arrow free.
    editor_ = &MakePart<TextBox>(grid, L"System.Windows.Controls.TextBox", L"PART_EditableTextBox");
    editor_->Layout().margin = {0, 0, 20, 0};
    editor_->SetVisibility(Visibility::Collapsed);
    popup_ = &MakePart<Popup>(grid, L"System.Windows.Controls.Primitives.Popup", L"PART_Popup");
    popup_->SetPlacementTarget(this);
    auto& border = MakeDetachedPart<Border>(L"System.Windows.Controls.Border", L"dropDownBorder");
    popup_->SetChild(&border);
    auto& viewer =
        MakePart<ScrollViewer>(border, L"System.Windows.Controls.ScrollViewer", L"DropDownScrollViewer");
    // A drop-down shows at most this many items' room, as WPF's MaxDropDownHeight does.
    viewer.Layout().height = Auto;
    border.Layout().minWidth = 0;
    MakeItemsHost(nullptr, &viewer, L"System.Windows.Controls.VirtualizingStackPanel");
}

void ComboBox::SetEditable(bool editable) {
    editable_ = editable;
    if (editor_) editor_->SetVisibility(editable ? Visibility::Visible : Visibility::Collapsed);
    if (selection_) selection_->SetVisibility(editable ? Visibility::Collapsed : Visibility::Visible);
    ShowSelection();
}

std::wstring ComboBox::Text() const {
    if (editable_ && editor_) return editor_->Text();
    const long index = SelectedIndex();
    return index < 0 ? std::wstring() : ItemText(static_cast<size_t>(index));
}

void ComboBox::SetText(const std::wstring& text) {
    for (size_t i = 0; i < Count(); ++i)
        if (_wcsicmp(ItemText(i).c_str(), text.c_str()) == 0) return SelectOnly(static_cast<long>(i));
    SelectOnly(-1);
    if (editable_ && editor_) editor_->SetText(text);
}

void ComboBox::OnSelectionChanged() {
    ShowSelection();
}

void ComboBox::ShowSelection() {
    const long index = SelectedIndex();
    const std::wstring text = index < 0 ? std::wstring() : ItemText(static_cast<size_t>(index));
    if (selection_) {
        Content shown;
        if (index >= 0 && !editable_) shown.text = text;
        selection_->Show(shown);
    }
    if (editor_) editor_->SetText(text);
    InvalidateLayout();
}

void ComboBox::OnMouseDown(MouseEvent& e) {
    if (e.button != MouseButton::Left || !popup_) return;
    if (e.source && popup_->IsAncestorOf(*e.source)) return;
    // The text box of an editable box takes the press for itself.
    if (editable_ && editor_ && e.source && editor_->IsAncestorOf(*e.source)) return;
    popup_->SetIsOpen(!popup_->IsOpen());
    e.handled = true;
}

void ComboBox::OnMouseUp(MouseEvent& e) {
    if (e.button != MouseButton::Left || !popup_ || !popup_->IsOpen() || !e.source ||
        !popup_->IsAncestorOf(*e.source))
        return;
    for (Element* r = e.source; r && r != popup_; r = r->RouteParent())
        if (auto* item = dynamic_cast<ItemContainer*>(r)) {
            const long index = IndexOfItemElement(*item);
            if (index < 0 || !item->IsEnabled()) return;
            e.handled = true;
            SelectOnly(index);
            popup_->SetIsOpen(false);
            return;
        }
}

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

// --- headered items -------------------------------------------------------------------------------------

void HeaderedItemsControl::SetHeader(std::wstring text) {
    header_ = {};
    header_.text = std::move(text);
    if (presenter_) presenter_->Show(header_);
    InvalidateLayout();
}

void HeaderedItemsControl::SetHeaderElement(Element* element) {
    header_ = {};
    header_.element = element;
    if (element) AddLogicalChild(*element);
    if (presenter_) presenter_->Show(header_);
    InvalidateLayout();
}

void HeaderedItemsControl::SetHeaderPresenter(ContentPresenter* presenter) {
    presenter_ = presenter;
    presenter_->Show(header_);
}

namespace {
ov::Variant HeaderValue(const Element& self, const Content& header) {
    if (header.element) return ClrObject::Obj(header.element.Get());
    return header.text ? self.Str(*header.text) : ClrObject::Obj(nullptr);
}
} // namespace

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
    if (onExpander || onHeader) {
        if (auto* owner = dynamic_cast<ItemsControl*>(LogicalParent() ? LogicalParent() : Parent()))
            owner->SetFocusedContainer(this);
        e.handled = true;
    }
}

// --- menus ----------------------------------------------------------------------------------------------

namespace {
const wchar_t* const kMenuItemRoles[] = {L"TopLevelItem", L"TopLevelHeader", L"SubmenuItem",
                                         L"SubmenuHeader"};

// The item containers of a menu level that are menu items.
template <class Visit> void ForEachMenuItem(ItemsControl& level, Visit visit) {
    for (size_t i = 0; i < level.Count(); ++i) {
        const Item& item = level.At(i);
        if (auto* menuItem =
                dynamic_cast<MenuItem*>(item.container ? item.container.Get() : item.element.Get()))
            visit(*menuItem);
    }
}

void CloseLevelBut(ItemsControl& level, const Element* keep) {
    ForEachMenuItem(level, [&](MenuItem& item) {
        if (&item != keep && item.IsSubmenuOpen()) item.SetSubmenuOpen(false);
    });
}
} // namespace

MenuBase::MenuBase(Application& app, std::wstring className, std::wstring name)
    : ItemsControl(app, std::move(className), std::move(name), L"System.Windows.Controls.MenuItem") {
    SetVirtualizing(false);
    AddProperty(
        L"IsMenuMode", [this] { return ov::Variant::Bool(menuMode_); },
        [this](const VARIANT& v) { SetMenuMode(BoolOf(v)); });
}

void MenuBase::SetMenuMode(bool menuMode) {
    menuMode_ = menuMode;
    if (!menuMode) CloseSubmenusBut(nullptr);
}

void MenuBase::CloseSubmenusBut(const Element* keep) {
    switching_ = keep != nullptr;
    CloseLevelBut(*this, keep);
    switching_ = false;
}

Menu::Menu(Application& app, std::wstring className, std::wstring name)
    : MenuBase(app, std::move(className), std::move(name)) {
    SetFocusable(false);
}

void Menu::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
    border.padding = {1, 1, 1, 1};
    MakeItemsHost(&border, nullptr, L"System.Windows.Controls.WrapPanel", true);
}

void MenuBase::OnSubmenuChanged(MenuItem& item, bool open) {
    if (open) CloseSubmenusBut(&item);
}

void Menu::OnSubmenuChanged(MenuItem& item, bool open) {
    MenuBase::OnSubmenuChanged(item, open);
    if (open) {
        menuMode_ = true;
        return;
    }
    // The last open submenu closed, not for a sibling's: the menu is left (a click outside, code).
    if (switching_) return;
    bool anyOpen = false;
    ForEachMenuItem(*this, [&](MenuItem& other) { anyOpen = anyOpen || other.IsSubmenuOpen(); });
    if (!anyOpen) menuMode_ = false;
}

ContextMenu::ContextMenu(Application& app, std::wstring className, std::wstring name)
    : MenuBase(app, std::move(className), std::move(name)) {
    AddProperty(
        L"IsOpen", [this] { return ov::Variant::Bool(IsOpen()); },
        [this](const VARIANT& v) { SetIsOpen(BoolOf(v)); });
    AddProperty(
        L"PlacementTarget", [this] { return Obj(target_); },
        [this](const VARIANT& v) {
            ov::ComPtr<ClrObject> object = ObjectOf(v);
            SetPlacementTarget(dynamic_cast<Element*>(object.Get()));
        });
}

void ContextMenu::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"Border");
    border.padding = {2, 2, 2, 2};
    auto& viewer = MakePart<ScrollViewer>(border, L"System.Windows.Controls.ScrollViewer", L"");
    MakeItemsHost(nullptr, &viewer, L"System.Windows.Controls.StackPanel");
}

bool ContextMenu::IsOpen() const noexcept {
    return popup_ && popup_->IsOpen();
}

void ContextMenu::SetIsOpen(bool open) {
    if (open) {
        OpenAt(App() ? App()->MousePosition() : POINT{});
    } else if (popup_) {
        popup_->SetIsOpen(false);
    }
}

void ContextMenu::OpenAt(POINT screen) {
    if (!App() || IsOpen()) return;
    // WPF makes the menu's popup at its first opening and keeps it: from then on it is the logical parent.
    if (!popup_) {
        popup_ = &App()->Create<Popup>(L"System.Windows.Controls.Primitives.Popup", L"");
        popup_->SetPlacement(Popup::Placement::MousePoint);
        popup_->SetChild(this);
        popup_->onOpenChanged = [this](bool open) {
            menuMode_ = open;
            if (!open) CloseSubmenusBut(nullptr);
        };
    }
    popup_->SetPlacementPoint(screen);
    popup_->SetIsOpen(true);
}

void ContextMenu::SetMenuMode(bool menuMode) {
    MenuBase::SetMenuMode(menuMode);
    if (!menuMode) SetIsOpen(false);
}

MenuItem::MenuItem(Application& app, std::wstring className, std::wstring name)
    : HeaderedItemsControl(app, std::move(className), std::move(name), L"System.Windows.Controls.MenuItem") {
    SetVirtualizing(false);
    AddProperty(
        L"Header", [this] { return HeaderValue(*this, Header()); },
        [this](const VARIANT& v) {
            if (Element* element = ElementOf(v)) return SetHeaderElement(element);
            SetHeader(TextOf(v));
        });
    AddProperty(
        L"IsSubmenuOpen", [this] { return ov::Variant::Bool(IsSubmenuOpen()); },
        [this](const VARIANT& v) { SetSubmenuOpen(BoolOf(v)); });
    AddProperty(
        L"IsCheckable", [this] { return ov::Variant::Bool(checkable_); },
        [this](const VARIANT& v) { checkable_ = BoolOf(v); });
    AddProperty(
        L"IsChecked", [this] { return ov::Variant::Bool(checked_); },
        [this](const VARIANT& v) { checked_ = BoolOf(v); });
    AddProperty(
        L"StaysOpenOnClick", [this] { return ov::Variant::Bool(staysOpen_); },
        [this](const VARIANT& v) { staysOpen_ = BoolOf(v); });
    AddProperty(L"Role", [this] {
        return Box(SharedRuntime(), L"System.Windows.Controls.MenuItemRole",
                   ov::Variant::String(kMenuItemRoles[static_cast<int>(GetRole())]));
    });
}

void MenuItem::OnApplyTemplate() {
    auto& grid = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"");
    auto& border = MakePart<Border>(grid, L"System.Windows.Controls.Border", L"templateRoot");
    border.padding = {6, 2, 6, 2};
    auto& header =
        MakePart<ContentPresenter>(border, L"System.Windows.Controls.ContentPresenter", L"HeaderHost");
    header.SetRecognizesAccessKey(true);
    SetHeaderPresenter(&header);
    popup_ = &MakePart<Popup>(grid, L"System.Windows.Controls.Primitives.Popup", L"PART_Popup");
    popup_->SetStaysOpen(false);
    popup_->SetPlacementTarget(this);
    popup_->onOpenChanged = [this](bool open) { OnSubmenuOpenChanged(open); };
    auto& submenu = MakeDetachedPart<Border>(L"System.Windows.Controls.Border", L"SubMenuBorder");
    submenu.padding = {2, 2, 2, 2};
    popup_->SetChild(&submenu);
    auto& viewer = MakePart<ScrollViewer>(submenu, L"System.Windows.Controls.ScrollViewer", L"");
    MakeItemsHost(nullptr, &viewer, L"System.Windows.Controls.StackPanel");
}

ItemsControl* MenuItem::ParentMenu() const noexcept {
    if (auto* parent = dynamic_cast<ItemsControl*>(LogicalParent())) return parent;
    // A generated container: the items control whose panel holds it.
    for (Element* e = RouteParent(); e; e = e->RouteParent())
        if (auto* owner = dynamic_cast<ItemsControl*>(e)) return owner;
    return nullptr;
}

MenuBase* MenuItem::RootMenu() const noexcept {
    ItemsControl* level = ParentMenu();
    while (auto* item = dynamic_cast<MenuItem*>(level))
        level = item->ParentMenu();
    return dynamic_cast<MenuBase*>(level);
}

MenuItem::Role MenuItem::GetRole() const noexcept {
    const bool topLevel = dynamic_cast<Menu*>(ParentMenu()) != nullptr;
    if (!checkable_ && Count() > 0) return topLevel ? Role::TopLevelHeader : Role::SubmenuHeader;
    return topLevel ? Role::TopLevelItem : Role::SubmenuItem;
}

bool MenuItem::IsSubmenuOpen() const noexcept {
    return popup_ && popup_->IsOpen();
}

void MenuItem::SetSubmenuOpen(bool open) {
    if (!popup_ || (open && Count() == 0)) return;
    // A top-level item opens its submenu below itself, a nested one beside itself; presses anywhere in the
    // menu's windows leave it open (the menu takes them).
    const bool topLevel = dynamic_cast<Menu*>(ParentMenu()) != nullptr;
    popup_->SetPlacement(topLevel ? Popup::Placement::Bottom : Popup::Placement::Right);
    MenuBase* root = RootMenu();
    popup_->SetDismissScope(root);
    popup_->SetIsOpen(open);
}

void MenuItem::OnSubmenuOpenChanged(bool open) {
    ItemsControl* parent = ParentMenu();
    if (auto* menu = dynamic_cast<MenuBase*>(parent)) return menu->OnSubmenuChanged(*this, open);
    // One submenu of a level is open at a time.
    if (open && parent) CloseLevelBut(*parent, this);
}

// Presses and hovers inside the item's own submenu window belong to the items there.
bool MenuItem::Answers(const MouseEvent& e) const {
    const bool inContextMenu = dynamic_cast<ContextMenu*>(RootMenu()) != nullptr;
    if (e.button != MouseButton::Left && !(e.button == MouseButton::Right && inContextMenu)) return false;
    return !(e.source && popup_ && popup_->IsAncestorOf(*e.source));
}

void MenuItem::OnMouseDown(MouseEvent& e) {
    if (e.button == MouseButton::Middle) return;
    e.handled = true;
    if (!Answers(e)) return;
    const Role role = GetRole();
    if (role != Role::TopLevelHeader && role != Role::SubmenuHeader) return;
    if (!IsSubmenuOpen())
        SetSubmenuOpen(true);
    else if (role == Role::TopLevelHeader)
        if (MenuBase* root = RootMenu()) root->SetMenuMode(false);
}

void MenuItem::OnMouseUp(MouseEvent& e) {
    if (e.button == MouseButton::Middle) return;
    const bool inContextMenu = dynamic_cast<ContextMenu*>(RootMenu()) != nullptr;
    // A right release outside a context menu goes on (to open an element's context menu).
    if (e.button == MouseButton::Left || inContextMenu) e.handled = true;
    if (!Answers(e)) return;
    const Role role = GetRole();
    if (role == Role::TopLevelItem || role == Role::SubmenuItem) ClickItem();
}

void MenuItem::ClickItem() {
    if (checkable_) checked_ = !checked_;
    ++clickCount_;
    ov::ComPtr<Element> keep(this);
    if (handler_) handler_(*this);
    if (staysOpen_) return;
    if (MenuBase* root = RootMenu()) root->SetMenuMode(false);
}

void MenuItem::OnMouseEnter() {
    Application* app = App();
    Element* over = app ? app->MouseOver() : nullptr;
    if (!over || !IsEnabled() || (popup_ && popup_->IsAncestorOf(*over))) return;
    MenuBase* root = RootMenu();
    ItemsControl* parent = ParentMenu();
    if (!root || !parent || !root->IsMenuMode()) return;
    const Role role = GetRole();
    if (auto* menu = dynamic_cast<MenuBase*>(parent))
        menu->CloseSubmenusBut(this);
    else
        CloseLevelBut(*parent, this);
    if ((role == Role::TopLevelHeader || role == Role::SubmenuHeader) && !IsSubmenuOpen())
        SetSubmenuOpen(true);
}

Separator::Separator(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)) {
    SetFocusable(false);
}

Size Separator::MeasureOverride(Size) {
    return {2, 2};
}

// --- ToolBar --------------------------------------------------------------------------------------------

ToolBar::ToolBar(Application& app, std::wstring className, std::wstring name)
    : ItemsControl(app, std::move(className), std::move(name), L"") {
    SetFocusable(false);
    AddProperty(
        L"IsOverflowOpen", [this] { return ov::Variant::Bool(IsOverflowOpen()); },
        [this](const VARIANT& v) { SetOverflowOpen(BoolOf(v)); });
}

void ToolBar::OnApplyTemplate() {
    auto& dock = MakePart<DockPanel>(*this, L"System.Windows.Controls.DockPanel", L"");
    auto& grid = MakePart<Grid>(dock, L"System.Windows.Controls.Grid", L"OverflowGrid");
    grid.Layout().dock = Dock::Right;
    auto& button =
        MakePart<Element>(grid, L"System.Windows.Controls.Primitives.ToggleButton", L"OverflowButton");
    button.Layout().width = 11;
    button.Layout().height = 22;
    overflowButton_ = &button;
    overflow_ = &MakePart<Popup>(grid, L"System.Windows.Controls.Primitives.Popup", L"OverflowPopup");
    overflow_->SetPlacementTarget(&button);
    auto& border = MakeDetachedPart<Border>(L"System.Windows.Controls.Border", L"ToolBarSubMenuBorder");
    overflow_->SetChild(&border);
    // The overflow panel wraps its items at its width; for the simulation's narrow panel that is one
    // item per line.
    overflowPanel_ = &MakePart<StackPanel>(border, L"System.Windows.Controls.Primitives.ToolBarOverflowPanel",
                                           L"PART_ToolBarOverflowPanel");
    auto& main = MakePart<VirtualizingStackPanel>(dock, L"System.Windows.Controls.Primitives.ToolBarPanel",
                                                  L"PART_ToolBarPanel", *this, false);
    main.SetHorizontal(true);
    mainPanel_ = &main;
    SetItemsHost(main);
    for (Element* panel : {mainPanel_, overflowPanel_})
        panel->AddProperty(L"get_ToolBar", [this] { return Obj(this); });
}

void ToolBar::OnMouseDown(MouseEvent& e) {
    if (e.handled || e.button != MouseButton::Left || !overflowButton_ || !e.source) return;
    if (e.source != overflowButton_ && !overflowButton_->IsAncestorOf(*e.source)) return;
    SetOverflowOpen(!IsOverflowOpen());
    e.handled = true;
}

void ToolBar::PrepareContainer(Element& container, size_t) {
    Place(container);
}

void ToolBar::SetOverflowMode(Element& item, OverflowMode mode) {
    item.Layout().toolBarOverflow = static_cast<int>(mode);
    if (item.Parent()) item.Parent()->RemoveVisualChild(item);
    Place(item);
}

void ToolBar::Place(Element& item) {
    bool overflow = item.Layout().toolBarOverflow == static_cast<int>(OverflowMode::Always);
    if (overflow && item.Parent() != overflowPanel_) {
        if (item.Parent()) item.Parent()->RemoveVisualChild(item);
        overflowPanel_->AddVisualChild(item);
    }
    InvalidateLayout();
}

bool ToolBar::InOverflow(const Element& item) const {
    (void)Bounds();
    return item.Parent() == overflowPanel_;
}

Size ToolBar::MeasureOverride(Size available) {
    Reflow(available.width);
    return ItemsControl::MeasureOverride(available);
}

void ToolBar::Reflow(double width) {
    std::vector<Element*> items;
    for (size_t i = 0; i < Count(); ++i)
        if (Element* c = ContainerAt(i, true)) items.push_back(c);
    auto mode = [](const Element* e) { return static_cast<OverflowMode>(e->Layout().toolBarOverflow); };
    auto widthOf = [](Element* e) {
        e->Measure({Infinity, Infinity});
        return e->DesiredSize().width;
    };
    // The overflow button's grid keeps its room whether or not anything overflows.
    double room = width - 11;
    for (Element* e : items)
        if (mode(e) == OverflowMode::Never) room -= widthOf(e);
    std::vector<Element*> overflowing;
    bool full = false;
    for (Element* e : items) {
        if (mode(e) == OverflowMode::Never) continue;
        if (mode(e) == OverflowMode::AsNeeded && !full) {
            const double w = widthOf(e);
            if (w <= room) {
                room -= w;
                continue;
            }
            full = true;
        }
        overflowing.push_back(e);
    }
    if (overflowing == overflowPanel_->Children()) return;
    while (!overflowPanel_->Children().empty())
        overflowPanel_->RemoveVisualChild(*overflowPanel_->Children().back());
    for (Element* e : overflowing) {
        if (e->Parent()) e->Parent()->RemoveVisualChild(*e);
        overflowPanel_->AddVisualChild(*e);
    }
}

void ToolBar::SetOverflowOpen(bool open) {
    if (overflow_) overflow_->SetIsOpen(open);
}

ToolBarTray::ToolBarTray(Application& app, std::wstring className, std::wstring name)
    : StackPanel(app, std::move(className), std::move(name)) {
    SetHorizontal(true);
}

void ToolBarTray::AddChild(Element& child) {
    if (!dynamic_cast<ToolBar*>(&child)) throw std::invalid_argument("a ToolBarTray holds ToolBars only");
    StackPanel::AddChild(child);
}

// --- TextBox --------------------------------------------------------------------------------------------

namespace {
// .NET's ArgumentException of a negative MaxLength.
ClrException InvalidMaxLength(LONG value) {
    return {L"WindowsBase", 0,
            L"'" + std::to_wstring(value) + L"' is not a valid value for property 'MaxLength'.",
            static_cast<SCODE>(0x80070057)};
}

ScrollViewer& MakeContentHost(Element& control) {
    auto& border = control.MakePart<Border>(control, L"System.Windows.Controls.Border", L"border");
    border.padding = {2, 2, 2, 2};
    auto& viewer =
        control.MakePart<ScrollViewer>(border, L"System.Windows.Controls.ScrollViewer", L"PART_ContentHost");
    viewer.SetBarVisibility(false, ScrollViewer::BarVisibility::Hidden);
    viewer.SetBarVisibility(true, ScrollViewer::BarVisibility::Hidden);
    return viewer;
}
} // namespace

TextBox::TextBox(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Text", [this] { return Str(text_); }, [this](const VARIANT& v) { SetText(TextOf(v)); });
    AddProperty(L"ScrollViewer", [this] { return Obj(viewer_); });
    AddProperty(
        L"MaxLength", [this] { return ov::Variant::Int(maxLength_); },
        [this](const VARIANT& v) { SetMaxLength(IntOf(v)); });
    AddProperty(
        L"SelectionStart", [this] { return ov::Variant::Int(selectionStart_); },
        [this](const VARIANT& v) {
            const LONG start = IntOf(v);
            if (start < 0) throw ArgumentOutOfRange(L"value");
            Select(start, selectionLength_);
        });
    AddProperty(
        L"SelectionLength", [this] { return ov::Variant::Int(selectionLength_); },
        [this](const VARIANT& v) {
            const LONG length = IntOf(v);
            if (length < 0) throw ArgumentOutOfRange(L"value");
            Select(selectionStart_, length);
        });
    AddProperty(
        L"SelectedText", [this] { return Str(SelectedText()); },
        [this](const VARIANT& v) { SetSelectedText(TextOf(v)); });
    AddMethod(L"Select", 2, [this](const Args& a) {
        const LONG start = IntOf(a[0]), length = IntOf(a[1]);
        if (start < 0) throw ArgumentOutOfRange(L"start");
        if (length < 0) throw ArgumentOutOfRange(L"length");
        Select(start, length);
        return ov::Variant();
    });
}

void TextBox::OnApplyTemplate() {
    viewer_ = &MakeContentHost(*this);
    view_ = &MakeDetachedPart<TextBlock>(L"System.Windows.Controls.TextBoxView", L"");
    viewer_->SetContentElement(view_);
}

void TextBox::SetText(std::wstring text) {
    text_ = std::move(text);
    selectionStart_ = selectionLength_ = 0;
    if (view_) view_->SetText(text_);
    InvalidateLayout();
}

void TextBox::SetMaxLength(LONG maxLength) {
    if (maxLength < 0) throw InvalidMaxLength(maxLength);
    maxLength_ = maxLength;
}

void TextBox::Select(LONG start, LONG length) {
    const LONG size = static_cast<LONG>(text_.size());
    selectionStart_ = std::min(start, size);
    selectionLength_ = std::min(length, size - selectionStart_);
}

void TextBox::SetSelectedText(const std::wstring& text) {
    text_.replace(selectionStart_, selectionLength_, text);
    selectionLength_ = static_cast<LONG>(text.size());
    if (view_) view_->SetText(text_);
    InvalidateLayout();
}

Size TextBox::MeasureOverride(Size available) {
    Size s = Control::MeasureOverride(available);
    return {std::max(s.width, 120.0), std::max(s.height, 22.0)};
}

PasswordBox::PasswordBox(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Password", [this] { return Str(password_); }, [this](const VARIANT& v) { SetPassword(TextOf(v)); });
    // A System.Char reaches COM as an unsigned 16-bit integer.
    AddProperty(
        L"PasswordChar",
        [this] {
            ov::Variant c;
            c.vt = VT_UI2;
            c.uiVal = passwordChar_;
            return c;
        },
        [this](const VARIANT& v) { passwordChar_ = static_cast<wchar_t>(IntOf(v)); });
    AddProperty(
        L"MaxLength", [this] { return ov::Variant::Int(maxLength_); },
        [this](const VARIANT& v) { SetMaxLength(IntOf(v)); });
    AddProperty(L"ScrollViewer", [this] { return Obj(viewer_); });
}

void PasswordBox::SetMaxLength(LONG maxLength) {
    if (maxLength < 0) throw InvalidMaxLength(maxLength);
    maxLength_ = maxLength;
}

void PasswordBox::OnApplyTemplate() {
    viewer_ = &MakeContentHost(*this);
}

Size PasswordBox::MeasureOverride(Size available) {
    Size s = Control::MeasureOverride(available);
    return {std::max(s.width, 120.0), std::max(s.height, 22.0)};
}

// --- Expander -------------------------------------------------------------------------------------------

Expander::Expander(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    AddProperty(
        L"IsExpanded", [this] { return ov::Variant::Bool(expanded_); },
        [this](const VARIANT& v) { SetExpanded(BoolOf(v)); });
    AddProperty(
        L"Header", [this] { return HeaderValue(*this, header_); },
        [this](const VARIANT& v) {
            if (Element* element = ElementOf(v)) return SetHeaderElement(element);
            SetHeader(TextOf(v));
        });
}

void Expander::OnApplyTemplate() {
    auto& dock = MakePart<DockPanel>(*this, L"System.Windows.Controls.DockPanel", L"");
    auto& header = MakePart<Element>(dock, L"System.Windows.Controls.Primitives.ToggleButton", L"HeaderSite");
    header.Layout().dock = Dock::Top;
    header.Layout().minHeight = 20;
    headerSite_ = &header;
    headerPresenter_ = &MakePart<ContentPresenter>(header, L"System.Windows.Controls.ContentPresenter", L"");
    auto& site = MakePart<ContentPresenter>(dock, L"System.Windows.Controls.ContentPresenter", L"ExpandSite");
    site_ = &site;
    site.SetVisibility(Visibility::Collapsed);
    SetPresenter(&site);
}

bool Expander::OnHeader(const MouseEvent& e) const {
    return e.button == MouseButton::Left && headerSite_ && e.source && headerSite_->IsAncestorOf(*e.source);
}

void Expander::OnMouseDown(MouseEvent& e) {
    if (!OnHeader(e)) return;
    pressed_ = true;
    e.handled = true;
}

void Expander::OnMouseUp(MouseEvent& e) {
    if (!OnHeader(e) || !pressed_) return;
    pressed_ = false;
    e.handled = true;
    SetExpanded(!expanded_);
}

void Expander::SetExpanded(bool expanded) {
    expanded_ = expanded;
    if (site_) site_->SetVisibility(expanded ? Visibility::Visible : Visibility::Collapsed);
    InvalidateLayout();
}

void Expander::SetHeader(std::wstring header) {
    header_ = {};
    header_.text = std::move(header);
    if (headerPresenter_) headerPresenter_->Show(header_);
    InvalidateLayout();
}

void Expander::SetHeaderElement(Element* element) {
    header_ = {};
    header_.element = element;
    if (element) AddLogicalChild(*element);
    if (headerPresenter_) headerPresenter_->Show(header_);
    InvalidateLayout();
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {
namespace {

void SetHeader(Node& n, std::wstring_view v) {
    if (auto* tab = dynamic_cast<TabItem*>(n.element)) return tab->SetHeader(std::wstring(v));
    if (auto* expander = dynamic_cast<Expander*>(n.element)) return expander->SetHeader(std::wstring(v));
    As<HeaderedItemsControl>(n).SetHeader(std::wstring(v));
}
void SetHeaderElement(Node& n, Element& e) {
    if (auto* tab = dynamic_cast<TabItem*>(n.element)) return tab->SetHeaderElement(&e);
    if (auto* expander = dynamic_cast<Expander*>(n.element)) return expander->SetHeaderElement(&e);
    As<HeaderedItemsControl>(n).SetHeaderElement(&e);
}
const Property kHeader{L"Header", &SetHeader, &SetHeaderElement};

// The popups of the element's template, once open, never close.
void SetNeverCloses(Node& n, std::wstring_view v) {
    const bool never = ToBool(v);
    std::function<void(Element&)> walk = [&](Element& e) {
        if (auto* popup = dynamic_cast<Popup*>(&e); popup && popup->TemplatedParent() == n.element)
            popup->SetNeverCloses(never);
        for (Element* child : e.Children())
            walk(*child);
        if (auto* popup = dynamic_cast<Popup*>(&e); popup && popup->Child()) walk(*popup->Child());
    };
    walk(*n.element);
}

// A whole number from -1, as Selector.SelectedIndex takes it in XAML.
void SetSelectedIndex(Node& n, std::wstring_view v) {
    const double index = ToNumber(v);
    if (index != std::floor(index) || index < -1 || index > 1e6)
        throw ValueError{L"a whole number from -1 expected"};
    As<Selector>(n).SetSelectedIndexFromMarkup(static_cast<long>(index));
}

void SetVirtualizing(Node& n, std::wstring_view v) {
    As<ItemsControl>(n).SetVirtualizing(ToBool(v));
}

// The popups of the element's template (drop-down, submenu, overflow) never open.
void SetNeverOpens(Node& n, std::wstring_view v) {
    const bool never = ToBool(v);
    std::function<void(Element&)> walk = [&](Element& e) {
        if (auto* popup = dynamic_cast<Popup*>(&e); popup && popup->TemplatedParent() == n.element)
            popup->SetNeverOpens(never);
        for (Element* child : e.Children())
            walk(*child);
        if (auto* popup = dynamic_cast<Popup*>(&e); popup && popup->Child()) walk(*popup->Child());
    };
    walk(*n.element);
}

} // namespace

std::vector<Type> ItemTypes() {
    return {
        {.name = L"ItemsControl",
         .className = L"System.Windows.Controls.ItemsControl",
         .base = L"Control",
         .content = Content::Items,
         .sim = {{L"NeverGenerates",
                  [](Node& n, std::wstring_view v) { As<ItemsControl>(n).SetNeverGenerates(ToBool(v)); }},
                 {L"NeverOpens", &SetNeverOpens},
                 {L"NeverCloses", &SetNeverCloses}}},
        {.name = L"VirtualizingPanel",
         .className = L"System.Windows.Controls.VirtualizingPanel",
         .base = L"Panel",
         .attached = {{L"IsVirtualizing", &SetVirtualizing}}},
        {.name = L"VirtualizingStackPanel",
         .className = L"System.Windows.Controls.VirtualizingStackPanel",
         .base = L"VirtualizingPanel",
         .attached = {{L"IsVirtualizing", &SetVirtualizing}}},
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
        {.name = L"ComboBox",
         .className = L"System.Windows.Controls.ComboBox",
         .base = L"ItemsControl",
         .make = &Make<ComboBox>,
         .properties = {{L"IsEditable",
                         [](Node& n, std::wstring_view v) { As<ComboBox>(n).SetEditable(ToBool(v)); }},
                        {L"SelectedIndex", &SetSelectedIndex}},
         .content = Content::Items,
         // Under which name the bridge shows the internal drop-down field, and whether it holds nothing.
         .sim =
             {{L"PopupField",
               [](Node& n, std::wstring_view v) {
                   const size_t which = EnumValue(v, {L"field__dropDownPopup", L"zdropDownPopup", L"None"});
                   As<ComboBox>(n).SetPopupField(which == 0   ? L"field__dropDownPopup"
                                                 : which == 1 ? L"zdropDownPopup"
                                                              : L"");
               }},
              {L"NullPopupField",
               [](Node& n, std::wstring_view v) { As<ComboBox>(n).SetPopupFieldNull(ToBool(v)); }}}},
        {.name = L"TabControl",
         .className = L"System.Windows.Controls.TabControl",
         .base = L"ItemsControl",
         .make = &Make<TabControl>,
         .content = Content::Items},
        {.name = L"TreeView",
         .className = L"System.Windows.Controls.TreeView",
         .base = L"ItemsControl",
         .make = &Make<TreeView>,
         .content = Content::Items},
        {.name = L"ToolBar",
         .className = L"System.Windows.Controls.ToolBar",
         .base = L"ItemsControl",
         .make = &Make<ToolBar>,
         .properties = {Cosmetic(L"Band"), Cosmetic(L"BandIndex")},
         .content = Content::Items,
         .attached = {{L"OverflowMode",
                       [](Node& n, std::wstring_view v) {
                           n.element->Layout().toolBarOverflow =
                               static_cast<int>(EnumValue(v, {L"AsNeeded", L"Always", L"Never"}));
                       }}}},
        {.name = L"ToolBarTray",
         .className = L"System.Windows.Controls.ToolBarTray",
         .base = L"FrameworkElement",
         .make = &Make<ToolBarTray>,
         .properties =
             {{L"Orientation",
               [](Node& n, std::wstring_view v) {
                   As<ToolBarTray>(n).SetHorizontal(EnumValue(v, {L"Horizontal", L"Vertical"}) == 0);
               }},
              Cosmetic(L"IsLocked")},
         .content = Content::Many},
        {.name = L"Menu",
         .className = L"System.Windows.Controls.Menu",
         .base = L"ItemsControl",
         .make = &Make<Menu>,
         .properties = {Cosmetic(L"IsMainMenu")},
         .content = Content::Items},
        {.name = L"ContextMenu",
         .className = L"System.Windows.Controls.ContextMenu",
         .base = L"ItemsControl",
         .make = &Make<ContextMenu>,
         .content = Content::Items},
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
        {.name = L"ComboBoxItem",
         .className = L"System.Windows.Controls.ComboBoxItem",
         .base = L"ListBoxItem",
         .make = &Make<ItemContainer>,
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"TabItem",
         .className = L"System.Windows.Controls.TabItem",
         .base = L"ContentControl",
         .make = &Make<TabItem>,
         .properties = {kHeader},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"TreeViewItem",
         .className = L"System.Windows.Controls.TreeViewItem",
         .base = L"ItemsControl",
         .make = &Make<TreeViewItem>,
         .properties = {kHeader,
                        {L"IsExpanded",
                         [](Node& n, std::wstring_view v) { As<TreeViewItem>(n).SetExpanded(ToBool(v)); }},
                        {L"IsSelected",
                         [](Node& n, std::wstring_view v) { As<TreeViewItem>(n).SetSelected(ToBool(v)); }}},
         .content = Content::Items},
        {.name = L"MenuItem",
         .className = L"System.Windows.Controls.MenuItem",
         .base = L"ItemsControl",
         .make = &Make<MenuItem>,
         .properties =
             {kHeader,
              {L"IsCheckable", [](Node& n, std::wstring_view v) { As<MenuItem>(n).SetCheckable(ToBool(v)); }},
              {L"IsChecked", [](Node& n, std::wstring_view v) { As<MenuItem>(n).SetChecked(ToBool(v)); }},
              {L"StaysOpenOnClick",
               [](Node& n, std::wstring_view v) { As<MenuItem>(n).SetStaysOpenOnClick(ToBool(v)); }},
              Cosmetic(L"InputGestureText"),
              Cosmetic(L"Icon")},
         .content = Content::Items},
        {.name = L"Expander",
         .className = L"System.Windows.Controls.Expander",
         .base = L"ContentControl",
         .make = &Make<Expander>,
         .properties = {kHeader,
                        {L"IsExpanded",
                         [](Node& n, std::wstring_view v) { As<Expander>(n).SetExpanded(ToBool(v)); }},
                        Cosmetic(L"ExpandDirection")},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"Separator",
         .className = L"System.Windows.Controls.Separator",
         .base = L"Control",
         .make = &Make<Separator>},
    };
}

} // namespace xaml

} // namespace wpfsim
