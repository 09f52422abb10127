#include "Ranges.h"

#include "Inline.h"

#include "Application.h"
#include "Border.h"
#include "Items.h"
#include "XamlSchema.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace wpfsim {

namespace {

// WPF's DoubleUtil: doubles within a relative epsilon are the same.
bool AreClose(double a, double b) {
    if (a == b) return true;
    const double eps = (std::fabs(a) + std::fabs(b) + 10.0) * 2.2204460492503131e-016;
    const double delta = a - b;
    return -eps < delta && eps > delta;
}
bool LessThan(double a, double b) {
    return a < b && !AreClose(a, b);
}
bool GreaterThan(double a, double b) {
    return a > b && !AreClose(a, b);
}

ClrException InvalidValue(double value, const wchar_t* property) {
    return InvalidPropertyValue(value, property);
}

ov::Variant Number(double value) {
    return ov::Variant::Double(value);
}

} // namespace

// --- RangeBase
// ------------------------------------------------------------------------------------------------

RangeBase::RangeBase(Application& app, std::wstring className, std::wstring name, double maximum)
    : Control(app, std::move(className), std::move(name)), maximum_(maximum) {
    auto property = [this](const wchar_t* name, double (RangeBase::*get)() const,
                           void (RangeBase::*set)(double)) {
        AddProperty(
            name, [this, get] { return Number((this->*get)()); },
            [this, set](const VARIANT& v) { (this->*set)(DoubleOf(v)); });
    };
    property(L"Minimum", &RangeBase::Minimum, &RangeBase::SetMinimum);
    property(L"Maximum", &RangeBase::Maximum, &RangeBase::SetMaximum);
    property(L"Value", &RangeBase::Value, &RangeBase::SetValue);
    property(L"SmallChange", &RangeBase::SmallChange, &RangeBase::SetSmallChange);
    property(L"LargeChange", &RangeBase::LargeChange, &RangeBase::SetLargeChange);
    AddProperty(
        L"Orientation", [this] { return ov::Variant::Int(horizontal_ ? 0 : 1); },
        [this](const VARIANT& v) { SetHorizontal(IntOf(v) == 0); });
}

double RangeBase::Checked(double value, const wchar_t* property) {
    if (!std::isfinite(value)) throw InvalidValue(value, property);
    return value;
}

double RangeBase::CheckedNonNegative(double value, const wchar_t* property) {
    if (!(Checked(value, property) >= 0)) throw InvalidValue(value, property);
    return value;
}

void RangeBase::SetMinimum(double minimum) {
    minimum_ = Checked(minimum, L"Minimum");
    InvalidateLayout();
}

void RangeBase::SetMaximum(double maximum) {
    maximum_ = Checked(maximum, L"Maximum");
    InvalidateLayout();
}

void RangeBase::SetValue(double value) {
    value_ = Checked(value, L"Value");
    InvalidateLayout();
}

void RangeBase::OnStep(bool increase, bool page) {
    const double change = page ? largeChange_ : smallChange_;
    SetValue(std::clamp(Value() + (increase ? change : -change), Minimum(), Maximum()));
}

void RangeBase::OnApplyTemplate() {
    BuildTrack(*this);
}

Track& RangeBase::BuildTrack(Element& parent) {
    track_ = &MakePart<Track>(parent, L"System.Windows.Controls.Primitives.Track", L"PART_Track", *this);
    // The track's buttons and thumb are parts of this control's template, like the track.
    track_->Build();
    return *track_;
}

// --- Track
// ----------------------------------------------------------------------------------------------------

Track::Track(Application& app, std::wstring className, std::wstring name, RangeBase& owner)
    : FrameworkElement(app, std::move(className), std::move(name)), owner_(owner) {}

void Track::Build() {
    RangeBase& owner = owner_;
    auto page = [&](bool increase) -> Element& {
        auto& button =
            owner.MakePart<RepeatButton>(*this, L"System.Windows.Controls.Primitives.RepeatButton", L"");
        button.SetFocusable(false);
        button.SetClickHandler([&owner, increase](ButtonBase&) { owner.OnStep(increase, true); });
        return button;
    };
    decrease_ = &page(false);
    thumb_ = &owner.MakePart<Control>(*this, L"System.Windows.Controls.Primitives.Thumb", L"Thumb");
    increase_ = &page(true);
}

