// The toolbars of the simulated application and their tray, as WPF builds them.
#pragma once

#include "Items.h"
#include "Popup.h"

namespace wpfsim {

class ToggleButton;
class ToolBarTray;

// WPF's ToolBar (a headered items control, not focusable). Its items sit on the bar (the ToolBarPanel
// "PART_ToolBarPanel") or in the overflow panel (the ToolBarOverflowPanel "PART_ToolBarOverflowPanel" in
// the Popup "OverflowPopup"; its items are not "IsVisible" while the popup is closed, and an overflowing
// Separator is shown nowhere). ToolBar.OverflowMode Always sends an item to the overflow panel, Never keeps
// it on the bar; the AsNeeded items stay on the bar in item order while they fit in the panel's width
// beside the Never items, and from the first one that does not fit on they all overflow. The panel's
// width is what the toolbar is given: its own Width, or what its parent offers (a ToolBarTray, the
// window's width).
//
// Members: "IsOverflowOpen" (get, put: true waits until the toolbar is loaded), "HasOverflowItems",
// "Orientation" (the tray's; 0 Horizontal, 1 Vertical), "Band", "BandIndex" (get, put), "Header". Aero2's
// template: the Grid "Grid" holding the Grid "OverflowGrid" (right-aligned: the ToggleButton
// "OverflowButton", enabled only while something overflows, ClickMode Press, checked while the overflow is
// open; and the popup) and the Border "MainPanelBorder" (a DockPanel of the Thumb "ToolBarThumb", the
// ContentPresenter "ToolBarHeader", collapsed without a header, and the items panel). While the overflow is
// open the toolbar has the mouse (WPF's capture of its subtree): a press outside it closes the overflow
// and goes no further; a press inside it that no element takes closes it too; a Click of one of its own
// buttons closes it.
class ToolBar : public HeaderedItemsControl {
public:
    ToolBar(Application& app, std::wstring className, std::wstring name);
    bool IsOverflowOpen() const noexcept { return overflow_ && overflow_->IsOpen(); }
    // As setting "IsOverflowOpen" (true waits until the toolbar is loaded).
    void SetOverflowOpen(bool open);
    bool HasOverflowItems() const noexcept { return hasOverflowItems_; }
    enum class OverflowMode { AsNeeded, Always, Never };
    void SetOverflowMode(Element& item, OverflowMode mode);
    // Whether the item's element sits in the overflow panel now (after the layout).
    bool InOverflow(const Element& item) const;
    int Band() const noexcept { return band_; }
    int BandIndex() const noexcept { return bandIndex_; }
    void SetBand(int band) {
        band_ = band;
        InvalidateLayout();
    }
    void SetBandIndex(int index) {
        bandIndex_ = index;
        InvalidateLayout();
    }
    // Horizontal unless its tray is vertical.
    bool Horizontal() const noexcept;
    // The toolbar's length with only its Never items on the bar (WPF's MinLength), from its last measure.
    double MinLength() const noexcept { return minLength_; }
    // Places the items between the bar and the overflow panel for a bar whose panel is `extent` long.
    void Reflow(double extent);
    // The header shows in "ToolBarHeader", which is collapsed without one.
    void SetHeader(std::wstring text);
    void SetHeaderElement(Element* element);

protected:
    void OnApplyTemplate() override;
    void PrepareContainer(Element& container, size_t index) override;
    bool PanelShows(const Element& container) const noexcept override;
    Size MeasureOverride(Size available) override;
    void OnMouseDown(MouseEvent& e) override;

private:
    void ApplyOrientation();
    VirtualizingStackPanel* mainPanel_ = nullptr;
    Element* overflowPanel_ = nullptr;
    Element* overflowGrid_ = nullptr;
    ToggleButton* overflowButton_ = nullptr;
    Element* grid_ = nullptr;
    Element* mainBorder_ = nullptr;
    Element* thumb_ = nullptr;
    ContentPresenter* header_ = nullptr;
    Popup* overflow_ = nullptr;
    OpenOnLoad openOnLoad_;
    bool hasOverflowItems_ = false;
    std::vector<Element*> overflowing_;
    bool horizontal_ = true;
    double minLength_ = 0, panelMinLength_ = 0;
    int band_ = 0, bandIndex_ = 0;
};

// WPF's ToolBarTray: its content is ToolBars only, in bands by their "Band" (in order of Band, then
// BandIndex): a band is a row ("Orientation" Horizontal, the default) or a column. Each band's toolbars
// share the tray's length: each is measured with what the band has left after the MinLength of those after
// it, so that a tray narrower than its bars makes them overflow.
class ToolBarTray : public FrameworkElement {
public:
    ToolBarTray(Application& app, std::wstring className, std::wstring name);
    void AddChild(Element& child) override;
    bool Horizontal() const noexcept { return horizontal_; }
    void SetHorizontal(bool horizontal) {
        horizontal_ = horizontal;
        InvalidateLayout();
    }

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    // The toolbars band by band, each band in its order.
    std::vector<std::vector<ToolBar*>> Bands() const;
    bool horizontal_ = true;
    std::vector<double> thickness_;
};

} // namespace wpfsim
