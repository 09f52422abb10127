// A WPF element of the simulated application. The Application owns it and keeps the tree; callers see
// it through IDispatch with these members (besides those of every object, ClrObject.h):
//   "Name" (get, put), "Parent", "get_Parent", "get_LogicalParent" (the logical parent), "get_VisualParent"
//   (the tree parent), "get_VisualChildrenCount", "GetVisualChild"(index), "IsEnabled" (get, put; false
//   also when an ancestor is disabled), "IsVisible" (false also when an ancestor is hidden), "Focusable"
//   (get, put), "IsFocused", "IsKeyboardFocused", "Focus"() (VT_BOOL: whether focus was taken),
//   "ActualWidth", "ActualHeight".
//
// A control kind is a subclass: its constructor registers the kind's members and OnClick gives its
// reaction to a click of the host. The constructor takes (Application&, class name, name, extra...),
// the arguments of Application::Add.
#pragma once

#include "ClrObject.h"

namespace wpfsim {

class Application;

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

// .NET's exception for an index outside a collection.
ClrException ArgumentOutOfRange(std::wstring_view parameter);

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

    Element* Parent() const noexcept { return parent_; }
    // The logical parent: the tree parent unless set apart (items hosted in a popup, say).
    Element* LogicalParent() const noexcept { return logicalParent_ ? logicalParent_.Get() : parent_; }
    void SetLogicalParent(Element* parent) noexcept { logicalParent_ = parent; }
    const std::vector<Element*>& Children() const noexcept { return children_; }
    // The control whose template made this element (a template part), or null.
    Element* TemplatedParent() const noexcept { return templatedParent_; }

    // Effective values: an element is enabled (visible) when it and all its ancestors are.
    bool IsEnabled() const noexcept;
    void SetEnabled(bool enabled) noexcept { enabled_ = enabled; }
    bool IsVisible() const noexcept;
    void SetVisible(bool visible) noexcept { visible_ = visible; }
    bool Focusable() const noexcept { return focusable_; }
    void SetFocusable(bool focusable) noexcept { focusable_ = focusable; }
    bool IsFocused() const noexcept;
    // As .NET's Focus(): takes the focus when focusable, enabled and visible; says whether it did.
    bool Focus() noexcept;

    // Screen rectangle (the host clicks its centre by default).
    const RECT& Bounds() const noexcept { return bounds_; }
    void SetBounds(const RECT& bounds) noexcept { bounds_ = bounds; }

    // A click of the host on this element. Ignored (false) when the element is disabled or hidden,
    // when the application does not respond or is gone, and under the fault "clicks change nothing";
    // otherwise recorded and handed to OnClick (true).
    bool HostClick(const MouseClick& click);
    const std::vector<MouseClick>& Clicks() const noexcept { return clicks_; }
    void SetIgnoresClicks(bool ignores) noexcept { ignoresClicks_ = ignores; }

protected:
    // The reaction of a control kind to a click; the plain element has none.
    virtual void OnClick(const MouseClick& click) {}

private:
    friend class Application;
    // Unlinks the element from the tree; when the application is gone also drops the members, so
    // that nothing the members hold keeps a cycle alive.
    void Detach(bool applicationGone) noexcept;

    Application* app_;
    GUID id_;
    std::wstring name_;
    Element* parent_ = nullptr;
    Element* templatedParent_ = nullptr;
    ov::ComPtr<Element> logicalParent_;
    std::vector<Element*> children_;
    bool enabled_ = true;
    bool visible_ = true;
    bool focusable_ = true;
    bool ignoresClicks_ = false;
    RECT bounds_{};
    std::vector<MouseClick> clicks_;
};

} // namespace wpfsim
