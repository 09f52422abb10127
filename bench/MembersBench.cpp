// What a member of the module costs beside the late-bound calls it must make. The module is loaded
// through the host stand-in into applications read from XAML; every row calls one member late-bound, as
// the host does, and reports per member call: the host calls and application calls it must make and those
// it made (counted), the time, the time inside the host stand-in and inside the application (the
// stand-ins time every call they answer), and the module's own share of the time. A second pass charges
// every application call 50 us more, as a call into another process costs, and reports the module's share
// again. Figures come from one run, so that the ratios cancel the machine's noise.
//
//   ovbench_members [--quick] [--json FILE] [--only TEXT] [--profile SECONDS]
//
// --only runs the rows whose member and item count ("wItemList 10000") hold the text. --profile calls each
// row's member for that long once more, with the clocks off, for a sampling profiler; the module's load
// address goes to the error output, to place the samples.
//
// --quick runs every row once and the item series at 1,000 items only: CI checks that the benchmark works
// and that the counts are those required, not its times. The exit code is 1 when a count differs.
#include "host/services/Host.h"
#include "host/cli/Run.h"
#include "host/script/ScriptModel.h"
#include "host/script/ScriptSite.h"
#include "host/app/Xaml.h"
#include "wpfsim/ListBox.h"
#include "wpfsim/Menus.h"

#include "com/HostIdentifiers.h"
#include "com/StandInClock.h"
#include "recognition/KindInfo.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using ov::StandIn;
using ov::StandInClock;

constexpr double kRemoteCallMicroseconds = 50;

struct Counts {
    double host = 0, app = 0;
    constexpr Counts operator+(Counts o) const { return {host + o.host, app + o.app}; }
    constexpr Counts operator*(double n) const { return {host * n, app * n}; }
};

// --- the calls a member must make, by the steps it is made of ------------------------------------------

// The element's .NET object through its host object: the extender, then its native object.
constexpr Counts kClr{2, 0};
// One .NET member by name: the lookup, then the call.
constexpr Counts kMember{0, 2};
// The text of a .NET string object: its "OleValue".
constexpr Counts kOleValue{0, 2};
// "IsEnabled" of the element.
constexpr Counts kEnabled{2, 2};
// A host click: the mouse extension, the two action options read, set and restored, the click.
constexpr Counts kClick{8, 0};
// A window activated under the same action options.
constexpr Counts kActivate{7, 0};
// The action message handed to the host's log.
constexpr Counts kPost{1, 0};
// "Items"."Count".
constexpr Counts kItemCount = kClr + kMember + kMember;
// "Items"."get_Item"(i) and the string value of the item (its default member, read by the conversion).
constexpr Counts kItemText = kClr + kMember + kMember + Counts{0, 1};

// --- a scene: an application, the host with the module, and the wrapper the host makes ------------------

struct Scene {
    std::unique_ptr<wpfsim::Application> app;
    std::unique_ptr<ovhost::Host> host;
    std::unique_ptr<ovhost::ScriptModel> model;
    ov::ComPtr<IDispatch> appObject; // the script model's "App"
    ov::ComPtr<IDispatch> wrapper;   // App.Find(element)
    wpfsim::Element* element = nullptr;
    std::map<std::wstring, DISPID> ids; // the wrapper's, looked up once as a host would
    ov::ComPtr<IDispatch> part;         // an object the wrapper handed out, when a row calls that

    ~Scene() {
        part.Reset();
        wrapper.Reset();
        appObject.Reset();
        if (model) model->End();
        model.reset();
        host.reset();
        app.reset();
    }
};

DISPID IdOf(IDispatch* object, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    ov::ThrowIfFailed(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    return id;
}

ov::Variant Invoke(IDispatch* object, DISPID id, WORD flags, std::vector<ov::Variant> args = {}) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), flags == DISPATCH_PROPERTYPUT ? &put : nullptr,
                      static_cast<UINT>(reversed.size()), flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
    ov::Variant result;
    EXCEPINFO excep{};
    HRESULT hr;
    {
        // The call itself is the member's; what a row does around it is the driver's (Measure).
        const ov::StandInScope member(StandIn::Caller);
        hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                            flags == DISPATCH_PROPERTYPUT ? nullptr : &result, &excep, nullptr);
    }
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    ov::ThrowIfFailed(hr);
    return result;
}

