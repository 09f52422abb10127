#include "Element.h"

#include "Application.h"
#include "Menus.h"
#include "Popup.h"
#include "ScrollViewer.h"
#include "Window.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <set>
#include <stdexcept>

namespace wpfsim {

ClrException ArgumentOutOfRange(std::wstring_view parameter) {
    // COR_E_ARGUMENTOUTOFRANGE: a .NET exception reaches OLE with its HRESULT as scode.
    return {L"mscorlib", 0,
            L"Specified argument was out of the range of valid values.\r\nParameter name: " +
                std::wstring(parameter),
            static_cast<SCODE>(0x80131502)};
}

ClrException ArgumentOutOfRange(std::wstring_view parameter, std::wstring_view message) {
    return {L"PresentationFramework", 0,
            std::wstring(message) + L"\r\nParameter name: " + std::wstring(parameter),
            static_cast<SCODE>(0x80131502)};
}

ClrException InvalidPropertyValue(const std::wstring& value, const wchar_t* property) {
    return {L"WindowsBase", 0, L"'" + value + L"' is not a valid value for property '" + property + L"'.",
            static_cast<SCODE>(0x80070057)};
}

ClrException InvalidPropertyValue(double value, const wchar_t* property) {
    wchar_t number[32];
    swprintf(number, 32, L"%.15G", value);
    return InvalidPropertyValue(std::isnan(value)   ? L"NaN"
                                : std::isinf(value) ? (value > 0 ? L"Infinity" : L"-Infinity")
                                                    : number,
                                property);
}

Element* ElementOf(const VARIANT& v) {
    ov::ComPtr<ClrObject> object = ObjectOf(v);
    return dynamic_cast<Element*>(object.Get());
}

bool IsNull(const VARIANT& v) {
    return v.vt == VT_EMPTY || v.vt == VT_NULL || (v.vt == VT_DISPATCH && !v.pdispVal);
}

Element::Element(Application& app, std::wstring className, std::wstring name)
    : ClrObject(app.SharedRuntime(), std::move(className)), app_(&app), name_(std::move(name)) {
    if (FAILED(CoCreateGuid(&id_))) throw std::runtime_error("CoCreateGuid failed");

    AddProperty(
        L"Name", [this] { return Str(name_); }, [this](const VARIANT& v) { name_ = TextOf(v); });
    for (const wchar_t* logical : {L"Parent", L"get_Parent"})
        AddProperty(logical, [this] { return Obj(logicalParent_); });
    for (const wchar_t* visual : {L"get_VisualParent", L"get_InternalVisualParent"})
        AddProperty(visual, [this] { return Obj(parent_); });
    AddProperty(L"TemplatedParent", [this] { return Obj(templatedParent_); });
    AddProperty(L"get_VisualChildrenCount",
                [this] { return ov::Variant::Int(static_cast<LONG>(children_.size())); });
    AddMethod(L"GetVisualChild", 1, [this](const Args& a) {
        LONG i = IntOf(a[0]);
        if (i < 0 || static_cast<size_t>(i) >= children_.size()) throw ArgumentOutOfRange(L"index");
        return Obj(children_[static_cast<size_t>(i)]);
    });
    AddProperty(
        L"IsEnabled", [this] { return ov::Variant::Bool(IsEnabled()); },
        [this](const VARIANT& v) { SetEnabled(BoolOf(v)); });
    AddProperty(L"IsVisible", [this] { return ov::Variant::Bool(IsVisible()); });
    AddProperty(
        L"Visibility", [this] { return ov::Variant::Int(static_cast<LONG>(visibility_)); },
        [this](const VARIANT& v) {
            LONG value = IntOf(v);
            if (value < 0 || value > 2) throw ArgumentOutOfRange(L"value");
            SetVisibility(static_cast<Visibility>(value));
        });
    AddProperty(
        L"Focusable", [this] { return ov::Variant::Bool(focusable_); },
        [this](const VARIANT& v) { focusable_ = BoolOf(v); });
    for (const wchar_t* focused : {L"IsFocused", L"IsKeyboardFocused"})
        AddProperty(focused, [this] { return ov::Variant::Bool(IsFocused()); });
    AddProperty(L"IsKeyboardFocusWithin", [this] { return ov::Variant::Bool(IsKeyboardFocusWithin()); });
    AddMethod(L"Focus", 0, [this](const Args&) { return ov::Variant::Bool(Focus()); });
    AddProperty(L"IsMouseOver", [this] { return ov::Variant::Bool(IsMouseOver()); });
    AddProperty(L"ActualWidth", [this] { return ov::Variant::Double(Bounds().right - Bounds().left); });
    AddProperty(L"ActualHeight", [this] { return ov::Variant::Double(Bounds().bottom - Bounds().top); });
    // FrameworkElement's sizes as set, in device-independent pixels (Auto: NaN).
    for (auto [name, field] : {std::pair{L"Width", &LayoutProperties::width},
                               {L"Height", &LayoutProperties::height},
                               {L"MinWidth", &LayoutProperties::minWidth},
                               {L"MinHeight", &LayoutProperties::minHeight},
                               {L"MaxWidth", &LayoutProperties::maxWidth},
                               {L"MaxHeight", &LayoutProperties::maxHeight}})
        AddProperty(name, [this, field] { return ov::Variant::Double(layout_.*field); });
    AddProperty(
        L"ContextMenu", [this] { return Obj(contextMenu_.Get()); },
        [this](const VARIANT& v) {
            ov::ComPtr<ClrObject> menu = ObjectOf(v);
            auto* contextMenu = dynamic_cast<ContextMenu*>(menu.Get());
            if (menu && !contextMenu) throw ov::ComError(DISP_E_TYPEMISMATCH);
            SetContextMenu(contextMenu);
        });
    AddProperty(L"PersistId", [this] { return ov::Variant::Int(persistId_); });
    AddProperty(L"IsLoaded", [this] { return ov::Variant::Bool(IsLoaded()); });
    // 0 Left or Top, 1 Center, 2 Right or Bottom, 3 Stretch; WPF refuses any other value.
    auto alignment = [this]<class A>(const wchar_t* name, A LayoutProperties::*member) {
        AddProperty(
            name, [this, member] { return ov::Variant::Int(static_cast<LONG>(layout_.*member)); },
            [this, member, name](const VARIANT& v) {
                const LONG value = IntOf(v);
                if (value < 0 || value > 3) throw InvalidPropertyValue(std::to_wstring(value), name);
                layout_.*member = static_cast<A>(value);
                InvalidateLayout();
            });
    };
    alignment(L"HorizontalAlignment", &LayoutProperties::horizontalAlignment);
    alignment(L"VerticalAlignment", &LayoutProperties::verticalAlignment);
    // RequestBringIntoView: the nearest scroll viewer scrolls after the next layout pass, then the ones
    // around it in turn.
    AddMethod(L"BringIntoView", 0, [this](const Args&) {
        for (Element* e = parent_; e; e = e->parent_)
            if (auto* viewer = dynamic_cast<ScrollViewer*>(e)) {
                viewer->MakeVisible(*this);
                break;
            }
        return ov::Variant();
    });
    app.live_.insert(this);
}

Element::~Element() {
    if (app_) app_->Forget(*this);
    // What survives it must not point at it.
    if (parent_) std::erase(parent_->children_, this);
    if (logicalParent_) std::erase(logicalParent_->logicalChildren_, this);
    for (Element* child : children_)
        if (child->parent_ == this) child->parent_ = nullptr;
    for (Element* child : logicalChildren_)
        if (child->logicalParent_ == this) child->logicalParent_ = nullptr;
    // A part that a caller still holds outlives its control, which its members may name: it answers no more.
    for (auto& part : parts_)
        part->Orphan();
}

void Element::Orphan() noexcept {
    if (app_) app_->Forget(*this);
    Detach(true);
}

void Element::DiscardPart(Element& part) {
    ov::ComPtr<Element> keep(&part);
    if (app_ && !part.removed_) app_->Remove(part);
    // With it go the parts this element made inside it.
    std::erase_if(parts_, [&](const ov::ComPtr<Element>& p) { return part.IsAncestorOf(*p); });
}

void Element::AdoptTemplate(Element& root) {
    if (!app_) return;
    std::vector<Element*> pending{&root};
    std::set<Element*> seen;
    while (!pending.empty()) {
        Element& e = *pending.back();
        pending.pop_back();
        if (!seen.insert(&e).second) continue;
        // A part of a control inside the tree is that control's already.
        if (!e.templatedParent_)
            if (ov::ComPtr<Element> kept = app_->Disown(e)) {
                e.templatedParent_ = this;
                parts_.push_back(std::move(kept));
            }
        pending.insert(pending.end(), e.children_.begin(), e.children_.end());
        pending.insert(pending.end(), e.logicalChildren_.begin(), e.logicalChildren_.end());
    }
}

void Element::SetObjectKind(ObjectKind kind) {
    kind_ = kind;
    // A ContentElement has no place in the visual tree and no layout of its own.
    for (const wchar_t* visual :
         {L"get_VisualParent", L"get_InternalVisualParent", L"get_VisualChildrenCount", L"GetVisualChild",
          L"IsVisible", L"Visibility", L"ActualWidth", L"ActualHeight", L"Width", L"Height", L"MinWidth",
          L"MinHeight", L"MaxWidth", L"MaxHeight", L"PersistId"})
        RemoveMember(visual);
    if (kind != ObjectKind::DependencyObject) return;
    // Nor has a plain DependencyObject the members of a framework element or of input.
    for (const wchar_t* framework :
         {L"Name", L"Parent", L"get_Parent", L"TemplatedParent", L"IsEnabled", L"Focusable", L"IsFocused",
          L"IsKeyboardFocused", L"IsKeyboardFocusWithin", L"Focus", L"IsMouseOver", L"ContextMenu",
          L"BringIntoView"})
        RemoveMember(framework);
}

// --- trees ----------------------------------------------------------------------------------------------

bool Element::IsAncestorOf(const Element& other) const noexcept {
    for (const Element* e = &other; e; e = e->RouteParent())
        if (e == this) return true;
    return false;
}

void Element::AddVisualChild(Element& child) {
    if (child.parent_) throw std::invalid_argument("the element already has a visual parent");
    child.parent_ = this;
    children_.push_back(&child);
    // The new child is laid out afresh; its siblings keep their results unless their room changes.
    child.MarkSubtree();
    MarkUpFrom(this);
}

void Element::RemoveVisualChild(Element& child) noexcept {
    if (child.parent_ != this) return;
    std::erase(children_, &child);
    child.parent_ = nullptr;
    MarkUpFrom(this);
}

void Element::AddLogicalChild(Element& child) {
    if (child.logicalParent_ == this) return;
    if (child.logicalParent_) child.logicalParent_->RemoveLogicalChild(child);
    child.logicalParent_ = this;
    logicalChildren_.push_back(&child);
}

void Element::RemoveLogicalChild(Element& child) noexcept {
    if (child.logicalParent_ != this) return;
    std::erase(logicalChildren_, &child);
    child.logicalParent_ = nullptr;
}

void Element::AddChild(Element& child) {
    // A plain element (a user class or a kind the simulation has no behaviour for) holds what it is given.
    AddLogicalChild(child);
    AddVisualChild(child);
}

// --- state ----------------------------------------------------------------------------------------------

bool Element::IsEnabled() const noexcept {
    for (const Element* e = this; e; e = e->RouteParent())
        if (!e->IsEnabledCore()) return false;
    return true;
}

void Element::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (!IsEnabled() && app_ && app_->FocusedElement() && IsAncestorOf(*app_->FocusedElement()))
        app_->SetFocused(nullptr);
}

