// Lua 4.0 to 5.1 translator (see lua40_translate.h): the entry point and
// the operands of expressions, calls and function bodies (lua40_parser.h);
// the operators are in lua40_operators.cpp.
#include "lua40/lua40_parser.h"

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
                // twice, `a.b["true"](a.b)'; anything else is kept by a
                // helper that gives it back as the first argument,
                // `_OP40(":", f(), what)["true"](_OP40("self"), ...)', so that
                // no frame of ours shows and 5.1 names the method as 4.0 does.
                next();
                std::string key = "[\"" + method.text + "\"]";
                if (named) {
                    for (size_t i = start; i < pieces_.size(); ++i)
                        self += pieces_[i].text;
                    putToken(key);
                } else {
                    // What an index error calls the object (4.0 names a field).
                    std::string what = "false";
                    if (e.variable == 'f')
                        what = "\"field `" + tokens_[e.nameToken].text + "'\"";
                    prepend(start, "_OP40(\":\",");
                    put("," + what + ")");
                    putToken(key);
                    self = "_OP40(\"self\")";
                }
            } else {
                putToken(":");
                const std::string& name = checkName();
                putToken(variableName(name));
            }
            size_t open = pieces_.size();
            functionArgs(2);
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

void Parser::functionArgs(int slots) {
    int calleeLine = tokens_[index_ > 0 ? index_ - 1 : 0].line;
    functionArgList(slots);
    if (tokens_[index_ - 1].line != calleeLine) callsSpanLines_ = true;
}

void Parser::functionArgList(int slots) {
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
            int pending = fs_->pending;
            fs_->pending += slots;
            expList(true, &last);
            fs_->pending = pending;
            readBeforeNextLine(last);
        }
        checkMatch(TK_CHAR, ')', TK_CHAR, '(', line);
        putToken(")");
    }
}

// Returns the number of expressions; the last one may keep all its results.
int Parser::expList(bool multi, ExpInfo* last) {
    // Each expression takes one slot of 4.0's stack; a variable is pushed
    // at the `,' after it, the last one at the token after the list.
    int n = 1;
    const int pending = fs_->pending;
    size_t from = index_;
    ExpInfo e = expr(VALUE);
    while (is(',')) {
        size_t pushAt = pushedAt(e, from, index_);
        fs_->pending = pending + n;
        checkStack(pushAt == kDeferred ? index_ : pushAt);
        readBeforeNextLine(e);
        putToken(",");
        from = index_;
        e = expr(VALUE);
        ++n;
    }
    size_t pushAt = pushedAt(e, from, index_);
    fs_->pending = pending + n;
    checkStack(pushAt == kDeferred ? index_ : pushAt);
    fs_->pending = pending;
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