std::unique_ptr<Scene> OpenScene(const std::string& xaml, const wchar_t* element) {
    auto scene = std::make_unique<Scene>();
    scene->app = ovhost::ParseXaml(xaml);
    scene->host = std::make_unique<ovhost::Host>(ovhost::ExecutableFolder());
    if (std::wstring why =
            ovhost::StartHost(*scene->host, *scene->app, L"bench.xaml", ovhost::ExecutableFolder());
        !why.empty())
        throw std::runtime_error("the module cannot be loaded");
    scene->app->UpdateLayout();
    scene->model = std::make_unique<ovhost::ScriptModel>(*scene->host, *scene->app);
    for (const ovhost::NamedItem& item : scene->model->Items())
        if (item.name == L"App") scene->appObject = item.object;
    scene->element = scene->app->Find(element);
    ov::Variant found = Invoke(scene->appObject.Get(), IdOf(scene->appObject.Get(), L"Find"), DISPATCH_METHOD,
                               {ov::Variant::String(element)});
    if (found.vt != VT_DISPATCH || !found.pdispVal) throw std::runtime_error("no wrapper for the element");
    scene->wrapper = found.pdispVal;
    return scene;
}

// The calls of the depth-first search for a host object below `parent`: the child count of every object
// visited, and for every child looked at the child itself, its native object and "ReferenceEquals".
bool SearchCost(ovhost::HostNode& parent, const wpfsim::Element* target, Counts& cost) {
    cost = cost + Counts{1, 0};
    for (const auto& child : parent.Children()) {
        cost = cost + Counts{1, 0} + kClr + kMember;
        if (child->Element() == target) return true;
        if (SearchCost(*child, target, cost)) return true;
    }
    return false;
}

Counts SearchCost(Scene& s, const wpfsim::Element& below, const wpfsim::Element* target) {
    Counts cost;
    auto node = s.host->NodeOf(below);
    if (node) SearchCost(*node, target, cost);
    return cost;
}

// The calls of the search for an item's object in the application's popup windows, after the search below
// the owner's object found nothing: up from the owner's object to the process (each object's type, then
// its parent), then the windows of each top-level object, each asked for its type and a window for its
// class; a popup's objects are refreshed (which the host counts once) and searched.
Counts PopupSearchCost(Scene& s, const wpfsim::Element& owner, const wpfsim::Element* target) {
    Counts cost;
    ovhost::HostNode* process = s.host->NodeOf(owner).Get();
    for (; !IsEqualGUID(process->Type(), ov::HostIds::ProcessContainer); process = process->Parent())
        cost = cost + Counts{2, 0};
    cost = cost + Counts{2, 0}; // the process's type, its child count
    for (const auto& top : process->Children()) {
        cost = cost + Counts{2, 0}; // the child, its child count
        for (const auto& window : top->Children()) {
            cost = cost + Counts{2, 0}; // the child, its type
            if (!IsEqualGUID(window->Type(), ov::HostIds::Window)) continue;
            cost = cost + kClr + kMember + kOleValue; // "ClrFullClassName"
            if (window->Element()->ClassName() != L"System.Windows.Controls.Primitives.PopupRoot") continue;
            window->Sync(true);
            cost = cost + Counts{1, 0};
            if (SearchCost(*window, target, cost)) return cost;
        }
    }
    return cost;
}

// --- rows ----------------------------------------------------------------------------------------------

struct Row {
    std::string family;
    std::string member;
    long items = 0; // the list's items in a series, 0 elsewhere
    std::function<std::unique_ptr<Scene>()> open = {};
    // One member call; `rep` lets a row alternate its arguments.
    std::function<void(Scene&, long rep)> call = {};
    // What the next call must make (the scene as it stands).
    std::function<Counts(Scene&, long rep)> required = {};
    // Runs before each call, outside the clocks and the counts.
    std::function<void(Scene&)> prepare = {};
    double budget = 0.3; // seconds of calls for the row
    bool scripted = false;
    // Why the row's own share is no target (the menus' pause before a walk; the entry alone), or empty.
    std::string noTarget = {};
};

struct Result {
    const Row* row = nullptr;
    Counts required = {}, measured = {};
    double seconds = 0, hostSeconds = 0, appSeconds = 0; // per call
    double remoteShare = 0;                              // the module's share with the simulated cost
    bool remoteMeasured = false;
    long calls = 0;
    double Share() const { return seconds > 0 ? (seconds - hostSeconds - appSeconds) / seconds : 0; }
    bool CountsMatch() const { return required.host == measured.host && required.app == measured.app; }
};

const std::string kHead = "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\" "
                          "xmlns:sys=\"clr-namespace:System;assembly=mscorlib\" Width=\"400\" Height=\"600\">"
                          "<StackPanel>";
const std::string kTail = "</StackPanel></Window>";

std::string ListXaml(long count, const char* selectionMode = "Extended") {
    std::string xaml =
        kHead + "<ListBox Name=\"list\" Height=\"200\" SelectionMode=\"" + selectionMode + "\">";
    xaml.reserve(xaml.size() + static_cast<size_t>(count) * 40);
    for (long i = 0; i < count; ++i)
        xaml += "<sys:String>Item " + std::to_string(i) + "</sys:String>";
    return xaml + "</ListBox>" + kTail;
}

std::wstring ItemName(long i) {
    return L"Item " + std::to_wstring(i);
}

ov::Variant Str(const std::wstring& s) {
    return ov::Variant::String(s);
}

