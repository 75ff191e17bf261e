// Lua 4.0 tokenizer (see lua40_lex.h).
#include "lua40/lua40_lex.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lua40 {

namespace {

const char* const kReserved[] = {"and", "break",    "do",     "else",  "elseif", "end",
                                 "for", "function", "if",     "local", "nil",    "not",
                                 "or",  "repeat",   "return", "then",  "until",  "while"};

struct Lexer {
    const std::string& src;
    const std::string& chunk;
    size_t pos = 0;
    int line = 1;
    int tokenStart = 1;
    std::vector<Token>& out;

    int cur() const { return pos < src.size() ? static_cast<unsigned char>(src[pos]) : -1; }
    int peek(size_t k = 1) const {
        return pos + k < src.size() ? static_cast<unsigned char>(src[pos + k]) : -1;
    }

    [[noreturn]] void fail(const std::string& what, const std::string& token) {
        throw SyntaxError{syntaxMessage(what, token, line, chunk)};
    }

    void push(TokenType type, std::string text, std::string shown, char ch = 0) {
        Token t;
        t.type = type;
        t.ch = ch;
        t.text = std::move(text);
        t.shown = std::move(shown);
        t.line = line;
        t.startLine = tokenStart;
        out.push_back(std::move(t));
    }

    // [[ ... ]] with nesting; the text keeps inner brackets and a leading newline.
    void longString() {
        std::string raw = "[[";
        pos += 2;
        int depth = 1;
        for (;;) {
            int c = cur();
            if (c < 0) fail("unfinished long string", raw); // the text read so far
            if (c == '[' && peek() == '[') {
                ++depth;
                raw += "[[";
                pos += 2;
            } else if (c == ']' && peek() == ']') {
                pos += 2;
                if (--depth == 0) break;
                raw += "]]";
            } else {
                if (c == '\n') ++line;
                raw += static_cast<char>(c);
                ++pos;
            }
        }
        std::string value = raw.substr(2);
        std::string code = "\"";
        for (unsigned char c : value) {
            if (c == '\n')
                code += "\\\n"; // a real line break stays one
            else
                appendEscaped(code, c);
        }
        code += '"';
        push(TK_STRING, value, raw + "]]");
        out.back().code = std::move(code);
    }

    void quotedString(char quote) {
        std::string value;
        std::string code = "\"";
        std::string shown(1, quote);
        ++pos;
        for (;;) {
            int c = cur();
            if (c < 0) fail("unfinished string", shown);
            if (c == '\n') fail("unfinished string", shown);
            if (c == quote) {
                ++pos;
                break;
            }
            if (c == '\\') {
                ++pos;
                c = cur();
                char out;
                switch (c) {
                case 'a':
                    out = '\a';
                    break;
                case 'b':
                    out = '\b';
                    break;
                case 'f':
                    out = '\f';
                    break;
                case 'n':
                    out = '\n';
                    break;
                case 'r':
                    out = '\r';
                    break;
                case 't':
                    out = '\t';
                    break;
                case 'v':
                    out = '\v';
                    break;
                case '\n': // backslash-newline: a newline that takes a line
                    ++line;
                    ++pos;
                    value += '\n';
                    shown += '\n';
                    code += "\\\n";
                    continue;
                case -1:
                    fail("unfinished string", shown);
                default:
                    if (std::isdigit(c)) {
                        int n = 0;
                        int digits = 0;
                        while (digits < 3 && std::isdigit(cur())) {
                            n = n * 10 + (cur() - '0');
                            ++pos;
                            ++digits;
                        }
                        if (n > 255) fail("escape sequence too large", shown);
                        value += static_cast<char>(n);
                        appendEscaped(code, static_cast<unsigned char>(n));
                        shown += static_cast<char>(n);
                        continue;
                    }
                    out = static_cast<char>(c);
                }
                ++pos;
                value += out;
                shown += out;
                appendEscaped(code, static_cast<unsigned char>(out));
                continue;
            }
            appendEscaped(code, static_cast<unsigned char>(c));
            value += static_cast<char>(c);
            shown += static_cast<char>(c);
            ++pos;
        }
        shown += quote;
        code += '"';
        push(TK_STRING, value, shown);
        out.back().code = std::move(code);
    }

    void number(bool leadingDot) {
        size_t start = pos;
        if (leadingDot) ++pos;
        while (std::isdigit(cur()))
            ++pos;
        if (cur() == '.') {
            ++pos;
            if (cur() == '.') {
                ++pos;
                fail("ambiguous syntax (decimal point x string concatenation)",
                     src.substr(start, pos - start));
            }
        }
        while (std::isdigit(cur()))
            ++pos;
        if (cur() == 'e' || cur() == 'E') {
            ++pos;
            if (cur() == '+' || cur() == '-') ++pos;
            while (std::isdigit(cur()))
                ++pos;
        }
        std::string text = src.substr(start, pos - start);
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (end == text.c_str() || *end != '\0') fail("malformed number", text);
        push(TK_NUMBER, std::move(text), "");
        out.back().number = value;
    }

