#include "Shapes.h"

#include "XamlSchema.h"

#include <cwctype>

namespace wpfsim {

Shape::Shape(Application& app, std::wstring className, std::wstring name, Stretch stretch)
    : FrameworkElement(app, std::move(className), std::move(name)), stretch_(stretch) {
    AddProperty(
        L"StrokeThickness", [this] { return ov::Variant::Double(strokeThickness_); },
        [this](const VARIANT& v) { SetStrokeThickness(DoubleOf(v)); });
    AddProperty(L"Stretch", [this] { return ov::Variant::Int(static_cast<LONG>(stretch_)); });
}

// As WPF's Shape.MeasureOverride: a stretched shape needs its stroke only (Rectangle and Ellipse, whose
// natural size that is); otherwise the geometry's extent from the origin with half the stroke around it.
Size Shape::MeasureOverride(Size) {
    const double stroke = std::isnan(strokeThickness_) ? 0 : std::abs(strokeThickness_);
    if (stretch_ != Stretch::None || points_.empty()) return {stroke, stroke};
    double right = 0, bottom = 0;
    for (const ShapePoint& p : points_) {
        right = std::max(right, p.x + stroke / 2);
        bottom = std::max(bottom, p.y + stroke / 2);
    }
    return {right, bottom};
}

Rectangle::Rectangle(Application& app, std::wstring className, std::wstring name)
    : Shape(app, std::move(className), std::move(name), Stretch::Fill) {
    AddProperty(L"RadiusX", [this] { return ov::Variant::Double(radiusX); });
    AddProperty(L"RadiusY", [this] { return ov::Variant::Double(radiusY); });
}

Line::Line(Application& app, std::wstring className, std::wstring name)
    : Shape(app, std::move(className), std::move(name), Stretch::None) {
    static const wchar_t* const names[] = {L"X1", L"Y1", L"X2", L"Y2"};
    for (int i = 0; i < 4; ++i)
        AddProperty(
            names[i], [this, i] { return ov::Variant::Double(ends[i]); },
            [this, i](const VARIANT& v) {
                ends[i] = DoubleOf(v);
                Update();
            });
    Update();
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {
namespace {

// A PointCollection as WPF's converter reads it: numbers in pairs, separated by commas or white space.
std::vector<ShapePoint> ToPoints(std::wstring_view value) {
    std::vector<std::wstring_view> items = ListItems(value);
    if (items.size() % 2) throw ValueError{L"pairs of numbers (x,y x,y ...) expected"};
    std::vector<ShapePoint> points;
    for (size_t i = 0; i < items.size(); i += 2)
        points.push_back({ToNumber(items[i]), ToNumber(items[i + 1])});
    return points;
}

// WPF's path markup: its commands and the points they reach (control points included).
std::vector<ShapePoint> ToPathPoints(std::wstring_view value) {
    const ValueError bad{L"path markup (M x,y L x,y ... Z) expected"};
    std::wstring_view text = Trim(value);
    size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && (std::iswspace(text[i]) || text[i] == L','))
            ++i;
    };
    auto number = [&]() -> double {
        skip();
        const size_t start = i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
        while (i < text.size() && (std::iswdigit(text[i]) || text[i] == L'.'))
            ++i;
        if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
            ++i;
            if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
            while (i < text.size() && std::iswdigit(text[i]))
                ++i;
        }
        if (i == start) throw bad;
        return ToNumber(text.substr(start, i - start));
    };
    auto numberFollows = [&] {
        skip();
        return i < text.size() &&
               (std::iswdigit(text[i]) || text[i] == L'.' || text[i] == L'-' || text[i] == L'+');
    };
    skip();
    if (i + 1 < text.size() && text[i] == L'F' && (text[i + 1] == L'0' || text[i + 1] == L'1')) {
        i += 2;
        skip();
    }
    if (text.empty()) return {};
    if (i >= text.size() || (text[i] != L'M' && text[i] != L'm')) throw bad;
    std::vector<ShapePoint> points;
    ShapePoint current, start;
    while (true) {
        skip();
        if (i >= text.size()) break;
        const wchar_t command = text[i++];
        const bool relative = std::iswlower(command) != 0;
        auto point = [&] {
            ShapePoint p{number(), number()};
            if (relative) p = {p.x + current.x, p.y + current.y};
            points.push_back(p);
            return p;
        };
        switch (std::towupper(command)) {
        case L'Z':
            current = start;
            continue;
        case L'M':
            current = start = point();
            while (numberFollows())
                current = point();
            continue;
        case L'L':
        case L'T':
            do
                current = point();
            while (numberFollows());
            continue;
        case L'H':
        case L'V':
            do {
                const double n = number();
                if (std::towupper(command) == L'H')
                    current.x = relative ? current.x + n : n;
                else
                    current.y = relative ? current.y + n : n;
                points.push_back(current);
            } while (numberFollows());
            continue;
        case L'C':
        case L'S':
        case L'Q': {
            const int pairs = std::towupper(command) == L'C' ? 3 : 2;
            do {
                ShapePoint last;
                for (int k = 0; k < pairs; ++k)
                    last = point();
                current = last;
            } while (numberFollows());
            continue;
        }
        case L'A':
            do {
                number(); // size
                number();
                number(); // rotation
                const double large = number(), sweep = number();
                if ((large != 0 && large != 1) || (sweep != 0 && sweep != 1)) throw bad;
                current = point();
            } while (numberFollows());
            continue;
        default:
            throw bad;
        }
    }
    return points;
}

double ToThicknessValue(std::wstring_view value) {
    return ToNumber(value);
}

constexpr const wchar_t* kLineCaps[] = {L"Flat", L"Square", L"Round", L"Triangle"};
constexpr const wchar_t* kLineJoins[] = {L"Miter", L"Bevel", L"Round"};
constexpr const wchar_t* kFillRules[] = {L"EvenOdd", L"Nonzero"};

} // namespace

