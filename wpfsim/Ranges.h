// The range controls and the document viewers of the simulated application, with WPF's behaviour:
//
//   RangeBase    "Minimum", "Maximum", "Value", "SmallChange", "LargeChange" (get, put). As WPF's
//                dependency properties coerce: the effective Maximum is at least Minimum and the effective
//                Value lies between them, while the values set are kept, so that a wider range later gives
//                a set Value back. A value that is not a finite number throws ArgumentException ("'NaN' is
//                not a valid value for property 'Value'."), as does a negative SmallChange or LargeChange.
//   ScrollBar    "Orientation" (0 Horizontal, 1 Vertical, the default), "ViewportSize" (0 or more); template:
//                the two line RepeatButtons around a Track ("PART_Track": page RepeatButtons around the
//                "Thumb"); a line button moves by SmallChange, a page button by LargeChange (clamped)
//   Slider       Maximum 10 by default; "Orientation" (Horizontal by default), "TickFrequency" (1),
//                "Ticks" (a DoubleCollection: "Count", "get_Item"; empty by default, or null),
//                "IsSnapToTickEnabled", "IsSelectionRangeEnabled", "SelectionStart" (coerced into the
//                range), "SelectionEnd" (coerced between SelectionStart and Maximum); template: a Track
//                ("PART_Track") whose page RepeatButtons move by LargeChange to the next tick when
//                snapping, as WPF's MoveToNextTick does. A Value set from code is clamped, never snapped:
//                WPF snaps only what the user does.
//   FlowDocumentScrollViewer  "Document" (a FlowDocument of Paragraphs, each one line of text) shown by a
//                FlowDocumentView inside the template's ScrollViewer ("PART_ContentHost"), which the
//                internal "ScrollViewer" gives; "HorizontalScrollBarVisibility" Auto and
//                "VerticalScrollBarVisibility" Visible by default, as WPF's
//   DocumentViewer  "Document" (a FixedDocument of PageContents, each holding a FixedPage of its Width and
//                Height, 816 by 1056 by default) shown by a DocumentGrid in the template's ScrollViewer
//                ("PART_ContentHost", the internal "ScrollViewer"): the pages stacked with a gap of 10
#pragma once

#include "Buttons.h"
#include "Panels.h"
#include "ScrollViewer.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace wpfsim {

class Track;

class RangeBase : public Control {
public:
    RangeBase(Application& app, std::wstring className, std::wstring name, double maximum);

    double Minimum() const noexcept { return minimum_; }
    double Maximum() const noexcept { return std::max(maximum_, minimum_); }
    double Value() const noexcept { return std::clamp(value_, Minimum(), Maximum()); }
    // As setting the properties from code; throws ClrException for a value that is no finite number.
    void SetMinimum(double minimum);
    void SetMaximum(double maximum);
    void SetValue(double value);
    double SmallChange() const noexcept { return smallChange_; }
    double LargeChange() const noexcept { return largeChange_; }
    void SetSmallChange(double change) { smallChange_ = CheckedNonNegative(change, L"SmallChange"); }
    void SetLargeChange(double change) { largeChange_ = CheckedNonNegative(change, L"LargeChange"); }
    bool Horizontal() const noexcept { return horizontal_; }
    void SetHorizontal(bool horizontal) {
        horizontal_ = horizontal;
        OnOrientationChanged();
        InvalidateLayout();
    }

    // What a click on one of the template's RepeatButtons does (page: LargeChange, else SmallChange).
    virtual void OnStep(bool increase, bool page);
    // The thumb's length along the track, of the track's length.
    virtual double ThumbLength(double trackLength) const = 0;

protected:
    static double Checked(double value, const wchar_t* property);
    static double CheckedNonNegative(double value, const wchar_t* property);
    void OnApplyTemplate() override;
    // The track and its parts, under `parent` (a part of the kind's template).
    Track& BuildTrack(Element& parent);
    Track* GetTrack() const noexcept { return track_; }
    virtual void OnOrientationChanged() {}
    // The range as a binding sets it (a scroll viewer's bars), without asking for a new layout.
    void FollowRange(double maximum, double value) noexcept {
        minimum_ = 0;
        maximum_ = maximum;
        value_ = value;
    }

private:
    double minimum_ = 0, maximum_, value_ = 0;
    double smallChange_ = 0.1, largeChange_ = 1;
    bool horizontal_ = true;
    Track* track_ = nullptr;
};

