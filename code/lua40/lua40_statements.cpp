// Statements of the 4.0 parser (see lua40_parser.h).
#include "lua40/lua40_parser.h"

namespace lua40 {
namespace parser {

bool Parser::blockFollow(const Token& t) {
    return t.type == TK_ELSE || t.type == TK_ELSEIF || t.type == TK_END || t.type == TK_UNTIL ||
           t.type == TK_EOS;
}

void Parser::chunk() {
    bool last = false;
    while (!last && !blockFollow(tok())) {
        last = statement();
        if (is(';')) putToken(";");
    }
}

void Parser::block() {
    Nesting nesting(*this);
    size_t saved = fs_->actives.size();
    chunk();
    fs_->actives.resize(saved);
}

void Parser::loopBlock() {
    fs_->loops++;
    block();
    fs_->loops--;
}

bool Parser::statement() {
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
    case TK_FOR:
        forStatement(line);
        return false;
    case TK_REPEAT:
        // The condition does not see the body's locals in 4.0.
        putToken("repeat do");
        loopBlock();
        checkMatch(TK_UNTIL, 0, TK_REPEAT, 0, line);
        putToken("end until");
        expr(COND);
        return false;
    case TK_FUNCTION:
        functionStatement(line);
        return false;
    case TK_LOCAL:
        localStatement();
        return false;
    case TK_RETURN:
        returnStatement();
        return true;
    case TK_BREAK:
        if (fs_->loops == 0) error("no loop to break");
        putToken("break");
        return true;
    case TK_NAME:
        expressionStatement();
        return false;
    case TK_CHAR:
        if (tok().ch == '%') {
            expressionStatement();
            return false;
        }
        error("<statement> expected");
    default:
        error("<statement> expected");
    }
}

void Parser::returnStatement() {
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

void Parser::localStatement() {
    putToken("local");
    std::vector<std::string> names;
    for (;;) {
        names.push_back(checkName());
        putToken(variableName(names.back()));
        checkLocals(fs_->actives.size() + names.size());
        if (!is(',')) break;
        putToken(",");
    }
    if (is('=')) {
        putToken("=");
        expList(true);
    }
    for (const std::string& name : names)
        fs_->actives.push_back(Local{name, -1});
}

// `function a', `function a.b', `function a:b' become assignments of a
// function expression, which 5.1 treats identically.
void Parser::functionStatement(int line) {
    next();
    const std::string& name = checkName();
    singleVar(name);
    bool method = false;
    if (is('.') || is(':')) {
        method = is(':');
        next();
        const std::string& field = checkName();
        putToken(fieldAccess(field));
    }
    put("=");
    functionBody(method, line, false);
}

void Parser::expressionStatement() {
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
    int pending = fs_->pending;
    for (const ExpInfo& t : targets)
        if (t.variable != 'l' && t.variable != 'g') fs_->pending += 2; // table and key
    expList(true);
    fs_->pending = pending;
    for (const ExpInfo& t : targets)
        if (t.forLoop >= 0) forAssigned_[t.forLoop] = true;
}

void Parser::forStatement(int line) {
    size_t forPiece = putToken("for");
    const std::string& name = checkName();
    size_t namePiece = putToken(variableName(name));
    if (is('=')) {
        int equalsLine = tok().line;
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
        checkLocals(fs_->actives.size() + 3); // with 4.0's limit and step
        // 4.0 checks the start, limit and step on the line where they end,
        // 5.1 on the line of `do': it goes on the line of the last value.
        if (tokens_[index_ - 1].line != equalsLine) callsSpanLines_ = true;
        size_t doPiece = put("do");
        next();
        int loop = static_cast<int>(forAssigned_.size());
        forAssigned_.push_back(false);
        size_t saved = fs_->actives.size();
        fs_->actives.push_back(Local{name, loop});
        fs_->actives.push_back(Local{"(limit)", -1});
        fs_->actives.push_back(Local{"(step)", -1});
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
            pieces_[doPiece].text = ") while (" + step + ">0 and " + v + "<=" + limit + ") or (" +
                                    step + "<=0 and " + v + ">=" + limit + ") do do";
            pieces_[endPiece].text = "end " + v + "=_FI40(" + v + ")+" + step + " end end";
            // 4.0 steps the loop on the line of the body's last token.
            pieces_[endPiece].line = -1;
        }
        return;
    }
    if (!is(',')) error("`=' or `,' expected");
    size_t comma = putToken(",");
    const std::string& value = checkName();
    size_t valuePiece = putToken(variableName(value));
    if (!isIn()) error("`in' expected");
    size_t inPiece = putToken("in _N40,_T40(");
    int inLine = tokens_[index_ - 1].line;
    expr(VALUE);
    size_t close = put(")");
    if (tokens_[index_ - 1].line != inLine) callsSpanLines_ = true;
    check(TK_DO);
    checkLocals(fs_->actives.size() + 3); // with 4.0's table
    size_t doPiece = putToken("do");
    int loop = static_cast<int>(forAssigned_.size());
    forAssigned_.push_back(false);
    size_t saved = fs_->actives.size();
    fs_->actives.push_back(Local{"(table)", -1});
    fs_->actives.push_back(Local{name, loop});
    fs_->actives.push_back(Local{value, -1});
    loopBlock();
    fs_->actives.resize(saved);
    checkMatch(TK_END, 0, TK_FOR, 0, line);
    size_t endPiece = putToken("end");
    if (forAssigned_[loop]) {
        // The body changes the key: 4.0's traversal continues from the
        // visible variable, so step with next by hand.
        std::string k = variableName(name), v = variableName(value);
        std::string t = "_I40_" + std::to_string(++tempCounter_);
        pieces_[forPiece].text = "do";
        pieces_[namePiece].text.clear();
        pieces_[comma].text.clear();
        pieces_[valuePiece].text.clear();
        pieces_[inPiece].text = "local " + t + " = _T40(";
        pieces_[close].text = ") local " + k + "," + v + " = _N40(" + t + ", nil)";
        pieces_[doPiece].text = "while " + k + " ~= nil do do";
        pieces_[endPiece].text = "end " + k + "," + v + " = _N40(" + t + "," + k + ") end end";
        pieces_[endPiece].line = -1; // as the numeric loop's step
    }
}

} // namespace parser
} // namespace lua40
