// The product folder through the real process environment: set-up from a module path, the lookup, and
// the alternative variable name chosen by the command line (checked in a child process of this program,
// since a process's command line cannot change).
#include "frame/ProductFolder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kVariable = "Orvane6_X64_Product_Path";
constexpr const char* kAlternative = "Orvane6_X64_Product_PathAlternative";

using Value = std::optional<std::string>; // nullopt: the variable is not set

Value ReadVariable(const char* name) {
    SetLastError(0);
    DWORD n = GetEnvironmentVariableA(name, nullptr, 0);
    if (n == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        return std::string();
    }
    std::string value(n, '\0');
    n = GetEnvironmentVariableA(name, value.data(), n);
    value.resize(n);
    return value;
}

void WriteVariable(const char* name, const Value& value) {
    SetEnvironmentVariableA(name, value ? value->c_str() : nullptr);
}

// Restores the variables it was given when it goes.
class SavedVariables {
public:
    explicit SavedVariables(std::vector<const char*> names) {
        for (const char* name : names)
            saved_.push_back({name, ReadVariable(name)});
    }
    ~SavedVariables() {
        for (auto& [name, value] : saved_)
            WriteVariable(name, value);
    }
    SavedVariables(const SavedVariables&) = delete;
    SavedVariables& operator=(const SavedVariables&) = delete;

private:
    std::vector<std::pair<const char*, Value>> saved_;
};

// Any module but the program's own: the lookup then reads the variable.
HINSTANCE SomeLibrary() {
    return GetModuleHandleW(L"kernel32.dll");
}

struct SetUpCase {
    const char* name;
    const char* modulePath;
    Value variableBefore;
    Value pathBefore;
    Value variableAfter;
    Value pathAfter;
};

void PrintTo(const SetUpCase& c, std::ostream* os) {
    *os << c.name;
}

class ProductFolderSetUpTest : public testing::TestWithParam<SetUpCase> {};

TEST_P(ProductFolderSetUpTest, SetsTheVariableAndThePath) {
    const SetUpCase& c = GetParam();
    SavedVariables saved({kVariable, kAlternative, "PATH"});
    WriteVariable(kVariable, c.variableBefore);
    WriteVariable("PATH", c.pathBefore);

    ov::ProductFolder::SetUpForModulePath(c.modulePath);

    EXPECT_EQ(ReadVariable(kVariable), c.variableAfter);
    EXPECT_EQ(ReadVariable("PATH"), c.pathAfter);
    EXPECT_EQ(ReadVariable(kAlternative), std::nullopt) << "only the plain name is used without the switch";
}

const std::string kSystemPath = "C:\\windows\\system32;C:\\windows";

INSTANTIATE_TEST_SUITE_P(
    Cases, ProductFolderSetUpTest,
    testing::Values(
        SetUpCase{"ExtensionsSubfolderGivesTheFolderAbove",
                  "C:\\Prog\\Bin\\Extensions\\ovWPFControlsHook.dll", std::nullopt, kSystemPath,
                  "c:\\prog\\bin", kSystemPath + ";c:\\prog\\bin"},
        SetUpCase{"ModuleBesideTheHost", "C:\\Prog\\Bin\\ovWPFControlsHook.dll", std::nullopt, kSystemPath,
                  "c:\\prog\\bin", kSystemPath + ";c:\\prog\\bin"},
        SetUpCase{"ExtensionsInAnyCase", "C:\\Prog\\EXTENSIONS\\ovWPFControlsHook.dll", std::nullopt,
                  kSystemPath, "c:\\prog", kSystemPath + ";c:\\prog"},
        SetUpCase{"OnlyAWholeLastComponentNamedExtensions", "C:\\Prog\\MyExtensions\\ovWPFControlsHook.dll",
                  std::nullopt, kSystemPath, "c:\\prog\\myextensions",
                  kSystemPath + ";c:\\prog\\myextensions"},
        SetUpCase{"ExtensionsHigherUpStays", "C:\\Extensions\\Bin\\ovWPFControlsHook.dll", std::nullopt,
                  kSystemPath, "c:\\extensions\\bin", kSystemPath + ";c:\\extensions\\bin"},
        SetUpCase{"VariableAlreadySet", "C:\\Prog\\Bin\\ovWPFControlsHook.dll", "D:\\Elsewhere", kSystemPath,
                  "D:\\Elsewhere", kSystemPath},
        SetUpCase{"EmptyVariableCountsAsUnset", "C:\\Prog\\Bin\\ovWPFControlsHook.dll", "", kSystemPath,
                  "c:\\prog\\bin", kSystemPath + ";c:\\prog\\bin"},
        SetUpCase{"PathHasTheFolderFirst", "C:\\Prog\\Bin\\ovWPFControlsHook.dll", std::nullopt,
                  "c:\\prog\\bin;C:\\windows", "c:\\prog\\bin", "c:\\prog\\bin;C:\\windows"},
        SetUpCase{"PathHasTheFolderInTheMiddle", "C:\\Prog\\Bin\\ovWPFControlsHook.dll", std::nullopt,
                  "C:\\a;c:\\prog\\bin;C:\\b", "c:\\prog\\bin", "C:\\a;c:\\prog\\bin;C:\\b"},
        SetUpCase{"PathHasTheFolderLast", "C:\\Prog\\Bin\\ovWPFControlsHook.dll", std::nullopt,
                  "C:\\a;c:\\prog\\bin", "c:\\prog\\bin", "C:\\a;c:\\prog\\bin"},
        SetUpCase{"PathHasTheFolderAsSubstring", "C:\\Prog\\Bin\\ovWPFControlsHook.dll", std::nullopt,
                  "C:\\a;c:\\prog\\binaries", "c:\\prog\\bin", "C:\\a;c:\\prog\\binaries"},
        SetUpCase{"PathComparesCaseSensitively", "C:\\Prog\\Bin\\ovWPFControlsHook.dll", std::nullopt,
                  "C:\\PROG\\BIN", "c:\\prog\\bin", "C:\\PROG\\BIN;c:\\prog\\bin"},
        SetUpCase{"NoPathStaysUnset", "C:\\Prog\\Bin\\ovWPFControlsHook.dll", std::nullopt, std::nullopt,
                  "c:\\prog\\bin", std::nullopt},
        SetUpCase{"DriveOnlyGivesTheDriveLetter", "C:ovWPFControlsHook.dll", std::nullopt, kSystemPath, "c",
                  kSystemPath + ";c"},
        SetUpCase{"NoFolderLeavesThePathAlone", "ovWPFControlsHook.dll", std::nullopt, kSystemPath, "",
                  kSystemPath}),
    [](const testing::TestParamInfo<SetUpCase>& info) { return std::string(info.param.name); });

