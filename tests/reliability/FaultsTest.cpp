// Every host call and every call into the application may fail. Each member of each kind of automation
// object (one object per kind, the objects that members hand out included; the members from the type
// library) is called once with plain arguments to count the host calls and the application's Invokes it
// makes; then it runs again once for every k of each count, with the k-th host call failing (an error
// HRESULT with error information), the k-th Invoke throwing a .NET exception, or the application
// ceasing to answer at the k-th Invoke (a busy application rejects calls, which is what a caller sees of a
// hang), under ErrorReportMode 0 to 3. The result must be the mode's (0 and 1: success, 1 with at most
// one logged error; 2 and 3: success or the error as the script's exception, no C++ exception), every text a
// whole one (never empty), the .NET exception's source and description in the details of an error made of it,
// a failed call's result cleared, an opened combo box list closed again, and at the end nothing of the run
// left alive. A call that meets an injected fault and succeeds without reporting anything must be one that
// the table below allows.
#include "Session.h"

#include "host/services/HostCom.h"
#include "wpfsim/ClrObject.h"
#include "wpfsim/ComboBox.h"
#include "wpfsim/Popup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <regex>

namespace {

using reltest::Narrow;

const ovhost::HostError kHostFault{E_FAIL, L"The host failed on purpose.", 0};
const wpfsim::ClrException kClrFault{L"ScriptTests", 0, L"Thrown on purpose.",
                                     static_cast<SCODE>(0x80131500)};
// What an error built from the exception carries in its details (its source, code and description).
const std::wstring kClrFaultTail = L"\nScriptTests 0\nThrown on purpose.";

enum class Fault { Host, Throw, Stop };
const char* const kFaultNames[] = {" host fault at ", " .NET exception at ", " stops responding at "};

// The members that read or set a combo box's list state: a fault there may leave the list as it was.
bool ReadsListState(const std::wstring& member) {
    return member == L"IsDropDownOpen" || member == L"IsOpen" || member == L"zdropDownPopup" ||
           member == L"field__dropDownPopup";
}

// Whether a fault may leave the combo box's list as it is: one in reading or setting the list state (the
// open wait, which undoes nothing, and the closing itself), or the application no longer answering. The
// state is read through the element's object, which the host's native-object calls give.
bool LeavesListAlone(Fault fault, const std::string& hit) {
    if (fault == Fault::Stop) return true;
    if (fault == Fault::Throw) return ReadsListState(std::wstring(hit.begin(), hit.end()));
    return hit == "IovObject::GetNativeObject" || hit == "IovHostObject::GetExtender" ||
           hit == "IovObjectService::FindHostObject";
}

// The faults a member may absorb (succeed without reporting), by member ("object.Member") and operation
// hit; `clickFailed` rows apply only when the host recorded a failed click, i.e. the fault hit inside it.
struct Allowance {
    const char* member;
    const char* operation;
    bool clickFailed;
    const char* reason;
};
const Allowance kAllowed[] = {
    {".*", "IovHostLog::AddEntry", false, "reporting never fails the action"},
    {".*", "IovActionOptions::.*", false,
     "the action settings only tune the host's action, whose own result decides"},
    {R"(tree\.(Dbl)?ClickItem[RM]?)", "IovMouseActions::.*", false,
     "the host's click on a tree node is not examined, the message is posted in any case"},
    {R"(tree\.(Dbl)?ClickItem[RM]?)", ".*", true,
     "a node that cannot be placed is the host's to report: its click fails there"},
    {R"(tabs\.ClickTab)", "IovHostObject::.*|IovObject::.*|IovMouseActions::.*|ReferenceEquals", false,
     "a tab header the host cannot click is selected through SelectedIndex"},
    {R"(combo\.(ClickItem|DropDown))", "IovHostObject::GetExtension", false,
     "a window that does not answer as a host window is not activated, the focus step goes on"},
    {R"(combo\.ClickItem|menu\.WPFMenu\.(Click|Select|Check))",
     "IovHostObject::(GetChild|GetChildCount|GetObjectType|GetParent|GetExtender|RefreshChildren)|"
     "IovObject::GetNativeObject|ClrFullClassName|OleValue",
     false,
     "the popup and menu item searches pass over an object they cannot read; an item they miss is not "
     "visible"},
    {R"(menu\.WPFMenu\.(Click|Select|Check))",
     "IovObjectService::GetWindowAtPoint|IovNativeWindow::GetWindowHandle", false,
     "a hover point that fails its test is tried again after a refresh"},
    {R"(menu\.WPFMenu|viewer\.[HV]Scroll)", "IovHostObject::GetExtender|IovObject::GetNativeObject", false,
     "the menu and scroll objects read their element only in their own members, which fail then"},
    {R"(combo\.(wItem|wItemList|ClickItem)|tabs\.wTabCaption|menu\.WPFMenu\.Items\(0\)\.Caption)", "OleValue",
     false, "an item whose value gives no text has an empty text"},
};

// The row that allows an absorbed fault, or -1.
int AllowedBy(const std::string& member, const std::string& hit, bool clickFailed) {
    for (size_t i = 0; i < std::size(kAllowed); ++i) {
        const Allowance& row = kAllowed[i];
        if ((!row.clickFailed || clickFailed) && std::regex_match(member, std::regex(row.member)) &&
            std::regex_match(hit, std::regex(row.operation)))
            return static_cast<int>(i);
    }
    return -1;
}

struct Outcome {
    HRESULT hr = S_OK;
    bool threw = false, slow = false, resultLeft = false;
    std::wstring description; // of the script's exception
};

Outcome CallOnce(IDispatch* object, DISPID id, WORD flags, const reltest::MemberInfo& member) {
    std::vector<VARIANT> args;
    for (size_t p = member.params.size(); p-- > 0;)
        args.push_back(reltest::PlainArgument(member, p));
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) params = {args.data(), &put, static_cast<UINT>(args.size()), 1};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    Outcome out;
    const auto start = std::chrono::steady_clock::now();
    try {
        out.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &excep, nullptr);
    } catch (...) {
        out.threw = true;
    }
    out.slow = std::chrono::steady_clock::now() - start > std::chrono::seconds(2);
    out.resultLeft = FAILED(out.hr) && reltest::ResultLeft(result);
    if (excep.bstrDescription) out.description = excep.bstrDescription;
    VariantClear(&result);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    for (VARIANT& arg : args)
        VariantClear(&arg);
    return out;
}