bool Element::IsVisible() const noexcept {
    if (!app_) return false;
    const auto& roots = app_->Roots();
    // Visible up the visual tree to a shown window: a Window, or the PopupRoot of an open popup.
    for (const Element* e = this; e; e = e->Parent()) {
        if (e->visibility_ != Visibility::Visible) return false;
        if (std::find(roots.begin(), roots.end(), e) != roots.end()) return true;
    }
    return false;
}

bool Element::IsLoaded() const noexcept {
    if (!app_) return false;
    const Element* top = this;
    while (top->Parent())
        top = top->Parent();
    const auto& roots = app_->Roots();
    return std::find(roots.begin(), roots.end(), top) != roots.end();
}

void Element::SetVisibility(Visibility visibility) {
    if (visibility_ == visibility) return;
    visibility_ = visibility;
    InvalidateLayout();
    if (app_ && visibility != Visibility::Visible) {
        if (app_->FocusedElement() && IsAncestorOf(*app_->FocusedElement())) app_->SetFocused(nullptr);
    }
    OnVisibilityChanged();
}

bool Element::IsFocused() const noexcept {
    return app_ && app_->FocusedElement() == this;
}

bool Element::IsKeyboardFocusWithin() const noexcept {
    return app_ && app_->FocusedElement() && IsAncestorOf(*app_->FocusedElement());
}

