#include "UniformGrid.h"

#include "Border.h"
#include "XamlSchema.h"

#include <cmath>

namespace wpfsim {

// --- UniformGrid ----------------------------------------------------------------------------------------

UniformGrid::UniformGrid(Application& app, std::wstring className, std::wstring name)
    : Panel(app, std::move(className), std::move(name)) {
    auto property = [this](const wchar_t* name, int UniformGrid::*field) {
        AddProperty(
            name, [this, field] { return ov::Variant::Int(this->*field); },
            [this, field, name](const VARIANT& v) {
                const LONG value = IntOf(v);
                if (value < 0) throw InvalidPropertyValue(std::to_wstring(value), name);
                this->*field = value;
                InvalidateLayout();
            });
    };
    property(L"Rows", &UniformGrid::rows);
    property(L"Columns", &UniformGrid::columns);
    property(L"FirstColumn", &UniformGrid::firstColumn);
}

void UniformGrid::Compute() {
    usedColumns_ = columns;
    usedRows_ = rows;
    if (firstColumn >= usedColumns_) firstColumn = 0;
    if (usedRows_ == 0 || usedColumns_ == 0) {
        int shown = 0;
        for (Element* child : Children())
            if (child->GetVisibility() != Visibility::Collapsed) ++shown;
        if (shown == 0) shown = 1;
        if (usedRows_ == 0) {
            if (usedColumns_ > 0) {
                usedRows_ = (shown + firstColumn + (usedColumns_ - 1)) / usedColumns_;
            } else {
                usedRows_ = static_cast<int>(std::sqrt(static_cast<double>(shown)));
                if (usedRows_ * usedRows_ < shown) ++usedRows_;
                usedColumns_ = usedRows_;
            }
        } else if (usedColumns_ == 0) {
            usedColumns_ = (shown + (usedRows_ - 1)) / usedRows_;
        }
    }
}

Size UniformGrid::MeasureOverride(Size available) {
    Compute();
    const Size cell{available.width / usedColumns_, available.height / usedRows_};
    Size most;
    for (Element* child : Children()) {
        child->Measure(cell);
        most.width = std::max(most.width, child->DesiredSize().width);
        most.height = std::max(most.height, child->DesiredSize().height);
    }
    return {most.width * usedColumns_, most.height * usedRows_};
}

void UniformGrid::ArrangeOverride(Rect inner) {
    Rect cell{inner.x, inner.y, inner.width / usedColumns_, inner.height / usedRows_};
    const double step = cell.width, bound = inner.x + inner.width - 1.0;
    cell.x += cell.width * firstColumn;
    for (Element* child : Children()) {
        child->Arrange(cell);
        if (child->GetVisibility() == Visibility::Collapsed) continue;
        cell.x += step;
        if (cell.x >= bound) {
            cell.y += cell.height;
            cell.x = inner.x;
        }
    }
}

// --- GridSplitter ---------------------------------------------------------------------------------------

Thumb::Thumb(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)) {
    AddProperty(L"IsDragging", [] { return ov::Variant::Bool(false); });
}

void Thumb::OnApplyTemplate() {
    MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
}

GridSplitter::GridSplitter(Application& app, std::wstring className, std::wstring name)
    : Thumb(app, std::move(className), std::move(name)) {
    AddProperty(L"ResizeDirection", [this] { return ov::Variant::Int(resizeDirection); });
    AddProperty(L"ResizeBehavior", [this] { return ov::Variant::Int(resizeBehavior); });
    AddProperty(L"ShowsPreview", [this] { return ov::Variant::Bool(showsPreview); });
    AddProperty(L"DragIncrement", [this] { return ov::Variant::Double(dragIncrement); });
    AddProperty(L"KeyboardIncrement", [this] { return ov::Variant::Double(keyboardIncrement); });
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {
namespace {

// A whole number of 0 or more, as UniformGrid's validation takes it.
int ToCount(std::wstring_view value) {
    const long long number = ToInt32(value);
    if (number < 0) throw ValueError{L"a whole number of 0 or more expected"};
    return static_cast<int>(number);
}

// DragIncrement and KeyboardIncrement: a number above 0.
double ToIncrement(std::wstring_view value) {
    const double number = ToNumber(value);
    if (!(number > 0)) throw ValueError{L"a number above 0 expected"};
    return number;
}

} // namespace

std::vector<Type> UniformGridTypes() {
    return {
        {.name = L"UniformGrid",
         .className = L"System.Windows.Controls.Primitives.UniformGrid",
         .base = L"Panel",
         .make = &Make<UniformGrid>,
         .properties = {{L"Rows", [](Node& n, std::wstring_view v) { As<UniformGrid>(n).rows = ToCount(v); }},
                        {L"Columns",
                         [](Node& n, std::wstring_view v) { As<UniformGrid>(n).columns = ToCount(v); }},
                        {L"FirstColumn",
                         [](Node& n, std::wstring_view v) { As<UniformGrid>(n).firstColumn = ToCount(v); }}},
         .content = Content::Many},
        {.name = L"Thumb",
         .className = L"System.Windows.Controls.Primitives.Thumb",
         .base = L"Control",
         .make = &Make<Thumb>},
        {.name = L"GridSplitter",
         .className = L"System.Windows.Controls.GridSplitter",
         .base = L"Thumb",
         .make = &Make<GridSplitter>,
         .properties = {{L"ResizeDirection",
                         [](Node& n, std::wstring_view v) {
                             As<GridSplitter>(n).resizeDirection =
                                 static_cast<int>(EnumValue(v, {L"Auto", L"Columns", L"Rows"}));
                         }},
                        {L"ResizeBehavior",
                         [](Node& n, std::wstring_view v) {
                             As<GridSplitter>(n).resizeBehavior =
                                 static_cast<int>(EnumValue(v, {L"BasedOnAlignment", L"CurrentAndNext",
                                                                L"PreviousAndCurrent", L"PreviousAndNext"}));
                         }},
                        {L"ShowsPreview",
                         [](Node& n, std::wstring_view v) { As<GridSplitter>(n).showsPreview = ToBool(v); }},
                        {L"DragIncrement",
                         [](Node& n, std::wstring_view v) {
                             As<GridSplitter>(n).dragIncrement = ToIncrement(v);
                         }},
                        {L"KeyboardIncrement",
                         [](Node& n, std::wstring_view v) {
                             As<GridSplitter>(n).keyboardIncrement = ToIncrement(v);
                         }}}},
    };
}

} // namespace xaml

} // namespace wpfsim
