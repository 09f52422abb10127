#include "ToolBar.h"

#include "Border.h"
#include "XamlSchema.h"

#include <stdexcept>

namespace wpfsim {

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

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> ToolBarTypes() {
    return {
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
    };
}

} // namespace xaml

} // namespace wpfsim
