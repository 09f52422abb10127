// A WPF element of the simulated application (UIElement and FrameworkElement in one). The Application owns
// it; it stands in two trees, as in WPF:
//   - the visual tree: what is on screen, template parts included ("get_VisualParent",
//     "get_InternalVisualParent", "get_VisualChildrenCount", "GetVisualChild"(i)); the host's object tree
//     follows it;
//   - the logical tree: what the application declared ("Parent", "get_Parent"; a menu item alone also has
//     the internal "get_LogicalParent", Menus.h); a template part's logical parent is its parent inside the
//     template, the template's root has none, and "TemplatedParent" names the control whose template made
//     it.
// Members of every element, besides those of every object (ClrObject.h): "Name" (get, put), the tree members
// above, "IsEnabled" (get, put; false also when a visual ancestor is disabled), "IsVisible" (false when the
// element or an ancestor is not Visible, or the element is not in a window that is shown), "Visibility"
// (get, put: 0 Visible, 1 Hidden, 2 Collapsed), "Focusable" (get, put), "IsFocused", "IsKeyboardFocused",
// "Focus"() (VT_BOOL: whether focus was taken), "IsMouseOver", "ActualWidth", "ActualHeight",
// "ContextMenu" (get, put: an element's context menu, or a null object), "PersistId" (the 32-bit number the
// XAML reader gives each UIElement it reads, from 1 in document order; 0 for elements made in code, such as
// generated containers and template parts), "BringIntoView"(). A class that is no UIElement in WPF (a
// FlowDocument, a GridViewColumn) has only the members of what it is (SetObjectKind).
//
// Layout: the application runs Measure and Arrange over its windows when something that affects them changed
// (InvalidateLayout), when its dispatcher lets it (Dispatcher.h); MeasureOverride and ArrangeOverride give a
// kind its rules. As in WPF, an element keeps its last results: Measure with the constraint of last time and
// Arrange with the same slot answer from them until the element asks for a new layout. A change that affects
// an element's layout calls InvalidateLayout on that element: it and everything below it (a popup's child
// included) are measured and arranged again, and the elements above it. Input: the application hit-tests a
// screen point and raises the mouse events at the element found; they bubble up (OnMouseDown/OnMouseUp with
// Handled) as WPF's routed events do.
#pragma once

#include "ClrObject.h"

#include <cmath>
#include <limits>

