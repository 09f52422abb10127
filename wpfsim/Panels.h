// The panels, with WPF's layout rules:
//
//   Panel kinds        StackPanel ("Orientation"), WrapPanel, DockPanel (DockPanel.Dock, the last child
//                      fills), Grid (rows and columns sized by content or fixed, Grid.Row/Column/...Span),
//                      Canvas (Canvas.Left/Top); "Children" is their content
#pragma once

#include "Framework.h"

#include <vector>

namespace wpfsim {

class Panel : public FrameworkElement {
public:
    using FrameworkElement::FrameworkElement;
    void AddChild(Element& child) override;
};

class StackPanel : public Panel {
public:
    StackPanel(Application& app, std::wstring className, std::wstring name);
    bool Horizontal() const noexcept { return horizontal_; }
    void SetHorizontal(bool horizontal) {
        horizontal_ = horizontal;
        InvalidateLayout();
    }

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    bool horizontal_ = false;
};

class WrapPanel : public StackPanel {
public:
    WrapPanel(Application& app, std::wstring className, std::wstring name);

protected:
    void ArrangeOverride(Rect inner) override;
};

class DockPanel : public Panel {
public:
    using Panel::Panel;
    // WPF's docking of children in order, the last filling what is left (also a StatusBar's items panel).
    static Size MeasureDocked(const std::vector<Element*>& children, Size available);
    static void ArrangeDocked(const std::vector<Element*>& children, Rect r);

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;
};

class Grid : public Panel {
public:
    using Panel::Panel;
    // Row heights and column widths: a number, Auto (sized to content), or a star share stored as its
    // negated weight ("2*" is -2).
    std::vector<double> rows, columns;

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    // The definitions, grown with Auto tracks to reach every child's cell.
    void Definitions(std::vector<double>& rowDefs, std::vector<double>& columnDefs) const;
    void Tracks(std::vector<double>& rowSizes, std::vector<double>& columnSizes, Size room) const;
};

class Canvas : public Panel {
public:
    using Panel::Panel;

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;
};

} // namespace wpfsim
