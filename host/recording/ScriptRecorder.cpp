#include "ScriptRecorder.h"

#include "../services/Host.h"
#include "Recording.h"

#include "com/RecordIdentifiers.h"
#include "ovWPFControlsLib.h"
#include "wpfsim/ListBox.h"
#include "wpfsim/Menus.h"
#include "wpfsim/Popup.h"
#include "wpfsim/TreeView.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>

namespace ovhost {

namespace {

namespace keys = ov::RecordKeys;

// A property of the element's .NET object as it answers; VT_EMPTY when it has no such member.
ov::Variant Prop(wpfsim::Element& element, const wchar_t* name) {
    if (!element.HasMember(name)) return {};
    ov::ComPtr<IDispatch> object = element.NewDispatch();
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    ov::Variant value;
    DISPPARAMS none{};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) ||
        FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                              nullptr)))
        return {};
    return value;
}

std::wstring TextOf(const VARIANT& value) {
    if (value.vt == VT_NULL) return L"null";
    // A .NET string arrives as an object with its "OleValue".
    if (value.vt == VT_DISPATCH && value.pdispVal) {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[] = {const_cast<LPOLESTR>(L"OleValue")};
        ov::Variant inner;
        DISPPARAMS none{};
        if (SUCCEEDED(value.pdispVal->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) &&
            SUCCEEDED(value.pdispVal->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                             &inner, nullptr, nullptr)) &&
            inner.vt != VT_DISPATCH)
            return TextOf(inner);
        return {};
    }
    if (value.vt == VT_BOOL) return value.boolVal ? L"true" : L"false";
    ov::Variant text;
    if (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN || value.vt == VT_EMPTY ||
        FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&value), 0, VT_BSTR)))
        return {};
    return text.bstrVal ? text.bstrVal : L"";
}

bool IsTrue(const VARIANT& value) {
    ov::Variant flag;
    return SUCCEEDED(VariantChangeType(&flag, const_cast<VARIANT*>(&value), 0, VT_BOOL)) && flag.boolVal;
}

// The control a template part belongs to: up the templated parents.
wpfsim::Element* ControlFor(wpfsim::Element* element) {
    while (element && element->TemplatedParent())
        element = element->TemplatedParent();
    return element;
}

// The shortest form of a number that reads back as the same number: a replay sets the very value, and
// the dumps of two runs differ where their values do.
std::wstring ExactNumber(double value) {
    wchar_t text[64];
    for (int digits = 15; digits <= 17; ++digits) {
        swprintf(text, 64, L"%.*g", digits, value);
        if (wcstod(text, nullptr) == value) break;
    }
    return text;
}

