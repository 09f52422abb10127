// The scroll viewer, with WPF's rules:
//
//   ScrollViewer       "HorizontalOffset", "VerticalOffset", "ExtentWidth", "ExtentHeight", "ViewportWidth",
//                      "ViewportHeight", "ScrollableWidth", "ScrollableHeight", "ScrollToHorizontalOffset",
//                      "ScrollToVerticalOffset", "ComputedHorizontalScrollBarVisibility"... offsets clamp to
//                      [0, scrollable]; a direction whose scroll bar visibility is Disabled has no scrollable
//                      extent; "CanContentScroll" (get, put; false unless a control's style sets it, as the
//                      list box's and the combo box's do): an items panel (a StackPanel or a
//                      VirtualizingStackPanel) then scrolls its content by items, counting extent, viewport
//                      and offset in items, as WPF's IScrollInfo panels do, whether it virtualizes or not
#pragma once

#include "ContentControl.h"

#include <algorithm>

namespace wpfsim {

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
    // Scrolls so that a descendant is inside the viewport (as BringIntoView does).
    void MakeVisible(Element& descendant);
    bool CanContentScroll() const noexcept { return canContentScroll_; }
    void SetCanContentScroll(bool can);

    // A panel that can scroll by items sets itself here (WPF's IScrollInfo); while the viewer's
    // CanContentScroll is true it answers for the vertical offsets.
    struct ItemScroller {
        virtual ~ItemScroller() = default;
        virtual double ItemCount() const = 0;
        virtual double ItemsInView() const = 0;
        virtual double FirstItem() const = 0;
        virtual void SetFirstItem(double first) = 0;
        // Scrolls the item that holds the descendant into view.
        virtual void MakeVisible(Element& descendant) = 0;
    };
    void SetItemScroller(ItemScroller* scroller) noexcept { scroller_ = scroller; }
    // The panel that scrolls by items now, or null (pixels).
    ItemScroller* Scroller() const noexcept { return canContentScroll_ ? scroller_ : nullptr; }

protected:
    void OnApplyTemplate() override;
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    double Clamp(double offset, double scrollable) const {
        return std::max(0.0, std::min(offset, scrollable));
    }
    ItemScroller* scroller_ = nullptr;
    Element* presenter_ = nullptr;
    BarVisibility horizontalBar_ = BarVisibility::Disabled, verticalBar_ = BarVisibility::Visible;
    bool canContentScroll_ = false;
    double horizontalOffset_ = 0, verticalOffset_ = 0;
    Size extent_, viewport_;
};

} // namespace wpfsim