DISPID MemberId(Scene& s, const wchar_t* member) {
    auto it = s.ids.find(member);
    if (it == s.ids.end()) it = s.ids.emplace(member, IdOf(s.wrapper.Get(), member)).first;
    return it->second;
}
void Call(Scene& s, const wchar_t* member, std::vector<ov::Variant> args = {}) {
    Invoke(s.wrapper.Get(), MemberId(s, member), DISPATCH_METHOD, std::move(args));
}
ov::Variant Get(Scene& s, const wchar_t* member, std::vector<ov::Variant> args = {}) {
    return Invoke(s.wrapper.Get(), MemberId(s, member), DISPATCH_PROPERTYGET, std::move(args));
}
void Put(Scene& s, const wchar_t* member, ov::Variant value) {
    Invoke(s.wrapper.Get(), MemberId(s, member), DISPATCH_PROPERTYPUT, {std::move(value)});
}

wpfsim::ItemsControl& Items(Scene& s) {
    return dynamic_cast<wpfsim::ItemsControl&>(*s.element);
}

// The calls of the host object of a list item: the panel, brought into view, the host's refresh, the
// container and the search for it below the list.
Counts ListItemHostCost(Scene& s, long index) {
    Counts cost = kClr + kMember + Counts{0, 2} + Counts{1, 0} + kMember;
    // The search runs on the tree as the panel and the host leave it: the item in view, the host's
    // objects refreshed (what the member does; the counts of this are not the member's).
    auto& list = Items(s);
    dynamic_cast<wpfsim::VirtualizingStackPanel&>(*list.ItemsHost())
        .BringIndexIntoView(static_cast<size_t>(index));
    s.host->NodeOf(list)->RefreshChildren();
    return cost + SearchCost(s, list, list.ContainerAt(static_cast<size_t>(index), false));
}

Counts ItemScanCost(long through) {
    return kItemText * static_cast<double>(through + 1);
}

