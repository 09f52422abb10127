// The XAML reader: WPF's names become elements of the simulated application with their properties and a
// place on the screen; everything it does not know is an error with its position.
#include "HostFixture.h"

#include "host/app/Xaml.h"
#include "wpfsim/Buttons.h"
#include "wpfsim/TextBlock.h"
#include "wpfsim/Window.h"

#include <chrono>
#include <cstdio>
#include <future>

namespace {

using hosttest::Narrow;

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    return wide;
}

std::string Window(const std::string& content, const std::string& extra = "") {
    return "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"\n"
           "        xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\" " +
           extra + ">\n" + content + "\n</Window>\n";
}

template <class T = wpfsim::Element> T& Named(wpfsim::Application& app, const wchar_t* name) {
    if (auto* typed = dynamic_cast<T*>(app.Find(name))) return *typed;
    throw std::runtime_error("no element " + Narrow(name) + " of the class expected");
}

// An element's text (Content, Text or Title) and state (IsChecked).
std::wstring Shown(const wpfsim::Element& e) {
    std::wstring text;
    if (auto* b = dynamic_cast<const wpfsim::ButtonBase*>(&e)) text = b->Content();
    if (auto* t = dynamic_cast<const wpfsim::TextBlock*>(&e)) text = t->Text();
    if (auto* w = dynamic_cast<const wpfsim::Window*>(&e)) text = w->Title();
    if (auto* t = dynamic_cast<const wpfsim::ToggleButton*>(&e))
        text += !t->IsChecked() ? L" (null)" : *t->IsChecked() ? L" (true)" : L" (false)";
    return text;
}

// The reader's error for `xaml`: its message and position.
void ExpectXamlError(const std::string& xaml, const std::wstring& message, unsigned line, unsigned column) {
    SCOPED_TRACE(xaml);
    try {
        ovhost::ParseXaml(xaml);
        ADD_FAILURE() << "read without error";
    } catch (const ovhost::XamlError& e) {
        EXPECT_EQ(e.message, message) << Narrow(e.message);
        EXPECT_EQ((std::pair{e.line, e.column}), (std::pair{line, column}));
    }
}

// The reader's error for `xaml`, which must come within a few seconds: a reader that loops for ever ends the
// test program (it could not be stopped otherwise).
void ExpectXamlErrorSoon(const std::string& xaml, const std::wstring& message, unsigned line,
                         unsigned column) {
    auto parse = std::async(std::launch::async, [xaml] {
        try {
            ovhost::ParseXaml(xaml);
        } catch (const ovhost::XamlError& e) {
            return e;
        }
        return ovhost::XamlError{L"read without error"};
    });
    if (parse.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        std::printf("[  FAILED  ] the reader did not finish within 10 s: %s\n", xaml.c_str());
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 1);
    }
    const ovhost::XamlError e = parse.get();
    EXPECT_EQ(e.message, message) << xaml << "\n" << Narrow(e.message);
    EXPECT_EQ((std::pair{e.line, e.column}), (std::pair{line, column})) << xaml;
}

// The rest of what it does not know is in xaml.table, whose window declares the namespaces.
TEST(XamlTest, WhatItDoesNotKnowIsAnErrorWithItsPosition) {
    const std::tuple<std::string, std::wstring, unsigned, unsigned> cases[] = {
        {Window("  <ComboBox sim:NeverOpens=\"True\"/>", "xmlns:sim=\"urn:ovwpf-sim\""),
         L"the attribute 'sim:NeverOpens' needs its prefix in mc:Ignorable (WPF refuses attributes of a "
         L"namespace it does not know)",
         3, 13},
        {"<StackPanel xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"/>",
         L"the root element must be a Window, a Page or a UserControl, not 'StackPanel'", 1, 2},
        {"", L"malformed XML: the file ends before the document does (0xC00CEE01)", 1, 0},
    };
    for (const auto& [xaml, message, line, column] : cases)
        ExpectXamlError(xaml, message, line, column);
}

