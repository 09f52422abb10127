#include "Panels.h"

#include "XamlSchema.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace wpfsim {

// --- panels ---------------------------------------------------------------------------------------------

void Panel::AddChild(Element& child) {
    // UIElementCollection takes UIElements only (no text elements, no document content).
    if (child.Kind() != ObjectKind::UIElement) throw std::invalid_argument("a panel holds UIElements");
    AddLogicalChild(child);
    AddVisualChild(child);
}

StackPanel::StackPanel(Application& app, std::wstring className, std::wstring name)
    : Panel(app, std::move(className), std::move(name)) {
    AddProperty(L"Orientation", [this] { return ov::Variant::Int(horizontal_ ? 0 : 1); });
}

WrapPanel::WrapPanel(Application& app, std::wstring className, std::wstring name)
    : StackPanel(app, std::move(className), std::move(name)) {
    SetHorizontal(true);
}

Size StackPanel::MeasureOverride(Size available) {
    Size size;
    for (Element* child : Children()) {
        child->Measure(horizontal_ ? Size{Infinity, available.height} : Size{available.width, Infinity});
        Size s = child->DesiredSize();
        if (horizontal_) {
            size.width += s.width;
            size.height = std::max(size.height, s.height);
        } else {
            size.height += s.height;
            size.width = std::max(size.width, s.width);
        }
    }
    return size;
}

void StackPanel::ArrangeOverride(Rect inner) {
    double x = inner.x, y = inner.y;
    for (Element* child : Children()) {
        Size s = child->DesiredSize();
        if (horizontal_) {
            child->Arrange({x, inner.y, s.width, inner.height});
            x += s.width;
        } else {
            child->Arrange({inner.x, y, inner.width, s.height});
            y += s.height;
        }
    }
}

void WrapPanel::ArrangeOverride(Rect inner) {
    double x = inner.x, y = inner.y, lineHeight = 0;
    for (Element* child : Children()) {
        Size s = child->DesiredSize();
        if (x > inner.x && x + s.width > inner.x + inner.width) {
            x = inner.x;
            y += lineHeight;
            lineHeight = 0;
        }
        child->Arrange({x, y, s.width, s.height});
        x += s.width;
        lineHeight = std::max(lineHeight, s.height);
    }
}

// As WPF's: each child is measured with the room that the children docked before it leave.
Size DockPanel::MeasureOverride(Size available) {
    return MeasureDocked(Children(), available);
}

Size DockPanel::MeasureDocked(const std::vector<Element*>& children, Size available) {
    Size used, most;
    for (Element* child : children) {
        child->Measure(
            {std::max(0.0, available.width - used.width), std::max(0.0, available.height - used.height)});
        Size s = child->DesiredSize();
        Dock dock = child->Layout().dock;
        if (dock == Dock::Left || dock == Dock::Right) {
            most.height = std::max(most.height, used.height + s.height);
            used.width += s.width;
        } else {
            most.width = std::max(most.width, used.width + s.width);
            used.height += s.height;
        }
    }
    return {std::max(most.width, used.width), std::max(most.height, used.height)};
}

void DockPanel::ArrangeOverride(Rect r) {
    ArrangeDocked(Children(), r);
}

void DockPanel::ArrangeDocked(const std::vector<Element*>& children, Rect r) {
    for (size_t i = 0; i < children.size(); ++i) {
        Element& child = *children[i];
        if (i + 1 == children.size()) {
            child.Arrange(r); // the last child fills what is left
            break;
        }
        Size s = child.DesiredSize();
        switch (child.Layout().dock) {
        case Dock::Left:
            child.Arrange({r.x, r.y, s.width, r.height});
            r.x += s.width;
            r.width = std::max(0.0, r.width - s.width);
            break;
        case Dock::Right:
            r.width = std::max(0.0, r.width - s.width);
            child.Arrange({r.x + r.width, r.y, s.width, r.height});
            break;
        case Dock::Top:
            child.Arrange({r.x, r.y, r.width, s.height});
            r.y += s.height;
            r.height = std::max(0.0, r.height - s.height);
            break;
        case Dock::Bottom:
            r.height = std::max(0.0, r.height - s.height);
            child.Arrange({r.x, r.y + r.height, r.width, s.height});
            break;
        }
    }
}

namespace {
// Track sizes: fixed ones as given, Auto and star ones sized to their largest single-cell child; with room
// to fill, star tracks then share what the others leave, by weight (a star track is stored as -weight).
std::vector<double> SizeTracks(std::vector<double> tracks, const std::vector<double>& content, double room) {
    double used = 0, weights = 0;
    for (size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i] < 0) {
            weights += -tracks[i];
            continue;
        }
        if (std::isnan(tracks[i])) tracks[i] = content[i];
        used += tracks[i];
    }
    const double free = std::isfinite(room) ? std::max(0.0, room - used) : 0;
    for (size_t i = 0; i < tracks.size(); ++i)
        if (tracks[i] < 0) tracks[i] = std::isfinite(room) ? free * -tracks[i] / weights : content[i];
    return tracks;
}
} // namespace

