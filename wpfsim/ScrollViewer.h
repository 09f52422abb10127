// The scroll viewer, with WPF's rules:
//
//   ScrollViewer       "HorizontalOffset", "VerticalOffset", "ExtentWidth", "ExtentHeight", "ViewportWidth",
//                      "ViewportHeight", "ScrollableWidth", "ScrollableHeight", "ScrollToHorizontalOffset",
//                      "ScrollToVerticalOffset", "ComputedHorizontalScrollBarVisibility"... offsets clamp to
//                      [0, scrollable]; a direction whose scroll bar visibility is Disabled has no scrollable
//                      extent; a panel that scrolls by items (a virtualizing panel) counts its extent,
//                      viewport and offset in items, as WPF's do. As WPF's, the viewer queues what it is
//                      asked ("ScrollToHorizontalOffset", "ScrollToVerticalOffset", a descendant's
//                      "BringIntoView") and carries it out after the next layout pass; the offsets it
//                      answers are those of the last layout
//   ScrollContentPresenter  the template part that measures the content without limit in the directions
//                      that scroll and arranges it shifted by the offsets
#pragma once

#include "ContentControl.h"

#include <algorithm>

namespace wpfsim {

class ScrollViewer;

class ScrollContentPresenter : public ContentPresenter {
public:
    ScrollContentPresenter(Application& app, std::wstring className, std::wstring name, ScrollViewer& viewer);

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    ScrollViewer* viewer_;
};

class ScrollViewer : public ContentControl {
public:
    enum class BarVisibility { Disabled = 0, Auto = 1, Hidden = 2, Visible = 3 };
    ScrollViewer(Application& app, std::wstring className, std::wstring name);

    double HorizontalOffset() const;
    double VerticalOffset() const;
    void ScrollToHorizontalOffset(double offset);
    void ScrollToVerticalOffset(double offset);
    // Extent, viewport and scrollable room in the scrolling unit (pixels, or items for a panel that
    // scrolls by items).
    Size Extent() const;
    Size Viewport() const;
    Size Scrollable() const;
    void SetBarVisibility(bool horizontal, BarVisibility visibility);
    BarVisibility GetBarVisibility(bool horizontal) const noexcept {
        return horizontal ? horizontalBar_ : verticalBar_;
    }
    // Scrolls so that a descendant is inside the viewport, after the next layout pass; the scroll viewers
    // around this one follow in turn (as BringIntoView does).
    void MakeVisible(Element& descendant);

    // A panel that scrolls by items sets itself here (WPF's IScrollInfo); it then answers for the offsets.
    struct ItemScroller {
        virtual ~ItemScroller() = default;
        virtual double ItemCount() const = 0;
        virtual double ItemsInView() const = 0;
        virtual double FirstItem() const = 0;
        virtual void SetFirstItem(double first) = 0;
    };
    void SetItemScroller(ItemScroller* scroller) noexcept { scroller_ = scroller; }

protected:
    void OnApplyTemplate() override;

private:
    friend class ScrollContentPresenter;
    // The queued work of the viewer, carried out after a layout pass.
    void Command(std::function<void()> command);
    void ScrollTo(bool horizontal, double offset);
    void BringIntoViewNow(Element& descendant);
    double Clamp(double offset, double scrollable) const {
        return std::max(0.0, std::min(offset, scrollable));
    }
    ItemScroller* scroller_ = nullptr;
    Element* presenter_ = nullptr;
    BarVisibility horizontalBar_ = BarVisibility::Disabled, verticalBar_ = BarVisibility::Visible;
    double horizontalOffset_ = 0, verticalOffset_ = 0;
    Size extent_, viewport_;
};

} // namespace wpfsim
