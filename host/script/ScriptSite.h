// Runs a script text in one of the system's script engines ("JScript", "VBScript") with our objects
// as global names. Script errors (syntax and run time) come back with their position and description.
//
//   ovhost::ScriptRun run = ovhost::RunScript(L"JScript", L"cb.ClickButton(1);", {{L"cb", wrapper}});
//   if (!run.Succeeded()) ... run.error->line, run.error->description ...
#pragma once

#include "com/ComPtr.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct IActiveScript;

namespace ovhost {

// An object the script sees as a global variable; with globalMembers its members are global names too.
struct NamedItem {
    std::wstring name;
    ov::ComPtr<IDispatch> object;
    bool globalMembers = false;
};

struct ScriptError {
    SCODE code = S_OK;        // the error's result (e.g. E_FAIL from a failing member)
    std::wstring source;      // "Microsoft JScript runtime error", the member's source, ...
    std::wstring description; // the text a script's catch sees
    ULONG line = 0;           // from 1
    LONG column = 0;          // from 0
    std::wstring lineText;    // the script line, when the engine has it
    // "line L: description" (the form the host prints).
    std::wstring ToString() const;
};

struct ScriptRun {
    // S_OK, or the failure of the engine, of parsing or of running.
    HRESULT hr = S_OK;
    // The first error the engine reported.
    std::optional<ScriptError> error;
    // The time limit expired and the script was interrupted (then hr and error are what the engine made
    // of the interruption).
    bool timedOut = false;
    bool Succeeded() const noexcept { return SUCCEEDED(hr) && !error && !timedOut; }
};

// The time limit of a script (ms 0: none). At the limit `reached` is called on the watchdog's thread, then
// the engine is asked to stop (InterruptScriptThread) and the site answers the engine's polls
// (IActiveScriptSiteInterruptPoll) with "stop". When the engine is still running 2 seconds later (wine's
// engines only stub the interruption), `stuck` is called there while the script's thread still runs the
// script: it may end the process.
struct TimeLimit {
    unsigned long ms = 0;
    std::function<void()> reached;
    std::function<void()> stuck;
};

// The line of the statement the script is running, from the markers of ScriptLines.h. RunScript connects
// it to the engine while the script runs; outside that time, before the first statement and for a script
// that runs without markers it is 0. Read on the script's thread (the host's members run there).
class ScriptLineSource {
public:
    ULONG Current() const noexcept;

private:
    friend class LineConnection;
    IActiveScript* engine_ = nullptr;
    mutable ov::ComPtr<IDispatch> global_;
    mutable long id_ = -1; // the variable's DISPID once known
};

// Runs `text` to its end in the engine of `language` (a ProgID). Named items are visible by name; the
// engine is closed before returning, so it holds none of them afterwards. A prelude is parsed and run
// before the text as code of its own, so that the text's lines keep their numbers. With `lines` the text
// runs with line markers (ScriptLines.h) that `lines` reads, unless the instrumenter or the engine refuses
// them; the positions of errors are the text's own either way. Throws nothing.
ScriptRun RunScript(std::wstring_view language, std::wstring_view text, const std::vector<NamedItem>& items,
                    std::wstring_view prelude = {}, const TimeLimit& limit = {},
                    ScriptLineSource* lines = nullptr);

} // namespace ovhost
