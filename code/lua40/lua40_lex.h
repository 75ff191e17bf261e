// Tokenizer for Lua 4.0 source, with 4.0's lexical rules: `--' always runs to
// the end of the line, `[[' strings nest and keep their leading newline, a CR
// is plain white space, and `in', `true' and `false' are ordinary names.
#pragma once

#include <string>
#include <vector>

namespace lua40 {

enum TokenType {
    TK_EOS,
    TK_NAME,
    TK_NUMBER,
    TK_STRING,
    // reserved words of 4.0
    TK_AND,
    TK_BREAK,
    TK_DO,
    TK_ELSE,
    TK_ELSEIF,
    TK_END,
    TK_FOR,
    TK_FUNCTION,
    TK_IF,
    TK_LOCAL,
    TK_NIL,
    TK_NOT,
    TK_OR,
    TK_REPEAT,
    TK_RETURN,
    TK_THEN,
    TK_UNTIL,
    TK_WHILE,
    // multi-character operators
    TK_CONCAT,
    TK_DOTS,
    TK_EQ,
    TK_GE,
    TK_LE,
    TK_NE,
    TK_CHAR // any single character; its byte is in Token::ch
};

struct Token {
    TokenType type = TK_EOS;
    char ch = 0;
    std::string text;  // name, number text, decoded string value
    std::string code;  // a string as a 5.1 literal spanning the same lines
    std::string shown; // what a syntax error quotes as the last token read, when not text
    int line = 1;      // line where the token ends, as 4.0 counts it
    int startLine = 1; // line where it begins
    double number = 0; // the value of a number
};

// A 4.0 syntax error: the message without position and the position parts.
struct SyntaxError {
    std::string message;
};

// Splits a whole chunk into tokens, ending with TK_EOS. On a lexical error it
// returns false and fills `error' with 4.0's complete message.
bool tokenize(const std::string& source, const std::string& chunkDisplay,
              std::vector<Token>& tokens, std::string& error);

// One byte of a string value as it appears inside a 5.1 quoted literal; a
// newline becomes the escape \n, which takes no line.
void appendEscaped(std::string& out, unsigned char c);

// Text of a token for "last token read" and "`x' expected" messages.
std::string tokenText(const Token& token);
std::string tokenTypeText(TokenType type, char ch);

// 4.0's syntax-error layout.
std::string syntaxMessage(const std::string& what, const std::string& token, int line,
                          const std::string& chunkDisplay);

} // namespace lua40