void Grid::Definitions(std::vector<double>& r, std::vector<double>& c) const {
    r = rows;
    c = columns;
    // Without definitions a grid has one row and one column that take all the room.
    if (r.empty()) r.push_back(-1);
    if (c.empty()) c.push_back(-1);
    for (Element* child : Children()) {
        const LayoutProperties& l = child->Layout();
        r.resize(std::max<size_t>(r.size(), l.row + l.rowSpan), Auto);
        c.resize(std::max<size_t>(c.size(), l.column + l.columnSpan), Auto);
    }
}

void Grid::Tracks(std::vector<double>& rowSizes, std::vector<double>& columnSizes, Size room) const {
    std::vector<double> r, c;
    Definitions(r, c);
    std::vector<double> rowContent(r.size()), columnContent(c.size());
    for (Element* child : Children()) {
        const LayoutProperties& l = child->Layout();
        Size s = child->DesiredSize();
        if (l.rowSpan == 1) rowContent[l.row] = std::max(rowContent[l.row], s.height);
        if (l.columnSpan == 1) columnContent[l.column] = std::max(columnContent[l.column], s.width);
    }
    // What a spanning child needs beyond its tracks' single-cell content goes to a star track of its span,
    // or else its last Auto track (as WPF's grid grows the flexible tracks of a span).
    auto spread = [](const std::vector<double>& defs, std::vector<double>& content, int from, int count,
                     double need) {
        if (count == 1) return;
        int star = -1, autoTrack = -1;
        for (int i = from; i < from + count; ++i) {
            const double def = defs[static_cast<size_t>(i)];
            need -= content[static_cast<size_t>(i)];
            if (def < 0 && star < 0) star = i;
            if (std::isnan(def)) autoTrack = i;
        }
        const int grow = star >= 0 ? star : autoTrack;
        if (grow >= 0 && need > 0) content[static_cast<size_t>(grow)] += need;
    };
    for (Element* child : Children()) {
        const LayoutProperties& l = child->Layout();
        Size s = child->DesiredSize();
        spread(r, rowContent, l.row, l.rowSpan, s.height);
        spread(c, columnContent, l.column, l.columnSpan, s.width);
    }
    rowSizes = SizeTracks(r, rowContent, room.height);
    columnSizes = SizeTracks(c, columnContent, room.width);
}

Size Grid::MeasureOverride(Size available) {
    // As in WPF, a child is measured with the room of the tracks it spans: their pixels, no limit when one
    // of them is Auto, and for star tracks their share of the room that the other tracks leave; so the
    // children outside star tracks are measured first.
    std::vector<double> rowDefs, columnDefs;
    Definitions(rowDefs, columnDefs);
    auto spansStar = [](const std::vector<double>& defs, int from, int count) {
        for (int i = from; i < from + count; ++i)
            if (defs[static_cast<size_t>(i)] < 0) return true;
        return false;
    };
    auto room = [](const std::vector<double>& defs, const std::vector<double>& sizes, int from, int count,
                   double available) {
        double total = 0;
        for (int i = from; i < from + count; ++i) {
            const double def = defs[static_cast<size_t>(i)];
            if (std::isnan(def) || (def < 0 && !std::isfinite(available))) return Infinity;
            total += def < 0 ? sizes[static_cast<size_t>(i)] : def;
        }
        return total;
    };
    std::vector<double> r, c;
    for (Element* child : Children()) {
        const LayoutProperties& l = child->Layout();
        if (spansStar(rowDefs, l.row, l.rowSpan) || spansStar(columnDefs, l.column, l.columnSpan)) continue;
        child->Measure({room(columnDefs, c, l.column, l.columnSpan, available.width),
                        room(rowDefs, r, l.row, l.rowSpan, available.height)});
    }
    Tracks(r, c, available);
    for (Element* child : Children()) {
        const LayoutProperties& l = child->Layout();
        if (!spansStar(rowDefs, l.row, l.rowSpan) && !spansStar(columnDefs, l.column, l.columnSpan)) continue;
        child->Measure({room(columnDefs, c, l.column, l.columnSpan, available.width),
                        room(rowDefs, r, l.row, l.rowSpan, available.height)});
    }
    Tracks(r, c, {Infinity, Infinity});
    Size size;
    for (double w : c)
        size.width += w;
    for (double h : r)
        size.height += h;
    return size;
}

