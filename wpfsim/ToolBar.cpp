#include "ToolBar.h"

#include "Application.h"
#include "Border.h"
#include "Buttons.h"
#include "Menus.h"
#include "XamlSchema.h"

#include <algorithm>
#include <stdexcept>

namespace wpfsim {

namespace {

bool GreaterThan(double a, double b) {
    return a > b && a - b > (std::fabs(a) + std::fabs(b) + 10.0) * 2.2204460492503131e-016;
}

ToolBar::OverflowMode ModeOf(const Element& item) {
    return static_cast<ToolBar::OverflowMode>(item.Layout().toolBarOverflow);
}

// The template's overflow button: enabled while something overflows (HasOverflowItems), as big as Aero2's
// arrow glyph with its margins.
class OverflowButton : public ToggleButton {
public:
    OverflowButton(Application& app, std::wstring className, std::wstring name, ToolBar& bar)
        : ToggleButton(app, std::move(className), std::move(name)), bar_(bar) {}

protected:
    bool IsEnabledCore() const noexcept override {
        return ToggleButton::IsEnabledCore() && bar_.HasOverflowItems();
    }
    Size MeasureOverride(Size) override { return bar_.Horizontal() ? Size{15, 11} : Size{11, 15}; }

private:
    ToolBar& bar_;
};

// The bar's items panel: it decides which items overflow for the length it is given (ToolBarPanel's
// MeasureOverride), then stacks those it keeps.
class ToolBarPanel : public VirtualizingStackPanel {
public:
    ToolBarPanel(Application& app, std::wstring className, std::wstring name, ToolBar& bar)
        : VirtualizingStackPanel(app, std::move(className), std::move(name), bar, false), bar_(bar) {}

protected:
    Size MeasureOverride(Size available) override {
        bar_.Reflow(Horizontal() ? available.width : available.height);
        return VirtualizingStackPanel::MeasureOverride(available);
    }

private:
    ToolBar& bar_;
};

// WPF's ToolBarOverflowPanel: its items in lines of at most WrapWidth (200), or of the widest item.
class ToolBarOverflowPanel : public Panel {
public:
    using Panel::Panel;

protected:
    static constexpr double kWrapWidth = 200;
    Size MeasureOverride(Size available) override {
        wrap_ = kWrapWidth;
        for (Element* child : Children()) {
            child->Measure(available);
            wrap_ = std::max(wrap_, child->DesiredSize().width);
        }
        wrap_ = std::min(wrap_, available.width);
        Size size, line;
        for (Element* child : Children()) {
            const Size s = child->DesiredSize();
            if (GreaterThan(line.width + s.width, wrap_)) {
                size.width = std::max(size.width, line.width);
                size.height += line.height;
                line = s;
            } else {
                line.width += s.width;
                line.height = std::max(line.height, s.height);
            }
        }
        return {std::max(size.width, line.width), size.height + line.height};
    }
    void ArrangeOverride(Rect inner) override {
        const double wrap = std::min(wrap_, inner.width);
        const auto& children = Children();
        size_t first = 0;
        double y = inner.y, lineWidth = 0, lineHeight = 0;
        auto arrangeLine = [&](size_t end) {
            double x = inner.x;
            for (size_t i = first; i < end; ++i) {
                children[i]->Arrange({x, y, children[i]->DesiredSize().width, lineHeight});
                x += children[i]->DesiredSize().width;
            }
        };
        for (size_t i = 0; i < children.size(); ++i) {
            const Size s = children[i]->DesiredSize();
            if (GreaterThan(lineWidth + s.width, wrap)) {
                arrangeLine(i);
                y += lineHeight;
                first = i;
                lineWidth = s.width;
                lineHeight = s.height;
            } else {
                lineWidth += s.width;
                lineHeight = std::max(lineHeight, s.height);
            }
        }
        arrangeLine(children.size());
    }

private:
    double wrap_ = kWrapWidth;
};

} // namespace

// --- ToolBar --------------------------------------------------------------------------------------------

ToolBar::ToolBar(Application& app, std::wstring className, std::wstring name)
    : HeaderedItemsControl(app, std::move(className), std::move(name), L"") {
    SetFocusable(false);
    AddProperty(
        L"IsOverflowOpen", [this] { return ov::Variant::Bool(IsOverflowOpen()); },
        [this](const VARIANT& v) { SetOverflowOpen(BoolOf(v)); });
    AddProperty(L"HasOverflowItems", [this] {
        Bounds();
        return ov::Variant::Bool(hasOverflowItems_);
    });
    AddProperty(L"Orientation", [this] { return ov::Variant::Int(Horizontal() ? 0 : 1); });
    AddProperty(
        L"Band", [this] { return ov::Variant::Int(band_); }, [this](const VARIANT& v) { SetBand(IntOf(v)); });
    AddProperty(
        L"BandIndex", [this] { return ov::Variant::Int(bandIndex_); },
        [this](const VARIANT& v) { SetBandIndex(IntOf(v)); });
    AddProperty(
        L"Header", [this] { return HeaderValue(*this, Header()); },
        [this](const VARIANT& v) {
            if (Element* element = ElementOf(v)) return SetHeaderElement(element);
            SetHeader(TextOf(v));
        });
}

bool ToolBar::Horizontal() const noexcept {
    auto* tray = dynamic_cast<ToolBarTray*>(LogicalParent());
    return !tray || tray->Horizontal();
}

void ToolBar::OnApplyTemplate() {
    auto& grid = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"Grid");
    grid_ = &grid;
    auto& overflowGrid = MakePart<Grid>(grid, L"System.Windows.Controls.Grid", L"OverflowGrid");
    overflowGrid_ = &overflowGrid;
    auto& button = MakePart<OverflowButton>(overflowGrid, L"System.Windows.Controls.Primitives.ToggleButton",
                                            L"OverflowButton", *this);
    button.SetFocusable(false);
    button.SetClickMode(ButtonBase::ClickMode::Press);
    button.SetClickHandler(
        [this](ButtonBase& b) { SetOverflowOpen(static_cast<ToggleButton&>(b).IsChecked() == true); });
    overflowButton_ = &button;
    overflow_ = &MakePart<Popup>(overflowGrid, L"System.Windows.Controls.Primitives.Popup", L"OverflowPopup");
    overflow_->SetPlacementTarget(&button);
    // The toolbar takes the mouse while the overflow is open: presses anywhere in it do not dismiss it.
    overflow_->SetDismissScope(this);
    overflow_->onOpenChanged = [this](bool open) {
        overflowButton_->SetChecked(open);
        if (open) {
            overflowPanel_->Focus();
        } else if (Application* app = App(); app && overflowPanel_->IsKeyboardFocusWithin()) {
            app->SetFocused(nullptr);
        }
    };
    auto& border = MakeDetachedPart<Border>(L"System.Windows.Controls.Border", L"ToolBarSubMenuBorder");
    overflow_->SetChild(&border);
    overflowPanel_ = &MakePart<ToolBarOverflowPanel>(
        border, L"System.Windows.Controls.Primitives.ToolBarOverflowPanel", L"PART_ToolBarOverflowPanel");
    overflowPanel_->Layout().margin = {2, 2, 2, 2};
    overflowPanel_->SetFocusable(true);