bool Element::Focus() noexcept {
    if (!app_ || !focusable_ || !IsEnabled() || !IsVisible()) return false;
    app_->SetFocused(this);
    return true;
}

bool Element::IsMouseOver() const noexcept {
    return app_ && app_->MouseOver() && IsAncestorOf(*app_->MouseOver());
}

ContextMenu* Element::GetContextMenu() const noexcept {
    return static_cast<ContextMenu*>(contextMenu_.Get());
}

void Element::SetContextMenu(ContextMenu* menu) {
    // The menu is no logical child of the element (WPF's ContextMenu is a plain property); the element
    // becomes its PlacementTarget when a right click opens it.
    contextMenu_ = menu;
}

// --- layout ---------------------------------------------------------------------------------------------

void Element::InvalidateLayout() noexcept {
    if (!app_) return;
    MarkSubtree();
    MarkUpFrom(RouteParent());
}

void Element::MarkSubtree() noexcept {
    // Before the application's first layout nothing was measured: everything is laid out anyway (a file
    // read element by element costs no walks).
    if (!app_ || !app_->LaidOut()) return;
    // The element and everything below it, a popup's child included (laid out in the popup's window).
    measureDirty_ = arrangeDirty_ = true;
    for (Element* child : children_)
        child->MarkSubtree();
    if (auto* popup = dynamic_cast<Popup*>(this); popup && popup->Child()) {
        Element* child = popup->Child();
        child->MarkSubtree();
        // The root of the popup's window measures the child: its last measure must not answer.
        if (Element* root = child->Parent()) root->measureDirty_ = root->arrangeDirty_ = true;
    }
}

