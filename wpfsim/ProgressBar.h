// The progress bar of the simulated application: "System.Windows.Controls.ProgressBar", a RangeBase with
// "Maximum" 100 by default, "IsIndeterminate" (get, put) and "Orientation" (0 Horizontal, the default, or
// 1 Vertical); it takes no focus. Template (Aero2): the Grid "TemplateRoot" holding a Border, the Rectangle
// "PART_Track" and the Grid "PART_Indicator" with the Rectangles "Indicator" and "Animation". As WPF's
// SetProgressBarIndicatorLength, the indicator spans the track's share (Value - Minimum) / (Maximum -
// Minimum) from the left (from the bottom when vertical), or all of it while indeterminate (WPF animates
// it; the simulation does not).
#pragma once

#include "Ranges.h"

namespace wpfsim {

class ProgressBar : public RangeBase {
public:
    ProgressBar(Application& app, std::wstring className, std::wstring name);
    bool IsIndeterminate() const noexcept { return indeterminate_; }
    void SetIndeterminate(bool indeterminate) {
        indeterminate_ = indeterminate;
        InvalidateLayout();
    }
    double ThumbLength(double) const override { return 0; }

protected:
    void OnApplyTemplate() override;
    void ArrangeOverride(Rect inner) override;

private:
    bool indeterminate_ = false;
    Element* track_ = nullptr;
    Element* indicator_ = nullptr;
};

} // namespace wpfsim
