#include "Menus.h"

#include "Application.h"
#include "Border.h"
#include "Popup.h"
#include "ClrValue.h"
#include "XamlSchema.h"

namespace wpfsim {

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

// The ScrollViewer of a menu's template with Aero2's MenuScrollViewer style: horizontal bar Hidden,
// vertical Auto (its up and down buttons are left out: the simulation's menus never overflow the screen).
ScrollViewer& MenuScrollViewer(Element& menu, Element& parent, const wchar_t* name) {
    auto& viewer = menu.MakePart<ScrollViewer>(parent, L"System.Windows.Controls.ScrollViewer", name);
    viewer.SetBarVisibility(true, ScrollViewer::BarVisibility::Hidden);
    viewer.SetBarVisibility(false, ScrollViewer::BarVisibility::Auto);
    return viewer;
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
    : MenuBase(app, std::move(className), std::move(name)) {}

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
        L"PlacementTarget", [this] { return Obj(target_.Get()); },
        [this](const VARIANT& v) {
            ov::ComPtr<ClrObject> object = ObjectOf(v);
            SetPlacementTarget(dynamic_cast<Element*>(object.Get()));
        });
}

void ContextMenu::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"Border");
    border.padding = {2, 2, 2, 2};
    MakeItemsHost(nullptr, &MenuScrollViewer(*this, border, L"ContextMenuScrollViewer"),
                  L"System.Windows.Controls.StackPanel");
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
        L"Icon", [this] { return HeaderValue(*this, icon_); },
        [this](const VARIANT& v) {
            const bool object = v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN;
            if (Element* element = object ? ElementOf(v) : nullptr) return SetIconElement(element);
            if (IsNull(v)) return SetIconElement(nullptr);
            SetIcon(TextOf(v));
        });
    AddProperty(
        L"Header", [this] { return HeaderValue(*this, Header()); },
        [this](const VARIANT& v) {
            if (Element* element = ElementOf(v)) return SetHeaderElement(element);
            SetHeader(TextOf(v));
        });
    AddProperty(
        L"IsSubmenuOpen", [this] { return ov::Variant::Bool(IsSubmenuOpen()); },
        [this](const VARIANT& v) {
            openOnLoad_.Set(*this, BoolOf(v), [this](bool open) { SetSubmenuOpen(open); });
        });
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
    // MenuItem's internal LogicalParent: its Parent, else ItemsControlFromItemContainer (a generated item's
    // owner). No other element has the member.
    AddProperty(L"get_LogicalParent",
                [this] { return Obj(LogicalParent() ? LogicalParent() : ParentMenu()); });
}

void MenuItem::OnApplyTemplate() {
    auto& grid = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"");
    auto& border = MakePart<Border>(grid, L"System.Windows.Controls.Border", L"templateRoot");
    border.padding = {6, 2, 6, 2};
    auto& header =
        MakePart<ContentPresenter>(border, L"System.Windows.Controls.ContentPresenter", L"HeaderHost");
    header.SetRecognizesAccessKey(true);
    SetHeaderPresenter(&header);
    templateRoot_ = &border;
    headerHost_ = &header;
    popup_ = &MakePart<Popup>(grid, L"System.Windows.Controls.Primitives.Popup", L"PART_Popup");
    popup_->SetStaysOpen(false);
    popup_->SetPlacementTarget(this);
    popup_->onOpenChanged = [this](bool open) { OnSubmenuOpenChanged(open); };
    auto& submenu = MakeDetachedPart<Border>(L"System.Windows.Controls.Border", L"SubMenuBorder");
    submenu.padding = {2, 2, 2, 2};
    popup_->SetChild(&submenu);
    MakeItemsHost(nullptr, &MenuScrollViewer(*this, submenu, L"SubMenuScrollViewer"),
                  L"System.Windows.Controls.StackPanel");
}

void MenuItem::SetIcon(std::wstring text) {
    if (icon_.element) RemoveLogicalChild(*icon_.element);
    icon_ = {};
    icon_.text = std::move(text);
    ShowIcon();
}

void MenuItem::SetIconElement(Element* element) {
    if (icon_.element) RemoveLogicalChild(*icon_.element);
    icon_ = {};
    icon_.element = element;
    if (element) AddLogicalChild(*element);
    ShowIcon();
}

void MenuItem::ShowIcon() {
    if (!iconHost_ && !icon_.Empty()) {
        templateRoot_->RemoveVisualChild(*headerHost_);
        templateRoot_->RemoveLogicalChild(*headerHost_);
        auto& grid = MakePart<Grid>(*templateRoot_, L"System.Windows.Controls.Grid", L"");
        grid.columns = {Auto, Auto};
        iconHost_ = &MakePart<ContentPresenter>(grid, L"System.Windows.Controls.ContentPresenter", L"Icon");
        iconHost_->Layout().margin = {3, 3, 3, 3};
        grid.AddVisualChild(*headerHost_);
        grid.AddLogicalChild(*headerHost_);
        headerHost_->Layout().column = 1;
    }
    if (iconHost_) iconHost_->Show(icon_);
    InvalidateLayout();
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
    // As WPF's OnClick: the menus close now, the Click event follows at Render priority (after the
    // windows of the closed menus are gone).
    ov::ComPtr<MenuItem> self(this);
    if (Application* app = App())
        app->GetDispatcher().BeginInvoke(DispatcherPriority::Render, [self] {
            ++self->clickCount_;
            if (self->handler_ && self->App()) self->handler_(*self);
        });
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

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> MenuTypes() {
    return {
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
        {.name = L"MenuItem",
         .className = L"System.Windows.Controls.MenuItem",
         .base = L"ItemsControl",
         .make = &Make<MenuItem>,
         .properties =
             {HeaderProperty<HeaderedItemsControl>(),
              {L"IsCheckable", [](Node& n, std::wstring_view v) { As<MenuItem>(n).SetCheckable(ToBool(v)); }},
              {L"IsChecked", [](Node& n, std::wstring_view v) { As<MenuItem>(n).SetChecked(ToBool(v)); }},
              {L"StaysOpenOnClick",
               [](Node& n, std::wstring_view v) { As<MenuItem>(n).SetStaysOpenOnClick(ToBool(v)); }},
              Cosmetic(L"InputGestureText"),
              {L"Icon", [](Node& n, std::wstring_view v) { As<MenuItem>(n).SetIcon(std::wstring(v)); },
               [](Node& n, Element& e) { As<MenuItem>(n).SetIconElement(&e); }}},
         .content = Content::Items},
        {.name = L"Separator",
         .className = L"System.Windows.Controls.Separator",
         .base = L"Control",
         .make = &Make<Separator>},
    };
}

} // namespace xaml

} // namespace wpfsim
