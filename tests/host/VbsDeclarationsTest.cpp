// Top-level declarations of Log leave a VBScript without moving anything else of it.
#include "host/script/VbsDeclarations.h"

#include <gtest/gtest.h>

namespace {

TEST(VbsDeclarationsTest, TopLevelDeclarationsLoseTheNameInPlace) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"Dim Log\r\nLog.Message 1", L"       \r\nLog.Message 1"},
        {L"dim LOG : x = 1", L"        : x = 1"},
        {L"Dim a, Log, b(3)", L"Dim a,      b(3)"},
        {L"Dim a, Log", L"Dim a     "},
        {L"Public Log ' the host's", L"           ' the host's"},
        {L"Private [Log], c", L"Private        c"},
        {L"Dim x, _\r\n  Log", L"Dim x   \r\n     "},
        {L"Dim Log(2, 3)", L"             "},
        // Not declarations of Log, or not at the top level.
        {L"Dim Logs, Catalog", L"Dim Logs, Catalog"},
        {L"x = \"Dim Log\"", L"x = \"Dim Log\""},
        {L"' Dim Log", L"' Dim Log"},
        {L"Rem Dim Log", L"Rem Dim Log"},
        {L"Sub F\r\n  Dim Log\r\nEnd Sub\r\nDim Log", L"Sub F\r\n  Dim Log\r\nEnd Sub\r\n       "},
        {L"Class C\r\nPrivate Log\r\nPublic Sub S : Dim Log : End Sub\r\nEnd Class",
         L"Class C\r\nPrivate Log\r\nPublic Sub S : Dim Log : End Sub\r\nEnd Class"},
        {L"Private Function Log2() : End Function : Dim Log",
         L"Private Function Log2() : End Function :        "},
        {L"Public Const Log = 1", L"Public Const Log = 1"},
        {L"Set Log = Nothing", L"Set Log = Nothing"},
    };
    for (const auto& [script, expected] : cases) {
        std::wstring out = ovhost::WithoutTopLevelDeclaration(script, L"Log");
        EXPECT_EQ(out, expected) << std::string(script.begin(), script.end());
        EXPECT_EQ(out.size(), script.size());
    }
}

} // namespace
