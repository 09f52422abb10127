#include "Items.h"

#include "Application.h"
#include "Border.h"
#include "ContentControl.h"
#include "ClrValue.h"
#include "DataObject.h"
#include "ListBox.h"
#include "Menus.h"
#include "Popup.h"
#include "TreeView.h"
#include "XamlSchema.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace wpfsim {

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
    AddProperty(
        L"DisplayMemberPath", [this] { return Str(displayMemberPath_); },
        [this](const VARIANT& v) {
            displayMemberPath_ = TextOf(v);
            InvalidateLayout();
        });

    auto generator =
        ov::Create<ClrObject>(SharedRuntime(), L"System.Windows.Controls.ItemContainerGenerator");
    generator->AddMethod(L"ContainerFromIndex", 1, [this](const Args& a) {
        LONG i = IntOf(a[0]);
        return Obj(i < 0 || static_cast<size_t>(i) >= items_.size() ? nullptr : items_[i].container.Get());
    });
    // The first realized container of an equal item: an item without one has no container to give.
    generator->AddMethod(L"ContainerFromItem", 1,
                         [this](const Args& a) { return Obj(ContainerOfItem(a[0])); });
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
    if (app.GetFramework() == Framework::Net40)
        AddProperty(L"FocusedItem", [this]() -> ov::Variant {
            return focused_ < 0 ? ov::Variant() : ItemValue(static_cast<size_t>(focused_));
        });
    // The panel exists for callers once the layout has measured it (WPF makes it when the ItemsPresenter
    // applies its template, in its first measure): a drop-down's is null until the popup's first layout.
    AddProperty(L"get_ItemsHost", [this] { return Obj(host_ && host_->Measured() ? host_ : nullptr); });
    AddProperty(L"get_ScrollHost", [this] { return Obj(scrollHost_); });
}

ov::Variant ItemsControl::ItemValue(size_t index) const {
    const Item& item = items_.at(index);
    if (item.IsElement()) return Obj(item.element.Get());
    return DataValue(*this, item);
}

ov::Variant ItemsControl::DataValue(const Element& self, const Item& item) {
    // An object of the application (a data object) is handed out as itself, not boxed.
    if (item.value.vt == VT_DISPATCH) return Obj(ObjectOf(item.value).Get());
    if (item.typeName == L"System.String" && !self.GetRuntime().stringsAsObjects)
        return ov::Variant::String(PrimitiveText(item.value));
    if (!item.boxed) item.boxed = ov::Create<ClrValue>(self.SharedRuntime(), item.typeName, item.value);
    return Obj(item.boxed.Get());
}

Element* ItemsControl::ContainerOfItem(const VARIANT& value) const {
    for (size_t i : realized_)
        if (ItemEquals(i, value)) return items_[i].container.Get();
    return nullptr;
}

// As ItemsControl's GotKeyboardFocus handler: a container of this control that takes the focus makes its
// item the focused one; another element inside the control that is not inside the focused item's container
// (which may be virtualized away) ends it. The control itself taking the focus changes nothing.
void ItemsControl::OnGotKeyboardFocus(Element& focused) {
    if (&focused == this) return;
    if (const long index = IndexOfContainer(focused); index >= 0) {
        focused_ = index;
    } else if (focused_ >= 0) {
        Element* container = items_[static_cast<size_t>(focused_)].container.Get();
        if (!container || !container->IsAncestorOf(focused)) focused_ = -1;
    }
}

std::wstring ItemsControl::ItemText(size_t index) const {
    const Item& item = items_.at(index);
    return item.IsElement() ? item.element->DisplayText() : DataText(item);
}