    auto& main = MakePart<Border>(grid, L"System.Windows.Controls.Border", L"MainPanelBorder");
    mainBorder_ = &main;
    auto& dock = MakePart<DockPanel>(main, L"System.Windows.Controls.DockPanel", L"");
    thumb_ = &MakePart<Control>(dock, L"System.Windows.Controls.Primitives.Thumb", L"ToolBarThumb");
    thumb_->SetFocusable(false);
    header_ =
        &MakePart<ContentPresenter>(dock, L"System.Windows.Controls.ContentPresenter", L"ToolBarHeader");
    header_->SetVisibility(Visibility::Collapsed);
    SetHeaderPresenter(header_);
    auto& panel = MakePart<ToolBarPanel>(dock, L"System.Windows.Controls.Primitives.ToolBarPanel",
                                         L"PART_ToolBarPanel", *this);
    mainPanel_ = &panel;
    SetItemsHost(panel);
    for (Element* items : {static_cast<Element*>(mainPanel_), overflowPanel_})
        items->AddProperty(L"get_ToolBar", [this] { return Obj(this); });
    horizontal_ = !Horizontal();
    ApplyOrientation();
}

// Aero2's template and its triggers for Orientation Vertical.
void ToolBar::ApplyOrientation() {
    const bool horizontal = Horizontal();
    if (horizontal == horizontal_) return;
    horizontal_ = horizontal;
    grid_->Layout().margin = horizontal ? Thickness{3, 1, 1, 1} : Thickness{1, 3, 1, 1};
    overflowGrid_->Layout().horizontalAlignment =
        horizontal ? HorizontalAlignment::Right : HorizontalAlignment::Stretch;
    overflowGrid_->Layout().verticalAlignment =
        horizontal ? VerticalAlignment::Stretch : VerticalAlignment::Bottom;
    overflow_->SetPlacement(horizontal ? Popup::Placement::Bottom : Popup::Placement::Right);
    mainBorder_->Layout().margin = horizontal ? Thickness{0, 0, 11, 0} : Thickness{0, 0, 0, 11};
    thumb_->Layout().width = horizontal ? 10 : Auto;
    thumb_->Layout().height = horizontal ? Auto : 10;
    thumb_->Layout().margin = horizontal ? Thickness{-3, -1, 0, 0} : Thickness{-1, -3, 0, 0};
    header_->Layout().margin = horizontal ? Thickness{4, 0, 4, 0} : Thickness{0, 0, 0, 4};
    for (Element* part : {thumb_, static_cast<Element*>(header_)})
        part->Layout().dock = horizontal ? Dock::Left : Dock::Top;
    mainPanel_->Layout().margin = horizontal ? Thickness{0, 1, 2, 2} : Thickness{1, 0, 2, 2};
    mainPanel_->SetHorizontal(horizontal);
    InvalidateLayout();
}