Size Track::MeasureOverride(Size) {
    return owner_.Horizontal() ? Size{40, 17} : Size{17, 40};
}

void Track::ArrangeOverride(Rect inner) {
    const bool horizontal = owner_.Horizontal();
    const double length = horizontal ? inner.width : inner.height;
    const double thumb = std::min(length, owner_.ThumbLength(length));
    const double range = owner_.Maximum() - owner_.Minimum();
    const double ratio = range > 0 ? (owner_.Value() - owner_.Minimum()) / range : 0;
    const double before = (length - thumb) * ratio;
    // From the start of the track (left, top): the decreasing side comes first unless the track grows
    // the other way (a vertical track grows upwards, a reversed one the opposite way).
    const bool decreaseFirst = horizontal != reversed_;
    auto place = [&](Element* part, double from, double size) {
        if (!decreaseFirst) from = length - from - size;
        part->Arrange(horizontal ? Rect{inner.x + from, inner.y, size, inner.height}
                                 : Rect{inner.x, inner.y + from, inner.width, size});
    };
    place(decrease_, 0, before);
    place(thumb_, before, thumb);
    place(increase_, before + thumb, length - before - thumb);
}

// --- ScrollBar
// ------------------------------------------------------------------------------------------------

ScrollBar::ScrollBar(Application& app, std::wstring className, std::wstring name)
    : RangeBase(app, std::move(className), std::move(name), 1.0) {
    SetFocusable(false);
    AddProperty(
        L"ViewportSize", [this] { return Number(viewportSize_); },
        [this](const VARIANT& v) { SetViewportSize(DoubleOf(v)); });
    SetHorizontal(false);
}

// Aero2's template: the Grid "Bg" of a line button, the track and the other line button, and the border
// behind the track.
void ScrollBar::OnApplyTemplate() {
    grid_ = &MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"Bg");
    background_ = &MakePart<Border>(*grid_, L"System.Windows.Controls.Border", L"");
    auto line = [this](bool increase) -> Element& {
        auto& button =
            MakePart<RepeatButton>(*grid_, L"System.Windows.Controls.Primitives.RepeatButton", L"");
        button.SetFocusable(false);
        button.SetClickHandler([this, increase](ButtonBase&) { OnStep(increase, false); });
        return button;
    };
    lineUp_ = &line(false);
    BuildTrack(*grid_);
    lineDown_ = &line(true);
    OnOrientationChanged();
}

void ScrollBar::OnOrientationChanged() {
    if (!grid_) return;
    const bool horizontal = Horizontal();
    lineUp_->SetName(horizontal ? L"PART_LineLeftButton" : L"PART_LineUpButton");
    lineDown_->SetName(horizontal ? L"PART_LineRightButton" : L"PART_LineDownButton");
    GetTrack()->SetDirectionReversed(!horizontal);
    // Line buttons of the system's scroll bar button size at the ends, the track between them.
    constexpr double kLine = 17;
    grid_->rows.clear();
    grid_->columns.clear();
    (horizontal ? grid_->columns : grid_->rows) = {kLine, -0.00001, kLine};
    int place = 0;
    for (Element* part : {lineUp_, static_cast<Element*>(GetTrack()), lineDown_}) {
        part->Layout().row = horizontal ? 0 : place;
        part->Layout().column = horizontal ? place : 0;
        ++place;
    }
    background_->Layout().row = horizontal ? 0 : 1;
    background_->Layout().column = horizontal ? 1 : 0;
}

double ScrollBar::ThumbLength(double trackLength) const {
    const double range = Maximum() - Minimum();
    if (viewportSize_ <= 0 || range + viewportSize_ <= 0) return std::min(trackLength, 17.0);
    return std::max(10.0, trackLength * viewportSize_ / (range + viewportSize_));
}

Size ScrollBar::MeasureOverride(Size available) {
    Control::MeasureOverride(available);
    return Horizontal() ? Size{68, 17} : Size{17, 68};
}

void ScrollBar::ArrangeOverride(Rect inner) {
    // Aero2's line button tracks are star tracks of at most the button size: a bar shorter than two
    // buttons shares its length between them, the track between them gets nothing.
    if (grid_) {
        const double line = std::min(17.0, (Horizontal() ? inner.width : inner.height) / 2);
        (Horizontal() ? grid_->columns : grid_->rows) = {line, -0.00001, line};
    }
    RangeBase::ArrangeOverride(inner);
}

