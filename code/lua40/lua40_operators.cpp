// Operators of 4.0 expressions (see lua40_parser.h): priorities, and how
// arithmetic, comparisons and concatenation are written so that 5.1 computes
// and reports them as 4.0 does.
#include "lua40/lua40_parser.h"

#include <cmath>
#include <cstdio>

namespace lua40 {
namespace parser {

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
    const size_t firstToken = index_;
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
            e = concatChain(e, firstToken);
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
ExpInfo Parser::concatChain(ExpInfo first, size_t firstToken) {
    toValue(first);
    bool allLiteral = first.literal;
    bool named = first.variable != 0;
    std::vector<std::string> names(1);
    if (named) names[0] = first.variable + textOf(first.nameToken);
    ExpInfo last = first;
    std::vector<size_t> operators;
    const int pending = fs_->pending;
    // Operand k takes 4.0's stack slot k; a variable is pushed once the
    // next `..' has been read.
    size_t pushAt = pushedAt(first, firstToken, index_);
    while (tok().type == TK_CONCAT) {
        operators.push_back(putToken(".."));
        fs_->pending = pending + static_cast<int>(operators.size());
        checkStack(pushAt == kDeferred ? index_ : pushAt);
        size_t from = index_;
        ExpInfo operand = subexpr(4, VALUE);
        toValue(operand);
        pushAt = pushedAt(operand, from, index_);
        if (tok().type == TK_CONCAT && operand.keyPushed) readBeforeNextLine(operand);
        allLiteral = allLiteral && operand.literal;
        names.emplace_back();
        if (operand.variable != 0) {
            names.back() = operand.variable + textOf(operand.nameToken);
            named = true;
        }
        last = operand;
    }
    fs_->pending = pending + static_cast<int>(names.size());
    checkStack(pushAt == kDeferred ? index_ : pushAt);
    fs_->pending = pending;
    // Past this many operands, the first ones are joined by a call of their
    // own, so that 5.1 has registers for every chain 4.0 accepts.
    const size_t group = 200;
    ExpInfo e;
    e.start = first.start;
    if (!allLiteral || names.size() > group) {
        // 5.1 places the helper's call on the first operand's line, 4.0 the
        // join on the last one's.
        int firstLine = pieces_[first.start].line;
        if (firstLine < 0 || firstLine != tokens_[index_ - 1].line) callsSpanLines_ = true;
        // Every operand gives one value; as the last argument a call would give all.
        if (last.call) {
            prepend(last.start, "(");
            put(")");
        }
        auto joined = [&](size_t from, size_t to) {
            std::string text;
            if (!named) return text;
            for (size_t i = from; i < to; ++i)
                text += (i > from ? "," : "") + names[i];
            return text;
        };
        for (size_t at : operators)
            pieces_[at].text = ",";
        if (names.size() > group) {
            prepend(first.start, "_C40(\"" + (named ? "," + joined(group, names.size()) : "") +
                                     "\",_C40(\"" + joined(0, group) + "\",");
            pieces_[operators[group - 1]].text = "),";
        } else {
            prepend(first.start, "_C40(\"" + joined(0, names.size()) + "\",");
        }
        put(")");
    }
    return e;
}

// 4.0's stack holds the locals and the values pushed for the expressions
// being read; past 250 slots it refuses the expression, at the token where
// it pushed the value that did not fit.
void Parser::checkStack(size_t pushedToken) {
    if (fs_->actives.size() + fs_->pending <= 250) return;
    const Token& at = tokens_[pushedToken];
    throw SyntaxError{
        syntaxMessage("function or expression too complex", tokenText(at), at.line, chunk_)};
}

// Where 4.0 pushes the value of an expression read from token `from' to
// before token `to': a string, nil or a new table as it reads its first
// token, a variable not before whatever follows needs it (kDeferred),
// anything else once it is read.
size_t Parser::pushedAt(const ExpInfo& e, size_t from, size_t to) const {
    if (e.assignable) return kDeferred;
    const Token& t = tokens_[from];
    if (to == from + 1 && (t.type == TK_STRING || t.type == TK_NIL)) return from;
    if (t.type == TK_CHAR && t.ch == '{') return from;
    return to;
}

} // namespace parser
} // namespace lua40
