// Lua 4.0 to 5.1 translator (see lua40_translate.h): the entry point and
// the expression part of the parser (lua40_parser.h).
#include "lua40/lua40_parser.h"

#include <cstdlib>
#include <cstdio>

namespace lua40 {
namespace parser {

int Parser::findLocal(const FuncScope* f, const std::string& name) const {
    for (size_t i = f->actives.size(); i-- > 0;)
        if (f->actives[i].name == name) return static_cast<int>(i);
    return -1;
}

// A plain name: a local of this function or a global; 4.0 forbids using
// locals of enclosing functions without `%'.
ExpInfo Parser::singleVar(const std::string& name) {
    ExpInfo e;
    e.start = putToken(variableName(name));
    e.assignable = true;
    int slot = findLocal(fs_, name);
    if (slot >= 0) {
        e.forLoop = fs_->actives[slot].forLoop;
    } else {
        for (FuncScope* f = fs_->prev; f != nullptr; f = f->prev)
            if (findLocal(f, name) >= 0) errorNamed("cannot access a variable in outer scope", name);
    }
    return e;
}

// `%name': the value of name when the enclosing function was created.
ExpInfo Parser::upvalue() {
    int percentLine = tok().startLine;
    next();
    std::string name = checkName();
    next();
    // 4.0 quotes the name in these, not the token after it.
    if (fs_->main) errorNamed("cannot access upvalue in main", name);
    if (findLocal(fs_, name) >= 0) errorNamed("cannot access an upvalue in current scope", name);
    if (findLocal(fs_->prev, name) < 0)
        for (FuncScope* f = fs_->prev->prev; f != nullptr; f = f->prev)
            if (findLocal(f, name) >= 0)
                errorNamed("upvalue must be global or local to immediately outer scope", name);
    size_t k = 0;
    while (k < fs_->upvalues.size() && fs_->upvalues[k] != name)
        ++k;
    if (k == fs_->upvalues.size()) {
        if (k >= 32) error("too many upvalues (limit=32)");
        fs_->upvalues.push_back(name);
    }
    ExpInfo e;
    e.start = put("_U40_" + std::to_string(k), percentLine);
    return e;
}

ExpInfo Parser::expr(Context ctx) {
    ExpInfo e = subexpr(0, ctx);
    if (ctx == VALUE) toValue(e);
    return e;
}

int Parser::binaryPriority(const Token& t, int& right) {
    switch (t.type) {
    case TK_AND:
    case TK_OR:
        right = 1;
        return 1;
    case TK_EQ:
    case TK_NE:
    case TK_LE:
    case TK_GE:
        right = 2;
        return 2;
    case TK_CONCAT:
        right = 3;
        return 4;
    case TK_CHAR:
        switch (t.ch) {
        case '<':
        case '>':
            right = 2;
            return 2;
        case '+':
        case '-':
            right = 5;
            return 5;
        case '*':
        case '/':
            right = 6;
            return 6;
        case '^':
            right = 8;
            return 9;
        default:
            return -1;
        }
    default:
        return -1;
    }
}

ExpInfo Parser::subexpr(int limit, Context ctx) {
    Nesting nesting(*this);
    ExpInfo e;
    if (tok().type == TK_NOT) {
        e.start = putToken("not");
        subexpr(7, COND);
        e.boolean = true;
    } else if (is('-')) {
        e.start = putToken("-");
        bool number = tok().type == TK_NUMBER;
        ExpInfo operand = subexpr(7, VALUE);
        toValue(operand);
        // 4.0 folds the minus into an integral literal, so -0 is plain 0; 5.1
        // would keep -0 and share it as a constant with every 0 in the function.
        if (number && operand.start + 1 == pieces_.size() &&
            std::strtod(pieces_[operand.start].text.c_str(), nullptr) == 0)
            pieces_[e.start].text.clear();
    } else {
        e = simpleExp();
    }
    // Each wrap of the left operand nests the 5.1 text one level deeper: past
    // 5.1's own limit the chain is refused here, before its text grows long.
    int wraps = 0;
    auto wrapping = [&](bool wraps_) {
        if (wraps_ && ++wraps > 200) error("chunk has too many syntax levels");
    };
    int right = 0;
    for (int left = binaryPriority(tok(), right); left > limit;
         left = binaryPriority(tok(), right)) {
        TokenType type = tok().type;
        if (type == TK_AND || type == TK_OR) {
            wrapping(ctx == VALUE && e.boolean);
            if (ctx == VALUE) toValue(e);
            // 4.0 gives `and' and `or' one priority, left-associative.
            if (type == TK_AND && e.top == LOG_OR) {
                wrapping(true);
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
            wrapping(e.boolean);
            toValue(e);
            std::string op = type == TK_CHAR ? std::string(1, tok().ch) : tokenTypeText(type, 0);
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
ExpInfo Parser::concatChain(ExpInfo first) {
    toValue(first);
    bool allLiteral = first.literal;
    ExpInfo last = first;
    std::vector<size_t> operators;
    while (tok().type == TK_CONCAT) {
        operators.push_back(putToken(".."));
        ExpInfo operand = subexpr(4, VALUE);
        toValue(operand);
        allLiteral = allLiteral && operand.literal;
        last = operand;
    }
    ExpInfo e;
    e.start = first.start;
    if (!allLiteral) {
        // Every operand gives one value; as the last argument a call would give all.
        if (last.call) {
            prepend(last.start, "(");
            put(")");
        }
        prepend(first.start, "_C40(");
        for (size_t at : operators)
            pieces_[at].text = ",";
        put(")");
    }
    return e;
}

ExpInfo Parser::simpleExp() {
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
    case TK_NIL:
        e.start = putToken("nil");
        return e;
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
    case TK_NAME:
        return varOrFunc();
    default:
        break;
    }
    error("<expression> expected");
}

ExpInfo Parser::varOrFunc() {
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

void Parser::functionArgs() {
    if (tok().type == TK_STRING) {
        put("(");
        putToken(tok().code);
        put(")");
    } else if (is('{')) {
        put("(");
        constructor();
        put(")");
    } else {
        if (!is('(')) error("function arguments expected");
        int line = tok().line;
        next();
        put("("); // on the callee's line: 4.0 continues a call across lines
        if (!is(')')) expList(true);
        checkMatch(TK_CHAR, ')', TK_CHAR, '(', line);
        putToken(")");
    }
}

// Returns the number of expressions; the last one may keep all its results.
int Parser::expList(bool multi, ExpInfo* last) {
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

size_t Parser::constructor() {
    int line = tok().line;
    size_t start = putToken("{");
    int firstKind = constructorPart();
    if (is(';')) {
        // 5.1 takes no separator before the first field.
        putToken(firstKind == 2 ? "" : ";");
        int secondKind = constructorPart();
        if (firstKind == secondKind) error("invalid constructor syntax");
    }
    checkMatch(TK_CHAR, '}', TK_CHAR, '{', line);
    putToken("}");
    return start;
}

// One part of a constructor: empty (2), record fields (1) or list items (0).
int Parser::constructorPart() {
    if (is(';') || is('}')) return 2;
    bool record =
        is('[') || (tok().type == TK_NAME && ahead().type == TK_CHAR && ahead().ch == '=');
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
        size_t comma = putToken(",");
        if (is(';')) {
            pieces_[comma].text.clear(); // 5.1 rejects `,;'
            break;
        }
        if (is('}')) break;
    }
    return record ? 1 : 0;
}

// `function (params) body end', wrapped when the body reads upvalues so
// that their values are copied where the closure is created.
size_t Parser::functionBody(bool method, int line, bool atKeyword) {
    Nesting nesting(*this); // nested function bodies count as syntax levels too
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

} // namespace parser

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
        parser::Parser parser(tokens, chunkDisplay);
        result.code = parser.run();
        result.ok = true;
    } catch (const SyntaxError& e) {
        result.error = e.message;
    }
    return result;
}

} // namespace lua40
