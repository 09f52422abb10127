// The wildcard match of class-name patterns, and its running time on patterns that make a naive
// backtracking match explode.
#include "recognition/KindInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(MatchMask, Cases) {
    struct Case {
        const wchar_t* pattern;
        const wchar_t* text;
        bool match;
    } cases[] = {
        // anchored at both ends, case-sensitive
        {L"System.Windows.Controls.Button", L"System.Windows.Controls.Button", true},
        {L"System.Windows.Controls.Button", L"system.windows.controls.button", false},
        {L"Button", L"System.Windows.Controls.Button", false},
        {L"System.Windows.Controls.Button", L"System.Windows.Controls.ButtonX", false},
        // "*" is any run, also the empty one and the whole empty text
        {L"System.Windows.Controls.*", L"System.Windows.Controls.", true},
        {L"*", L"", true},
        {L"", L"", true},
        {nullptr, L"a", false}, // null counts as empty
        // "**" is a literal asterisk
        {L"**", L"*", true},
        {L"**", L"", false},
        // "?" is exactly one character, never the end
        {L"System.Windows.Controls.Butto?", L"System.Windows.Controls.Button", true},
        {L"System.Windows.Controls.Butto?", L"System.Windows.Controls.Butto", false},
        // nested class names
        {L"My*.*Button", L"MyApp.Views.FancyButton", true},
        {L"My*.*Button", L"MyAppFancyButton", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ov::MatchMask(c.pattern, c.text), c.match)
            << "pattern " << testing::PrintToString(std::wstring(c.pattern ? c.pattern : L"(null)"))
            << " text " << testing::PrintToString(std::wstring(c.text ? c.text : L"(null)"));
}

// Median of seven timed runs of one match, which must give the expected result every time.
double MedianMilliseconds(const std::wstring& pattern, const std::wstring& text, bool expected) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int run = 0; run < 7; ++run) {
        QueryPerformanceCounter(&start);
        EXPECT_EQ(ov::MatchMask(pattern.c_str(), text.c_str()), expected);
        QueryPerformanceCounter(&end);
        times.push_back(1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[3];
}

std::wstring Repeat(const wchar_t* piece, int count) {
    std::wstring s;
    while (count-- > 0)
        s += piece;
    return s;
}

// A naive backtracking match takes exponential time on these; the pattern must stay well under a
// millisecond, the heavier polynomial ones under ten.
TEST(MatchMaskBench, PathologicalPatternsStayFast) {
    const std::wstring tenThousandA(10000, L'a');
    const struct {
        const char* name;
        std::wstring pattern, text;
        bool match;
        double limit; // ms
    } cases[] = {
        {"*a*a*a*a*a*a*a*a*a*b", Repeat(L"*a", 9) + L"*b", tenThousandA, false, 1.0},
        {"thirty wildcards", Repeat(L"*a", 30) + L"*b", tenThousandA, false, 10.0},
        {"literal asterisks", Repeat(L"*a**", 20), std::wstring(10000, L'*'), false, 10.0},
    };
    for (const auto& c : cases) {
        double ms = MedianMilliseconds(c.pattern, c.text, c.match);
        std::printf("[ MatchMask ] %-34s %8.4f ms (median of 7)\n", c.name, ms);
        EXPECT_LT(ms, c.limit) << c.name;
    }
}

} // namespace
