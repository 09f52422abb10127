#include "Application.h"

#include "Menus.h"
#include "Popup.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <utility>

namespace wpfsim {

Application::Application() : runtime_(std::make_shared<Runtime>()) {
    runtime_->settle = [this] { Settle(); };
}

Application::~Application() {
    runtime_->settle = nullptr;
    runtime_->MarkExited();
    exiting_ = true;
    // What still waits holds elements: it goes first.
    afterLayout_.clear();
    while (dispatcher_.Next()) {
    }
    focused_ = hover_ = nullptr;
    openPopups_.clear();
    whenLoaded_.clear();
    roots_.clear();
    // Every element that exists, kept or held by a caller, lets go of the others first.
    std::vector<ov::ComPtr<Element>> alive(live_.begin(), live_.end());
    for (auto& e : alive)
        e->Detach(true);
    live_.clear();
    alive.clear();
    owned_.clear();
}

void Application::Forget(Element& element) noexcept {
    if (exiting_) return;
    live_.erase(&element);
    if (focused_ == &element) focused_ = nullptr;
    if (hover_ == &element) hover_ = nullptr;
    std::erase(roots_, &element);
    std::erase_if(openPopups_, [&](Popup* popup) { return static_cast<Element*>(popup) == &element; });
    InvalidateLayout();
}

ov::ComPtr<Element> Application::Disown(Element& element) noexcept {
    // What is disowned was made last, mostly.
    for (auto it = owned_.rbegin(); it != owned_.rend(); ++it)
        if (it->Get() == &element) {
            ov::ComPtr<Element> kept = std::move(*it);
            owned_.erase(std::next(it).base());
            return kept;
        }
    return nullptr;
}

void Application::AddRoot(Element& root) {
    if (root.parent_) throw std::invalid_argument("a window has no visual parent");
    if (std::find(roots_.begin(), roots_.end(), &root) == roots_.end()) roots_.push_back(&root);
    root.InvalidateLayout();
}

void Application::RemoveRoot(Element& root) noexcept {
    std::erase(roots_, &root);
    if (focused_ && root.IsAncestorOf(*focused_)) focused_ = nullptr;
    if (hover_ && root.IsAncestorOf(*hover_)) hover_ = nullptr;
    RequestLayout();
}

void Application::Remove(Element& element) {
    if (element.app_ != this) throw std::invalid_argument("element of another application");
    std::function<void(Element&)> mark = [&](Element& e) {
        e.removed_ = true;
        for (Element* child : e.children_)
            mark(*child);
        for (Element* child : e.logicalChildren_)
            if (!child->removed_) mark(*child);
    };
    mark(element);
    if (focused_ && element.IsAncestorOf(*focused_)) focused_ = nullptr;
    if (hover_ && element.IsAncestorOf(*hover_)) hover_ = nullptr;
    RemoveRoot(element);
    element.Detach(false);
}

namespace {

// Depth first, in child order; stops at the first element for which visit returns true.
Element* Walk(const std::vector<Element*>& level, const std::function<bool(Element&)>& visit) {
    for (Element* e : level) {
        if (visit(*e)) return e;
        if (Element* hit = Walk(e->Children(), visit)) return hit;
    }
    return nullptr;
}

bool Contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

Element* Innermost(const std::vector<Element*>& level, POINT p) {
    for (auto it = level.rbegin(); it != level.rend(); ++it) {
        Element* e = *it;
        if (e->GetVisibility() != Visibility::Visible || !e->IsHitTestVisible() || !Contains(e->Bounds(), p))
            continue;
        Element* inner = Innermost(e->Children(), p);
        return inner ? inner : e;
    }
    return nullptr;
}

} // namespace

Element* Application::Find(std::wstring_view name) const {
    if (Element* shown = Walk(roots_, [&](Element& e) { return e.Name() == name && !e.TemplatedParent(); }))
        return shown;
    // Not on screen (in a closed popup, an unselected tab): the application's name scope still knows it.
    for (const auto& e : owned_)
        if (e->Name() == name && !e->TemplatedParent() && !e->Removed()) return e.Get();
    return nullptr;
}

Element* Application::FindByAutomationId(std::wstring_view id) const {
    auto match = [&](const Element& e) { return !id.empty() && e.AutomationProperty(L"AutomationId") == id; };
    if (Element* shown = Walk(roots_, [&](Element& e) { return match(e); })) return shown;
    for (const auto& e : owned_)
        if (match(*e) && !e->Removed()) return e.Get();
    return nullptr;
}

Element* Application::FindById(const GUID& id) const {
    for (Element* e : live_)
        if (IsEqualGUID(e->Id(), id) && !e->Removed()) return e;
    return nullptr;
}

Element* Application::ElementAt(POINT screen) const {
    const_cast<Application*>(this)->Settle();
    return Innermost(roots_, screen);
}

void Application::SetFocused(Element* element) noexcept {
    focused_ = element;
    if (!element) return;
    // WPF's GotKeyboardFocus bubbles: every element on the route sees what took the focus.
    for (Element* e = element; e; e = e->RouteParent())
        e->OnGotKeyboardFocus(*element);
}

// --- layout ---------------------------------------------------------------------------------------------

void Application::InvalidateLayout() noexcept {
    for (Element* root : roots_)
        root->InvalidateLayout();
    RequestLayout();
}

void Application::AfterLayout(std::function<void()> work) {
    afterLayout_.push_back(std::move(work));
    RequestLayout();
}

void Application::UpdateLayout() {
    if (inLayout_ || (layoutValid_ && afterLayout_.empty())) return;
    inLayout_ = true;
    struct Done {
        Application& app;
        ~Done() { app.inLayout_ = false; }
    } done{*this};
    // What waits for a layout pass may scroll and ask for another (a chain of nested scroll viewers takes a
    // round each): a bound keeps a layout that never settles from running for ever.
    for (int round = 0; round < 1024; ++round) {
        // Generating containers or opening a popup during a pass asks for another; a few passes settle it.
        for (int pass = 0; pass < 4 && !layoutValid_; ++pass) {
            layoutValid_ = true;
            laidOut_ = true;
            // A copy: a pass may open or close popup windows.
            std::vector<Element*> roots = roots_;
            for (Element* root : roots) {
                root->Measure({Infinity, Infinity});
                Rect place{100, 100, root->DesiredSize().width, root->DesiredSize().height};
                if (auto* popupRoot = dynamic_cast<PopupRoot*>(root)) place = popupRoot->Placement();
                root->Arrange(place);
            }
        }
        RunLoaded();
        if (afterLayout_.empty() && layoutValid_) break;
        // LayoutUpdated: the work in the order it was asked for.
        for (auto& work : std::exchange(afterLayout_, {}))
            work();
    }
}

// --- dispatcher -----------------------------------------------------------------------------------------

void Application::Settle() {
    if (!dispatcher_.Deferred()) return UpdateLayout();
    if (processing_ || inLayout_) return;
    if (dispatcher_.CallAfterPause()) DoEvents();
}

void Application::DoEvents() {
    if (processing_ || inLayout_) return;
    processing_ = true;
    struct Done {
        Application& app;
        ~Done() {
            app.processing_ = false;
            app.dispatcher_.Stamp();
        }
    } done{*this};
    // The layout runs at Render priority, before the operations queued at Render and below.
    for (;;) {
        UpdateLayout();
        std::function<void()> operation = dispatcher_.Next();
        if (!operation) break;
        operation();
    }
}

void Application::WhenLoaded(Element& element, std::function<void()> action) {
    whenLoaded_.emplace_back(ov::ComPtr<Element>(&element), std::move(action));
    InvalidateLayout();
}

void Application::RunLoaded() {
    if (whenLoaded_.empty()) return;
    std::vector<std::function<void()>> due;
    std::erase_if(whenLoaded_, [&](auto& pending) {
        if (!pending.first->IsLoaded()) return false;
        due.push_back(std::move(pending.second));
        return true;
    });
    for (auto& action : due)
        action();
}

// --- input ----------------------------------------------------------------------------------------------

void Application::OpenedPopup(Popup& popup) {
    if (std::find(openPopups_.begin(), openPopups_.end(), &popup) == openPopups_.end())
        openPopups_.push_back(&popup);
}

void Application::ClosedPopup(Popup& popup) noexcept {
    std::erase(openPopups_, &popup);
}

Element* Application::Click(POINT screen, const MouseClick& click) {
    if (!IsResponding()) return nullptr;
    // Input comes after the work of higher priority that waits (the layout, Render): the point lands on the
    // layout that the caller may not have seen yet.
    DoEvents();
    struct Stamp {
        Dispatcher& dispatcher;
        ~Stamp() { dispatcher.Stamp(); }
    } stamp{dispatcher_};
    Element* hit = ElementAt(screen);
    MoveMouse(screen);
    // Light dismiss: a press outside an open popup closes it (and its children); the press is spent.
    bool dismissed = false;
    std::vector<Popup*> refused; // popups that stay open when told to close (a fault)
    for (auto it = openPopups_.rbegin(); it != openPopups_.rend();) {
        Popup* popup = *it;
        if (!popup->StaysOpen() && !(hit && popup->DismissScope().IsAncestorOf(*hit)) &&
            std::find(refused.begin(), refused.end(), popup) == refused.end()) {
            popup->SetIsOpen(false);
            if (popup->IsOpen())
                refused.push_back(popup);
            else
                dismissed = true;
            it = openPopups_.rbegin(); // closing may close others
            continue;
        }
        ++it;
    }
    if (dismissed || !hit) return hit;
    for (int press = 1; press <= (click.doubleClick ? 2 : 1); ++press) {
        // An earlier press may have closed the window the element was in.
        if (!hit->IsVisible()) break;
        MouseEvent down{click.button, press, click.doubleClick, click.shift, screen, hit};
        RaiseButton(*hit, down, true);
        MouseEvent up{click.button, press, click.doubleClick, click.shift, screen, hit};
        RaiseButton(*hit, up, false);
        if (click.button == MouseButton::Right && !up.handled && hit->IsVisible())
            OpenContextMenu(*hit, screen);
    }
    return hit;
}

void Application::OpenContextMenu(Element& source, POINT screen) {
    for (Element* e = &source; e; e = e->RouteParent()) {
        if (!e->IsEnabled()) continue;
        ContextMenu* menu = e->GetContextMenu();
        if (!menu) continue;
        if (menu->IsOpen() || !menu->IsEnabled()) return;
        menu->SetPlacementTarget(e);
        menu->OpenAt(screen);
        return;
    }
}

void Application::RaiseButton(Element& target, MouseEvent& e, bool down) {
    std::vector<ov::ComPtr<Element>> route;
    for (Element* r = &target; r; r = r->RouteParent())
        route.push_back(ov::ComPtr<Element>(r));
    if (down) {
        if (e.clickCount == 1)
            for (auto& r : route)
                if (r->IsEnabled() && !r->IgnoresClicks())
                    r->clicks_.push_back({e.button, e.doubleClick, e.shift});
        // The press focuses the first focusable element on its way up, as controls do on mouse down.
        for (auto& r : route)
            if (r->Focusable() && r->IsEnabled()) {
                r->Focus();
                break;
            }
    }
    for (auto& r : route) {
        if (e.handled) break;
        if (!r->IsEnabled() || r->IgnoresClicks() || r->Removed()) continue;
        if (down)
            r->OnMouseDown(e);
        else
            r->OnMouseUp(e);
    }
}

Element* Application::MoveMouse(POINT screen) {
    DoEvents();
    mouse_ = screen;
    Element* hit = ElementAt(screen);
    Element* old = hover_;
    if (hit == old) return hit;
    hover_ = hit;
    std::vector<ov::ComPtr<Element>> left, entered;
    for (Element* e = old; e; e = e->RouteParent())
        if (!hit || !e->IsAncestorOf(*hit)) left.push_back(ov::ComPtr<Element>(e));
    for (Element* e = hit; e; e = e->RouteParent())
        if (!old || !e->IsAncestorOf(*old)) entered.push_back(ov::ComPtr<Element>(e));
    for (auto& e : left)
        e->OnMouseLeave();
    for (auto it = entered.rbegin(); it != entered.rend(); ++it)
        (*it)->OnMouseEnter();
    return hit;
}

void Application::ResetCalls() noexcept {
    runtime_->calls.Reset();
    for (Element* e : live_)
        e->ResetCalls();
}

} // namespace wpfsim
