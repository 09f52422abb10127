#include "XamlInput.h"

#include "Xaml.h"

#include "../log/LogFormat.h"
#include "../services/HostCom.h"

#include <shlwapi.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <map>

namespace ovhost::xamlinput {

namespace {

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

// The code page of a single-byte encoding that Windows has and wine's parser may not know (a file saved as
// "Windows-1252" by an older editor), or 0.
unsigned SingleByteCodePage(const std::string& encoding) {
    if (encoding.starts_with("windows-125") && encoding.size() == 12 && encoding[11] >= '0' &&
        encoding[11] <= '8')
        return 1250 + static_cast<unsigned>(encoding[11] - '0');
    static const std::map<std::string, unsigned> pages = {{"iso-8859-1", 28591}, {"latin1", 28591},
                                                          {"iso-8859-2", 28592}, {"iso-8859-15", 28605},
                                                          {"us-ascii", 20127},   {"ascii", 20127}};
    auto it = pages.find(encoding);
    return it == pages.end() ? 0 : it->second;
}

// The declaration's encoding blanked out, so that the parser reads the text as UTF-8 with every position
// kept.
void BlankEncoding(std::string& utf8) {
    if (!utf8.starts_with("<?xml")) return;
    const size_t end = utf8.find("?>"), at = utf8.find("encoding", 5);
    const size_t open = at < end ? utf8.find_first_of("\"'", at) : std::string::npos;
    const size_t close = open < end ? utf8.find(utf8[open], open + 1) : std::string::npos;
    if (close < end)
        std::fill(utf8.begin() + static_cast<std::ptrdiff_t>(at),
                  utf8.begin() + static_cast<std::ptrdiff_t>(close + 1), ' ');
}

// UTF-16 is checked and substituted as UTF-8 is, and given to the parser as UTF-8, and so is a single-byte
// encoding of Windows (converted by the system); a file that declares another encoding is the parser's
// alone. Without the mark, a file that starts with '<' in UTF-16 is UTF-16,
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
        if (encoding.empty() || encoding == "utf-8") return Substitute(text);
        const unsigned page = SingleByteCodePage(encoding);
        if (!page || body.size() > INT_MAX) return std::string(text);
        const int size = static_cast<int>(body.size());
        const int length = MultiByteToWideChar(page, 0, body.data(), size, nullptr, 0);
        std::wstring wide(static_cast<size_t>(length), L'\0');
        MultiByteToWideChar(page, 0, body.data(), size, wide.data(), length);
        std::string utf8(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0,
                                                                 nullptr, nullptr)),
                         '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), static_cast<int>(utf8.size()),
                            nullptr, nullptr);
        utf8 = Substitute(utf8);
        BlankEncoding(utf8);
        return utf8;
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
    // read): it reads the same text as UTF-8.
    BlankEncoding(utf8);
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

} // namespace

std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

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

// --- files ----------------------------------------------------------------------------------------------

std::string ReadFileBytes(const std::wstring& path) {
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
    return bytes;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    return length > 0 && length < MAX_PATH * 4 ? std::wstring(full, length) : path;
}

// The folder of a file's path, with its trailing separator ("" for a bare name).
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// The parser over the text, ready at its start; `characters` bounds the number of its nodes.
ov::ComPtr<IXmlReader> OpenXml(std::string_view bytes, size_t& characters) {
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
    // It also finds no root after white space at the start (a file that begins with an empty line) unless
    // an XML declaration comes first; one on that first, blank line moves no node's place.
    const size_t start = std::string_view(text).starts_with("\xEF\xBB\xBF") ? 3 : 0;
    if (const size_t first = text.find_first_not_of(" \t\r\n", start);
        first != std::string::npos && first > start && text.find('\n', start) < first)
        text.insert(start, "<?xml version=\"1.0\"?>");
    characters = text.size();
    ov::ComPtr<IStream> stream = ov::ComPtr<IStream>::Adopt(
        SHCreateMemStream(reinterpret_cast<const BYTE*>(text.data()), static_cast<UINT>(text.size())));
    if (!stream) throw XamlError{L"out of memory"};
    CreateXmlReaderFunction create = CreateXmlReaderEntry();
    if (!create) throw XamlError{L"the system's XML parser (xmllite.dll) is not available"};
    ov::ComPtr<IXmlReader> xml;
    HRESULT hr = create(__uuidof(IXmlReader), xml.PutVoid(), nullptr);
    if (SUCCEEDED(hr)) hr = xml->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    // The parser's own limit (256 on Windows and wine) would stop the deepest files the reader takes.
    if (SUCCEEDED(hr)) hr = xml->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxDepth + 1);
    if (SUCCEEDED(hr)) hr = xml->SetInput(stream.Get());
    if (FAILED(hr)) throw XamlError{L"the system's XML parser failed to start (" + Hex(hr) + L")"};
    return xml;
}

