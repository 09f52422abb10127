// The simulated application under test: it owns its elements, its top-level windows (Windows, and the
// PopupRoots of open popups), the layout pass, keyboard focus, the mouse (hit testing, routed button
// events, hover, light dismiss of popups), and the settings and faults its objects share.
//
//   wpfsim::Application app;
//   auto& window = app.Add<wpfsim::Window>(nullptr, L"System.Windows.Window", L"mainWindow");
//   auto& ok = app.Add<wpfsim::Button>(&window, L"System.Windows.Controls.Button", L"okButton");
//   ov::ComPtr<IDispatch> native = ok.NewDispatch();
//
// Who keeps an element alive, as .NET's references do: the application keeps what it was given to make
// (Create, Add: the elements of its XAML), a control keeps its template parts (Element::MakePart) and its
// generated containers, a popup the root of its open window. An element that its keeper lets go of (a
// container virtualized away, a popup's closed window, a text a presenter no longer shows) lives on only
// while a caller holds it, taken out of the application (Removed); then it is gone, and the parts it made
// with it. So a long run keeps no more elements than it shows.
//
// Destroying the application ends it: objects that callers still hold fail every call with ExitedResult.
#pragma once

#include "Dispatcher.h"
#include "Element.h"

#include <functional>
#include <type_traits>
#include <unordered_set>
#include <utility>

namespace wpfsim {

class Popup;

// The framework version the application runs on. The simulation is WPF of .NET Framework 4.0, whose internal
// members the module calls by name; from 4.5 on two of them are gone: Selector's "ItemGetIsSelected"(item)
// (now "InfoGetIsSelected" over an ItemInfo) and ItemsControl's "FocusedItem" (now "FocusedInfo", an
// ItemInfo). Net48 models the later versions: those members are unknown names.
enum class Framework { Net40, Net48 };

class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Makes an element of kind T, not yet in any tree, with its template applied; the caller keeps it.
    template <class T = Element, class... A>
    ov::ComPtr<T> Make(std::wstring className, std::wstring name, A&&... extra) {
        static_assert(std::is_base_of_v<Element, T>);
        ov::ComPtr<T> element =
            ov::Create<T>(*this, std::move(className), std::move(name), std::forward<A>(extra)...);
        ++made_;
        static_cast<Element&>(*element).OnApplyTemplate();
        return element;
    }
    // The same, kept by the application for its life.
    template <class T = Element, class... A>
    T& Create(std::wstring className, std::wstring name, A&&... extra) {
        ov::ComPtr<T> element = Make<T>(std::move(className), std::move(name), std::forward<A>(extra)...);
        T& result = *element;
        owned_.push_back(ov::ComPtr<Element>(element));
        return result;
    }
    // Makes an element of kind T and adds it as XAML content of `parent` (null: a new top-level window).
    // Throws std::invalid_argument when the parent belongs to another application or takes no content.
    template <class T = Element, class... A>
    T& Add(Element* parent, std::wstring className, std::wstring name, A&&... extra) {
        if (parent && parent->App() != this) throw std::invalid_argument("parent of another application");
        T& element = Create<T>(std::move(className), std::move(name), std::forward<A>(extra)...);
        if (parent)
            parent->AddChild(element);
        else
            AddRoot(element);
        return element;
    }
    // The application no longer keeps an element it made with Create (null when it does not keep it): the
    // caller holds it from now on (a template's elements go to the presenter that shows them).
    ov::ComPtr<Element> Disown(Element& element) noexcept;
    // Takes the element and its subtree out of both trees; they live on as objects (parentless).
    void Remove(Element& element);

    // The top-level windows, bottom first: the later lies on top.
    const std::vector<Element*>& Roots() const noexcept { return roots_; }
    void AddRoot(Element& root);
    void RemoveRoot(Element& root) noexcept;
    // The first element of that name in visual tree order (depth first), or null.
    Element* Find(std::wstring_view name) const;
    Element* FindById(const GUID& id) const;
    // The first element whose AutomationProperties.AutomationId is `id`, in the same order; null when none.
    Element* FindByAutomationId(std::wstring_view id) const;
    // WPF's hit test: the innermost visible, hit-testable element whose rectangle holds the screen point
    // (children only inside their parent's rectangle), topmost window first. Null when none does.
    Element* ElementAt(POINT screen) const;

    // --- input
    // A click at a screen point, as the mouse makes it: a press outside an open popup (outside its dismiss
    // scope) closes it (and goes no further; a popup that never closes lets the press through); otherwise
    // the button's down and up events are raised at the element under the point and bubble (twice for a
    // double click, the second with click count 2). A right button's release that no element handled opens
    // the context menu of the nearest enabled element on its route that has one, at the point. Returns the
    // element hit, or null (nothing there, not responding).
    Element* Click(POINT screen, const MouseClick& click);
    // The mouse moves to a screen point: elements it leaves and enters are told (IsMouseOver).
    Element* MoveMouse(POINT screen);
    Element* MouseOver() const noexcept { return hover_; }
    POINT MousePosition() const noexcept { return mouse_; }
    Element* FocusedElement() const noexcept { return focused_; }
    // Keyboard focus moves to the element (null: to none); GotKeyboardFocus goes up its route.
    void SetFocused(Element* element) noexcept;

