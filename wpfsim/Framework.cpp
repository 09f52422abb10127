#include "Framework.h"

#include "Application.h"
#include "Items.h"
#include "Menus.h"
#include "XamlSchema.h"

#include <algorithm>
#include <stdexcept>

namespace wpfsim {

namespace {
Rect Deflate(Rect r, const Thickness& t) {
    return {r.x + t.left, r.y + t.top, std::max(0.0, r.width - t.left - t.right),
            std::max(0.0, r.height - t.top - t.bottom)};
}
Size Inflate(Size s, const Thickness& t) {
    return {s.width + t.left + t.right, s.height + t.top + t.bottom};
}
} // namespace

// --- Control --------------------------------------------------------------------------------------------

Control::Control(Application& app, std::wstring className, std::wstring name)
    : Element(app, std::move(className), std::move(name)) {
    SetFocusable(true);
}

Size Control::MeasureOverride(Size available) {
    return Inflate(Element::MeasureOverride(available), padding_);
}

void Control::ArrangeOverride(Rect inner) {
    Element::ArrangeOverride(inner);
}

// --- content --------------------------------------------------------------------------------------------

std::wstring Content::Text() const {
    if (text) return *text;
    if (element) return element->DisplayText();
    return {};
}

ov::Variant HeaderValue(const Element& self, const Content& header) {
    if (header.element) return ClrObject::Obj(header.element.Get());
    return header.text ? self.Str(*header.text) : ClrObject::Obj(nullptr);
}

void ContentPresenter::Show(const Content& content) {
    while (!Children().empty())
        RemoveVisualChild(*Children().back());
    text_ = nullptr;
    if (content.element) {
        if (content.element->Parent()) content.element->Parent()->RemoveVisualChild(*content.element);
        AddVisualChild(*content.element);
    } else if (content.text) {
        // String content is shown by a TextBlock that the presenter makes (templated by the presenter).
        if (accessKey_) {
            auto& text = MakePart<AccessText>(*this, L"System.Windows.Controls.AccessText", L"");
            text.SetAccessText(*content.text);
            text_ = &text;
        } else {
            auto& text = MakePart<TextBlock>(*this, L"System.Windows.Controls.TextBlock", L"");
            text.SetText(*content.text);
            text_ = &text;
        }
    }
}

std::wstring ContentPresenter::DisplayText() const {
    return text_ ? text_->DisplayText() : std::wstring();
}

ContentControl::ContentControl(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Content", [this] { return ContentValue(); },
        [this](const VARIANT& v) {
            ov::ComPtr<ClrObject> object =
                (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) ? ObjectOf(v) : nullptr;
            if (auto* element = dynamic_cast<Element*>(object.Get()))
                SetContentElement(element);
            else
                SetContent(TextOf(v));
        });
}

ov::Variant ContentControl::ContentValue() const {
    if (content_.element) return Obj(content_.element.Get());
    if (content_.text) return Str(*content_.text);
    return Obj(nullptr);
}

void ContentControl::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
    SetPresenter(&MakePart<ContentPresenter>(border, L"System.Windows.Controls.ContentPresenter", L""));
}

void ContentControl::SetPresenter(ContentPresenter* presenter) {
    presenter_ = presenter;
    Present();
}

void ContentControl::Present() {
    if (presenter_) presenter_->Show(content_);
    InvalidateLayout();
    OnContentChanged();
}

void ContentControl::SetContent(std::wstring text) {
    if (content_.element) RemoveLogicalChild(*content_.element);
    content_.element.Reset();
    content_.text = std::move(text);
    Present();
}

void ContentControl::SetContentElement(Element* element) {
    if (content_.element) RemoveLogicalChild(*content_.element);
    content_.text.reset();
    content_.element = element;
    if (element) AddLogicalChild(*element);
    Present();
}

void ContentControl::AddChild(Element& child) {
    if (!content_.Empty()) throw std::invalid_argument("the content is set already");
    SetContentElement(&child);
}

// --- Window ---------------------------------------------------------------------------------------------

namespace {
constexpr double kWindowFrame = 8, kTitleBar = 23;
}

Window::Window(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Title", [this] { return Str(title_); }, [this](const VARIANT& v) { title_ = TextOf(v); });
}