namespace {

std::wstring Get(IXmlReader& xml, HRESULT (STDMETHODCALLTYPE IXmlReader::*get)(LPCWSTR*, UINT*)) {
    LPCWSTR text = nullptr;
    UINT length = 0;
    if (FAILED((xml.*get)(&text, &length)) || !text) return {};
    return std::wstring(text, length);
}

XmlNode RecordOne(IXmlReader& xml, XmlNodeType type) {
    XmlNode node;
    node.type = type;
    node.prefix = Get(xml, &IXmlReader::GetPrefix);
    node.local = Get(xml, &IXmlReader::GetLocalName);
    node.ns = Get(xml, &IXmlReader::GetNamespaceUri);
    node.qualified = Get(xml, &IXmlReader::GetQualifiedName);
    node.value = Get(xml, &IXmlReader::GetValue);
    xml.GetLineNumber(&node.line);
    xml.GetLinePosition(&node.column);
    xml.GetDepth(&node.depth);
    return node;
}

// Kept nodes read as the parser reads a document; the reader asks nothing else of the parser.
class ReplayReader : public IXmlReader, public HostObjectBase {
public:
    using Interfaces = ov::Interfaces<IXmlReader>;
    explicit ReplayReader(std::shared_ptr<const std::vector<XmlNode>> nodes) : nodes_(std::move(nodes)) {}

    HRESULT STDMETHODCALLTYPE SetInput(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetProperty(UINT, LONG_PTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetProperty(UINT, LONG_PTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Read(XmlNodeType* type) override {
        attribute_ = -1;
        if (next_ >= nodes_->size()) {
            current_ = nullptr;
            if (type) *type = XmlNodeType_None;
            return S_FALSE;
        }
        current_ = &(*nodes_)[next_++];
        if (type) *type = current_->type;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetNodeType(XmlNodeType* type) override {
        if (!type) return E_INVALIDARG;
        *type = !current_ ? XmlNodeType_None : attribute_ >= 0 ? XmlNodeType_Attribute : current_->type;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE MoveToFirstAttribute() override {
        if (!current_ || current_->attributes.empty()) return S_FALSE;
        attribute_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE MoveToNextAttribute() override {
        if (!current_) return S_FALSE;
        if (static_cast<size_t>(attribute_ + 1) >= current_->attributes.size()) return S_FALSE;
        ++attribute_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE MoveToAttributeByName(LPCWSTR, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MoveToElement() override {
        attribute_ = -1;
        return current_ ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetQualifiedName(LPCWSTR* text, UINT* length) override {
        return Give(&XmlNode::qualified, text, length);
    }
    HRESULT STDMETHODCALLTYPE GetNamespaceUri(LPCWSTR* text, UINT* length) override {
        return Give(&XmlNode::ns, text, length);
    }
    HRESULT STDMETHODCALLTYPE GetLocalName(LPCWSTR* text, UINT* length) override {
        return Give(&XmlNode::local, text, length);
    }
    HRESULT STDMETHODCALLTYPE GetPrefix(LPCWSTR* text, UINT* length) override {
        return Give(&XmlNode::prefix, text, length);
    }
    HRESULT STDMETHODCALLTYPE GetValue(LPCWSTR* text, UINT* length) override {
        return Give(&XmlNode::value, text, length);
    }
    HRESULT STDMETHODCALLTYPE ReadValueChunk(WCHAR*, UINT, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBaseUri(LPCWSTR*, UINT*) override { return E_NOTIMPL; }
    WINBOOL STDMETHODCALLTYPE IsDefault() override { return FALSE; }
    WINBOOL STDMETHODCALLTYPE IsEmptyElement() override { return current_ && current_->empty; }
    HRESULT STDMETHODCALLTYPE GetLineNumber(UINT* line) override { return Give(&XmlNode::line, line); }
    HRESULT STDMETHODCALLTYPE GetLinePosition(UINT* column) override {
        return Give(&XmlNode::column, column);
    }
    HRESULT STDMETHODCALLTYPE GetAttributeCount(UINT* count) override {
        if (!count) return E_INVALIDARG;
        *count = current_ ? static_cast<UINT>(current_->attributes.size()) : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDepth(UINT* depth) override { return Give(&XmlNode::depth, depth); }
    WINBOOL STDMETHODCALLTYPE IsEOF() override { return next_ >= nodes_->size() && !current_; }

private:
    const XmlNode* Current() const noexcept {
        return attribute_ >= 0 ? &current_->attributes[static_cast<size_t>(attribute_)] : current_;
    }
    HRESULT Give(UINT XmlNode::*member, UINT* number) const {
        if (!number) return E_INVALIDARG;
        *number = Current() ? Current()->*member : 0;
        return S_OK;
    }
    HRESULT Give(std::wstring XmlNode::*member, LPCWSTR* text, UINT* length) const {
        if (!text) return E_INVALIDARG;
        const XmlNode* node = Current();
        *text = node ? (node->*member).c_str() : L"";
        if (length) *length = node ? static_cast<UINT>((node->*member).size()) : 0;
        return S_OK;
    }

    std::shared_ptr<const std::vector<XmlNode>> nodes_;
    size_t next_ = 0;
    const XmlNode* current_ = nullptr;
    long attribute_ = -1;
};

} // namespace

XmlNode RecordNode(IXmlReader& xml, XmlNodeType type) {
    XmlNode node = RecordOne(xml, type);
    if (type != XmlNodeType_Element) return node;
    node.empty = xml.IsEmptyElement();
    for (HRESULT hr = xml.MoveToFirstAttribute(); hr == S_OK; hr = xml.MoveToNextAttribute())
        node.attributes.push_back(RecordOne(xml, XmlNodeType_Attribute));
    xml.MoveToElement();
    return node;
}

ov::ComPtr<IXmlReader> ReplayXml(std::shared_ptr<const std::vector<XmlNode>> nodes) {
    return ov::ComPtr<IXmlReader>(ov::Create<ReplayReader>(std::move(nodes)));
}

} // namespace ovhost::xamlinput