void Element::MarkUpFrom(Element* from) noexcept {
    if (!app_) return;
    app_->RequestLayout();
    if (!app_->LaidOut()) return;
    // Up the route: an element out of the visual tree (a closed popup's child, a document) affects the
    // layout of its logical parent.
    for (Element* e = from; e; e = e->RouteParent())
        e->measureDirty_ = e->arrangeDirty_ = true;
}

const RECT& Element::Bounds() const {
    if (app_ && !app_->InLayout()) app_->Settle();
    return bounds_;
}

void Element::SetBounds(const RECT& bounds) {
    fixedBounds_ = true;
    bounds_ = bounds;
    InvalidateLayout();
}

Size Element::TextSize(double extra, double height, double minWidth) const {
    double width = extra + 7.0 * static_cast<double>(DisplayText().size());
    return {std::max(width, minWidth), height};
}

void Element::Measure(Size available) {
    if (visibility_ == Visibility::Collapsed) {
        desired_ = {};
        return;
    }
    if (measured_ && !measureDirty_ && available.width == lastAvailable_.width &&
        available.height == lastAvailable_.height)
        return;
    // Cleared first: a change during the measure (a panel's new containers) asks for another pass.
    measureDirty_ = false;
    arrangeDirty_ = true;
    measured_ = true;
    lastAvailable_ = available;
    if (app_) ++app_->measuresRun_;
    const LayoutProperties& l = layout_;
    const double marginX = l.margin.left + l.margin.right, marginY = l.margin.top + l.margin.bottom;
    // As FrameworkElement's MinMax: a set size within Min and Max, and Max never below Min.
    const double maxWidth =
        std::max(std::min(std::isnan(l.width) ? Infinity : l.width, l.maxWidth), l.minWidth);
    const double maxHeight =
        std::max(std::min(std::isnan(l.height) ? Infinity : l.height, l.maxHeight), l.minHeight);
    Size inner{std::max(0.0, (std::isnan(l.width) ? available.width : l.width) -
                                 (std::isnan(l.width) ? marginX : 0)),
               std::max(0.0, (std::isnan(l.height) ? available.height : l.height) -
                                 (std::isnan(l.height) ? marginY : 0))};
    inner = {std::min(inner.width, maxWidth), std::min(inner.height, maxHeight)};
    Size size = MeasureOverride(inner);
    if (!std::isnan(l.width)) size.width = l.width;
    if (!std::isnan(l.height)) size.height = l.height;
    size.width = std::min(std::max(size.width, l.minWidth), maxWidth);
    size.height = std::min(std::max(size.height, l.minHeight), maxHeight);
    if (fixedBounds_) size = {double(bounds_.right - bounds_.left), double(bounds_.bottom - bounds_.top)};
    desired_ = {size.width + marginX, size.height + marginY};
}