void Grid::ArrangeOverride(Rect inner) {
    std::vector<double> r, c;
    Tracks(r, c, {inner.width, inner.height});
    auto sum = [](const std::vector<double>& sizes, int from, int count) {
        double total = 0;
        for (int i = from; i < from + count; ++i)
            total += sizes[static_cast<size_t>(i)];
        return total;
    };
    for (Element* child : Children()) {
        const LayoutProperties& l = child->Layout();
        child->Arrange({inner.x + sum(c, 0, l.column), inner.y + sum(r, 0, l.row),
                        sum(c, l.column, l.columnSpan), sum(r, l.row, l.rowSpan)});
    }
}

Size Canvas::MeasureOverride(Size) {
    Size size;
    for (Element* child : Children()) {
        child->Measure({Infinity, Infinity});
        Size s = child->DesiredSize();
        const LayoutProperties& l = child->Layout();
        size.width = std::max(size.width, (std::isnan(l.left) ? 0 : l.left) + s.width);
        size.height = std::max(size.height, (std::isnan(l.top) ? 0 : l.top) + s.height);
    }
    return size;
}

void Canvas::ArrangeOverride(Rect inner) {
    for (Element* child : Children()) {
        const LayoutProperties& l = child->Layout();
        Size s = child->DesiredSize();
        child->Arrange({inner.x + (std::isnan(l.left) ? 0 : l.left),
                        inner.y + (std::isnan(l.top) ? 0 : l.top), s.width, s.height});
    }
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> PanelTypes() {
    return {
        {.name = L"Panel",
         .className = L"System.Windows.Controls.Panel",
         .base = L"FrameworkElement",
         .properties = {Cosmetic(L"Background")},
         .content = Content::Many},
        {.name = L"StackPanel",
         .className = L"System.Windows.Controls.StackPanel",
         .base = L"Panel",
         .make = &Make<StackPanel>,
         .properties = {{L"Orientation",
                         [](Node& n, std::wstring_view v) {
                             As<StackPanel>(n).SetHorizontal(EnumValue(v, {L"Vertical", L"Horizontal"}) == 1);
                         }}},
         .content = Content::Many},
        {.name = L"WrapPanel",
         .className = L"System.Windows.Controls.WrapPanel",
         .base = L"Panel",
         .make = &Make<WrapPanel>,
         .properties = {{L"Orientation",
                         [](Node& n, std::wstring_view v) {
                             As<StackPanel>(n).SetHorizontal(EnumValue(v, {L"Horizontal", L"Vertical"}) == 0);
                         }}},
         .content = Content::Many},
        {.name = L"DockPanel",
         .className = L"System.Windows.Controls.DockPanel",
         .base = L"Panel",
         .make = &Make<DockPanel>,
         .properties = {Cosmetic(L"LastChildFill")},
         .content = Content::Many,
         .attached = {{L"Dock",
                       [](Node& n, std::wstring_view v) {
                           n.element->Layout().dock =
                               static_cast<Dock>(EnumValue(v, {L"Left", L"Top", L"Right", L"Bottom"}));
                       }}}},
        {.name = L"Grid",
         .className = L"System.Windows.Controls.Grid",
         .base = L"Panel",
         .make = &Make<Grid>,
         .properties = {Cosmetic(L"ShowGridLines")},
         .content = Content::Many,
         .attached = {{L"Row", [](Node& n, std::wstring_view v) { n.element->Layout().row = ToInt(v); }},
                      {L"Column",
                       [](Node& n, std::wstring_view v) { n.element->Layout().column = ToInt(v); }},
                      {L"RowSpan",
                       [](Node& n, std::wstring_view v) { n.element->Layout().rowSpan = ToInt(v, 1); }},
                      {L"ColumnSpan",
                       [](Node& n, std::wstring_view v) { n.element->Layout().columnSpan = ToInt(v, 1); }}}},
        // WPF's ink surface, a FrameworkElement that lays its children out as a Canvas does; ink is left out.
        {.name = L"InkCanvas",
         .className = L"System.Windows.Controls.InkCanvas",
         .base = L"FrameworkElement",
         .make = &Make<Canvas>,
         .content = Content::Many},
        {.name = L"Canvas",
         .className = L"System.Windows.Controls.Canvas",
         .base = L"Panel",
         .make = &Make<Canvas>,
         .content = Content::Many,
         .attached = {{L"Left",
                       [](Node& n, std::wstring_view v) { n.element->Layout().left = ToPosition(v); }},
                      {L"Top",
                       [](Node& n, std::wstring_view v) { n.element->Layout().top = ToPosition(v); }}}},
    };
}

} // namespace xaml

} // namespace wpfsim