// The script's words, in JScript or VBScript.
struct Language {
    bool vbs;
    // A string literal. Control characters (a typed line break) have no place inside one: JScript escapes
    // them (and its other line terminators), VBScript joins them in with Chr.
    std::wstring Str(std::wstring_view text) const {
        std::wstring out;
        bool open = false;
        for (wchar_t c : text) {
            const bool control = c < 0x20 || (!vbs && (c == 0x2028 || c == 0x2029));
            if (vbs && control) {
                if (open) out += L"\"";
                out += (out.empty() ? L"" : L" & ") + std::wstring(L"Chr(") + std::to_wstring(c) + L")";
                open = false;
                continue;
            }
            if (!open) out += out.empty() ? L"\"" : L" & \"";
            open = true;
            if (vbs && c == L'"') {
                out += L"\"\"";
            } else if (!vbs && control) {
                wchar_t escaped[8];
                swprintf(escaped, 8, L"\\u%04x", static_cast<unsigned>(c));
                out += c == L'\r' ? L"\\r" : c == L'\n' ? L"\\n" : c == L'\t' ? L"\\t" : escaped;
            } else if (!vbs && (c == L'"' || c == L'\\')) {
                out += {L'\\', c};
            } else {
                out += c;
            }
        }
        if (!open && out.empty()) return L"\"\"";
        return open ? out + L"\"" : out;
    }
    std::wstring Bool(bool value) const {
        return vbs ? (value ? L"True" : L"False") : (value ? L"true" : L"false");
    }
    std::wstring Number(double value) const { return ExactNumber(value); }
    std::wstring Find(const std::wstring& name) const { return L"App.Find(" + Str(name) + L")"; }
    std::wstring Call(const std::wstring& object, const std::wstring& member,
                      const std::vector<std::wstring>& args = {}) const {
        std::wstring list;
        for (const std::wstring& a : args)
            list += (list.empty() ? L"" : L", ") + a;
        if (vbs) return object + L"." + member + (list.empty() ? L"" : L" " + list);
        return object + L"." + member + L"(" + list + L");";
    }
    std::wstring Put(const std::wstring& object, const std::wstring& member,
                     const std::wstring& value) const {
        return object + L"." + member + L" = " + value + (vbs ? L"" : L";");
    }
    std::wstring Comment(const std::wstring& text) const { return (vbs ? L"' " : L"// ") + text; }
    std::wstring Shift(LONG shift) const {
        std::wstring out;
        for (auto [flag, name] :
             {std::pair{skwCtrl, L"skwCtrl"}, {skwShift, L"skwShift"}, {skwAlt, L"skwAlt"}})
            if (shift & flag) out += (out.empty() ? L"" : (vbs ? L" Or " : L" | ")) + std::wstring(name);
        return out;
    }
    std::wstring Literal(const VARIANT& value) const {
        if (value.vt == VT_BSTR) return Str(value.bstrVal ? value.bstrVal : L"");
        if (value.vt == VT_BOOL) return Bool(value.boolVal != VARIANT_FALSE);
        return TextOf(value);
    }
};

std::wstring ItemMember(const UserAction& action) {
    std::wstring name = action.doubleClick ? L"DblClickItem" : L"ClickItem";
    if (action.button == wpfsim::MouseButton::Right) name += L"R";
    if (action.button == wpfsim::MouseButton::Middle) name += L"M";
    return name;
}

bool LeftSingle(const UserAction& action) {
    return action.button == wpfsim::MouseButton::Left && !action.doubleClick;
}

// Whether the press hit the toggle of the control's own template (a tree node's expander, an expander's
// header).
bool OnOwnToggle(wpfsim::Element& hit, const wpfsim::Element& control) {
    for (wpfsim::Element* e = &hit; e && e != &control; e = e->Parent())
        if (e->TemplatedParent() == &control && e->ClassName().ends_with(L"ToggleButton")) return true;
    return false;
}

// An item name as a replay's lookup reads it: a pattern of "*" (any run), "?" (one character) and "**" (one
// asterisk), which may find another item first. Doubled asterisks stand for themselves; a "?" has no such
// escape, so a text with one has no name that surely finds its item (none).
std::optional<std::wstring> LiteralPattern(std::wstring_view text) {
    if (text.find(L'?') != std::wstring_view::npos) return std::nullopt;
    std::wstring pattern;
    for (wchar_t c : text) {
        pattern += c;
        if (c == L'*') pattern += L'*';
    }
    return pattern;
}

std::wstring IndexStep(long index) {
    return L"[" + std::to_wstring(index) + L"]";
}

std::vector<std::wstring> Split(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring> parts;
    for (size_t start = 0;;) {
        const size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end == std::wstring_view::npos ? end : end - start));
        if (end == std::wstring_view::npos) return parts;
        start = end + 1;
    }
}

