#include "Popup.h"

#include "Application.h"

#include <algorithm>
#include <vector>

namespace wpfsim {

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
        root_ = app->Make<PopupRoot>(L"System.Windows.Controls.Primitives.PopupRoot", L"", *this);
        if (child_) root_->AddVisualChild(*child_);
        app->AddRoot(*root_);
        app->OpenedPopup(*this);
    } else {
        // Popups opened from inside this one close with it.
        for (Popup* other : std::vector<Popup*>(app->OpenPopups()))
            if (other != this && IsAncestorOf(*other)) other->SetIsOpen(false);
        ov::ComPtr<PopupRoot> root = std::move(root_);
        root_ = nullptr;
        app->ClosedPopup(*this);
        if (child_ && child_->Parent() == root.Get()) root->RemoveVisualChild(*child_);
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
    if (placement_ == Placement::MousePoint) {
        // Popup's MousePoint placement: the child's top-left at the point, or else its top-right, bottom-left
        // or bottom-right, the first that keeps the whole child on the screen; when none does, the first,
        // moved onto the screen.
        using namespace SystemParameters;
        const double x = point_.x, y = point_.y, w = desired.width, h = desired.height;
        const Rect tries[] = {{x, y, w, h}, {x - w, y, w, h}, {x, y - h, w, h}, {x - w, y - h, w, h}};
        for (const Rect& r : tries)
            if (r.x >= 0 && r.y >= 0 && r.x + r.width <= PrimaryScreenWidth &&
                r.y + r.height <= PrimaryScreenHeight)
                return r;
        return {std::max(0.0, std::min(x, PrimaryScreenWidth - w)),
                std::max(0.0, std::min(y, PrimaryScreenHeight - h)), w, h};
    }
    // Below the target, at least as wide as it (a drop-down list).
    return {double(t.left), double(t.bottom), std::max(desired.width, double(t.right - t.left)),
            desired.height};
}

void OpenOnLoad::Set(Element& owner, bool open, std::function<void(bool)> apply) {
    wanted_ = open;
    Application* app = owner.App();
    if (!open || !app || owner.IsLoaded()) return apply(open);
    if (waiting_) return;
    waiting_ = true;
    app->WhenLoaded(owner, [this, apply = std::move(apply)] {
        waiting_ = false;
        if (wanted_) apply(true);
    });
}

PopupRoot::PopupRoot(Application& app, std::wstring className, std::wstring name, Popup& popup)
    : FrameworkElement(app, std::move(className), std::move(name)), popup_(&popup) {
    popup.AddLogicalChild(*this);
}

} // namespace wpfsim
