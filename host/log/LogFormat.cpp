#include "LogFormat.h"

#include <cctype>
#include <functional>

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
    case LogCheck:
        return L"check";
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

std::wstring Seconds(double seconds) {
    wchar_t text[32];
    swprintf(text, 32, L"%.3f", seconds < 0 ? 0.0 : seconds);
    return text;
}

namespace {

std::wstring ContextSuffix(const LogEntry& entry) {
    std::wstring suffix = L"  (";
    if (!entry.context.element.empty())
        suffix += entry.context.element + L", " +
                  (entry.context.elementKind.empty() ? L"?" : entry.context.elementKind) + L", ";
    suffix += Seconds(entry.seconds) + L" s";
    // A script failure's text begins with its line and column.
    if (entry.context.line && entry.kind != LogScriptError)
        suffix += L", line " + std::to_wstring(entry.context.line);
    return suffix + L")";
}

} // namespace

std::wstring FormatLogEntry(const LogEntry& entry) {
    std::wstring text = L"[" + LogKindName(entry.kind) + L"] " + Indented(entry.text, L"    ", false) +
                        ContextSuffix(entry) + L"\n";
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
    auto orNull = [](const std::wstring& text) {
        return text.empty() ? std::string("null") : JsonString(text);
    };
    return "{\"kind\":" + JsonString(LogKindName(entry.kind)) + ",\"text\":" + JsonString(entry.text) +
           ",\"details\":" + JsonString(entry.details) + ",\"element\":" + orNull(entry.context.element) +
           ",\"elementKind\":" + orNull(entry.context.elementKind) +
           ",\"line\":" + (entry.context.line ? std::to_string(entry.context.line) : std::string("null")) +
           ",\"time\":" + Utf8(Seconds(entry.seconds)) + ",\"check\":" + (entry.check ? "true" : "false") +
           "}\n";
}

} // namespace ovhost

namespace ovhost {

namespace {

// A reader of the flat JSON objects that JsonLogLine writes: string, number, true, false and null values.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : s_(text) {}

    bool Object(const std::function<bool(const std::wstring& key, const std::optional<std::wstring>& value)>&
                    member) {
        if (!Take('{')) return false;
        if (Take('}')) return End();
        do {
            std::wstring key;
            std::optional<std::wstring> value;
            if (!String(key) || !Take(':') || !Value(value) || !member(key, value)) return false;
        } while (Take(','));
        return Take('}') && End();
    }

private:
    void Blanks() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\r' || s_[at_] == '\n'))
            ++at_;
    }
    bool Take(char c) {
        Blanks();
        if (at_ >= s_.size() || s_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool End() {
        Blanks();
        return at_ == s_.size();
    }
    // A value as text (a number, true or false as written), or nothing for null.
    bool Value(std::optional<std::wstring>& value) {
        Blanks();
        if (at_ < s_.size() && s_[at_] == '"') {
            value.emplace();
            return String(*value);
        }
        const size_t start = at_;
        while (at_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[at_])) || s_[at_] == '.' ||
                                   s_[at_] == '-' || s_[at_] == '+'))
            ++at_;
        const std::string_view word = s_.substr(start, at_ - start);
        if (word.empty()) return false;
        if (word != "null") value = std::wstring(word.begin(), word.end());
        return true;
    }
    bool String(std::wstring& out) {
        if (!Take('"')) return false;
        std::string run; // UTF-8 bytes up to the next escape
        auto flush = [&] {
            if (run.empty()) return true;
            const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, run.data(),
                                              static_cast<int>(run.size()), nullptr, 0);
            if (n <= 0) return false;
            const size_t size = out.size();
            out.resize(size + static_cast<size_t>(n));
            MultiByteToWideChar(CP_UTF8, 0, run.data(), static_cast<int>(run.size()), out.data() + size, n);
            run.clear();
            return true;
        };
        while (at_ < s_.size()) {
            const char c = s_[at_++];
            if (c == '"') return flush();
            if (c != '\\') {
                run += c;
                continue;
            }
            if (at_ >= s_.size() || !flush()) return false;
            const char e = s_[at_++];
            static constexpr std::string_view kFrom = "\"\\/bfnrt", kTo = "\"\\/\b\f\n\r\t";
            if (size_t i = kFrom.find(e); i != std::string_view::npos) {
                out += static_cast<wchar_t>(kTo[i]);
            } else if (e == 'u' && at_ + 4 <= s_.size()) {
                unsigned code = 0;
                for (char h : s_.substr(at_, 4)) {
                    if (!std::isxdigit(static_cast<unsigned char>(h))) return false;
                    code = code * 16 + static_cast<unsigned>(
                                           std::isdigit(static_cast<unsigned char>(h))
                                               ? h - '0'
                                               : (std::tolower(static_cast<unsigned char>(h)) - 'a' + 10));
                }
                at_ += 4;
                out += static_cast<wchar_t>(code);
            } else {
                return false;
            }
        }
        return false;
    }

    std::string_view s_;
    size_t at_ = 0;
};

} // namespace

std::optional<LogEntry> ParseJsonLogLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    LogEntry entry;
    bool kind = false;
    const bool read =
        JsonReader(line).Object([&](const std::wstring& key, const std::optional<std::wstring>& value) {
            const std::wstring text = value.value_or(L"");
            if (key == L"kind") {
                for (LONG k = LogMessage; k <= LogCheck && !kind; ++k)
                    if (LogKindName(k) == text) {
                        entry.kind = k;
                        kind = true;
                    }
            } else if (key == L"text") {
                entry.text = text;
            } else if (key == L"details") {
                entry.details = text;
            } else if (key == L"element") {
                entry.context.element = text;
            } else if (key == L"elementKind") {
                entry.context.elementKind = text;
            } else if (key == L"line") {
                entry.context.line = static_cast<ULONG>(wcstoul(text.c_str(), nullptr, 10));
            } else if (key == L"time") {
                entry.seconds = wcstod(text.c_str(), nullptr);
            } else if (key == L"check") {
                entry.check = text == L"true";
            }
            return true;
        });
    if (!read || !kind) return std::nullopt;
    return entry;
}

} // namespace ovhost
