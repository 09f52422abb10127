#include "ScrollViewer.h"

#include "Application.h"
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
    auto& presenter = MakePart<ScrollContentPresenter>(
        grid, L"System.Windows.Controls.ScrollContentPresenter", L"PART_ScrollContentPresenter", *this);
    presenter_ = &presenter;
    SetPresenter(&presenter);
}

double ScrollViewer::HorizontalOffset() const {
    Bounds();
    return horizontalOffset_;
}

double ScrollViewer::VerticalOffset() const {
    Bounds();
    return scroller_ ? scroller_->FirstItem() : verticalOffset_;
}

Size ScrollViewer::Extent() const {
    Bounds();
    return scroller_ ? Size{extent_.width, scroller_->ItemCount()} : extent_;
}

Size ScrollViewer::Viewport() const {
    Bounds();
    return scroller_ ? Size{viewport_.width, scroller_->ItemsInView()} : viewport_;
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
    Command([this, offset] { ScrollTo(true, offset); });
}

void ScrollViewer::ScrollToVerticalOffset(double offset) {
    if (std::isnan(offset)) return;
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
        if (scroller_)
            scroller_->SetFirstItem(std::floor(clamped));
        else
            verticalOffset_ = clamped;
    }
    InvalidateLayout();
}

void ScrollViewer::SetBarVisibility(bool horizontal, BarVisibility visibility) {
    (horizontal ? horizontalBar_ : verticalBar_) = visibility;
    InvalidateLayout();
}

void ScrollViewer::MakeVisible(Element& descendant) {
    ov::ComPtr<Element> target(&descendant);
    Command([this, target] { BringIntoViewNow(*target); });
}

void ScrollViewer::BringIntoViewNow(Element& descendant) {
    if (!IsAncestorOf(descendant)) return;
    const RECT& view = presenter_ ? presenter_->Bounds() : Bounds();
    const RECT& r = descendant.Bounds();
    if (!scroller_ && verticalBar_ != BarVisibility::Disabled) {
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

// --- ScrollContentPresenter -----------------------------------------------------------------------------

ScrollContentPresenter::ScrollContentPresenter(Application& app, std::wstring className, std::wstring name,
                                               ScrollViewer& viewer)
    : ContentPresenter(app, std::move(className), std::move(name)), viewer_(&viewer) {}

Size ScrollContentPresenter::MeasureOverride(Size available) {
    // The content is measured without limit in the directions that scroll.
    using Bar = ScrollViewer::BarVisibility;
    const Size limit{viewer_->horizontalBar_ == Bar::Disabled ? available.width : Infinity,
                     viewer_->verticalBar_ == Bar::Disabled ? available.height : Infinity};
    Size content;
    for (Element* child : Children()) {
        child->Measure(limit);
        content = child->DesiredSize();
    }
    viewer_->extent_ = content;
    return {std::min(content.width, available.width), std::min(content.height, available.height)};
}

void ScrollContentPresenter::ArrangeOverride(Rect inner) {
    ScrollViewer& v = *viewer_;
    v.viewport_ = {inner.width, inner.height};
    const Size scrollable = v.Scrollable();
    v.horizontalOffset_ = v.Clamp(v.horizontalOffset_, scrollable.width);
    if (!v.scroller_) v.verticalOffset_ = v.Clamp(v.verticalOffset_, scrollable.height);
    // The content beneath is shifted by the offsets; a panel that scrolls by items places its own.
    for (Element* content : Children())
        content->Arrange({inner.x - v.horizontalOffset_, inner.y - (v.scroller_ ? 0 : v.verticalOffset_),
                          std::max(v.extent_.width, inner.width),
                          v.scroller_ ? inner.height : std::max(v.extent_.height, inner.height)});
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
             },
         .content = Content::Single,
         .textProperty = L"Content",
         .attached =
             {{L"HorizontalScrollBarVisibility",
               [](Node& n, std::wstring_view v) { ViewerOf(n).SetBarVisibility(true, ToBarVisibility(v)); }},
              {L"VerticalScrollBarVisibility",
               [](Node& n, std::wstring_view v) { ViewerOf(n).SetBarVisibility(false, ToBarVisibility(v)); }},
              // Scrolling by pixels instead of items turns virtualization off, as in WPF.
              {L"CanContentScroll",
               [](Node& n, std::wstring_view v) {
                   if (!ToBool(v)) As<ItemsControl>(n).SetVirtualizing(false);
               }}}},
    };
}

} // namespace xaml

} // namespace wpfsim