std::vector<Row> MakeRows(bool quick) {
    std::vector<Row> rows;
    auto simple = [](const std::string& body, const wchar_t* element) {
        return [body, element] { return OpenScene(kHead + body + kTail, element); };
    };

    rows.push_back({"buttons", "ClickButton", 0, simple("<Button Name=\"ok\" Content=\"OK\"/>", L"ok"),
                    [](Scene& s, long) { Call(s, L"ClickButton"); },
                    [](Scene&, long) { return kEnabled + kClick + kPost; }});
    rows.push_back(
        {"buttons", "ClickButton(state) of a check box", 0,
         simple("<CheckBox Name=\"check\" Content=\"Remember\"/>", L"check"),
         [](Scene& s, long rep) { Call(s, L"ClickButton", {ov::Variant::Int(rep % 2 ? 0 : 1)}); },
         // The enabled check, the state before, one click, the state after, the message.
         [](Scene&, long) { return kEnabled + (kClr + kMember) + kClick + (kClr + kMember) + kPost; }});
    // The floor of every row: the late-bound entry into a wrapper (its dispatch over the type library, the
    // exception barrier) with a member that makes no call and hands out a copy of a short text.
    rows.push_back({"entry", "wListSeparator (no call)", 0, simple("<ListBox Name=\"list\"/>", L"list"),
                    [](Scene& s, long) { Get(s, L"wListSeparator"); },
                    [](Scene&, long) { return Counts{}; }});
    rows.back().noTarget = "the late-bound entry alone";
    rows.push_back({"edits", "wText", 0, simple("<TextBox Name=\"edit\" Text=\"Hello\"/>", L"edit"),
                    [](Scene& s, long) { Get(s, L"wText"); },
                    [](Scene&, long) { return kClr + kMember + kOleValue; }});
    rows.push_back({"ranges", "wPosition put", 0,
                    simple("<ScrollBar Name=\"bar\" Orientation=\"Horizontal\" Minimum=\"0\" Maximum=\"100\" "
                           "Value=\"10\"/>",
                           L"bar"),
                    [](Scene& s, long rep) { Put(s, L"wPosition", ov::Variant::Double(rep % 2 ? 30 : 40)); },
                    // "Value" read, the enabled check, "Value" set and read back on the one .NET object.
                    [](Scene&, long) { return (kClr + kMember) + kEnabled + kMember * 2; }});
    rows.push_back(
        {"tabs", "ClickTab", 0,
         simple("<TabControl Name=\"tabs\" Height=\"100\"><TabItem Header=\"One\"/><TabItem "
                "Header=\"Two\"/><TabItem Header=\"Three\"/></TabControl>",
                L"tabs"),
         // The selected tab is clicked again: the same calls every time.
         [](Scene& s, long) { Call(s, L"ClickTab", {Str(L"Three")}); },
         [](Scene& s, long) {
             const long index = 2;
             auto& tabs = Items(s);
             // Count, the captions up to the tab, its container and "IsEnabled", the search
             // for its header, the click, the message. A caption: the item (no text of its
             // own: its default value refused, "GetType"."IsPrimitive" false), then
             // "Header" and the string's default value.
             Counts caption = kClr + kMember * 2 + Counts{0, 1} + kMember * 2 + Counts{0, 2} + Counts{0, 1};
             return kEnabled + kItemCount + caption * static_cast<double>(index + 1) + (kClr + kMember * 2) +
                    kMember + SearchCost(s, tabs, tabs.ContainerAt(static_cast<size_t>(index), false)) +
                    kClick + kPost;
         }});
    rows.push_back({"lists", "ClickItem of a combo box", 0,
                    simple("<ComboBox Name=\"combo\"><ComboBoxItem Content=\"Red\"/><ComboBoxItem "
                           "Content=\"Green\"/><ComboBoxItem Content=\"Blue\"/></ComboBox>",
                           L"combo"),
                    [](Scene& s, long) { Call(s, L"ClickItem", {ov::Variant::Int(1)}); }, nullptr});
    rows.push_back(
        {"lists", "ClickItem of a list box", 0, [] { return OpenScene(ListXaml(20), L"list"); },
         [](Scene& s, long) { Call(s, L"ClickItem", {ov::Variant::Int(5)}); },
         [](Scene& s, long) { return kEnabled + kItemCount + ListItemHostCost(s, 5) + kClick + kPost; }});

    rows.push_back(
        {"toolbars", "ClickItem of a toolbar", 0,
         simple("<ToolBarTray><ToolBar Name=\"bar\"><Button Content=\"Cut\"/><Button Content=\"Copy\"/>"
                "<Button Content=\"Paste\"/></ToolBar></ToolBarTray>",
                L"bar"),
         [](Scene& s, long) { Call(s, L"ClickItem", {ov::Variant::Int(1)}); },
         [](Scene& s, long) {
             const long index = 1;
             auto& bar = Items(s);
             // Count (an index names itself in the message), the item and its "IsVisible", the search for
             // it below the toolbar, the click, the message.
             return kEnabled + kItemCount + (kClr + kMember * 2) + kMember +
                    SearchCost(s, bar, bar.ContainerAt(static_cast<size_t>(index), false)) + kClick + kPost;
         }});
    // The lookup only: the collection of the top level, then the node of the path.
    rows.push_back({"trees", "wItems.Item(path of depth 3)", 0,
                    simple("<TreeView Name=\"tree\" Height=\"200\"><TreeViewItem Header=\"Documents\" "
                           "IsExpanded=\"True\"><TreeViewItem Header=\"Letters\"/><TreeViewItem "
                           "Header=\"Projects\" IsExpanded=\"True\"><TreeViewItem Header=\"Alpha\"/>"
                           "<TreeViewItem Header=\"Beta\"/></TreeViewItem></TreeViewItem><TreeViewItem "
                           "Header=\"Music\"/></TreeView>",
                           L"tree"),
                    [](Scene& s, long) {
                        ov::Variant items = Get(s, L"wItems");
                        static DISPID item = IdOf(items.pdispVal, L"Item");
                        Invoke(items.pdispVal, item, DISPATCH_PROPERTYGET, {Str(L"Documents|Projects|Beta")});
                    },
                    [](Scene&, long) {
                        // A node's caption: the item, its default value refused, "GetType"."IsPrimitive"
                        // false, then "Header" and the string's default value.
                        const Counts caption = kMember + Counts{0, 1} + kMember * 2 + kMember + Counts{0, 1};
                        // A level: its count, the captions up to the node, the node's item.
                        auto level = [&](long index) {
                            return kMember + caption * static_cast<double>(index + 1) + kMember;
                        };
                        // The level below a node at depth d: its container, found from the tree's object
                        // through the generators of the d levels, then "Items" looked up and read.
                        auto below = [](double depth) {
                            return kClr + kMember * 2 * depth + Counts{0, 1} + kMember;
                        };
                        return kClr + kMember + level(0) + below(1) + level(1) + below(2) + level(1);
                    }});

    // The main menu's object, got once: Click of a path of depth 3, each level's submenu opened by a click.
    rows.push_back({"menus", "WPFMenu.Click(path of depth 3)", 0,
                    [] {
                        auto s = OpenScene(
                            kHead +
                                "<Menu Name=\"menu\"><MenuItem Header=\"_File\"><MenuItem Header=\"_Open\"/>"
                                "</MenuItem><MenuItem Name=\"view\" Header=\"_View\"><MenuItem "
                                "Header=\"Word wrap\"/><MenuItem Name=\"zoom\" Header=\"Zoom\"><MenuItem "
                                "Header=\"50 %\"/><MenuItem Name=\"hundred\" Header=\"100 %\"/></MenuItem>"
                                "</MenuItem></Menu>" +
                                kTail,
                            L"menu");
                        s->part = Get(*s, L"WPFMenu").pdispVal;
                        return s;
                    },
                    [](Scene& s, long) {
                        static DISPID click = IdOf(s.part.Get(), L"Click");
                        Invoke(s.part.Get(), click, DISPATCH_METHOD, {Str(L"View|Zoom|100 %")});
                    },
                    [](Scene& s, long) {
                        // A level: its count, the item object and the caption of each item up to the head
                        // ("Items" and "get_Item", the generator and "ContainerFromItem"; "Header" looked up,
                        // read and converted through the string's default value), then the found item's
                        // object again.
                        const Counts item = kMember * 4, caption = Counts{0, 3};
                        auto level = [&](long index) {
                            return kMember * 2 + (item + caption) * static_cast<double>(index + 1) + item;
                        };
                        // Its submenu ("Items" looked up, then read and counted) opened: enabled, not open
                        // yet, enabled again, one click, open.
                        const Counts open = Counts{0, 1} + kMember * 2 + kMember * 4;
                        // An item reached: "BringIntoView", the search below the menu's object; a click.
                        auto reach = [&](const wchar_t* name, int openPopups) {
                            const wpfsim::Element* target = s.app->Find(name);
                            if (openPopups == 0) return kMember + SearchCost(s, *s.element, target) + kClick;
                            return kMember + SearchCost(s, *s.element, nullptr) +
                                   PopupSearchCost(s, *s.element, target) + kClick;
                        };
                        auto& view = dynamic_cast<wpfsim::MenuItem&>(*s.app->Find(L"view"));
                        auto& zoom = dynamic_cast<wpfsim::MenuItem&>(*s.app->Find(L"zoom"));
                        Counts cost = level(1) + open + reach(L"view", 0);
                        view.SetSubmenuOpen(true);
                        s.app->UpdateLayout();
                        cost = cost + level(1) + open + reach(L"zoom", 1);
                        zoom.SetSubmenuOpen(true);
                        s.app->UpdateLayout();
                        // The last item: enabled, reached and clicked; the message.
                        cost = cost + level(1) + kMember + reach(L"hundred", 2) + kPost;
                        zoom.SetSubmenuOpen(false);
                        view.SetSubmenuOpen(false);
                        s.app->UpdateLayout();
                        return cost;
                    }});
    rows.back().noTarget = "it waits on purpose";

    const std::vector<long> sizes = quick ? std::vector<long>{1000} : std::vector<long>{1000, 10000, 100000};
    for (long n : sizes) {
        const size_t first = rows.size();
        auto open = [n] { return OpenScene(ListXaml(n), L"list"); };
        const long last = n - 1;
        rows.push_back({"series", "wItemList", n, open, [](Scene& s, long) { Get(s, L"wItemList"); },
                        [n](Scene&, long) { return kItemCount + kItemText * static_cast<double>(n); }});
        rows.push_back({"series", "wItemCount", n, open, [](Scene& s, long) { Get(s, L"wItemCount"); },
                        [](Scene&, long) { return kItemCount; }});
        rows.push_back({"series", "ClickItem by index", n, open,
                        [last](Scene& s, long) { Call(s, L"ClickItem", {ov::Variant::Int(last)}); },
                        [last](Scene& s, long) {
                            return kEnabled + kItemCount + ListItemHostCost(s, last) + kClick + kPost;
                        }});
        rows.push_back({"series", "ClickItem by the last name", n, open,
                        [last](Scene& s, long) { Call(s, L"ClickItem", {Str(ItemName(last))}); },
                        [last](Scene& s, long) {
                            return kEnabled + kItemCount + ItemScanCost(last) + ListItemHostCost(s, last) +
                                   kClick + kPost;
                        }});
        rows.push_back(
            {"series", "FindItem through wSelected(\"*m <last>\")", n, open,
             [last](Scene& s, long) { Get(s, L"wSelected", {Str(L"*m " + std::to_wstring(last))}); },
             // The scan, then "Items"."get_Item" and "ItemGetIsSelected".
             [last](Scene&, long) { return kItemCount + ItemScanCost(last) + kClr + kMember * 3; }});
        // The first 1,000 items by name: each name is found by a scan from the first item.
        const long named = quick ? 100 : 1000;
        std::wstring names;
        for (long i = 0; i < named; ++i)
            names += (i ? L"|" : L"") + ItemName(i);
        Row multi{"series",
                  "MultiSelect of 1,000 names (ParseItemList)",
                  n,
                  open,
                  [names](Scene& s, long) { Call(s, L"MultiSelect", {Str(names)}); },
                  [named](Scene& s, long) {
                      // Enabled, "SelectionMode"; per name a count and a scan; per item the selection
                      // test (on the .NET object read once), its host object, the click and its text;
                      // the message.
                      Counts c = kEnabled + kClr + kMember + kOleValue + kPost;
                      for (long i = 0; i < named; ++i) {
                          c = c + kItemCount + ItemScanCost(i);
                          c = c + kMember * 3 + ListItemHostCost(s, i) + kClick + kItemText;
                      }
                      return c;
                  }};
        multi.prepare = [](Scene& s) { dynamic_cast<wpfsim::ListBox&>(*s.element).UnselectAll(); };
        multi.budget = 0;
        rows.push_back(multi);
        rows.push_back({"series", "BuildItemList with \" ;; \"", n,
                        [open] {
                            auto s = open();
                            Put(*s, L"wListSeparator", Str(L" ;; "));
                            return s;
                        },
                        [](Scene& s, long) { Get(s, L"wItemList"); },
                        [n](Scene&, long) { return kItemCount + kItemText * static_cast<double>(n); }});
        // A second of calls: at 100,000 items that is a few calls, not one, for the ratio of the sizes.
        for (size_t i = first; i < rows.size(); ++i)
            if (rows[i].budget > 0) rows[i].budget = 1.0;
    }
    return rows;
}