// The index of a tree node at each level, from the top; empty when one is unknown.
std::vector<long> TreeLevels(wpfsim::Element& node) {
    std::vector<long> levels;
    for (wpfsim::Element* e = &node; e;) {
        wpfsim::ItemsControl* parent = nullptr;
        for (wpfsim::Element* p = e->Parent(); p && !parent; p = p->Parent())
            parent = dynamic_cast<wpfsim::ItemsControl*>(p);
        if (!parent) parent = dynamic_cast<wpfsim::ItemsControl*>(e->LogicalParent());
        if (!parent) return {};
        const long index = parent->IndexOfItemElement(*e);
        if (index < 0) return {};
        levels.insert(levels.begin(), index);
        if (dynamic_cast<wpfsim::TreeView*>(parent)) return levels;
        e = parent;
    }
    return {};
}

// The index of a menu item at each level, from the top menu; empty when one is unknown.
std::vector<long> MenuLevels(wpfsim::Element& element) {
    std::vector<long> levels;
    for (auto* item = dynamic_cast<wpfsim::MenuItem*>(&element); item;) {
        wpfsim::ItemsControl* parent = item->ParentMenu();
        const long index = parent ? parent->IndexOfItemElement(*item) : -1;
        if (index < 0) return {};
        levels.insert(levels.begin(), index);
        item = dynamic_cast<wpfsim::MenuItem*>(parent);
    }
    return levels;
}

// A tree path ("|Root|Ch*ld|[2]") whose every level finds its node again: a level that would find another
// node first, or that the lookup would read as an index ("[x]"), is escaped or becomes the index; a path
// whose levels cannot be told apart (a text with "|") is written with indexes throughout.
std::wstring ReplayableTreePath(std::wstring_view path, const std::vector<long>& levels) {
    if (levels.empty()) return std::wstring(path);
    std::vector<std::wstring> parts =
        path.starts_with(L'|') ? Split(path.substr(1), L'|') : std::vector<std::wstring>{};
    const bool apart = parts.size() == levels.size();
    std::wstring out;
    for (size_t k = 0; k < levels.size(); ++k) {
        const std::wstring index = IndexStep(levels[k]);
        std::optional<std::wstring> step;
        if (apart && parts[k] != index &&
            !(parts[k].size() >= 3 && parts[k].front() == L'[' && parts[k].back() == L']'))
            step = LiteralPattern(parts[k]);
        out += L"|" + step.value_or(index);
    }
    return out;
}

// A menu path ("View|Mark *") whose every level finds its item again: a caption that would find another
// item first is escaped or becomes the index, and so does a level starting with "[" that the path's split
// would join with the next one (when the path ends with "]"). Indexes throughout when the levels differ.
std::wstring ReplayableMenuPath(std::wstring_view path, const std::vector<long>& levels) {
    if (levels.empty()) return std::wstring(path);
    std::vector<std::wstring> parts = Split(path, L'|');
    const bool apart = parts.size() == levels.size();
    const bool endsWithBracket = path.ends_with(L']');
    std::wstring out;
    for (size_t k = 0; k < levels.size(); ++k) {
        std::optional<std::wstring> step;
        if (apart) {
            const std::wstring& part = parts[k];
            const bool index =
                part.size() > 2 && part.front() == L'[' && iswdigit(part[1]) && part.back() == L']';
            if (index)
                step = part;
            else if (!(k + 1 < levels.size() && endsWithBracket && part.starts_with(L'[') &&
                       !part.ends_with(L']')))
                step = LiteralPattern(part);
        }
        out += (k ? L"|" : L"") + step.value_or(IndexStep(levels[k]));
    }
    return out;
}

// The designator of an item as the statement names it: a text that finds the item again, or its index.
ov::Variant ReplayableItem(const ov::Variant& designator, wpfsim::Element& owner, wpfsim::Element& item) {
    if (designator.vt != VT_BSTR) return designator;
    if (auto pattern = LiteralPattern(designator.bstrVal ? designator.bstrVal : L""))
        return ov::Variant::String(*pattern);
    auto* items = dynamic_cast<wpfsim::ItemsControl*>(&owner);
    const long index = items ? items->IndexOfItemElement(item) : -1;
    return index < 0 ? designator : ov::Variant::Int(index);
}

} // namespace

