#include "Xaml.h"

#include "../log/LogFormat.h"

#include "wpfsim/WpfSurface.h"
#include "wpfsim/XamlSchema.h"

#include "wpfsim/Items.h"
#include "wpfsim/Panels.h"
#include "wpfsim/Window.h"

#include "com/ComPtr.h"

#include <shlwapi.h>
#include <xmllite.h>

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <map>
#include <set>
#include <span>
#include <unordered_set>

namespace ovhost {

std::wstring XamlError::ToString() const {
    if (line == 0) return message;
    if (column == 0) return L"line " + std::to_wstring(line) + L": " + message;
    return L"line " + std::to_wstring(line) + L", column " + std::to_wstring(column) + L": " + message;
}

namespace {

using namespace wpfsim::xaml;
using wpfsim::Auto;
namespace surface = wpfsim::surface;

constexpr const wchar_t* kXmlnsNamespace = L"http://www.w3.org/2000/xmlns/";
constexpr std::wstring_view kClrNamespace = L"clr-namespace:";
// The namespace of sys:String and the primitives that items controls take as data items.
constexpr std::wstring_view kSystemNamespace = L"clr-namespace:System;assembly=mscorlib";

// Elements nest at most this deep, the root being the first level: deep enough for any window an author
// writes (each level is several in WPF's visual tree, whose layout stops at 4096), shallow enough for the
// reader's recursion.
constexpr UINT kMaxDepth = 256;
// Far beyond any window's description; a larger file is refused before it is read.
constexpr LONGLONG kMaxFileSize = 256LL << 20;

// --- the file's bytes -----------------------------------------------------------------------------------

// Counts lines as XML does (CR LF, CR and LF each end one) and columns in characters.
struct Position {
    unsigned line = 1, column = 1;
    void Advance(std::string_view text, size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == '\n' && i > 0 && text[i - 1] == '\r') continue;
            if (c == '\r' || c == '\n') {
                ++line;
                column = 1;
            } else if ((c & 0xC0) != 0x80) {
                ++column;
            }
        }
    }
};

// The length of the UTF-8 sequence at `i`, or 0 when it is none (overlong forms, surrogates and code points
// above U+10FFFF included).
size_t Utf8SequenceLength(std::string_view text, size_t i) {
    auto byte = [&](size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
    unsigned c = byte(i);
    if (c < 0x80) return 1;
    size_t length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    unsigned second = byte(i + 1);
    unsigned low = 0x80, high = 0xBF;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
    if (second < low || second > high) return 0;
    for (size_t k = 2; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    return length;
}

bool IsXmlChar(unsigned long long code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// The encoding that the XML declaration names, or empty.
std::string DeclaredEncoding(std::string_view text) {
    if (!text.starts_with("<?xml")) return {};
    std::string_view declaration = text.substr(0, text.find("?>"));
    size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) return {};
    size_t quote = declaration.find_first_of("\"'", at);
    if (quote == std::string_view::npos) return {};
    size_t end = declaration.find(declaration[quote], quote + 1);
    std::string name(declaration.substr(quote + 1, end - quote - 1));
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// UTF-8 checked, since the parser would put U+FFFD in place of a bad byte; and since the parser keeps only
// 16 bits of a character reference, references beyond U+FFFF become the character itself (outside comments,
// CDATA sections and processing instructions, where they are text).
std::string Substitute(std::string_view text) {
    auto fail = [&](std::wstring message, size_t at) -> void {
        Position position;
        position.Advance(text, 0, at);
        throw XamlError{std::move(message), position.line, position.column};
    };
    for (size_t i = 0; i < text.size();) {
        size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            wchar_t byte[8];
            swprintf(byte, 8, L"0x%02X", static_cast<unsigned>(static_cast<unsigned char>(text[i])));
            fail(L"invalid UTF-8 (byte " + std::wstring(byte) + L")", i);
        }
        // The parser lets the characters pass that XML forbids even as references (U+0001, U+FFFE).
        unsigned code = static_cast<unsigned char>(text[i]);
        if (length > 1) code &= 0x7F >> length;
        for (size_t k = 1; k < length; ++k)
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        if (!IsXmlChar(code)) {
            wchar_t character[16];
            swprintf(character, 16, L"U+%04X", code);
            fail(L"the character " + std::wstring(character) + L" is not allowed in XML", i);
        }
        i += length;
    }

    std::string out;
    size_t copied = 0;
    static const std::pair<std::string_view, std::string_view> verbatim[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '<') {
            bool skipped = false;
            for (const auto& [open, close] : verbatim)
                if (text.substr(i).starts_with(open)) {
                    size_t end = text.find(close, i + open.size());
                    i = end == std::string_view::npos ? text.size() : end + close.size();
                    skipped = true;
                    break;
                }
            if (!skipped) ++i;
            continue;
        }
        if (text[i] != '&' || text.substr(i, 2) != "&#") {
            ++i;
            continue;
        }
        const bool hex = text.substr(i, 3) == "&#x";
        size_t digits = i + (hex ? 3 : 2), end = digits;
        unsigned long long code = 0;
        for (; end < text.size(); ++end) {
            char c = text[end];
            int value = c >= '0' && c <= '9'          ? c - '0'
                        : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : -1;
            if (value < 0) break;
            code = std::min(code * (hex ? 16 : 10) + value, 0x110000ULL);
        }
        // A malformed reference is the parser's to refuse.
        if (end == digits || end >= text.size() || text[end] != ';') {
            i = end;
            continue;
        }
        const std::string_view reference = text.substr(i, end + 1 - i);
        if (!IsXmlChar(code))
            fail(L"the character reference '" + std::wstring(reference.begin(), reference.end()) +
                     L"' names a character that XML does not allow",
                 i);
        if (code > 0xFFFF) {
            out.append(text.substr(copied, i - copied));
            AppendUtf8(out, static_cast<unsigned>(code));
            copied = end + 1;
        }
        i = end + 1;
    }
    if (copied == 0) return std::string(text);
    out.append(text.substr(copied));
    return out;
}

// UTF-16 is checked and substituted as UTF-8 is, and given to the parser as UTF-8; a file that declares
// another encoding is the parser's alone. Without the mark, a file that starts with '<' in UTF-16 is UTF-16,
// as .NET's XML reader detects it (four bytes of '<' are UCS-4, the parser's).
std::string Prepare(std::string_view text) {
    using namespace std::string_view_literals;
    const bool unmarked = !text.starts_with("<\0\0\0"sv) && !text.starts_with("\0\0\0<"sv) &&
                          (text.starts_with("<\0"sv) || text.starts_with("\0<"sv));
    const size_t mark = unmarked ? 0 : 2;
    const bool little = text.starts_with("\xFF\xFE") || (unmarked && text[0] == '<');
    const bool big = text.starts_with("\xFE\xFF") || (unmarked && text[0] == '\0');
    if (!little && !big) {
        const std::string_view body = text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
        const std::string encoding = DeclaredEncoding(body);
        return encoding.empty() || encoding == "utf-8" ? Substitute(text) : std::string(text);
    }
    std::wstring wide((text.size() - mark) / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        auto byte = [&](size_t k) { return static_cast<unsigned char>(text[mark + 2 * i + k]); };
        wide[i] = static_cast<wchar_t>(little ? byte(0) | byte(1) << 8 : byte(0) << 8 | byte(1));
    }
    std::string utf8;
    Position position;
    for (size_t i = 0; i < wide.size(); ++i) {
        unsigned c = wide[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            position.Advance(utf8, 0, utf8.size());
            wchar_t unit[8];
            swprintf(unit, 8, L"0x%04X", c);
            throw XamlError{L"invalid UTF-16 (unit " + std::wstring(unit) + L")", position.line,
                            position.column};
        }
        AppendUtf8(utf8, c);
    }
    if (text.size() % 2) throw XamlError{L"invalid UTF-16 (an odd number of bytes)"};
    utf8 = Substitute(utf8);
    // Wine's parser loses its place in long values of UTF-16 (a false syntax error, or a loop inside one
    // read): it reads the same text as UTF-8, the declared encoding blanked out so that every position stays.
    if (utf8.starts_with("<?xml")) {
        const size_t end = utf8.find("?>"), at = utf8.find("encoding", 5);
        const size_t open = at < end ? utf8.find_first_of("\"'", at) : std::string::npos;
        const size_t close = open < end ? utf8.find(utf8[open], open + 1) : std::string::npos;
        if (close < end)
            std::fill(utf8.begin() + static_cast<std::ptrdiff_t>(at),
                      utf8.begin() + static_cast<std::ptrdiff_t>(close + 1), ' ');
    }
    return utf8;
}

// --- the platform's parser ------------------------------------------------------------------------------

using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

// xmllite.dll is part of the system; its import library is not part of every toolchain, so it is bound
// at run time, once.
CreateXmlReaderFunction CreateXmlReaderEntry() {
    static CreateXmlReaderFunction entry = [] {
        HMODULE library = LoadLibraryW(L"xmllite.dll");
        return library ? reinterpret_cast<CreateXmlReaderFunction>(
                             reinterpret_cast<void*>(GetProcAddress(library, "CreateXmlReader")))
                       : nullptr;
    }();
    return entry;
}

std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

constexpr HRESULT kInputEnd = static_cast<HRESULT>(0xC00CEE01);

// The parser's failures that an author meets; the code is given with every one.
std::wstring ParserFailure(HRESULT hr) {
    static const std::map<HRESULT, const wchar_t*> texts = {
        {kInputEnd, L"the file ends before the document does"},
        {static_cast<HRESULT>(MX_E_ENCODING), L"the bytes are not of the file's encoding"},
        {static_cast<HRESULT>(MX_E_ENCODINGSWITCH), L"the declared encoding is not the file's"},
        {static_cast<HRESULT>(WC_E_ENCNAME), L"the parser does not know the declared encoding"},
        {static_cast<HRESULT>(0xC00CEE24), L"a quote is missing around an attribute value"},
        {static_cast<HRESULT>(0xC00CEE25), L"'=' is missing after an attribute name"},
        {static_cast<HRESULT>(0xC00CEE26), L"'<' is not allowed in an attribute value"},
        {static_cast<HRESULT>(0xC00CEE2D), L"syntax error (a second root element, or text after the root)"},
        {static_cast<HRESULT>(0xC00CEE3B), L"the end tag does not match the start tag"},
        {static_cast<HRESULT>(0xC00CEE4F), L"a DTD is not allowed"},
        {static_cast<HRESULT>(SC_E_MAXELEMENTDEPTH),
         L"the elements are nested deeper than the parser allows"},
    };
    auto it = texts.find(hr);
    return L"malformed XML: " + std::wstring(it != texts.end() ? it->second : L"the parser refused it") +
           L" (" + Hex(hr) + L")";
}

// The first '&' outside comments, CDATA sections and processing instructions that starts no reference XML
// knows (&lt; &gt; &amp; &quot; &apos; &#digits; &#xhex;), as a byte offset; npos when there is none.
size_t BareAmpersand(std::string_view text) {
    static const std::pair<std::string_view, std::string_view> verbatim[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '<') {
            for (const auto& [open, close] : verbatim)
                if (text.substr(i).starts_with(open)) {
                    const size_t end = text.find(close, i + open.size());
                    i = end == std::string_view::npos ? text.size() : end + close.size() - 1;
                    break;
                }
            continue;
        }
        if (text[i] != '&') continue;
        const size_t semicolon = text.find(';', i);
        const std::string_view name =
            semicolon == std::string_view::npos ? std::string_view() : text.substr(i + 1, semicolon - i - 1);
        const bool hex = name.starts_with("#x");
        const std::string_view digits = name.substr(hex ? 2 : name.starts_with("#") ? 1 : 0);
        const bool reference =
            name.starts_with("#")
                ? !digits.empty() &&
                      std::all_of(digits.begin(), digits.end(),
                                  [&](char c) {
                                      return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                                                 : std::isdigit(static_cast<unsigned char>(c)) != 0;
                                  })
                : name == "lt" || name == "gt" || name == "amp" || name == "quot" || name == "apos";
        if (!reference) return i;
    }
    return std::string_view::npos;
}

