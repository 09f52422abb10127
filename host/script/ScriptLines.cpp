#include "ScriptLines.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace ovhost {

namespace {

// The instrumenter does not follow the script: it runs as written.
struct NotFollowed {};

// Text to add before the script's character at `offset`; additions at one offset keep their order.
struct Edit {
    size_t offset;
    std::wstring text;
};

bool IsLineBreak(wchar_t c) {
    return c == L'\n' || c == L'\r' || c == 0x2028 || c == 0x2029;
}

std::wstring LineMark(ULONG line, std::wstring_view assign, std::wstring_view end) {
    return std::wstring(kLineVariable) + std::wstring(assign) + std::to_wstring(line + 1) + std::wstring(end);
}

// --- JScript ----------------------------------------------------------------------------------------------

enum class JsKind { End, Name, Number, String, Regex, Punct };

struct JsToken {
    JsKind kind = JsKind::End;
    size_t begin = 0, end = 0;
    ULONG line = 0;
    bool newlineBefore = false;
    std::wstring_view text;
};

bool IsKeyword(std::wstring_view word) {
    static constexpr std::wstring_view kWords[] = {
        L"break",      L"case", L"catch",  L"const",   L"continue", L"debugger", L"default", L"delete",
        L"do",         L"else", L"false",  L"finally", L"for",      L"function", L"if",      L"in",
        L"instanceof", L"let",  L"new",    L"null",    L"return",   L"switch",   L"this",    L"throw",
        L"true",       L"try",  L"typeof", L"var",     L"void",     L"while",    L"with"};
    return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

bool IsIdentifierStart(wchar_t c) {
    return c == L'$' || c == L'_' || c == L'\\' || std::iswalpha(c) ||
           (c > 0x7F && c != 0xA0 && c != 0xFEFF && !std::iswspace(c) && !IsLineBreak(c));
}

bool IsIdentifierPart(wchar_t c) {
    return IsIdentifierStart(c) || std::iswdigit(c);
}

// The tokens of a JScript text. Whether a "/" starts a regular expression depends on what came before,
// which the parser knows: it says so at every step.
class JsLexer {
public:
    explicit JsLexer(std::wstring_view text) : s_(text) {}

    JsToken Next(size_t& pos, ULONG& line, bool regexAllowed) const {
        bool newline = false;
        while (pos < s_.size()) {
            const wchar_t c = s_[pos];
            if (c == L'\n') {
                ++line;
                newline = true;
                ++pos;
            } else if (IsLineBreak(c)) {
                newline = true;
                ++pos;
            } else if (c == L'/' && At(pos + 1) == L'/') {
                while (pos < s_.size() && !IsLineBreak(s_[pos]))
                    ++pos;
            } else if (c == L'/' && At(pos + 1) == L'*') {
                const size_t close = s_.find(L"*/", pos + 2);
                if (close == std::wstring_view::npos) throw NotFollowed{};
                for (size_t i = pos + 2; i < close; ++i) {
                    if (s_[i] == L'\n') ++line;
                    if (IsLineBreak(s_[i])) newline = true;
                }
                pos = close + 2;
            } else if (std::iswspace(c) || c == 0xA0 || c == 0xFEFF) {
                ++pos;
            } else {
                break;
            }
        }
        JsToken t;
        t.begin = pos;
        t.line = line;
        t.newlineBefore = newline;
        if (pos >= s_.size()) {
            t.end = pos;
            return t;
        }
        const wchar_t c = s_[pos];
        if (IsIdentifierStart(c)) {
            t.kind = JsKind::Name;
            while (pos < s_.size() && IsIdentifierPart(s_[pos]))
                pos += s_[pos] == L'\\' ? 6 : 1;
        } else if (std::iswdigit(c) || (c == L'.' && std::iswdigit(At(pos + 1)))) {
            t.kind = JsKind::Number;
            Number(pos);
        } else if (c == L'"' || c == L'\'') {
            t.kind = JsKind::String;
            String(pos, line);
        } else if (c == L'/' && regexAllowed) {
            t.kind = JsKind::Regex;
            Regex(pos);
        } else {
            t.kind = JsKind::Punct;
            pos += Punctuator(pos);
        }
        t.end = std::min(pos, s_.size());
        pos = t.end;
        t.text = s_.substr(t.begin, t.end - t.begin);
        return t;
    }

private:
    wchar_t At(size_t i) const { return i < s_.size() ? s_[i] : L'\0'; }

    void Number(size_t& pos) const {
        if (s_[pos] == L'0' && (At(pos + 1) == L'x' || At(pos + 1) == L'X')) {
            pos += 2;
            while (std::iswxdigit(At(pos)))
                ++pos;
        } else {
            while (std::iswdigit(At(pos)) || At(pos) == L'.')
                ++pos;
            if (At(pos) == L'e' || At(pos) == L'E') {
                ++pos;
                if (At(pos) == L'+' || At(pos) == L'-') ++pos;
                while (std::iswdigit(At(pos)))
                    ++pos;
            }
        }
        while (pos < s_.size() && IsIdentifierPart(s_[pos]))
            ++pos;
    }

    void String(size_t& pos, ULONG& line) const {
        const wchar_t quote = s_[pos++];
        for (;;) {
            if (pos >= s_.size() || IsLineBreak(s_[pos])) throw NotFollowed{};
            const wchar_t c = s_[pos++];
            if (c == quote) return;
            if (c != L'\\') continue;
            // An escaped line break continues the string on the next line.
            if (At(pos) == L'\r' && At(pos + 1) == L'\n') ++pos;
            if (At(pos) == L'\n') ++line;
            ++pos;
        }
    }

    void Regex(size_t& pos) const {
        bool inClass = false;
        for (++pos;; ++pos) {
            if (pos >= s_.size() || IsLineBreak(s_[pos])) throw NotFollowed{};
            const wchar_t c = s_[pos];
            if (c == L'\\')
                ++pos;
            else if (c == L'[')
                inClass = true;
            else if (c == L']')
                inClass = false;
            else if (c == L'/' && !inClass)
                break;
        }
        ++pos;
        while (pos < s_.size() && IsIdentifierPart(s_[pos]))
            ++pos;
    }

    size_t Punctuator(size_t pos) const {
        static constexpr std::wstring_view kLong[] = {
            L">>>=", L"===", L"!==", L">>>", L"<<=", L">>=", L"==", L"!=", L"<=", L">=", L"&&", L"||",
            L"++",   L"--",  L"+=",  L"-=",  L"*=",  L"/=",  L"%=", L"&=", L"|=", L"^=", L"<<", L">>"};
        const std::wstring_view rest = s_.substr(pos);
        for (std::wstring_view p : kLong)
            if (rest.starts_with(p)) return p.size();
        if (std::wstring_view(L"{}()[];,<>+-*/%&|^!~?:=.").find(s_[pos]) == std::wstring_view::npos)
            throw NotFollowed{};
        return 1;
    }

    std::wstring_view s_;
};

// A parser of JScript's statements that reads expressions only as far as it must: their brackets, the
// functions inside them and where they end (a semicolon inserted at a line break included).
class JsInstrumenter {
public:
    explicit JsInstrumenter(std::wstring_view text) : lexer_(text) {}

    std::vector<Edit> Run() {
        Take(true);
        StatementList(false);
        if (tok_.kind != JsKind::End) throw NotFollowed{};
        return std::move(edits_);
    }

private:
    static constexpr std::wstring_view kSave = L"var ovhost__saved=ovhost__line;try{";
    static constexpr std::wstring_view kRestore = L"}finally{ovhost__line=ovhost__saved}";

    enum class Stop { Statement, Paren, Semicolon, Colon };

    bool Is(std::wstring_view text) const {
        return (tok_.kind == JsKind::Punct || tok_.kind == JsKind::Name) && tok_.text == text;
    }
    // Whether the token ends an operand (so that a "/" after it divides).
    static bool EndsOperand(const JsToken& t) {
        switch (t.kind) {
        case JsKind::Number:
        case JsKind::String:
        case JsKind::Regex:
            return true;
        case JsKind::Name:
            return !IsKeyword(t.text) || t.text == L"this" || t.text == L"null" || t.text == L"true" ||
                   t.text == L"false";
        case JsKind::Punct:
            return t.text == L")" || t.text == L"]" || t.text == L"}" || t.text == L"++" || t.text == L"--";
        default:
            return false;
        }
    }
    void Take(bool regexAfter) {
        lastEnd_ = tok_.end;
        tok_ = lexer_.Next(pos_, line_, regexAfter);
    }
    void Take() { Take(!EndsOperand(tok_)); }
    void Expect(std::wstring_view text, bool regexAfter) {
        if (!Is(text)) throw NotFollowed{};
        Take(regexAfter);
    }
    JsToken Peek() const {
        size_t pos = pos_;
        ULONG line = line_;
        return lexer_.Next(pos, line, false);
    }
    void Insert(size_t offset, std::wstring text) { edits_.push_back({offset, std::move(text)}); }
    std::wstring Mark(std::wstring_view end) const { return LineMark(tok_.line, L"=", end); }

    bool AtFunction() const {
        if (!Is(L"function") || previousDot_) return false;
        const JsToken next = Peek();
        return next.kind == JsKind::Name || next.text == L"(";
    }

    void StatementList(bool inSwitch) {
        while (tok_.kind != JsKind::End && !Is(L"}") && !(inSwitch && (Is(L"case") || Is(L"default"))))
            Statement(true);
    }

    // A statement of a list gets its line before it; a body that stands alone gets braces around it and
    // its line inside them.
    void Statement(bool inList) {
        bool braced = false;
        if (inList) {
            if (!Is(L";") && !AtFunction()) Insert(tok_.begin, Mark(L";"));
        } else if (!Is(L"{") && !Is(L";")) {
            Insert(tok_.begin, L"{" + Mark(L";"));
            braced = true;
        }
        while (tok_.kind == JsKind::Name && !IsKeyword(tok_.text) && Peek().text == L":") {
            Take(false);
            Take(true);
        }
        StatementBody();
        if (braced) Insert(lastEnd_, L"}");
    }

    void StatementBody() {
        if (AtFunction()) return Function(true);
        if (Is(L"{")) return Block();
        if (Is(L";")) return Take(true);
        if (Is(L"var") || Is(L"const") || Is(L"let")) {
            Take(true);
            Expression(Stop::Statement);
            return EndStatement();
        }
        if (Is(L"if")) {
            Take(true);
            Head(false);
            Statement(false);
            if (Is(L"else")) {
                Take(true);
                Statement(false);
            }
            return;
        }
        if (Is(L"while") || Is(L"with")) {
            const bool loop = Is(L"while");
            Take(true);
            Head(loop);
            return Statement(false);
        }
        if (Is(L"do")) {
            Take(true);
            Statement(false);
            if (!Is(L"while")) throw NotFollowed{};
            Take(true);
            Head(true);
            if (Is(L";")) Take(true);
            return;
        }
        if (Is(L"for")) {
            Take(true);
            ForHead();
            return Statement(false);
        }
        if (Is(L"switch")) {
            Take(true);
            Head(false);
            return SwitchBody();
        }
        if (Is(L"try")) {
            Take(true);
            Block();
            if (Is(L"catch")) {
                Take(true);
                Parameters();
                Block();
            }
            if (Is(L"finally")) {
                Take(true);
                Block();
            }
            return;
        }
        if (Is(L"break") || Is(L"continue")) {
            Take(true);
            if (tok_.kind == JsKind::Name && !tok_.newlineBefore && !IsKeyword(tok_.text)) Take(true);
            return EndStatement();
        }
        if (Is(L"return") || Is(L"throw")) {
            Take(true);
            if (!Is(L";") && !Is(L"}") && tok_.kind != JsKind::End && !tok_.newlineBefore)
                Expression(Stop::Statement);
            return EndStatement();
        }
        if (Is(L"debugger")) {
            Take(true);
            return EndStatement();
        }
        Expression(Stop::Statement);
        EndStatement();
    }

    void Block() {
        Expect(L"{", true);
        StatementList(false);
        Expect(L"}", true);
    }

    void EndStatement() {
        if (Is(L";")) return Take(true);
        // A semicolon inserted before a "}", at the end, or at a line break.
        if (Is(L"}") || tok_.kind == JsKind::End || tok_.newlineBefore) return;
        throw NotFollowed{};
    }

    // "(condition)"; a loop's condition runs again after the body, so it takes its line.
    void Head(bool loop) {
        Expect(L"(", true);
        if (loop && !Is(L")")) Insert(tok_.begin, Mark(L","));
        Expression(Stop::Paren);
        Expect(L")", true);
    }

    void ForHead() {
        Expect(L"(", true);
        if (!Is(L";")) {
            if (Is(L"var") || Is(L"const") || Is(L"let")) Take(true);
            Expression(Stop::Semicolon);
        }
        if (Is(L")")) return Take(true); // for (x in object)
        Expect(L";", true);
        if (!Is(L";")) {
            Insert(tok_.begin, Mark(L","));
            Expression(Stop::Semicolon);
        }
        Expect(L";", true);
        if (!Is(L")")) {
            Insert(tok_.begin, Mark(L","));
            Expression(Stop::Paren);
        }
        Expect(L")", true);
    }

    void SwitchBody() {
        Expect(L"{", true);
        while (!Is(L"}")) {
            if (Is(L"case")) {
                Take(true);
                Insert(tok_.begin, Mark(L","));
                Expression(Stop::Colon);
            } else if (Is(L"default")) {
                Take(false);
            } else {
                throw NotFollowed{};
            }
            Expect(L":", true);
            StatementList(true);
        }
        Take(true);
    }

    void Parameters() {
        Expect(L"(", false);
        while (!Is(L")")) {
            if (tok_.kind == JsKind::End) throw NotFollowed{};
            Take(false);
        }
        Take(false);
    }

    // The body saves the caller's line and gives it back however it ends.
    void Function(bool declaration) {
        Take(false);
        if (tok_.kind == JsKind::Name) Take(false);
        Parameters();
        if (!Is(L"{")) throw NotFollowed{};
        Insert(tok_.end, std::wstring(kSave));
        Take(true);
        StatementList(false);
        if (!Is(L"}")) throw NotFollowed{};
        Insert(tok_.begin, std::wstring(kRestore));
        Take(declaration);
    }

    // Whether a token after a line break carries on an expression whose last token ended an operand.
    static bool Continues(const JsToken& t) {
        if (t.kind == JsKind::Name) return t.text == L"in" || t.text == L"instanceof";
        return t.kind == JsKind::Punct && t.text != L"++" && t.text != L"--" && t.text != L"!" &&
               t.text != L"~" && t.text != L"{" && t.text != L"}" && t.text != L";" && t.text != L")" &&
               t.text != L"]";
    }

    // Reads an expression up to where `stop` says it ends; functions inside it are instrumented.
    void Expression(Stop stop) {
        std::vector<wchar_t> open;
        bool operand = false, first = true;
        int conditionals = 0;
        for (;; first = false) {
            if (tok_.kind == JsKind::End) {
                if (open.empty() && stop == Stop::Statement) return;
                throw NotFollowed{};
            }
            if (open.empty()) {
                if (stop == Stop::Statement &&
                    (Is(L";") || Is(L"}") || (!first && tok_.newlineBefore && operand && !Continues(tok_))))
                    return;
                if ((stop == Stop::Paren || stop == Stop::Semicolon) && Is(L")")) return;
                if (stop == Stop::Semicolon && Is(L";")) return;
                if (stop == Stop::Colon && Is(L":") && conditionals == 0) return;
                if (Is(L"?")) ++conditionals;
                if (Is(L":") && conditionals > 0) --conditionals;
            }
            if (AtFunction()) {
                Function(false);
                operand = true;
                previousDot_ = false;
                continue;
            }
            if (Is(L"(") || Is(L"[") || Is(L"{")) {
                open.push_back(tok_.text[0]);
                operand = false;
                previousDot_ = false;
                Take(true);
                continue;
            }
            if (Is(L")") || Is(L"]") || Is(L"}")) {
                static constexpr std::wstring_view kPairs = L"()[]{}";
                if (open.empty() || kPairs[kPairs.find(tok_.text[0]) - 1] != open.back()) throw NotFollowed{};
                open.pop_back();
                operand = true;
                previousDot_ = false;
                Take(false);
                continue;
            }
            operand = EndsOperand(tok_);
            previousDot_ = Is(L".");
            Take();
        }
    }

    JsLexer lexer_;
    JsToken tok_;
    size_t pos_ = 0;
    ULONG line_ = 0;
    size_t lastEnd_ = 0;
    bool previousDot_ = false;
    std::vector<Edit> edits_;
};

// --- VBScript ---------------------------------------------------------------------------------------------

enum class VbKind { Word, Literal, Punct, Colon };

struct VbToken {
    VbKind kind = VbKind::Word;
    size_t begin = 0, end = 0;
    ULONG line = 0;
    std::wstring text; // a word in lower case
};

// A logical line: its tokens, continuation lines joined, without its comment.
class VbLines {
public:
    explicit VbLines(std::wstring_view text) : s_(text) {}

    // False at the end of the text.
    bool Next(std::vector<VbToken>& tokens) {
        tokens.clear();
        if (pos_ >= s_.size()) return false;
        while (pos_ < s_.size()) {
            const wchar_t c = s_[pos_];
            if (c == L'\n') {
                ++line_;
                ++pos_;
                return true;
            }
            if (c == L'\r' || c == L' ' || c == L'\t' || c == 0xFEFF) {
                ++pos_;
            } else if (c == L'\'' || (IsWordStart(c) && Word(pos_) == L"rem" && !Continues(tokens))) {
                while (pos_ < s_.size() && s_[pos_] != L'\n')
                    ++pos_;
            } else if (c == L'_' && RestIsBlank(pos_ + 1)) {
                // A line continues on the next.
                pos_ = s_.find(L'\n', pos_);
                if (pos_ == std::wstring_view::npos)
                    pos_ = s_.size();
                else
                    ++pos_, ++line_;
            } else {
                tokens.push_back(Token());
            }
        }
        return true;
    }

private:
    static bool IsWordStart(wchar_t c) { return std::iswalpha(c) != 0; }
    static bool Continues(const std::vector<VbToken>& tokens) {
        return !tokens.empty() && tokens.back().kind != VbKind::Colon;
    }
    bool RestIsBlank(size_t pos) const {
        while (pos < s_.size() && (s_[pos] == L' ' || s_[pos] == L'\t' || s_[pos] == L'\r'))
            ++pos;
        return pos >= s_.size() || s_[pos] == L'\n';
    }
    std::wstring Word(size_t pos) const {
        std::wstring word;
        while (pos < s_.size() && (std::iswalnum(s_[pos]) || s_[pos] == L'_'))
            word += static_cast<wchar_t>(std::towlower(s_[pos++]));
        return word;
    }
    VbToken Token() {
        VbToken t;
        t.begin = pos_;
        t.line = line_;
        const wchar_t c = s_[pos_];
        auto until = [&](wchar_t close) {
            const size_t end = s_.find_first_of(std::wstring{close, L'\n'}, pos_ + 1);
            if (end == std::wstring_view::npos || s_[end] != close) throw NotFollowed{};
            pos_ = end + 1;
        };
        if (IsWordStart(c)) {
            t.text = Word(pos_);
            pos_ += t.text.size();
        } else if (c == L'[') {
            until(L']');
        } else if (c == L'"') {
            t.kind = VbKind::Literal;
            do
                until(L'"');
            while (pos_ < s_.size() && s_[pos_] == L'"');
        } else if (c == L'#') {
            t.kind = VbKind::Literal;
            until(L'#');
        } else if (std::iswdigit(c) || (c == L'.' && pos_ + 1 < s_.size() && std::iswdigit(s_[pos_ + 1])) ||
                   (c == L'&' && pos_ + 1 < s_.size() && std::wcschr(L"hHoO", s_[pos_ + 1]))) {
            t.kind = VbKind::Literal;
            pos_ += c == L'&' ? 2 : 1;
            while (pos_ < s_.size() && (std::iswalnum(s_[pos_]) || s_[pos_] == L'.' || s_[pos_] == L'&'))
                ++pos_;
        } else if (c == L':') {
            t.kind = VbKind::Colon;
            ++pos_;
        } else if (std::wstring_view(L"<>=+-*/\\^&(),.").find(c) != std::wstring_view::npos) {
            t.kind = VbKind::Punct;
            t.text = c;
            ++pos_;
        } else {
            throw NotFollowed{};
        }
        t.end = pos_;
        return t;
    }

    std::wstring_view s_;
    size_t pos_ = 0;
    ULONG line_ = 0;
};

class VbInstrumenter {
public:
    explicit VbInstrumenter(std::wstring_view text) : lines_(text) {}

    std::vector<Edit> Run() {
        while (lines_.Next(t_))
            Line();
        return std::move(edits_);
    }

private:
    static constexpr std::wstring_view kSave = L": Dim ovhost__saved: ovhost__saved = ovhost__line";
    static constexpr std::wstring_view kRestore = L"ovhost__line = ovhost__saved: ";

    bool WordAt(size_t i, std::wstring_view word) const {
        return i < t_.size() && t_[i].kind == VbKind::Word && t_[i].text == word;
    }
    bool ProcedureWordAt(size_t i) const {
        return WordAt(i, L"sub") || WordAt(i, L"function") || WordAt(i, L"property");
    }
    void Insert(size_t offset, std::wstring text) { edits_.push_back({offset, std::move(text)}); }
    void MarkAt(size_t i, ULONG line) { Insert(t_[i].begin, LineMark(line, L" = ", L": ")); }
    bool StatementsAllowed() const { return !(inClass_ && !inProcedure_) && !selectBeforeCase_; }

    void Line() {
        for (size_t i = 0; i < t_.size(); ++i) {
            const VbToken& t = t_[i];
            if (t.kind == VbKind::Word && t.text == L"exit" && ProcedureWordAt(i + 1))
                Insert(t.begin, std::wstring(kRestore));
            if (i == 0 || t_[i - 1].kind == VbKind::Colon) Statement(i);
        }
    }

    // The statement that begins at token i.
    void Statement(size_t i) {
        const VbToken& t = t_[i];
        if (t.kind == VbKind::Colon) return;
        const std::wstring& w = t.kind == VbKind::Word ? t.text : std::wstring();
        // Declarations, and what evaluates nothing (an Exit of a procedure gives the caller's line back).
        if (w == L"option" || w == L"dim" || w == L"const" || w == L"else" || w == L"next" || w == L"exit")
            return;
        if (w == L"class") {
            inClass_ = true;
            return;
        }
        if (w == L"end") {
            if (WordAt(i + 1, L"class")) inClass_ = false;
            if (ProcedureWordAt(i + 1)) {
                Insert(t.begin, std::wstring(kRestore));
                inProcedure_ = false;
            }
            return;
        }
        if (w == L"public" || w == L"private" || ProcedureWordAt(i)) {
            size_t at = i;
            while (WordAt(at, L"public") || WordAt(at, L"private") || WordAt(at, L"default"))
                ++at;
            if (ProcedureWordAt(at)) Procedure(at);
            return;
        }
        if (w == L"elseif") return Condition(i, L"then");
        if (w == L"case") {
            selectBeforeCase_ = false;
            if (!WordAt(i + 1, L"else")) Condition(i, L",");
            return;
        }
        if (w == L"loop" || w == L"wend") {
            if (loops_.empty()) throw NotFollowed{};
            const ULONG line = WordAt(i + 1, L"while") || WordAt(i + 1, L"until") ? t.line : loops_.back();
            loops_.pop_back();
            MarkAt(i, line);
            return;
        }
        if (!StatementsAllowed()) return;
        MarkAt(i, t.line);
        if (w == L"do" || w == L"while") loops_.push_back(t.line);
        if (w == L"select") selectBeforeCase_ = true;
    }

    // The header of a procedure at token i: the caller's line is saved right after it.
    void Procedure(size_t i) {
        size_t at = i + (WordAt(i, L"property") ? 3 : 2);
        if (at > t_.size()) throw NotFollowed{};
        size_t end = t_[at - 1].end;
        if (at < t_.size() && t_[at].kind == VbKind::Punct && t_[at].text == L"(") {
            int depth = 0;
            for (; at < t_.size(); ++at) {
                if (t_[at].text == L"(") ++depth;
                if (t_[at].text == L")" && --depth == 0) break;
            }
            if (at == t_.size()) throw NotFollowed{};
            end = t_[at].end;
        }
        Insert(end, std::wstring(kSave));
        inProcedure_ = true;
    }

    // The expression after the keyword at token i, up to `until` (a word, or "," for the first of a Case's
    // list) or the end of the statement, is given to the prelude's functions with the line first.
    void Condition(size_t i, std::wstring_view until) {
        size_t at = i + 1;
        for (int depth = 0; at < t_.size() && t_[at].kind != VbKind::Colon; ++at) {
            if (t_[at].text == L"(") ++depth;
            if (t_[at].text == L")") --depth;
            if (depth == 0 && t_[at].text == until) break;
        }
        if (at == i + 1 || (until == L"then" && !WordAt(at, L"then"))) throw NotFollowed{};
        Insert(t_[i].end, L" ovhost__as(ovhost__at(" + std::to_wstring(t_[i].line + 1) + L"),");
        Insert(t_[at - 1].end, L")");
    }

    VbLines lines_;
    std::vector<VbToken> t_;
    std::vector<Edit> edits_;
    std::vector<ULONG> loops_; // the lines of the open Do and While loops
    bool inClass_ = false, inProcedure_ = false, selectBeforeCase_ = false;
};

bool IsVBScript(std::wstring_view language) {
    return language.size() == 8 && _wcsnicmp(language.data(), L"VBScript", 8) == 0;
}

} // namespace

LONG InstrumentedScript::ScriptColumn(ULONG line, LONG column) const {
    LONG shift = 0;
    for (const Insertion& insertion : insertions) {
        if (insertion.line != line) continue;
        if (column < insertion.column + shift) break;
        if (column < insertion.column + shift + insertion.length) return insertion.column;
        shift += insertion.length;
    }
    return column - shift;
}

std::optional<InstrumentedScript> InstrumentLines(std::wstring_view language, std::wstring_view script) {
    std::vector<Edit> edits;
    try {
        edits = IsVBScript(language) ? VbInstrumenter(script).Run() : JsInstrumenter(script).Run();
    } catch (const NotFollowed&) {
        return std::nullopt;
    }
    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit& a, const Edit& b) { return a.offset < b.offset; });
    InstrumentedScript out;
    size_t copied = 0, lineStart = 0;
    ULONG line = 0;
    for (const Edit& edit : edits) {
        for (; copied < edit.offset; ++copied) {
            out.text += script[copied];
            if (script[copied] == L'\n') {
                ++line;
                lineStart = copied + 1;
            }
        }
        out.text += edit.text;
        out.insertions.push_back(
            {line, static_cast<LONG>(edit.offset - lineStart), static_cast<LONG>(edit.text.size())});
    }
    out.text.append(script.substr(copied));
    return out;
}

std::wstring_view LinePrelude(std::wstring_view language) {
    if (IsVBScript(language))
        return L"Dim ovhost__line\r\n"
               L"Function ovhost__at(line): ovhost__line = line: End Function\r\n"
               L"Function ovhost__as(marked, value): If IsObject(value) Then Set ovhost__as = value Else "
               L"ovhost__as = value\r\n"
               L"End Function\r\n";
    return L"var ovhost__line = 0;\r\n";
}

} // namespace ovhost