// What a press met before it was performed: the elements on its route that were on screen, with their
// rectangles (a press is written relative to one of them), and the popups that it closes instead of reaching
// anything (light dismiss).
struct ScriptRecorder::Before {
    std::vector<std::pair<wpfsim::Element*, RECT>> route;
    // The application's window, when it has a name: the point of a press in a popup whose route meets no
    // named element is written relative to it.
    std::optional<std::pair<wpfsim::Element*, RECT>> window;
    std::vector<ov::ComPtr<wpfsim::Popup>> dismissing;
    bool spent = false; // the press closed popups and went no further

    // The nearest named element on the route from `from` up (a template part's name names nothing a script
    // can find).
    const std::pair<wpfsim::Element*, RECT>* AnchorFrom(const wpfsim::Element& from) const {
        auto at = std::find_if(route.begin(), route.end(), [&](const auto& r) { return r.first == &from; });
        for (auto it = at == route.end() ? route.begin() : at; it != route.end(); ++it)
            if (!it->first->Name().empty() && !it->first->TemplatedParent()) return &*it;
        return window ? &*window : nullptr;
    }
    // Whether the press closed the drop-down of this control's own template.
    bool Closed(const wpfsim::Element& control) const {
        for (const auto& popup : dismissing)
            if (!popup->IsOpen() && popup->TemplatedParent() == &control) return true;
        return false;
    }
};

bool ScriptRecorder::ScrollKeyLess::operator()(const std::pair<GUID, int>& a,
                                               const std::pair<GUID, int>& b) const noexcept {
    const int order = memcmp(&a.first, &b.first, sizeof(GUID));
    return order != 0 ? order < 0 : a.second < b.second;
}

void ScriptRecorder::Start() {
    on_ = true;
    events_.clear();
    lines_.clear();
    lastScroll_.clear();
}

std::wstring ScriptRecorder::Script() const {
    std::wstring script;
    for (const std::wstring& line : lines_)
        script += line + L"\r\n";
    return script;
}

void ScriptRecorder::Record(const UserAction& action, const std::function<void()>& perform) {
    HostCore& core = host_.Core();
    wpfsim::Application& app = *core.App();
    // A person acts on what the screen shows: the application had time since the last action.
    app.DoEvents();
    wpfsim::Element* hit =
        action.kind == UserAction::Kind::Type ? action.target : app.ElementAt(action.point);
    if (!hit) hit = action.target;
    // The innermost element that is no template part and that the host knows (or a tree node).
    wpfsim::Element* element = nullptr;
    for (wpfsim::Element* e = hit; e && !element; e = e->Parent())
        if (HostCore::IsInternalPart(*e) || (!e->TemplatedParent() && core.NodeFor(*e))) element = e;
    if (!element) element = action.target;

    for (const GUID& declined : {ov::EventKinds::MouseMove, ov::EventKinds::WindowActivation})
        DeliverEvent(core, declined, *element);
    const bool press = action.kind == UserAction::Kind::Press;
    Before before;
    if (press) {
        // As the application does: a press outside an open popup (outside its dismiss scope) closes it.
        wpfsim::Element* at = app.ElementAt(action.point);
        for (wpfsim::Popup* popup : app.OpenPopups())
            if (!popup->StaysOpen() && !(at && popup->DismissScope().IsAncestorOf(*at)))
                before.dismissing.emplace_back(popup);
        for (wpfsim::Element* e = hit; e; e = e->RouteParent())
            if (e->IsVisible()) before.route.emplace_back(e, e->Bounds());
        for (wpfsim::Element* root : app.Roots())
            if (!dynamic_cast<wpfsim::PopupRoot*>(root) && !root->Name().empty() && root->IsVisible()) {
                before.window.emplace(root, root->Bounds());
                break;
            }
    }
    Delivery delivery =
        press ? DeliverEvent(core, ov::EventKinds::Mouse, *element,
                             RecordedEvent::MouseData(action.point, static_cast<LONG>(action.button),
                                                      action.doubleClick ? 2 : 1, action.shift))
              : DeliverEvent(core, ov::EventKinds::Keyboard, *element);
    const std::wstring scroll = ScrollStatements(*delivery.event);

    perform();
    // A popup that refuses to close lets the press through.
    for (const auto& popup : before.dismissing)
        if (!popup->IsOpen()) before.spent = true;

    RecordedFacts facts;
    std::wstring statement = Write(action, before, *hit, *element, *delivery.event, facts);
    if (!scroll.empty()) lines_.push_back(scroll);
    lines_.push_back(statement);
    facts.statement = scroll.empty() ? statement : scroll + L"\r\n" + statement;
    events_.push_back(std::move(facts));
}