// The bytes of the file and the characters its references name: what XML refuses is an error at its place;
// a character beyond U+FFFF is kept whole, as a surrogate pair.
TEST(XamlTest, BytesAndCharactersThatXmlRefusesAreErrorsWithTheirPosition) {
    const std::wstring refused = L"' names a character that XML does not allow";
    const std::tuple<std::string, std::wstring, unsigned, unsigned> cases[] = {
        {Window("  <Button Content=\"a\xFF\"/>"), L"invalid UTF-8 (byte 0xFF)", 3, 21},
        {Window("  <Button Content=\"\xC3\xA9\xE2\x82\xAC\x80\"/>"), L"invalid UTF-8 (byte 0x80)", 3, 22},
        {Window("  <Button Content=\"\xC0\xAF\"/>"), L"invalid UTF-8 (byte 0xC0)", 3, 20},
        {Window("  <Button Content=\"\xE0\x80\xAF\"/>"), L"invalid UTF-8 (byte 0xE0)", 3, 20},
        {Window("  <Button Content=\"\xED\xA0\x80\"/>"), L"invalid UTF-8 (byte 0xED)", 3, 20},
        {Window("  <Button Content=\"\xF4\x90\x80\x80\"/>"), L"invalid UTF-8 (byte 0xF4)", 3, 20},
        {Window("  <Button Content=\"\xE2\x82\"/>"), L"invalid UTF-8 (byte 0xE2)", 3, 20},
        {Window("\r\n\r\r\n  <!-- \xFE -->"), L"invalid UTF-8 (byte 0xFE)", 6, 8},
        {"<Window/>\xF0\x9F\x98", L"invalid UTF-8 (byte 0xF0)", 1, 10},
        {Window("  <Button Content=\"&#xD800;\"/>"), L"the character reference '&#xD800;" + refused, 3, 20},
        {Window("  <Button>x &#56320;</Button>"), L"the character reference '&#56320;" + refused, 3, 13},
        {Window("  <Button Content=\"&#0;\"/>"), L"the character reference '&#0;" + refused, 3, 20},
        {Window("  <Button Content=\"&#x1F;\"/>"), L"the character reference '&#x1F;" + refused, 3, 20},
        {Window("  <Button Content=\"&#xFFFE;\"/>"), L"the character reference '&#xFFFE;" + refused, 3, 20},
        {Window("  <Button Content=\"&#x110000;\"/>"), L"the character reference '&#x110000;" + refused, 3,
         20},
        {Window("  <Button Content=\"&#99999999999999999999;\"/>"),
         L"the character reference '&#99999999999999999999;" + refused, 3, 20},
    };
    for (const auto& [xaml, message, line, column] : cases)
        ExpectXamlError(xaml, message, line, column);
}

// 256 levels (the window and 255 borders) are read; one more is refused where it starts, in words also
// where the parser's own limit would have stopped it.
TEST(XamlTest, ElementsNestedDeeperThan256LevelsAreAnError) {
    std::string open, close;
    for (int i = 0; i < 255; ++i)
        open += "<Border>", close += "</Border>";
    EXPECT_NO_THROW(ovhost::ParseXaml(Window(open + close)));
    for (int extra : {1, 10000}) {
        std::string deeper, closing;
        for (int i = 0; i < extra; ++i)
            deeper += "<Border>", closing += "</Border>";
        ExpectXamlError(Window(open + deeper + closing + close),
                        L"the elements are nested deeper than 256 levels", 3,
                        static_cast<unsigned>(open.size() + 2));
    }
}

