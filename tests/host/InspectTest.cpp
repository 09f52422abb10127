// OVHookX64 inspect in the test's own process: the JSON document is valid JSON and holds the same tree as
// the text, quotes and backslashes (the statements, a Windows path) survive it, and the command's exit
// codes. tests/scripts/check-inspect.sh checks the trees of the demo and the test application.
#include "HostFixture.h"

#include "host/CommandLine.h"

#include <algorithm>
#include <cwctype>
#include <functional>
#include <optional>

using namespace hosttest;

namespace {

// A JSON value, parsed strictly (RFC 8259): objects keep their members' order.
struct Json {
    enum Type { Null, Bool, Number, String, Array, Object } type = Null;
    bool flag = false;
    double number = 0;
    std::wstring text;
    std::vector<Json> items;
    std::vector<std::pair<std::wstring, Json>> members;

    const Json* Member(std::wstring_view name) const {
        for (const auto& [key, value] : members)
            if (key == name) return &value;
        return nullptr;
    }
};

class JsonParser {
public:
    explicit JsonParser(std::wstring_view text) : text_(text) {}
    // Null when the text is not one JSON value.
    std::optional<Json> Document() {
        std::optional<Json> value = Value();
        Space();
        if (!value || at_ != text_.size()) return std::nullopt;
        return value;
    }

private:
    void Space() {
        while (at_ < text_.size() &&
               (text_[at_] == L' ' || text_[at_] == L'\n' || text_[at_] == L'\r' || text_[at_] == L'\t'))
            ++at_;
    }
    bool Take(std::wstring_view word) {
        if (text_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }
    std::optional<Json> Value() {
        Space();
        if (at_ == text_.size()) return std::nullopt;
        Json value;
        const wchar_t c = text_[at_];
        if (c == L'{') return ObjectValue();
        if (c == L'[') return ArrayValue();
        if (c == L'"') {
            auto text = StringValue();
            if (!text) return std::nullopt;
            value.type = Json::String;
            value.text = *text;
            return value;
        }
        if (Take(L"null")) return value;
        for (bool flag : {true, false})
            if (Take(flag ? L"true" : L"false")) {
                value.type = Json::Bool;
                value.flag = flag;
                return value;
            }
        size_t start = at_;
        if (at_ < text_.size() && text_[at_] == L'-') ++at_;
        if (at_ == text_.size() || !std::iswdigit(text_[at_])) return std::nullopt;
        if (text_[at_] == L'0' && at_ + 1 < text_.size() && std::iswdigit(text_[at_ + 1]))
            return std::nullopt;
        while (at_ < text_.size() && (std::iswdigit(text_[at_]) || text_[at_] == L'.' || text_[at_] == L'e' ||
                                      text_[at_] == L'E' || text_[at_] == L'+' || text_[at_] == L'-'))
            ++at_;
        value.type = Json::Number;
        value.number = std::stod(std::wstring(text_.substr(start, at_ - start)));
        return value;
    }
    std::optional<std::wstring> StringValue() {
        if (!Take(L"\"")) return std::nullopt;
        std::wstring out;
        while (at_ < text_.size()) {
            wchar_t c = text_[at_++];
            if (c == L'"') return out;
            if (c < 0x20) return std::nullopt;
            if (c != L'\\') {
                out += c;
                continue;
            }
            if (at_ == text_.size()) return std::nullopt;
            wchar_t e = text_[at_++];
            // The escapes and what they stand for, in pairs.
            static constexpr std::wstring_view kEscapes = L"\"\"\\\\//b\bf\fn\nr\rt\t";
            if (e == L'u') {
                if (at_ + 4 > text_.size()) return std::nullopt;
                std::wstring hex(text_.substr(at_, 4));
                if (hex.find_first_not_of(L"0123456789abcdefABCDEF") != std::wstring::npos)
                    return std::nullopt;
                out += static_cast<wchar_t>(std::stoul(hex, nullptr, 16));
                at_ += 4;
                continue;
            }
            size_t escape = 0;
            while (escape < kEscapes.size() && kEscapes[escape] != e)
                escape += 2;
            if (escape == kEscapes.size()) return std::nullopt;
            out += kEscapes[escape + 1];
        }
        return std::nullopt;
    }
    std::optional<Json> ArrayValue() {
        Take(L"[");
        Json value;
        value.type = Json::Array;
        Space();
        if (Take(L"]")) return value;
        for (;;) {
            auto item = Value();
            if (!item) return std::nullopt;
            value.items.push_back(std::move(*item));
            Space();
            if (Take(L"]")) return value;
            if (!Take(L",")) return std::nullopt;
        }
    }
    std::optional<Json> ObjectValue() {
        Take(L"{");
        Json value;
        value.type = Json::Object;
        Space();
        if (Take(L"}")) return value;
        for (;;) {
            Space();
            auto key = StringValue();
            Space();
            if (!key || !Take(L":")) return std::nullopt;
            auto member = Value();
            if (!member) return std::nullopt;
            value.members.emplace_back(std::move(*key), std::move(*member));
            Space();
            if (Take(L"}")) return value;
            if (!Take(L",")) return std::nullopt;
        }
    }

    std::wstring_view text_;
    size_t at_ = 0;
};

TEST(JsonParserTest, RefusesWhatIsNotJson) {
    for (const wchar_t* bad : {L"", L"{", L"{\"a\" 1}", L"[1,]", L"\"a\\q\"", L"\"tab\there\"", L"01",
                               L"[] []", L"{\"a\":1,}", L"\"\\u12\""})
        EXPECT_FALSE(JsonParser(bad).Document()) << Narrow(bad);
    auto value = JsonParser(L" {\"a\": [1, -2.5e1, true, false, null, \"\\u00e9\\\"\\\\\"]} ").Document();
    ASSERT_TRUE(value);
    const Json* a = value->Member(L"a");
    ASSERT_TRUE(a && a->items.size() == 6u);
    EXPECT_EQ(a->items[1].number, -25);
    EXPECT_TRUE(a->items[2].flag);
    EXPECT_FALSE(a->items[3].flag);
    EXPECT_EQ(a->items[5].text, L"\u00e9\"\\");
}

// Named controls, an unnamed element, a user class; the buttons' templates make parts.
const char* const kApp = R"(<Window xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"
        xmlns:x="http://schemas.microsoft.com/winfx/2006/xaml"
        xmlns:my="clr-namespace:Inspect.Tests" xmlns:sim="urn:ovwpf-sim"
        x:Name="main" Title="Inspect">
  <StackPanel x:Name="panel">
    <Button x:Name="ok" Content="OK"/>
    <TextBlock Text="note"/>
    <CheckBox x:Name="check" Content="Check"/>
    <my:Fancy x:Name="fancy" sim:Base="Button" Content="Fancy"/>
  </StackPanel>
</Window>
)";

struct Output {
    int code = -1;
    std::wstring out, err;
};

Output Inspect(std::vector<std::wstring> arguments) {
    Output r;
    ovhost::Console console{[&](std::wstring_view t) { r.out += t; },
                            [&](std::wstring_view t) { r.err += t; }};
    arguments.insert(arguments.begin(), L"inspect");
    r.code = ovhost::RunCommandLine(arguments, ovtest::BinFolder(), console);
    return r;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::wstring Text(const Json* value) {
    return value && value->type == Json::String ? value->text : std::wstring();
}

// The text line of a JSON object, as the text output writes it.
void TextLines(const Json& object, size_t depth, std::vector<std::wstring>& lines) {
    const std::wstring kind = Text(object.Member(L"object"));
    std::wstring line(2 * depth, L' ');
    auto number = [](const Json& o, const wchar_t* name) {
        const Json* n = o.Member(name);
        return n && n->type == Json::Number ? std::to_wstring(static_cast<long>(n->number)) : L"?";
    };
    std::wstring rect;
    if (const Json* r = object.Member(L"rect"); r && r->type == Json::Object)
        rect = L"(" + number(*r, L"left") + L", " + number(*r, L"top") + L", " + number(*r, L"width") +
               L", " + number(*r, L"height") + L")";
    if (kind == L"process") {
        line += L"Process(\"" + Text(object.Member(L"name")) + L"\")";
    } else if (kind == L"top-level window") {
        line += L"Window(\"" + Text(object.Member(L"name")) + L"\")  " + rect;
    } else {
        std::wstring name = Text(object.Member(L"name"));
        line += (name.empty() ? L"-" : name) + L"  " + Text(object.Member(L"class")) + L"  ";
        const Json* k = object.Member(L"kind");
        line += k && k->type == Json::Object ? number(*k, L"value") + L" " + Text(k->Member(L"name")) : L"-";
        line += L"  " + rect;
        if (std::wstring statement = Text(object.Member(L"statement")); !statement.empty())
            line += L"  " + statement;
        if (const Json* part = object.Member(L"templatePart"); part && part->flag)
            line += L"  [template part]";
    }
    lines.push_back(line);
    if (const Json* children = object.Member(L"children"))
        for (const Json& child : children->items)
            TextLines(child, depth + 1, lines);
}

TEST(InspectTest, JsonIsValidAndHoldsTheTreeOfTheText) {
    TempFolder folder;
    const std::wstring app = folder.Write(L"inspect app.xaml", kApp);
    for (bool visual : {false, true}) {
        SCOPED_TRACE(visual ? "--visual" : "default");
        std::vector<std::wstring> options;
        if (visual) options.push_back(L"--visual");
        options.push_back(app);
        Output text = Inspect(options);
        options.insert(options.begin(), L"--json");
        Output json = Inspect(options);
        ASSERT_EQ(text.code, ovhost::ExitOk) << Narrow(text.err);
        ASSERT_EQ(json.code, ovhost::ExitOk) << Narrow(json.err);
        EXPECT_TRUE(json.err.empty());

        std::optional<Json> document = JsonParser(json.out).Document();
        ASSERT_TRUE(document) << Narrow(json.out);
        EXPECT_EQ(Text(document->Member(L"application")), app);
        const Json* flag = document->Member(L"visual");
        ASSERT_TRUE(flag && flag->type == Json::Bool);
        EXPECT_EQ(flag->flag, visual);
        const Json* tree = document->Member(L"tree");
        ASSERT_TRUE(tree && tree->type == Json::Object);
        // Every object carries every member, null when it lacks one.
        const std::function<void(const Json&)> complete = [&](const Json& o) {
            for (const wchar_t* member :
                 {L"object", L"name", L"class", L"kind", L"rect", L"statement", L"templatePart", L"children"})
                EXPECT_TRUE(o.Member(member)) << Narrow(member);
            if (const Json* children = o.Member(L"children"))
                for (const Json& child : children->items)
                    complete(child);
        };
        complete(*tree);
        std::vector<std::wstring> fromJson;
        TextLines(*tree, 0, fromJson);
        std::vector<std::wstring> lines = Lines(text.out);
        EXPECT_EQ(fromJson, lines);

        // The text's lines themselves: tests/scripts/check-inspect.sh; the quotes of the statements and the
        // application's path survive the JSON.
        EXPECT_EQ(lines.front(), L"Process(\"inspect app\")");
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::wstring& l) { return l.ends_with(L"  App.Find(\"ok\")"); }),
                  1);
    }
}