// WPF's whitespace rule for text content: runs collapse to one space, the ends are trimmed.
std::wstring NormalizeText(std::wstring_view text) {
    std::wstring out;
    bool space = false;
    for (wchar_t c : text) {
        if (std::iswspace(c)) {
            space = true;
            continue;
        }
        if (space && !out.empty()) out += L' ';
        space = false;
        out += c;
    }
    return out;
}

// WPF's rule for names (x:Name, Name): a letter (Lu, Ll, Lt, Lo, Nl) or '_' first, then also marks (Mn, Mc),
// modifier letters and decimal digits, each UTF-16 unit on its own (so no surrogate pair). Beyond ASCII the
// system's character types stand for the Unicode categories.
bool IsIdentifier(std::wstring_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        WORD type1 = 0, type3 = 0;
        if (c >= 0x80) {
            GetStringTypeW(CT_CTYPE1, &c, 1, &type1);
            GetStringTypeW(CT_CTYPE3, &c, 1, &type3);
        }
        const bool mark = type3 & (C3_NONSPACING | C3_VOWELMARK | C3_DIACRITIC);
        const bool ascii = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
        const bool start = c == L'_' || (c < 0x80 ? ascii : (type1 & C1_ALPHA) && !mark);
        const bool part = c < 0x80 ? c >= L'0' && c <= L'9' : mark || (type1 & C1_DIGIT);
        if (!(start || (i > 0 && part))) return false;
    }
    return true;
}

struct Attribute {
    std::wstring ns, prefix, local, value;
    unsigned line = 0, column = 0;
    std::wstring Qualified() const { return prefix.empty() ? local : prefix + L":" + local; }
};

// --- reading --------------------------------------------------------------------------------------------

class Reader {
public:
    // `characters`: the length of the text the parser reads, which bounds the number of its nodes.
    Reader(IXmlReader& xml, wpfsim::Application& app, size_t characters)
        : xml_(xml), app_(app), readsLeft_(characters + 2) {}

    void ReadDocument() {
        XmlNodeType type;
        while (Next(type)) {
            if (type != XmlNodeType_Element) continue;
            if (root_) Fail(L"a second root element", Line(), Column());
            root_ = ReadElement(true);
            if (root_ && !dynamic_cast<wpfsim::Window*>(root_)) root_ = &DesignerWindow(*root_);
            if (root_) app_.AddRoot(*root_);
        }
        if (!root_) Fail(L"the document has no root element (a Window)", 0, 0);
    }

    wpfsim::Element* Root() const noexcept { return root_; }

private:
    // A user control at the root shows in a window of its own, as a designer shows it: the window, named
    // after the control's class, takes the control's size (its Width and Height, else what its content
    // needs; d:DesignWidth and d:DesignHeight are skipped, as WPF skips them when it runs).
    wpfsim::Element& DesignerWindow(wpfsim::Element& control) {
        auto& window = app_.Create<wpfsim::Window>(L"System.Windows.Window", L"");
        window.SetTitle(control.ClassName());
        window.SetContentElement(&control);
        return window;
    }

    // The properties of one element that are set: its attributes, its property elements (with their lines)
    // and its content (the line of its first run). Kept without allocations for the usual element.
    struct Assigned {
        const std::vector<Attribute>& attributes;
        std::vector<std::pair<std::wstring, unsigned>> elements;
        unsigned contentLine = 0;
    };

    unsigned Line() {
        UINT line = 0;
        xml_.GetLineNumber(&line);
        return line;
    }
    unsigned Column() {
        UINT column = 0;
        xml_.GetLinePosition(&column);
        return column;
    }

    [[noreturn]] void Fail(std::wstring message, unsigned line, unsigned column) {
        throw XamlError{std::move(message), line, column};
    }

    bool Next(XmlNodeType& type) {
        HRESULT hr = xml_.Read(&type);
        if (hr == S_FALSE) return false;
        // Where the parser noticed the fault, its column says little: the line alone is given.
        if (FAILED(hr)) Fail(ParserFailure(hr), Line(), 0);
        // At a premature end (after whitespace, inside text, after a child element) wine's parser hands back
        // the node before again and again; every node takes at least one character of the text.
        const Place place{type, Line(), Column()};
        if (place == last_ || readsLeft_-- == 0) Fail(ParserFailure(kInputEnd), lastLine_, 0);
        last_ = place;
        if (place.line) lastLine_ = place.line;
        if (type == XmlNodeType_Element) {
            UINT depth = 0;
            xml_.GetDepth(&depth);
            if (depth >= kMaxDepth)
                Fail(L"the elements are nested deeper than " + std::to_wstring(kMaxDepth) + L" levels",
                     Line(), Column());
        }
        return true;
    }

