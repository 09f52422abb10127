#include "Application.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace wpfsim {

Application::Application() : runtime_(std::make_shared<Runtime>()) {}

Application::~Application() {
    runtime_->MarkExited();
    focused_ = nullptr;
    roots_.clear();
    for (auto& e : owned_)
        e->Detach(true);
    owned_.clear();
}

void Application::Adopt(Element* parent, ov::ComPtr<Element> element) {
    if (parent && parent->app_ != this) throw std::invalid_argument("parent of another application");
    element->parent_ = parent;
    (parent ? parent->children_ : roots_).push_back(element.Get());
    owned_.push_back(std::move(element));
}

void Application::Remove(Element& element) {
    if (element.app_ != this) throw std::invalid_argument("element of another application");
    auto& siblings = element.parent_ ? element.parent_->children_ : roots_;
    std::erase(siblings, &element);
    element.Detach(false);
    for (Element* f = focused_; f; f = f->parent_)
        if (f == &element) focused_ = nullptr;
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

Element* Innermost(const std::vector<Element*>& level, POINT p) {
    for (auto it = level.rbegin(); it != level.rend(); ++it) {
        Element* e = *it;
        if (!e->IsVisible() || !PtInRect(&e->Bounds(), p)) continue;
        Element* inner = Innermost(e->Children(), p);
        return inner ? inner : e;
    }
    return nullptr;
}

} // namespace

Element* Application::Find(std::wstring_view name) const {
    return Walk(roots_, [&](Element& e) { return e.Name() == name; });
}

Element* Application::FindById(const GUID& id) const {
    return Walk(roots_, [&](Element& e) { return IsEqualGUID(e.Id(), id) != 0; });
}

Element* Application::ElementAt(POINT screen) const {
    return Innermost(roots_, screen);
}

void Application::ResetCalls() noexcept {
    runtime_->calls.Reset();
    for (auto& e : owned_)
        e->ResetCalls();
}

} // namespace wpfsim
