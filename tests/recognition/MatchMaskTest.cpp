// The wildcard match of class-name patterns, also on patterns that make a naive backtracking match explode.
#include "recognition/KindInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(MatchMask, Cases) {
    struct Case {
        const wchar_t* pattern;
        const wchar_t* text;
        bool match;
    } cases[] = {
        // what no class name can hold: an empty one, a null pattern, a literal asterisk
        {L"*", L"", true},
        {L"", L"", true},
        {nullptr, L"a", false},
        {L"**", L"*", true},
        {L"**", L"", false},
        {L"My*.*Button", L"MyAppFancyButton", false},
        // "**" is one token: its second asterisk is no wildcard of its own
        {L"a**", L"a*x", false},
        {L"a**b", L"a*b", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ov::MatchMask(c.pattern, c.text), c.match)
            << "pattern " << testing::PrintToString(std::wstring(c.pattern ? c.pattern : L"(null)"))
            << " text " << testing::PrintToString(std::wstring(c.text ? c.text : L"(null)"));
}

std::wstring Repeat(const wchar_t* piece, int count) {
    std::wstring s;
    while (count-- > 0)
        s += piece;
    return s;
}

// A naive backtracking match never ends on these (the suite's time limit catches it); their times are the
// member benchmark's (bench/MembersBench.cpp).
TEST(MatchMask, PathologicalPatternsEnd) {
    const std::wstring tenThousandA(10000, L'a');
    EXPECT_FALSE(ov::MatchMask((Repeat(L"*a", 9) + L"*b").c_str(), tenThousandA.c_str()));
    EXPECT_FALSE(ov::MatchMask((Repeat(L"*a", 30) + L"*b").c_str(), tenThousandA.c_str()));
    EXPECT_FALSE(ov::MatchMask(Repeat(L"*a**", 20).c_str(), std::wstring(10000, L'*').c_str()));
}

} // namespace
