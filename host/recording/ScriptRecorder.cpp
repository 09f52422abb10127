#include "ScriptRecorder.h"

#include "../services/Host.h"
#include "Recording.h"

#include "com/RecordIdentifiers.h"
#include "ovWPFControlsLib.h"
#include "wpfsim/ListBox.h"
#include "wpfsim/Menus.h"
#include "wpfsim/Popup.h"

#include <cstring>
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

// The script's words, in JScript or VBScript.
struct Language {
    bool vbs;
    std::wstring Str(std::wstring_view text) const {
        std::wstring out = L"\"";
        for (wchar_t c : text) {
            if (vbs && c == L'"')
                out += L"\"\"";
            else if (!vbs && (c == L'"' || c == L'\\'))
                out += {L'\\', c};
            else
                out += c;
        }
        return out + L"\"";
    }
    std::wstring Bool(bool value) const {
        return vbs ? (value ? L"True" : L"False") : (value ? L"true" : L"false");
    }
    std::wstring Number(double value) const {
        wchar_t text[64];
        swprintf(text, 64, L"%.15g", value);
        return text;
    }
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

} // namespace

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
    Delivery delivery =
        press ? DeliverEvent(core, ov::EventKinds::Mouse, *element,
                             RecordedEvent::MouseData(action.point, static_cast<LONG>(action.button),
                                                      action.doubleClick ? 2 : 1, action.shift))
              : DeliverEvent(core, ov::EventKinds::Keyboard, *element);
    const std::wstring scroll = ScrollStatements(*delivery.event);

    perform();

    RecordedFacts facts;
    std::wstring statement = Write(action, *hit, *element, *delivery.event, facts);
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

std::wstring ScriptRecorder::Write(const UserAction& action, wpfsim::Element& hit, wpfsim::Element& element,
                                   const RecordedEvent& event, RecordedFacts& facts) {
    const Language lang{vbscript_};
    wpfsim::Application& app = *host_.Core().App();
    auto byId = [&](const GUID& key) -> wpfsim::Element* {
        auto id = event.Identifier(key);
        return id ? app.FindById(*id) : nullptr;
    };
    facts.kind = event.Property(keys::ControlType).lVal;
    facts.className = TextOf(event.Property(keys::ClassName));
    facts.enabled = event.Property(keys::Enabled);
    facts.visualPath = event.Property(keys::VisualPath);
    const POINT at = action.point;
    auto unnamed = [&](wpfsim::Element& control) {
        return lang.Comment(L"not replayed: the " + control.ClassName() + L" at (" + std::to_wstring(at.x) +
                            L", " + std::to_wstring(at.y) + L") has no name to address it by");
    };
    auto userClick = [&](wpfsim::Element& control) {
        if (action.kind == UserAction::Kind::Type || action.button == wpfsim::MouseButton::Middle)
            return lang.Comment(L"not replayed: User has no such action on '" + control.Name() + L"'");
        const std::wstring member = action.doubleClick                            ? L"DoubleClick"
                                    : action.button == wpfsim::MouseButton::Right ? L"RightClick"
                                                                                  : L"Click";
        const RECT& r = control.Bounds();
        return lang.Call(
            L"User", member,
            {lang.Str(control.Name()), std::to_wstring(at.x - r.left), std::to_wstring(at.y - r.top)});
    };
    auto withShift = [&](std::vector<std::wstring> args) {
        if (action.shift) args.push_back(lang.Shift(action.shift));
        return args;
    };

    if (action.kind == UserAction::Kind::Press && event.HasProperty(keys::MenuPath)) {
        const std::wstring path = TextOf(event.Property(keys::MenuPath));
        facts.designator = event.Property(keys::MenuPath);
        wpfsim::Element* owner = byId(keys::MenuOwner);
        if (owner) facts.owner = owner->Name();
        if (!owner || owner->Name().empty())
            return lang.Comment(L"not replayed: the menu of the item '" + path + L"' has no name");
        const std::wstring menu =
            lang.Find(owner->Name()) +
            (event.Property(keys::MenuTopKind).lVal == ctrlWPFMenu ? L".WPFMenu" : L".PopupMenu");
        if (event.Property(keys::MenuHasSubmenu).boolVal)
            return lang.Comment(L"'" + path + L"' opens its submenu; the next menu statement walks it");
        if (event.HasProperty(keys::MenuCheckedAfter))
            return lang.Call(menu, L"Check",
                             {lang.Str(path), lang.Bool(event.Property(keys::MenuCheckedAfter).boolVal)});
        return lang.Call(menu, L"Click", {lang.Str(path)});
    }

    for (auto [ownerKey, designatorKey] : {std::pair{&keys::ItemOwner, &keys::ItemDesignator},
                                           std::pair{&keys::ToolBarOwner, &keys::ToolBarDesignator}}) {
        wpfsim::Element* owner = byId(*ownerKey);
        if (!owner || action.kind != UserAction::Kind::Press) continue;
        facts.owner = owner->Name();
        if (owner->Name().empty()) return unnamed(*owner);
        const ov::Variant designator = event.Property(*designatorKey);
        facts.designator = designator;
        if (designator.vt == VT_EMPTY) return userClick(*owner);
        const std::wstring object = lang.Find(owner->Name());
        const std::wstring item = lang.Literal(designator);
        switch (facts.kind) {
        case ctrlWPFComboBoxItem:
            return LeftSingle(action) ? lang.Call(object, L"ClickItem", {item}) : userClick(*owner);
        case ctrlWPFTabControlItem:
            return LeftSingle(action) ? lang.Call(object, L"ClickTab", {item}) : userClick(*owner);
        case ctrlWPFTreeViewItem:
            // A press on the node's expander toggles it.
            for (wpfsim::Element* e = &hit; e && e != &element; e = e->Parent())
                if (e->TemplatedParent() == &element && e->ClassName().ends_with(L"ToggleButton"))
                    return lang.Call(object,
                                     IsTrue(Prop(element, L"IsExpanded")) ? L"ExpandItem" : L"CollapseItem",
                                     {item});
            [[fallthrough]];
        default:
            return lang.Call(object, ItemMember(action), withShift({item}));
        }
    }

    wpfsim::Element* control = &element;
    if (facts.kind == ctrlWPFActTransparent)
        if (wpfsim::Element* owner = byId(keys::TransparentOwner)) control = owner;
    control = ControlFor(control);
    facts.owner = control == &element ? L"" : control->Name();
    if (control->Name().empty()) return unnamed(*control);
    const std::wstring object = lang.Find(control->Name());
    LONG kind = -1;
    if (auto node = host_.NodeOf(*control))
        for (const auto& extension : node->Extensions())
            if (auto recognized = extension.As<IovWPFControlRecognizerExtender>()) {
                WPFControlType value = ctrlWPFUnknown;
                if (SUCCEEDED(recognized->get_WPFControlType(&value))) kind = value;
            }

    if (action.kind == UserAction::Kind::Type) {
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
        case ctrlWPFTrackBar:
        case ctrlWPFScrollBar:
            return lang.Put(object, L"wPosition", lang.Number(Prop(*control, L"Value").dblVal));
        default:
            break;
        }
    return userClick(*control);
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
        if (value.vt != VT_EMPTY) line += L" " + std::wstring(member) + L"=" + TextOf(value);
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
