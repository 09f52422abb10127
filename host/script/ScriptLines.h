// The script's line at every call it makes, for the log. The system's engines tell a host the position of
// an error, but not of a call (their debugger interfaces are stubs in wine's engines), so the host adds to
// the script, before the engine parses it, assignments of the running statement's line to a variable of
// its own, and reads that variable when an entry is logged:
//
//   JScript                                      VBScript
//   ovhost__line=3;App.Find("ok").ClickButton(); ovhost__line = 3: App.Find("ok").ClickButton
//
// Every addition stays on its line, so line numbers are the script's own; the columns of a script error are
// mapped back and its line's text is the script's. What is added, and why it is exact:
//   - each statement of a statement list gets its line first; a body without braces (if, else, for, while,
//     do, with; JScript) is put in braces with its line; in VBScript every statement that begins a line or
//     follows a ":" where statements may stand (not in a class body outside its procedures, not between
//     Select Case and its first Case);
//   - conditions that run again after a body take their own line: a loop's condition and update (JScript),
//     the lines before Loop and Wend (VBScript); so do the tests of case clauses and of ElseIf (VBScript, by
//     two functions of the prelude that return what they are given);
//   - a function's body saves its caller's line and gives it back when it ends, in any way (JScript: try and
//     finally; VBScript: before End Sub/Function/Property and every Exit of them), so after a call of the
//     script's own function the caller's line is the line again.
// A statement that spans lines is reported at its first line. Code that eval, Execute or a Function's text
// runs is not instrumented: its calls report the line of the statement that ran it. A script the
// instrumenter does not follow, or that the engine refuses once instrumented, runs as it was written (the
// engine then reports its own errors) and its entries carry no line.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ovhost {

// The variable the instrumented script keeps its line in.
inline constexpr wchar_t kLineVariable[] = L"ovhost__line";

struct InstrumentedScript {
    // Text added before the script's character at a line and column (both from 0).
    struct Insertion {
        ULONG line = 0;
        LONG column = 0;
        LONG length = 0;
    };
    std::wstring text;
    std::vector<Insertion> insertions; // in the order of the script

    // The column in the script of a column that the engine reports in the instrumented text (text added
    // there counts as the place it was added).
    LONG ScriptColumn(ULONG line, LONG column) const;
};

// The script with its line markers (see above), or nothing when the instrumenter does not follow it.
std::optional<InstrumentedScript> InstrumentLines(std::wstring_view language, std::wstring_view script);

// What the instrumented script needs declared before it: to be run ahead of it as code of its own.
std::wstring_view LinePrelude(std::wstring_view language);

} // namespace ovhost