std::wstring ItemsControl::DataText(const Item& item) const {
    if (displayMemberPath_.empty()) return wpfsim::DisplayText(item.value);
    const std::optional<ov::Variant> shown = ReadPath(item.value, displayMemberPath_);
    return shown ? wpfsim::DisplayText(*shown) : std::wstring();
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
    if (focused_ == static_cast<long>(index))
        focused_ = -1;
    else if (focused_ > static_cast<long>(index))
        --focused_;
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
    if (item.value.vt == VT_DISPATCH) return object && ObjectOf(item.value).Get() == object.Get();
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

ov::ComPtr<Element> ItemsControl::MakeContainer(const Item& item) {
    DataValue(*this, item);
    Item shown = item;
    auto showItem = [shown](Element& container, const wchar_t* member) {
        Element* self = &container;
        container.AddProperty(member, [self, shown]() -> ov::Variant { return DataValue(*self, shown); });
    };
    // A generated container shows the data item: a headered items control (tree and menu items) as its
    // "Header", any other as its "Content"; either member gives the item itself.
    ov::ComPtr<HeaderedItemsControl> headered;
    if (containerClass_ == L"System.Windows.Controls.TreeViewItem")
        headered = App()->Make<TreeViewItem>(containerClass_, L"");
    else if (containerClass_ == L"System.Windows.Controls.MenuItem")
        headered = App()->Make<MenuItem>(containerClass_, L"");
    if (headered) {
        headered->SetHeader(DataText(item));
        showItem(*headered, L"Header");
        if (auto root = TemplateFor(item, *headered)) headered->ShowHeaderTemplate(std::move(*root));
        return ov::ComPtr<Element>(headered);
    }
    ov::ComPtr<ItemContainer> container = App()->Make<ItemContainer>(containerClass_, L"");
    container->SetContent(DataText(item));
    showItem(*container, L"Content");
    if (auto root = TemplateFor(item, *container)) container->ShowTemplate(std::move(*root));
    return ov::ComPtr<Element>(container);
}

std::optional<ov::ComPtr<Element>> ItemsControl::TemplateFor(const Item& item, Element& container) const {
    if (!itemTemplate_ || item.IsElement() || containerClass_ == L"System.Windows.Controls.TabItem")
        return std::nullopt;
    return itemTemplate_(item, container);
}

Element* ItemsControl::ContainerAt(size_t index, bool generate) {
    Item& item = items_.at(index);
    if (item.container || !generate) return item.container.Get();
    if (item.IsElement() && IsItemItsOwnContainer(*item.element)) {
        Realize(index, *item.element);
    } else {
        if (neverGenerates_ || containerClass_.empty()) return nullptr;
        Realize(index, *MakeContainer(item));
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

// As the generator's Remove in VirtualizationMode.Standard, the default: a generated container is
// released (a new one is made when the item comes back); an element item stays, its own container.
void ItemsControl::DropGenerated(size_t index) {
    Item& item = items_.at(index);
    if (!item.container) return;
    Element& container = *item.container;
    if (container.Parent()) container.Parent()->RemoveVisualChild(container);
    realized_.erase(index);
    if (&container != item.element.Get()) {
        indexOf_.erase(&container);
        ClearContainer(container);
        if (App()) App()->Remove(container);
    }
    item.container.Reset();
}

void ItemsControl::SetVirtualizing(bool virtualizing) {
    virtualizing_ = virtualizing;
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
    // A grid's rows presenter is a VirtualizingStackPanel too.
    const bool virtualizingPanel =
        std::wstring_view(panelClass) == L"System.Windows.Controls.VirtualizingStackPanel" ||
        std::wstring_view(panelClass) == L"System.Windows.Controls.Primitives.DataGridRowsPresenter";
    auto& panel = MakePart<VirtualizingStackPanel>(presenter, panelClass, L"", *this, virtualizingPanel);
    panel.SetHorizontal(horizontal);
    SetItemsHost(panel);
    return panel;
}

void ItemsControl::SetItemsHost(VirtualizingStackPanel& panel) {
    host_ = &panel;
    if (scrollHost_) scrollHost_->SetItemScroller(&panel);
}

// --- VirtualizingStackPanel -----------------------------------------------------------------------------

VirtualizingStackPanel::VirtualizingStackPanel(Application& app, std::wstring className, std::wstring name,
                                               ItemsControl& owner, bool virtualizingPanel)
    : StackPanel(app, std::move(className), std::move(name)), owner_(&owner),
      virtualizingPanel_(virtualizingPanel) {
    auto children = MakeCollection(
        *this, L"System.Windows.Controls.UIElementCollection", [this] { return Children().size(); },
        [this](size_t i) { return Obj(Children()[i]); });
    AddProperty(L"get_InternalChildren", [children] { return Obj(children.Get()); });
    AddProperty(L"Children", [children] { return Obj(children.Get()); });
    if (virtualizingPanel)
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
    // As WPF's: the container is generated at once; the panel (or the scroll viewer) scrolls to it after the
    // next layout pass, and keeps it until then.
    Element* container = owner_->ContainerAt(index, true);
    if (ScrollsByItems()) {
        pinned_ = index;
        if (container && !container->Parent()) Sync();
        ov::ComPtr<VirtualizingStackPanel> self(this);
        if (Application* app = App()) app->AfterLayout([self, index] { self->ScrollIndexIntoView(index); });
    } else if (container) {
        if (!container->Parent()) Sync();
        for (Element* e = Parent(); e; e = e->Parent())
            if (auto* viewer = dynamic_cast<ScrollViewer*>(e)) {
                viewer->MakeVisible(*container);
                break;
            }
    }
}

// As the panel's IScrollInfo.MakeVisible: the item whose container holds the descendant comes into view.
void VirtualizingStackPanel::MakeVisible(Element& descendant) {
    Element* child = &descendant;
    while (child && child->Parent() != this)
        child = child->Parent();
    const long index = child ? owner_->IndexOfContainer(*child) : -1;
    if (index >= 0) BringIndexIntoView(static_cast<size_t>(index));
}

void VirtualizingStackPanel::ScrollIndexIntoView(size_t index) {
    pinned_ = SIZE_MAX;
    if (!App() || !ScrollsByItems()) return;
    size_t view = std::max<size_t>(1, static_cast<size_t>(inView_));
    if (index < first_)
        first_ = index;
    else if (index >= first_ + view)
        first_ = index - view + 1;
    InvalidateLayout();
}

// Makes the panel's children the containers of the items it shows: all, or those from first_ on that fit.
void VirtualizingStackPanel::Sync() {
    size_t count = owner_->Count(), from = 0, to = count;
    if (Virtualizes()) {
        from = std::min(first_, count);
        to = std::min(count, from + static_cast<size_t>(std::ceil(inView_)) + 1);
    }
    // Only the containers that exist and the items in view are visited, never the whole list.
    // An item brought into view keeps its container until the panel has scrolled to it.
    const bool pinned = pinned_ < count && (pinned_ < from || pinned_ >= to);
    std::vector<size_t> left;
    for (size_t i : owner_->Realized())
        if ((i < from || i >= to) && !(pinned && i == pinned_)) left.push_back(i);
    for (size_t i : left)
        owner_->DropGenerated(i);
    std::vector<Element*> wanted;
    auto want = [&](size_t i) {
        Element* c = owner_->ContainerAt(i, owner_->Generates());
        // A container placed elsewhere by its control (a toolbar's overflow item) stays there.
        if (c && owner_->PanelShows(*c) && (!c->Parent() || c->Parent() == this)) wanted.push_back(c);
    };
    if (pinned && pinned_ < from) want(pinned_);
    for (size_t i = from; i < to; ++i)
        want(i);
    if (pinned && pinned_ >= to) want(pinned_);
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
    // Virtualizing: the extent of all items, of which only those in view exist.
    return Virtualizes() ? Size{size.width, height * static_cast<double>(owner_->Count())} : size;
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
        // Without virtualization every container exists: those before the first item lie above the view.
        if (!Virtualizes())
            for (Element* c : Children()) {
                const long index = owner_->IndexOfContainer(*c);
                if (index < 0 || static_cast<size_t>(index) >= first_) break;
                inner.y -= c->DesiredSize().height;
            }
    }
    StackPanel::ArrangeOverride(inner);
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

void HeaderedItemsControl::ShowHeaderTemplate(ov::ComPtr<Element> root) {
    header_.templated = true;
    header_.shown = std::move(root);
    if (presenter_) presenter_->Show(header_);
    InvalidateLayout();
}

void HeaderedItemsControl::SetHeaderPresenter(ContentPresenter* presenter) {
    presenter_ = presenter;
    presenter_->Show(header_);
}

// --- XAML ------------------------------------------------------------------------------------------------

// --- ItemsControl as an element -------------------------------------------------------------------------

namespace {

// WPF's ItemsControl itself: a Border round an ItemsPresenter whose StackPanel holds the items, no scrolling
// and no selection. An element item is its own container; a data item shows in a ContentPresenter.
class PlainItemsControl : public ItemsControl {
public:
    PlainItemsControl(Application& app, std::wstring className, std::wstring name)
        : ItemsControl(app, std::move(className), std::move(name),
                       L"System.Windows.Controls.ContentPresenter") {
        SetFocusable(false);
    }

protected:
    void OnApplyTemplate() override {
        auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
        MakeItemsHost(&border, nullptr, L"System.Windows.Controls.StackPanel");
    }
    ov::ComPtr<Element> MakeContainer(const Item& item) override {
        ov::ComPtr<ContentPresenter> presenter =
            App()->Make<ContentPresenter>(L"System.Windows.Controls.ContentPresenter", L"");
        Content content{std::nullopt, item.element};
        if (!item.IsElement()) content = Content{DataText(item), nullptr};
        if (auto root = TemplateFor(item, *presenter)) {
            content.templated = true;
            content.shown = std::move(*root);
        }
        presenter->Show(content);
        return ov::ComPtr<Element>(presenter);
    }
};

} // namespace

namespace xaml {
namespace {

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
         .make = &Make<PlainItemsControl>,
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
    };
}

} // namespace xaml

} // namespace wpfsim