// The part that places the page RepeatButtons and the Thumb by the owner's value: the decreasing button
// left (horizontal) or at the bottom (vertical: values grow upwards), unless "IsDirectionReversed" (a
// vertical scroll bar's track is).
class Track : public FrameworkElement {
public:
    Track(Application& app, std::wstring className, std::wstring name, RangeBase& owner);
    // Makes the page RepeatButtons and the "Thumb", parts of the owner's template.
    void Build();
    void SetDirectionReversed(bool reversed) noexcept { reversed_ = reversed; }

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    RangeBase& owner_;
    bool reversed_ = false;
    Element* decrease_ = nullptr;
    Element* thumb_ = nullptr;
    Element* increase_ = nullptr;
};

class ScrollBar : public RangeBase {
public:
    ScrollBar(Application& app, std::wstring className, std::wstring name);
    double ViewportSize() const noexcept { return viewportSize_; }
    void SetViewportSize(double size) { viewportSize_ = CheckedNonNegative(size, L"ViewportSize"); }
    double ThumbLength(double trackLength) const override;
    // A bar of a scroll viewer's template (not standalone): it shows the viewer's state, and its buttons
    // scroll the viewer.
    void ScrollFor(ScrollViewer& viewer) noexcept { viewer_ = &viewer; }
    void Follow(double scrollable, double viewport, double offset) noexcept;
    void OnStep(bool increase, bool page) override;

protected:
    void OnApplyTemplate() override;
    void OnOrientationChanged() override;
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;
    // Enabled only with something to scroll (Maximum above Minimum), as WPF's.
    bool IsEnabledCore() const noexcept override {
        return RangeBase::IsEnabledCore() && Maximum() > Minimum();
    }

private:
    double viewportSize_ = 0;
    ScrollViewer* viewer_ = nullptr;
    Grid* grid_ = nullptr;
    Element* background_ = nullptr;
    Element* lineUp_ = nullptr;
    Element* lineDown_ = nullptr;
};

class Slider : public RangeBase {
public:
    Slider(Application& app, std::wstring className, std::wstring name);

    double TickFrequency() const noexcept { return tickFrequency_; }
    void SetTickFrequency(double frequency) { tickFrequency_ = Checked(frequency, L"TickFrequency"); }
    // nullopt: the Ticks property is null.
    const std::optional<std::vector<double>>& Ticks() const noexcept { return ticks_; }
    void SetTicks(std::optional<std::vector<double>> ticks) { ticks_ = std::move(ticks); }
    bool IsSnapToTickEnabled() const noexcept { return snapToTick_; }
    void SetSnapToTickEnabled(bool snap) noexcept { snapToTick_ = snap; }
    bool IsSelectionRangeEnabled() const noexcept { return selectionRange_; }
    void SetSelectionRangeEnabled(bool enabled) noexcept { selectionRange_ = enabled; }
    double SelectionStart() const noexcept { return std::clamp(selectionStart_, Minimum(), Maximum()); }
    double SelectionEnd() const noexcept { return std::clamp(selectionEnd_, SelectionStart(), Maximum()); }
    void SetSelectionStart(double start) { selectionStart_ = Checked(start, L"SelectionStart"); }
    void SetSelectionEnd(double end) { selectionEnd_ = Checked(end, L"SelectionEnd"); }