    std::wstring Text(HRESULT (STDMETHODCALLTYPE IXmlReader::*get)(LPCWSTR*, UINT*)) {
        LPCWSTR text = nullptr;
        UINT length = 0;
        if (FAILED((xml_.*get)(&text, &length)) || !text) return {};
        return std::wstring(text, length);
    }

    // The prefix of the current node, also when the parser leaves out one that was never declared.
    std::wstring Prefix() {
        std::wstring prefix = Text(&IXmlReader::GetPrefix);
        if (prefix.empty()) {
            std::wstring qualified = Text(&IXmlReader::GetQualifiedName);
            if (size_t colon = qualified.find(L':'); colon != std::wstring::npos)
                prefix = qualified.substr(0, colon);
        }
        return prefix;
    }

    std::wstring Uri(const std::wstring& prefix) const {
        for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope)
            if (auto it = scope->find(prefix); it != scope->end()) return it->second;
        return {};
    }

    // The attributes of the current element; namespace declarations open a scope of their own.
    std::vector<Attribute> ReadAttributes() {
        std::vector<Attribute> attributes;
        std::map<std::wstring, std::wstring> declared;
        std::unordered_set<std::wstring> seen; // namespace, NUL, local name: neither holds a NUL
        for (HRESULT hr = xml_.MoveToFirstAttribute(); hr == S_OK; hr = xml_.MoveToNextAttribute()) {
            Attribute a{Text(&IXmlReader::GetNamespaceUri), Prefix(), Text(&IXmlReader::GetLocalName),
                        Text(&IXmlReader::GetValue),        Line(),   Column()};
            if (a.ns == kXmlnsNamespace) {
                declared[a.prefix.empty() ? std::wstring() : a.local] = a.value;
                continue;
            }
            if (!seen.insert(a.ns + L'\0' + a.local).second)
                Fail(L"the attribute '" + a.Qualified() + L"' is set twice", a.line, a.column);
            attributes.push_back(std::move(a));
        }
        xml_.MoveToElement();
        scopes_.push_back(std::move(declared));
        for (Attribute& a : attributes)
            if (!a.prefix.empty() && a.ns.empty()) a.ns = Uri(a.prefix);
        for (const Attribute& a : attributes) {
            if (!a.prefix.empty() && a.ns.empty())
                Fail(L"the namespace prefix '" + a.prefix + L"' is not declared", a.line, a.column);
            if (a.ns == xamlns::Compatibility && a.local == L"Ignorable") AddIgnorable(a);
        }
        return attributes;
    }

    void AddIgnorable(const Attribute& a) {
        std::wstring_view rest = a.value;
        while (!rest.empty()) {
            size_t start = rest.find_first_not_of(L" \t\r\n");
            if (start == std::wstring_view::npos) break;
            rest.remove_prefix(start);
            size_t end = std::min(rest.find_first_of(L" \t\r\n"), rest.size());
            std::wstring prefix(rest.substr(0, end));
            rest.remove_prefix(end);
            std::wstring uri = Uri(prefix);
            if (uri.empty())
                Fail(L"mc:Ignorable names the undeclared prefix '" + prefix + L"'", a.line, a.column);
            ignorable_.insert(uri);
        }
    }

    // Reads past the current element's end (for ignorable elements).
    void Skip(bool empty) {
        if (empty) return;
        int depth = 1;
        XmlNodeType type;
        while (depth > 0 && Next(type)) {
            if (type == XmlNodeType_Element && !xml_.IsEmptyElement()) ++depth;
            if (type == XmlNodeType_EndElement) --depth;
        }
    }

    struct Resolved {
        const Type* type;
        std::wstring className;
        bool userClass;
    };

    // The element type and .NET class of the current element.
    Resolved ResolveType(const std::wstring& ns, const std::wstring& local, const std::wstring& prefix,
                         const std::vector<Attribute>& attributes, unsigned line, unsigned column) {
        std::wstring qualified = prefix.empty() ? local : prefix + L":" + local;
        if (ns == xamlns::Presentation) {
            const Type* type = FindType(local);
            if (!type) {
                if (const surface::Class* wpf = surface::FindClass(local)) {
                    if (surface::IsElement(*wpf))
                        Fail(L"'" + qualified +
                                 L"' is not supported: the simulation does not have this WPF element",
                             line, column);
                    Fail(L"'" + qualified +
                             L"' is a WPF value, not an element: it stands only as the value of a "
                             L"property (in a property element such as <Button.Background>)",
                         line, column);
                }
                Fail(L"unknown element '" + qualified + L"'", line, column);
            }
            if (!type->make)
                Fail(L"'" + qualified + L"' is an abstract WPF class and cannot be an element", line, column);
            return {type, type->className, false};
        }
        if (std::wstring_view(ns).starts_with(kClrNamespace)) {
            std::wstring clrNamespace = ns.substr(kClrNamespace.size(), ns.find(L';') - kClrNamespace.size());
            std::wstring className = clrNamespace.empty() ? local : clrNamespace + L"." + local;
            auto base = std::find_if(attributes.begin(), attributes.end(), [](const Attribute& a) {
                return a.ns == xamlns::Sim && a.local == L"Base";
            });
            if (base == attributes.end())
                Fail(L"the user class '" + className +
                         L"' needs the attribute sim:Base (xmlns:sim=\"urn:ovwpf-sim\") naming the WPF class "
                         L"it behaves as",
                     line, column);
            const Type* type = FindType(base->value);
            if (!type || !type->make)
                Fail(L"sim:Base names '" + base->value + L"', which is no WPF class the host knows",
                     base->line, base->column);
            return {type, className, true};
        }
        if (ns.empty() && !prefix.empty())
            Fail(L"the namespace prefix '" + prefix + L"' is not declared", line, column);
        if (ns.empty())
            Fail(L"the element '" + local + L"' is in no namespace (declare xmlns=\"" +
                     std::wstring(xamlns::Presentation) + L"\")",
                 line, column);
        Fail(L"unknown element '" + qualified + L"' (namespace '" + ns + L"')", line, column);
    }

    // Reads the element the parser stands on, with its subtree; null when it is ignorable.
    wpfsim::Element* ReadElement(bool root) {
        const unsigned line = Line(), column = Column();
        const std::wstring local = Text(&IXmlReader::GetLocalName);
        const std::wstring prefix = Prefix();
        const bool empty = xml_.IsEmptyElement();
        std::vector<Attribute> attributes = ReadAttributes();
        std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
        if (ns.empty() && !prefix.empty()) ns = Uri(prefix);
        struct PopScope {
            std::vector<std::map<std::wstring, std::wstring>>& scopes;
            ~PopScope() { scopes.pop_back(); }
        } popScope{scopes_};

        if (ignorable_.count(ns)) {
            Skip(empty);
            return nullptr;
        }
        auto [type, className, userClass] = ResolveType(ns, local, prefix, attributes, line, column);
        const std::wstring qualified = prefix.empty() ? local : prefix + L":" + local;
        if (root && !IsA(*type, L"Window") && !IsA(*type, L"UserControl"))
            Fail(L"the root element must be a Window or a UserControl, not '" + qualified + L"'", line,
                 column);
        ReadDirectives(attributes, root);
        for (const Attribute& a : attributes)
            if (a.ns == xamlns::Xaml && a.local == L"Class") {
                className = a.value;
                codeBehind_ = true;
            }

        Node node{&type->make(app_, className)};
        // As WPF's reader, which numbers the UIElements it makes.
        if (node.element->Kind() == wpfsim::ObjectKind::UIElement) node.element->SetPersistId(++persistIds_);
        bool contentSet = false;
        Assigned assigned{attributes, {}};
        ApplyAttributes(node, *type, userClass, qualified, attributes, contentSet);

        if (!empty) ReadContent(node, *type, qualified, line, column, contentSet, assigned);
        return node.element;
    }

    static bool IsA(const Type& type, std::wstring_view name) {
        for (const Type* t = &type; t; t = t->base ? FindType(t->base) : nullptr)
            if (name == t->name) return true;
        const surface::Class* wpf = SurfaceOf(type);
        return wpf && surface::DerivesFrom(*wpf, name);
    }

    // WPF's class of a simulated kind (a user class's: its base's).
    static const surface::Class* SurfaceOf(const Type& type) {
        for (const Type* t = &type; t; t = t->base ? FindType(t->base) : nullptr)
            if (const surface::Class* wpf = surface::FindClass(t->name)) return wpf;
        return nullptr;
    }

    // The directives of the markup compiler: x:Class, x:Subclass and x:ClassModifier on the root only (the
    // last two beside x:Class), x:FieldModifier beside a name, x:Uid anywhere (localization; no effect).
    void ReadDirectives(const std::vector<Attribute>& attributes, bool root) {
        const Attribute* of[4] = {};
        bool named = false;
        for (const Attribute& a : attributes) {
            if (a.ns.empty() && a.local == L"Name") named = true;
            if (a.ns != xamlns::Xaml) continue;
            if (a.local == L"Name") named = true;
            int i = a.local == L"Class"           ? 0
                    : a.local == L"Subclass"      ? 1
                    : a.local == L"ClassModifier" ? 2
                    : a.local == L"FieldModifier" ? 3
                                                  : -1;
            if (i < 0) continue;
            of[i] = &a;
            if (i < 3 && !root)
                Fail(a.Qualified() + L" is allowed on the root element only", a.line, a.column);
        }
        static const wchar_t* const classModifiers[] = {L"public", L"internal", L"Public", L"Friend"};
        static const wchar_t* const fieldModifiers[] = {L"public",    L"internal", L"private", L"protected",
                                                        L"Public",    L"Friend",   L"Private", L"Protected",
                                                        L"NotPublic", L"Assembly"};
        auto oneOf = [&](const Attribute& a, std::span<const wchar_t* const> names) {
            for (const wchar_t* name : names)
                if (a.value == name) return;
            std::wstring expected;
            for (const wchar_t* name : names)
                expected += (expected.empty() ? L"" : L", ") + std::wstring(name);
            Fail(L"'" + a.value + L"' is no valid value of " + a.Qualified() + L": " + expected +
                     L" expected",
                 a.line, a.column);
        };
        if (of[0] && !IsClassName(of[0]->value))
            Fail(L"'" + of[0]->value +
                     L"' is no valid value of x:Class: a class name (Namespace.Class) expected",
                 of[0]->line, of[0]->column);
        for (int i : {1, 2})
            if (of[i] && !of[0])
                Fail(of[i]->Qualified() + L" needs x:Class on the root", of[i]->line, of[i]->column);
        if (of[1] && !IsClassName(of[1]->value))
            Fail(L"'" + of[1]->value + L"' is no valid value of x:Subclass: a class name expected",
                 of[1]->line, of[1]->column);
        if (of[2]) oneOf(*of[2], classModifiers);
        if (of[3]) {
            if (!named) Fail(L"x:FieldModifier needs x:Name on the same element", of[3]->line, of[3]->column);
            oneOf(*of[3], fieldModifiers);
        }
    }

    // Namespace.Class: identifiers joined by dots.
    static bool IsClassName(std::wstring_view name) {
        if (name.empty()) return false;
        for (size_t start = 0;;) {
            const size_t dot = name.find(L'.', start);
            const std::wstring_view part = name.substr(start, dot - start);
            if (part.empty() || !IsIdentifier(part)) return false;
            if (dot == std::wstring_view::npos) return true;
            start = dot + 1;
        }
    }

    void ApplyAttributes(Node& node, const Type& type, bool userClass, const std::wstring& qualified,
                         const std::vector<Attribute>& attributes, bool& contentSet) {
        const Attribute* named = nullptr;
        for (const Attribute& a : attributes) {
            auto fail = [&](const std::wstring& message) { Fail(message, a.line, a.column); };
            // The simulation's own attributes are read although WPF, told to ignore them, skips them; without
            // that mc:Ignorable WPF refuses the file.
            if (a.ns == xamlns::Sim) {
                if (!ignorable_.count(a.ns))
                    fail(L"the attribute '" + a.Qualified() +
                         L"' needs its prefix in mc:Ignorable (WPF refuses "
                         L"attributes of a namespace it does not know)");
                if (a.local == L"Base") {
                    if (!userClass)
                        fail(L"sim:Base belongs on user classes (elements of a clr-namespace) only");
                    continue;
                }
                const Property* property = FindSimProperty(type, a.local);
                if (!property) fail(L"unknown attribute '" + a.Qualified() + L"' of " + qualified);
                Set(node, *property, a.value, a.Qualified(), a.line, a.column);
                continue;
            }
            if (ignorable_.count(a.ns)) continue;
            if (a.ns == xamlns::Compatibility) {
                if (a.local != L"Ignorable") fail(L"unknown attribute '" + a.Qualified() + L"'");
                continue;
            }
            if (a.ns == xamlns::Xaml) {
                if (a.local == L"Class" || a.local == L"Subclass" || a.local == L"ClassModifier" ||
                    a.local == L"FieldModifier" || a.local == L"Uid")
                    continue;
                if (a.local != L"Name") fail(L"unknown attribute '" + a.Qualified() + L"'");
            } else if (!a.ns.empty()) {
                fail(L"unknown attribute '" + a.Qualified() + L"' (namespace '" + a.ns + L"')");
            }
            if (a.local == L"Name") {
                if (named)
                    fail(L"the element is named twice ('" + named->Qualified() + L"' and '" + a.Qualified() +
                         L"')");
                named = &a;
                SetName(*node.element, a);
                continue;
            }
            const Property* property = nullptr;
            std::wstring_view name = a.local;
            if (size_t dot = a.local.find(L'.'); dot != std::wstring::npos) {
                const std::wstring_view owner = std::wstring_view(a.local).substr(0, dot);
                name = std::wstring_view(a.local).substr(dot + 1);
                property = FindAttachedProperty(owner, name);
                // Owner.Property of the element's own class or a base is the property itself.
                if (!property && IsA(type, owner)) property = FindProperty(type, name);
                if (!property) {
                    ApplyWpfAttached(node.element, SurfaceOf(type), owner, name, a, Value(a));
                    continue;
                }
            } else {
                property = FindProperty(type, a.local);
                if (!property) {
                    ApplyWpfAttribute(node.element, SurfaceOf(type), qualified, a, Value(a));
                    continue;
                }
            }
            // A property that reads its own markup (a column's Binding) gets the text as written.
            const std::wstring value = property->markup ? a.value : Value(a);
            if (type.textProperty && name == type.textProperty) contentSet = true;
            Set(node, *property, value, a.local, a.line, a.column);
            // What the simulation reads without showing it stays readable by name, as WPF's property.
            if (const surface::Class* wpf = SurfaceOf(type); wpf && !IsMarkup(a.value))
                if (const surface::Member* member = surface::FindProperty(*wpf, name))
                    Keep(*node.element, *member, std::wstring(name), value);
        }
    }

    // --- what WPF has and the simulation does not show: read as WPF reads it, then kept without effect or
    // dropped (value objects: brushes, transforms, effects, bindings of commands and keys, triggers)

    static bool IsMarkup(std::wstring_view value) {
        return value.starts_with(L"{") && !value.starts_with(L"{}");
    }

    // An attribute of a property, event or directive that the simulation does not declare, on an element
    // (`element` null on a value object) of WPF's class `wpf`.
    void ApplyWpfAttribute(wpfsim::Element* element, const surface::Class* wpf, const std::wstring& qualified,
                           const Attribute& a, const std::wstring& value) {
        if (const surface::Member* property = wpf ? surface::FindProperty(*wpf, a.local) : nullptr) {
            ReadWpfValue(element, *property, a.local, qualified, a, value);
            return;
        }
        if (wpf && surface::HasEvent(*wpf, a.local, false)) {
            Handler(element, a.local, a);
            return;
        }
        Fail(L"unknown attribute '" + a.local + L"' of " + qualified, a.line, a.column);
    }

    // Owner.Name: an attached property or event of WPF's, or a property of the element's own class.
    void ApplyWpfAttached(wpfsim::Element* element, const surface::Class* wpf, std::wstring_view ownerName,
                          std::wstring_view name, const Attribute& a, const std::wstring& value) {
        if (const surface::Class* owner = surface::FindClass(ownerName)) {
            const surface::Member* property = surface::FindAttached(*owner, name);
            if (!property && wpf && surface::DerivesFrom(*wpf, ownerName))
                property = surface::FindProperty(*owner, name);
            if (property) {
                ReadWpfValue(element, *property, a.local, owner->name, a, value);
                return;
            }
            if (surface::HasEvent(*owner, name, true) ||
                (wpf && surface::DerivesFrom(*wpf, ownerName) && surface::HasEvent(*owner, name, false))) {
                Handler(element, a.local, a);
                return;
            }
        }
        Fail(L"unknown attached property '" + a.local + L"'", a.line, a.column);
    }

    // A value read by the converter of the property's CLR type; what scripts and the host read is kept.
    void ReadWpfValue(wpfsim::Element* element, const surface::Member& property, const std::wstring& name,
                      const std::wstring& owner, const Attribute& a, const std::wstring& value) {
        if (property.flags & surface::member::ReadOnly)
            Fail(L"the property '" + name + L"' of " + owner +
                     L" is read-only: its items go in a property element (<" + owner + L"." + name + L">)",
                 a.line, a.column);
        if (IsMarkup(a.value)) return;
        if (property.converter == surface::Converter::None)
            Fail(L"the property '" + name + L"' of " + owner + L" is not supported (its type " +
                     property.type + L" is not)",
                 a.line, a.column);
        try {
            surface::Convert(property, value);
        } catch (const ValueError& e) {
            Fail(L"'" + value + L"' is no valid value of " + name + L": " + e.message, a.line, a.column);
        }
        if (element) Keep(*element, property, name, value);
    }

    // AutomationProperties for the host; values of the plain types readable by name on the .NET object.
    static void Keep(wpfsim::Element& element, const surface::Member& property, const std::wstring& name,
                     const std::wstring& value) {
        constexpr std::wstring_view automation = L"AutomationProperties.";
        if (std::wstring_view(name).starts_with(automation)) {
            element.SetAutomationProperty(name.substr(automation.size()), value);
            return;
        }
        if (name.find(L'.') != std::wstring::npos) return;
        using surface::Converter;
        switch (property.converter) {
        case Converter::Bool:
            element.KeepValue(name, ov::Variant::Bool(ToBool(value)));
            break;
        case Converter::Int32:
            element.KeepValue(name, ov::Variant::Int(static_cast<LONG>(ToInt32(value))));
            break;
        case Converter::Number:
            element.KeepValue(name, ov::Variant::Double(ToNumber(value)));
            break;
        case Converter::Length:
            element.KeepValue(name, ov::Variant::Double(ToPosition(value)));
            break;
        case Converter::Enum:
            if (const std::optional<long> number = surface::EnumNumber(property, value))
                element.KeepValue(name, ov::Variant::Int(*number));
            break;
        case Converter::Text:
            if (property.type == std::wstring_view(L"string")) element.KeepText(name, value);
            break;
        default:
            break;
        }
    }

    // An event handler: the method of the code-behind, kept on the element; loose XAML has no code-behind.
    void Handler(wpfsim::Element* element, const std::wstring& event, const Attribute& a) {
        if (!codeBehind_)
            Fail(L"the event '" + event + L"' names the handler '" + a.value +
                     L"', but without x:Class on the root there is no code-behind to hold it (WPF refuses "
                     L"event handlers in loose XAML)",
                 a.line, a.column);
        if (!IsIdentifier(a.value) || a.value.empty())
            Fail(L"'" + a.value + L"' is no valid handler of " + event + L": a method's name expected",
                 a.line, a.column);
        if (element) element->AddHandler(event, a.value);
    }

    // The property that an element's content sets where it has a property element too (Content, Items).
    static std::wstring_view ContentProperty(const Type& type) {
        return type.content == Content::Items     ? L"Items"
               : type.content == Content::Inlines ? L"Inlines"
               : type.textProperty                ? type.textProperty
                                                  : L"";
    }

    // WPF sets a property once: an attribute and a property element of it, two property elements, or content
    // before and after a property element are refused. An attribute against the content keeps its own words.
    // `property` empty: a run of content starts.
    void Assign(Assigned& assigned, const Type& type, std::wstring_view property,
                const std::wstring& qualified, unsigned line, unsigned column) {
        const std::wstring_view content = ContentProperty(type);
        auto twice = [&](std::wstring_view name, unsigned first) {
            const std::wstring where = L" is set twice (line " + std::to_wstring(first) + L")";
            Fail(name.empty() ? L"the content of " + qualified + where
                              : L"the property '" + std::wstring(name) + L"' of " + qualified + where,
                 line, column);
        };
        const bool isContent = property.empty() || property == content;
        if (isContent && assigned.contentLine) twice(content, assigned.contentLine);
        for (const auto& [name, first] : assigned.elements)
            if (name == (property.empty() ? content : property)) twice(name, first);
        if (property.empty()) {
            assigned.contentLine = line;
            return;
        }
        for (const Attribute& a : assigned.attributes)
            if (a.ns.empty() && a.local == property) twice(property, a.line);
        assigned.elements.emplace_back(property, line);
    }

    void Set(Node& node, const Property& property, const std::wstring& value, const std::wstring& name,
             unsigned line, unsigned column) {
        try {
            property.set(node, value);
        } catch (const ValueError& e) {
            Fail(L"'" + value + L"' is no valid value of " + name + L": " + e.message, line, column);
        }
    }

    // An attribute's text; of the markup extensions only {x:Null} is understood, "{}" escapes a brace.
    std::wstring Value(const Attribute& a) {
        std::wstring_view value = a.value;
        if (value.starts_with(L"{}")) return std::wstring(value.substr(2));
        if (value.starts_with(L"{") && value != L"{x:Null}")
            Fail(L"the markup extension '" + a.value + L"' is not supported (only {x:Null} is)", a.line,
                 a.column);
        return a.value;
    }

    void SetName(wpfsim::Element& element, const Attribute& a) {
        CheckName(a);
        element.SetName(a.value);
    }

    // A name is an identifier, unique in the file.
    void CheckName(const Attribute& a) {
        if (a.value.empty()) Fail(L"an empty name", a.line, a.column);
        if (!IsIdentifier(a.value))
            Fail(L"the name '" + a.value +
                     L"' is no identifier (a letter or '_', then letters, digits, marks and '_')",
                 a.line, a.column);
        auto [it, added] = names_.emplace(a.value, a.line);
        if (!added)
            Fail(L"the name '" + a.value + L"' is already used (line " + std::to_wstring(it->second) + L")",
                 a.line, a.column);
    }

    // Faults of text content are given at the element's position: parsers place a text node differently
    // (at its start or its end), the element's position is the same everywhere.
    void ReadContent(Node& node, const Type& type, const std::wstring& qualified, unsigned line,
                     unsigned column, bool contentSet, Assigned& assigned) {
        if (type.content == Content::Inlines)
            return ReadInlines(node, type, qualified, line, column, contentSet, &assigned);
        std::wstring text;
        size_t children = 0;
        // A run of content is one setting of the content's property.
        bool inContent = false;
        auto content = [&](unsigned atLine, unsigned atColumn) {
            if (!inContent) Assign(assigned, type, L"", qualified, atLine, atColumn);
            inContent = true;
        };
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType == XmlNodeType_EndElement) break;
            if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA) {
                if (!type.textProperty && type.content != Content::Items)
                    Fail(qualified + L" cannot hold text", line, column);
                content(line, column);
                text += Text(&IXmlReader::GetValue);
                continue;
            }
            if (nodeType != XmlNodeType_Element) continue;
            std::wstring local = Text(&IXmlReader::GetLocalName);
            std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
            if (ns.empty()) ns = Uri(Prefix());
            if (local.find(L'.') != std::wstring::npos && ns == xamlns::Presentation) {
                ReadPropertyElement(node, type, qualified, local, assigned);
                inContent = false;
                continue;
            }
            const unsigned childLine = Line(), childColumn = Column();
            if (ns == kSystemNamespace) {
                if (type.content != Content::Items)
                    Fail(L"the value '" + local +
                             L"' can only be an item of an items control, not content of " + qualified,
                         childLine, childColumn);
                content(childLine, childColumn);
                ReadDataItem(node, local);
                continue;
            }
            if (type.content == Content::None || type.content == Content::Text)
                Fail(qualified + L" cannot hold the element '" + local + L"'", childLine, childColumn);
            if (type.content == Content::Single && contentSet)
                Fail(qualified + L" gets its " + type.textProperty + L" twice (attribute and element)",
                     childLine, childColumn);
            if (type.content == Content::Single && children > 0)
                Fail(qualified + L" holds one element only", childLine, childColumn);
            if (wpfsim::Element* child = ReadElement(false)) {
                content(childLine, childColumn);
                AddTo(node, *child, childLine, childColumn);
                ++children;
            }
        }
        text = NormalizeText(text);
        if (text.empty()) return;
        if (type.content == Content::Items) {
            // Text inside an items control is a string item, as WPF's ItemCollection takes it.
            static_cast<wpfsim::ItemsControl*>(node.element)
                ->AddDataItem(ov::Variant::String(text), L"System.String");
            return;
        }
        if (contentSet || children > 0)
            Fail(qualified + L" gets its " + type.textProperty + L" twice (attribute, text or element)", line,
                 column);
        Set(node, *FindProperty(type, type.textProperty), text, type.textProperty, line, column);
    }

    // Text and inline elements in order (a TextBlock's or a Span's content, or <TextBlock.Inlines>), with
    // XAML's white space rules for text: runs of white space are one space, none at the start and the end,
    // none beside a LineBreak. Text alone in a TextBlock sets its Text; text among elements becomes Runs.
    // `assigned` null: inside the property element, which was assigned already.
    void ReadInlines(Node& node, const Type& type, const std::wstring& qualified, unsigned line,
                     unsigned column, bool contentSet, Assigned* assigned) {
        struct Piece {
            std::wstring text;
            wpfsim::Element* element = nullptr;
            unsigned line = 0, column = 0;
        };
        std::vector<Piece> pieces;
        bool inContent = false, hasText = false;
        auto content = [&](unsigned atLine, unsigned atColumn) {
            if (contentSet)
                Fail(qualified + L" gets its " + type.textProperty + L" twice (attribute, text or element)",
                     atLine, atColumn);
            if (!inContent && assigned) Assign(*assigned, type, L"", qualified, atLine, atColumn);
            inContent = true;
        };
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType == XmlNodeType_EndElement) break;
            if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA ||
                nodeType == XmlNodeType_Whitespace) {
                const std::wstring value = Text(&IXmlReader::GetValue);
                if (nodeType != XmlNodeType_Whitespace) {
                    content(line, column);
                    hasText = true;
                }
                if (pieces.empty() || pieces.back().element) pieces.push_back({});
                pieces.back().text += value;
                continue;
            }
            if (nodeType != XmlNodeType_Element) continue;
            std::wstring local = Text(&IXmlReader::GetLocalName);
            std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
            if (ns.empty()) ns = Uri(Prefix());
            if (local.find(L'.') != std::wstring::npos && ns == xamlns::Presentation) {
                if (!assigned) Fail(qualified + L" holds inline elements only", Line(), Column());
                ReadPropertyElement(node, type, qualified, local, *assigned);
                inContent = false;
                continue;
            }
            const unsigned childLine = Line(), childColumn = Column();
            if (ns == kSystemNamespace)
                Fail(L"the value '" + local + L"' can only be an item of an items control, not content of " +
                         qualified,
                     childLine, childColumn);
            if (wpfsim::Element* child = ReadElement(false)) {
                content(childLine, childColumn);
                pieces.push_back({L"", child, childLine, childColumn});
            }
        }
        const bool elements =
            std::any_of(pieces.begin(), pieces.end(), [](const Piece& p) { return p.element != nullptr; });
        if (!elements) {
            if (!hasText) return;
            std::wstring text;
            for (const Piece& p : pieces)
                text += p.text;
            text = NormalizeText(text);
            if (type.textProperty) {
                Set(node, *FindProperty(type, type.textProperty), text, type.textProperty, line, column);
                return;
            }
            if (!text.empty()) AddTo(node, wpfsim::xaml::MakeRun(app_, text), line, column);
            return;
        }
        for (size_t i = 0; i < pieces.size(); ++i) {
            if (pieces[i].element) {
                AddTo(node, *pieces[i].element, pieces[i].line, pieces[i].column);
                continue;
            }
            std::wstring text;
            for (wchar_t c : pieces[i].text) {
                const bool space = std::iswspace(c) != 0;
                if (space && !text.empty() && text.back() == L' ') continue;
                text += space ? L' ' : c;
            }
            const bool first = i == 0, last = i + 1 == pieces.size();
            if ((first || TrimsSurroundingWhitespace(*pieces[i - 1].element)) && text.starts_with(L' '))
                text.erase(0, 1);
            if ((last || TrimsSurroundingWhitespace(*pieces[i + 1].element)) && text.ends_with(L' '))
                text.pop_back();
            if (!text.empty()) AddTo(node, wpfsim::xaml::MakeRun(app_, text), line, column);
        }
    }

    void AddTo(Node& node, wpfsim::Element& child, unsigned line, unsigned column) {
        try {
            node.element->AddChild(child);
        } catch (const std::invalid_argument&) {
            Fail(L"the element cannot take this child here", line, column);
        }
    }

    // <sys:String>text</sys:String> and the primitives: a data item of the items control.
    void ReadDataItem(Node& node, const std::wstring& local) {
        const unsigned line = Line(), column = Column();
        const bool empty = xml_.IsEmptyElement();
        std::vector<Attribute> own = ReadAttributes();
        scopes_.pop_back();
        if (!own.empty()) Fail(L"sys:" + local + L" takes no attributes", own[0].line, own[0].column);
        std::wstring value;
        XmlNodeType nodeType;
        if (!empty)
            while (Next(nodeType)) {
                if (nodeType == XmlNodeType_EndElement) break;
                if (nodeType == XmlNodeType_Element)
                    Fail(L"sys:" + local + L" holds text only", Line(), Column());
                if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA ||
                    nodeType == XmlNodeType_Whitespace)
                    value += Text(&IXmlReader::GetValue);
            }
        ov::Variant item;
        try {
            if (local == L"String") {
                item = ov::Variant::String(value);
            } else if (local == L"Int32") {
                item = ov::Variant::Int(static_cast<LONG>(ToInt32(value)));
            } else if (local == L"Double") {
                item = ov::Variant::Double(ToNumber(value));
            } else if (local == L"Boolean") {
                item = ov::Variant::Bool(ToBool(value));
            } else {
                Fail(L"sys:" + local + L" is not supported (String, Int32, Double and Boolean are)", line,
                     column);
            }
        } catch (const ValueError& e) {
            Fail(L"'" + value + L"' is no valid sys:" + local + L": " + e.message, line, column);
        }
        static_cast<wpfsim::ItemsControl*>(node.element)->AddDataItem(std::move(item), L"System." + local);
    }

    // Owner.Name as an element: the definition lists of a Grid are the ones understood.
    void ReadPropertyElement(Node& node, const Type& type, const std::wstring& qualified,
                             const std::wstring& local, Assigned& assigned) {
        const unsigned line = Line(), column = Column();
        const bool empty = xml_.IsEmptyElement();
        size_t dot = local.find(L'.');
        std::wstring owner = local.substr(0, dot);
        const std::wstring name = local.substr(dot + 1);
        if (!IsA(type, owner))
            Fail(L"the property element '" + local + L"' is not supported here", line, column);
        Assign(assigned, type, name, qualified, line, column);
        const DefinitionList* list = FindDefinitionList(owner, name);
        if (!list && name == L"Inlines" && type.content == Content::Inlines) {
            std::vector<Attribute> own = ReadAttributes();
            scopes_.pop_back();
            if (!own.empty())
                Fail(L"the property element '" + local + L"' takes no attributes", own[0].line,
                     own[0].column);
            if (!empty) ReadInlines(node, type, local, line, column, false, nullptr);
            return;
        }
        if (!list) {
            // A property of WPF's that the simulation does not take elements for: read as WPF reads it.
            // (Resources are read where resources are.)
            const Property* property = FindProperty(type, name);
            const bool items = name == L"Items" && type.content == Content::Items;
            const surface::Class* wpf = SurfaceOf(type);
            const surface::Member* member = wpf ? surface::FindProperty(*wpf, name) : nullptr;
            if (!items && !(property && property->setElement) && member && name != L"Resources") {
                ReadWpfPropertyElement(&node, property, *member, local, line, column, empty);
                return;
            }
            ReadElementProperty(node, type, local, name, line, column, empty);
            return;
        }
        std::vector<Attribute> own = ReadAttributes();
        scopes_.pop_back();
        if (!own.empty())
            Fail(L"the property element '" + local + L"' takes no attributes", own[0].line, own[0].column);
        if (empty) return;
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType == XmlNodeType_EndElement) break;
            if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA)
                Fail(local + L" cannot hold text", Line(), Column());
            if (nodeType != XmlNodeType_Element) continue;
            const unsigned itemLine = Line(), itemColumn = Column();
            std::wstring item = Text(&IXmlReader::GetLocalName);
            bool itemEmpty = xml_.IsEmptyElement();
            if (item != list->item || Text(&IXmlReader::GetNamespaceUri) != xamlns::Presentation)
                Fail(local + L" holds " + list->item + L" elements only, not '" + item + L"'", itemLine,
                     itemColumn);
            double size = Auto;
            for (const Attribute& a : ReadAttributes()) {
                if (a.local != list->attribute || !a.ns.empty())
                    Fail(L"unknown attribute '" + a.Qualified() + L"' of " + item, a.line, a.column);
                size = DefinitionSize(a);
            }
            scopes_.pop_back();
            (static_cast<wpfsim::Grid&>(*node.element).*(list->target)).push_back(size);
            if (!itemEmpty) Skip(false);
        }
    }

    // <Owner.Property> holding one element (a context menu, a header), or <Owner.Items> holding items.
    void ReadElementProperty(Node& node, const Type& type, const std::wstring& local,
                             const std::wstring& name, unsigned line, unsigned column, bool empty) {
        const Property* property = FindProperty(type, name);
        const bool items = name == L"Items" && type.content == Content::Items;
        const bool collection = property && property->collection;
        if (!items && (!property || !property->setElement))
            Fail(L"the property element '" + local + L"' is not supported here", line, column);
        std::vector<Attribute> own = ReadAttributes();
        scopes_.pop_back();
        if (!own.empty())
            Fail(L"the property element '" + local + L"' takes no attributes", own[0].line, own[0].column);
        size_t count = 0;
        XmlNodeType nodeType;
        if (!empty)
            while (Next(nodeType)) {
                if (nodeType == XmlNodeType_EndElement) break;
                if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA)
                    Fail(local + L" cannot hold text", Line(), Column());
                if (nodeType != XmlNodeType_Element) continue;
                const unsigned childLine = Line(), childColumn = Column();
                std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
                if (ns.empty()) ns = Uri(Prefix());
                if (items && ns == kSystemNamespace) {
                    ReadDataItem(node, Text(&IXmlReader::GetLocalName));
                    continue;
                }
                if (!items && !collection && count > 0)
                    Fail(local + L" holds one element only", childLine, childColumn);
                wpfsim::Element* child = ReadElement(false);
                if (!child) continue;
                ++count;
                if (items) {
                    AddTo(node, *child, childLine, childColumn);
                    continue;
                }
                try {
                    property->setElement(node, *child);
                } catch (const ValueError& e) {
                    Fail(local + L": " + e.message, childLine, childColumn);
                }
            }
        if (!items && !collection && count == 0) Fail(local + L" needs an element", line, column);
    }

    // <Owner.Name> of a WPF property: text read by the property's converter (set when the simulation has
    // the property), or WPF value objects (one, or the items of a collection), read and dropped. `node` null
    // inside a value object.
    void ReadWpfPropertyElement(Node* node, const Property* property, const surface::Member& member,
                                const std::wstring& local, unsigned line, unsigned column, bool empty) {
        std::vector<Attribute> own = ReadAttributes();
        scopes_.pop_back();
        if (!own.empty())
            Fail(L"the property element '" + local + L"' takes no attributes", own[0].line, own[0].column);
        const std::wstring where = L"<" + local + L">";
        std::wstring text;
        size_t count = 0;
        XmlNodeType nodeType;
        if (!empty)
            while (Next(nodeType)) {
                if (nodeType == XmlNodeType_EndElement) break;
                if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA)
                    text += Text(&IXmlReader::GetValue);
                if (nodeType == XmlNodeType_Element) ReadWpfChild(member, where, count);
            }
        text = NormalizeText(text);
        if (text.empty()) return;
        if (count > 0) Fail(where + L" holds both text and elements", line, column);
        if (node && property && property->set) {
            Set(*node, *property, text, member.name, line, column);
            return;
        }
        if (member.converter == surface::Converter::None || (member.flags & surface::member::ReadOnly))
            Fail(where + L" cannot hold text", line, column);
        try {
            surface::Convert(member, text);
        } catch (const ValueError& e) {
            Fail(L"'" + text + L"' is no valid value of " + member.name + L": " + e.message, line, column);
        }
        if (node) Keep(*node->element, member, member.name, text);
    }

    static bool IsCollection(const surface::Member& member) {
        return (member.flags & surface::member::ReadOnly) ||
               std::wstring_view(member.type).ends_with(L"Collection");
    }

    // Whether a value of the class can be the property's value (or an item of its collection): the item
    // type of a collection is its name without "Collection" (or that name's base class, TriggerBase).
    static bool Accepts(const surface::Member& member, const surface::Class& value) {
        std::wstring type = member.type;
        if (IsCollection(member)) {
            if (surface::DerivesFrom(value, type)) return true; // the collection itself
            type.resize(type.size() -
                        std::wstring_view(L"Collection").size() * type.ends_with(L"Collection"));
            if (!surface::FindClass(type) && !surface::FindClass(type + L"Base")) return true;
            return surface::DerivesFrom(value, type) || surface::DerivesFrom(value, type + L"Base");
        }
        // Interfaces (ICommand) and object take any value.
        return !surface::FindClass(type) || surface::DerivesFrom(value, type);
    }

    // A child element where a WPF property takes value objects.
    void ReadWpfChild(const surface::Member& member, const std::wstring& where, size_t& count) {
        const unsigned line = Line(), column = Column();
        const std::wstring local = Text(&IXmlReader::GetLocalName), prefix = Prefix();
        std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
        if (ns.empty()) ns = Uri(prefix);
        const std::wstring qualified = prefix.empty() ? local : prefix + L":" + local;
        if (ignorable_.count(ns)) {
            const bool empty = xml_.IsEmptyElement();
            ReadAttributes();
            scopes_.pop_back();
            Skip(empty);
            return;
        }
        if (ns != xamlns::Presentation)
            Fail(where + L" cannot hold '" + qualified + L"' (a WPF value object is expected)", line, column);
        if (local.find(L'.') != std::wstring::npos)
            Fail(where + L" cannot hold the property element '" + local + L"'", line, column);
        const surface::Class* wpf = surface::FindClass(local);
        if (!wpf) Fail(L"unknown element '" + local + L"'", line, column);
        if (!Accepts(member, *wpf))
            Fail(where + L" takes a " + member.type + L", not a '" + local + L"'", line, column);
        if (surface::IsElement(*wpf))
            Fail(L"the element '" + local + L"' in " + where +
                     L" is not supported: the simulation shows no elements in this property",
                 line, column);
        if (!IsCollection(member) && count > 0) Fail(where + L" holds one element only", line, column);
        ++count;
        ReadValueObject(*wpf, local, line, column);
    }

    // A WPF value object (a brush, a transform, a command binding, a trigger): its attributes and children
    // checked as WPF reads them; it is kept nowhere.
    void ReadValueObject(const surface::Class& wpf, const std::wstring& qualified, unsigned line,
                         unsigned column) {
        const bool empty = xml_.IsEmptyElement();
        std::vector<Attribute> attributes = ReadAttributes();
        struct PopScope {
            std::vector<std::map<std::wstring, std::wstring>>& scopes;
            ~PopScope() { scopes.pop_back(); }
        } popScope{scopes_};
        if (surface::IsAbstract(wpf))
            Fail(L"'" + qualified + L"' is an abstract WPF class and cannot be an element", line, column);
        for (const Attribute& a : attributes) {
            auto unknown = [&] {
                Fail(L"unknown attribute '" + a.Qualified() + L"' of " + qualified, a.line, a.column);
            };
            if (ignorable_.count(a.ns)) continue;
            if (a.ns == xamlns::Compatibility) {
                if (a.local != L"Ignorable") unknown();
                continue;
            }
            if (a.ns == xamlns::Xaml) {
                if (a.local == L"Name") CheckName(a);
                if (a.local != L"Name" && a.local != L"Key" && a.local != L"Uid" && a.local != L"Shared")
                    unknown();
                continue;
            }
            if (!a.ns.empty()) unknown();
            const std::wstring value = Value(a);
            if (size_t dot = a.local.find(L'.'); dot != std::wstring::npos)
                ApplyWpfAttached(nullptr, &wpf, std::wstring_view(a.local).substr(0, dot),
                                 std::wstring_view(a.local).substr(dot + 1), a, value);
            else
                ApplyWpfAttribute(nullptr, &wpf, qualified, a, value);
        }
        if (empty) return;
        const wchar_t* contentName = surface::ContentPropertyOf(wpf);
        const surface::Member* content = contentName ? surface::FindProperty(wpf, contentName) : nullptr;
        std::wstring text;
        size_t count = 0;
        XmlNodeType nodeType;
        while (Next(nodeType)) {
            if (nodeType == XmlNodeType_EndElement) break;
            if (nodeType == XmlNodeType_Text || nodeType == XmlNodeType_CDATA)
                text += Text(&IXmlReader::GetValue);
            if (nodeType != XmlNodeType_Element) continue;
            const std::wstring local = Text(&IXmlReader::GetLocalName);
            std::wstring ns = Text(&IXmlReader::GetNamespaceUri);
            if (ns.empty()) ns = Uri(Prefix());
            if (const size_t dot = local.find(L'.');
                dot != std::wstring::npos && ns == xamlns::Presentation) {
                const unsigned l = Line(), c = Column();
                const std::wstring owner = local.substr(0, dot);
                const surface::Class* ownerClass = surface::FindClass(owner);
                const surface::Member* member =
                    ownerClass && surface::DerivesFrom(wpf, owner)
                        ? surface::FindProperty(*ownerClass, local.substr(dot + 1))
                        : nullptr;
                if (!member) Fail(L"the property element '" + local + L"' is not supported here", l, c);
                ReadWpfPropertyElement(nullptr, nullptr, *member, local, l, c, xml_.IsEmptyElement());
                continue;
            }
            if (!content) Fail(qualified + L" cannot hold the element '" + local + L"'", Line(), Column());
            ReadWpfChild(*content, qualified, count);
        }
        text = NormalizeText(text);
        if (text.empty()) return;
        if (!content || content->converter == surface::Converter::None || count > 0)
            Fail(qualified + L" cannot hold text", line, column);
        try {
            surface::Convert(*content, text);
        } catch (const ValueError& e) {
            Fail(L"'" + text + L"' is no valid value of " + content->name + L": " + e.message, line, column);
        }
    }

    // A row height or column width: a number, Auto, or a star share ("*", "2*"), kept as its negated weight.
    double DefinitionSize(const Attribute& a) {
        std::wstring_view value = a.value;
        try {
            if (value.ends_with(L"*")) {
                value.remove_suffix(1);
                double weight = value.empty() ? 1 : ToNumber(value);
                if (weight <= 0) throw ValueError{L"a positive star weight expected"};
                return -weight;
            }
            return ToLength(value);
        } catch (const ValueError& e) {
            Fail(L"'" + a.value + L"' is no valid value of " + a.local + L": " + e.message, a.line, a.column);
        }
    }

    struct Place {
        XmlNodeType type = XmlNodeType_None;
        unsigned line = 0, column = 0;
        bool operator==(const Place&) const = default;
    };

    IXmlReader& xml_;
    wpfsim::Application& app_;
    size_t readsLeft_;
    // The root names its class (x:Class): the window has code-behind, where event handlers live.
    bool codeBehind_ = false;
    Place last_;
    unsigned lastLine_ = 0;
    wpfsim::Element* root_ = nullptr;
    std::vector<std::map<std::wstring, std::wstring>> scopes_;
    std::set<std::wstring> ignorable_;
    std::map<std::wstring, unsigned> names_;
    LONG persistIds_ = 0;
};

