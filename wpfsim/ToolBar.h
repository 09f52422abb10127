// The toolbars of the simulated application and their tray, as WPF builds them.
#pragma once

#include "Items.h"
#include "Popup.h"

namespace wpfsim {

// A toolbar's items sit on the bar (the "PART_ToolBarPanel") or in the overflow panel
// ("PART_ToolBarOverflowPanel", in the "OverflowPopup"; its items are not "IsVisible" while it is closed).
// ToolBar.OverflowMode Always sends an item to the overflow panel, Never keeps it on the bar; AsNeeded
// items stay on the bar in item order while they fit beside the Never items and the overflow button, and
// from the first one that does not fit on they all overflow. "IsOverflowOpen" (get, put) opens the panel,
// as a left press on the "OverflowButton" does.
class ToolBar : public ItemsControl {
public:
    ToolBar(Application& app, std::wstring className, std::wstring name);
    bool IsOverflowOpen() const noexcept { return overflow_ && overflow_->IsOpen(); }
    void SetOverflowOpen(bool open);
    enum class OverflowMode { AsNeeded, Always, Never };
    void SetOverflowMode(Element& item, OverflowMode mode);
    // Whether the item's element sits in the overflow panel now (after the layout).
    bool InOverflow(const Element& item) const;

protected:
    void OnApplyTemplate() override;
    void PrepareContainer(Element& container, size_t index) override;
    Size MeasureOverride(Size available) override;
    void OnMouseDown(MouseEvent& e) override;

private:
    void Place(Element& item);
    // Moves the items between the bar and the overflow panel for a bar `width` wide.
    void Reflow(double width);
    Element* mainPanel_ = nullptr;
    Element* overflowPanel_ = nullptr;
    Element* overflowButton_ = nullptr;
    Popup* overflow_ = nullptr;
};

// The bands of toolbars: its content is ToolBars only, laid out side by side ("Orientation" Horizontal) or
// one above the other.
class ToolBarTray : public StackPanel {
public:
    ToolBarTray(Application& app, std::wstring className, std::wstring name);
    void AddChild(Element& child) override;
};

} // namespace wpfsim
