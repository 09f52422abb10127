// The framework elements an application is built from, with WPF's layout rules:
//
//   FrameworkElement   a plain element of its class (decorations and user classes without behaviour)
//   Control            focusable; "Padding"; a template built by the kind (OnApplyTemplate)
//   Window             a Control: a Border holding a ContentPresenter of its "Content"; "Title"
//   TextBlock          "Text" (get, put)
//   Panel kinds        StackPanel ("Orientation"), WrapPanel, DockPanel (DockPanel.Dock, the last child
//                      fills), Grid (rows and columns sized by content or fixed, Grid.Row/Column/...Span),
//                      Canvas (Canvas.Left/Top); "Children" is their content
//   Border             "Child" with its "Padding"
//   ContentPresenter   shows its templated parent's content: an element as its visual child, text in a
//                      TextBlock of its own
//   ContentControl     "Content" (get, put): text, or an element (its logical child, "Content" returns it)
//   Popup              "IsOpen" (get, put), "Child", "StaysOpen", "PlacementTarget": its child lives in a
//                      top-level window whose root is a PopupRoot, which exists only while the popup is open
//   ScrollViewer       "HorizontalOffset", "VerticalOffset", "ExtentWidth", "ExtentHeight", "ViewportWidth",
//                      "ViewportHeight", "ScrollableWidth", "ScrollableHeight", "ScrollToHorizontalOffset",
//                      "ScrollToVerticalOffset", "ComputedHorizontalScrollBarVisibility"... offsets clamp to
//                      [0, scrollable]; a direction whose scroll bar visibility is Disabled has no scrollable
//                      extent; a panel that scrolls by items (a virtualizing panel) counts its extent,
//                      viewport and offset in items, as WPF's do
#pragma once

#include "Element.h"

#include <optional>