namespace wpfsim {

class Application;
class ContextMenu;
class Element;

enum class MouseButton { Left = 0, Right = 1, Middle = 2 };

// The shift state of a click, in the flags the host passes on from the module.
namespace shift {
inline constexpr ULONG Shift = 0x2000;
inline constexpr ULONG Ctrl = 0x4000;
inline constexpr ULONG Alt = 0x8000;
} // namespace shift

struct MouseClick {
    MouseButton button = MouseButton::Left;
    bool doubleClick = false;
    ULONG shift = 0;
    friend bool operator==(const MouseClick&, const MouseClick&) = default;
};

// A mouse button event on its route: the element hit, the click count (2 for the second press of a
// double click) and whether an element on the route handled it.
struct MouseEvent {
    MouseButton button = MouseButton::Left;
    int clickCount = 1;
    bool doubleClick = false; // the press belongs to a double click
    ULONG shift = 0;
    POINT screen{};
    class Element* source = nullptr;
    bool handled = false;
};

// .NET's exception for an index outside a collection.
ClrException ArgumentOutOfRange(std::wstring_view parameter);
// The same with WPF's own message, thrown by PresentationFramework.
ClrException ArgumentOutOfRange(std::wstring_view parameter, std::wstring_view message);

// What a dependency property's validation raises for a value it refuses.
ClrException InvalidPropertyValue(const std::wstring& value, const wchar_t* property);
// The same for a double, written as Double.ToString() writes it ("G": 15 significant digits, "NaN",
// "-Infinity", "1E+300").
ClrException InvalidPropertyValue(double value, const wchar_t* property);

// The element behind an argument (null for anything else), and whether an argument is null.
Element* ElementOf(const VARIANT& v);
bool IsNull(const VARIANT& v);

inline constexpr double Auto = std::numeric_limits<double>::quiet_NaN();
inline constexpr double Infinity = std::numeric_limits<double>::infinity();

struct Size {
    double width = 0, height = 0;
};
struct Rect {
    double x = 0, y = 0, width = 0, height = 0;
};
struct Thickness {
    double left = 0, top = 0, right = 0, bottom = 0;
};

enum class Visibility { Visible = 0, Hidden = 1, Collapsed = 2 };
enum class Dock { Left, Top, Right, Bottom };
// WPF's numbering of the alignments.
enum class HorizontalAlignment { Left = 0, Center = 1, Right = 2, Stretch = 3 };
enum class VerticalAlignment { Top = 0, Center = 1, Bottom = 2, Stretch = 3 };

// What the layout reads of an element: its own sizes and margin, and what its parent panel attached to it.
struct LayoutProperties {
    double width = Auto, height = Auto;
    double minWidth = 0, minHeight = 0;
    double maxWidth = Infinity, maxHeight = Infinity;
    Thickness margin;
    HorizontalAlignment horizontalAlignment = HorizontalAlignment::Stretch;
    VerticalAlignment verticalAlignment = VerticalAlignment::Stretch;
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
    Dock dock = Dock::Left;
    double left = Auto, top = Auto;
    int toolBarOverflow = 0; // ToolBar.OverflowMode: 0 AsNeeded, 1 Always, 2 Never
};

// What a class derives from in WPF: the simulation's elements are UIElements (FrameworkElements) unless the
// class says otherwise.
enum class ObjectKind { UIElement, FrameworkContentElement, DependencyObject };

class Element : public ClrObject {
public:
    Element(Application& app, std::wstring className, std::wstring name);
    ~Element() override;

    // The identifier under which the host keys its object for this element.
    const GUID& Id() const noexcept { return id_; }
    // Null once the application is gone.
    Application* App() const noexcept { return app_; }

    const std::wstring& Name() const noexcept { return name_; }
    void SetName(std::wstring name) { name_ = std::move(name); }
    LONG PersistId() const noexcept { return persistId_; }
    void SetPersistId(LONG id) noexcept { persistId_ = id; }
    ObjectKind Kind() const noexcept { return kind_; }

    // --- what the XAML named without effect here
    // AutomationProperties ("AutomationId", "Name", "HelpText", ...): attached, so on no member of the
    // element; the host finds (App.Find) and shows (inspect) elements by them. Empty when not set.
    const std::wstring& AutomationProperty(std::wstring_view name) const;
    void SetAutomationProperty(std::wstring name, std::wstring value);
    // The handlers that the XAML gave the element's events (event, method of the code-behind), in the
    // document's order: the code-behind is not here, so they never run.
    const std::vector<std::pair<std::wstring, std::wstring>>& Handlers() const noexcept { return handlers_; }
    void AddHandler(std::wstring event, std::wstring method) {
        handlers_.emplace_back(std::move(event), std::move(method));
    }
    // A WPF property that the simulation reads but gives no behaviour: readable by its name (a string when
    // `text`), unless the element has a member of that name already.
    void KeepValue(std::wstring name, ov::Variant value);
    void KeepText(std::wstring name, std::wstring text);

    // --- trees
    // The visual parent and children (what the host's tree follows).
    Element* Parent() const noexcept { return parent_; }
    const std::vector<Element*>& Children() const noexcept { return children_; }
    Element* LogicalParent() const noexcept { return logicalParent_; }
    const std::vector<Element*>& LogicalChildren() const noexcept { return logicalChildren_; }
    // The control whose template made this element (a template part), or null.
    Element* TemplatedParent() const noexcept { return templatedParent_; }
    // The parent on an event route and for inheritance: the visual parent, or for a window's root (a
    // popup's) the logical parent.
    Element* RouteParent() const noexcept { return parent_ ? parent_ : logicalParent_; }
    bool IsAncestorOf(const Element& other) const noexcept;
    // Whether the application took the element out (Application::Remove); it then answers as gone.
    bool Removed() const noexcept { return removed_; }

