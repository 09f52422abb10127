#include "VbsDeclarations.h"

#include <cwctype>
#include <vector>

namespace ovhost {
namespace {

bool SameWord(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

bool IsWordChar(wchar_t c) {
    return std::iswalnum(c) || c == L'_';
}

bool IsLineEnd(wchar_t c) {
    return c == L'\r' || c == L'\n';
}

// One statement of the text: [begin, end), comments and the separators left out.
struct Statement {
    size_t begin, end;
};

// Splits at line ends and colons outside strings; a line that ends in " _" goes on in the next line.
std::vector<Statement> Statements(std::wstring_view text) {
    std::vector<Statement> statements;
    size_t begin = 0, i = 0;
    auto close = [&](size_t end) {
        statements.push_back({begin, end});
        begin = end + 1;
    };
    while (i < text.size()) {
        wchar_t c = text[i];
        if (c == L'"') {
            for (++i; i < text.size() && !IsLineEnd(text[i]); ++i)
                if (text[i] == L'"') {
                    if (i + 1 < text.size() && text[i + 1] == L'"') {
                        ++i;
                        continue;
                    }
                    break;
                }
            ++i;
            continue;
        }
        bool rem = (c == L'r' || c == L'R') && SameWord(text.substr(i, 3), L"Rem") &&
                   (i + 3 == text.size() || !IsWordChar(text[i + 3]));
        if (rem) {
            // Rem starts a comment only where a statement starts.
            size_t k = begin;
            while (k < i && std::iswspace(text[k]))
                ++k;
            rem = k == i;
        }
        if (c == L'\'' || rem) {
            size_t end = i;
            while (i < text.size() && !IsLineEnd(text[i]))
                ++i;
            statements.push_back({begin, end});
            begin = i;
            continue;
        }
        if (c == L'_' && (i == 0 || !IsWordChar(text[i - 1]))) {
            size_t k = i + 1;
            while (k < text.size() && (text[k] == L' ' || text[k] == L'\t'))
                ++k;
            if (k == text.size() || IsLineEnd(text[k])) {
                // The continuation: the statement goes on past the line end.
                i = k;
                if (i < text.size() && text[i] == L'\r') ++i;
                if (i < text.size() && text[i] == L'\n') ++i;
                continue;
            }
        }
        if (c == L':' || IsLineEnd(c)) close(i);
        ++i;
    }
    if (begin < text.size()) statements.push_back({begin, text.size()});
    return statements;
}

class Words {
public:
    Words(std::wstring_view text, size_t at, size_t end) : text_(text), at_(at), end_(end) {}

    // The next word, or empty; `start` is where it starts.
    std::wstring_view Next(size_t& start) {
        SkipSpace();
        start = at_;
        if (at_ < end_ && text_[at_] == L'[') {
            size_t close = text_.find(L']', at_);
            if (close == std::wstring_view::npos || close >= end_) close = end_ - 1;
            at_ = close + 1;
            return text_.substr(start + 1, close - start - 1);
        }
        while (at_ < end_ && IsWordChar(text_[at_]))
            ++at_;
        return text_.substr(start, at_ - start);
    }
    std::wstring_view Next() {
        size_t start;
        return Next(start);
    }
    void SkipSpace() {
        while (at_ < end_ && (std::iswspace(text_[at_]) || text_[at_] == L'_'))
            ++at_;
    }
    size_t At() const { return at_; }
    void Seek(size_t at) { at_ = at; }

private:
    std::wstring_view text_;
    size_t at_, end_;
};

bool IsBlock(std::wstring_view word) {
    return SameWord(word, L"Sub") || SameWord(word, L"Function") || SameWord(word, L"Property") ||
           SameWord(word, L"Class");
}

void Blank(std::wstring& text, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        if (!IsLineEnd(text[i])) text[i] = L' ';
}

// The names of "Dim a, b(3), c" from `at`: each with the range it takes, up to and with its comma.
struct Declared {
    std::wstring_view name;
    size_t begin, end, comma; // comma: the position of the following comma, or npos
};

std::vector<Declared> DeclaredNames(std::wstring_view text, size_t at, size_t end) {
    std::vector<Declared> names;
    Words words(text, at, end);
    while (true) {
        size_t start;
        std::wstring_view name = words.Next(start);
        if (name.empty()) break;
        size_t i = words.At();
        int depth = 0;
        while (i < end && (depth > 0 || text[i] != L',')) {
            if (text[i] == L'(') ++depth;
            if (text[i] == L')') --depth;
            ++i;
        }
        size_t last = i;
        while (last > words.At() && std::iswspace(text[last - 1]))
            --last;
        names.push_back({name, start, last, i < end ? i : std::wstring_view::npos});
        if (i >= end) break;
        words.Seek(i + 1);
    }
    return names;
}

} // namespace

std::wstring WithoutTopLevelDeclaration(std::wstring_view script, std::wstring_view name) {
    std::wstring out(script);
    int depth = 0;
    for (const Statement& s : Statements(script)) {
        Words words(script, s.begin, s.end);
        size_t keywordStart;
        std::wstring_view first = words.Next(keywordStart);
        if (SameWord(first, L"End")) {
            if (IsBlock(words.Next()) && depth > 0) --depth;
            continue;
        }
        std::wstring_view second = first;
        size_t afterFirst = words.At();
        if (SameWord(first, L"Public") || SameWord(first, L"Private")) {
            second = words.Next();
            if (SameWord(second, L"Default")) second = words.Next();
        }
        if (IsBlock(second)) {
            ++depth;
            continue;
        }
        const bool declaration =
            SameWord(first, L"Dim") || ((SameWord(first, L"Public") || SameWord(first, L"Private")) &&
                                        !SameWord(second, L"Const") && !second.empty());
        if (depth > 0 || !declaration) continue;
        std::vector<Declared> names = DeclaredNames(script, afterFirst, s.end);
        size_t kept = names.size();
        for (size_t i = 0; i < names.size(); ++i) {
            if (!SameWord(names[i].name, name)) continue;
            --kept;
            if (names[i].comma != std::wstring_view::npos)
                Blank(out, names[i].begin, names[i].comma + 1);
            else if (i > 0 && names[i - 1].comma != std::wstring_view::npos)
                Blank(out, names[i - 1].comma, names[i].end);
            else
                Blank(out, names[i].begin, names[i].end);
        }
        if (kept == 0 && kept != names.size()) Blank(out, keywordStart, s.end);
    }
    return out;
}

} // namespace ovhost