struct Tally {
    long scenarios = 0, calls = 0, injected = 0, absorbed = 0;
    long byRule[std::size(kAllowed)] = {};
    std::vector<std::string> findings;
    void Finding(const std::string& what) {
        if (findings.size() < 40) findings.push_back(what);
    }
};

// The checks of one faulted call: `where` names it, `clrFault` says which kind of fault it was. Returns
// whether the call was absorbed (succeeded without an error).
bool Check(const Outcome& out, LONG mode, bool clrFault, const std::vector<ovhost::LogEntry>& log,
           const std::string& where, Tally& tally) {
    if (out.threw) tally.Finding(where + ": a C++ exception left Invoke");
    if (out.slow) tally.Finding(where + ": more than 2 seconds");
    if (out.resultLeft) tally.Finding(where + ": a failure with a result ");
    std::vector<std::pair<std::wstring, std::wstring>> errors;
    for (const ovhost::LogEntry& entry : log)
        if (entry.kind == ovhost::LogError) errors.push_back({entry.text, entry.details});
    if (mode >= 2 && out.hr == DISP_E_EXCEPTION) {
        const size_t at = out.description.find(L"\r\n\r\n");
        errors.push_back(
            {out.description.substr(0, at), at == std::wstring::npos ? L"" : out.description.substr(at + 4)});
    } else if (out.hr != S_OK) {
        tally.Finding(where + ": HRESULT " + std::to_string(out.hr) + " in mode " + std::to_string(mode));
    }
    if (mode == 0 && !errors.empty()) tally.Finding(where + ": an error logged in mode 0");
    if (errors.size() > 1) tally.Finding(where + ": more than one error for one call");
    if (errors.empty()) ++tally.absorbed;
    for (const auto& [message, details] : errors) {
        if (message.empty() || message.back() != L'.')
            tally.Finding(where + ": the message \"" + Narrow(message) + "\" is no sentence");
        if (clrFault && details.find(L"0x80020009") != std::wstring::npos &&
            details.find(kClrFaultTail) == std::wstring::npos)
            tally.Finding(where + ": the exception's source and description are missing: " + Narrow(details));
    }
    return errors.empty();
}