TEST(InspectTest, WrongCommandLinesAndApplicationsThatDoNotLoad) {
    TempFolder folder;
    const std::wstring bad = folder.Write(L"bad.xaml", "<Window xmlns=\"urn:nothing\"/>");
    // Arguments, exit code, the start of the error output.
    const std::tuple<std::vector<std::wstring>, int, std::wstring> cases[] = {
        {{}, ovhost::ExitUsage, L"OVHookX64 inspect: wrong number of arguments."},
        {{L"--colour", L"a.xaml"}, ovhost::ExitUsage, L"OVHookX64 inspect: unknown option '--colour'."},
        {{L"a.xaml", L"b.xaml"}, ovhost::ExitUsage, L"OVHookX64 inspect: give the application (APP.xaml)."},
        {{folder.Path(L"none.xaml")},
         ovhost::ExitAppNotLoaded,
         L"OVHookX64 inspect: the application could not be loaded: " + folder.Path(L"none.xaml") + L", "},
        {{L"--json", bad},
         ovhost::ExitAppNotLoaded,
         L"OVHookX64 inspect: the application could not be loaded: " + bad + L", "},
    };
    for (const auto& [arguments, code, err] : cases) {
        SCOPED_TRACE(arguments.empty() ? "(none)" : Narrow(arguments.back()));
        Output r = Inspect(arguments);
        EXPECT_EQ(r.code, code);
        EXPECT_EQ(r.err.substr(0, err.size()), err);
        EXPECT_TRUE(r.out.empty()) << Narrow(r.out);
    }
}

} // namespace