void ToolBar::SetHeader(std::wstring text) {
    HeaderedItemsControl::SetHeader(std::move(text));
    if (header_) header_->SetVisibility(Visibility::Visible);
}

void ToolBar::SetHeaderElement(Element* element) {
    HeaderedItemsControl::SetHeaderElement(element);
    if (header_) header_->SetVisibility(element ? Visibility::Visible : Visibility::Collapsed);
}

// WPF's class handler of every press in the toolbar that no element took: the overflow closes.
void ToolBar::OnMouseDown(MouseEvent& e) {
    if (e.handled) return;
    if (IsOverflowOpen()) SetOverflowOpen(false);
    e.handled = true;
}

void ToolBar::PrepareContainer(Element&, size_t) {
    InvalidateLayout();
}

void ToolBar::SetOverflowMode(Element& item, OverflowMode mode) {
    item.Layout().toolBarOverflow = static_cast<int>(mode);
    InvalidateLayout();
}

bool ToolBar::PanelShows(const Element& container) const noexcept {
    return std::find(overflowing_.begin(), overflowing_.end(), &container) == overflowing_.end();
}

bool ToolBar::InOverflow(const Element& item) const {
    (void)Bounds();
    return std::find(overflowing_.begin(), overflowing_.end(), &item) != overflowing_.end();
}

Size ToolBar::MeasureOverride(Size available) {
    ApplyOrientation();
    const Size size = HeaderedItemsControl::MeasureOverride(available);
    // ToolBar.MeasureOverride: the panel's MinLength and what the template adds around the panel.
    const Thickness& m = mainPanel_->Layout().margin;
    const Size panel = mainPanel_->DesiredSize();
    minLength_ = horizontal_ ? panelMinLength_ + std::max(0.0, size.width - panel.width + m.left + m.right)
                             : panelMinLength_ + std::max(0.0, size.height - panel.height + m.top + m.bottom);
    return size;
}

// ToolBarPanel.MeasureGeneratedItems: the Never items first, then the AsNeeded ones in order while they fit.
void ToolBar::Reflow(double extent) {
    const bool horizontal = Horizontal();
    std::vector<Element*> items;
    for (size_t i = 0; i < Count(); ++i)
        if (Element* c = ContainerAt(i, true)) items.push_back(c);
    auto lengthOf = [horizontal](Element* e) {
        e->Measure({Infinity, Infinity});
        return horizontal ? e->DesiredSize().width : e->DesiredSize().height;
    };
    double used = 0;
    for (Element* e : items)
        if (ModeOf(*e) == OverflowMode::Never) used += lengthOf(e);
    panelMinLength_ = used;
    std::vector<Element*> overflowing;
    bool full = false;
    for (Element* e : items) {
        const OverflowMode mode = ModeOf(*e);
        if (mode == OverflowMode::Never) continue;
        if (mode == OverflowMode::AsNeeded && !full) {
            const double length = lengthOf(e);
            if (!GreaterThan(used + length, extent)) {
                used += length;
                continue;
            }
            full = true;
        }
        overflowing.push_back(e);
    }
    hasOverflowItems_ = !overflowing.empty();
    if (overflowing == overflowing_) return;
    overflowing_ = overflowing;
    // An overflowing Separator is shown nowhere (ToolBarOverflowPanel leaves separators out).
    std::vector<Element*> shown;
    for (Element* e : overflowing)
        if (!dynamic_cast<Separator*>(e)) shown.push_back(e);
    while (!overflowPanel_->Children().empty())
        overflowPanel_->RemoveVisualChild(*overflowPanel_->Children().back());
    for (Element* e : overflowing) {
        if (e->Parent()) e->Parent()->RemoveVisualChild(*e);
        if (std::find(shown.begin(), shown.end(), e) != shown.end()) overflowPanel_->AddVisualChild(*e);
    }
}

