// The fuzz run: a seeded generator of hostile input for the main job.
// - XAML: the applications of examples/ and tests/scripts/ cut, with spans deleted, repeated or swapped,
//   bytes and markup inserted, attribute values replaced by hostile ones, and re-encoded as UTF-16 with and
//   without the byte order mark. Each text is read in this process (within 10 s), and some through
//   `OVHookX64 run` in a process of their own.
// - Scripts: JScript and VBScript that call every member of some objects of the scripts' application (the
//   automation objects, the objects their properties hand out, and the object model) with wrong arguments:
//   wrong types, wrong counts, NaN, infinities, huge and negative numbers, long and broken strings, arrays,
//   objects. Each runs as `OVHookX64 run --timeout 4` in a process of its own.
// Every case must end within its bound, with a documented exit code and its message, no crash, and nothing
// of the run alive at its end. The seed is printed; OV_FUZZ_SEED=N or --fuzz-seed=N replays a run.
#include "Session.h"

#include "host/app/Xaml.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <random>
#include <sstream>

namespace {

using Rng = std::mt19937_64;
using Clock = std::chrono::steady_clock;

constexpr int kXamlCases = 300;      // read in this process
constexpr int kHostXamlCases = 20;   // read by OVHookX64 run
constexpr int kScriptCases = 32;     // half JScript, half VBScript
constexpr int kTargetsPerScript = 5; // objects whose every member a script calls
constexpr unsigned kScriptTimeout = 4;

size_t Below(Rng& rng, size_t n) {
    return n ? static_cast<size_t>(rng() % n) : 0;
}

template <class T> const T& Pick(Rng& rng, const std::vector<T>& from) {
    return from[Below(rng, from.size())];
}

unsigned long long Seed() {
    std::wstring line = GetCommandLineW();
    if (size_t at = line.find(L"--fuzz-seed="); at != std::wstring::npos)
        return std::wcstoull(line.c_str() + at + 12, nullptr, 10);
    wchar_t text[32];
    if (GetEnvironmentVariableW(L"OV_FUZZ_SEED", text, 32)) return std::wcstoull(text, nullptr, 10);
    return static_cast<unsigned long long>(Clock::now().time_since_epoch().count()) % 1000000000ULL;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// --- XAML -----------------------------------------------------------------------------------------------

std::vector<std::string> SourceApplications() {
    std::vector<std::string> texts;
    const std::filesystem::path root(OV_SOURCE_DIR);
    for (const auto& folder : {root / L"examples", root / L"tests" / L"scripts"})
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().extension() == L".xaml") texts.push_back(ReadFile(entry.path()));
    return texts;
}

const std::vector<std::string> kInserted = {std::string(1, '\0'),
                                            "\x01",
                                            "\x0B",
                                            "\xEF\xBF\xBE",
                                            "\xEF\xBF\xBF",
                                            "\xFF",
                                            "\xC3",
                                            "\xED\xA0\x80",
                                            "\xF0\x9F\x98\x80",
                                            "&#0;",
                                            "&#xD800;",
                                            "&#x1F600;",
                                            "&#99999999;",
                                            "&",
                                            "<",
                                            ">",
                                            "\"",
                                            "'",
                                            "]]>",
                                            "<!--",
                                            "-->",
                                            "<?",
                                            "?>",
                                            "<![CDATA[",
                                            "{",
                                            "{x:Null}",
                                            "{Binding}",
                                            " x:Name=\"a b\"",
                                            " Name=\"1st\"",
                                            " x:Name=\"dup\"",
                                            "<Grid.RowDefinitions/>",
                                            "<Button.ContextMenu><ContextMenu/></Button.ContextMenu>",
                                            "<Button/>",
                                            "</StackPanel>",
                                            "<sys:String>x</sys:String>",
                                            "\xEF\xBB\xBF",
                                            "<?xml version=\"1.0\"?>",
                                            "<!DOCTYPE x>",
                                            "\r",
                                            "\n",
                                            " ",
                                            "<Window/>",
                                            "xmlns:q=\"\"",
                                            "mc:Ignorable=\"q\""};

const std::vector<std::string> kValues = {"NaN",
                                          "Infinity",
                                          "-Infinity",
                                          "-1",
                                          "1e308",
                                          "-1e308",
                                          "0",
                                          "",
                                          "  ",
                                          "{x:Null}",
                                          "{}{",
                                          "2147483648",
                                          "-2147483649",
                                          "1.#QNAN",
                                          "Auto",
                                          "*",
                                          "x",
                                          std::string(10000, 'a'),
                                          "\xF0\x9F\x98\x80",
                                          "&#xD800;",
                                          "a|b*",
                                          "Red",
                                          "#GG",
                                          "-0",
                                          "1,2,3,4,5"};

// One to three changes of the text; `deepen`: also repeated spans, which can nest elements deeper.
std::string Mutate(std::string text, Rng& rng, bool deepen) {
    // Mostly one change, so that some texts still load and their values and structure are read.
    for (size_t changes = Below(rng, 4) ? 1 : 2 + Below(rng, 2); changes > 0; --changes) {
        const size_t at = Below(rng, text.size() + 1);
        switch (Below(rng, deepen ? 7 : 6)) {
        case 0: // cut
            text.resize(at);
            break;
        case 1: // a span deleted
            text.erase(std::min(at, text.size()), 1 + Below(rng, 64));
            break;
        case 2: // bytes or markup inserted
            text.insert(at, Pick(rng, kInserted));
            break;
        case 3: { // an attribute's value replaced
            const size_t open = text.find("=\"", at);
            const size_t close = open == std::string::npos ? open : text.find('"', open + 2);
            if (close != std::string::npos) text.replace(open + 2, close - open - 2, Pick(rng, kValues));
            break;
        }
        case 4: { // two lines swapped
            std::vector<std::string> lines;
            std::istringstream in(text);
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
            if (lines.size() > 1) std::swap(lines[Below(rng, lines.size())], lines[Below(rng, lines.size())]);
            text.clear();
            for (const std::string& line : lines)
                text += line + "\n";
            break;
        }
        case 5: // a byte changed
            if (!text.empty()) text[std::min(at, text.size() - 1)] = static_cast<char>(rng());
            break;
        default: { // a span repeated
            const size_t length = Below(rng, 400);
            text.insert(at, text.substr(Below(rng, text.size() + 1), length));
            break;
        }
        }
    }
    if (Below(rng, 8) == 0) { // UTF-16, little- or big-endian, with or without its mark
        std::wstring wide(text.size(), L'\0');
        wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                        static_cast<int>(wide.size())));
        if (Below(rng, 2)) wide.insert(0, 1, L'\xFEFF');
        const bool big = Below(rng, 2);
        std::string bytes;
        for (wchar_t c : wide) {
            const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
            bytes += big ? high : low;
            bytes += big ? low : high;
        }
        text = bytes;
    }
    return text;
}

