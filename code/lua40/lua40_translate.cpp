// Lua 4.0 to 5.1 translator (see lua40_translate.h).
//
// A recursive-descent parser of 4.0's grammar emits output pieces, each tagged
// with the source line it belongs to. Rewrites that wrap an expression prepend
// to its first piece and append after its last, so recorded piece indices stay
// valid. The pieces are joined at the end, with line breaks only where the
// source had them.
#include "lua40/lua40_translate.h"

#include "lua40/lua40_lex.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace lua40 {

namespace {

const char* const kHelperDecl = "local _C40,_N40,_T40,_R40,_FP40,_FI40=...;";

enum Context { VALUE, COND };
enum Logical { LOG_NONE, LOG_OR, LOG_AND };

struct ExpInfo {
    size_t start = 0;            // first piece of the expression
    bool boolean = false;        // comparison or `not': true/false in 5.1
    Logical top = LOG_NONE;      // unparenthesised logical operator at the top
    bool call = false;           // a call whose results are not truncated
    std::vector<size_t> parens;  // parentheses around a call, `(f())'
    bool literal = false;        // string or small integer literal
    bool assignable = false;     // a variable (name, field or index)
    int forLoop = -1;            // the numeric-for loop whose variable this is
};

struct Piece {
    std::string text;
    int line; // -1: continue on the line of the previous piece
};

struct Local {
    std::string name;
    int forLoop; // numeric for that declared it, or -1
};

struct FuncScope {
    FuncScope* prev = nullptr;
    std::vector<Local> actives;
    std::vector<std::string> upvalues; // names read with `%', in order of first use
    int loops = 0;
    bool main = false;
};

bool isReserved51(const std::string& name) {
    return name == "true" || name == "false" || name == "in";
}

// 4.0 allows `true', `false' and `in' as names; 5.1 reserves them.
std::string variableName(const std::string& name) {
    return isReserved51(name) ? "__" + name : name;
}

std::string fieldAccess(const std::string& name) {
    return isReserved51(name) ? "[\"" + name + "\"]" : "." + name;
}

bool smallIntegerLiteral(const std::string& text) {
    if (text.size() > 14) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

class Parser {
public:
    Parser(const std::vector<Token>& tokens, const std::string& chunk)
        : tokens_(tokens), chunk_(chunk) {}

    std::string run() {
        FuncScope main;
        main.main = true;
        fs_ = &main;
        pieces_.reserve(tokens_.size() + tokens_.size() / 4);
        put(kHelperDecl, 1);
        chunk();
        if (tok().type != TK_EOS) error("<eof> expected");
        return join();
    }

private:
    const std::vector<Token>& tokens_;
    const std::string& chunk_;
    size_t index_ = 0;
    FuncScope* fs_ = nullptr;
    std::vector<Piece> pieces_;
    std::vector<bool> forAssigned_;
    int tempCounter_ = 0;
    int depth_ = 0; // nesting of expressions and blocks, bounded like 5.1's

    struct Nesting {
        Parser& p;
        explicit Nesting(Parser& parser) : p(parser) {
            if (++p.depth_ > 200) p.error("chunk has too many syntax levels");
        }
        ~Nesting() { --p.depth_; }
    };

    const Token& tok() const { return tokens_[index_]; }
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
    std::string checkName() {
        if (tok().type != TK_NAME) error("<name> expected");
        std::string name = tok().text;
        return name;
    }

    size_t put(const std::string& text, int line = -1) {
        pieces_.push_back(Piece{text, line});
        return pieces_.size() - 1;
    }
    // Emits the current token's source form and advances.
    size_t putToken(const std::string& text) {
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

    // --- scopes -----------------------------------------------------------

    int findLocal(const FuncScope* f, const std::string& name) const {
        for (size_t i = f->actives.size(); i-- > 0;)
            if (f->actives[i].name == name) return static_cast<int>(i);
        return -1;
    }

    // A plain name: a local of this function or a global; 4.0 forbids using
    // locals of enclosing functions without `%'.
    ExpInfo singleVar(const std::string& name) {
        ExpInfo e;
        e.start = putToken(variableName(name));
        e.assignable = true;
        int slot = findLocal(fs_, name);
        if (slot >= 0) {
            e.forLoop = fs_->actives[slot].forLoop;
        } else {
            for (FuncScope* f = fs_->prev; f != nullptr; f = f->prev)
                if (findLocal(f, name) >= 0) error("cannot access a variable in outer scope");
        }
        return e;
    }

    // `%name': the value of name when the enclosing function was created.
    ExpInfo upvalue() {
        int percentLine = tok().startLine;
        next();
        std::string name = checkName();
        next();
        if (fs_->main) error("cannot access upvalue in main");
        if (findLocal(fs_, name) >= 0) error("cannot access an upvalue in current scope");
        if (findLocal(fs_->prev, name) < 0)
            for (FuncScope* f = fs_->prev->prev; f != nullptr; f = f->prev)
                if (findLocal(f, name) >= 0)
                    error("upvalue must be global or local to immediately outer scope");
        size_t k = 0;
        while (k < fs_->upvalues.size() && fs_->upvalues[k] != name) ++k;
        if (k == fs_->upvalues.size()) {
            if (k >= 32) error("too many upvalues (limit=32)");
            fs_->upvalues.push_back(name);
        }
        ExpInfo e;
        e.start = put("_U40_" + std::to_string(k), percentLine);
        return e;
    }

    // --- expressions ------------------------------------------------------

    ExpInfo expr(Context ctx) {
        ExpInfo e = subexpr(0, ctx);
        if (ctx == VALUE) toValue(e);
        return e;
    }

    static int binaryPriority(const Token& t, int& right) {
        switch (t.type) {
        case TK_AND: case TK_OR: right = 1; return 1;
        case TK_EQ: case TK_NE: case TK_LE: case TK_GE: right = 2; return 2;
        case TK_CONCAT: right = 3; return 4;
        case TK_CHAR:
            switch (t.ch) {
            case '<': case '>': right = 2; return 2;
            case '+': case '-': right = 5; return 5;
            case '*': case '/': right = 6; return 6;
            case '^': right = 8; return 9;
            default: return -1;
            }
        default: return -1;
        }
    }

    ExpInfo subexpr(int limit, Context ctx) {
        Nesting nesting(*this);
        ExpInfo e;
        if (tok().type == TK_NOT) {
            e.start = putToken("not");
            subexpr(7, COND);
            e.boolean = true;
        } else if (is('-')) {
            e.start = putToken("-");
            ExpInfo operand = subexpr(7, VALUE);
            toValue(operand);
        } else {
            e = simpleExp();
        }
        int right = 0;
        for (int left = binaryPriority(tok(), right); left > limit;
             left = binaryPriority(tok(), right)) {
            TokenType type = tok().type;
            if (type == TK_AND || type == TK_OR) {
                if (ctx == VALUE) toValue(e);
                // 4.0 gives `and' and `or' one priority, left-associative.
                if (type == TK_AND && e.top == LOG_OR) {
                    prepend(e.start, "(");
                    put(")");
                }
                putToken(type == TK_AND ? "and" : "or");
                ExpInfo rhs = subexpr(right, ctx);
                if (ctx == VALUE) toValue(rhs);
                ExpInfo combined;
                combined.start = e.start;
                combined.top = type == TK_AND ? LOG_AND : LOG_OR;
                e = combined;
            } else if (type == TK_CONCAT) {
                e = concatChain(e);
            } else {
                toValue(e);
                std::string op = type == TK_CHAR ? std::string(1, tok().ch)
                                                 : tokenTypeText(type, 0);
                bool comparison = right == 2;
                putToken(op);
                ExpInfo rhs = subexpr(right, VALUE);
                toValue(rhs);
                ExpInfo combined;
                combined.start = e.start;
                combined.boolean = comparison;
                e = combined;
            }
        }
        return e;
    }

    // a .. b .. c: native when every operand is a literal whose text is the
    // same in both versions, otherwise one call that formats numbers as 4.0.
    ExpInfo concatChain(ExpInfo first) {
        toValue(first);
        bool allLiteral = first.literal;
        std::vector<size_t> operators;
        while (tok().type == TK_CONCAT) {
            operators.push_back(putToken(".."));
            ExpInfo operand = subexpr(4, VALUE);
            toValue(operand);
            allLiteral = allLiteral && operand.literal;
        }
        ExpInfo e;
        e.start = first.start;
        if (!allLiteral) {
            prepend(first.start, "_C40(");
            for (size_t at : operators) pieces_[at].text = ",";
            put(")");
        }
        return e;
    }

    ExpInfo simpleExp() {
        ExpInfo e;
        const Token& t = tok();
        switch (t.type) {
        case TK_NUMBER:
            e.literal = smallIntegerLiteral(t.text);
            e.start = putToken(t.text);
            return e;
        case TK_STRING:
            e.literal = true;
            e.start = putToken(t.code);
            return e;
        case TK_NIL: e.start = putToken("nil"); return e;
        case TK_FUNCTION: {
            int line = t.startLine;
            e.start = functionBody(false, line);
            return e;
        }
        case TK_CHAR:
            if (t.ch == '{') {
                e.start = constructor();
                return e;
            }
            if (t.ch == '(') {
                int line = t.line;
                size_t open = putToken("(");
                ExpInfo inner = expr(VALUE);
                checkMatch(TK_CHAR, ')', TK_CHAR, '(', line);
                size_t close = putToken(")");
                e.start = open;
                if (inner.call || !inner.parens.empty()) {
                    e.parens = inner.parens;
                    e.parens.push_back(open);
                    e.parens.push_back(close);
                }
                return e;
            }
            if (t.ch == '%') return varOrFunc();
            break;
        case TK_NAME: return varOrFunc();
        default: break;
        }
        error("<expression> expected");
    }

    ExpInfo varOrFunc() {
        ExpInfo e;
        if (is('%')) {
            e = upvalue();
        } else {
            std::string name = checkName();
            e = singleVar(name);
        }
        size_t start = e.start;
        for (;;) {
            if (is('.')) {
                next();
                std::string name = checkName();
                putToken(fieldAccess(name));
                e = ExpInfo();
                e.assignable = true;
            } else if (is('[')) {
                putToken("[");
                expr(VALUE);
                check(TK_CHAR, ']');
                putToken("]");
                e = ExpInfo();
                e.assignable = true;
            } else if (is(':')) {
                putToken(":");
                std::string name = checkName();
                putToken(variableName(name));
                functionArgs();
                e = ExpInfo();
                e.call = true;
            } else if (is('(') || is('{') || tok().type == TK_STRING) {
                functionArgs();
                e = ExpInfo();
                e.call = true;
            } else {
                break;
            }
        }
        e.start = start;
        return e;
    }

    void functionArgs() {
        if (tok().type == TK_STRING) {
            put("(");
            putToken(tok().code);
            put(")");
        } else if (is('{')) {
            put("(");
            constructor();
            put(")");
        } else {
            int line = tok().line;
            next();
            put("("); // on the callee's line: 4.0 continues a call across lines
            if (!is(')')) expList(true);
            checkMatch(TK_CHAR, ')', TK_CHAR, '(', line);
            putToken(")");
        }
    }

    // Returns the number of expressions; the last one may keep all its results.
    int expList(bool multi, ExpInfo* last = nullptr) {
        int n = 1;
        ExpInfo e = expr(VALUE);
        while (is(',')) {
            putToken(",");
            e = expr(VALUE);
            ++n;
        }
        if (multi) multiResult(e);
        if (last != nullptr) *last = e;
        return n;
    }

    size_t constructor() {
        int line = tok().line;
        size_t start = putToken("{");
        int firstKind = constructorPart();
        if (is(';')) {
            putToken(";");
            int secondKind = constructorPart();
            if (firstKind == secondKind) error("invalid constructor syntax");
        }
        checkMatch(TK_CHAR, '}', TK_CHAR, '{', line);
        putToken("}");
        return start;
    }

    // One part of a constructor: empty (2), record fields (1) or list items (0).
    int constructorPart() {
        if (is(';') || is('}')) return 2;
        bool record = is('[') || (tok().type == TK_NAME && ahead().type == TK_CHAR &&
                                  ahead().ch == '=');
        for (;;) {
            if (record) {
                if (is('[')) {
                    putToken("[");
                    expr(VALUE);
                    check(TK_CHAR, ']');
                    putToken("]");
                } else {
                    std::string name = checkName();
                    putToken(isReserved51(name) ? "[\"" + name + "\"]" : name);
                }
                check(TK_CHAR, '=');
                putToken("=");
                expr(VALUE);
            } else {
                // Every list item gives one value in 4.0, the last one included.
                ExpInfo item = expr(VALUE);
                if (item.call) {
                    prepend(item.start, "(");
                    put(")");
                }
            }
            if (!is(',')) break;
            putToken(",");
            if (is(';') || is('}')) break;
        }
        return record ? 1 : 0;
    }

    // `function (params) body end', wrapped when the body reads upvalues so
    // that their values are copied where the closure is created.
    size_t functionBody(bool method, int line, bool atKeyword = true) {
        size_t start = put("function", line);
        if (atKeyword) next();
        FuncScope scope;
        scope.prev = fs_;
        fs_ = &scope;
        check(TK_CHAR, '(');
        putToken("(");
        bool first = true;
        if (method) {
            scope.actives.push_back(Local{"self", -1});
            put("self");
            first = false;
        }
        if (!is(')')) {
            for (;;) {
                if (tok().type == TK_DOTS) {
                    if (!first) put(",");
                    putToken("...");
                    scope.actives.push_back(Local{"arg", -1});
                    break;
                }
                if (tok().type != TK_NAME) error("<name> or `...' expected");
                if (!first) put(",");
                scope.actives.push_back(Local{tok().text, -1});
                putToken(variableName(tok().text));
                first = false;
                if (!is(',')) break;
                next();
            }
        }
        check(TK_CHAR, ')');
        putToken(")");
        chunk();
        checkMatch(TK_END, 0, TK_FUNCTION, 0, line);
        putToken("end");
        fs_ = scope.prev;
        if (!scope.upvalues.empty()) {
            std::string params, args;
            for (size_t k = 0; k < scope.upvalues.size(); ++k) {
                if (k > 0) {
                    params += ",";
                    args += ",";
                }
                params += "_U40_" + std::to_string(k);
                args += variableName(scope.upvalues[k]);
            }
            prepend(start, "(function(" + params + ") return");
            put("end)(" + args + ")");
        }
        return start;
    }

    // --- statements -------------------------------------------------------

    static bool blockFollow(const Token& t) {
        return t.type == TK_ELSE || t.type == TK_ELSEIF || t.type == TK_END ||
               t.type == TK_UNTIL || t.type == TK_EOS;
    }

    void chunk() {
        bool last = false;
        while (!last && !blockFollow(tok())) {
            last = statement();
            if (is(';')) putToken(";");
        }
    }

    void block() {
        Nesting nesting(*this);
        size_t saved = fs_->actives.size();
        chunk();
        fs_->actives.resize(saved);
    }

    void loopBlock() {
        fs_->loops++;
        block();
        fs_->loops--;
    }

    bool statement() {
        int line = tok().line;
        switch (tok().type) {
        case TK_IF:
            putToken("if");
            expr(COND);
            check(TK_THEN);
            putToken("then");
            block();
            while (tok().type == TK_ELSEIF) {
                putToken("elseif");
                expr(COND);
                check(TK_THEN);
                putToken("then");
                block();
            }
            if (tok().type == TK_ELSE) {
                putToken("else");
                block();
            }
            checkMatch(TK_END, 0, TK_IF, 0, line);
            putToken("end");
            return false;
        case TK_WHILE:
            putToken("while");
            expr(COND);
            check(TK_DO);
            putToken("do");
            loopBlock();
            checkMatch(TK_END, 0, TK_WHILE, 0, line);
            putToken("end");
            return false;
        case TK_DO:
            putToken("do");
            block();
            checkMatch(TK_END, 0, TK_DO, 0, line);
            putToken("end");
            return false;
        case TK_FOR: forStatement(line); return false;
        case TK_REPEAT:
            // The condition does not see the body's locals in 4.0.
            putToken("repeat do");
            loopBlock();
            checkMatch(TK_UNTIL, 0, TK_REPEAT, 0, line);
            putToken("end until");
            expr(COND);
            return false;
        case TK_FUNCTION: functionStatement(line); return false;
        case TK_LOCAL: localStatement(); return false;
        case TK_RETURN: returnStatement(); return true;
        case TK_BREAK:
            if (fs_->loops == 0) error("no loop to break");
            putToken("break");
            return true;
        default: expressionStatement(); return false;
        }
    }

    void returnStatement() {
        putToken("return");
        if (blockFollow(tok()) || is(';')) return;
        ExpInfo last;
        int n = expList(true, &last);
        // 5.1 would make this a tail call and lose the caller from tracebacks.
        if (n == 1 && last.call) {
            prepend(last.start, "_R40(");
            put(")");
        }
    }

    void localStatement() {
        putToken("local");
        std::vector<std::string> names;
        for (;;) {
            names.push_back(checkName());
            putToken(variableName(names.back()));
            if (!is(',')) break;
            putToken(",");
        }
        if (is('=')) {
            putToken("=");
            expList(true);
        }
        for (const std::string& name : names) fs_->actives.push_back(Local{name, -1});
    }

    // `function a', `function a.b', `function a:b' become assignments of a
    // function expression, which 5.1 treats identically.
    void functionStatement(int line) {
        next();
        std::string name = checkName();
        singleVar(name);
        bool method = false;
        if (is('.') || is(':')) {
            method = is(':');
            next();
            std::string field = checkName();
            putToken(fieldAccess(field));
        }
        put("=");
        functionBody(method, line, false);
    }

    void expressionStatement() {
        ExpInfo v = varOrFunc();
        if (v.call) return;
        std::vector<ExpInfo> targets{v};
        for (;;) {
            if (!targets.back().assignable) error("syntax error");
            if (!is(',')) break;
            putToken(",");
            if (!is('%') && tok().type != TK_NAME) error("<name> expected");
            targets.push_back(varOrFunc());
        }
        check(TK_CHAR, '=');
        putToken("=");
        expList(true);
        for (const ExpInfo& t : targets)
            if (t.forLoop >= 0) forAssigned_[t.forLoop] = true;
    }

    void forStatement(int line) {
        size_t forPiece = putToken("for");
        std::string name = checkName();
        size_t namePiece = putToken(variableName(name));
        if (is('=')) {
            size_t equals = putToken("=");
            expr(VALUE);
            check(TK_CHAR, ',');
            putToken(",");
            expr(VALUE);
            if (is(',')) {
                putToken(",");
                expr(VALUE);
            }
            check(TK_DO);
            size_t doPiece = putToken("do");
            int loop = static_cast<int>(forAssigned_.size());
            forAssigned_.push_back(false);
            size_t saved = fs_->actives.size();
            fs_->actives.push_back(Local{name, loop});
            loopBlock();
            fs_->actives.resize(saved);
            checkMatch(TK_END, 0, TK_FOR, 0, line);
            size_t endPiece = putToken("end");
            if (forAssigned_[loop]) {
                // The body changes the counter: 4.0's loop reads it back each
                // round, so run it as a while loop over the visible variable.
                std::string v = variableName(name);
                std::string n = std::to_string(++tempCounter_);
                std::string limit = "_L40_" + n, step = "_S40_" + n;
                pieces_[forPiece].text = "do local";
                pieces_[namePiece].text = v + "," + limit + "," + step;
                pieces_[equals].text = "= _FP40(";
                pieces_[doPiece].text = ") while (" + step + ">0 and " + v + "<=" + limit +
                                        ") or (" + step + "<=0 and " + v + ">=" + limit +
                                        ") do do";
                pieces_[endPiece].text = "end " + v + "=_FI40(" + v + ")+" + step + " end end";
            }
            return;
        }
        if (!is(',')) error("`=' or `,' expected");
        putToken(",");
        std::string value = checkName();
        putToken(variableName(value));
        if (!isIn()) error("`in' expected");
        putToken("in _N40,_T40(");
        expr(VALUE);
        put(")");
        check(TK_DO);
        putToken("do");
        size_t saved = fs_->actives.size();
        fs_->actives.push_back(Local{name, -1});
        fs_->actives.push_back(Local{value, -1});
        loopBlock();
        fs_->actives.resize(saved);
        checkMatch(TK_END, 0, TK_FOR, 0, line);
        putToken("end");
    }

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

} // namespace

std::string quoteString(const std::string& value) {
    std::string out = "\"";
    for (unsigned char c : value) {
        if (c == '\n')
            out += "\\\n";
        else
            appendEscaped(out, c);
    }
    out += '"';
    return out;
}

Translation translate(const std::string& source, const std::string& chunkDisplay) {
    Translation result;
    std::vector<Token> tokens;
    if (!tokenize(source, chunkDisplay, tokens, result.error)) return result;
    try {
        Parser parser(tokens, chunkDisplay);
        result.code = parser.run();
        result.ok = true;
    } catch (const SyntaxError& e) {
        result.error = e.message;
    }
    return result;
}

} // namespace lua40