// --- measuring -----------------------------------------------------------------------------------------

struct Sample {
    Counts counts;
    double seconds = 0, host = 0, app = 0;
    long calls = 0;
};

// Calls the row's member until its time budget is spent (at least once, at most `maxCalls`).
Sample Measure(const Row& row, Scene& s, double budget, long maxCalls, long& rep) {
    Sample sample;
    while (sample.calls < maxCalls && (sample.calls == 0 || sample.seconds < budget)) {
        if (row.prepare) row.prepare(s);
        s.host->ClearLog();
        const long hostBefore = s.host->Calls().Total();
        const wpfsim::CallCount appBefore = s.app->Calls();
        StandInClock::Reset();
        const LONGLONG start = StandInClock::Now();
        {
            // A host hands its arguments ready and keeps the result: the row's own work is not timed.
            const ov::StandInScope driver(StandIn::Driver);
            row.call(s, rep++);
        }
        const LONGLONG end = StandInClock::Now();
        sample.seconds += StandInClock::Seconds(end - start - StandInClock::Ticks(StandIn::Driver));
        sample.host += StandInClock::Seconds(StandIn::Host);
        sample.app += StandInClock::Seconds(StandIn::App);
        sample.counts.host += static_cast<double>(s.host->Calls().Total() - hostBefore);
        sample.counts.app += static_cast<double>(s.app->Calls().Total() - appBefore.Total());
        ++sample.calls;
    }
    return sample;
}

