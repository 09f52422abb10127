#include "ScrollViewer.h"

#include "Application.h"
#include "Items.h"
#include "Panels.h"
#include "Ranges.h"
#include "XamlSchema.h"

#include <algorithm>
#include <cmath>

namespace wpfsim {

// --- ScrollViewer ---------------------------------------------------------------------------------------

namespace {
// SystemParameters.VerticalScrollBarWidth and HorizontalScrollBarHeight; ScrollViewer._scrollLineDelta.
constexpr double kBarThickness = 17, kLine = 16;

bool GreaterThan(double a, double b) {
    return a > b && a - b > (std::fabs(a) + std::fabs(b) + 10.0) * 2.2204460492503131e-016;
}
} // namespace

// The content of the viewer: measured without limit in the directions that scroll, arranged shifted by the
// offsets; its own rectangle is the viewport.
class ScrollContentPresenter : public ContentPresenter {
public:
    ScrollContentPresenter(Application& app, std::wstring className, std::wstring name, ScrollViewer& viewer)
        : ContentPresenter(app, std::move(className), std::move(name)), viewer_(viewer) {}
    // What the content asked for, and the room it was measured in.
    Size ContentSize() const noexcept { return content_; }
    Size Constraint() const noexcept { return constraint_; }

protected:
    Size MeasureOverride(Size available) override {
        constraint_ = available;
        const Size limit{
            viewer_.horizontalBar_ == ScrollViewer::BarVisibility::Disabled ? available.width : Infinity,
            viewer_.verticalBar_ == ScrollViewer::BarVisibility::Disabled ? available.height : Infinity};
        content_ = {};
        for (Element* child : Children()) {
            child->Measure(limit);
            content_.width = std::max(content_.width, child->DesiredSize().width);
            content_.height = std::max(content_.height, child->DesiredSize().height);
        }
        return {std::min(content_.width, available.width), std::min(content_.height, available.height)};
    }
    void ArrangeOverride(Rect inner) override {
        ScrollViewer& v = viewer_;
        v.viewport_ = {inner.width, inner.height};
        v.extent_ = content_;
        const Size scrollable = v.Scrollable();
        v.horizontalOffset_ = v.Clamp(v.horizontalOffset_, scrollable.width);
        if (!v.Scroller()) v.verticalOffset_ = v.Clamp(v.verticalOffset_, scrollable.height);
        const bool items = v.Scroller() != nullptr;
        for (Element* content : Children())
            content->Arrange({inner.x - v.horizontalOffset_, inner.y - (items ? 0 : v.verticalOffset_),
                              std::max(content_.width, inner.width),
                              items ? inner.height : std::max(content_.height, inner.height)});
        v.ShowOnBars();
    }

private:
    ScrollViewer& viewer_;
    Size content_, constraint_;
};

namespace {

// The template's grid: the content cell, and the Auto column and row that a shown bar takes.
class ScrollGrid : public Grid {
public:
    ScrollGrid(Application& app, std::wstring className, std::wstring name, ScrollViewer& viewer)
        : Grid(app, std::move(className), std::move(name)), viewer_(viewer) {
        columns = {-1, Auto};
        rows = {-1, Auto};
    }
    Element *presenter = nullptr, *corner = nullptr;
    ScrollBar *vertical = nullptr, *horizontal = nullptr;

protected:
    Size MeasureOverride(Size available) override {
        const double barWidth = viewer_.BarShown(false) ? kBarThickness : 0;
        const double barHeight = viewer_.BarShown(true) ? kBarThickness : 0;
        presenter->Measure(
            {std::max(0.0, available.width - barWidth), std::max(0.0, available.height - barHeight)});
        const Size content = presenter->DesiredSize();
        vertical->Measure({barWidth, content.height});
        horizontal->Measure({content.width, barHeight});
        corner->Measure({barWidth, barHeight});
        return {content.width + barWidth, content.height + barHeight};
    }
    void ArrangeOverride(Rect r) override {
        const double barWidth = viewer_.BarShown(false) ? kBarThickness : 0;
        const double barHeight = viewer_.BarShown(true) ? kBarThickness : 0;
        const double width = std::max(0.0, r.width - barWidth), height = std::max(0.0, r.height - barHeight);
        presenter->Arrange({r.x, r.y, width, height});
        vertical->Arrange({r.x + width, r.y, barWidth, height});
        horizontal->Arrange({r.x, r.y + height, width, barHeight});
        corner->Arrange({r.x + width, r.y + height, barWidth, barHeight});
    }

private:
    ScrollViewer& viewer_;
};

} // namespace

ScrollViewer::ScrollViewer(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    auto number = [this](auto read) { return [this, read] { return ov::Variant::Double(read()); }; };
    AddProperty(L"HorizontalOffset", number([this] { return HorizontalOffset(); }));
    AddProperty(L"VerticalOffset", number([this] { return VerticalOffset(); }));
    AddProperty(L"ExtentWidth", number([this] { return Extent().width; }));
    AddProperty(L"ExtentHeight", number([this] { return Extent().height; }));
    AddProperty(L"ViewportWidth", number([this] { return Viewport().width; }));
    AddProperty(L"ViewportHeight", number([this] { return Viewport().height; }));
    AddProperty(L"ScrollableWidth", number([this] { return Scrollable().width; }));
    AddProperty(L"ScrollableHeight", number([this] { return Scrollable().height; }));
    AddProperty(
        L"CanContentScroll", [this] { return ov::Variant::Bool(canContentScroll_); },
        [this](const VARIANT& v) { SetCanContentScroll(BoolOf(v)); });
    for (const bool horizontal : {true, false}) {
        AddProperty(
            horizontal ? L"HorizontalScrollBarVisibility" : L"VerticalScrollBarVisibility",
            [this, horizontal] { return ov::Variant::Int(static_cast<LONG>(GetBarVisibility(horizontal))); },
            [this, horizontal](const VARIANT& v) {
                const LONG value = IntOf(v);
                if (value < 0 || value > 3)
                    throw InvalidPropertyValue(std::to_wstring(value), horizontal
                                                                           ? L"HorizontalScrollBarVisibility"
                                                                           : L"VerticalScrollBarVisibility");
                SetBarVisibility(horizontal, static_cast<BarVisibility>(value));
            });
        // System.Windows.Visibility: Visible 0, Collapsed 2.
        AddProperty(horizontal ? L"ComputedHorizontalScrollBarVisibility"
                               : L"ComputedVerticalScrollBarVisibility",
                    [this, horizontal] { return ov::Variant::Int(BarShown(horizontal) ? 0 : 2); });
    }
    AddMethod(L"ScrollToHorizontalOffset", 1, [this](const Args& a) {
        ScrollToHorizontalOffset(DoubleOf(a[0]));
        return ov::Variant();
    });
    AddMethod(L"ScrollToVerticalOffset", 1, [this](const Args& a) {
        ScrollToVerticalOffset(DoubleOf(a[0]));
        return ov::Variant();
    });
    const struct {
        const wchar_t* name;
        bool horizontal, page;
        double direction;
    } steps[] = {{L"LineUp", false, false, -1},  {L"LineDown", false, false, 1},
                 {L"LineLeft", true, false, -1}, {L"LineRight", true, false, 1},
                 {L"PageUp", false, true, -1},   {L"PageDown", false, true, 1},
                 {L"PageLeft", true, true, -1},  {L"PageRight", true, true, 1}};
    for (const auto& step : steps)
        AddMethod(step.name, 0, [this, step](const Args&) {
            ScrollBy(step.horizontal, step.page, step.direction);
            return ov::Variant();
        });
    // The ends, as WPF's (ScrollToEnd goes to the bottom and to the left end).
    const struct {
        const wchar_t* name;
        double horizontal, vertical; // NaN: that offset stays
    } ends[] = {{L"ScrollToTop", Auto, -Infinity},       {L"ScrollToBottom", Auto, Infinity},
                {L"ScrollToLeftEnd", -Infinity, Auto},   {L"ScrollToRightEnd", Infinity, Auto},
                {L"ScrollToHome", -Infinity, -Infinity}, {L"ScrollToEnd", -Infinity, Infinity}};
    for (const auto& end : ends)
        AddMethod(end.name, 0, [this, end](const Args&) {
            if (!std::isnan(end.horizontal)) ScrollToHorizontalOffset(end.horizontal);
            if (!std::isnan(end.vertical)) ScrollToVerticalOffset(end.vertical);
            return ov::Variant();
        });
}

void ScrollViewer::OnApplyTemplate() {
    auto& grid = MakePart<ScrollGrid>(*this, L"System.Windows.Controls.Grid", L"Grid", *this);
    grid_ = &grid;
    grid.corner = &MakePart<FrameworkElement>(grid, L"System.Windows.Shapes.Rectangle", L"Corner");
    grid.corner->Layout().row = grid.corner->Layout().column = 1;
    auto& presenter = MakePart<ScrollContentPresenter>(
        grid, L"System.Windows.Controls.ScrollContentPresenter", L"PART_ScrollContentPresenter", *this);
    presenter_ = &presenter;
    auto bar = [&](bool horizontal) -> ScrollBar& {
        auto& part =
            MakePart<ScrollBar>(grid, L"System.Windows.Controls.Primitives.ScrollBar",
                                horizontal ? L"PART_HorizontalScrollBar" : L"PART_VerticalScrollBar");
        part.SetHorizontal(horizontal);
        part.ScrollFor(*this);
        (horizontal ? part.Layout().row : part.Layout().column) = 1;
        part.SetVisibility(Visibility::Collapsed);
        return part;
    };
    verticalScrollBar_ = grid.vertical = &bar(false);
    horizontalScrollBar_ = grid.horizontal = &bar(true);
    grid.presenter = &presenter;
    SetPresenter(&presenter);
}

bool ScrollViewer::BarShown(bool horizontal) const {
    return horizontal ? horizontalShown_ : verticalShown_;
}

double ScrollViewer::HorizontalOffset() const {
    Bounds();
    return horizontalOffset_;
}

double ScrollViewer::VerticalOffset() const {
    Bounds();
    return Scroller() ? Scroller()->FirstItem() : verticalOffset_;
}

Size ScrollViewer::Extent() const {
    Bounds();
    return Scroller() ? Size{extent_.width, Scroller()->ItemCount()} : extent_;
}

Size ScrollViewer::Viewport() const {
    Bounds();
    return Scroller() ? Size{viewport_.width, Scroller()->ItemsInView()} : viewport_;
}

Size ScrollViewer::Scrollable() const {
    Size e = Extent(), v = Viewport();
    Size s{std::max(0.0, e.width - v.width), std::max(0.0, e.height - v.height)};
    if (horizontalBar_ == BarVisibility::Disabled) s.width = 0;
    if (verticalBar_ == BarVisibility::Disabled) s.height = 0;
    return s;
}

void ScrollViewer::ScrollToHorizontalOffset(double offset) {
    if (std::isnan(offset)) throw ArgumentOutOfRange(L"offset", L"'offset' parameter value cannot be NaN.");
    Command([this, offset] { ScrollTo(true, offset); });
}

void ScrollViewer::ScrollToVerticalOffset(double offset) {
    if (std::isnan(offset)) throw ArgumentOutOfRange(L"offset", L"'offset' parameter value cannot be NaN.");
    Command([this, offset] { ScrollTo(false, offset); });
}

void ScrollViewer::Command(std::function<void()> command) {
    Application* app = App();
    if (!app) return;
    ov::ComPtr<ScrollViewer> self(this);
    app->AfterLayout([self, command = std::move(command)] {
        if (self->App()) command();
    });
}

void ScrollViewer::ScrollTo(bool horizontal, double offset) {
    const Size scrollable = Scrollable();
    if (horizontal) {
        horizontalOffset_ = Clamp(offset, scrollable.width);
    } else {
        const double clamped = Clamp(offset, scrollable.height);
        if (Scroller())
            Scroller()->SetFirstItem(std::floor(clamped));
        else
            verticalOffset_ = clamped;
    }
    InvalidateLayout();
}

void ScrollViewer::ScrollBy(bool horizontal, bool page, double direction) {
    if (horizontal)
        return ScrollToHorizontalOffset(HorizontalOffset() + direction * (page ? Viewport().width : kLine));
    const double line = Scroller() ? 1 : kLine;
    ScrollToVerticalOffset(VerticalOffset() + direction * (page ? Viewport().height : line));
}

void ScrollViewer::SetBarVisibility(bool horizontal, BarVisibility visibility) {
    (horizontal ? horizontalBar_ : verticalBar_) = visibility;
    InvalidateLayout();
}

void ScrollViewer::SetCanContentScroll(bool can) {
    canContentScroll_ = can;
    InvalidateLayout();
}

void ScrollViewer::ShowOnBars() {
    const Size scrollable = Scrollable(), viewport = Viewport();
    if (verticalScrollBar_) verticalScrollBar_->Follow(scrollable.height, viewport.height, VerticalOffset());
    if (horizontalScrollBar_)
        horizontalScrollBar_->Follow(scrollable.width, viewport.width, horizontalOffset_);
}

void ScrollViewer::MakeVisible(Element& descendant) {
    ov::ComPtr<Element> target(&descendant);
    Command([this, target] { BringIntoViewNow(*target); });
}

void ScrollViewer::BringIntoViewNow(Element& descendant) {
    if (!IsAncestorOf(descendant)) return;
    if (Scroller() && verticalBar_ != BarVisibility::Disabled) Scroller()->MakeVisible(descendant);
    const RECT& view = presenter_ ? presenter_->Bounds() : Bounds();
    const RECT& r = descendant.Bounds();
    if (!Scroller() && verticalBar_ != BarVisibility::Disabled) {
        if (r.top < view.top)
            ScrollTo(false, verticalOffset_ - (view.top - r.top));
        else if (r.bottom > view.bottom)
            ScrollTo(false, verticalOffset_ + (r.bottom - view.bottom));
    }
    if (horizontalBar_ != BarVisibility::Disabled) {
        if (r.left < view.left)
            ScrollTo(true, horizontalOffset_ - (view.left - r.left));
        else if (r.right > view.right)
            ScrollTo(true, horizontalOffset_ + (r.right - view.right));
    }
    // The viewer around this one brings the descendant into its own view after the next pass.
    for (Element* e = Parent(); e; e = e->Parent())
        if (auto* outer = dynamic_cast<ScrollViewer*>(e)) {
            outer->MakeVisible(descendant);
            break;
        }
}

// WPF's two passes: the bars whose visibility is Visible are shown, then an Auto bar joins them when the
// content overflows its direction (and, both being Auto, the other one again once a bar took its room).
Size ScrollViewer::MeasureOverride(Size available) {
    const bool verticalAuto = verticalBar_ == BarVisibility::Auto;
    const bool horizontalAuto = horizontalBar_ == BarVisibility::Auto;
    verticalShown_ = verticalBar_ == BarVisibility::Visible;
    horizontalShown_ = horizontalBar_ == BarVisibility::Visible;
    grid_->Measure(available);
    auto overflows = [this](bool horizontal) {
        const Size content = presenter_->ContentSize(), room = presenter_->Constraint();
        return horizontal ? GreaterThan(content.width, room.width) : GreaterThan(content.height, room.height);
    };
    if (verticalAuto || horizontalAuto) {
        const bool vertical = verticalAuto && overflows(false);
        const bool horizontal = horizontalAuto && overflows(true);
        verticalShown_ = verticalShown_ || vertical;
        horizontalShown_ = horizontalShown_ || horizontal;
        if (vertical || horizontal) {
            grid_->InvalidateMeasure();
            grid_->Measure(available);
        }
        if (verticalAuto && horizontalAuto && vertical != horizontal) {
            const bool vertical2 = !vertical && overflows(false);
            const bool horizontal2 = !horizontal && overflows(true);
            verticalShown_ = verticalShown_ || vertical2;
            horizontalShown_ = horizontalShown_ || horizontal2;
            if (vertical2 || horizontal2) {
                grid_->InvalidateMeasure();
                grid_->Measure(available);
            }
        }
    }
    // The bars' Visibility follows (ComputedVerticalScrollBarVisibility): changed only when it differs.
    verticalScrollBar_->SetVisibility(verticalShown_ ? Visibility::Visible : Visibility::Collapsed);
    horizontalScrollBar_->SetVisibility(horizontalShown_ ? Visibility::Visible : Visibility::Collapsed);
    extent_ = presenter_->ContentSize();
    return grid_->DesiredSize();
}

void ScrollViewer::ArrangeOverride(Rect inner) {
    grid_->Arrange(inner);
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {
namespace {

ScrollViewer::BarVisibility ToBarVisibility(std::wstring_view v) {
    return static_cast<ScrollViewer::BarVisibility>(
        EnumValue(v, {L"Disabled", L"Auto", L"Hidden", L"Visible"}));
}

// The viewer itself, or the scroll host of an items control that the attached property is set on; null
// for another element, where WPF keeps the attached value without effect.
ScrollViewer* ViewerOf(Node& n) {
    if (auto* viewer = dynamic_cast<ScrollViewer*>(n.element)) return viewer;
    if (auto* items = dynamic_cast<ItemsControl*>(n.element); items && items->ScrollHost())
        return items->ScrollHost();
    return nullptr;
}

void SetBars(Node& n, std::wstring_view v, bool horizontal) {
    const ScrollViewer::BarVisibility visibility = ToBarVisibility(v);
    if (ScrollViewer* viewer = ViewerOf(n)) viewer->SetBarVisibility(horizontal, visibility);
}

void SetCanContentScroll(Node& n, std::wstring_view v) {
    const bool can = ToBool(v);
    if (ScrollViewer* viewer = ViewerOf(n)) viewer->SetCanContentScroll(can);
}

} // namespace

std::vector<Type> ScrollViewerTypes() {
    return {
        {.name = L"ScrollViewer",
         .className = L"System.Windows.Controls.ScrollViewer",
         .base = L"ContentControl",
         .make = &Make<ScrollViewer>,
         .properties =
             {
                 {L"HorizontalScrollBarVisibility",
                  [](Node& n, std::wstring_view v) { SetBars(n, v, true); }},
                 {L"VerticalScrollBarVisibility", [](Node& n, std::wstring_view v) { SetBars(n, v, false); }},
                 {L"CanContentScroll", &SetCanContentScroll},
             },
         .content = Content::Single,
         .textProperty = L"Content",
         .attached =
             {{L"HorizontalScrollBarVisibility", [](Node& n, std::wstring_view v) { SetBars(n, v, true); }},
              {L"VerticalScrollBarVisibility", [](Node& n, std::wstring_view v) { SetBars(n, v, false); }},
              // On an items control it reaches the viewer of its template, as the styles' bindings do.
              {L"CanContentScroll", &SetCanContentScroll}}},
    };
}

} // namespace xaml

} // namespace wpfsim
