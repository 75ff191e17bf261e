// The Lua 4.0 parser of the translator (see lua40_translate.h). Operands,
// calls and function bodies are in lua40_translate.cpp, operators in
// lua40_operators.cpp, table constructors in lua40_constructors.cpp,
// statements in lua40_statements.cpp.
//
// A recursive-descent parser of 4.0's grammar emits output pieces, each tagged
// with the source line it belongs to. Rewrites that wrap an expression prepend
// to its first piece and append after its last, so recorded piece indices stay
// valid. The pieces are joined at the end, with line breaks only where the
// source had them.
#pragma once

#include "lua40/lua40_lex.h"
#include "lua40/lua40_translate.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lua40 {
namespace parser {

// First statement of every translated chunk: the runtime helpers it receives
// as its arguments (see lua40_translate.h), as locals.
const char* const kHelperDecl = "local _C40,_N40,_T40,_R40,_FP40,_FI40,_NT40,_OP40=...;";

// Where an expression's value goes: only a condition may keep 5.1's booleans.
enum Context { VALUE, COND };
enum Logical { LOG_NONE, LOG_OR, LOG_AND };

struct ExpInfo {
    size_t start = 0;           // first piece of the expression
    std::vector<size_t> parens; // parentheses around a call, `(f())'
    int forLoop = -1;           // the numeric-for loop whose variable this is
    Logical top = LOG_NONE;     // unparenthesised logical operator at the top
    bool boolean = false;       // comparison or `not': true/false in 5.1
    bool call = false;          // a call whose results are not truncated
    bool literal = false;       // string or small integer literal
    bool assignable = false;    // a variable (name, field or index)
    // A number 5.1 knows while compiling (a literal, or arithmetic on such
    // numbers, which 5.1 folds) and its value.
    bool numeral = false;
    // A number literal, under parentheses and minus signs only: 4.0 folds
    // those signs into it, and `a - k' of such an integer k is `a + -k'.
    bool signedLiteral = false;
    // What 4.0 names the value after in an error: a local, a global or a
    // field read with a constant name (0 when nothing), and the token whose
    // text is that name.
    char variable = 0; // 'l', 'g' or 'f'
    // A field whose key 4.0 pushes last before reading it (a name, a string
    // literal or a local): 4.0 reads the field at the key's line, however
    // late it takes its value.
    bool keyPushed = false;
    // Type 4.0 and 5.1 both know while compiling, for compare messages:
    // 'n' number, 's' string, 'l' nil, '?' anything.
    char staticType = '?';
    int upvalue = -1; // `%x' read as the 5.1 upvalue _U40_<upvalue>
    double value = 0;
    size_t nameToken = 0;
    size_t stringToken = 0; // the token of a string literal
};

struct Piece {
    std::string text;
    int line; // -1: continue on the line of the previous piece
};

struct Local {
    // 4.0's hidden locals have names no variable has, "(step)"
    std::string name;
    int forLoop; // numeric for that declared it, or -1
};

struct FuncScope {
    FuncScope* prev = nullptr;
    std::vector<Local> actives;
    std::vector<std::string> upvalues; // names read with `%', in order of first use
    int loops = 0;
    bool main = false;
    // Values 4.0 has pushed for the expressions being read (the function
    // and the arguments before the current one, the operands of `..' before
    // the current one): with the locals, its stack depth.
    int pending = 0;
};

inline bool isReserved51(const std::string& name) {
    return name == "true" || name == "false" || name == "in";
}

// 4.0 allows `true', `false' and `in' as names; 5.1 reserves them.
inline std::string variableName(const std::string& name) {
    return isReserved51(name) ? "__" + name : name;
}

inline std::string fieldAccess(const std::string& name) {
    return isReserved51(name) ? "[\"" + name + "\"]" : "." + name;
}

inline bool smallIntegerLiteral(const std::string& text) {
    if (text.size() > 14) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

class Parser {
  public:
    Parser(const std::vector<Token>& tokens, const std::string& chunk, bool byMethod)
        : tokens_(tokens), chunk_(chunk), byMethod_(byMethod) {}

    std::string run() {
        stackBase_ = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        FuncScope main;
        main.main = true;
        fs_ = &main;
        pieces_.reserve(tokens_.size() + tokens_.size() / 4);
        put(kHelperDecl, 1);
        chunk();
        if (tok().type != TK_EOS) error("<eof> expected");
        // Valid 4.0 that 5.1 cannot compile, refused only once the whole
        // chunk is known to have no 4.0 syntax error.
        if (!tooDeep_.empty()) throw SyntaxError{tooDeep_};
        return join();
    }

    // The comparisons of the chunk when 5.1 makes any of them with its
    // operands swapped (see Translation::compares); empty otherwise.
    std::string compares() const { return swappedCompare_ ? compares_ : std::string(); }

    // Whether a call of the 5.1 text may close on a later line than it opens.
    bool callsSpanLines() const { return callsSpanLines_; }

  private:
    const std::vector<Token>& tokens_;
    const std::string& chunk_;
    const bool byMethod_; // comparisons and `^' through _OP40 (see translate())
    size_t index_ = 0;
    FuncScope* fs_ = nullptr;
    std::vector<Piece> pieces_;
    std::vector<bool> forAssigned_;
    int tempCounter_ = 0;
    int depth_ = 0;           // nesting of expressions and blocks
    std::string tooDeep_;     // the message once 5.1's nesting limit is passed
    std::string compares_;    // see translate()
    bool swappedCompare_ = false;
    bool callsSpanLines_ = false;

    // 5.1 compiles about 200 levels of nesting; 4.0 has no such limit. Past
    // it parsing goes on, so that a 4.0 syntax error further on is still the
    // one reported, as long as the translator's own recursion stays within
    // kMaxStack bytes of the C stack (some thousands of levels, a few
    // hundred in a build with AddressSanitizer).
    static constexpr int kLimit51 = 200;
    static constexpr std::uintptr_t kMaxStack = 4 << 20;
    std::uintptr_t stackBase_ = 0;
    struct Nesting {
        Parser& p;
        explicit Nesting(Parser& parser) : p(parser) {
            std::uintptr_t here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
            if (p.stackBase_ - here > kMaxStack) p.error("chunk has too many syntax levels");
            if (++p.depth_ > kLimit51) p.tooDeep("chunk has too many syntax levels");
        }
        ~Nesting() { --p.depth_; }
    };
    void tooDeep(const std::string& what) {
        if (tooDeep_.empty()) tooDeep_ = syntaxMessage(what, tokenText(tok()), tok().line, chunk_);
    }

    const Token& tok() const { return tokens_[index_]; }
    const std::string& textOf(size_t token) const { return tokens_[token].text; }
    const Token& ahead() const {
        return tokens_[index_ + 1 < tokens_.size() ? index_ + 1 : index_];
    }
    void next() {
        if (index_ + 1 < tokens_.size()) ++index_;
    }
    bool is(char c) const { return tok().type == TK_CHAR && tok().ch == c; }
    bool isIn() const { return tok().type == TK_NAME && tok().text == "in"; }

    [[noreturn]] void error(const std::string& what) {
        throw SyntaxError{syntaxMessage(what, tokenText(tok()), tok().line, chunk_)};
    }
    // The same at the current line, quoting a name instead of the token.
    [[noreturn]] void errorNamed(const std::string& what, const std::string& name) {
        throw SyntaxError{syntaxMessage(what, name, tok().line, chunk_)};
    }
    void errorExpected(TokenType type, char ch = 0) {
        error("`" + tokenTypeText(type, ch) + "' expected");
    }
    void check(TokenType type, char ch = 0) {
        if (tok().type != type || (type == TK_CHAR && tok().ch != ch)) errorExpected(type, ch);
    }
    void checkMatch(TokenType what, char whatCh, TokenType who, char whoCh, int line) {
        if (tok().type == what && (what != TK_CHAR || tok().ch == whatCh)) return;
        if (line == tok().line) errorExpected(what, whatCh);
        error("`" + tokenTypeText(what, whatCh) + "' expected (to close `" +
              tokenTypeText(who, whoCh) + "' at line " + std::to_string(line) + ")");
    }
    // 4.0's limit of active locals in a function, its hidden ones included
    // (a numeric for's limit and step, a table for's table).
    void checkLocals(size_t count) {
        if (count > 200) error("too many local variables (limit=200)");
    }
    const std::string& checkName() {
        if (tok().type != TK_NAME) error("<name> expected");
        return tok().text;
    }

    size_t put(const std::string& text, int line = -1) {
        pieces_.push_back(Piece{text, line});
        return pieces_.size() - 1;
    }
    // Emits the current token's source form and advances. Inlined: the
    // translator calls it for nearly every token.
    [[gnu::always_inline]] size_t putToken(const std::string& text) {
        size_t at = put(text, tok().startLine);
        next();
        return at;
    }
    void prepend(size_t at, const std::string& text) {
        pieces_[at].text = text + " " + pieces_[at].text;
    }

    // A comparison or `not' whose result is used as a value becomes 1 or nil.
    void toValue(ExpInfo& e) {
        if (!e.boolean) return;
        prepend(e.start, "((");
        put(") and 1 or nil)");
        e.boolean = false;
        e.top = LOG_NONE;
    }

    // 5.1 reads a variable (a field, most of all) only once it has taken the
    // token after it when that is a `,' or the `)' of a call, and a list
    // item of a table constructor once it has taken the separator after it
    // and, after a last one, the `}'; 4.0 reads it at once. Where that token
    // is on a later line, parentheses make 5.1 read it at once too, so that
    // an error (or a tag method) has the variable's line.
    // A global named alone as the first item of a constructor's part is read
    // by 4.0 on the line of the token after it (which it looked ahead at).
    void readBeforeNextLine(ExpInfo& e, bool listItem = false, bool lookedAhead = false) {
        if (!e.assignable || e.call) return;
        int end = tokens_[index_ - 1].line;
        if (tok().line == end && !(listItem && ahead().line != end)) return;
        prepend(e.start, "(");
        put(")", lookedAhead ? tok().line : -1);
        e.assignable = false;
    }

    // A call in a multiple-result position: drop parentheses that 5.1 would
    // take as truncation, `(f())' being the same as `f()' in 4.0.
    void multiResult(ExpInfo& e) {
        if (e.parens.empty()) return;
        for (size_t i = 0; i < e.parens.size(); i += 2) {
            std::string& open = pieces_[e.parens[i]].text;
            open.erase(open.size() - 1);
            pieces_[e.parens[i + 1]].text.erase(0, 1);
        }
        e.parens.clear();
        e.call = true;
    }

    // --- operators (lua40_operators.cpp) ---
    ExpInfo expr(Context ctx);
    static int binaryPriority(const Token& t, int& right);
    ExpInfo subexpr(int limit, Context ctx);
    ExpInfo concatChain(ExpInfo first, size_t firstToken);
    void arithmetic(ExpInfo& e, ExpInfo& rhs, char op, size_t opPiece);
    void comparison(ExpInfo& e, const ExpInfo& rhs, TokenType type, char op, size_t opPiece);
    void compareOperand(const ExpInfo& e);

    // --- operands and calls (lua40_translate.cpp) ---
    int findLocal(const FuncScope* f, const std::string& name) const;
    ExpInfo singleVar(const std::string& name);
    ExpInfo upvalue();
    ExpInfo simpleExp();
    ExpInfo varOrFunc();
    static constexpr size_t kDeferred = static_cast<size_t>(-1);
    void checkStack(size_t pushedToken);
    size_t pushedAt(const ExpInfo& e, size_t from, size_t to) const;
    void functionArgs(int slots = 1);   // slots: what 4.0 pushes before the arguments
    void functionArgList(int slots);
    int expList(bool multi, ExpInfo* last = nullptr);

    // --- table constructors (lua40_constructors.cpp) ---
    size_t constructor();
    struct ConstructorPart;
    ConstructorPart constructorPart();
    // Constant keys and pieces to rewrite of the constructors being parsed,
    // kept as stacks so that nested constructors allocate nothing new.
    struct ConstructorKey {
        char kind;     // 's' string (the token's text), 'n' number
        size_t token;
        double number;
    };
    std::vector<ConstructorKey> constructorKeys_;
    std::vector<std::pair<size_t, char>> constructorPieces_; // 'N' name key, 'B' bracket, 'E' `='

    // --- function bodies (lua40_translate.cpp) ---
    size_t functionBody(bool method, int line, bool atKeyword = true);

    // --- statements (lua40_statements.cpp) ---
    static bool blockFollow(const Token& t);
    void chunk();
    void block();
    void loopBlock();
    bool statement();
    void returnStatement();
    void localStatement();
    void functionStatement(int line);
    void expressionStatement();
    void forStatement(int line);

    std::string join() const {
        std::string out;
        out.reserve(pieces_.size() * 6);
        int line = 1;
        for (const Piece& p : pieces_) {
            if (p.text.empty()) continue;
            if (p.line > line) {
                out.append(static_cast<size_t>(p.line - line), '\n');
                line = p.line;
            } else if (!out.empty() && out.back() != '\n') {
                out += ' ';
            }
            out += p.text;
            for (char c : p.text)
                if (c == '\n') ++line;
        }
        out += '\n';
        return out;
    }
};

} // namespace parser
} // namespace lua40