namespace wpfsim {

class FrameworkElement : public Element {
public:
    using Element::Element;
};

class Control : public Element {
public:
    Control(Application& app, std::wstring className, std::wstring name);
    const Thickness& Padding() const noexcept { return padding_; }
    void SetPadding(Thickness padding) {
        padding_ = padding;
        InvalidateLayout();
    }

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    Thickness padding_;
};

// What a ContentControl (or a HeaderedItemsControl's header) holds: text or an element. The holder makes
// the element its logical child.
class Content {
public:
    std::optional<std::wstring> text;
    ov::ComPtr<Element> element;
    bool Empty() const noexcept { return !text && !element; }
    std::wstring Text() const;
};

// What a "Header" gives: its element, its text, or a null object.
ov::Variant HeaderValue(const Element& self, const Content& header);

class ContentPresenter : public FrameworkElement {
public:
    using FrameworkElement::FrameworkElement;
    // Shows the content: replaces what the presenter showed before.
    void Show(const Content& content);
    std::wstring DisplayText() const override;
    // Text content shows in an AccessText (RecognizesAccessKey, as menu item headers have it).
    void SetRecognizesAccessKey(bool recognizes) noexcept { accessKey_ = recognizes; }

private:
    Element* text_ = nullptr;
    bool accessKey_ = false;
};

class ContentControl : public Control {
public:
    ContentControl(Application& app, std::wstring className, std::wstring name);
    const wpfsim::Content& GetContent() const noexcept { return content_; }
    std::wstring ContentText() const { return content_.Text(); }
    void SetContent(std::wstring text);
    void SetContentElement(Element* element);
    void AddChild(Element& child) override;
    std::wstring DisplayText() const override { return content_.Text(); }

protected:
    // The presenter that shows the content (made by the kind's template; the default template is a
    // Border holding it).
    void OnApplyTemplate() override;
    void SetPresenter(ContentPresenter* presenter);
    virtual void OnContentChanged() {}
    ov::Variant ContentValue() const;

private:
    void Present();
    wpfsim::Content content_;
    ContentPresenter* presenter_ = nullptr;
};

class Window : public ContentControl {
public:
    Window(Application& app, std::wstring className, std::wstring name);
    const std::wstring& Title() const noexcept { return title_; }
    void SetTitle(std::wstring title) { title_ = std::move(title); }

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    std::wstring title_;
};

class TextBlock : public FrameworkElement {
public:
    TextBlock(Application& app, std::wstring className, std::wstring name);
    const std::wstring& Text() const noexcept { return text_; }
    void SetText(std::wstring text) {
        text_ = std::move(text);
        InvalidateLayout();
    }
    std::wstring DisplayText() const override { return text_; }
    // "TextWrapping": the text breaks between words to fit the width it is given; a word longer than
    // the width is broken inside with Wrap and overflows with WrapWithOverflow, as in WPF.
    enum class Wrapping { NoWrap = 0, Wrap = 1, WrapWithOverflow = 2 };
    void SetWrapping(Wrapping wrapping) {
        wrapping_ = wrapping;
        InvalidateLayout();
    }

protected:
    Size MeasureOverride(Size available) override;

private:
    std::wstring text_;
    Wrapping wrapping_ = Wrapping::NoWrap;
};

// "System.Windows.Controls.AccessText": "Text" is the text as given ("_Open"); it shows it without the
// access-key marker (the first "_" before a character; "__" shows as "_").
class AccessText : public TextBlock {
public:
    AccessText(Application& app, std::wstring className, std::wstring name);
    void SetAccessText(std::wstring text);
    static std::wstring Shown(std::wstring_view text);

private:
    std::wstring raw_;
};

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

class Border : public FrameworkElement {
public:
    using FrameworkElement::FrameworkElement;
    Thickness padding;
    void AddChild(Element& child) override;

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;
};

class PopupRoot;

class Popup : public FrameworkElement {
public:
    Popup(Application& app, std::wstring className, std::wstring name);
    bool IsOpen() const noexcept { return root_ != nullptr; }
    // Opens (the child moves into a new popup window) or closes (the window goes); a popup whose opening
    // is blocked (the fault below) stays closed.
    void SetIsOpen(bool open);
    Element* Child() const noexcept { return child_.Get(); }
    void SetChild(Element* child);
    void AddChild(Element& child) override { SetChild(&child); }
    bool StaysOpen() const noexcept { return staysOpen_; }
    void SetStaysOpen(bool staysOpen) noexcept { staysOpen_ = staysOpen; }
    // Where the window opens: below (the default) or to the right of the placement target (the
    // popup's visual parent when none is set), or with its top-left corner at a screen point.
    enum class Placement { Bottom, Right, MousePoint };
    void SetPlacement(Placement placement) noexcept { placement_ = placement; }
    void SetPlacementPoint(POINT point) noexcept { point_ = point; }
    // A press inside this element does not light-dismiss the popup (a submenu's menu; default: the
    // popup itself).
    void SetDismissScope(Element* scope) noexcept { scope_ = scope; }
    const Element& DismissScope() const noexcept {
        return scope_ ? *scope_ : static_cast<const Element&>(*this);
    }
    void SetPlacementTarget(Element* target) noexcept { target_ = target; }
    Element* PlacementTarget() const noexcept { return target_ ? target_ : Parent(); }
    // Faults: the popup never opens; once open, it never closes (neither by IsOpen nor by light dismiss).
    void SetNeverOpens(bool never) noexcept { neverOpens_ = never; }
    void SetNeverCloses(bool never) noexcept { neverCloses_ = never; }
    // Called with the new state after it changed.
    std::function<void(bool)> onOpenChanged;
    // The rectangle of the popup window for a root of the given desired size.
    Rect WindowPlacement(Size desired) const;

private:
    ov::ComPtr<Element> child_;
    PopupRoot* root_ = nullptr;
    Element* target_ = nullptr;
    Element* scope_ = nullptr;
    POINT point_{};
    bool staysOpen_ = false;
    bool neverOpens_ = false;
    bool neverCloses_ = false;
    Placement placement_ = Placement::Bottom;
};

// The root element of a popup's window ("System.Windows.Controls.Primitives.PopupRoot"); its logical
// parent is the popup, so routes and parent chains lead back to the owning control.
class PopupRoot : public FrameworkElement {
public:
    PopupRoot(Application& app, std::wstring className, std::wstring name, Popup& popup);
    Popup& Owner() const noexcept { return *popup_; }
    Rect Placement() const { return popup_->WindowPlacement(DesiredSize()); }

private:
    Popup* popup_;
};

// A top-level window of the process that is not WPF's (a native dialog, another toolkit's window): the host
// lists it with the application's windows, but its object has no .NET class ("ClrFullClassName" and
// "GetType" are unknown names). XAML: sim:ForeignWindow="True" on the Window.
class ForeignWindow : public Element {
public:
    ForeignWindow(Application& app, std::wstring className, std::wstring name);
};

class ScrollViewer : public ContentControl {
public:
    enum class BarVisibility { Disabled = 0, Auto = 1, Hidden = 2, Visible = 3 };
    ScrollViewer(Application& app, std::wstring className, std::wstring name);

    double HorizontalOffset() const;
    double VerticalOffset() const;
    void ScrollToHorizontalOffset(double offset);
    void ScrollToVerticalOffset(double offset);
    // Extent, viewport and scrollable room in the scrolling unit (pixels, or items for a panel that
    // scrolls by items).
    Size Extent() const;
    Size Viewport() const;
    Size Scrollable() const;
    void SetBarVisibility(bool horizontal, BarVisibility visibility);
    BarVisibility GetBarVisibility(bool horizontal) const noexcept {
        return horizontal ? horizontalBar_ : verticalBar_;
    }
    // Scrolls so that a descendant is inside the viewport (as BringIntoView does).
    void MakeVisible(Element& descendant);

    // A panel that scrolls by items sets itself here (WPF's IScrollInfo); it then answers for the offsets.
    struct ItemScroller {
        virtual ~ItemScroller() = default;
        virtual double ItemCount() const = 0;
        virtual double ItemsInView() const = 0;
        virtual double FirstItem() const = 0;
        virtual void SetFirstItem(double first) = 0;
    };
    void SetItemScroller(ItemScroller* scroller) noexcept { scroller_ = scroller; }

protected:
    void OnApplyTemplate() override;
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    double Clamp(double offset, double scrollable) const {
        return std::max(0.0, std::min(offset, scrollable));
    }
    ItemScroller* scroller_ = nullptr;
    Element* presenter_ = nullptr;
    BarVisibility horizontalBar_ = BarVisibility::Disabled, verticalBar_ = BarVisibility::Visible;
    double horizontalOffset_ = 0, verticalOffset_ = 0;
    Size extent_, viewport_;
};

} // namespace wpfsim