std::wstring ScriptRecorder::ScrollStatements(const RecordedEvent& event) {
    const Language lang{vbscript_};
    const std::vector<BYTE>* bytes = event.Bytes(keys::ScrollState);
    if (!bytes) return {};
    std::wstring out;
    for (size_t at = 0; at + 40 <= bytes->size(); at += 40) {
        GUID id;
        LONG flags[2];
        double pos[2];
        memcpy(&id, bytes->data() + at, sizeof id);
        memcpy(flags, bytes->data() + at + 16, sizeof flags);
        memcpy(pos, bytes->data() + at + 24, sizeof pos);
        wpfsim::Element* element = host_.Core().App()->FindById(id);
        if (!element || element->Name().empty()) continue;
        for (int d = 0; d < 2; ++d) {
            if (!flags[d]) continue;
            auto [it, first] = lastScroll_.try_emplace({id, d}, pos[d]);
            if (first || it->second == pos[d]) continue;
            it->second = pos[d];
            out += (out.empty() ? L"" : L"\r\n") +
                   lang.Put(lang.Find(element->Name()) + (d ? L".VScroll" : L".HScroll"), L"Pos",
                            lang.Number(pos[d]));
        }
    }
    return out;
}

std::wstring ScriptRecorder::Write(const UserAction& action, const Before& before, wpfsim::Element& hit,
                                   wpfsim::Element& element, const RecordedEvent& event,
                                   RecordedFacts& facts) {
    const Language lang{vbscript_};
    wpfsim::Application& app = *host_.Core().App();
    auto byId = [&](const GUID& key) -> wpfsim::Element* {
        auto id = event.Identifier(key);
        return id ? app.FindById(*id) : nullptr;
    };
    auto kindOf = [&](wpfsim::Element& control) {
        LONG kind = -1;
        if (auto node = host_.NodeOf(control))
            for (const auto& extension : node->Extensions())
                if (auto recognized = extension.As<IovWPFControlRecognizerExtender>()) {
                    WPFControlType value = ctrlWPFUnknown;
                    if (SUCCEEDED(recognized->get_WPFControlType(&value))) kind = value;
                }
        return kind;
    };
    facts.kind = event.Property(keys::ControlType).lVal;
    facts.className = TextOf(event.Property(keys::ClassName));
    facts.enabled = event.Property(keys::Enabled);
    facts.visualPath = event.Property(keys::VisualPath);
    const POINT at = action.point;
    const bool press = action.kind == UserAction::Kind::Press;
    auto unnamed = [&](wpfsim::Element& control) {
        return lang.Comment(L"not replayed: the " + control.ClassName() + L" at (" + std::to_wstring(at.x) +
                            L", " + std::to_wstring(at.y) + L") has no name to address it by");
    };
    // The press itself, at the same point relative to the nearest named element from `from` up.
    auto userPress = [&](wpfsim::Element& from) {
        if (!press || action.button == wpfsim::MouseButton::Middle)
            return lang.Comment(L"not replayed: User has no such action on '" + from.Name() + L"'");
        const auto* anchor = before.AnchorFrom(from);
        if (!anchor) return unnamed(from);
        const std::wstring member = action.doubleClick                            ? L"DoubleClick"
                                    : action.button == wpfsim::MouseButton::Right ? L"RightClick"
                                                                                  : L"Click";
        const RECT& r = anchor->second;
        return lang.Call(
            L"User", member,
            {lang.Str(anchor->first->Name()), std::to_wstring(at.x - r.left), std::to_wstring(at.y - r.top)});
    };
    auto withShift = [&](std::vector<std::wstring> args) {
        if (action.shift) args.push_back(lang.Shift(action.shift));
        return args;
    };

    if (press && before.spent) {
        // The press only closed popups. What closed a combo box's own drop-down is its CloseUp.
        wpfsim::Element* face = ControlFor(&element);
        if (LeftSingle(action) && !face->Name().empty() && kindOf(*face) == ctrlWPFComboBox &&
            before.Closed(*face))
            return lang.Call(lang.Find(face->Name()), L"CloseUp");
        return userPress(hit);
    }
    // A press on a disabled element did nothing; a member would refuse it.
    if (press && facts.enabled.vt == VT_BOOL && !facts.enabled.boolVal) return userPress(element);

    if (press && event.HasProperty(keys::MenuPath)) {
        const std::wstring path = TextOf(event.Property(keys::MenuPath));
        facts.designator = event.Property(keys::MenuPath);
        wpfsim::Element* owner = byId(keys::MenuOwner);
        if (owner) facts.owner = owner->Name();
        if (!owner || owner->Name().empty()) return userPress(element);
        const std::wstring menu =
            lang.Find(owner->Name()) +
            (event.Property(keys::MenuTopKind).lVal == ctrlWPFMenu ? L".WPFMenu" : L".PopupMenu");
        const std::wstring step = lang.Str(ReplayableMenuPath(path, MenuLevels(element)));
        // An item that opens its submenu is clicked as well: the menus stand open on replay as they did.
        if (event.HasProperty(keys::MenuCheckedAfter) && !event.Property(keys::MenuHasSubmenu).boolVal)
            return lang.Call(menu, L"Check",
                             {step, lang.Bool(event.Property(keys::MenuCheckedAfter).boolVal)});
        return lang.Call(menu, L"Click", {step});
    }

    for (auto [ownerKey, designatorKey] : {std::pair{&keys::ItemOwner, &keys::ItemDesignator},
                                           std::pair{&keys::ToolBarOwner, &keys::ToolBarDesignator}}) {
        wpfsim::Element* owner = byId(*ownerKey);
        if (!owner || !press) continue;
        facts.owner = owner->Name();
        const ov::Variant designator = event.Property(*designatorKey);
        facts.designator = designator;
        if (owner->Name().empty() || designator.vt == VT_EMPTY) return userPress(*owner);
        const std::wstring object = lang.Find(owner->Name());
        if (facts.kind == ctrlWPFTreeViewItem) {
            const std::wstring item = lang.Str(ReplayableTreePath(TextOf(designator), TreeLevels(element)));
            // A press on the node's expander toggles it.
            if (OnOwnToggle(hit, element))
                return lang.Call(
                    object, IsTrue(Prop(element, L"IsExpanded")) ? L"ExpandItem" : L"CollapseItem", {item});
            return lang.Call(object, ItemMember(action), withShift({item}));
        }
        const std::wstring item = lang.Literal(ReplayableItem(designator, *owner, element));
        switch (facts.kind) {
        case ctrlWPFComboBoxItem:
            return LeftSingle(action) ? lang.Call(object, L"ClickItem", {item}) : userPress(*owner);
        case ctrlWPFTabControlItem:
            return LeftSingle(action) ? lang.Call(object, L"ClickTab", {item}) : userPress(*owner);
        default:
            return lang.Call(object, ItemMember(action), withShift({item}));
        }
    }

    wpfsim::Element* control = &element;
    if (facts.kind == ctrlWPFActTransparent)
        if (wpfsim::Element* owner = byId(keys::TransparentOwner)) control = owner;
    control = ControlFor(control);
    facts.owner = control == &element ? L"" : control->Name();
    if (control->Name().empty()) return press ? userPress(*control) : unnamed(*control);
    const std::wstring object = lang.Find(control->Name());
    const LONG kind = kindOf(*control);

    if (!press) {
        if (kind != ctrlWPFEdit && kind != ctrlWPFPasswordEdit)
            return lang.Comment(L"not replayed: '" + control->Name() + L"' takes no text");
        const wchar_t* member = kind == ctrlWPFPasswordEdit ? L"Password" : L"Text";
        return lang.Put(object, L"wText", lang.Str(TextOf(Prop(*control, member))));
    }
    if (LeftSingle(action)) switch (kind) {
        case ctrlWPFButton:
        case ctrlWPFRadioButton:
        case ctrlWPFRepeatButton:
            return lang.Call(object, L"ClickButton");
        case ctrlWPFCheckBox:
        case ctrlWPFToggleButton: {
            const ov::Variant state = Prop(*control, L"IsChecked");
            const wchar_t* name = state.vt == VT_NULL || state.vt == VT_EMPTY ? L"cbGrayed"
                                  : IsTrue(state)                             ? L"cbChecked"
                                                                              : L"cbUnChecked";
            return lang.Call(object, L"ClickButton", {name});
        }
        case ctrlWPFComboBox:
            return lang.Call(object, IsTrue(Prop(*control, L"IsDropDownOpen")) ? L"DropDown" : L"CloseUp");
        case ctrlWPFExpander:
            if (OnOwnToggle(hit, *control))
                return lang.Call(object, IsTrue(Prop(*control, L"IsExpanded")) ? L"Expand" : L"Collapse");
            break;
        case ctrlWPFTrackBar:
        case ctrlWPFScrollBar:
            return lang.Put(object, L"wPosition", lang.Number(Prop(*control, L"Value").dblVal));
        default:
            break;
        }
    return userPress(*control);
}

