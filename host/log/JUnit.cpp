#include "JUnit.h"

#include "LogFormat.h"

#include <fstream>

namespace ovhost {

namespace {

// Text for XML: markup escaped (in attributes also quotes and the blanks that attribute values would lose),
// characters XML 1.0 does not allow replaced by U+FFFD; UTF-8.
std::string Xml(std::wstring_view text, bool attribute) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if ((c >= 0xD800 && c < 0xE000) || c == 0xFFFE || c == 0xFFFF ||
                 (c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r'))
            c = 0xFFFD;
        switch (c) {
        case L'&':
            out += "&amp;";
            break;
        case L'<':
            out += "&lt;";
            break;
        case L'>':
            out += "&gt;";
            break;
        case L'"':
            out += attribute ? "&quot;" : "\"";
            break;
        case L'\n':
            out += attribute ? "&#10;" : "\n";
            break;
        case L'\r':
            out += "&#13;";
            break;
        case L'\t':
            out += attribute ? "&#9;" : "\t";
            break;
        default:
            AppendUtf8(out, c);
        }
    }
    return out;
}

std::string Attribute(const char* name, std::wstring_view value) {
    return std::string(" ") + name + "=\"" + Xml(value, true) + "\"";
}

// "examples/settings.js" as "examples.settings": the path without its extension, its drive and leading dots.
std::wstring ClassName(const std::wstring& script) {
    std::wstring name = script;
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > name.find_last_of(L"\\/") + 1) name.resize(dot);
    if (name.size() > 1 && name[1] == L':') name.erase(0, 2);
    for (auto& c : name)
        if (c == L'\\' || c == L'/') c = L'.';
    name.erase(0, name.find_first_not_of(L'.'));
    return name;
}

std::wstring FileName(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

// "line 12 (okButton, ctrlWPFButton): text", the details indented below.
std::wstring Described(const LogEntry& entry, const std::wstring& text) {
    std::wstring where;
    if (entry.context.line && entry.kind != LogScriptError)
        where = L"line " + std::to_wstring(entry.context.line);
    if (!entry.context.element.empty())
        where += (where.empty() ? L"" : L" ") +
                 (L"(" + entry.context.element + L", " + entry.context.elementKind + L")");
    std::wstring out = (where.empty() ? L"" : where + L": ") + text;
    if (!entry.details.empty()) out += L"\n    " + entry.details;
    return out;
}

struct Counts {
    size_t tests = 0, failures = 0, errors = 0;
};

std::string ScriptCase(const ScriptOutcome& run, Counts& counts) {
    const std::wstring classname = ClassName(run.script);
    std::string xml = "    <testcase" + Attribute("name", FileName(run.script)) +
                      Attribute("classname", classname) + Attribute("time", Seconds(run.seconds)) + ">\n";
    ++counts.tests;
    if (run.exitCode != 0) {
        // What failed: the errors logged (exit 1), or what stopped the run.
        std::wstring message, body;
        for (const LogEntry& entry : run.entries)
            if (entry.kind == LogError || entry.kind == LogScriptError) {
                if (message.empty()) message = entry.text;
                body += (body.empty() ? L"" : L"\n") + Described(entry, entry.text);
            }
        if (!run.reason.empty()) {
            message = run.reason;
            body = run.reason;
        }
        if (message.empty()) message = OutcomeText(run.exitCode);
        const bool failure = run.exitCode == 1;
        (failure ? counts.failures : counts.errors) += 1;
        const char* element = failure ? "failure" : "error";
        xml += std::string("      <") + element + Attribute("message", message) +
               Attribute("type", OutcomeText(run.exitCode)) + ">" + Xml(body, false) + "</" + element + ">\n";
    }
    if (!run.output.empty()) xml += "      <system-out>" + Xml(run.output, false) + "</system-out>\n";
    xml += "    </testcase>\n";
    // The script's checks.
    for (const LogEntry& entry : run.entries) {
        if (!entry.check) continue;
        ++counts.tests;
        const bool failed = entry.kind != LogCheck;
        const std::wstring text = failed && entry.text.starts_with(kCheckFailed)
                                      ? entry.text.substr(wcslen(kCheckFailed))
                                      : entry.text;
        xml += "    <testcase" + Attribute("name", text) + Attribute("classname", classname) +
               Attribute("time", L"0.000");
        if (!failed) {
            xml += "/>\n";
            continue;
        }
        ++counts.failures;
        xml += ">\n      <failure" + Attribute("message", text) + Attribute("type", L"Log.Check") + ">" +
               Xml(Described(entry, text), false) + "</failure>\n    </testcase>\n";
    }
    return xml;
}

} // namespace

std::wstring OutcomeText(int exitCode) {
    switch (exitCode) {
    case 0:
        return L"passed";
    case 1:
        return L"an error was logged";
    case 2:
        return L"the script failed";
    case 3:
        return L"the application or the module could not be loaded";
    case 4:
        return L"the script was stopped at its time limit";
    case 64:
        return L"the command line was wrong";
    default:
        return L"exit " + std::to_wstring(exitCode);
    }
}

std::string JUnitReport(const std::wstring& suite, const std::vector<ScriptOutcome>& runs,
                        const SYSTEMTIME& started) {
    Counts counts;
    double seconds = 0;
    std::string cases;
    for (const ScriptOutcome& run : runs) {
        cases += ScriptCase(run, counts);
        seconds += run.seconds;
    }
    wchar_t timestamp[32];
    swprintf(timestamp, 32, L"%04u-%02u-%02uT%02u:%02u:%02u", started.wYear, started.wMonth, started.wDay,
             started.wHour, started.wMinute, started.wSecond);
    const std::string totals = Attribute("tests", std::to_wstring(counts.tests)) +
                               Attribute("failures", std::to_wstring(counts.failures)) +
                               Attribute("errors", std::to_wstring(counts.errors));
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites" + Attribute("name", suite) + totals +
           Attribute("time", Seconds(seconds)) + ">\n  <testsuite" + Attribute("name", suite) + totals +
           Attribute("skipped", L"0") + Attribute("time", Seconds(seconds)) +
           Attribute("timestamp", timestamp) + ">\n" + cases + "  </testsuite>\n</testsuites>\n";
}

bool WriteJUnit(const std::wstring& path, const std::wstring& suite, const std::vector<ScriptOutcome>& runs,
                const SYSTEMTIME& started) {
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file << JUnitReport(suite, runs, started);
    return static_cast<bool>(file);
}

} // namespace ovhost