// --- scripts ----------------------------------------------------------------------------------------------

struct Target {
    std::wstring expression; // App.Find("ok"), App.Find("list").HScroll, Host
    std::vector<const reltest::MemberInfo*> members;
};

// The members of the object model, with the counts of arguments they take (the generator gives others too).
const std::vector<std::pair<std::wstring, std::vector<std::pair<std::wstring, int>>>> kModel = {
    {L"App", {{L"Find", 1}, {L"Kind", 1}, {L"ClassName", 1}, {L"Element", 1}, {L"Table", 1}}},
    {L"User",
     {{L"Click", 3},
      {L"RightClick", 3},
      {L"DoubleClick", 3},
      {L"ClickItem", 3},
      {L"RightClickItem", 3},
      {L"DoubleClickItem", 3},
      {L"Type", 2}}},
    {L"Log", {{L"Count", 0}, {L"Item", 1}, {L"Message", 2}}},
    {L"Host",
     {{L"ErrorReportMode", 0},
      {L"MessageReportMode", 0},
      {L"DefaultClassNames", 1},
      {L"ClassNames", 1},
      {L"SetClassNames", 2}}},
    {L"Recorder", {{L"Start", 0}, {L"Stop", 0}, {L"Count", 0}, {L"Event", 1}, {L"Script", 0}}},
};

// The objects a script can reach in the scripts' application, each with the members it answers: every
// named element's automation object and the objects its properties without arguments hand out.
std::vector<Target> Targets(const std::vector<reltest::MemberInfo>& library) {
    std::vector<Target> targets;
    reltest::Session session;
    std::set<std::wstring> names;
    for (const wpfsim::Element* root : session.App().Roots())
        reltest::Walk(*root, names);
    for (const std::wstring& name : names) {
        ov::ComPtr<IDispatch> object = session.Find(name);
        if (!object) continue;
        Target target{L"App.Find(\"" + name + L"\")", {}};
        for (const auto& [member, id] : reltest::MembersOf(object.Get(), library)) {
            target.members.push_back(member);
            if (member->kind != INVOKE_PROPERTYGET || !member->params.empty()) continue;
            ov::Variant result;
            if (SUCCEEDED(reltest::Invoke(object.Get(), id, DISPATCH_PROPERTYGET, {}, &result)) &&
                result.vt == VT_DISPATCH && result.pdispVal) {
                Target derived{target.expression + L"." + member->name, {}};
                for (const auto& [inner, innerId] : reltest::MembersOf(result.pdispVal, library))
                    derived.members.push_back(inner);
                targets.push_back(std::move(derived));
            }
        }
        targets.push_back(std::move(target));
    }
    session.End();
    return targets;
}

