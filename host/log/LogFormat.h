// The log as the program prints it: one line per entry ("[kind] text"), the details or remark indented on
// the lines below; and as JSON lines for tools ({"kind":..,"text":..,"details":..}, UTF-8).
#pragma once

#include "../services/HostCore.h"

#include <string>

namespace ovhost {

// "message", "notice", "menu notice", "error", "script", "script error".
std::wstring LogKindName(LONG kind);
std::wstring FormatLogEntry(const LogEntry& entry);
std::string JsonLogLine(const LogEntry& entry);
// A JSON string literal of the text, quotes included: quotes, backslashes and control characters
// escaped, lone surrogates as \uXXXX (so that its UTF-8 form is valid), everything else as it is.
std::wstring JsonQuoted(std::wstring_view text);

// Appends the UTF-8 bytes of a code point (up to U+10FFFF).
void AppendUtf8(std::string& out, unsigned code);

} // namespace ovhost