std::vector<Type> ShapeTypes() {
    const std::vector<Property> stretch = {{L"Stretch", [](Node& n, std::wstring_view v) {
                                                As<Shape>(n).SetStretch(static_cast<Stretch>(EnumValue(
                                                    v, {L"None", L"Fill", L"Uniform", L"UniformToFill"})));
                                            }}};
    auto end = [](int which) -> Setter {
        static const Setter setters[] = {
            [](Node& n, std::wstring_view v) { As<Line>(n).ends[0] = ToNumber(v), As<Line>(n).Update(); },
            [](Node& n, std::wstring_view v) { As<Line>(n).ends[1] = ToNumber(v), As<Line>(n).Update(); },
            [](Node& n, std::wstring_view v) { As<Line>(n).ends[2] = ToNumber(v), As<Line>(n).Update(); },
            [](Node& n, std::wstring_view v) { As<Line>(n).ends[3] = ToNumber(v), As<Line>(n).Update(); },
        };
        return setters[which];
    };
    const Property points{L"Points",
                          [](Node& n, std::wstring_view v) { As<Shape>(n).SetPoints(ToPoints(v)); }};
    return {
        {.name = L"Shape",
         .className = L"System.Windows.Shapes.Shape",
         .base = L"FrameworkElement",
         .properties =
             {
                 {L"Fill", &check::Brush},
                 {L"Stroke", &check::Brush},
                 {L"StrokeThickness",
                  [](Node& n, std::wstring_view v) { As<Shape>(n).SetStrokeThickness(ToThicknessValue(v)); }},
                 stretch[0],
                 {L"StrokeStartLineCap", &check::OneOf<kLineCaps>},
                 {L"StrokeEndLineCap", &check::OneOf<kLineCaps>},
                 {L"StrokeLineJoin", &check::OneOf<kLineJoins>},
             }},
        {.name = L"Rectangle",
         .className = L"System.Windows.Shapes.Rectangle",
         .base = L"Shape",
         .make = &Make<Rectangle>,
         .properties = {{L"RadiusX",
                         [](Node& n, std::wstring_view v) { As<Rectangle>(n).radiusX = ToNumber(v); }},
                        {L"RadiusY",
                         [](Node& n, std::wstring_view v) { As<Rectangle>(n).radiusY = ToNumber(v); }}}},
        {.name = L"Ellipse",
         .className = L"System.Windows.Shapes.Ellipse",
         .base = L"Shape",
         .make = &Make<Ellipse>},
        {.name = L"Line",
         .className = L"System.Windows.Shapes.Line",
         .base = L"Shape",
         .make = &Make<Line>,
         .properties = {{L"X1", end(0)}, {L"Y1", end(1)}, {L"X2", end(2)}, {L"Y2", end(3)}}},
        {.name = L"Polyline",
         .className = L"System.Windows.Shapes.Polyline",
         .base = L"Shape",
         .make = &Make<PointShape>,
         .properties = {points, {L"FillRule", &check::OneOf<kFillRules>}}},
        {.name = L"Polygon",
         .className = L"System.Windows.Shapes.Polygon",
         .base = L"Shape",
         .make = &Make<PointShape>,
         .properties = {points, {L"FillRule", &check::OneOf<kFillRules>}}},
        {.name = L"Path",
         .className = L"System.Windows.Shapes.Path",
         .base = L"Shape",
         .make = &Make<PointShape>,
         .properties = {{L"Data",
                         [](Node& n, std::wstring_view v) { As<Shape>(n).SetPoints(ToPathPoints(v)); }}}},
    };
}

} // namespace xaml

} // namespace wpfsim
