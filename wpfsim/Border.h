// The border, with WPF's layout rules:
//
//   Border             "Child" with its "Padding"
#pragma once

#include "Framework.h"

namespace wpfsim {

class Border : public FrameworkElement {
public:
    using FrameworkElement::FrameworkElement;
    Thickness padding;
    void AddChild(Element& child) override;

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;
};

} // namespace wpfsim
