// OVHookX64's command line: options, commands, usage errors and their exit codes; the check, in process
// and as the program; the registration of the host's type library.
#include "HostFixture.h"

#include "host/CommandLine.h"

using namespace hosttest;

namespace {

struct Captured {
    int code = -1;
    std::wstring out, err;
};

Captured RunLine(std::vector<std::wstring> arguments, const std::wstring& folder = ovtest::BinFolder()) {
    Captured c;
    ovhost::Console console{[&](std::wstring_view t) { c.out += t; },
                            [&](std::wstring_view t) { c.err += t; }};
    c.code = ovhost::RunCommandLine(arguments, folder, console);
    return c;
}

bool Has(const std::wstring& text, const wchar_t* part) {
    return text.find(part) != std::wstring::npos;
}

std::string Narrow(std::wstring_view text) {
    return std::string(text.begin(), text.end());
}

TEST(CommandLineTest, OptionsAndUsageErrors) {
    struct Case {
        std::vector<std::wstring> arguments;
        int code;
        const wchar_t* out; // part of the output ("" when none is expected)
        const wchar_t* err; // part of the error output
    } cases[] = {
        {{L"--version"}, ovhost::ExitOk, L"OVHookX64 6.0.0", L""},
        {{L"--help"}, ovhost::ExitOk, L"  OVHookX64 check\n", L""},
        {{L"check", L"--help"}, ovhost::ExitOk, L"Usage: OVHookX64 check\n", L""},
        {{}, ovhost::ExitUsage, L"", L"Usage: OVHookX64 COMMAND"},
        {{L"frob"}, ovhost::ExitUsage, L"", L"OVHookX64: unknown command 'frob'."},
        {{L"--frob"}, ovhost::ExitUsage, L"", L"OVHookX64: unknown option '--frob'."},
        {{L"--version", L"x"}, ovhost::ExitUsage, L"", L"--version takes no arguments."},
        {{L"check", L"extra"}, ovhost::ExitUsage, L"", L"OVHookX64 check: wrong number of arguments."},
    };
    for (const auto& c : cases) {
        auto r = RunLine(c.arguments);
        std::string line = c.arguments.empty() ? "(none)" : Narrow(c.arguments[0]);
        EXPECT_EQ(r.code, c.code) << line;
        EXPECT_TRUE(*c.out ? Has(r.out, c.out) : r.out.empty()) << line << ": " << Narrow(r.out);
        EXPECT_TRUE(*c.err ? Has(r.err, c.err) : r.err.empty()) << line << ": " << Narrow(r.err);
    }
}

TEST(CommandLineTest, CheckLoadsShowsAndUnloadsTheModule) {
    auto r = RunLine({L"check"});
    EXPECT_EQ(r.code, ovhost::ExitOk) << Narrow(r.err);
    for (const wchar_t* part :
         {L"registered module objects: 2", L"event recorder", L"extender",
          L"unload listener called 1 time(s) for ovWPFControlsHook.dll", L"log: 0 entries", L"check passed"})
        EXPECT_TRUE(Has(r.out, part)) << Narrow(part);
    EXPECT_TRUE(r.err.empty());
    EXPECT_EQ(ovhost::LiveObjects(), 0);
}

// Runs OVHookX64.exe from `folder` and collects its exit code and error output.
Captured RunProgram(const std::wstring& folder, const std::wstring& arguments) {
    Captured c;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    wchar_t temp[MAX_PATH] = {}, file[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    GetTempFileNameW(temp, L"ovh", 0, file);
    HANDLE err = CreateFileW(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdError = err;
    si.hStdOutput = err;
    PROCESS_INFORMATION pi{};
    std::wstring line = L"\"" + folder + L"\\OVHookX64.exe\" " + arguments;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 60000);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        c.code = static_cast<int>(code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(err);
    HANDLE read = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[4096] = {};
    DWORD n = 0;
    ReadFile(read, buffer, sizeof buffer - 1, &n, nullptr);
    CloseHandle(read);
    DeleteFileW(file);
    c.err.assign(buffer, buffer + n);
    return c;
}

TEST(CommandLineTest, ProgramExitsWithThreeAndOneLineWhenTheModuleIsMissing) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"ovhostcli" + ovhost::GuidText(NewGuid()).substr(1, 8);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring exe = folder + L"\\OVHookX64.exe";
    ASSERT_TRUE(CopyFileW((ovtest::BinFolder() + L"\\OVHookX64.exe").c_str(), exe.c_str(), FALSE));

    auto r = RunProgram(folder, L"check");
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());
    EXPECT_EQ(r.code, ovhost::ExitModuleNotLoaded);
    auto reason = r.err.substr(r.err.find(L"OVHookX64 check: "));
    EXPECT_TRUE(Has(reason, L"Cannot load ovWPFControlsHook.dll: it is neither in ")) << Narrow(reason);
    EXPECT_EQ(reason.find(L'\n'), reason.size() - 1); // one line
}

TEST(CommandLineTest, RegisteredHostTypeLibraryLoadsByItsIdentifier) {
    ASSERT_EQ(ovhost::RegisterHostTypeLibrary(ovtest::BinFolder() + L"\\OVHookX64.exe"), S_OK);
    ov::ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_Orvane, 6, 0, LOCALE_NEUTRAL, library.Put()), S_OK);
    ov::ComPtr<ITypeInfo> info;
    EXPECT_EQ(library->GetTypeInfoOfGuid(__uuidof(IovWin32Menu), info.Put()), S_OK);
    EXPECT_NE(ovhost::RegisterHostTypeLibrary(ovtest::BinFolder() + L"\\missing.exe"), S_OK);
}

} // namespace
