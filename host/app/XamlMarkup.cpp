#include "XamlMarkup.h"

#include <windows.h>

#include <cwctype>

namespace ovhost::markup {

namespace {

class Scanner {
public:
    explicit Scanner(std::wstring_view text) : text_(text) {}

    Extension Read() {
        Extension extension = ReadExtension();
        SkipSpace();
        if (at_ < text_.size())
            throw SyntaxError{L"text after the closing '}' ('" + std::wstring(text_.substr(at_)) + L"')"};
        return extension;
    }

private:
    [[noreturn]] void Unclosed() { throw SyntaxError{L"the markup extension has no closing '}'"}; }

    void SkipSpace() {
        while (at_ < text_.size() && std::iswspace(text_[at_]))
            ++at_;
    }

    // At '{': the name, the arguments, the closing '}'.
    Extension ReadExtension() {
        Extension extension;
        ++at_;
        SkipSpace();
        const size_t start = at_;
        while (at_ < text_.size() && !std::iswspace(text_[at_]) && text_[at_] != L'}' && text_[at_] != L',')
            ++at_;
        extension.name = text_.substr(start, at_ - start);
        if (extension.name.empty()) throw SyntaxError{L"a markup extension needs a name after '{'"};
        if (extension.name.find_first_of(L"{=\"'") != std::wstring::npos)
            throw SyntaxError{L"'" + extension.name + L"' is no markup extension's name"};
        SkipSpace();
        if (at_ >= text_.size()) Unclosed();
        if (text_[at_] == L',') throw SyntaxError{L"a ',' before the first argument"};
        while (text_[at_] != L'}') {
            SkipSpace();
            if (at_ >= text_.size()) Unclosed();
            Argument value;
            std::wstring key;
            bool quoted = false;
            ReadValue(value, quoted);
            SkipSpace();
            if (at_ < text_.size() && text_[at_] == L'=') {
                if (value.extension || quoted || value.text.empty())
                    throw SyntaxError{L"a '=' without a property name before it"};
                key = std::move(value.text);
                ++at_;
                SkipSpace();
                value = {};
                ReadValue(value, quoted);
                SkipSpace();
            }
            if (at_ >= text_.size()) Unclosed();
            if (key.empty()) {
                if (!extension.named.empty())
                    throw SyntaxError{L"the positional argument '" + value.text +
                                      L"' comes after a named one (positional arguments come first)"};
                if (!value.extension && value.text.empty() && !quoted)
                    throw SyntaxError{L"an empty argument"};
                extension.positional.push_back(std::move(value));
            } else {
                for (const auto& [name, _] : extension.named)
                    if (name == key) throw SyntaxError{L"the argument '" + key + L"' is given twice"};
                extension.named.emplace_back(std::move(key), std::move(value));
            }
            if (text_[at_] == L',') {
                ++at_;
                SkipSpace();
                if (at_ >= text_.size()) Unclosed();
                if (text_[at_] == L'}') throw SyntaxError{L"a ',' without an argument after it"};
                continue;
            }
            if (text_[at_] != L'}')
                throw SyntaxError{L"',' or '}' expected after an argument, not '" +
                                  std::wstring(1, text_[at_]) + L"'"};
        }
        ++at_;
        return extension;
    }

    void ReadValue(Argument& value, bool& quoted) {
        quoted = false;
        if (at_ >= text_.size()) Unclosed();
        const wchar_t first = text_[at_];
        if (first == L'\'' || first == L'"') {
            quoted = true;
            ++at_;
            for (;;) {
                if (at_ >= text_.size()) throw SyntaxError{L"a quoted value has no closing quote"};
                wchar_t c = text_[at_++];
                if (c == first) break;
                if (c == L'\\' && at_ < text_.size()) c = text_[at_++];
                value.text += c;
            }
            return;
        }
        if (first == L'{' && !(at_ + 1 < text_.size() && text_[at_ + 1] == L'}')) {
            value.extension = std::make_shared<const Extension>(ReadExtension());
            return;
        }
        // "{}" escapes a value that starts with a brace (StringFormat={}{0:N2}).
        if (first == L'{') at_ += 2;
        int depth = 0;
        size_t end = value.text.size();
        while (at_ < text_.size()) {
            wchar_t c = text_[at_];
            if (depth == 0 && (c == L',' || c == L'}' || c == L'=')) break;
            if (c == L'{') ++depth;
            if (c == L'}') --depth;
            if (c == L'\\' && at_ + 1 < text_.size()) c = text_[++at_];
            value.text += c;
            ++at_;
            if (!std::iswspace(c)) end = value.text.size();
        }
        value.text.resize(end);
    }

