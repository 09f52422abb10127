// A dying application: a script holds one automation object of every kind (the scroll helpers and the tree's
// item objects among them) when its element is removed from the window, or when the application exits and
// the host lets go of it. Under ErrorReportMode 2 every member must then answer cleanly: an error of the
// module's kind with a whole sentence, or success; no C++ exception, no hang, no result left behind, nothing
// alive after the run. A removed element's CLR object lives on as in WPF, so its members may still answer;
// once the application is gone, only the members that need nothing of it (and those that take the failed
// lookup for a missing member) may succeed, each of them listed. A member that
// stops answering half-way is covered by the fault run (the application ceasing to answer at each call).
#include "Session.h"

#include "host/services/HostCom.h"
#include "wpfsim/ClrObject.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

using reltest::Narrow;

struct Death {
    const char* name;
    // Kills what `object` (the object named `name`) stands on.
    std::function<void(reltest::Session&, const std::string& name)> kill;
};

const Death kDeaths[] = {
    {"element removed",
     [](reltest::Session& s, const std::string& name) {
         const std::string element = name.substr(0, name.find('.'));
         if (wpfsim::Element* e = s.App().Find(std::wstring(element.begin(), element.end()));
             e && e->Parent())
             s.App().Remove(*e);
     }},
    {"application gone",
     [](reltest::Session& s, const std::string&) {
         s.App().SharedRuntime()->MarkExited();
         s.Host().Detach();
     }},
};

TEST(DyingTest, EveryMemberOfHeldObjectsFailsCleanlyOnceTheirElementOrApplicationIsGone) {
    const long hostBaseline = ovhost::LiveObjects(), simBaseline = wpfsim::LiveObjects();
    const auto library = reltest::LibraryMembers(ovtest::BinFolder() + L"\\ovWPFControlsHook.dll");
    std::vector<std::string> findings;
    long calls = 0, failed = 0, goneCalls = 0, goneFailed = 0;
    std::set<std::string> succeeded;
    for (const Death& death : kDeaths) {
        reltest::Session session;
        session.SetErrorReportMode(2);
        auto objects = session.Representatives(library);
        ASSERT_GT(objects.size(), 15u);
        // The application dies once; elements one by one, each before its object is called.
        const bool eachElement = &death == &kDeaths[0];
        for (size_t i = 0; i < objects.size(); ++i) {
            const auto& [name, object] = objects[i];
            if (eachElement || i == 0) death.kill(session, name);
            for (const auto& [m, id] : reltest::MembersOf(object.Get(), library)) {
                std::vector<ov::Variant> args;
                for (size_t p = 0; p < m->params.size(); ++p) {
                    VARIANT plain = reltest::PlainArgument(*m, p);
                    args.emplace_back(plain);
                    VariantClear(&plain);
                }
                const std::string where = std::string(death.name) + ": " + name + "." + Narrow(m->name);
                ov::Variant result;
                session.Host().ClearLog();
                const auto start = std::chrono::steady_clock::now();
                HRESULT hr = E_UNEXPECTED;
                try {
                    hr = reltest::Invoke(object.Get(), id, reltest::FlagsOf(*m), std::move(args), &result);
                } catch (...) {
                    findings.push_back(where + ": a C++ exception left Invoke");
                }
                if (std::chrono::steady_clock::now() - start > std::chrono::seconds(2))
                    findings.push_back(where + ": more than 2 seconds");
                if (reltest::ArgumentsRefused(hr)) continue;
                ++calls;
                if (FAILED(hr) && reltest::ResultLeft(result))
                    findings.push_back(where + ": a failure with a result");
                // The objects that members hand out report by the module's mode 1: to the log.
                bool logged = false;
                for (const ovhost::LogEntry& entry : session.Host().Log())
                    if (entry.kind == ovhost::LogError)
                        logged = !entry.text.empty() && entry.text.back() == L'.';
                const bool gone = &death == &kDeaths[1];
                goneCalls += gone;
                if ((hr == S_OK && logged) || hr == DISP_E_EXCEPTION) goneFailed += gone;
                if (hr == S_OK && logged)
                    ++failed;
                else if (hr == S_OK)
                    succeeded.insert(std::string(death.name).substr(0, 1) + ":" + name + "." +
                                     Narrow(m->name));
                else if (hr == DISP_E_EXCEPTION)
                    ++failed;
                else
                    findings.push_back(where + ": HRESULT " + std::to_string(hr));
            }
        }
        objects.clear();
        session.End();
    }
    std::string kept;
    for (const std::string& name : succeeded)
        kept += " " + name;
    std::printf("[ dying ] %ld calls on objects whose element or application was gone: %ld failed cleanly, "
                "the rest succeeded (members:%s); %ld host and %ld application objects left\n",
                calls, failed, kept.c_str(), ovhost::LiveObjects() - hostBaseline,
                wpfsim::LiveObjects() - simBaseline);
    for (const std::string& finding : findings)
        ADD_FAILURE() << finding;
    std::printf("[ dying ] application gone: %ld of %ld calls failed\n", goneFailed, goneCalls);
    // Once the application is gone, only these may answer: members that need nothing of it, and those that
    // take a failed lookup for a member the element lacks (a menu closes what it has, an item without
    // "Header" has no caption, without "IsChecked" is not checked, without "Items" has no submenu).
    static const std::set<std::string> kAnswerWithoutApplication = {"a:combo.wListSeparator",
                                                                    "a:viewer.HScroll",
                                                                    "a:viewer.VScroll",
                                                                    "a:viewer.HScroll.Min",
                                                                    "a:menu.WPFMenu",
                                                                    "a:menu.WPFMenu.Close",
                                                                    "a:menu.WPFMenu.Items(0).Index",
                                                                    "a:menu.WPFMenu.Items(0).Default",
                                                                    "a:menu.WPFMenu.Items(0).OwnerDraw",
                                                                    "a:menu.WPFMenu.Items(0).RadioCheck",
                                                                    "a:menu.WPFMenu.Items(0).Caption",
                                                                    "a:menu.WPFMenu.Items(0).Checked",
                                                                    "a:menu.WPFMenu.Items(0).SubMenu"};
    for (const std::string& name : succeeded)
        if (name.rfind("a:", 0) == 0 && !kAnswerWithoutApplication.count(name))
            ADD_FAILURE() << name << " answered after the application was gone";
    EXPECT_GT(goneFailed, 0);
    EXPECT_EQ(ovhost::LiveObjects(), hostBaseline);
    EXPECT_EQ(wpfsim::LiveObjects(), simBaseline);
}

} // namespace