TEST(ProductFolderTest, DirectoryEndsAtTheLaterOfBackslashAndColon) {
    struct Case {
        const char* path;
        const char* directory;
    } cases[] = {
        {"C:\\Prog\\Bin\\x.dll", "C:\\Prog\\Bin"},
        {"C:x.dll", "C"},
        {"C:\\x.dll", "C:"},
        {"a\\b:c\\d", "a\\b:c"},
        {"a\\b:c", "a\\b"},
        {"x.dll", ""},
        {"", ""},
        {"\\\\server\\share\\x", "\\\\server\\share"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ov::ProductFolder::DirectoryOf(c.path), c.directory) << c.path;
}

TEST(ProductFolderTest, LookupInsideAnExecutableGivesItsFolder) {
    SavedVariables saved({kVariable});
    WriteVariable(kVariable, "D:\\Elsewhere");
    EXPECT_EQ(ov::ProductFolder::Get(GetModuleHandleW(nullptr)), ovtest::BinFolder());
}

TEST(ProductFolderTest, LookupInsideALibraryReadsTheVariable) {
    struct Case {
        Value value;
        std::wstring folder;
    } cases[] = {
        {"c:\\prog\\bin", L"c:\\prog\\bin"},
        {std::nullopt, L""},
        {"", L""},
        // The lookup reads at most 260 bytes with the terminating zero; a longer value counts as unset.
        {std::string(259, 'x'), std::wstring(259, L'x')},
        {std::string(260, 'x'), L""},
    };
    SavedVariables saved({kVariable});
    for (const Case& c : cases) {
        WriteVariable(kVariable, c.value);
        EXPECT_EQ(ov::ProductFolder::Get(SomeLibrary()), c.folder) << (c.value ? c.value->size() : 0);
    }
}

TEST(ProductFolderTest, SetUpAndLookupAgree) {
    SavedVariables saved({kVariable, "PATH"});
    WriteVariable(kVariable, std::nullopt);
    ov::ProductFolder::SetUpForModulePath("C:\\Prog\\Bin\\Extensions\\ovWPFControlsHook.dll");
    EXPECT_EQ(ov::ProductFolder::Get(SomeLibrary()), L"c:\\prog\\bin");
}

// --- the command line switch, seen from a child process

// What the child saw, as bits of its exit code.
enum ChildBits : DWORD {
    NameIsAlternative = 1,
    NameIsPlain = 2,
    AlternativeWasSet = 4,
    PlainWasSet = 8,
    LookupFoundTheFolder = 16,
    ChildRan = 64,
};

// Runs only in the child: sets up for a module path with both variables unset and reports what happened.
TEST(DISABLED_ProductFolderChild, ReportsTheVariableInUse) {
    std::string name = ov::ProductFolder::VariableName();
    ov::ProductFolder::SetUpForModulePath("C:\\Prog\\Bin\\Extensions\\ovWPFControlsHook.dll");
    DWORD bits = ChildRan;
    if (name == kAlternative) bits |= NameIsAlternative;
    if (name == kVariable) bits |= NameIsPlain;
    if (ReadVariable(kAlternative) == Value("c:\\prog\\bin")) bits |= AlternativeWasSet;
    if (ReadVariable(kVariable) == Value("c:\\prog\\bin")) bits |= PlainWasSet;
    if (ov::ProductFolder::Get(SomeLibrary()) == L"c:\\prog\\bin") bits |= LookupFoundTheFolder;
    ExitProcess(bits);
}

DWORD RunChild(const std::wstring& extraArguments) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine =
        L"\"" + std::wstring(self) +
        L"\" --gtest_also_run_disabled_tests --gtest_filter=DISABLED_ProductFolderChild.* " + extraArguments;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
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
    constexpr DWORD alternative = ChildRan | NameIsAlternative | AlternativeWasSet | LookupFoundTheFolder;
    constexpr DWORD plain = ChildRan | NameIsPlain | PlainWasSet | LookupFoundTheFolder;
    struct Case {
        const wchar_t* arguments;
        DWORD expected;
    } cases[] = {
        {L"-UseAlternativeProductPath", alternative},
        {L"/UseAlternativeProductPath", alternative},
        {L"--run=x-UseAlternativeProductPathy", alternative}, // anywhere in the line
        {L"-useAlternativeProductPath", plain},               // case-sensitive
        {L"", plain},
    };
    SavedVariables saved({kVariable, kAlternative});
    WriteVariable(kVariable, std::nullopt);
    WriteVariable(kAlternative, std::nullopt);
    for (const Case& c : cases)
        EXPECT_EQ(RunChild(c.arguments), c.expected) << testing::PrintToString(std::wstring(c.arguments));
}

} // namespace