    void AddVisualChild(Element& child);
    void RemoveVisualChild(Element& child) noexcept;
    void AddLogicalChild(Element& child);
    void RemoveLogicalChild(Element& child) noexcept;
    // The XAML content of the element (a panel's child, a content control's content, an items control's
    // item): throws std::invalid_argument where the kind takes none (XAML readers check before).
    virtual void AddChild(Element& child);
    // A template part of this control: made, templated by this control, under `visualParent`.
    template <class T = Element, class... A>
    T& MakePart(Element& visualParent, std::wstring className, std::wstring partName, A&&... extra);
    // A template part that another part places (a scroll viewer's content, a popup's child).
    template <class T = Element, class... A>
    T& MakeDetachedPart(std::wstring className, std::wstring partName, A&&... extra);
    // A part this element made and no longer shows: out of the trees and of the application, it lives on
    // only while a caller holds it.
    void DiscardPart(Element& part);
    // The elements of a template's visual tree (`root` and what it holds) that the application keeps become
    // parts of this element, templated by it, as WPF makes a template's elements for the presenter that
    // applies it.
    void AdoptTemplate(Element& root);

    // --- state
    // Effective values: an element is enabled when it and its route ancestors are; visible when it and its
    // ancestors are Visible up to a shown window.
    bool IsEnabled() const noexcept;
    void SetEnabled(bool enabled);
    bool IsVisible() const noexcept;
    // Connected to a shown window (a Window, or the PopupRoot of an open popup), whatever its visibility.
    bool IsLoaded() const noexcept;
    Visibility GetVisibility() const noexcept { return visibility_; }
    void SetVisibility(Visibility visibility);
    void SetVisible(bool visible) { SetVisibility(visible ? Visibility::Visible : Visibility::Collapsed); }
    bool Focusable() const noexcept { return focusable_; }
    void SetFocusable(bool focusable) noexcept { focusable_ = focusable; }
    bool IsFocused() const noexcept;
    bool IsKeyboardFocusWithin() const noexcept;
    // As .NET's Focus(): takes the focus when focusable, enabled and visible; says whether it did.
    bool Focus() noexcept;
    bool IsMouseOver() const noexcept;
    bool IsHitTestVisible() const noexcept { return hitTestVisible_; }
    void SetHitTestVisible(bool visible) noexcept { hitTestVisible_ = visible; }
    ContextMenu* GetContextMenu() const noexcept;
    void SetContextMenu(ContextMenu* menu);

    // --- layout
    LayoutProperties& Layout() noexcept { return layout_; }
    const LayoutProperties& Layout() const noexcept { return layout_; }
    // Changes to what the layout reads go through here, so that the next layout measures and arranges this
    // element, its subtree and its ancestors again.
    void InvalidateLayout() noexcept;
    // The next Measure runs even with the constraint of last time: a parent changed what this element's own
    // measure reads (a scroll viewer's shown bars, its grid's tracks), as WPF's InvalidateMeasure.
    void InvalidateMeasure() noexcept { measureDirty_ = true; }
    // Whether the element was measured at least once (WPF's layout applies an ItemsPresenter's template,
    // and with it makes the items panel, in its first measure).
    bool Measured() const noexcept { return measured_; }
    // Screen rectangle, after the layout has run (the host clicks its centre by default).
    const RECT& Bounds() const;
    // Places the element at a fixed screen rectangle whatever its panel says (as an absolutely positioned
    // child; for applications built in C++).
    void SetBounds(const RECT& bounds);
    Size DesiredSize() const noexcept { return desired_; }
    void Measure(Size available);
    void Arrange(Rect slot);
    // The text the element shows, for its room in the layout (empty for most kinds).
    virtual std::wstring DisplayText() const { return {}; }