const std::vector<std::wstring> kJsValues = {
    L"NaN",         L"Infinity",       L"-Infinity",
    L"null",        L"undefined",      L"{}",
    L"[]",          L"[1, \"a\"]",     L"\"\"",
    L"\"*\"",       L"\"a|b\"",        L"\"||\"",
    L"\"[2|3]\"",   L"\"File|Open\"",  L"new Array(5001).join(\"x\")",
    L"\"\\uD800\"", L"1e308",          L"-1",
    L"2147483648",  L"-2147483649",    L"0.5",
    L"true",        L"function () {}", L"App",
    L"new Date(0)", L"\"ok\"",         L"3"};
const std::vector<std::wstring> kVbsValues = {L"Null",
                                              L"Empty",
                                              L"\"\"",
                                              L"\"*\"",
                                              L"\"a|b\"",
                                              L"\"||\"",
                                              L"\"[2|3]\"",
                                              L"\"File|Open\"",
                                              L"String(5000, \"x\")",
                                              L"ChrW(&HD800)",
                                              L"1E+308",
                                              L"-1E+308",
                                              L"-1",
                                              L"2147483647",
                                              L"-2147483648",
                                              L"0.5",
                                              L"True",
                                              L"Array(1, \"a\")",
                                              L"Array()",
                                              L"CDate(\"2020-01-01\")",
                                              L"\"ok\"",
                                              L"3"};

// What a script passes as an object (JScript's objects, functions and arrays).
bool IsObject(const std::wstring& value) {
    return value == L"{}" || value.starts_with(L"[") || value.starts_with(L"function") || value == L"App" ||
           value.starts_with(L"new Date");
}

// A script that calls every member of a few targets, each call on its own, with wrong arguments. Wine's
// DispInvoke keeps a reference to an object argument when it refuses the call after taking that argument
// (too few arguments, or a later one of the wrong type): the platform's leak, not the module's, which hands
// the arguments on untouched. So an object is only the last argument of a call with enough of them.
std::wstring Script(Rng& rng, bool vbs, const std::vector<Target>& targets, size_t& calls) {
    const auto& values = vbs ? kVbsValues : kJsValues;
    std::vector<std::wstring> plain;
    std::copy_if(values.begin(), values.end(), std::back_inserter(plain),
                 [](const auto& v) { return !IsObject(v); });
    std::wstring text;
    auto call = [&](const std::wstring& object, const std::wstring& member, bool put, size_t required) {
        std::wstring arguments;
        if (put) {
            const std::wstring assignment = object + L"." + member + L" = " + Pick(rng, values);
            text += vbs ? assignment + L"\n" : L"try { " + assignment + L"; } catch (e) {}\n";
            ++calls;
            return;
        }
        const size_t count = Below(rng, 5);
        for (size_t n = count; n > 0; --n)
            arguments +=
                (arguments.empty() ? L"" : L", ") + Pick(rng, n == 1 && count >= required ? values : plain);
        text += vbs ? L"x = " + object + L"." + member + L"(" + arguments + L")\n"
                    : L"try { " + object + L"." + member + L"(" + arguments + L"); } catch (e) {}\n";
        ++calls;
    };
    text += vbs ? L"On Error Resume Next\nDim x\n" : L"";
    text += std::wstring(L"Host.ErrorReportMode = ") + (Below(rng, 2) ? L"1" : L"2") + (vbs ? L"\n" : L";\n");
    for (int t = 0; t < kTargetsPerScript; ++t) {
        const Target& target = Pick(rng, targets);
        for (const reltest::MemberInfo* m : target.members)
            call(target.expression, m->name,
                 m->kind == INVOKE_PROPERTYPUT || m->kind == INVOKE_PROPERTYPUTREF, m->params.size());
    }
    const auto& [object, members] = kModel[Below(rng, kModel.size())];
    for (const auto& [member, count] : members)
        call(object, member, count == 0 && Below(rng, 2), 0);
    text += vbs ? L"Log.Message \"end\"\n" : L"Log.Message(\"end\");\n";
    return text;
}