namespace {

void DumpElement(wpfsim::Element& element, const std::wstring& path, std::set<wpfsim::Element*>& seen,
                 std::wstring& out) {
    if (!seen.insert(&element).second) return;
    std::wstring line =
        path + L" " + element.ClassName() + (element.Name().empty() ? L"" : L" " + element.Name());
    for (const wchar_t* member :
         {L"IsChecked", L"IsSelected", L"SelectedIndex", L"Text", L"Password", L"Value", L"IsExpanded",
          L"IsDropDownOpen", L"IsOpen", L"IsSubmenuOpen", L"VerticalOffset", L"HorizontalOffset"}) {
        const ov::Variant value = Prop(element, member);
        if (value.vt != VT_EMPTY)
            line += L" " + std::wstring(member) + L"=" +
                    (value.vt == VT_R8 ? ExactNumber(value.dblVal) : TextOf(value));
    }
    if (auto* selector = dynamic_cast<wpfsim::Selector*>(&element)) {
        line += L" Selection=";
        for (size_t index : selector->Selection())
            line += std::to_wstring(index) + L",";
    }
    out += line + L"\r\n";
    const auto& children = element.LogicalChildren();
    for (size_t i = 0; i < children.size(); ++i)
        DumpElement(*children[i], path + L"." + std::to_wstring(i), seen, out);
    if (wpfsim::Element* menu = static_cast<wpfsim::Element*>(element.GetContextMenu()))
        DumpElement(*menu, path + L".menu", seen, out);
}

} // namespace

std::wstring DumpState(wpfsim::Application& app) {
    // The state the application settles in once it has time.
    app.DoEvents();
    std::wstring out;
    std::set<wpfsim::Element*> seen;
    const auto& roots = app.Roots();
    for (size_t i = 0; i < roots.size(); ++i)
        if (!dynamic_cast<wpfsim::PopupRoot*>(roots[i]))
            DumpElement(*roots[i], std::to_wstring(i), seen, out);
    return out;
}

} // namespace ovhost
