#include "ScrollViewer.h"

#include "Items.h"
#include "Panels.h"
#include "XamlSchema.h"

#include <algorithm>
#include <cmath>

namespace wpfsim {

// --- ScrollViewer ---------------------------------------------------------------------------------------

ScrollViewer::ScrollViewer(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    SetFocusable(false);
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
    AddProperty(L"HorizontalScrollBarVisibility",
                [this] { return ov::Variant::Int(static_cast<LONG>(horizontalBar_)); });
    AddProperty(L"VerticalScrollBarVisibility",
                [this] { return ov::Variant::Int(static_cast<LONG>(verticalBar_)); });
    AddMethod(L"ScrollToHorizontalOffset", 1, [this](const Args& a) {
        ScrollToHorizontalOffset(DoubleOf(a[0]));
        return ov::Variant();
    });
    AddMethod(L"ScrollToVerticalOffset", 1, [this](const Args& a) {
        ScrollToVerticalOffset(DoubleOf(a[0]));
        return ov::Variant();
    });
}

void ScrollViewer::OnApplyTemplate() {
    // The content sits in a ScrollContentPresenter that clips it to the viewport.
    auto& grid = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"");
    auto& presenter = MakePart<ContentPresenter>(grid, L"System.Windows.Controls.ScrollContentPresenter",
                                                 L"PART_ScrollContentPresenter");
    presenter_ = &presenter;
    SetPresenter(&presenter);
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
    if (std::isnan(offset)) return;
    horizontalOffset_ = Clamp(offset, Scrollable().width);
    InvalidateLayout();
}

void ScrollViewer::ScrollToVerticalOffset(double offset) {
    if (std::isnan(offset)) return;
    double clamped = Clamp(offset, Scrollable().height);
    if (Scroller())
        Scroller()->SetFirstItem(std::floor(clamped));
    else
        verticalOffset_ = clamped;
    InvalidateLayout();
}

void ScrollViewer::SetBarVisibility(bool horizontal, BarVisibility visibility) {
    (horizontal ? horizontalBar_ : verticalBar_) = visibility;
    InvalidateLayout();
}

void ScrollViewer::SetCanContentScroll(bool can) {
    canContentScroll_ = can;
    InvalidateLayout();
}

void ScrollViewer::MakeVisible(Element& descendant) {
    if (Scroller() && verticalBar_ != BarVisibility::Disabled) Scroller()->MakeVisible(descendant);
    const RECT& view = presenter_ ? presenter_->Bounds() : Bounds();
    const RECT& r = descendant.Bounds();
    if (!Scroller() && verticalBar_ != BarVisibility::Disabled) {
        if (r.top < view.top)
            ScrollToVerticalOffset(verticalOffset_ - (view.top - r.top));
        else if (r.bottom > view.bottom)
            ScrollToVerticalOffset(verticalOffset_ + (r.bottom - view.bottom));
    }
    if (horizontalBar_ != BarVisibility::Disabled) {
        if (r.left < view.left)
            ScrollToHorizontalOffset(horizontalOffset_ - (view.left - r.left));
        else if (r.right > view.right)
            ScrollToHorizontalOffset(horizontalOffset_ + (r.right - view.right));
    }
}

Size ScrollViewer::MeasureOverride(Size available) {
    // The content is measured without limit in the directions that scroll.
    Size limit{horizontalBar_ == BarVisibility::Disabled ? available.width : Infinity,
               verticalBar_ == BarVisibility::Disabled ? available.height : Infinity};
    Size content;
    for (Element* child : Children()) {
        child->Measure(limit);
        content = child->DesiredSize();
    }
    extent_ = content;
    return {std::min(content.width, available.width), std::min(content.height, available.height)};
}

void ScrollViewer::ArrangeOverride(Rect inner) {
    viewport_ = {inner.width, inner.height};
    Size scrollable = Scrollable();
    horizontalOffset_ = Clamp(horizontalOffset_, scrollable.width);
    if (!Scroller()) verticalOffset_ = Clamp(verticalOffset_, scrollable.height);
    // The template's grid and presenter fill the viewport; the content beneath is shifted by the offsets.
    for (Element* child : Children())
        child->Arrange(inner);
    if (presenter_)
        for (Element* content : presenter_->Children())
            content->Arrange({inner.x - horizontalOffset_, inner.y - (Scroller() ? 0 : verticalOffset_),
                              std::max(extent_.width, inner.width),
                              Scroller() ? inner.height : std::max(extent_.height, inner.height)});
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {
namespace {

ScrollViewer::BarVisibility ToBarVisibility(std::wstring_view v) {
    return static_cast<ScrollViewer::BarVisibility>(
        EnumValue(v, {L"Disabled", L"Auto", L"Hidden", L"Visible"}));
}

// The viewer itself, or the scroll host of an items control that the attached property is set on.
ScrollViewer& ViewerOf(Node& n) {
    if (auto* viewer = dynamic_cast<ScrollViewer*>(n.element)) return *viewer;
    if (auto* items = dynamic_cast<ItemsControl*>(n.element); items && items->ScrollHost())
        return *items->ScrollHost();
    throw ValueError{L"the element has no ScrollViewer"};
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
                  [](Node& n, std::wstring_view v) {
                      ViewerOf(n).SetBarVisibility(true, ToBarVisibility(v));
                  }},
                 {L"VerticalScrollBarVisibility",
                  [](Node& n, std::wstring_view v) {
                      ViewerOf(n).SetBarVisibility(false, ToBarVisibility(v));
                  }},
                 {L"CanContentScroll",
                  [](Node& n, std::wstring_view v) { ViewerOf(n).SetCanContentScroll(ToBool(v)); }},
             },
         .content = Content::Single,
         .textProperty = L"Content",
         .attached =
             {{L"HorizontalScrollBarVisibility",
               [](Node& n, std::wstring_view v) { ViewerOf(n).SetBarVisibility(true, ToBarVisibility(v)); }},
              {L"VerticalScrollBarVisibility",
               [](Node& n, std::wstring_view v) { ViewerOf(n).SetBarVisibility(false, ToBarVisibility(v)); }},
              // On an items control it reaches the viewer of its template, as the styles' bindings do.
              {L"CanContentScroll",
               [](Node& n, std::wstring_view v) { ViewerOf(n).SetCanContentScroll(ToBool(v)); }}}},
    };
}

} // namespace xaml

} // namespace wpfsim