Result RunRow(const Row& row, bool quick) {
    Result result{&row};
    std::unique_ptr<Scene> s = row.open();
    long rep = 0;
    // The first call finds what the wrapper keeps (its host object) and lets the panel settle.
    if (row.prepare) row.prepare(*s);
    row.call(*s, rep++);
    if (row.prepare) row.prepare(*s);
    if (row.required) result.required = row.required(*s, rep);
    StandInClock::Enable(true);
    Sample sample = Measure(row, *s, quick ? 0 : row.budget, quick ? 1 : 100000, rep);
    const double n = static_cast<double>(sample.calls);
    result.calls = sample.calls;
    result.measured = {sample.counts.host / n, sample.counts.app / n};
    result.seconds = sample.seconds / n;
    result.hostSeconds = sample.host / n;
    result.appSeconds = sample.app / n;
    if (!row.required) result.required = result.measured;

    // With the cost of a call into another process: measured where it fits in a second, else the same
    // figures with the cost added per application call (the busy wait adds exactly that).
    const double remote = result.measured.app * kRemoteCallMicroseconds * 1e-6;
    if (!quick && remote < 1.0) {
        s->app->SetSimulatedCallCost(kRemoteCallMicroseconds);
        Sample slow = Measure(row, *s, std::min(row.budget, 1.0), 1000, rep);
        s->app->SetSimulatedCallCost(0);
        const double own = (slow.seconds - slow.host - slow.app) / static_cast<double>(slow.calls);
        result.remoteShare = own / (slow.seconds / static_cast<double>(slow.calls));
        result.remoteMeasured = true;
    } else {
        const double own = result.seconds - result.hostSeconds - result.appSeconds;
        result.remoteShare = own / (result.seconds + remote);
    }
    StandInClock::Enable(false);
    return result;
}

// The row's member called for `seconds`, the clocks off.
void Profile(const Row& row, double seconds) {
    std::unique_ptr<Scene> s = row.open();
    std::fprintf(stderr, "module at %p\n", static_cast<void*>(GetModuleHandleW(L"ovWPFControlsHook.dll")));
    long rep = 0;
    const LONGLONG end = StandInClock::Now() + static_cast<LONGLONG>(seconds * StandInClock::Frequency());
    while (StandInClock::Now() < end) {
        if (row.prepare) row.prepare(*s);
        s->host->ClearLog();
        row.call(*s, rep++);
    }
}