    void run() {
        for (;;) {
            int c = cur();
            tokenStart = line;
            switch (c) {
            case -1:
                push(TK_EOS, "", "<eof>");
                return;
            case '\n':
                ++line;
                ++pos;
                continue;
            case ' ':
            case '\t':
            case '\r':
                ++pos;
                continue;
            case '-':
                if (peek() == '-') { // comment to the end of the line, `--[[' included
                    while (cur() >= 0 && cur() != '\n')
                        ++pos;
                    continue;
                }
                break;
            case '[':
                if (peek() == '[') {
                    longString();
                    continue;
                }
                break;
            case '"':
            case '\'':
                quotedString(static_cast<char>(c));
                continue;
            case '=':
                if (peek() == '=') {
                    pos += 2;
                    push(TK_EQ, "", "==");
                    continue;
                }
                break;
            case '<':
                if (peek() == '=') {
                    pos += 2;
                    push(TK_LE, "", "<=");
                    continue;
                }
                break;
            case '>':
                if (peek() == '=') {
                    pos += 2;
                    push(TK_GE, "", ">=");
                    continue;
                }
                break;
            case '~':
                if (peek() == '=') {
                    pos += 2;
                    push(TK_NE, "", "~=");
                    continue;
                }
                break;
            case '.':
                if (peek() == '.') {
                    if (peek(2) == '.') {
                        pos += 3;
                        push(TK_DOTS, "", "...");
                        continue;
                    }
                    pos += 2;
                    push(TK_CONCAT, "", "..");
                    continue;
                }
                if (std::isdigit(peek())) {
                    number(true);
                    continue;
                }
                break;
            case '$':
                fail("unexpected `$' (pragmas are no longer supported)", "$");
            default:
                if (std::isdigit(c)) {
                    number(false);
                    continue;
                }
                if (std::isalpha(c) || c == '_') {
                    size_t start = pos;
                    while (std::isalnum(cur()) || cur() == '_')
                        ++pos;
                    std::string word = src.substr(start, pos - start);
                    TokenType type = TK_NAME;
                    if (std::islower(c))
                        for (size_t i = 0; i < sizeof kReserved / sizeof kReserved[0]; ++i)
                            if (kReserved[i][0] == c && word == kReserved[i]) {
                                type = static_cast<TokenType>(TK_AND + i);
                                break;
                            }
                    push(type, std::move(word), "");
                    continue;
                }
                if (std::iscntrl(c)) {
                    char buffer[32];
                    std::snprintf(buffer, sizeof buffer, "0x%02X", c);
                    fail("invalid control char", buffer);
                }
            }
            ++pos;
            push(TK_CHAR, "", std::string(1, static_cast<char>(c)), static_cast<char>(c));
        }
    }
};

} // namespace

void appendEscaped(std::string& out, unsigned char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        break;
    case '\\':
        out += "\\\\";
        break;
    case '\n':
        out += "\\n";
        break;
    case '\r':
        out += "\\r";
        break;
    default:
        if (c < 32 || c == 127) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\%03d", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
}

std::string syntaxMessage(const std::string& what, const std::string& token, int line,
                          const std::string& chunkDisplay) {
    return what.substr(0, 99) + ";\n  last token read: `" + token.substr(0, 30) + "' at line " +
           std::to_string(line) + " in " + chunkDisplay;
}

std::string tokenTypeText(TokenType type, char ch) {
    switch (type) {
    case TK_EOS:
        return "<eof>";
    case TK_NAME:
        return "<name>";
    case TK_NUMBER:
        return "<number>";
    case TK_STRING:
        return "<string>";
    case TK_CONCAT:
        return "..";
    case TK_DOTS:
        return "...";
    case TK_EQ:
        return "==";
    case TK_GE:
        return ">=";
    case TK_LE:
        return "<=";
    case TK_NE:
        return "~=";
    case TK_CHAR:
        return std::string(1, ch);
    default:
        return kReserved[type - TK_AND];
    }
}

std::string tokenText(const Token& token) {
    return token.shown.empty() ? token.text : token.shown;
}

bool tokenize(const std::string& source, const std::string& chunkDisplay,
              std::vector<Token>& tokens, std::string& error) {
    tokens.clear();
    // Scripts have a token for every three to five bytes: room for one every
    // two makes the list once, where growing it would move every token. The
    // room no token takes is never touched.
    tokens.reserve(source.size() / 2 + 16);
    Lexer lexer{source, chunkDisplay, 0, 1, 1, tokens};
    // A first line starting with `#' is skipped (its line end stays).
    if (!source.empty() && source[0] == '#')
        while (lexer.pos < source.size() && source[lexer.pos] != '\n')
            ++lexer.pos;
    try {
        lexer.run();
    } catch (const SyntaxError& e) {
        error = e.message;
        return false;
    }
    return true;
}

} // namespace lua40
