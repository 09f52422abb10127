// The log as the program prints it: one line per entry, "[kind] text" and after two blanks its context in
// parentheses (the element and its kind when a member of an element's object made it, the seconds since the
// host started, the script's line: "  (okButton, ctrlWPFButton, 0.412 s, line 12)"), the details or remark
// indented on the lines below; and as JSON lines for tools ({"kind":..,"text":..,"details":..,"element":..,
// "elementKind":..,"line":..,"time":..,"check":..}, UTF-8; null where the context has nothing).
#pragma once

#include "../services/HostCore.h"

#include <optional>
#include <string>
#include <string_view>

namespace ovhost {

// "message", "notice", "menu notice", "error", "script", "script error", "check".
std::wstring LogKindName(LONG kind);
// "0.412": seconds with three decimals.
std::wstring Seconds(double seconds);
std::wstring FormatLogEntry(const LogEntry& entry);
std::string JsonLogLine(const LogEntry& entry);
// An entry from a line that JsonLogLine wrote (what `test` reads of each script's run); nothing when the
// line is no such object. Members it does not know are passed over.
std::optional<LogEntry> ParseJsonLogLine(std::string_view line);
// A JSON string literal of the text, quotes included: quotes, backslashes and control characters
// escaped, lone surrogates as \uXXXX (so that its UTF-8 form is valid), everything else as it is.
std::wstring JsonQuoted(std::wstring_view text);

// Appends the UTF-8 bytes of a code point (up to U+10FFFF).
void AppendUtf8(std::string& out, unsigned code);

} // namespace ovhost