Size Window::MeasureOverride(Size available) {
    Size s = ContentControl::MeasureOverride(available);
    return {s.width + 2 * kWindowFrame, s.height + kTitleBar + 2 * kWindowFrame};
}

void Window::ArrangeOverride(Rect inner) {
    ContentControl::ArrangeOverride(
        Deflate(inner, {kWindowFrame, kTitleBar + kWindowFrame, kWindowFrame, kWindowFrame}));
}

TextBlock::TextBlock(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Text", [this] { return Str(text_); }, [this](const VARIANT& v) { SetText(TextOf(v)); });
}

AccessText::AccessText(Application& app, std::wstring className, std::wstring name)
    : TextBlock(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Text", [this] { return Str(raw_); }, [this](const VARIANT& v) { SetAccessText(TextOf(v)); });
}

void AccessText::SetAccessText(std::wstring text) {
    raw_ = std::move(text);
    SetText(Shown(raw_));
}

std::wstring AccessText::Shown(std::wstring_view text) {
    std::wstring shown;
    bool marked = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'_' && i + 1 < text.size()) {
            if (text[i + 1] == L'_') {
                shown += L'_';
                ++i;
                continue;
            }
            if (!marked) {
                marked = true;
                continue;
            }
        }
        shown += text[i];
    }
    return shown;
}

Size TextBlock::MeasureOverride(Size available) {
    constexpr double kCharWidth = 7.0, kLineHeight = 16.0;
    const Size oneLine = TextSize(0, kLineHeight);
    if (wrapping_ == Wrapping::NoWrap || !(available.width < oneLine.width)) return oneLine;
    const size_t perLine = std::max<size_t>(1, static_cast<size_t>(available.width / kCharWidth));
    // Greedy breaking: each line takes the words that fit; the spaces at a break take no room.
    size_t lines = 0, widest = 0, pos = 0;
    const size_t n = text_.size();
    while (pos < n) {
        while (pos < n && text_[pos] == L' ')
            ++pos;
        if (pos >= n) break;
        size_t end = std::min(n, pos + perLine);
        if (end < n && text_[end] != L' ') {
            const size_t space = text_.rfind(L' ', end);
            if (space != std::wstring::npos && space > pos)
                end = space;
            else if (wrapping_ == Wrapping::WrapWithOverflow)
                end = std::min(n, text_.find(L' ', end));
        }
        size_t last = end;
        while (last > pos && text_[last - 1] == L' ')
            --last;
        widest = std::max(widest, last - pos);
        ++lines;
        pos = end;
    }
    return {kCharWidth * static_cast<double>(widest),
            kLineHeight * static_cast<double>(std::max<size_t>(1, lines))};
}

// --- panels ---------------------------------------------------------------------------------------------