void ToolBar::SetOverflowOpen(bool open) {
    openOnLoad_.Set(*this, open, [this](bool value) {
        if (overflow_) overflow_->SetIsOpen(value);
    });
}

// --- ToolBarTray ----------------------------------------------------------------------------------------

ToolBarTray::ToolBarTray(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Orientation", [this] { return ov::Variant::Int(horizontal_ ? 0 : 1); },
        [this](const VARIANT& v) { SetHorizontal(IntOf(v) == 0); });
    auto toolBars = MakeCollection(
        *this, L"System.Collections.ObjectModel.Collection`1[[System.Windows.Controls.ToolBar]]",
        [this] { return LogicalChildren().size(); }, [this](size_t i) { return Obj(LogicalChildren()[i]); });
    AddProperty(L"ToolBars", [toolBars] { return Obj(toolBars.Get()); });
}

void ToolBarTray::AddChild(Element& child) {
    if (!dynamic_cast<ToolBar*>(&child)) throw std::invalid_argument("a ToolBarTray holds ToolBars only");
    AddLogicalChild(child);
    AddVisualChild(child);
}

std::vector<std::vector<ToolBar*>> ToolBarTray::Bands() const {
    std::vector<ToolBar*> bars;
    for (Element* child : Children())
        if (auto* bar = dynamic_cast<ToolBar*>(child)) bars.push_back(bar);
    std::stable_sort(bars.begin(), bars.end(), [](const ToolBar* a, const ToolBar* b) {
        return a->Band() != b->Band() ? a->Band() < b->Band() : a->BandIndex() < b->BandIndex();
    });
    std::vector<std::vector<ToolBar*>> bands;
    for (ToolBar* bar : bars) {
        if (bands.empty() || bands.back().front()->Band() != bar->Band()) bands.emplace_back();
        bands.back().push_back(bar);
    }
    return bands;
}

// ToolBarTray.MeasureOverride: in each band every toolbar gets what is left of the tray's length after the
// MinLength of the toolbars after it.
Size ToolBarTray::MeasureOverride(Size available) {
    const double length = horizontal_ ? available.width : available.height;
    Size size;
    thickness_.clear();
    for (const auto& band : Bands()) {
        double remaining = length;
        for (ToolBar* bar : band) {
            remaining -= bar->MinLength();
            if (remaining < 0) {
                remaining = 0;
                break;
            }
        }
        double thickness = 0, bandLength = 0;
        for (ToolBar* bar : band) {
            remaining += bar->MinLength();
            bar->Measure(horizontal_ ? Size{remaining, Infinity} : Size{Infinity, remaining});
            const Size s = bar->DesiredSize();
            thickness = std::max(thickness, horizontal_ ? s.height : s.width);
            bandLength += horizontal_ ? s.width : s.height;
            remaining = std::max(0.0, remaining - (horizontal_ ? s.width : s.height));
        }
        thickness_.push_back(thickness);
        if (horizontal_) {
            size.height += thickness;
            size.width = std::max(size.width, bandLength);
        } else {
            size.width += thickness;
            size.height = std::max(size.height, bandLength);
        }
    }
    return size;
}

void ToolBarTray::ArrangeOverride(Rect inner) {
    double across = 0;
    size_t i = 0;
    for (const auto& band : Bands()) {
        const double thickness = i < thickness_.size() ? thickness_[i] : 0;
        double along = 0;
        for (ToolBar* bar : band) {
            const Size s = bar->DesiredSize();
            if (horizontal_) {
                bar->Arrange({inner.x + along, inner.y + across, s.width, thickness});
                along += s.width;
            } else {
                bar->Arrange({inner.x + across, inner.y + along, thickness, s.height});
                along += s.height;
            }
        }
        across += thickness;
        ++i;
    }
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> ToolBarTypes() {
    return {
        {.name = L"ToolBar",
         .className = L"System.Windows.Controls.ToolBar",
         .base = L"ItemsControl",
         .make = &Make<ToolBar>,
         .properties = {HeaderProperty<ToolBar>(),
                        {L"Band",
                         [](Node& n, std::wstring_view v) {
                             As<ToolBar>(n).SetBand(static_cast<int>(ToInt32(v)));
                         }},
                        {L"BandIndex",
                         [](Node& n, std::wstring_view v) {
                             As<ToolBar>(n).SetBandIndex(static_cast<int>(ToInt32(v)));
                         }}},
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