void ScrollBar::Follow(double scrollable, double viewport, double offset) noexcept {
    FollowRange(scrollable, offset);
    viewportSize_ = viewport;
}

// Standalone, a line button moves the value by SmallChange and a page button by LargeChange; in a scroll
// viewer's template the buttons' commands scroll the viewer (ScrollBar.LineUpCommand and the others reach
// the viewer's handlers).
void ScrollBar::OnStep(bool increase, bool page) {
    if (!viewer_) return RangeBase::OnStep(increase, page);
    viewer_->ScrollBy(Horizontal(), page, increase ? 1 : -1);
}

// --- Slider
// ---------------------------------------------------------------------------------------------------

Slider::Slider(Application& app, std::wstring className, std::wstring name)
    : RangeBase(app, std::move(className), std::move(name), 10.0) {
    auto property = [this](const wchar_t* name, double (Slider::*get)() const, void (Slider::*set)(double)) {
        AddProperty(
            name, [this, get] { return Number((this->*get)()); },
            [this, set](const VARIANT& v) { (this->*set)(DoubleOf(v)); });
    };
    property(L"TickFrequency", &Slider::TickFrequency, &Slider::SetTickFrequency);
    property(L"SelectionStart", &Slider::SelectionStart, &Slider::SetSelectionStart);
    property(L"SelectionEnd", &Slider::SelectionEnd, &Slider::SetSelectionEnd);
    AddProperty(
        L"IsSnapToTickEnabled", [this] { return ov::Variant::Bool(snapToTick_); },
        [this](const VARIANT& v) { snapToTick_ = BoolOf(v); });
    AddProperty(
        L"IsSelectionRangeEnabled", [this] { return ov::Variant::Bool(selectionRange_); },
        [this](const VARIANT& v) { selectionRange_ = BoolOf(v); });
    AddProperty(
        L"IsDirectionReversed", [this] { return ov::Variant::Bool(reversed_); },
        [this](const VARIANT& v) { SetDirectionReversed(BoolOf(v)); });
    // A DoubleCollection over the current ticks (a null object when the property is null).
    AddProperty(L"Ticks", [this]() -> ov::Variant {
        if (!ticks_) return Obj(nullptr);
        auto ticks = ov::Create<ClrObject>(SharedRuntime(), L"System.Windows.Media.DoubleCollection");
        ticks->AddProperty(
            L"Count", [this] { return ov::Variant::Int(ticks_ ? static_cast<LONG>(ticks_->size()) : 0); });
        ticks->AddMethod(L"get_Item", 1, [this](const Args& a) {
            const LONG i = IntOf(a[0]);
            if (!ticks_ || i < 0 || static_cast<size_t>(i) >= ticks_->size())
                throw ArgumentOutOfRange(L"index");
            return Number((*ticks_)[static_cast<size_t>(i)]);
        });
        return Obj(ticks.Get());
    });
}

double Slider::SnapToTick(double value) const {
    if (!snapToTick_) return value;
    double previous = Minimum(), next = Maximum();
    if (ticks_ && !ticks_->empty()) {
        for (double tick : *ticks_) {
            if (AreClose(tick, value)) return value;
            if (LessThan(tick, value) && GreaterThan(tick, previous))
                previous = tick;
            else if (GreaterThan(tick, value) && LessThan(tick, next))
                next = tick;
        }
    } else if (GreaterThan(tickFrequency_, 0)) {
        previous = Minimum() + std::round((value - Minimum()) / tickFrequency_) * tickFrequency_;
        next = std::min(Maximum(), previous + tickFrequency_);
    }
    const double middle = (previous + next) * 0.5;
    return (value > middle || AreClose(value, middle)) ? next : previous;
}