void Element::Arrange(Rect slot) {
    if (visibility_ == Visibility::Collapsed) {
        // Collapsed: no room; its rectangle stays where the slot begins.
        bounds_ = {std::lround(slot.x), std::lround(slot.y), std::lround(slot.x), std::lround(slot.y)};
        return;
    }
    if (arranged_ && !arrangeDirty_ && slot.x == lastSlot_.x && slot.y == lastSlot_.y &&
        slot.width == lastSlot_.width && slot.height == lastSlot_.height)
        return;
    arrangeDirty_ = false;
    arranged_ = true;
    lastSlot_ = slot;
    if (app_) ++app_->arrangesRun_;
    Rect r = slot;
    if (fixedBounds_) {
        r = {double(bounds_.left), double(bounds_.top), double(bounds_.right - bounds_.left),
             double(bounds_.bottom - bounds_.top)};
    } else {
        // As WPF's ArrangeCore: a set size, or the slot when stretched, or the desired size; then the
        // alignment's offset in the slot (Stretch centres a smaller set size and keeps a larger one left).
        const LayoutProperties& l = layout_;
        const Rect client{slot.x + l.margin.left, slot.y + l.margin.top,
                          std::max(0.0, slot.width - l.margin.left - l.margin.right),
                          std::max(0.0, slot.height - l.margin.top - l.margin.bottom)};
        const double naturalWidth = std::max(0.0, desired_.width - l.margin.left - l.margin.right);
        const double naturalHeight = std::max(0.0, desired_.height - l.margin.top - l.margin.bottom);
        r.width = !std::isnan(l.width)                                    ? l.width
                  : l.horizontalAlignment == HorizontalAlignment::Stretch ? client.width
                                                                          : naturalWidth;
        r.height = !std::isnan(l.height)                               ? l.height
                   : l.verticalAlignment == VerticalAlignment::Stretch ? client.height
                                                                       : naturalHeight;
        auto offset = [](int alignment, double room, double size) {
            // 0 start, 1 centre, 2 end, 3 stretch (centred when smaller, at the start when larger).
            if (alignment == 3) return size > room ? 0.0 : (room - size) / 2;
            return alignment == 1 ? (room - size) / 2 : alignment == 2 ? room - size : 0.0;
        };
        r.x = client.x + offset(static_cast<int>(l.horizontalAlignment), client.width, r.width);
        r.y = client.y + offset(static_cast<int>(l.verticalAlignment), client.height, r.height);
        bounds_ = {std::lround(r.x), std::lround(r.y), std::lround(r.x + r.width),
                   std::lround(r.y + r.height)};
    }
    ArrangeOverride(r);
}

Size Element::MeasureOverride(Size available) {
    Size size;
    for (Element* child : children_) {
        child->Measure(available);
        size.width = std::max(size.width, child->DesiredSize().width);
        size.height = std::max(size.height, child->DesiredSize().height);
    }
    return size;
}

void Element::ArrangeOverride(Rect inner) {
    for (Element* child : children_)
        child->Arrange(inner);
}

// --- input ----------------------------------------------------------------------------------------------

bool Element::HostClick(const MouseClick& click) {
    if (!app_ || !app_->IsResponding() || !IsVisible()) return false;
    const RECT& r = Bounds();
    return app_->Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, click) != nullptr;
}

void Element::Detach(bool applicationGone) noexcept {
    if (parent_) parent_->RemoveVisualChild(*this);
    if (logicalParent_) logicalParent_->RemoveLogicalChild(*this);
    if (!applicationGone) return;
    children_.clear();
    logicalChildren_.clear();
    templatedParent_ = nullptr;
    contextMenu_.Reset();
    app_ = nullptr;
    DropMembers();
}

const std::wstring& Element::AutomationProperty(std::wstring_view name) const {
    static const std::wstring none;
    auto it = automation_.find(name);
    return it == automation_.end() ? none : it->second;
}

void Element::SetAutomationProperty(std::wstring name, std::wstring value) {
    automation_[std::move(name)] = std::move(value);
}

void Element::KeepValue(std::wstring name, ov::Variant value) {
    if (HasMember(name)) return;
    AddProperty(std::move(name), [value] { return value; });
}

void Element::KeepText(std::wstring name, std::wstring text) {
    if (HasMember(name)) return;
    AddProperty(std::move(name), [this, text] { return Str(text); });
}

} // namespace wpfsim