// --- the main job in a process of its own -----------------------------------------------------------------

struct Outcome {
    bool finished = false;
    DWORD code = 0;
    std::string out, err;
    double seconds = 0;
};

class Workspace {
public:
    Workspace()
        : folder_(std::filesystem::temp_directory_path() /
                  (L"ovfuzz" + std::to_wstring(GetCurrentProcessId()))) {
        std::filesystem::create_directories(folder_);
    }
    ~Workspace() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::wstring Write(const std::wstring& name, const std::string& bytes) const {
        std::ofstream(folder_ / name, std::ios::binary | std::ios::trunc) << bytes;
        return (folder_ / name).wstring();
    }

    // OVHookX64 with `arguments`, ended after `boundMs` at the latest.
    // A run that hits its bound without a word was never started by wine (the host prints its first line
    // at once): it runs once more, as check-script.sh does.
    Outcome Run(const std::wstring& arguments, DWORD boundMs) const {
        Outcome outcome = RunOnce(arguments, boundMs);
        if (!outcome.finished && outcome.out.empty() && outcome.err.empty())
            outcome = RunOnce(arguments, boundMs);
        return outcome;
    }

    Outcome RunOnce(const std::wstring& arguments, DWORD boundMs) const {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        auto open = [&](const wchar_t* name) {
            return CreateFileW((folder_ / name).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        HANDLE out = open(L"out.txt"), err = open(L"err.txt");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = err;
        const std::wstring program = ovtest::BinFolder() + L"\\OVHookX64.exe";
        std::wstring line = L"\"" + program + L"\" " + arguments;
        PROCESS_INFORMATION process{};
        Outcome outcome;
        const auto start = Clock::now();
        const bool started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                                            CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
        CloseHandle(out);
        CloseHandle(err);
        if (!started) return outcome;
        outcome.finished = WaitForSingleObject(process.hProcess, boundMs) == WAIT_OBJECT_0;
        if (!outcome.finished) {
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, 5000);
        }
        GetExitCodeProcess(process.hProcess, &outcome.code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        outcome.out = ReadFile(folder_ / L"out.txt");
        outcome.err = ReadFile(folder_ / L"err.txt");
        return outcome;
    }

private:
    std::filesystem::path folder_;
};

// What is wrong with a run's outcome, or empty: a documented exit code with its message, no crash, and
// nothing of the run alive at its end (the process that its time limit ends takes all with it).
std::string Judge(const Outcome& o) {
    const std::string all = o.out + o.err;
    for (const char* crash :
         {"Unhandled exception", "wine: Unhandled", "Assertion failed", "terminate called"})
        if (all.find(crash) != std::string::npos) return std::string("a crash: ") + crash;
    if (!o.finished) return "no end within its bound";
    const std::map<DWORD, const char*> messages = {{0, "-- the script ran to its end"},
                                                   {1, "-- the script ran to its end"},
                                                   {2, "-- the script failed"},
                                                   {3, "could not be loaded"},
                                                   {4, "time limit"}};
    auto message = messages.find(o.code);
    if (message == messages.end()) return "exit code " + std::to_string(o.code);
    if (all.find(message->second) == std::string::npos)
        return "exit code " + std::to_string(o.code) + " without \"" + message->second + "\"";
    if (o.code == 3) return o.err.find('\n') == o.err.size() - 1 ? "" : "not one line on the error output";
    const bool alive = all.find("Objects of the run outlived it") != std::string::npos;
    const bool counted =
        all.find("-- alive after the run: 0 automation objects still referenced, 0 host and 0 application "
                 "objects") != std::string::npos;
    if (alive || (o.code != 4 && !counted)) return "objects of the run alive at its end";
    return {};
}

// A failed XAML case's text, kept in the temporary folder for a look; its path.
std::wstring Keep(const std::string& text, unsigned long long seed, int i) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        (L"ovfuzz-" + std::to_wstring(seed) + L"-" + std::to_wstring(i) + L".xaml");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path.wstring();
}

std::string Head(const std::string& text, size_t length = 400) {
    return text.size() > length ? text.substr(0, length) + "..." : text;
}

TEST(FuzzTest, HostileApplicationsAndScriptsEndWithinTheirBoundsWithTheirExitCodes) {
    const unsigned long long seed = Seed();
    std::printf("[ fuzz ] seed %llu (replay: OV_FUZZ_SEED=%llu or --fuzz-seed=%llu)\n", seed, seed, seed);
    std::fflush(stdout);
    Rng rng(seed);
    const auto begin = Clock::now();
    const std::vector<std::string> sources = SourceApplications();
    ASSERT_GT(sources.size(), 5u);

    // XAML read in this process; a reader that does not end leaves no other way out than the process's end.
    size_t loaded = 0;
    double slowest = 0;
    for (int i = 0; i < kXamlCases; ++i) {
        const std::string text = Mutate(Pick(rng, sources), rng, true);
        const auto start = Clock::now();
        bool taken = false;
        auto read = std::async(std::launch::async, [&text, &taken]() -> std::string {
            try {
                ovhost::ParseXaml(text);
                taken = true;
                return {};
            } catch (const ovhost::XamlError& e) {
                return e.message.empty() ? "an error without a message" : "";
            } catch (...) {
                return "an exception other than the reader's error";
            }
        });
        if (read.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            std::printf("[  FAILED  ] seed %llu, XAML case %d: the reader did not end within 10 s: %s\n",
                        seed, i, reltest::Narrow(Keep(text, seed, i)).c_str());
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 1);
        }
        const std::string wrong = read.get();
        if (!wrong.empty())
            ADD_FAILURE() << "seed " << seed << ", XAML case " << i << ": " << wrong << ": "
                          << reltest::Narrow(Keep(text, seed, i));
        slowest = std::max(slowest, std::chrono::duration<double>(Clock::now() - start).count());
        loaded += taken;
    }

