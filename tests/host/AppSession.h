// The module loaded into a host with an application read from XAML, as the program's commands start them;
// and a command of the program run in the test's own process.
#pragma once

#include "HostFixture.h"

#include "host/app/Xaml.h"
#include "host/cli/CommandLine.h"
#include "host/cli/ControlFacts.h"
#include "host/cli/Run.h"

namespace hosttest {

class AppSession {
public:
    explicit AppSession(std::string_view xaml) : app(ovhost::ParseXaml(xaml)), host(ovtest::BinFolder()) {
        const std::wstring why = ovhost::StartHost(host, *app, L"session.xaml", ovtest::BinFolder());
        EXPECT_TRUE(why.empty()) << Narrow(why);
    }
    ~AppSession() {
        host.Detach();
        host.UnloadModule();
    }

    wpfsim::Element& operator[](std::wstring_view name) const {
        wpfsim::Element* element = app->Find(name);
        if (!element) throw std::invalid_argument("no element of that name");
        return *element;
    }
    // The automation object App.Find gives, errors as results.
    ov::ComPtr<IDispatch> Object(std::wstring_view name) {
        return ovhost::AutomationObjectOf(host, (*this)[name]);
    }

    std::unique_ptr<wpfsim::Application> app;
    ovhost::Host host;
};

struct Output {
    int code = -1;
    std::wstring out, err;
};

// "OVHookX64 COMMAND ARGUMENTS..." with the bin folder as the product folder.
inline Output RunProgram(std::vector<std::wstring> arguments) {
    Output r;
    ovhost::Console console{[&](std::wstring_view t) { r.out += t; },
                            [&](std::wstring_view t) { r.err += t; }};
    r.code = ovhost::RunCommandLine(arguments, ovtest::BinFolder(), console);
    return r;
}

inline size_t Count(const std::wstring& text, std::wstring_view what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

} // namespace hosttest