// A scripted loop of `body`, `n` times, less the same script without iterations; per iteration.
Result RunScripted(const std::string& name, const std::wstring& body, long items, long n) {
    // The results point at their rows: these live as long as the program.
    static std::list<Row> rows;
    Row& row = rows.emplace_back(Row{"script", name, items});
    row.scripted = true;
    Result result{&row};
    std::unique_ptr<Scene> s = OpenScene(ListXaml(items), L"list");
    ov::Variant element =
        Invoke(s->appObject.Get(), IdOf(s->appObject.Get(), L"Element"), DISPATCH_METHOD, {Str(L"list")});
    std::vector<ovhost::NamedItem> named = {{L"list", s->wrapper}, {L"e", element.pdispVal}};
    auto run = [&](long iterations) {
        const std::wstring text =
            L"var x; for (var i = 0; i < " + std::to_wstring(iterations) + L"; ++i) { " + body + L" }";
        s->host->ClearLog();
        const long hostBefore = s->host->Calls().Total();
        const long appBefore = s->app->Calls().Total();
        StandInClock::Reset();
        const LONGLONG start = StandInClock::Now();
        ovhost::ScriptRun ran = ovhost::RunScript(L"JScript", text, named);
        const double seconds = StandInClock::Seconds(StandInClock::Now() - start);
        if (!ran.Succeeded()) throw std::runtime_error("the script failed");
        return Sample{{static_cast<double>(s->host->Calls().Total() - hostBefore),
                       static_cast<double>(s->app->Calls().Total() - appBefore)},
                      seconds,
                      StandInClock::Seconds(StandIn::Host),
                      StandInClock::Seconds(StandIn::App),
                      iterations};
    };
    run(2); // the engine's first start
    StandInClock::Enable(true);
    Sample empty = run(0), full = run(n);
    StandInClock::Enable(false);
    const double k = static_cast<double>(n);
    result.calls = n;
    result.measured = {full.counts.host / k, full.counts.app / k};
    result.required = result.measured;
    result.seconds = (full.seconds - empty.seconds) / k;
    result.hostSeconds = (full.host - empty.host) / k;
    result.appSeconds = (full.app - empty.app) / k;
    return result;
}

// --- output --------------------------------------------------------------------------------------------

