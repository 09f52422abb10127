// The shapes of the simulated application (System.Windows.Shapes), with WPF's sizes:
//
//   Shape      "Fill" and "Stroke" (brushes, read and checked, not shown), "StrokeThickness" (get, put; 1),
//              "Stretch" (get: 0 None, 1 Fill, 2 Uniform, 3 UniformToFill)
//   Rectangle, Ellipse  Stretch Fill: they fill what they are given and need only their stroke
//              (Rectangle "RadiusX", "RadiusY")
//   Line       "X1", "Y1", "X2", "Y2"; Polyline and Polygon "Points" (pairs of numbers); Path "Data" (WPF's
//              path markup, checked: M, L, H, V, C, S, Q, T, A and Z, absolute or relative, F0/F1 first).
//              With Stretch None (their default) they need the room up to the right and bottom of their
//              points (a curve's control points included, which may be more than WPF's tight bounds) and
//              half their stroke; stretched, they take what they are given as the others do.
// Shapes take no input of their own; a click on one reaches the elements under it on its route.
#pragma once

#include "Framework.h"
#include "Viewbox.h"

#include <vector>

namespace wpfsim {

struct ShapePoint {
    double x = 0, y = 0;
};

class Shape : public FrameworkElement {
public:
    Shape(Application& app, std::wstring className, std::wstring name, Stretch stretch);
    double StrokeThickness() const noexcept { return strokeThickness_; }
    void SetStrokeThickness(double thickness) {
        strokeThickness_ = thickness;
        InvalidateLayout();
    }
    void SetStretch(Stretch stretch) {
        stretch_ = stretch;
        InvalidateLayout();
    }
    // The points that bound the shape's geometry (none for Rectangle and Ellipse).
    void SetPoints(std::vector<ShapePoint> points) {
        points_ = std::move(points);
        InvalidateLayout();
    }

protected:
    Size MeasureOverride(Size available) override;

private:
    double strokeThickness_ = 1;
    Stretch stretch_;
    std::vector<ShapePoint> points_;
};

class Rectangle : public Shape {
public:
    Rectangle(Application& app, std::wstring className, std::wstring name);
    double radiusX = 0, radiusY = 0;
};

class Ellipse : public Shape {
public:
    Ellipse(Application& app, std::wstring className, std::wstring name)
        : Shape(app, std::move(className), std::move(name), Stretch::Fill) {}
};

class Line : public Shape {
public:
    Line(Application& app, std::wstring className, std::wstring name);
    double ends[4] = {}; // X1, Y1, X2, Y2
    void Update() { SetPoints({{ends[0], ends[1]}, {ends[2], ends[3]}}); }
};

// Polyline, Polygon and Path: their geometry's points.
class PointShape : public Shape {
public:
    PointShape(Application& app, std::wstring className, std::wstring name)
        : Shape(app, std::move(className), std::move(name), Stretch::None) {}
};

} // namespace wpfsim