// OVHOST_DISPATCHER=Immediate or Deferred gives every application that mode, whatever its Window says, so
// that whole suites run in either.
void ForceDispatcherMode(wpfsim::Application& app) {
    wchar_t value[32];
    const DWORD length = GetEnvironmentVariableW(kDispatcherVariable, value, 32);
    if (length == 0) return;
    const std::wstring_view mode(value, length < 32 ? length : 0);
    if (mode == L"Immediate")
        app.GetDispatcher().SetMode(wpfsim::DispatcherMode::Immediate);
    else if (mode == L"Deferred")
        app.GetDispatcher().SetMode(wpfsim::DispatcherMode::Deferred);
    else
        throw XamlError{std::wstring(kDispatcherVariable) + L" is neither Immediate nor Deferred"};
}

std::unique_ptr<wpfsim::Application> Read(IStream* stream, size_t characters) {
    CreateXmlReaderFunction create = CreateXmlReaderEntry();
    if (!create) throw XamlError{L"the system's XML parser (xmllite.dll) is not available"};
    ov::ComPtr<IXmlReader> xml;
    HRESULT hr = create(__uuidof(IXmlReader), xml.PutVoid(), nullptr);
    if (SUCCEEDED(hr)) hr = xml->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    // The parser's own limit (256 on Windows and wine) would stop the deepest files the reader takes.
    if (SUCCEEDED(hr)) hr = xml->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxDepth + 1);
    if (SUCCEEDED(hr)) hr = xml->SetInput(stream);
    if (FAILED(hr)) throw XamlError{L"the system's XML parser failed to start (" + Hex(hr) + L")"};

    auto app = std::make_unique<wpfsim::Application>();
    Reader reader(*xml, *app, characters);
    reader.ReadDocument();
    ForceDispatcherMode(*app);
    return app;
}