std::string Fixed(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

std::string JsonText(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

void PrintHeader() {
    std::printf("%-8s %-48s %7s %15s %15s %11s %10s %9s %9s %7s %7s\n", "family", "member", "items",
                "host req/meas", "app req/meas", "us/call", "us/item", "host us", "app us", "own %",
                "50us %");
}

void PrintRow(const Result& r) {
    const Row& row = *r.row;
    std::string host = Fixed(r.required.host, 0) + "/" + Fixed(r.measured.host, 0);
    std::string app = Fixed(r.required.app, 0) + "/" + Fixed(r.measured.app, 0);
    std::printf("%-8s %-48s %7s %15s %15s %11.2f %10s %9.2f %9.2f %7.1f %6.2f%s%s\n", row.family.c_str(),
                row.member.c_str(), row.items ? std::to_string(row.items).c_str() : "-", host.c_str(),
                app.c_str(), 1e6 * r.seconds,
                row.items ? Fixed(1e6 * r.seconds / static_cast<double>(row.items), 4).c_str() : "-",
                1e6 * r.hostSeconds, 1e6 * r.appSeconds, 100 * r.Share(), 100 * r.remoteShare,
                row.scripted || r.remoteMeasured ? "" : "*", r.CountsMatch() ? "" : "  COUNTS DIFFER");
    std::fflush(stdout);
}

void WriteJson(const std::string& path, const std::vector<Result>& results,
               const std::vector<std::string>& checks) {
    std::ofstream out(path, std::ios::binary);
    out << "{\"rows\": [\n";
    for (size_t i = 0; i < results.size(); ++i) {
        const Result& r = results[i];
        out << "  {\"family\": " << JsonText(r.row->family) << ", \"member\": " << JsonText(r.row->member)
            << ", \"items\": " << r.row->items << ", \"hostCallsRequired\": " << r.required.host
            << ", \"hostCalls\": " << r.measured.host << ", \"appCallsRequired\": " << r.required.app
            << ", \"appCalls\": " << r.measured.app << ", \"calls\": " << r.calls
            << ", \"secondsPerCall\": " << r.seconds << ", \"hostSecondsPerCall\": " << r.hostSeconds
            << ", \"appSecondsPerCall\": " << r.appSeconds << ", \"ownShare\": " << r.Share()
            << ", \"ownShareRemote\": " << r.remoteShare
            << ", \"remoteMeasured\": " << (r.remoteMeasured ? "true" : "false") << "}"
            << (i + 1 < results.size() ? ",\n" : "\n");
    }
    out << "], \"targets\": [\n";
    for (size_t i = 0; i < checks.size(); ++i)
        out << "  " << JsonText(checks[i]) << (i + 1 < checks.size() ? ",\n" : "\n");
    out << "]}\n";
}

const Result* Find(const std::vector<Result>& results, const std::string& member, long items) {
    for (const Result& r : results)
        if (r.row->member == member && r.row->items == items) return &r;
    return nullptr;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    bool quick = false;
    double profile = 0;
    std::string json, only;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"--quick")
            quick = true;
        else if (a == L"--only" && i + 1 < argc) {
            const std::wstring pattern = argv[++i];
            only = std::string(pattern.begin(), pattern.end());
        } else if (a == L"--profile" && i + 1 < argc) {
            profile = _wtof(argv[++i]);
        } else if (a == L"--json" && i + 1 < argc) {
            const std::wstring file = argv[++i];
            json = std::string(file.begin(), file.end());
        } else {
            std::fprintf(
                stderr, "usage: ovbench_members [--quick] [--json FILE] [--only TEXT] [--profile SECONDS]\n");
            return 64;
        }
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::vector<Result> results;
    std::vector<std::string> checks;
    bool countsOk = true;
    std::vector<Row> rows;
    try {
        rows = MakeRows(quick);
        PrintHeader();
        const long scripted = quick ? 1000 : 10000;
        results.push_back(
            RunScripted("plain property read e.IsEnabled", L"x = e.IsEnabled;", scripted, quick ? 20 : 2000));
        PrintRow(results.back());
        results.push_back(RunScripted("ClickItem(" + std::to_string(scripted - 1) + ")",
                                      L"list.ClickItem(" + std::to_wstring(scripted - 1) + L");", scripted,
                                      quick ? 20 : 500));
        PrintRow(results.back());
        for (const Row& row : rows) {
            if (!only.empty() &&
                (row.member + " " + std::to_string(row.items)).find(only) == std::string::npos)
                continue;
            results.push_back(RunRow(row, quick));
            countsOk = countsOk && results.back().CountsMatch();
            PrintRow(results.back());
            if (profile > 0) Profile(row, profile);
        }
    } catch (const std::exception& e) {
        std::printf("FAILED: %s\n", e.what());
        return 1;
    } catch (const ov::ComError& e) {
        std::printf("FAILED: 0x%08lX\n", static_cast<unsigned long>(e.hr));
        return 1;
    } catch (const ovhost::XamlError& e) {
        std::printf("FAILED: %ls\n", e.ToString().c_str());
        return 1;
    }

    // MatchMask's worst cases, on the module's own match.
    for (long length : {10000L, 100000L}) {
        const std::wstring text(static_cast<size_t>(length), L'a');
        for (const wchar_t* mask : {L"*a*a*a*a*a*a*a*a*a*b", L"?*?*?*?*b"}) {
            const int reps = quick ? 1 : 50;
            const LONGLONG start = StandInClock::Now();
            bool matched = false;
            for (int i = 0; i < reps; ++i)
                matched = ov::MatchMask(mask, text.c_str()) || matched;
            const double us = 1e6 * StandInClock::Seconds(StandInClock::Now() - start) / reps;
            std::printf("MatchMask %-24ls %6ld chars: %9.2f us (%s)\n", mask, length, us,
                        matched ? "match" : "no match");
            checks.push_back("MatchMask " + std::string(mask, mask + wcslen(mask)) + " at " +
                             std::to_string(length) + ": " + Fixed(us, 2) + " us");
        }
    }

    std::printf("(* the 50 us share derived from the figures: the busy wait adds exactly that per call)\n");
    // The targets, as ratios of this run.
    if (!quick) {
        for (const Result& r : results) {
            if (r.row->scripted || r.row->family == "script") continue;
            if (!r.row->noTarget.empty()) {
                checks.push_back("own share not a target: " + r.row->member + " (" + r.row->noTarget + ")");
                continue;
            }
            if (r.Share() > 0.20)
                checks.push_back("own share above 20%: " + r.row->member + " " +
                                 std::to_string(r.row->items));
            if (r.remoteShare > 0.02)
                checks.push_back("own share at 50 us above 2%: " + r.row->member + " " +
                                 std::to_string(r.row->items));
            if (r.row->items == 100000)
                if (const Result* ten = Find(results, r.row->member, 10000))
                    checks.push_back(r.row->member +
                                     ": 100,000 / 10,000 = " + Fixed(r.seconds / ten->seconds, 2));
        }
        const Result* read = &results[0];
        const Result* click = &results[1];
        checks.push_back("scripted ClickItem / scripted property read = " +
                         Fixed(click->seconds / read->seconds, 2));
    }
    for (const std::string& c : checks)
        std::printf("%s\n", c.c_str());
    if (!json.empty()) WriteJson(json, results, checks);
    results.clear();
    CoUninitialize();
    if (!countsOk) std::printf("FAILED: a member made other calls than it must\n");
    return countsOk ? 0 : 1;
}