TEST(XamlTest, CharactersBeyondU0000FFFFAreKeptWhole) {
    auto app = ovhost::ParseXaml("\xEF\xBB\xBF" + Window(R"(  <StackPanel>
    <Button x:Name="hex" Content="&#x1F600;"/>
    <Button x:Name="decimal">&#128512;</Button>
    <Button x:Name="mixed" Content="a&#x10FFFF;b&#xE9;&#65;&amp;#x1F600;"/>
    <Button x:Name="raw" Content=")"
                                                         "\xF0\x9F\x98\x80"
                                                         R"("/>
    <Button x:Name="cdata"><![CDATA[&#x1F600;&#xD800;]]></Button>
    <!-- &#xD800; &#0; -->
    <?note &#xD800;?>
    <TextBlock x:Name="after" Text="&#x1F600; &#x1F600;"/>
  </StackPanel>)"));
    const std::pair<const wchar_t*, std::wstring> expected[] = {
        {L"hex", L"\xD83D\xDE00"},
        {L"decimal", L"\xD83D\xDE00"},
        {L"mixed", L"a\xDBFF\xDFFF"
                   L"b\u00E9A&#x1F600;"},
        {L"raw", L"\xD83D\xDE00"},
        {L"cdata", L"&#x1F600;&#xD800;"},
        {L"after", L"\xD83D\xDE00 \xD83D\xDE00"},
    };
    for (const auto& [name, shown] : expected)
        EXPECT_EQ(Shown(Named(*app, name)), shown) << Narrow(name);
}

// A UTF-16 file is read as a UTF-8 one is, and so is one in a single-byte code page of Windows.
TEST(XamlTest, FilesInOtherEncodingsAreTheParsersToRead) {
    std::wstring wide = L"\xFEFF" + Wide(Window("  <Button x:Name=\"b\" Content=\"\u00E9&#x1F600;\"/>"));
    std::string utf16(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    try {
        auto app = ovhost::ParseXaml(utf16);
        EXPECT_EQ(Named<wpfsim::Button>(*app, L"b").Content(), L"\u00E9\xD83D\xDE00");
        app = ovhost::ParseXaml("<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n" +
                                Window("  <!-- \xE9 --><Button x:Name=\"b\" Content=\"e\"/>"));
        EXPECT_EQ(Named<wpfsim::Button>(*app, L"b").Content(), L"e");
        app = ovhost::ParseXaml("<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\n" +
                                Window("  <Button x:Name=\"b\" Content=\"\xE9\x80\"/>"));
        EXPECT_EQ(Named<wpfsim::Button>(*app, L"b").Content(), L"\u00E9\u20AC");
        std::string big;
        for (wchar_t c : wide)
            big += static_cast<char>(c >> 8), big += static_cast<char>(c & 0xFF);
        EXPECT_EQ(Named<wpfsim::Button>(*ovhost::ParseXaml(big), L"b").Content(), L"\u00E9\xD83D\xDE00");
    } catch (const ovhost::XamlError& e) {
        ADD_FAILURE() << Narrow(e.ToString());
    }
    std::wstring lone = L"\xFEFF" + Wide(Window("  <Button Content=\"\u00E9?\"/>"));
    lone[lone.find(L'?')] = L'\xDC00';
    try {
        ovhost::ParseXaml(
            std::string(reinterpret_cast<const char*>(lone.data()), lone.size() * sizeof(wchar_t)));
        ADD_FAILURE() << "read without error";
    } catch (const ovhost::XamlError& e) {
        EXPECT_EQ(e.ToString(), L"line 3, column 21: invalid UTF-16 (unit 0xDC00)");
    }
}

// Attributes are many only in generated files; they are read in linear time, the repeated one still found.
TEST(XamlTest, ManyAttributesAndTheOneSetTwice) {
    std::string attributes;
    for (int i = 0; i < 20000; ++i)
        attributes += " d:a" + std::to_string(i) + "=\"v\"";
    const std::string ignorable = "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
                                  "xmlns:d=\"urn:designer\" mc:Ignorable=\"d\"";
    EXPECT_NO_THROW(ovhost::ParseXaml(Window("  <Button" + attributes + "/>", ignorable)));
    ExpectXamlError(Window("  <Button" + attributes + " d:a7=\"w\"/>", ignorable),
                    L"the attribute 'd:a7' is set twice", 3, static_cast<unsigned>(11 + attributes.size()));
}

// A file cut anywhere ends with an error: wine's parser hands back the last node again at a premature end,
// and fails an assertion on a file that ends right after its byte order mark or its declaration.
TEST(XamlTest, TruncatedFilesEndWithAnError) {
    const std::string root = "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\">";
    const std::wstring end = L"malformed XML: the file ends before the document does (0xC00CEE01)";
    const std::wstring none = L"the document has no root element (a Window)";
    const std::tuple<std::string, std::wstring, unsigned> cases[] = {
        {root + "\n  ", end, 1},
        {root + "\n<StackPanel>\n  <Button>O", end, 3},
        {root + "<StackPanel><Button/>", end, 1},
        {root + "<StackPanel>\n", end, 1},
        {"\xEF\xBB\xBF", none, 0},
        {"\xEF\xBB\xBF<", L"malformed XML: the parser refused it (0xC00CEE61)", 1},
        {"<?xml version=\"1.0\"?>", none, 0},
        {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>", none, 0},
        {"<?xml version=\"1.0\" encoding=\"utf-16\"?>", none, 0},
    };
    for (const auto& [xaml, message, line] : cases)
        ExpectXamlErrorSoon(xaml, message, line, 0);
}

// What XML and WPF's XAML parser refuse although wine's parser lets it pass.
TEST(XamlTest, WhatWpfRefusesAndThePlatformsParserTakesIsAnError) {
    const std::wstring identifier =
        L"' is no identifier (a letter or '_', then letters, digits, marks and '_')";
    const std::tuple<std::string, std::wstring, unsigned, unsigned> cases[] = {
        {Window("  <Button Content=\"a\xEF\xBF\xBE\"/>"), L"the character U+FFFE is not allowed in XML", 3,
         21},
        {Window("  <Button>\xEF\xBF\xBF</Button>"), L"the character U+FFFF is not allowed in XML", 3, 11},
        {Window("  <Button Content=\"\x01\"/>"), L"the character U+0001 is not allowed in XML", 3, 20},
        {Window("  <!-- \x0B -->"), L"the character U+000B is not allowed in XML", 3, 8},
        {Window("  <Button>a\x1F</Button>"), L"the character U+001F is not allowed in XML", 3, 12},
        {std::string("<Window\0/>", 10), L"the character U+0000 is not allowed in XML", 1, 8},
        {Window("  <Button x:Name=\"smile\xF0\x9F\x98\x80\"/>"), L"the name 'smile\xD83D\xDE00" + identifier,
         3, 11},
        {Window("  <Button x:Name=\"a-b\"/>"), L"the name 'a-b" + identifier, 3, 11},
    };
    for (const auto& [xaml, message, line, column] : cases)
        ExpectXamlError(xaml, message, line, column);

    // WPF's identifiers beyond ASCII, and content on both sides of text that is only white space.
    std::unique_ptr<wpfsim::Application> app;
    try {
        app = ovhost::ParseXaml(Window("  <StackPanel>\n"
                                       "    <Button x:Name=\"_1\"/>\n"
                                       "    <Button x:Name=\"gr\xC3\xB6\xC3\x9F"
                                       "e\"/>\n"
                                       "    <Button x:Name=\"\xE5\x90\x8D\xE5\x89\x8D\"/>\n"
                                       "    <Button x:Name=\"cafe\xCC\x81\"/>\n"
                                       "    <Button x:Name=\"ok\">  OK  <Button.ContextMenu><ContextMenu/>"
                                       "</Button.ContextMenu>\n    </Button>\n"
                                       "  </StackPanel>"));
    } catch (const ovhost::XamlError& e) {
        FAIL() << Narrow(e.ToString());
    }
    for (const wchar_t* name : {L"_1", L"gr\u00F6\u00DFe", L"\u540D\u524D", L"cafe\u0301", L"ok"})
        EXPECT_NE(app->Find(name), nullptr) << Narrow(name);
}

// UTF-16 without its byte order mark is read as .NET's XML reader detects it (a '<' first), and checked and
// substituted as with the mark.
TEST(XamlTest, Utf16WithoutItsByteOrderMarkIsReadAsWithIt) {
    auto encode = [](const std::wstring& wide, bool big) {
        std::string bytes;
        for (wchar_t c : wide) {
            const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
            bytes += big ? high : low;
            bytes += big ? low : high;
        }
        return bytes;
    };
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        try {
            auto app = ovhost::ParseXaml(
                encode(Wide(Window("  <Button x:Name=\"b\" Content=\"&#x1F600;\"/>")), big));
            EXPECT_EQ(Named<wpfsim::Button>(*app, L"b").Content(), L"\xD83D\xDE00");
        } catch (const ovhost::XamlError& e) {
            ADD_FAILURE() << Narrow(e.ToString());
        }
        // Long values, which wine's parser reads wrongly in UTF-16; the declared encoding stays the file's.
        const std::string declared = "<?xml version=\"1.0\" encoding=\"utf-16\"?>\n";
        for (size_t length = 1000; length <= 9000; length += 1000)
            try {
                auto app = ovhost::ParseXaml(
                    encode(L"\xFEFF" + Wide(declared + Window("  <Button x:Name=\"b\" Content=\"" +
                                                              std::string(length, 'a') + "\"/>")),
                           big));
                EXPECT_EQ(Named<wpfsim::Button>(*app, L"b").Content().size(), length);
            } catch (const ovhost::XamlError& e) {
                ADD_FAILURE() << length << ": " << Narrow(e.ToString());
            }
        ExpectXamlError(encode(Wide(Window("  <Button Content=\"&#xD800;\"/>")), big),
                        L"the character reference '&#xD800;' names a character that XML does not allow", 3,
                        20);
        ExpectXamlError(encode(Wide(Window("  <Button Content=\"\uFFFF\"/>")), big),
                        L"the character U+FFFF is not allowed in XML", 3, 20);
    }
}

} // namespace