    // --- input
    // A click of the host at the element's centre, through the application's input (see Application).
    bool HostClick(const MouseClick& click);
    // The clicks whose route passed through this element.
    const std::vector<MouseClick>& Clicks() const noexcept { return clicks_; }
    // Fault: the element's own reaction to input is skipped (the events still bubble past it).
    void SetIgnoresClicks(bool ignores) noexcept { ignoresClicks_ = ignores; }
    bool IgnoresClicks() const noexcept { return ignoresClicks_; }

protected:
    // The kind's template: called once, right after construction, to build the template parts.
    virtual void OnApplyTemplate() {}
    // Layout rules: the desired size of what lies inside the margin (default: the largest child, or the
    // display text), and the placing of the children inside `inner` (default: each fills it).
    virtual Size MeasureOverride(Size available);
    virtual void ArrangeOverride(Rect inner);
    // The element's own part of IsEnabled (WPF's IsEnabledCore): its local value unless the kind adds a
    // condition (a scroll bar with nothing to scroll, an overflow button with nothing in the overflow).
    virtual bool IsEnabledCore() const noexcept { return enabled_; }
    // The reaction of a kind to mouse events reaching it on their route; set `handled` to stop them.
    virtual void OnMouseDown(MouseEvent& e) {}
    virtual void OnMouseUp(MouseEvent& e) {}
    virtual void OnMouseEnter() {}
    virtual void OnMouseLeave() {}
    // Called when the element's effective visibility may have changed (it, an ancestor, or a popup).
    virtual void OnVisibilityChanged() {}
    // The element or one below it on its route took the keyboard focus.
    virtual void OnGotKeyboardFocus(Element& focused) {}

    // The class is no UIElement: the members that only UIElements (and FrameworkElements) have go.
    void SetObjectKind(ObjectKind kind);
    // Room of the element's text: `extra` plus 7 units a character, at least `minWidth` wide.
    Size TextSize(double extra, double height, double minWidth = 0) const;

private:
    friend class Application;
    // Unlinks the element from both trees; when the application is gone also drops the members, so that
    // nothing the members hold keeps a cycle alive.
    void Detach(bool applicationGone) noexcept;
    // The element outlives the one that made it: it leaves the application as if the application were gone.
    void Orphan() noexcept;
    // Layout asked again of the element and everything below it / of `from` and the elements above it.
    void MarkSubtree() noexcept;
    void MarkUpFrom(Element* from) noexcept;

    Application* app_;
    GUID id_;
    std::wstring name_;
    LONG persistId_ = 0;
    ObjectKind kind_ = ObjectKind::UIElement;
    Element* parent_ = nullptr;
    std::vector<Element*> children_;
    Element* logicalParent_ = nullptr;
    std::vector<Element*> logicalChildren_;
    Element* templatedParent_ = nullptr;
    std::vector<ov::ComPtr<Element>> parts_; // the template parts it made, which live as long as it does
    ov::ComPtr<Element> contextMenu_;
    bool enabled_ = true;
    Visibility visibility_ = Visibility::Visible;
    bool focusable_ = false;
    bool hitTestVisible_ = true;
    bool ignoresClicks_ = false;
    LayoutProperties layout_;
    bool removed_ = false;
    bool fixedBounds_ = false;
    RECT bounds_{};
    Size desired_;
    // The last layout's input, and whether the element must be measured or arranged again whatever it is.
    Size lastAvailable_;
    Rect lastSlot_;
    bool measured_ = false, arranged_ = false;
    bool measureDirty_ = true, arrangeDirty_ = true;
    std::vector<MouseClick> clicks_;
    std::map<std::wstring, std::wstring, std::less<>> automation_;
    std::vector<std::pair<std::wstring, std::wstring>> handlers_;
};

} // namespace wpfsim
