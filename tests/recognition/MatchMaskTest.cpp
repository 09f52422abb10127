// The wildcard match of class-name patterns and item names, and its running time on patterns that make a
// naive backtracking match explode.
#include "recognition/KindInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct MaskCase {
    const wchar_t* pattern;
    const wchar_t* text;
    bool match;
};

const MaskCase kCases[] = {
    // prefix patterns, nested names, case
    {L"System.Windows.Controls.*", L"System.Windows.Controls.Button", true},
    {L"System.Windows.Controls.*", L"System.Windows.Controls.A+B", true},
    {L"System.Windows.Controls.*", L"System.Windows.Controls.", true},
    {L"System.Windows.Controls.*", L"System.Windows.Control", false},
    {L"System.Windows.Controls.Button", L"system.windows.controls.button", false},
    {L"System.Windows.Controls.Button", L"System.Windows.Controls.Button", true},
    // anchored at both ends
    {L"Button", L"System.Windows.Controls.Button", false},
    {L"System.Windows.Controls.Button", L"System.Windows.Controls.ButtonX", false},
    {L"System.Windows.Controls.ButtonX", L"System.Windows.Controls.Button", false},
    // "?" is exactly one character, never the end
    {L"System.Windows.Controls.Butto?", L"System.Windows.Controls.Button", true},
    {L"System.Windows.Controls.Butto?", L"System.Windows.Controls.Butto", false},
    {L"?", L"", false},
    {L"??", L"a", false},
    {L"a?c", L"a*c", true},
    // a lone asterisk matches every text, also the empty one
    {L"*", L"", true},
    {L"*", L"anything at all", true},
    {L"**", L"", false},
    // "**" is a literal asterisk
    {L"**", L"*", true},
    {L"**", L"a", false},
    {L"a**b", L"a*b", true},
    {L"a**b", L"ab", false},
    {L"a**b", L"axb", false},
    {L"***", L"*", true}, // literal asterisk, then any run
    {L"***", L"*xyz", true},
    {L"***", L"x*", false},
    {L"****", L"**", true}, // two literal asterisks
    {L"****", L"*", false},
    // wildcards inside and in a row
    {L"My*.*Button", L"MyApp.Views.FancyButton", true},
    {L"My*.*Button", L"MyAppFancyButton", false},
    {L"*Button", L"Button", true},
    {L"*Button*", L"MyButtonBase", true},
    {L"a*b*c", L"abc", true},
    {L"a*b*c", L"acb", false},
    {L"a*b*c", L"aXbYbZc", true},
    {L"*?", L"", false},
    {L"*?", L"x", true},
    {L"a*?*b", L"ab", false},
    {L"a*?*b", L"axb", true},
    // the empty pattern matches only the empty text
    {L"", L"", true},
    {L"", L"a", false},
    // a backtrack must restart after the wildcard, not after a literal asterisk
    {L"*a**", L"ba*", true},
    {L"*a**", L"ba*x", false},
    {L"x*a**b", L"xaa*b", true},
};

TEST(MatchMask, Cases) {
    for (const auto& c : kCases)
        EXPECT_EQ(ov::MatchMask(c.pattern, c.text), c.match)
            << "pattern \"" << testing::PrintToString(std::wstring(c.pattern)) << "\" text \""
            << testing::PrintToString(std::wstring(c.text)) << '"';
}

TEST(MatchMask, NullCountsAsEmpty) {
    EXPECT_TRUE(ov::MatchMask(nullptr, nullptr));
    EXPECT_TRUE(ov::MatchMask(nullptr, L""));
    EXPECT_TRUE(ov::MatchMask(L"*", nullptr));
    EXPECT_FALSE(ov::MatchMask(L"?", nullptr));
    EXPECT_FALSE(ov::MatchMask(nullptr, L"a"));
}

// --- running time -------------------------------------------------------------------------------------

double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

// Median of several timed runs of one match; the result must also be the expected one every time.
double MedianMatchTime(const std::wstring& pattern, const std::wstring& text, bool expected) {
    std::vector<double> times;
    for (int run = 0; run < 7; ++run) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        bool result = ov::MatchMask(pattern.c_str(), text.c_str());
        QueryPerformanceCounter(&end);
        EXPECT_EQ(result, expected);
        times.push_back(Milliseconds(end.QuadPart - start.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct TimedCase {
    const char* name;
    std::wstring pattern;
    std::wstring text;
    bool match;
};

std::wstring Repeat(const wchar_t* piece, int count) {
    std::wstring s;
    for (int i = 0; i < count; ++i)
        s += piece;
    return s;
}

TEST(MatchMaskBench, PathologicalPatternsStayFast) {
    const std::wstring tenThousandA(10000, L'a');
    const TimedCase cases[] = {
        {"nine wildcards, no final b", Repeat(L"*a", 9) + L"*b", tenThousandA, false},
        {"nine wildcards, final b", Repeat(L"*a", 9) + L"*b", tenThousandA + L"b", true},
        {"thirty wildcards", Repeat(L"*a", 30) + L"*b", tenThousandA, false},
        {"question marks after a wildcard", L"*" + std::wstring(50, L'?') + L"b", tenThousandA, false},
        {"literal asterisks", Repeat(L"*a**", 20), std::wstring(10000, L'*'), false},
        {"long literal pattern", tenThousandA, tenThousandA, true},
    };
    for (const auto& c : cases) {
        double ms = MedianMatchTime(c.pattern, c.text, c.match);
        std::printf("[ MatchMask ] %-34s %8.4f ms (median of 7)\n", c.name, ms);
        EXPECT_LT(ms, 5.0) << c.name;
    }
}

} // namespace