void Panel::AddChild(Element& child) {
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

Size DockPanel::MeasureOverride(Size available) {
    Size used, most;
    for (Element* child : Children()) {
        child->Measure(available);
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
    const auto& children = Children();
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

void Border::AddChild(Element& child) {
    if (!Children().empty()) throw std::invalid_argument("a Border holds one element");
    AddLogicalChild(child);
    AddVisualChild(child);
}

Size Border::MeasureOverride(Size available) {
    return Inflate(Element::MeasureOverride(available), padding);
}

void Border::ArrangeOverride(Rect inner) {
    Element::ArrangeOverride(Deflate(inner, padding));
}

// --- popups ---------------------------------------------------------------------------------------------

Popup::Popup(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
    AddProperty(
        L"IsOpen", [this] { return ov::Variant::Bool(IsOpen()); },
        [this](const VARIANT& v) { SetIsOpen(BoolOf(v)); });
    AddProperty(L"Child", [this] { return Obj(child_.Get()); });
    AddProperty(L"StaysOpen", [this] { return ov::Variant::Bool(staysOpen_); });
    AddProperty(L"PlacementTarget", [this] { return Obj(PlacementTarget()); });
    // A popup takes no room where it is declared.
    SetHitTestVisible(false);
}

void Popup::SetChild(Element* child) {
    if (child_) {
        if (child_->Parent()) child_->Parent()->RemoveVisualChild(*child_);
        RemoveLogicalChild(*child_);
    }
    child_ = child;
    if (child) {
        AddLogicalChild(*child);
        if (root_) root_->AddVisualChild(*child);
    }
}

void Popup::SetIsOpen(bool open) {
    Application* app = App();
    if (!app || open == IsOpen() || (open && neverOpens_) || (!open && neverCloses_)) return;
    if (open) {
        root_ = &app->Create<PopupRoot>(L"System.Windows.Controls.Primitives.PopupRoot", L"", *this);
        if (child_) root_->AddVisualChild(*child_);
        app->AddRoot(*root_);
        app->OpenedPopup(*this);
    } else {
        // Popups opened from inside this one close with it.
        for (Popup* other : std::vector<Popup*>(app->OpenPopups()))
            if (other != this && IsAncestorOf(*other)) other->SetIsOpen(false);
        PopupRoot* root = root_;
        root_ = nullptr;
        app->ClosedPopup(*this);
        if (child_ && child_->Parent() == root) root->RemoveVisualChild(*child_);
        app->RemoveRoot(*root);
        // The old window's root is gone: its object answers as gone.
        app->Remove(*root);
    }
    InvalidateLayout();
    if (onOpenChanged) onOpenChanged(open);
}

Rect Popup::WindowPlacement(Size desired) const {
    Element* target = PlacementTarget();
    RECT t = target ? target->Bounds() : RECT{100, 100, 100, 100};
    if (placement_ == Placement::Right)
        return {double(t.right), double(t.top), desired.width, desired.height};
    if (placement_ == Placement::MousePoint)
        return {double(point_.x), double(point_.y), desired.width, desired.height};
    // Below the target, at least as wide as it (a drop-down list).
    return {double(t.left), double(t.bottom), std::max(desired.width, double(t.right - t.left)),
            desired.height};
}

PopupRoot::PopupRoot(Application& app, std::wstring className, std::wstring name, Popup& popup)
    : FrameworkElement(app, std::move(className), std::move(name)), popup_(&popup) {
    popup.AddLogicalChild(*this);
}

ForeignWindow::ForeignWindow(Application& app, std::wstring className, std::wstring name)
    : Element(app, std::move(className), std::move(name)) {
    RemoveMember(L"ClrFullClassName");
    RemoveMember(L"GetType");
    // Somewhere off the application's own windows, so that it takes none of their clicks.
    SetBounds({1600, 1200, 1900, 1400});
}

// --- ScrollViewer ---------------------------------------------------------------------------------------

ScrollViewer::ScrollViewer(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    SetFocusable(false);
    auto number = [this](auto read) { return [this, read] { return ov::Variant::Double(read()); }; };
    AddProperty(L"HorizontalOffset", number([this] { return HorizontalOffset(); }));
    AddProperty(L"VerticalOffset", number([this] { return VerticalOffset(); }));
    AddProperty(L"ExtentWidth", number([this] { return Extent().width; }));
    AddProperty(L"ExtentHeight", number([this] { return Extent().height; }));
    AddProperty(L"ViewportWidth", number([this] { return Viewport().width; }));
    AddProperty(L"ViewportHeight", number([this] { return Viewport().height; }));
    AddProperty(L"ScrollableWidth", number([this] { return Scrollable().width; }));
    AddProperty(L"ScrollableHeight", number([this] { return Scrollable().height; }));
    AddProperty(L"HorizontalScrollBarVisibility",
                [this] { return ov::Variant::Int(static_cast<LONG>(horizontalBar_)); });
    AddProperty(L"VerticalScrollBarVisibility",
                [this] { return ov::Variant::Int(static_cast<LONG>(verticalBar_)); });
    AddMethod(L"ScrollToHorizontalOffset", 1, [this](const Args& a) {
        ScrollToHorizontalOffset(DoubleOf(a[0]));
        return ov::Variant();
    });
    AddMethod(L"ScrollToVerticalOffset", 1, [this](const Args& a) {
        ScrollToVerticalOffset(DoubleOf(a[0]));
        return ov::Variant();
    });
}

void ScrollViewer::OnApplyTemplate() {
    // The content sits in a ScrollContentPresenter that clips it to the viewport.
    auto& grid = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"");
    auto& presenter = MakePart<ContentPresenter>(grid, L"System.Windows.Controls.ScrollContentPresenter",
                                                 L"PART_ScrollContentPresenter");
    presenter_ = &presenter;
    SetPresenter(&presenter);
}

double ScrollViewer::HorizontalOffset() const {
    Bounds();
    return horizontalOffset_;
}

double ScrollViewer::VerticalOffset() const {
    Bounds();
    return scroller_ ? scroller_->FirstItem() : verticalOffset_;
}

Size ScrollViewer::Extent() const {
    Bounds();
    return scroller_ ? Size{extent_.width, scroller_->ItemCount()} : extent_;
}

Size ScrollViewer::Viewport() const {
    Bounds();
    return scroller_ ? Size{viewport_.width, scroller_->ItemsInView()} : viewport_;
}

Size ScrollViewer::Scrollable() const {
    Size e = Extent(), v = Viewport();
    Size s{std::max(0.0, e.width - v.width), std::max(0.0, e.height - v.height)};
    if (horizontalBar_ == BarVisibility::Disabled) s.width = 0;
    if (verticalBar_ == BarVisibility::Disabled) s.height = 0;
    return s;
}

void ScrollViewer::ScrollToHorizontalOffset(double offset) {
    if (std::isnan(offset)) return;
    horizontalOffset_ = Clamp(offset, Scrollable().width);
    InvalidateLayout();
}

void ScrollViewer::ScrollToVerticalOffset(double offset) {
    if (std::isnan(offset)) return;
    double clamped = Clamp(offset, Scrollable().height);
    if (scroller_)
        scroller_->SetFirstItem(std::floor(clamped));
    else
        verticalOffset_ = clamped;
    InvalidateLayout();
}

void ScrollViewer::SetBarVisibility(bool horizontal, BarVisibility visibility) {
    (horizontal ? horizontalBar_ : verticalBar_) = visibility;
    InvalidateLayout();
}

void ScrollViewer::MakeVisible(Element& descendant) {
    const RECT& view = presenter_ ? presenter_->Bounds() : Bounds();
    const RECT& r = descendant.Bounds();
    if (!scroller_ && verticalBar_ != BarVisibility::Disabled) {
        if (r.top < view.top)
            ScrollToVerticalOffset(verticalOffset_ - (view.top - r.top));
        else if (r.bottom > view.bottom)
            ScrollToVerticalOffset(verticalOffset_ + (r.bottom - view.bottom));
    }
    if (horizontalBar_ != BarVisibility::Disabled) {
        if (r.left < view.left)
            ScrollToHorizontalOffset(horizontalOffset_ - (view.left - r.left));
        else if (r.right > view.right)
            ScrollToHorizontalOffset(horizontalOffset_ + (r.right - view.right));
    }
}

Size ScrollViewer::MeasureOverride(Size available) {
    // The content is measured without limit in the directions that scroll.
    Size limit{horizontalBar_ == BarVisibility::Disabled ? available.width : Infinity,
               verticalBar_ == BarVisibility::Disabled ? available.height : Infinity};
    Size content;
    for (Element* child : Children()) {
        child->Measure(limit);
        content = child->DesiredSize();
    }
    extent_ = content;
    return {std::min(content.width, available.width), std::min(content.height, available.height)};
}

void ScrollViewer::ArrangeOverride(Rect inner) {
    viewport_ = {inner.width, inner.height};
    Size scrollable = Scrollable();
    horizontalOffset_ = Clamp(horizontalOffset_, scrollable.width);
    if (!scroller_) verticalOffset_ = Clamp(verticalOffset_, scrollable.height);
    // The template's grid and presenter fill the viewport; the content beneath is shifted by the offsets.
    for (Element* child : Children())
        child->Arrange(inner);
    if (presenter_)
        for (Element* content : presenter_->Children())
            content->Arrange({inner.x - horizontalOffset_, inner.y - (scroller_ ? 0 : verticalOffset_),
                              std::max(extent_.width, inner.width),
                              scroller_ ? inner.height : std::max(extent_.height, inner.height)});
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {
namespace {

void Relayout(Node& n) {
    n.element->InvalidateLayout();
}

// The content of a content control: text, or an element in a property element.
void SetContent(Node& n, std::wstring_view v) {
    As<ContentControl>(n).SetContent(std::wstring(v));
}
void SetContentElement(Node& n, Element& e) {
    As<ContentControl>(n).SetContentElement(&e);
}
const Property kContent{L"Content", &SetContent, &SetContentElement};

ScrollViewer::BarVisibility ToBarVisibility(std::wstring_view v) {
    return static_cast<ScrollViewer::BarVisibility>(
        EnumValue(v, {L"Disabled", L"Auto", L"Hidden", L"Visible"}));
}

// The viewer itself, or the scroll host of an items control that the attached property is set on.
ScrollViewer& ViewerOf(Node& n) {
    if (auto* viewer = dynamic_cast<ScrollViewer*>(n.element)) return *viewer;
    if (auto* items = dynamic_cast<ItemsControl*>(n.element); items && items->ScrollHost())
        return *items->ScrollHost();
    throw ValueError{L"the element has no ScrollViewer"};
}

} // namespace

std::vector<Type> FrameworkTypes() {
    return {
        {.name = L"FrameworkElement",
         .className = L"System.Windows.FrameworkElement",
         .properties =
             {
                 {L"IsEnabled", [](Node& n, std::wstring_view v) { n.element->SetEnabled(ToBool(v)); }},
                 {L"Visibility",
                  [](Node& n, std::wstring_view v) {
                      n.element->SetVisibility(
                          static_cast<Visibility>(EnumValue(v, {L"Visible", L"Hidden", L"Collapsed"})));
                  }},
                 {L"Focusable", [](Node& n, std::wstring_view v) { n.element->SetFocusable(ToBool(v)); }},
                 {L"IsHitTestVisible",
                  [](Node& n, std::wstring_view v) { n.element->SetHitTestVisible(ToBool(v)); }},
                 {L"Width",
                  [](Node& n, std::wstring_view v) {
                      n.element->Layout().width = ToLength(v);
                      Relayout(n);
                  }},
                 {L"Height",
                  [](Node& n, std::wstring_view v) {
                      n.element->Layout().height = ToLength(v);
                      Relayout(n);
                  }},
                 {L"MinWidth",
                  [](Node& n, std::wstring_view v) { n.element->Layout().minWidth = ToExtent(v); }},
                 {L"MinHeight",
                  [](Node& n, std::wstring_view v) { n.element->Layout().minHeight = ToExtent(v); }},
                 {L"Margin",
                  [](Node& n, std::wstring_view v) { n.element->Layout().margin = ToThickness(v); }},
                 {L"ContextMenu", nullptr,
                  [](Node& n, wpfsim::Element& e) {
                      auto* menu = dynamic_cast<wpfsim::ContextMenu*>(&e);
                      if (!menu) throw ValueError{L"a ContextMenu expected"};
                      n.element->SetContextMenu(menu);
                  }},
                 Cosmetic(L"HorizontalAlignment"),
                 Cosmetic(L"VerticalAlignment"),
                 Cosmetic(L"ToolTip"),
             }},
        {.name = L"Control",
         .className = L"System.Windows.Controls.Control",
         .base = L"FrameworkElement",
         .properties =
             {
                 {L"Padding",
                  [](Node& n, std::wstring_view v) {
                      As<wpfsim::Control>(n).SetPadding(ToThickness(v, false));
                  }},
                 Cosmetic(L"Background"),
                 Cosmetic(L"Foreground"),
                 Cosmetic(L"BorderBrush"),
                 Cosmetic(L"BorderThickness"),
                 Cosmetic(L"FontFamily"),
                 Cosmetic(L"FontSize"),
                 Cosmetic(L"FontWeight"),
                 Cosmetic(L"HorizontalContentAlignment"),
                 Cosmetic(L"VerticalContentAlignment"),
             }},
        {.name = L"ContentControl",
         .className = L"System.Windows.Controls.ContentControl",
         .base = L"Control",
         .make = &Make<ContentControl>,
         .properties = {kContent},
         .content = Content::Single,
         .textProperty = L"Content"},
        {.name = L"Panel",
         .className = L"System.Windows.Controls.Panel",
         .base = L"FrameworkElement",
         .properties = {Cosmetic(L"Background")},
         .content = Content::Many},
        {.name = L"Window",
         .className = L"System.Windows.Window",
         .base = L"ContentControl",
         .make = &Make<Window>,
         .properties =
             {
                 {L"Title", [](Node& n, std::wstring_view v) { As<Window>(n).SetTitle(std::wstring(v)); }},
                 Cosmetic(L"ResizeMode"),
                 Cosmetic(L"SizeToContent"),
                 Cosmetic(L"WindowStartupLocation"),
             },
         .content = Content::Single,
         .textProperty = L"Content",
         // The process shows a native window beside this one (it comes first among the top-level windows).
         .sim = {{L"ForeignWindow",
                  [](Node& n, std::wstring_view v) {
                      if (!ToBool(v)) return;
                      Application& app = *n.element->App();
                      app.AddRoot(app.Create<ForeignWindow>(L"#32770", L""));
                  }}}},
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
        {.name = L"Canvas",
         .className = L"System.Windows.Controls.Canvas",
         .base = L"Panel",
         .make = &Make<Canvas>,
         .content = Content::Many,
         .attached = {{L"Left",
                       [](Node& n, std::wstring_view v) { n.element->Layout().left = ToPosition(v); }},
                      {L"Top",
                       [](Node& n, std::wstring_view v) { n.element->Layout().top = ToPosition(v); }}}},
        {.name = L"Border",
         .className = L"System.Windows.Controls.Border",
         .base = L"FrameworkElement",
         .make = &Make<Border>,
         .properties =
             {
                 {L"Padding",
                  [](Node& n, std::wstring_view v) { As<Border>(n).padding = ToThickness(v, false); }},
                 Cosmetic(L"Background"),
                 Cosmetic(L"BorderBrush"),
                 Cosmetic(L"BorderThickness"),
                 Cosmetic(L"CornerRadius"),
             },
         .content = Content::Single},
        {.name = L"TextBlock",
         .className = L"System.Windows.Controls.TextBlock",
         .base = L"FrameworkElement",
         .make = &Make<TextBlock>,
         .properties =
             {
                 {L"Text", [](Node& n, std::wstring_view v) { As<TextBlock>(n).SetText(std::wstring(v)); }},
                 Cosmetic(L"Padding"),
                 Cosmetic(L"Background"),
                 Cosmetic(L"Foreground"),
                 Cosmetic(L"FontFamily"),
                 Cosmetic(L"FontSize"),
                 Cosmetic(L"FontWeight"),
                 Cosmetic(L"TextAlignment"),
                 {L"TextWrapping",
                  [](Node& n, std::wstring_view v) {
                      As<TextBlock>(n).SetWrapping(static_cast<TextBlock::Wrapping>(
                          EnumValue(v, {L"NoWrap", L"Wrap", L"WrapWithOverflow"})));
                  }},
             },
         .content = Content::Text,
         .textProperty = L"Text"},
        {.name = L"ScrollViewer",
         .className = L"System.Windows.Controls.ScrollViewer",
         .base = L"ContentControl",
         .make = &Make<ScrollViewer>,
         .properties =
             {
                 {L"HorizontalScrollBarVisibility",
                  [](Node& n, std::wstring_view v) {
                      ViewerOf(n).SetBarVisibility(true, ToBarVisibility(v));
                  }},
                 {L"VerticalScrollBarVisibility",
                  [](Node& n, std::wstring_view v) {
                      ViewerOf(n).SetBarVisibility(false, ToBarVisibility(v));
                  }},
             },
         .content = Content::Single,
         .textProperty = L"Content",
         .attached =
             {{L"HorizontalScrollBarVisibility",
               [](Node& n, std::wstring_view v) { ViewerOf(n).SetBarVisibility(true, ToBarVisibility(v)); }},
              {L"VerticalScrollBarVisibility",
               [](Node& n, std::wstring_view v) { ViewerOf(n).SetBarVisibility(false, ToBarVisibility(v)); }},
              // Scrolling by pixels instead of items turns virtualization off, as in WPF.
              {L"CanContentScroll",
               [](Node& n, std::wstring_view v) {
                   if (!ToBool(v)) As<ItemsControl>(n).SetVirtualizing(false);
               }}}},
    };
}

} // namespace xaml

} // namespace wpfsim