TEST(FaultsTest, EveryMemberMeetsEveryFailingHostCallAndEveryThrowingInvokeCleanly) {
    const long hostBaseline = ovhost::LiveObjects(), simBaseline = wpfsim::LiveObjects();
    const auto library = reltest::LibraryMembers(ovtest::BinFolder() + L"\\ovWPFControlsHook.dll");
    ASSERT_GT(library.size(), 50u);
    Tally tally;
    size_t referenced = 0, objectCount = 0, memberCount = 0;
    {
        reltest::Session session;
        wpfsim::Application& app = session.App();
        ovhost::CallCounter& hostCalls = session.Host().Calls();
        wpfsim::Runtime& runtime = *app.SharedRuntime();
        auto* combo = dynamic_cast<wpfsim::ComboBox*>(app.Find(L"combo"));
        ASSERT_NE(combo, nullptr);

        auto objects = session.Representatives(library);
        auto restore = [&] {
            // What a member opened stays open only until the next scenario.
            for (wpfsim::Popup* popup : std::vector<wpfsim::Popup*>(app.OpenPopups()))
                popup->SetIsOpen(false);
            hostCalls.ClearFault();
            runtime.ClearThrowAtInvoke();
            app.Resume();
            session.Host().ClearLog();
            // A failed restore of an element's action settings (an injected fault) stays with that call.
            for (const ovhost::ActionRecord& action : session.Host().Actions())
                if (const wpfsim::Element* target = app.FindById(action.target))
                    if (auto node = session.Host().NodeOf(*target)) {
                        node->actionMode = ovhost::InitialActionMode;
                        node->actionFlags = ovhost::InitialActionFlags;
                    }
            session.Host().ClearActions();
        };
        for (const auto& [name, object] : objects) {
            // An element's object once more for each report mode; the objects that members hand out keep
            // the module's mode 1.
            std::map<LONG, ov::ComPtr<IDispatch>> byMode{{1, object}};
            if (name.find('.') == std::string::npos)
                for (LONG mode : {0, 2, 3}) {
                    session.SetErrorReportMode(mode);
                    byMode[mode] = session.Find(std::wstring(name.begin(), name.end()));
                    session.SetErrorReportMode(1);
                }
            ++objectCount;
            for (const auto& [member, id] : reltest::MembersOf(object.Get(), library)) {
                const reltest::MemberInfo& m = *member;
                const WORD flags = reltest::FlagsOf(m);
                const std::string where = name + "." + Narrow(m.name);
                ++memberCount;
                // The successful run: how many calls there are to fail.
                restore();
                hostCalls.FailCall(0, kHostFault);
                runtime.ThrowAtInvoke(0, kClrFault);
                if (reltest::ArgumentsRefused(CallOnce(object.Get(), id, flags, m).hr)) continue;
                const long hostCount = hostCalls.CallsSinceArmed(), clrCount = runtime.InvokesSinceArmed();
                ++tally.scenarios;
                for (Fault fault : {Fault::Host, Fault::Throw, Fault::Stop})
                    for (long k = 1; k <= (fault == Fault::Host ? hostCount : clrCount); ++k)
                        for (LONG mode : {0, 1, 2, 3}) {
                            if (!byMode[mode]) continue;
                            restore();
                            if (fault == Fault::Host)
                                hostCalls.FailCall(k, kHostFault);
                            else if (fault == Fault::Throw)
                                runtime.ThrowAtInvoke(k, kClrFault);
                            else
                                runtime.StopRespondingAtInvoke(k);
                            const Outcome out = CallOnce(byMode[mode].Get(), id, flags, m);
                            ++tally.calls;
                            const std::string at = where + kFaultNames[static_cast<int>(fault)] +
                                                   std::to_string(k) + " mode " + std::to_string(mode);
                            const std::string hit = fault == Fault::Host ? hostCalls.FailedOperation()
                                                                         : Narrow(runtime.ThrownBy());
                            tally.injected += !hit.empty();
                            const bool absorbed =
                                Check(out, mode, fault == Fault::Throw, session.Host().Log(), at, tally);
                            bool clickFailed = false;
                            for (const ovhost::ActionRecord& action : session.Host().Actions()) {
                                clickFailed |= FAILED(action.result);
                                // The element's own action settings are the host's again, unless the
                                // fault hit the very call that was to put them back.
                                const wpfsim::Element* target = app.FindById(action.target);
                                auto node = target ? session.Host().NodeOf(*target) : nullptr;
                                if (node && hit.rfind("IovActionOptions::put_", 0) != 0 &&
                                    (node->actionMode != ovhost::InitialActionMode ||
                                     node->actionFlags != ovhost::InitialActionFlags))
                                    tally.Finding(at + ": the action settings of " + Narrow(target->Name()) +
                                                  " changed after " + hit);
                            }
                            if (absorbed && mode >= 1 && !hit.empty()) {
                                const int rule = AllowedBy(where, hit, clickFailed);
                                if (rule < 0)
                                    tally.Finding(at + ": absorbed " + hit + " without an error");
                                else
                                    ++tally.byRule[rule];
                            }
                            // A combo box's selection closes the list it opened, unless the fault hit the
                            // list state itself or the application stopped answering.
                            if (name == "combo" && m.name == L"ClickItem" && combo->DropDown().IsOpen() &&
                                !LeavesListAlone(fault, hit))
                                tally.Finding(at + ": the list stayed open after " + hit);
                        }
            }
        }
        restore();
        objects.clear(); // released before the module goes, as a script ends
        referenced = session.End();
    }
    std::string rules;
    for (size_t i = 0; i < std::size(kAllowed); ++i)
        rules += (i ? ", " : "") + std::to_string(tally.byRule[i]) + " as " + kAllowed[i].reason;
    std::printf("[ faults ] %zu objects, %zu members, %ld scenarios: %ld faulted calls (modes 0 to 3), %ld "
                "faults injected, %ld absorbed without an error; in modes 1 to 3 allowed: %s; %zu objects "
                "still referenced, %ld host and %ld application objects left\n",
                objectCount, memberCount, tally.scenarios, tally.calls, tally.injected, tally.absorbed,
                rules.c_str(), referenced, ovhost::LiveObjects() - hostBaseline,
                wpfsim::LiveObjects() - simBaseline);
    for (const std::string& finding : tally.findings)
        ADD_FAILURE() << finding;
    EXPECT_GT(tally.injected, 1000);
    EXPECT_EQ(referenced, 0u);
    EXPECT_EQ(ovhost::LiveObjects(), hostBaseline);
    EXPECT_EQ(wpfsim::LiveObjects(), simBaseline);
}

} // namespace