    Workspace work;
    std::map<DWORD, int> codes;
    auto judge = [&](const Outcome& outcome, const std::string& what, const std::string& input) {
        ++codes[outcome.finished ? outcome.code : 999];
        const std::string wrong = Judge(outcome);
        EXPECT_EQ(wrong, "") << "seed " << seed << ", " << what << " (" << outcome.seconds << " s):\n"
                             << Head(input, 20000) << "\n--- output:\n"
                             << Head(outcome.out + outcome.err, 2000);
    };
    // XAML through the main job (no repeated spans: the layout of deep nesting is not what this tests).
    const std::wstring probe = work.Write(L"probe.js", "Log.Message(\"loaded\");\n");
    for (int i = 0; i < kHostXamlCases; ++i) {
        const std::string text = Mutate(Pick(rng, sources), rng, false);
        const std::wstring app = work.Write(L"case.xaml", text);
        judge(work.Run(L"run --verbose --timeout 10 \"" + app + L"\" \"" + probe + L"\"", 30000),
              "XAML case " + std::to_string(i) + " through OVHookX64 run", text);
    }

    // Scripts with wrong arguments against the scripts' application.
    const auto library = reltest::LibraryMembers(ovtest::BinFolder() + L"\\ovWPFControlsHook.dll");
    ASSERT_FALSE(library.empty());
    const std::vector<Target> targets = Targets(library);
    ASSERT_GT(targets.size(), 20u);
    size_t calls = 0;
    double longest = 0;
    for (int i = 0; i < kScriptCases; ++i) {
        const bool vbs = i % 2;
        const std::wstring script = Script(rng, vbs, targets, calls);
        const int n = WideCharToMultiByte(CP_UTF8, 0, script.data(), static_cast<int>(script.size()), nullptr,
                                          0, nullptr, nullptr);
        std::string bytes(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, script.data(), static_cast<int>(script.size()), bytes.data(), n,
                            nullptr, nullptr);
        const std::wstring file = work.Write(vbs ? L"case.vbs" : L"case.js", bytes);
        const Outcome outcome = work.Run(L"run --verbose --timeout " + std::to_wstring(kScriptTimeout) +
                                             L" \"" + reltest::KindsApp() + L"\" \"" + file + L"\"",
                                         (kScriptTimeout + 2 + 20) * 1000);
        longest = std::max(longest, outcome.seconds);
        judge(outcome, std::string("script case ") + std::to_string(i) + (vbs ? " (VBScript)" : " (JScript)"),
              bytes);
    }

    std::string byCode;
    for (const auto& [code, count] : codes)
        byCode += (byCode.empty() ? "" : ", ") + std::to_string(count) + " exit " + std::to_string(code);
    std::printf(
        "[ fuzz ] seed %llu: %d XAML texts read here (%zu loaded, slowest %.3f s), %d through the main job "
        "and %d scripts of %zu calls (longest %.1f s): %s; %.0f s\n",
        seed, kXamlCases, loaded, slowest, kHostXamlCases, kScriptCases, calls, longest, byCode.c_str(),
        std::chrono::duration<double>(Clock::now() - begin).count());
}

} // namespace