    std::wstring_view text_;
    size_t at_ = 0;
};

std::wstring Quote(const Argument& argument) {
    if (argument.extension) return argument.extension->ToString();
    return argument.text;
}

std::wstring Hex(COLORREF color) {
    wchar_t text[16];
    swprintf(text, 16, L"#FF%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}

// SystemColors' members by the system colour each reads.
struct SystemColor {
    const wchar_t* name;
    int index;
};
constexpr SystemColor kSystemColors[] = {
    {L"ActiveBorder", COLOR_ACTIVEBORDER},
    {L"ActiveCaption", COLOR_ACTIVECAPTION},
    {L"ActiveCaptionText", COLOR_CAPTIONTEXT},
    {L"AppWorkspace", COLOR_APPWORKSPACE},
    {L"Control", COLOR_BTNFACE},
    {L"ControlDark", COLOR_BTNSHADOW},
    {L"ControlDarkDark", COLOR_3DDKSHADOW},
    {L"ControlLight", COLOR_3DLIGHT},
    {L"ControlLightLight", COLOR_BTNHIGHLIGHT},
    {L"ControlText", COLOR_BTNTEXT},
    {L"Desktop", COLOR_DESKTOP},
    {L"GradientActiveCaption", COLOR_GRADIENTACTIVECAPTION},
    {L"GradientInactiveCaption", COLOR_GRADIENTINACTIVECAPTION},
    {L"GrayText", COLOR_GRAYTEXT},
    {L"Highlight", COLOR_HIGHLIGHT},
    {L"HighlightText", COLOR_HIGHLIGHTTEXT},
    {L"HotTrack", COLOR_HOTLIGHT},
    {L"InactiveBorder", COLOR_INACTIVEBORDER},
    {L"InactiveCaption", COLOR_INACTIVECAPTION},
    {L"InactiveCaptionText", COLOR_INACTIVECAPTIONTEXT},
    {L"Info", COLOR_INFOBK},
    {L"InfoText", COLOR_INFOTEXT},
    {L"Menu", COLOR_MENU},
    {L"MenuBar", COLOR_MENUBAR},
    {L"MenuHighlight", COLOR_MENUHILIGHT},
    {L"MenuText", COLOR_MENUTEXT},
    {L"ScrollBar", COLOR_SCROLLBAR},
    {L"Window", COLOR_WINDOW},
    {L"WindowFrame", COLOR_WINDOWFRAME},
    {L"WindowText", COLOR_WINDOWTEXT},
};

// SystemParameters' sizes by the system metric each reads (96 dots per inch: a pixel is a unit).
struct SystemSize {
    const wchar_t* name;
    int metric;
};
constexpr SystemSize kSystemSizes[] = {
    {L"PrimaryScreenWidth", SM_CXSCREEN},
    {L"PrimaryScreenHeight", SM_CYSCREEN},
    {L"FullPrimaryScreenWidth", SM_CXFULLSCREEN},
    {L"FullPrimaryScreenHeight", SM_CYFULLSCREEN},
    {L"VirtualScreenWidth", SM_CXVIRTUALSCREEN},
    {L"VirtualScreenHeight", SM_CYVIRTUALSCREEN},
    {L"VerticalScrollBarWidth", SM_CXVSCROLL},
    {L"HorizontalScrollBarHeight", SM_CYHSCROLL},
    {L"VerticalScrollBarButtonHeight", SM_CYVSCROLL},
    {L"HorizontalScrollBarButtonWidth", SM_CXHSCROLL},
    {L"IconWidth", SM_CXICON},
    {L"IconHeight", SM_CYICON},
    {L"SmallIconWidth", SM_CXSMICON},
    {L"SmallIconHeight", SM_CYSMICON},
    {L"CaptionHeight", SM_CYCAPTION},
    {L"MenuBarHeight", SM_CYMENU},
    {L"ThinVerticalBorderWidth", SM_CXBORDER},
    {L"ThinHorizontalBorderHeight", SM_CYBORDER},
    {L"ResizeFrameVerticalBorderWidth", SM_CXSIZEFRAME},
    {L"ResizeFrameHorizontalBorderHeight", SM_CYSIZEFRAME},
    {L"MinimumWindowWidth", SM_CXMIN},
    {L"MinimumWindowHeight", SM_CYMIN},
};

// SystemFonts: the message font for every kind of text, as the system's theme has it.
constexpr const wchar_t* kSystemFontKinds[] = {L"Caption", L"Icon",         L"Menu",
                                               L"Message", L"SmallCaption", L"Status"};

} // namespace

const Argument* Extension::Named(std::wstring_view key) const {
    for (const auto& [name, value] : named)
        if (name == key) return &value;
    return nullptr;
}

std::wstring Extension::ToString() const {
    std::wstring text = L"{" + name;
    bool first = true;
    for (const Argument& argument : positional) {
        text += first ? L" " : L", ";
        text += Quote(argument);
        first = false;
    }
    for (const auto& [key, argument] : named) {
        text += first ? L" " : L", ";
        text += key + L"=" + Quote(argument);
        first = false;
    }
    return text + L"}";
}

Extension Parse(std::wstring_view text) {
    return Scanner(text).Read();
}

std::optional<SystemValue> StaticMember(std::wstring_view owner, std::wstring_view member) {
    auto strip = [&](std::wstring_view suffix) {
        if (!member.ends_with(suffix)) return false;
        member.remove_suffix(suffix.size());
        return true;
    };
    if (owner == L"SystemColors") {
        const bool key = strip(L"Key");
        const bool brush = strip(L"Brush");
        if (!brush && !strip(L"Color")) return std::nullopt;
        for (const SystemColor& color : kSystemColors)
            if (member == color.name) {
                const std::wstring name = std::wstring(color.name) + (brush ? L"Brush" : L"Color");
                if (key)
                    return SystemValue{L"System.Windows.ResourceKey", name + L"Key", L"SystemColors." + name};
                return SystemValue{brush ? L"System.Windows.Media.SolidColorBrush"
                                         : L"System.Windows.Media.Color",
                                   Hex(GetSysColor(color.index)),
                                   {}};
            }
        return std::nullopt;
    }
    if (owner == L"SystemFonts") {
        const bool key = strip(L"Key");
        for (const wchar_t* kind : kSystemFontKinds) {
            const std::wstring_view name(kind);
            if (!member.starts_with(name)) continue;
            const std::wstring_view what = member.substr(name.size());
            SystemValue value;
            if (what == L"FontSize") {
                value = {L"System.Double", L"12", {}};
            } else if (what == L"FontFamily") {
                value = {L"System.Windows.Media.FontFamily", L"Segoe UI", {}};
            } else if (what == L"FontWeight") {
                value = {L"System.Windows.FontWeight", L"Normal", {}};
            } else if (what == L"FontStyle") {
                value = {L"System.Windows.FontStyle", L"Normal", {}};
            } else {
                continue;
            }
            if (key)
                return SystemValue{L"System.Windows.ResourceKey", std::wstring(member) + L"Key",
                                   L"SystemFonts." + std::wstring(member)};
            return value;
        }
        return std::nullopt;
    }
    if (owner == L"SystemParameters") {
        const bool key = strip(L"Key");
        for (const SystemSize& size : kSystemSizes)
            if (member == size.name) {
                if (key)
                    return SystemValue{L"System.Windows.ResourceKey", std::wstring(member) + L"Key",
                                       L"SystemParameters." + std::wstring(member)};
                return SystemValue{L"System.Double", std::to_wstring(GetSystemMetrics(size.metric)), {}};
            }
        return std::nullopt;
    }
    if (owner == L"String" && member == L"Empty") return SystemValue{L"System.String", L"", {}};
    return std::nullopt;
}

} // namespace ovhost::markup