// As WPF's MoveToNextTick: the step snapped; when snapping brings the value back, the next tick beyond it.
void Slider::OnStep(bool increase, bool page) {
    const double direction = (page ? LargeChange() : SmallChange()) * (increase ? 1 : -1);
    if (direction == 0) return;
    const double value = Value();
    double next = SnapToTick(std::clamp(value + direction, Minimum(), Maximum()));
    if (next == value && !(increase && value == Maximum()) && !(!increase && value == Minimum())) {
        if (ticks_ && !ticks_->empty()) {
            for (double tick : *ticks_)
                if ((increase && GreaterThan(tick, value) && (LessThan(tick, next) || next == value)) ||
                    (!increase && LessThan(tick, value) && (GreaterThan(tick, next) || next == value)))
                    next = tick;
        } else if (GreaterThan(tickFrequency_, 0)) {
            double tickNumber = std::round((value - Minimum()) / tickFrequency_) + (increase ? 1 : -1);
            next = Minimum() + tickNumber * tickFrequency_;
        }
    }
    if (next != value) SetValue(std::clamp(next, Minimum(), Maximum()));
}

// Aero2's template: the Border "border" around a Grid holding the track (tick bars and the track's
// background are drawings the simulation leaves out).
void Slider::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"border");
    BuildTrack(MakePart<Grid>(border, L"System.Windows.Controls.Grid", L""));
}

void Slider::SetDirectionReversed(bool reversed) {
    reversed_ = reversed;
    if (GetTrack()) GetTrack()->SetDirectionReversed(reversed);
    InvalidateLayout();
}

Size Slider::MeasureOverride(Size available) {
    Control::MeasureOverride(available);
    return Horizontal() ? Size{104, 22} : Size{22, 104};
}

// --- documents
// ------------------------------------------------------------------------------------------------

namespace {

bool IsBlock(const Element& e) {
    const std::wstring& name = e.ClassName();
    return dynamic_cast<const Paragraph*>(&e) ||
           (dynamic_cast<const BlockHolder*>(&e) &&
            (name == L"System.Windows.Documents.Section" || name == L"System.Windows.Documents.List" ||
             name == L"System.Windows.Documents.Table"));
}

} // namespace

void FlowDocument::AddChild(Element& child) {
    if (!IsBlock(child)) throw std::invalid_argument("a FlowDocument holds blocks");
    AddLogicalChild(child);
    InvalidateLayout();
}

void BlockHolder::AddChild(Element& child) {
    static const wchar_t* const kHeld[] = {
        nullptr, L"System.Windows.Documents.ListItem", L"System.Windows.Documents.TableRowGroup",
        L"System.Windows.Documents.TableRow", L"System.Windows.Documents.TableCell"};
    const bool fits = holds_ == Holds::Blocks ? IsBlock(child)
                                              : dynamic_cast<BlockHolder*>(&child) &&
                                                    child.ClassName() == kHeld[static_cast<size_t>(holds_)];
    if (!fits) throw std::invalid_argument("not a child of this block");
    AddLogicalChild(child);
    InvalidateLayout();
}

std::wstring BlockHolder::DisplayText() const {
    std::wstring text;
    ForEachLine(*this, [&](const Element& line) {
        if (!text.empty()) text += L' ';
        text += line.DisplayText();
    });
    return text;
}

void ForEachLine(const Element& block, const std::function<void(const Element&)>& line) {
    if (!dynamic_cast<const BlockHolder*>(&block)) {
        line(block);
        return;
    }
    for (const Element* child : block.LogicalChildren())
        ForEachLine(*child, line);
}

Paragraph::Paragraph(Application& app, std::wstring className, std::wstring name)
    : FrameworkContentElement(app, std::move(className), std::move(name)) {}

void Paragraph::AddChild(Element& child) {
    Inline& inline_ = AsInline(*this, child);
    AddLogicalChild(inline_);
    text_ += inline_.InlineText();
    InvalidateLayout();
}

void FixedDocument::AddChild(Element& child) {
    if (!dynamic_cast<PageContent*>(&child))
        throw std::invalid_argument("a FixedDocument holds PageContents");
    AddLogicalChild(child);
}

void PageContent::AddChild(Element& child) {
    if (!dynamic_cast<FixedPage*>(&child) || !LogicalChildren().empty())
        throw std::invalid_argument("a PageContent holds one FixedPage");
    AddLogicalChild(child);
}

FixedPage::FixedPage(Application& app, std::wstring className, std::wstring name)
    : Canvas(app, std::move(className), std::move(name)) {
    Layout().width = 816;
    Layout().height = 1056;
}

