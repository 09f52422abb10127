// The product folder through the real environment functions; the command-line switch is seen from a
// child process of this program, since a process's command line cannot change.
#include "frame/ProductFolder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr const char* kVariable = "Orvane6_X64_Product_Path";
constexpr const char* kAlternative = "Orvane6_X64_Product_PathAlternative";

using Value = std::optional<std::string>; // nullopt: the variable is not set

Value ReadVariable(const char* name) {
    SetLastError(0);
    DWORD n = GetEnvironmentVariableA(name, nullptr, 0);
    if (n == 0) return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? Value() : Value("");
    std::string value(n, '\0');
    value.resize(GetEnvironmentVariableA(name, value.data(), n));
    return value;
}

void WriteVariable(const char* name, const Value& value) {
    SetEnvironmentVariableA(name, value ? value->c_str() : nullptr);
}

struct SavedVariables {
    explicit SavedVariables(std::vector<const char*> names) {
        for (const char* name : names)
            saved.emplace_back(name, ReadVariable(name));
    }
    ~SavedVariables() {
        for (const auto& [name, value] : saved)
            WriteVariable(name, value);
    }
    std::vector<std::pair<const char*, Value>> saved;
};

// Any module but the program's own: the lookup then reads the variable.
const HINSTANCE kSomeLibrary = GetModuleHandleW(L"kernel32.dll");

TEST(ProductFolderTest, SetUpSetsTheVariableAndThePath) {
    const std::string sys = "C:\\windows\\system32;C:\\windows";
    const char* dll = "C:\\Prog\\Bin\\ovWPFControlsHook.dll";
    const Value unset;
    struct Case {
        const char* modulePath;
        Value variableBefore, pathBefore, variableAfter, pathAfter;
    } cases[] = {
        {"C:\\Prog\\Bin\\Extensions\\ovWPFControlsHook.dll", unset, sys, "c:\\prog\\bin",
         sys + ";c:\\prog\\bin"},
        {"C:\\Prog\\EXTENSIONS\\ovWPFControlsHook.dll", unset, sys, "c:\\prog", sys + ";c:\\prog"},
        {dll, "D:\\Elsewhere", sys, "D:\\Elsewhere", sys},
        {dll, "", sys, "c:\\prog\\bin", sys + ";c:\\prog\\bin"},
        // The folder is added to the path unless it is one of its entries (compared exactly).
        {dll, unset, "C:\\a;c:\\prog\\bin;C:\\b", "c:\\prog\\bin", "C:\\a;c:\\prog\\bin;C:\\b"},
        {dll, unset, "C:\\a;c:\\prog\\binaries", "c:\\prog\\bin", "C:\\a;c:\\prog\\binaries"},
        {dll, unset, "C:\\PROG\\BIN", "c:\\prog\\bin", "C:\\PROG\\BIN;c:\\prog\\bin"},
        {dll, unset, unset, "c:\\prog\\bin", unset},
        // The directory ends at the later of backslash and colon.
        {"C:ovWPFControlsHook.dll", unset, sys, "c", sys + ";c"},
        {"ovWPFControlsHook.dll", unset, sys, "", sys},
    };
    SavedVariables saved({kVariable, kAlternative, "PATH"});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.modulePath << " variable " << c.variableBefore.value_or("(unset)") << " path "
                     << c.pathBefore.value_or("(unset)"));
        WriteVariable(kVariable, c.variableBefore);
        WriteVariable("PATH", c.pathBefore);
        ov::ProductFolder::SetUpForModulePath(c.modulePath);
        EXPECT_EQ(ReadVariable(kVariable), c.variableAfter);
        EXPECT_EQ(ReadVariable("PATH"), c.pathAfter);
        EXPECT_EQ(ReadVariable(kAlternative), std::nullopt)
            << "only the plain name is used without the switch";
    }
}

TEST(ProductFolderTest, LookupGivesTheExecutablesFolderOrReadsTheVariable) {
    SavedVariables saved({kVariable});
    WriteVariable(kVariable, "D:\\Elsewhere");
    EXPECT_EQ(ov::ProductFolder::Get(GetModuleHandleW(nullptr)), ovtest::BinFolder());
    // At most 260 bytes with the terminating zero are read; a longer value counts as unset.
    const std::pair<Value, std::wstring> cases[] = {
        {"c:\\prog\\bin", L"c:\\prog\\bin"},
        {std::nullopt, L""},
        {std::string(259, 'x'), std::wstring(259, L'x')},
        {std::string(260, 'x'), L""},
    };
    for (const auto& [value, folder] : cases) {
        WriteVariable(kVariable, value);
        EXPECT_EQ(ov::ProductFolder::Get(kSomeLibrary), folder) << (value ? value->size() : 0);
    }
}

// What the child saw, as bits of its exit code.
constexpr DWORD UsesAlternative = 1, UsesPlain = 2, AlternativeSet = 4, PlainSet = 8, LookupFound = 16;
constexpr DWORD Ran = 64;

// Runs only in the child: sets up for a module path with both variables unset and reports what happened.
TEST(DISABLED_ProductFolderChild, ReportsTheVariableInUse) {
    const std::string name = ov::ProductFolder::VariableName();
    ov::ProductFolder::SetUpForModulePath("C:\\Prog\\Bin\\Extensions\\ovWPFControlsHook.dll");
    const Value folder = "c:\\prog\\bin";
    DWORD bits = Ran;
    if (name == kAlternative) bits |= UsesAlternative;
    if (name == kVariable) bits |= UsesPlain;
    if (ReadVariable(kAlternative) == folder) bits |= AlternativeSet;
    if (ReadVariable(kVariable) == folder) bits |= PlainSet;
    if (ov::ProductFolder::Get(kSomeLibrary) == L"c:\\prog\\bin") bits |= LookupFound;
    ExitProcess(bits);
}

DWORD RunChild(const std::wstring& arguments) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine =
        L"\"" + std::wstring(self) +
        L"\" --gtest_also_run_disabled_tests --gtest_filter=DISABLED_ProductFolderChild.* " + arguments;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
    CloseHandle(nul);
    if (!started) return 0;
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(ProductFolderTest, CommandLineSwitchChoosesTheAlternativeVariable) {
    constexpr DWORD alternative = Ran | UsesAlternative | AlternativeSet | LookupFound;
    constexpr DWORD plain = Ran | UsesPlain | PlainSet | LookupFound;
    const std::pair<const wchar_t*, DWORD> cases[] = {
        {L"-UseAlternativeProductPath", alternative},
        {L"/UseAlternativeProductPath", alternative},
        {L"-useAlternativeProductPath", plain}, // case-sensitive
        {L"", plain},
    };
    SavedVariables saved({kVariable, kAlternative});
    WriteVariable(kVariable, std::nullopt);
    WriteVariable(kAlternative, std::nullopt);
    for (const auto& [arguments, expected] : cases)
        EXPECT_EQ(RunChild(arguments), expected) << testing::PrintToString(std::wstring(arguments));
}

} // namespace
