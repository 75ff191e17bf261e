// Lua 4.0 to 5.1 translator (see lua40_translate.h): the entry point and
// the expression part of the parser (lua40_parser.h).
#include "lua40/lua40_parser.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

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
    e.nameToken = index_;
    e.start = putToken(variableName(name));
    e.assignable = true;
    int slot = findLocal(fs_, name);
    if (slot >= 0) {
        e.forLoop = fs_->actives[slot].forLoop;
        e.variable = 'l';
    } else {
        for (FuncScope* f = fs_->prev; f != nullptr; f = f->prev)
            if (findLocal(f, name) >= 0) errorNamed("cannot access a variable in outer scope", name);
        e.variable = 'g';
    }
    return e;
}

// `%name': the value of name when the enclosing function was created.
ExpInfo Parser::upvalue() {
    int percentLine = tok().startLine;
    next();
    const std::string& name = checkName();
    next();
    // 4.0 quotes the name in these, not the token after it. A name that is
    // no local of any enclosing function is a global.
    int level = findLocal(fs_, name) >= 0 ? 0 : -1;
    for (FuncScope* f = fs_->prev; level < 0 && f != nullptr; f = f->prev)
        if (findLocal(f, name) >= 0) level = f == fs_->prev ? 1 : 2;
    if (level == -1 && fs_->main) errorNamed("cannot access upvalue in main", name);
    if (level == 0 || level == 2)
        errorNamed("upvalue must be global or local to immediately outer scope", name);
    size_t k = 0;
    while (k < fs_->upvalues.size() && fs_->upvalues[k] != name)
        ++k;
    if (k == fs_->upvalues.size()) {
        if (k >= 32) error("too many upvalues (limit=32)");
        fs_->upvalues.push_back(name);
    }
    ExpInfo e;
    e.upvalue = static_cast<int>(k);
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

namespace {

bool negativeZero(double v) {
    return v == 0 && std::signbit(v);
}

// 4.0 keeps an integral literal up to this in the instruction itself.
constexpr double kMaxShortInteger = 33554431; // 2^25 - 1

} // namespace

ExpInfo Parser::subexpr(int limit, Context ctx) {
    Nesting nesting(*this);
    int firstLine = tok().line;
    ExpInfo e;
    if (tok().type == TK_NOT) {
        e.start = putToken("not");
        subexpr(7, COND);
        e.boolean = true;
    } else if (is('-')) {
        e.start = putToken("-");
        ExpInfo operand = subexpr(7, VALUE);
        toValue(operand);
        if (operand.signedLiteral) {
            // 4.0 folds the sign into the literal, and a zero stays 0; 5.1
            // would make -0 and share it as a constant with every 0 in the
            // function.
            e.signedLiteral = e.numeral = true;
            e.staticType = 'n';
            e.value = operand.value == 0 ? 0 : -operand.value;
            if (operand.value == 0) pieces_[e.start].text.clear();
        } else if (operand.numeral && operand.value == 0) {
            // 4.0 negates at run time, giving -0; 5.1 would fold it.
            prepend(operand.start, "_R40(");
            put(")");
        } else if (operand.numeral) {
            e.numeral = true;
            e.staticType = 'n';
            e.value = -operand.value;
        }
    } else {
        e = simpleExp();
    }
    // Each wrap of the left operand nests the 5.1 text deeper (a comparison
    // made a value by two levels, parentheses by one): past 5.1's own limit,
    // less some room for the statement around it, the chain is refused,
    // before its text grows long.
    int levels = 0;
    auto wrapping = [&](int added) {
        levels += added;
        if (levels > kLimit51 - 10) tooDeep("chunk has too many syntax levels");
    };
    int right = 0;
    for (int left = binaryPriority(tok(), right); left > limit;
         left = binaryPriority(tok(), right)) {
        // Both read the left operand once they have taken the operator,
        // which may start the next line; 4.0 reads a field at its key's.
        if (e.keyPushed) readBeforeNextLine(e);
        TokenType type = tok().type;
        if (type == TK_AND || type == TK_OR) {
            wrapping(ctx == VALUE && e.boolean ? 2 : 0);
            if (ctx == VALUE) toValue(e);
            // 4.0 gives `and' and `or' one priority, left-associative.
            if (type == TK_AND && e.top == LOG_OR) {
                wrapping(1);
                prepend(e.start, "(");
                put(")");
            }
            putToken(type == TK_AND ? "and" : "or");
            ExpInfo rhs = subexpr(right, ctx);
            if (ctx == VALUE) toValue(rhs);
            ExpInfo combined;
            combined.start = e.start;
            combined.top = type == TK_AND ? LOG_AND : LOG_OR;
            e = std::move(combined);
        } else if (type == TK_CONCAT) {
            e = concatChain(e);
        } else {
            wrapping(e.boolean ? 2 : 0);
            toValue(e);
            char op = type == TK_CHAR ? tok().ch : 0;
            std::string text = op != 0 ? std::string(1, op) : tokenTypeText(type, 0);
            size_t opPiece = putToken(text);
            ExpInfo rhs = subexpr(right, VALUE);
            toValue(rhs);
            if (right == 2)
                comparison(e, rhs, type, op, opPiece);
            else
                arithmetic(e, rhs, op, opPiece);
            // The operator helper's call then spans lines too; 4.0 compares
            // (or calls pow) on the line where the right operand ends.
            if (byMethod_ && tokens_[index_ - 1].line != firstLine) callsSpanLines_ = true;
        }
    }
    return e;
}

// Arithmetic as 4.0 compiles it. `a - k' of a short integer literal k is
// `a + -k' there, so a tag method sees `add' and -k. 4.0 folds no constant
// arithmetic; 5.1 does, which is the same except that a folded -0 becomes a
// shared constant: such a fold is kept from happening.
void Parser::arithmetic(ExpInfo& e, ExpInfo& rhs, char op, size_t opPiece) {
    ExpInfo combined;
    combined.start = e.start;
    if (op == '^' && byMethod_) {
        // The number tag's pow may not be the math library's (see translate()).
        // In parentheses: `return a ^ b' is no tail call, so tracebacks keep the frame.
        prepend(e.start, "(_OP40(\"^\",");
        pieces_[opPiece].text = ",";
        put("))");
    } else if (e.numeral && rhs.numeral) {
        double a = e.value, b = rhs.value, r = 0;
        bool folds = true;
        switch (op) {
        case '+':
            r = a + b;
            break;
        case '-':
            r = a - b;
            break;
        case '*':
            r = a * b;
            break;
        case '/':
            folds = b != 0;
            r = folds ? a / b : 0;
            break;
        default:
            r = std::pow(a, b);
            break;
        }
        if (folds && !std::isnan(r)) {
            if (negativeZero(r)) {
                prepend(rhs.start, "_R40(");
                put(")");
            } else {
                combined.numeral = true;
                combined.staticType = 'n';
                combined.value = r;
            }
        }
    } else if (op == '-' && rhs.signedLiteral && std::fabs(rhs.value) <= kMaxShortInteger &&
               rhs.value == std::floor(rhs.value)) {
        pieces_[opPiece].text = "+";
        char text[32];
        std::snprintf(text, sizeof text, "%.0f", rhs.value == 0 ? 0.0 : -rhs.value);
        pieces_[rhs.start].text = text;
        for (size_t i = rhs.start + 1; i < pieces_.size(); ++i)
            pieces_[i].text.clear();
    }
    e = std::move(combined);
}

// An operand of a comparison as the compare messages see it (see
// Translation::compares): its type when known, else the variable it is read
// from (L local, G global, U upvalue, by 5.1 name), else `?'.
void Parser::compareOperand(const ExpInfo& e) {
    if (e.staticType != '?') {
        compares_ += e.staticType;
    } else if (e.variable == 'l' || e.variable == 'g') {
        compares_ += e.variable == 'l' ? 'L' : 'G';
        compares_ += variableName(textOf(e.nameToken));
    } else if (e.upvalue >= 0) {
        compares_ += "U_U40_";
        compares_ += std::to_string(e.upvalue);
    } else {
        compares_ += '?';
    }
}

// 4.0 computes `a > b' as `b < a', `a <= b' as `not (b < a)' and `a >= b' as
// `not (a < b)', which matters for NaN and for lt tag methods. 5.1 runs
// `a > b' as `b < a' too; `a <= b' becomes `not (a > b)'. The operands are
// still evaluated in the order written. Where an lt method may be asked about
// two values of different types, the operator helper makes the comparison
// (see translate()); two literals of one type never need it.
void Parser::comparison(ExpInfo& e, const ExpInfo& rhs, TokenType type, char op,
                        size_t opPiece) {
    bool ordered = op == '<' || op == '>' || type == TK_LE || type == TK_GE;
    bool literals = (e.staticType == 'n' || e.staticType == 's') && e.staticType == rhs.staticType;
    if (ordered && byMethod_ && !literals) {
        const char* name = op == '<'       ? "\"<\","
                           : op == '>'     ? "\">\","
                           : type == TK_LE ? "\"<=\","
                                           : "\">=\",";
        prepend(e.start, std::string("(_OP40(") + name);
        pieces_[opPiece].text = ",";
        put("))");
    } else if (ordered) {
        bool swapped = op == '>' || type == TK_LE;
        if (type == TK_LE || type == TK_GE) {
            prepend(e.start, "not (");
            pieces_[opPiece].text = type == TK_LE ? ">" : "<";
            put(")");
        }
        // 5.1 reports the line on which the right operand ends.
        compares_ += std::to_string(tokens_[index_ > 0 ? index_ - 1 : 0].line);
        compares_ += ' ';
        compares_ += swapped ? "s " : "o ";
        compareOperand(swapped ? rhs : e);
        compares_ += ' ';
        compareOperand(swapped ? e : rhs);
        compares_ += ';';
        swappedCompare_ = swappedCompare_ || swapped;
    }
    ExpInfo combined;
    combined.start = e.start;
    combined.boolean = true;
    e = std::move(combined);
}

// a .. b .. c: native when every operand is a literal whose text is the
// same in both versions, otherwise one call that formats numbers as 4.0 and
// knows which variables the operands were read from.
ExpInfo Parser::concatChain(ExpInfo first) {
    toValue(first);
    bool allLiteral = first.literal;
    bool named = first.variable != 0;
    std::string names;
    if (named) {
        names += first.variable;
        names += textOf(first.nameToken);
    }
    ExpInfo last = first;
    std::vector<size_t> operators;
    while (tok().type == TK_CONCAT) {
        operators.push_back(putToken(".."));
        ExpInfo operand = subexpr(4, VALUE);
        toValue(operand);
        if (tok().type == TK_CONCAT && operand.keyPushed) readBeforeNextLine(operand);
        allLiteral = allLiteral && operand.literal;
        names += ',';
        if (operand.variable != 0) {
            names += operand.variable;
            names += textOf(operand.nameToken);
            named = true;
        }
        last = operand;
    }
    ExpInfo e;
    e.start = first.start;
    if (!allLiteral) {
        // 5.1 places the helper's call on the first operand's line, 4.0 the
        // join on the last one's.
        int firstLine = pieces_[first.start].line;
        if (firstLine < 0 || firstLine != tokens_[index_ - 1].line) callsSpanLines_ = true;
        // Every operand gives one value; as the last argument a call would give all.
        if (last.call) {
            prepend(last.start, "(");
            put(")");
        }
        prepend(first.start, "_C40(\"" + (named ? names : std::string()) + "\",");
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
        e.numeral = e.signedLiteral = true;
        e.staticType = 'n';
        e.value = t.number;
        e.start = putToken(t.text);
        return e;
    case TK_STRING:
        e.literal = true;
        e.staticType = 's';
        e.stringToken = index_;
        e.start = putToken(t.code);
        return e;
    case TK_NIL:
        e.staticType = 'l';
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
            // The same value in 4.0, unchanged: a literal stays one, a
            // variable keeps its name.
            size_t open = putToken("(");
            ExpInfo inner = expr(VALUE);
            check(TK_CHAR, ')');
            size_t close = putToken(")");
            e.start = open;
            e.numeral = inner.numeral;
            e.signedLiteral = inner.signedLiteral;
            e.value = inner.value;
            e.staticType = inner.staticType;
            e.variable = inner.variable;
            e.nameToken = inner.nameToken;
            e.upvalue = inner.upvalue;
            if (inner.staticType == 's' && inner.literal) {
                e.literal = true;
                e.stringToken = inner.stringToken;
            }
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
        const std::string& name = checkName();
        e = singleVar(name);
    }
    size_t start = e.start;
    bool named = true; // so far a variable or constant fields of one
    for (;;) {
        if (is('.')) {
            next();
            checkName();
            e = ExpInfo();
            e.assignable = true;
            e.variable = 'f';
            e.keyPushed = true;
            e.nameToken = index_;
            putToken(fieldAccess(tok().text));
        } else if (is('[')) {
            named = false;
            putToken("[");
            ExpInfo key = expr(VALUE);
            bool localKey = key.variable == 'l'; // maybe in parentheses, which 4.0 drops
            check(TK_CHAR, ']');
            putToken("]");
            e = ExpInfo();
            e.assignable = true;
            e.keyPushed = localKey;
            if (key.staticType == 's' && key.literal) { // 4.0 reads t["x"] as t.x
                e.variable = 'f';
                e.keyPushed = true;
                e.nameToken = key.stringToken;
            }
        } else if (is(':')) {
            // The `:' is never the last token.
            const Token& method = tokens_[index_ + 1];
            std::string self; // the object passed by hand
            if (method.type == TK_NAME && isReserved51(method.text)) {
                // 5.1 has no `a:true()'. A variable or its fields are read
                // twice, `a.b["true"](a.b)'; anything else goes through a
                // function that calls the method by key (rare, so its cost is
                // no matter).
                next();
                std::string key = "[\"" + method.text + "\"]";
                if (named) {
                    for (size_t i = start; i < pieces_.size(); ++i)
                        self += pieces_[i].text;
                    putToken(key);
                } else {
                    prepend(start, "_R40(function(o) return function(...) return o" + key +
                                       "(o, ...) end end)(");
                    putToken(")");
                }
            } else {
                putToken(":");
                const std::string& name = checkName();
                putToken(variableName(name));
            }
            size_t open = pieces_.size();
            functionArgs();
            if (!self.empty()) pieces_[open].text += self + (pieces_.size() == open + 2 ? "" : ",");
            named = false;
            e = ExpInfo();
            e.call = true;
        } else if (is('(') || is('{') || tok().type == TK_STRING) {
            named = false;
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
    int calleeLine = tokens_[index_ > 0 ? index_ - 1 : 0].line;
    functionArgList();
    if (tokens_[index_ - 1].line != calleeLine) callsSpanLines_ = true;
}

void Parser::functionArgList() {
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
        if (!is(')')) {
            ExpInfo last;
            expList(true, &last);
            readBeforeNextLine(last);
        }
        checkMatch(TK_CHAR, ')', TK_CHAR, '(', line);
        putToken(")");
    }
}

// Returns the number of expressions; the last one may keep all its results.
int Parser::expList(bool multi, ExpInfo* last) {
    int n = 1;
    ExpInfo e = expr(VALUE);
    while (is(',')) {
        readBeforeNextLine(e);
        putToken(",");
        e = expr(VALUE);
        ++n;
    }
    if (multi) multiResult(e);
    if (last != nullptr) *last = e;
    return n;
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
    bool vararg = false;
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
                vararg = true;
                break;
            }
            if (tok().type != TK_NAME) error("<name> or `...' expected");
            if (!first) put(",");
            scope.actives.push_back(Local{tok().text, -1});
            putToken(variableName(tok().text));
            checkLocals(scope.actives.size());
            first = false;
            if (!is(',')) break;
            next();
        }
    }
    if (scope.actives.size() - (vararg ? 1 : 0) > 100) error("too many parameters (limit=100)");
    check(TK_CHAR, ')');
    putToken(")");
    if (vararg) put("arg=_NT40(arg);"); // the table of extra arguments is a table like any
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

Translation translate(const std::string& source, const std::string& chunkDisplay,
                      bool byMethod) {
    Translation result;
    std::vector<Token> tokens;
    if (!tokenize(source, chunkDisplay, tokens, result.error)) return result;
    for (size_t i = 0; i < tokens.size() && !byMethod; ++i)
        byMethod = tokens[i].type == TK_STRING && (tokens[i].text == "lt" || tokens[i].text == "pow");
    try {
        parser::Parser parser(tokens, chunkDisplay, byMethod);
        result.code = parser.run();
        result.compares = parser.compares();
        result.callsSpanLines = parser.callsSpanLines();
        result.ok = true;
    } catch (const SyntaxError& e) {
        result.error = e.message;
    }
    return result;
}

} // namespace lua40
