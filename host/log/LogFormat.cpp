#include "LogFormat.h"

namespace ovhost {

std::wstring LogKindName(LONG kind) {
    switch (kind) {
    case LogMessage:
        return L"message";
    case LogNotice:
        return L"notice";
    case LogMenuNotice:
        return L"menu notice";
    case LogError:
        return L"error";
    case LogScript:
        return L"script";
    case LogScriptError:
        return L"script error";
    default:
        return L"entry " + std::to_wstring(kind);
    }
}

namespace {

// The lines of a text, each after the indentation; carriage returns and trailing line breaks dropped.
std::wstring Indented(std::wstring_view text, std::wstring_view indent, bool first) {
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
        text.remove_suffix(1);
    std::wstring out(first ? indent : std::wstring_view());
    for (wchar_t c : text) {
        if (c == L'\r') continue;
        out += c;
        if (c == L'\n') out += indent;
    }
    return out;
}

} // namespace

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::wstring FormatLogEntry(const LogEntry& entry) {
    std::wstring text = L"[" + LogKindName(entry.kind) + L"] " + Indented(entry.text, L"    ", false) + L"\n";
    if (entry.details.empty()) return text;
    return text + Indented(entry.details, L"    ", true) + L"\n";
}

namespace {

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

// UTF-8 of UTF-16 text in which every surrogate is paired (JsonQuoted escapes the others).
std::string Utf8(std::wstring_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned c = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace

std::wstring JsonQuoted(std::wstring_view text) {
    std::wstring out = L"\"";
    auto escape = [&](unsigned c) {
        wchar_t escaped[8];
        swprintf(escaped, 8, L"\\u%04x", c);
        out += escaped;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        switch (c) {
        case L'"':
            out += L"\\\"";
            break;
        case L'\\':
            out += L"\\\\";
            break;
        case L'\n':
            out += L"\\n";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\t':
            out += L"\\t";
            break;
        default:
            if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
                out += c;
                out += text[++i];
            } else if (c < 0x20 || IsHighSurrogate(c) || IsLowSurrogate(c)) {
                // A lone surrogate has no UTF-8 form: escaped, the text stays valid UTF-8.
                escape(c);
            } else {
                out += c;
            }
        }
    }
    return out + L"\"";
}

namespace {

std::string JsonString(const std::wstring& text) {
    return Utf8(JsonQuoted(text));
}

} // namespace

std::string JsonLogLine(const LogEntry& entry) {
    return "{\"kind\":" + JsonString(LogKindName(entry.kind)) + ",\"text\":" + JsonString(entry.text) +
           ",\"details\":" + JsonString(entry.details) + "}\n";
}

} // namespace ovhost