DocumentScroller::DocumentScroller(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Document", [this] { return Obj(document_.Get()); },
        [this](const VARIANT& v) {
            ov::ComPtr<ClrObject> object = ObjectOf(v);
            auto* document = dynamic_cast<Element*>(object.Get());
            if (object && (!document || !TakesDocument(*document))) throw ov::ComError(DISP_E_TYPEMISMATCH);
            SetDocument(document);
        });
    // Internal: the template's ScrollViewer.
    AddProperty(L"ScrollViewer", [this] { return Obj(viewer_); });
}

void DocumentScroller::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
    viewer_ = &MakePart<ScrollViewer>(border, L"System.Windows.Controls.ScrollViewer", L"PART_ContentHost");
    viewer_->SetBarVisibility(true, ScrollViewer::BarVisibility::Auto);
    viewer_->SetBarVisibility(false, ScrollViewer::BarVisibility::Visible);
    viewer_->SetContentElement(&MakeView());
}

void DocumentScroller::SetDocument(Element* document) {
    if (document_) RemoveLogicalChild(*document_);
    document_ = document;
    if (document) AddLogicalChild(*document);
    OnDocumentChanged();
    InvalidateLayout();
}

void DocumentScroller::AddChild(Element& child) {
    if (document_) throw std::invalid_argument("the document is set already");
    if (!TakesDocument(child)) throw std::invalid_argument("not a document of this viewer");
    SetDocument(&child);
}

namespace {

// The view of a flow document: one line of text for every paragraph, within a page padding.
class FlowDocumentView : public FrameworkElement {
public:
    FlowDocumentView(Application& app, std::wstring className, std::wstring name, DocumentScroller& viewer)
        : FrameworkElement(app, std::move(className), std::move(name)), viewer_(viewer) {}

protected:
    Size MeasureOverride(Size) override {
        constexpr double kPadding = 20, kLine = 16;
        Size size{2 * kPadding, 2 * kPadding};
        if (Element* document = viewer_.Document())
            for (Element* block : document->LogicalChildren())
                ForEachLine(*block, [&](const Element& line) {
                    size.width = std::max(size.width, 2 * kPadding + 7.0 * line.DisplayText().size());
                    size.height += kLine;
                });
        return size;
    }

private:
    DocumentScroller& viewer_;
};

// The pages of a fixed document, one below the other.
class DocumentGrid : public FrameworkElement {
public:
    using FrameworkElement::FrameworkElement;

protected:
    static constexpr double kGap = 10;
    Size MeasureOverride(Size) override {
        Size size{0, kGap};
        for (Element* page : Children()) {
            page->Measure({Infinity, Infinity});
            size.width = std::max(size.width, page->DesiredSize().width + 2 * kGap);
            size.height += page->DesiredSize().height + kGap;
        }
        return size;
    }
    void ArrangeOverride(Rect inner) override {
        double y = inner.y + kGap;
        for (Element* page : Children()) {
            Size s = page->DesiredSize();
            page->Arrange({inner.x + kGap, y, s.width, s.height});
            y += s.height + kGap;
        }
    }
};

} // namespace

Element& FlowDocumentScrollViewer::MakeView() {
    return MakeDetachedPart<FlowDocumentView>(L"MS.Internal.Documents.FlowDocumentView", L"", *this);
}

bool FlowDocumentScrollViewer::TakesDocument(Element& document) const {
    return dynamic_cast<FlowDocument*>(&document) != nullptr;
}

Element& DocumentViewer::MakeView() {
    grid_ = &MakeDetachedPart<DocumentGrid>(L"MS.Internal.Documents.DocumentGrid", L"");
    return *grid_;
}

bool DocumentViewer::TakesDocument(Element& document) const {
    return dynamic_cast<FixedDocument*>(&document) != nullptr;
}

// The grid shows the pages themselves.
void DocumentViewer::OnDocumentChanged() {
    while (!grid_->Children().empty())
        grid_->RemoveVisualChild(*grid_->Children().back());
    if (Element* document = Document())
        for (Element* content : document->LogicalChildren())
            for (Element* page : content->LogicalChildren())
                grid_->AddVisualChild(*page);
    grid_->InvalidateLayout();
}

// --- XAML
// -----------------------------------------------------------------------------------------------------

