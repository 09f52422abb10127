#include "ControlFacts.h"

#include "../app/ByName.h"
#include "../services/Host.h"

#include "ovWPFControlsLib.h"
#include "wpfsim/Element.h"

namespace ovhost {
namespace {

using ov::Variant;

// Nested menus and trees deeper than this are not walked further (XAML nests at most 256 levels).
constexpr int kMaxDepth = 256;

std::wstring Number(double value) {
    wchar_t text[32];
    swprintf(text, 32, L"%.15g", value);
    return text;
}

State Flag(const wchar_t* key, bool on, const wchar_t* yes, const wchar_t* no = L"") {
    return {key, on ? L"true" : L"false", on ? yes : no};
}

void AddEnabled(std::optional<std::optional<bool>> enabled, std::vector<State>& states) {
    if (enabled && *enabled) states.push_back(Flag(L"enabled", **enabled, L"", L"disabled"));
}

// "[3]": an item named by its index.
std::wstring IndexStep(LONG index) {
    return L"[" + std::to_wstring(index) + L"]";
}

bool SameIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// A node's step: its text, unless it is empty or another node's text repeats it (ignoring case), as the
// module's recorder decides; and only when the collection finds the node again by it.
std::wstring NodeStep(IDispatch* collection, const std::vector<std::wstring>& texts, size_t i) {
    const std::wstring& text = texts[i];
    bool byIndex = text.empty();
    for (size_t j = 0; j < texts.size() && !byIndex; ++j)
        byIndex = j != i && SameIgnoringAsciiCase(texts[j], text);
    if (!byIndex) {
        ov::ComPtr<IDispatch> found = ObjectByName(collection, L"Item", {Variant::String(text)});
        byIndex = !found || TextByName(found.Get(), L"Text") != text;
    }
    return byIndex ? IndexStep(static_cast<LONG>(i)) : text;
}

// One level of a tree or a menu: the objects its `Count` and `itemMember` give by index, and the text of
// each (by `textMember`).
struct Level {
    std::vector<ov::ComPtr<IDispatch>> objects;
    std::vector<std::wstring> texts;
};

Level LevelOf(IDispatch* list, const wchar_t* itemMember, const wchar_t* textMember) {
    Level level;
    for (LONG i = 0, count = IntByName(list, L"Count").value_or(0); i < count; ++i) {
        level.objects.push_back(ObjectByName(list, itemMember, {Variant::Int(i)}));
        level.texts.push_back(TextByName(level.objects.back().Get(), textMember).value_or(L""));
    }
    return level;
}

void AddNodes(IDispatch* collection, const std::wstring& prefix, int depth, std::vector<ItemFact>& into) {
    const auto [nodes, texts] = LevelOf(collection, L"Item", L"Text");
    for (LONG i = 0, count = static_cast<LONG>(nodes.size()); i < count; ++i) {
        IDispatch* node = nodes[static_cast<size_t>(i)].Get();
        ItemFact fact{L"node",
                      i,
                      prefix + L"|" + NodeStep(collection, texts, static_cast<size_t>(i)),
                      texts[static_cast<size_t>(i)],
                      {}};
        if (auto expanded = BoolByName(node, L"Expanded"); expanded && *expanded)
            fact.states.push_back(Flag(L"expanded", **expanded, L"expanded", L"collapsed"));
        if (auto selected = BoolByName(node, L"Selected"); selected && *selected)
            fact.states.push_back(Flag(L"selected", **selected, L"selected"));
        const std::wstring path = fact.path;
        into.push_back(std::move(fact));
        if (ov::ComPtr<IDispatch> children = ObjectByName(node, L"Items"); children && depth < kMaxDepth)
            AddNodes(children.Get(), path, depth + 1, into);
    }
}

// Whether a menu's head matches a caption: "*" any run, "?" one character, "**" an asterisk, with case.
bool Matches(std::wstring_view pattern, std::wstring_view text) {
    if (pattern.empty()) return text.empty();
    if (pattern[0] == L'*' && pattern.size() > 1 && pattern[1] == L'*')
        return !text.empty() && text[0] == L'*' && Matches(pattern.substr(2), text.substr(1));
    if (pattern[0] == L'*') {
        for (size_t i = 0; i <= text.size(); ++i)
            if (Matches(pattern.substr(1), text.substr(i))) return true;
        return false;
    }
    return !text.empty() && (pattern[0] == L'?' || pattern[0] == text[0]) &&
           Matches(pattern.substr(1), text.substr(1));
}

// A menu item's step: its caption (as `Caption` writes it for paths), unless it is empty or holds a "|"
// (the module's recorder names such items by index), another item's caption matches it as a pattern (so
// does the recorder), or as a head it would find an item above it first.
std::wstring MenuStep(const std::vector<std::wstring>& captions, size_t i) {
    const std::wstring& caption = captions[i];
    bool byIndex = caption.empty() || caption.find(L'|') != std::wstring::npos;
    for (size_t j = 0; j < captions.size() && !byIndex; ++j)
        byIndex = j != i && (Matches(captions[j], caption) || (j < i && Matches(caption, captions[j])));
    return byIndex ? IndexStep(static_cast<LONG>(i)) : caption;
}

void AddMenu(IDispatch* menu, const wchar_t* what, const std::wstring& prefix, int depth,
             std::vector<ItemFact>& into) {
    const auto [items, captions] = LevelOf(menu, L"Items", L"Caption");
    for (LONG i = 0, count = static_cast<LONG>(items.size()); i < count; ++i) {
        IDispatch* item = items[static_cast<size_t>(i)].Get();
        if (!item) continue;
        ItemFact fact{what,
                      i,
                      prefix + (prefix.empty() ? L"" : L"|") + MenuStep(captions, static_cast<size_t>(i)),
                      captions[static_cast<size_t>(i)],
                      {}};
        if (auto separator = BoolByName(item, L"Separator"); separator && *separator && **separator)
            fact.states.push_back(Flag(L"separator", true, L"separator"));
        AddEnabled(BoolByName(item, L"Enabled"), fact.states);
        if (auto checked = BoolByName(item, L"Checked"); checked && *checked)
            fact.states.push_back(Flag(L"checked", **checked, L"checked"));
        const std::wstring path = fact.path;
        into.push_back(std::move(fact));
        if (ov::ComPtr<IDispatch> sub = ObjectByName(item, L"SubMenu"); sub && depth < kMaxDepth)
            AddMenu(sub.Get(), what, path, depth + 1, into);
    }
}

// Items by index: `count` of them, each text read by `textMember` with the index.
template <class States>
void AddIndexed(IDispatch* control, const wchar_t* countMember, const wchar_t* textMember, States&& states,
                std::vector<ItemFact>& into) {
    const LONG count = IntByName(control, countMember).value_or(0);
    for (LONG i = 0; i < count; ++i) {
        ItemFact fact{L"item", i, {}, TextByName(control, textMember, {Variant::Int(i)}).value_or(L""), {}};
        states(i, fact.states);
        into.push_back(std::move(fact));
    }
}

// Items of which the one `selectedMember` gives the index of is selected.
void AddWithSelected(IDispatch* control, const wchar_t* countMember, const wchar_t* textMember,
                     const wchar_t* selectedMember, std::vector<ItemFact>& into) {
    const LONG selected = IntByName(control, selectedMember).value_or(-1);
    AddIndexed(
        control, countMember, textMember,
        [&](LONG i, std::vector<State>& states) {
            if (i == selected) states.push_back(Flag(L"selected", true, L"selected"));
        },
        into);
}

bool IsTrue(const std::optional<std::optional<bool>>& flag) {
    return flag && *flag && **flag;
}

} // namespace

ov::ComPtr<IDispatch> AutomationObjectOf(Host& host, wpfsim::Element& element) {
    ov::ComPtr<ElementNode> node = host.NodeOf(element);
    if (!node) return nullptr;
    GUID kindKey{};
    ov::ComPtr<IovOpenAppControlHookExtender> hook;
    for (const auto& extension : node->Extensions())
        if (extension.As<IovWPFControlRecognizerExtender>())
            hook = extension.As<IovOpenAppControlHookExtender>();
    if (!hook || FAILED(hook->get_ControlType(&kindKey))) return nullptr;
    for (const auto& module : host.Modules()) {
        auto holder = module.object.As<IovCtrlMappingInfoHolder>();
        ov::ComPtr<IovWindowMappingInfo> info;
        VARIANT_BOOL found = VARIANT_FALSE;
        if (!holder || FAILED(holder->GetInfoByKey(&kindKey, info.Put(), &found)) || !found) continue;
        auto mapping = info.As<IovWPFControlMappingInfo>();
        ov::ComPtr<IDispatch> control;
        GUID id = element.Id();
        if (!mapping || FAILED(mapping->CreateControlWithKey(&id, control.Put())) || !control) return nullptr;
        if (auto base = control.As<IovCtrlBase>()) base->put_ErrorReportMode(2);
        return control;
    }
    return nullptr;
}

ElementFacts FactsOf(wpfsim::Element& element) {
    ElementFacts facts;
    ov::ComPtr<IDispatch> object = element.NewDispatch();
    IDispatch* e = object.Get();
    for (const wchar_t* member : {L"Title", L"Header", L"Text", L"Password", L"Content"})
        if (HasMember(e, member)) {
            // A header or content never set (null) is no text, as a toolbar's Header.
            if (auto value = ByName(e, member); value && value->vt != VT_EMPTY && value->vt != VT_NULL &&
                                                !(value->vt == VT_DISPATCH && !value->pdispVal))
                facts.text = ValueText(*value);
            break;
        }
    std::vector<State>& states = facts.states;
    AddEnabled(BoolByName(e, L"IsEnabled"), states);
    if (auto checked = BoolByName(e, L"IsChecked");
        checked && (!HasMember(e, L"IsCheckable") || IsTrue(BoolByName(e, L"IsCheckable")))) {
        if (!*checked)
            states.push_back({L"checked", L"null", L"indeterminate"});
        else
            states.push_back(Flag(L"checked", **checked, L"checked", L"unchecked"));
    }
    if (auto expanded = BoolByName(e, L"IsExpanded"); expanded && *expanded)
        states.push_back(Flag(L"expanded", **expanded, L"expanded", L"collapsed"));
    if (auto selected = BoolByName(e, L"IsSelected"); selected && *selected)
        states.push_back(Flag(L"selected", **selected, L"selected"));
    for (const wchar_t* member : {L"IsDropDownOpen", L"IsSubmenuOpen", L"IsOpen", L"IsOverflowOpen"})
        if (IsTrue(BoolByName(e, member))) {
            states.push_back(Flag(L"open", true, L"open"));
            break;
        }
    if (auto value = NumberByName(e, L"Value")) {
        const auto minimum = NumberByName(e, L"Minimum"), maximum = NumberByName(e, L"Maximum");
        std::wstring word = L"value " + Number(*value);
        if (minimum && maximum) word += L" (" + Number(*minimum) + L".." + Number(*maximum) + L")";
        states.push_back({L"value", Number(*value), word});
        if (minimum) states.push_back({L"minimum", Number(*minimum), L""});
        if (maximum) states.push_back({L"maximum", Number(*maximum), L""});
    }
    return facts;
}

void AddItems(IDispatch& control, LONG kind, ElementFacts& facts) {
    IDispatch* c = &control;
    std::vector<ItemFact>& items = facts.items;
    switch (kind) {
    case ctrlWPFListBox:
    case ctrlWPFListView:
        AddIndexed(
            c, L"wItemCount", L"wItem",
            [&](LONG i, std::vector<State>& states) {
                if (IsTrue(BoolByName(c, L"wSelected", {Variant::Int(i)})))
                    states.push_back(Flag(L"selected", true, L"selected"));
            },
            items);
        break;
    case ctrlWPFComboBox:
        AddWithSelected(c, L"wItemCount", L"wItem", L"wSelectedItem", items);
        break;
    case ctrlWPFTabControl:
        AddWithSelected(c, L"wTabCount", L"wTabCaption", L"wFocusedTab", items);
        break;
    case ctrlWPFToolBar:
        AddIndexed(
            c, L"wButtonCount", L"wButtonText",
            [&](LONG i, std::vector<State>& states) {
                const Variant index = Variant::Int(i);
                if (IsTrue(BoolByName(c, L"wIsSeparatorButton", {index})))
                    states.push_back(Flag(L"separator", true, L"separator"));
                AddEnabled(BoolByName(c, L"wEnabled", {index}), states);
                if (IsTrue(BoolByName(c, L"wIsCheckButton", {index})))
                    if (auto checked = BoolByName(c, L"wChecked", {index}); checked && *checked)
                        states.push_back(Flag(L"checked", **checked, L"checked", L"unchecked"));
                if (auto visible = BoolByName(c, L"wVisible", {index}); visible && *visible)
                    states.push_back(Flag(L"visible", **visible, L"", L"hidden"));
            },
            items);
        break;
    case ctrlWPFTreeView:
        if (ov::ComPtr<IDispatch> top = ObjectByName(c, L"wItems")) AddNodes(top.Get(), L"", 0, items);
        break;
    case ctrlWPFMenu:
        if (ov::ComPtr<IDispatch> menu = ObjectByName(c, L"WPFMenu"))
            AddMenu(menu.Get(), L"menu", L"", 0, items);
        break;
    default:
        break;
    }
    if (ov::ComPtr<IDispatch> context = ObjectByName(c, L"PopupMenu"))
        AddMenu(context.Get(), L"context menu", L"", 0, items);
}

} // namespace ovhost
