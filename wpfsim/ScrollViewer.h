// The scroll viewer, with WPF's rules:
//
//   ScrollViewer       "HorizontalOffset", "VerticalOffset", "ExtentWidth", "ExtentHeight", "ViewportWidth",
//                      "ViewportHeight", "ScrollableWidth", "ScrollableHeight", "ScrollToHorizontalOffset",
//                      "ScrollToVerticalOffset" (NaN: ArgumentOutOfRangeException "'offset' parameter value
//                      cannot be NaN."), "LineUp", "LineDown", "LineLeft", "LineRight" (16 pixels, or one
//                      item for a panel that scrolls by items), "PageUp", "PageDown", "PageLeft", "PageRight"
//                      (a viewport), "ScrollToTop", "ScrollToBottom", "ScrollToLeftEnd", "ScrollToRightEnd",
//                      "ScrollToHome", "ScrollToEnd", "HorizontalScrollBarVisibility" (Disabled by default),
//                      "VerticalScrollBarVisibility" (Visible by default; get, put: 0 Disabled, 1 Auto,
//                      2 Hidden, 3 Visible), "ComputedHorizontalScrollBarVisibility",
//                      "ComputedVerticalScrollBarVisibility" (0 Visible, 2 Collapsed). Offsets clamp to
//                      [0, scrollable]; a direction whose scroll bar visibility is Disabled has no scrollable
//                      extent; "CanContentScroll" (get, put; false unless a control's style sets it, as the
//                      list box's and the combo box's do): an items panel (a StackPanel or a
//                      VirtualizingStackPanel) then scrolls its content by items, counting extent, viewport
//                      and offset in items, as WPF's IScrollInfo panels do, whether it virtualizes or not.
//                      Focusable (a control's default; IsTabStop false): the templates of other controls set
//                      their viewers' Focusable false as Aero2's do.
//   template           WPF's default: the Grid "Grid" of a content cell and an Auto column and row,
//                      holding the Rectangle "Corner", the ScrollContentPresenter
//                      "PART_ScrollContentPresenter" (the content, clipped to the viewport and shifted by
//                      the offsets) and the ScrollBars
//                      "PART_VerticalScrollBar" and "PART_HorizontalScrollBar" (17 thick). A bar is shown
//                      (Visible) when its visibility is Visible, or Auto and the content overflows that
//                      direction; otherwise it is Collapsed and takes no room. The bars show the offset
//                      (Maximum: the scrollable room, ViewportSize: the viewport) and their line and page
//                      buttons scroll the viewer; a bar with nothing to scroll is disabled. As WPF's, the
//                      viewer queues what it is asked ("ScrollToHorizontalOffset", "ScrollToVerticalOffset",
//                      a descendant's "BringIntoView") and carries it out after the next layout pass; the
//                      offsets it answers are those of the last layout.
#pragma once

#include "ContentControl.h"

#include <algorithm>
#include <functional>

namespace wpfsim {

class ScrollBar;
class ScrollContentPresenter;

class ScrollViewer : public ContentControl {
public:
    enum class BarVisibility { Disabled = 0, Auto = 1, Hidden = 2, Visible = 3 };
    ScrollViewer(Application& app, std::wstring className, std::wstring name);

    double HorizontalOffset() const;
    double VerticalOffset() const;
    // Throw ArgumentOutOfRangeException for NaN, as WPF's do.
    void ScrollToHorizontalOffset(double offset);
    void ScrollToVerticalOffset(double offset);
    // A line (16 pixels or one item) or a page (the viewport) up or down, left or right.
    void ScrollBy(bool horizontal, bool page, double direction);
    // Extent, viewport and scrollable room in the scrolling unit (pixels, or items for a panel that
    // scrolls by items).
    Size Extent() const;
    Size Viewport() const;
    Size Scrollable() const;
    void SetBarVisibility(bool horizontal, BarVisibility visibility);
    BarVisibility GetBarVisibility(bool horizontal) const noexcept {
        return horizontal ? horizontalBar_ : verticalBar_;
    }
    // Whether the template's bar of that direction is shown now (its computed visibility).
    bool BarShown(bool horizontal) const;
    // Scrolls so that a descendant is inside the viewport, after the next layout pass; the scroll viewers
    // around this one follow in turn (as BringIntoView does).
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
    friend class ScrollContentPresenter;
    // The queued work of the viewer, carried out after a layout pass.
    void Command(std::function<void()> command);
    void ScrollTo(bool horizontal, double offset);
    void BringIntoViewNow(Element& descendant);
    double Clamp(double offset, double scrollable) const {
        return std::max(0.0, std::min(offset, scrollable));
    }
    // The bars show the viewer's state (WPF binds them to it).
    void ShowOnBars();
    ItemScroller* scroller_ = nullptr;
    ScrollContentPresenter* presenter_ = nullptr;
    Element* grid_ = nullptr;
    ScrollBar* verticalScrollBar_ = nullptr;
    ScrollBar* horizontalScrollBar_ = nullptr;
    bool verticalShown_ = false, horizontalShown_ = false;
    BarVisibility horizontalBar_ = BarVisibility::Disabled, verticalBar_ = BarVisibility::Visible;
    bool canContentScroll_ = false;
    double horizontalOffset_ = 0, verticalOffset_ = 0;
    Size extent_, viewport_;
};

} // namespace wpfsim