std::unique_ptr<wpfsim::Application> ReadText(std::string_view bytes) {
    std::string text = Prepare(bytes);
    // XML's most common fault in XAML (Content="Save & Close"): the platform's parser gives only the line,
    // and wine's lets it pass in text.
    if (const size_t at = BareAmpersand(text); at != std::string::npos) {
        Position position;
        position.Advance(text, 0, at);
        throw XamlError{L"malformed XML: a bare '&' (write &amp; for '&')", position.line, position.column};
    }
    // Wine's parser fails an assertion, ending the process, when the text ends right after its byte order
    // mark or its XML declaration; a space after the document means nothing in XML.
    text += ' ';
    ov::ComPtr<IStream> stream = ov::ComPtr<IStream>::Adopt(
        SHCreateMemStream(reinterpret_cast<const BYTE*>(text.data()), static_cast<UINT>(text.size())));
    if (!stream) throw XamlError{L"out of memory"};
    return Read(stream.Get(), text.size());
}

} // namespace

std::unique_ptr<wpfsim::Application> LoadXaml(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        throw XamlError{code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                            ? L"the file does not exist"
                            : L"the file cannot be opened (" + Hex(HRESULT_FROM_WIN32(code)) + L")"};
    }
    struct Close {
        HANDLE file;
        ~Close() { CloseHandle(file); }
    } close{file};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size))
        throw XamlError{L"the file cannot be read (" + Hex(HRESULT_FROM_WIN32(GetLastError())) + L")"};
    if (size.QuadPart > kMaxFileSize) throw XamlError{L"the file is larger than 256 MB"};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        throw XamlError{L"the file cannot be read (" + Hex(HRESULT_FROM_WIN32(GetLastError())) + L")"};
    return ReadText(bytes);
}

std::unique_ptr<wpfsim::Application> ParseXaml(std::string_view utf8) {
    return ReadText(utf8);
}

} // namespace ovhost