namespace xaml {
namespace {

template <BlockHolder::Holds holds> Element& MakeBlocks(Application& app, std::wstring className) {
    return app.Create<BlockHolder>(std::move(className), L"", holds);
}

template <class T, void (T::*set)(double)> void SetNumber(Node& n, std::wstring_view v) {
    (As<T>(n).*set)(ToNumber(v));
}

// The changes and a scroll bar's viewport, which WPF's validation takes from 0 on.
template <class T, void (T::*set)(double)> void SetNonNegative(Node& n, std::wstring_view v) {
    const double number = ToNumber(v);
    if (number < 0) throw ValueError{L"a number of 0 or more expected"};
    (As<T>(n).*set)(number);
}

bool ToHorizontal(std::wstring_view v) {
    return EnumValue(v, {L"Horizontal", L"Vertical"}) == 0;
}

// A DoubleCollection as its converter reads it: numbers separated by commas or white space.
std::vector<double> ToDoubles(std::wstring_view value) {
    std::vector<double> numbers;
    try {
        for (std::wstring_view item : ListItems(value))
            numbers.push_back(ToNumber(item));
    } catch (const ValueError&) {
        throw ValueError{L"numbers separated by commas or white space expected"};
    }
    return numbers;
}

void SetDocument(Node& n, Element& document) {
    auto& viewer = As<DocumentScroller>(n);
    if (viewer.Document()) throw ValueError{L"the document is set already"};
    try {
        viewer.AddChild(document);
    } catch (const std::invalid_argument&) {
        throw ValueError{L"not a document of this viewer"};
    }
}

} // namespace

std::vector<Type> RangeTypes() {
    const std::vector<Property> range = {
        {L"Minimum", &SetNumber<RangeBase, &RangeBase::SetMinimum>},
        {L"Maximum", &SetNumber<RangeBase, &RangeBase::SetMaximum>},
        {L"Value", &SetNumber<RangeBase, &RangeBase::SetValue>},
        {L"SmallChange", &SetNonNegative<RangeBase, &RangeBase::SetSmallChange>},
        {L"LargeChange", &SetNonNegative<RangeBase, &RangeBase::SetLargeChange>},
    };
    auto orientation = [](Node& n, std::wstring_view v) { As<RangeBase>(n).SetHorizontal(ToHorizontal(v)); };
    const Property document{L"Document", nullptr, &SetDocument};
    const Property verticalBar{L"VerticalScrollBarVisibility", [](Node& n, std::wstring_view v) {
                                   As<DocumentScroller>(n).Viewer()->SetBarVisibility(
                                       false, static_cast<ScrollViewer::BarVisibility>(EnumValue(
                                                  v, {L"Disabled", L"Auto", L"Hidden", L"Visible"})));
                               }};
    const Property horizontalBar{L"HorizontalScrollBarVisibility", [](Node& n, std::wstring_view v) {
                                     As<DocumentScroller>(n).Viewer()->SetBarVisibility(
                                         true, static_cast<ScrollViewer::BarVisibility>(EnumValue(
                                                   v, {L"Disabled", L"Auto", L"Hidden", L"Visible"})));
                                 }};
    return {
        {.name = L"RangeBase",
         .className = L"System.Windows.Controls.Primitives.RangeBase",
         .base = L"Control",
         .properties = range},
        {.name = L"ScrollBar",
         .className = L"System.Windows.Controls.Primitives.ScrollBar",
         .base = L"RangeBase",
         .make = &Make<ScrollBar>,
         .properties = {{L"Orientation", orientation},
                        {L"ViewportSize", &SetNonNegative<ScrollBar, &ScrollBar::SetViewportSize>}}},
        {.name = L"Slider",
         .className = L"System.Windows.Controls.Slider",
         .base = L"RangeBase",
         .make = &Make<Slider>,
         .properties =
             {
                 {L"Orientation", orientation},
                 {L"TickFrequency", &SetNumber<Slider, &Slider::SetTickFrequency>},
                 {L"Ticks",
                  [](Node& n, std::wstring_view v) {
                      if (Trim(v) == L"{x:Null}")
                          As<Slider>(n).SetTicks(std::nullopt);
                      else
                          As<Slider>(n).SetTicks(ToDoubles(v));
                  }},
                 {L"IsSnapToTickEnabled",
                  [](Node& n, std::wstring_view v) { As<Slider>(n).SetSnapToTickEnabled(ToBool(v)); }},
                 {L"IsSelectionRangeEnabled",
                  [](Node& n, std::wstring_view v) { As<Slider>(n).SetSelectionRangeEnabled(ToBool(v)); }},
                 {L"SelectionStart", &SetNumber<Slider, &Slider::SetSelectionStart>},
                 {L"SelectionEnd", &SetNumber<Slider, &Slider::SetSelectionEnd>},
                 {L"IsDirectionReversed",
                  [](Node& n, std::wstring_view v) { As<Slider>(n).SetDirectionReversed(ToBool(v)); }},
                 Cosmetic(L"TickPlacement"),
                 Cosmetic(L"IsMoveToPointEnabled"),
             }},
        {.name = L"FlowDocumentScrollViewer",
         .className = L"System.Windows.Controls.FlowDocumentScrollViewer",
         .base = L"Control",
         .make = &Make<FlowDocumentScrollViewer>,
         .properties = {document, verticalBar, horizontalBar, Cosmetic(L"IsToolBarVisible"),
                        Cosmetic(L"Zoom")},
         .content = Content::Single},
        {.name = L"DocumentViewer",
         .className = L"System.Windows.Controls.DocumentViewer",
         .base = L"Control",
         .make = &Make<DocumentViewer>,
         .properties = {document, verticalBar, horizontalBar, Cosmetic(L"Zoom")},
         .content = Content::Single},
        {.name = L"FlowDocument",
         .className = L"System.Windows.Documents.FlowDocument",
         .make = &Make<FlowDocument>,
         .properties = {Cosmetic(L"FontFamily"), Cosmetic(L"FontSize"), Cosmetic(L"PagePadding")},
         .content = Content::Many},
        {.name = L"Paragraph",
         .className = L"System.Windows.Documents.Paragraph",
         .make = &Make<Paragraph>,
         .properties = {{L"Inlines",
                         [](Node& n, std::wstring_view v) { As<Paragraph>(n).SetText(std::wstring(v)); }},
                        Cosmetic(L"FontSize"),
                        Cosmetic(L"FontWeight")},
         .content = Content::Inlines,
         .textProperty = L"Inlines"},
        {.name = L"Section",
         .className = L"System.Windows.Documents.Section",
         .make = &MakeBlocks<BlockHolder::Holds::Blocks>,
         .properties = {Cosmetic(L"FontSize"), Cosmetic(L"FontWeight")},
         .content = Content::Many},
        {.name = L"List",
         .className = L"System.Windows.Documents.List",
         .make = &MakeBlocks<BlockHolder::Holds::ListItems>,
         .content = Content::Many},
        {.name = L"ListItem",
         .className = L"System.Windows.Documents.ListItem",
         .make = &MakeBlocks<BlockHolder::Holds::Blocks>,
         .content = Content::Many},
        {.name = L"Table",
         .className = L"System.Windows.Documents.Table",
         .make = &MakeBlocks<BlockHolder::Holds::RowGroups>,
         .content = Content::Many},
        {.name = L"TableRowGroup",
         .className = L"System.Windows.Documents.TableRowGroup",
         .make = &MakeBlocks<BlockHolder::Holds::Rows>,
         .content = Content::Many},
        {.name = L"TableRow",
         .className = L"System.Windows.Documents.TableRow",
         .make = &MakeBlocks<BlockHolder::Holds::Cells>,
         .content = Content::Many},
        {.name = L"TableCell",
         .className = L"System.Windows.Documents.TableCell",
         .make = &MakeBlocks<BlockHolder::Holds::Blocks>,
         .content = Content::Many},
        {.name = L"FixedDocument",
         .className = L"System.Windows.Documents.FixedDocument",
         .make = &Make<FixedDocument>,
         .content = Content::Many},
        {.name = L"PageContent",
         .className = L"System.Windows.Documents.PageContent",
         .make = &Make<PageContent>,
         .content = Content::Single},
        {.name = L"FixedPage",
         .className = L"System.Windows.Documents.FixedPage",
         .base = L"FrameworkElement",
         .make = &Make<FixedPage>,
         .properties = {Cosmetic(L"Background")},
         .content = Content::Many},
    };
}

} // namespace xaml

} // namespace wpfsim