    // The nearest tick (or end of the range) when snapping, else the value itself.
    double SnapToTick(double value) const;
    void OnStep(bool increase, bool page) override;
    double ThumbLength(double) const override { return 11; }
    void SetDirectionReversed(bool reversed);

protected:
    void OnApplyTemplate() override;
    Size MeasureOverride(Size available) override;

private:
    double tickFrequency_ = 1;
    std::optional<std::vector<double>> ticks_{std::in_place};
    bool snapToTick_ = false;
    bool selectionRange_ = false;
    double selectionStart_ = 0, selectionEnd_ = 0;
    bool reversed_ = false;
};

// Document content: in the logical tree of its viewer, shown through the viewer's own view element.
class FlowDocument : public FrameworkContentElement {
public:
    using FrameworkContentElement::FrameworkContentElement;
    void AddChild(Element& child) override;
};

// The blocks that hold other blocks, as WPF nests them: Section and ListItem and TableCell hold blocks, a
// List its ListItems, a Table its TableRowGroups, a group its TableRows, a row its TableCells. Each is
// "System.Windows.Documents.<name>"; the views show every paragraph inside as one line.
class BlockHolder : public FrameworkContentElement {
public:
    enum class Holds { Blocks, ListItems, RowGroups, Rows, Cells };
    BlockHolder(Application& app, std::wstring className, std::wstring name, Holds holds)
        : FrameworkContentElement(app, std::move(className), std::move(name)), holds_(holds) {}
    void AddChild(Element& child) override;
    std::wstring DisplayText() const override;

private:
    Holds holds_;
};

// Calls `line` for each paragraph of a document's block, in order (a paragraph is one line of a view).
void ForEachLine(const Element& block, const std::function<void(const Element&)>& line);

class Paragraph : public FrameworkContentElement {
public:
    Paragraph(Application& app, std::wstring className, std::wstring name);
    const std::wstring& Text() const noexcept { return text_; }
    void SetText(std::wstring text) {
        text_ = std::move(text);
        InvalidateLayout();
    }
    std::wstring DisplayText() const override { return text_; }
    // An inline element (Run, Bold, LineBreak, ...): its text is appended to the paragraph's.
    void AddChild(Element& child) override;

private:
    std::wstring text_;
};

// A viewer whose template holds a ScrollViewer ("PART_ContentHost") showing a view of its document.
class DocumentScroller : public Control {
public:
    DocumentScroller(Application& app, std::wstring className, std::wstring name);
    ScrollViewer* Viewer() const noexcept { return viewer_; }
    Element* Document() const noexcept { return document_.Get(); }
    void SetDocument(Element* document);
    void AddChild(Element& child) override;

protected:
    void OnApplyTemplate() override;
    // The element in the ScrollViewer that shows the document, made by the kind.
    virtual Element& MakeView() = 0;
    virtual bool TakesDocument(Element& document) const = 0;
    // Called when the document changed, for the view to follow.
    virtual void OnDocumentChanged() {}

private:
    ScrollViewer* viewer_ = nullptr;
    ov::ComPtr<Element> document_;
};

class FlowDocumentScrollViewer : public DocumentScroller {
public:
    using DocumentScroller::DocumentScroller;

protected:
    Element& MakeView() override;
    bool TakesDocument(Element& document) const override;
};

class FixedDocument : public FrameworkContentElement {
public:
    using FrameworkContentElement::FrameworkContentElement;
    void AddChild(Element& child) override;
};

class PageContent : public FrameworkElement {
public:
    using FrameworkElement::FrameworkElement;
    void AddChild(Element& child) override;
};

class FixedPage : public Canvas {
public:
    FixedPage(Application& app, std::wstring className, std::wstring name);
};

class DocumentViewer : public DocumentScroller {
public:
    using DocumentScroller::DocumentScroller;

protected:
    Element& MakeView() override;
    bool TakesDocument(Element& document) const override;
    void OnDocumentChanged() override;

private:
    Element* grid_ = nullptr;
};

} // namespace wpfsim
