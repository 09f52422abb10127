// The layout elements of the simulated application beside the panels of Panels.h:
//
//   UniformGrid   "Rows", "Columns", "FirstColumn" (get, put; 0): cells of one size, as WPF's: without Rows
//                 and Columns a square of the children that are not Collapsed; with one of them the other
//                 follows from that count (and FirstColumn); a FirstColumn beyond the columns is taken back
//                 to 0. Children fill the cells in order from FirstColumn on; a collapsed child takes no
//                 cell.
//   GridSplitter  a Control (a Thumb in WPF), focusable, "ResizeDirection" (0 Auto, 1 Columns, 2 Rows),
//                 "ResizeBehavior", "ShowsPreview", "DragIncrement", "KeyboardIncrement"; template: a Border.
//                 It sits in a Grid cell as any element does. Dragging it is left out: the host's mouse only
//                 clicks, so the grid's tracks never change by it.
#pragma once

#include "Panels.h"

namespace wpfsim {

class UniformGrid : public Panel {
public:
    UniformGrid(Application& app, std::wstring className, std::wstring name);
    int rows = 0, columns = 0, firstColumn = 0;

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    // WPF's UpdateComputedValues: the rows and columns the layout uses.
    void Compute();
    int usedRows_ = 1, usedColumns_ = 1;
};

// The dragging primitive of scroll bars and splitters; it has no content and never drags here.
class Thumb : public Control {
public:
    Thumb(Application& app, std::wstring className, std::wstring name);

protected:
    void OnApplyTemplate() override;
};

class GridSplitter : public Thumb {
public:
    GridSplitter(Application& app, std::wstring className, std::wstring name);
    int resizeDirection = 0, resizeBehavior = 0;
    bool showsPreview = false;
    double dragIncrement = 1, keyboardIncrement = 10;
};

} // namespace wpfsim
