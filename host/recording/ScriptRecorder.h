// The recorder of the script model: while it is on, every action of User is recorded before it is
// performed (the host's events: a mouse move and a window activation, which module recorders decline, then
// the press or the typing itself) and, once performed, written as one statement of the recording's
// language from what the module attached and what the action left behind.
//
// How actions become statements:
// - The event goes to the innermost element under the point that has a host object and is no part of a
//   control's template (a tree node for anything inside it); template parts are the control's own.
// - A press that did nothing but what a press there does is written as that press, User.Click (RightClick,
//   DoubleClick) at the same point, relative to the nearest named element around it that was on screen:
//   a press on a disabled element (the event's enabled fact), a press that only closed open popups (a
//   menu, a drop-down) and went no further, a press that no member expresses, a press on an unnamed
//   control. Only where no named element is around it does the statement become a comment that says so.
// - Menu items: WPFMenu.Click/Check of the item's path on the menu, PopupMenu.Click/Check on the element
//   that owns a context menu (an item that opens a submenu is clicked too, so that the menus stand open
//   on replay as they did). Items of lists, combo boxes, tab controls, trees and toolbars: the owner's
//   item members with the designator; a press on a tree node's expander: ExpandItem or CollapseItem.
// - Names of items and path levels are read back as patterns ("*", "?", "**"): a text that would find
//   another item first has its asterisks doubled, or, with a "?" (which has no escape), or where a path
//   would read it as an index or split it, gives way to the index.
// - Controls: ClickButton() (buttons, radio and repeat buttons), ClickButton(state after the click) (check
//   boxes, toggle buttons), DropDown()/CloseUp() (a combo box's own face), Expand()/Collapse() (an
//   expander's header), wPosition = value after the click (sliders, scroll bars), wText = text after the
//   typing (edits, password boxes). A decoration is addressed as the control that takes its click (the
//   module's transparent walk, then up the templated parents).
// - Scroll positions: before an action, for every named scrollable object around the element whose
//   position differs from the one the recorder saw there last (the first sight sets it), a statement
//   HScroll.Pos / VScroll.Pos = position. Positions are absolute, so replaying one twice changes nothing.
#pragma once

#include "RecordedEvent.h"

#include "wpfsim/Element.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ovhost {

class Host;

struct UserAction {
    enum class Kind { Press, Type };
    Kind kind = Kind::Press;
    wpfsim::Element* target = nullptr; // the element User named (for typing: the edit)
    POINT point{};                     // screen point of a press
    wpfsim::MouseButton button = wpfsim::MouseButton::Left;
    bool doubleClick = false;
    LONG shift = 0;
};

// What a script reads of one recorded event (Recorder.Event(i)).
struct RecordedFacts {
    LONG kind = 0;
    std::wstring className;
    ov::Variant enabled;
    ov::Variant designator;
    std::wstring owner;
    ov::Variant visualPath;
    std::wstring statement;
};

class ScriptRecorder {
public:
    explicit ScriptRecorder(Host& host) : host_(host) {}

    void SetLanguage(std::wstring language) { vbscript_ = language == L"VBScript"; }
    void Start();
    void Stop() noexcept { on_ = false; }
    bool On() const noexcept { return on_; }

    // Records the action, runs `perform`, writes the statement. `perform` throws what it throws.
    void Record(const UserAction& action, const std::function<void()>& perform);

    const std::vector<RecordedFacts>& Events() const noexcept { return events_; }
    // The statements, one a line (CR LF).
    std::wstring Script() const;

private:
    struct Before;
    std::wstring Write(const UserAction& action, const Before& before, wpfsim::Element& hit,
                       wpfsim::Element& eventElement, const RecordedEvent& event, RecordedFacts& facts);
    std::wstring ScrollStatements(const RecordedEvent& event);

    Host& host_;
    bool vbscript_ = false;
    bool on_ = false;
    std::vector<RecordedFacts> events_;
    std::vector<std::wstring> lines_;
    // The scroll position last seen, per object identifier and direction (0 horizontal, 1 vertical).
    struct ScrollKeyLess {
        bool operator()(const std::pair<GUID, int>& a, const std::pair<GUID, int>& b) const noexcept;
    };
    std::map<std::pair<GUID, int>, double, ScrollKeyLess> lastScroll_;
};

// The state of every element of the application's logical tree (with context menus), one line each, in
// tree order: what a round trip compares.
std::wstring DumpState(wpfsim::Application& app);

} // namespace ovhost