    // --- layout
    // Every element of every window is measured and arranged again at the next layout.
    void InvalidateLayout() noexcept;
    // A layout is due (an element asked for it: Element::InvalidateLayout).
    void RequestLayout() noexcept { layoutValid_ = false; }
    // Runs the layout now when something changed since the last one, as WPF's UpdateLayout: measure and
    // arrange of the elements that asked for it (the others keep their results), then what waits for a
    // layout pass (AfterLayout), until nothing is left.
    void UpdateLayout();
    bool InLayout() const noexcept { return inLayout_; }
    // Runs `action` when a layout pass finds the element loaded (Element::IsLoaded), as WPF's Loaded
    // event does; a control that refused to open while it was not loaded opens then.
    void WhenLoaded(Element& element, std::function<void()> action);
    // Whether a layout pass ever ran (before it, no element has results to keep).
    bool LaidOut() const noexcept { return laidOut_; }
    // Work that runs after the next layout pass, as a LayoutUpdated handler (a scroll viewer's commands).
    void AfterLayout(std::function<void()> work);
    // Measures and arranges that ran (not those answered from an element's last result), since the start.
    size_t MeasuresRun() const noexcept { return measuresRun_; }
    size_t ArrangesRun() const noexcept { return arrangesRun_; }

    // --- the dispatcher (Dispatcher.h)
    Dispatcher& GetDispatcher() noexcept { return dispatcher_; }
    // A caller reaches the application (a member call, the host reading a rectangle or hit-testing): in
    // Immediate mode the layout catches up; in Deferred mode what is pending runs only when the caller let
    // the idle interval pass since its previous call.
    void Settle();
    // The application gets time: the layout and the queued operations run until nothing is pending.
    void DoEvents();
    bool HasPendingWork() const noexcept {
        return !layoutValid_ || !afterLayout_.empty() || dispatcher_.HasOperations();
    }

    // --- popups
    void OpenedPopup(Popup& popup);
    void ClosedPopup(Popup& popup) noexcept;
    const std::vector<Popup*>& OpenPopups() const noexcept { return openPopups_; }

    // Every lookup and Invoke of the application's objects costs this much more, as a call into another
    // process would (a busy wait; 0, the default, adds nothing). For benchmarks only.
    void SetSimulatedCallCost(double microseconds) noexcept { runtime_->SetSimulatedCallCost(microseconds); }

    // The framework version (Net40 unless chosen): set it before the elements are made, as the XAML reader
    // does from the Window's sim:Framework before it reads the Window's content.
    void SetFramework(Framework framework) noexcept { framework_ = framework; }
    Framework GetFramework() const noexcept { return framework_; }

    // Strings as objects with "OleValue" (the default) or as plain BSTRs.
    void SetStringsAsObjects(bool asObjects) noexcept { runtime_->stringsAsObjects = asObjects; }
    bool StringsAsObjects() const noexcept { return runtime_->stringsAsObjects; }
    // Whether objects created from now on answer the member-lookup interface (default true);
    // ClrObject::SetAnswersMemberLookup changes one object.
    void SetMemberLookupDefault(bool answers) noexcept { runtime_->memberLookupDefault = answers; }

    // Fault: every lookup and Invoke of every object fails with hr until Resume.
    void StopResponding(HRESULT hr = NotRespondingResult) noexcept { runtime_->SetFailure(hr); }
    void Resume() noexcept { runtime_->SetFailure(S_OK); }
    bool IsResponding() const noexcept { return SUCCEEDED(runtime_->CallResult()); }

    // Calls on all objects of the application, in total or for one member name.
    CallCount Calls() const noexcept { return runtime_->calls.Total(); }
    CallCount Calls(std::wstring_view member) const { return runtime_->calls.Of(member); }
    // Resets the application's counters and those of its elements.
    void ResetCalls() noexcept;
    // Elements made so far (containers and template parts included), and those alive now.
    size_t ElementsMade() const noexcept { return made_; }
    size_t ElementCount() const noexcept { return live_.size(); }

    const std::shared_ptr<Runtime>& SharedRuntime() const noexcept { return runtime_; }

private:
    friend class Element;
    // An element of the application is destroyed: nothing of the application may point at it.
    void Forget(Element& element) noexcept;
    void RaiseButton(Element& target, MouseEvent& e, bool down);
    void OpenContextMenu(Element& source, POINT screen);
    void RunLoaded();

    std::shared_ptr<Runtime> runtime_;
    std::vector<ov::ComPtr<Element>> owned_; // what the application keeps (Create)
    std::unordered_set<Element*> live_;      // every element of the application that exists
    size_t made_ = 0;
    bool exiting_ = false;
    std::vector<Element*> roots_;
    std::vector<Popup*> openPopups_;
    std::vector<std::pair<ov::ComPtr<Element>, std::function<void()>>> whenLoaded_;
    Element* focused_ = nullptr;
    Element* hover_ = nullptr;
    POINT mouse_{};
    bool layoutValid_ = false;
    bool inLayout_ = false;
    Framework framework_ = Framework::Net40;
    bool laidOut_ = false;
    bool processing_ = false;
    std::vector<std::function<void()>> afterLayout_;
    size_t measuresRun_ = 0, arrangesRun_ = 0;
    Dispatcher dispatcher_;
};

template <class T, class... A>
T& Element::MakeDetachedPart(std::wstring className, std::wstring partName, A&&... extra) {
    ov::ComPtr<T> part = app_->Make<T>(std::move(className), std::move(partName), std::forward<A>(extra)...);
    T& result = *part;
    result.templatedParent_ = this;
    parts_.push_back(ov::ComPtr<Element>(part));
    return result;
}

template <class T, class... A>
T& Element::MakePart(Element& visualParent, std::wstring className, std::wstring partName, A&&... extra) {
    T& part = MakeDetachedPart<T>(std::move(className), std::move(partName), std::forward<A>(extra)...);
    visualParent.AddVisualChild(part);
    // Inside a template the logical tree is the template's own: a part's parent is the part above it.
    if (&visualParent != this) visualParent.AddLogicalChild(part);
    return part;
}

} // namespace wpfsim
