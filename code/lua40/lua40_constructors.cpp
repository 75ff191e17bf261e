// Table constructors of the 4.0 parser (see lua40_parser.h): 5.1's own
// constructor where no two fields can set one key, 4.0's order otherwise.
#include "lua40/lua40_parser.h"

#include <cmath>

namespace lua40 {
namespace parser {

// One part of a constructor, as parsed: what the translator needs to know
// whether two of its fields can set one key, and where to rewrite it if so
// (marks into constructorKeys_ and constructorPieces_).
struct Parser::ConstructorPart {
    int kind = 2;           // 0 list items, 1 record fields, 2 empty
    char token = 0;         // the token that ends an empty part: `;' or `}'
    int count = 0;          // items or fields
    bool dynamicKey = false; // a field `[e] =' whose key is not constant
    size_t keys = 0, keysEnd = 0;
    size_t pieces = 0, piecesEnd = 0;
};

// Every table goes through newTable (which gives it the default table tag's
// methods once there are any). Constructors whose fields may set one key
// twice are built by newTable in 4.0's order; the others are 5.1's own.
size_t Parser::constructor() {
    int line = tok().line;
    size_t helper = put("_NT40(", tok().startLine);
    size_t keyMark = constructorKeys_.size(), pieceMark = constructorPieces_.size();
    putToken("{");
    ConstructorPart first = constructorPart();
    ConstructorPart second;
    size_t separator = 0;
    if (is(';')) {
        // 5.1 takes no separator before the first field.
        separator = putToken(first.kind == 2 ? "" : ";");
        second = constructorPart();
        char firstKind = first.kind == 2 ? first.token : static_cast<char>('0' + first.kind);
        char secondKind = second.kind == 2 ? second.token : static_cast<char>('0' + second.kind);
        if (firstKind == secondKind) error("invalid constructor syntax");
    }
    checkMatch(TK_CHAR, '}', TK_CHAR, '{', line);
    putToken("})");

    const ConstructorPart& list = first.kind == 0 ? first : second;
    const ConstructorPart& record = first.kind == 1 ? first : second;
    int items = list.kind == 0 ? list.count : 0;
    bool clash = false;
    if (record.kind == 1) {
        clash = record.dynamicKey && (record.count > 1 || items > 0);
        for (size_t i = record.keys; i < record.keysEnd && !clash; ++i) {
            const ConstructorKey& k = constructorKeys_[i];
            for (size_t j = record.keys; j < i && !clash; ++j) {
                const ConstructorKey& other = constructorKeys_[j];
                clash = k.kind == other.kind && (k.kind == 'n' ? k.number == other.number
                                                               : textOf(k.token) == textOf(other.token));
            }
            if (items > 0 && k.kind == 'n' && !clash)
                clash = k.number >= 1 && k.number <= items && k.number == std::floor(k.number);
        }
    }
    if (clash) {
        // Keys and values become list items of plain tables, in the order written.
        std::string layout;
        for (const ConstructorPart* part : {&first, &second})
            if (part->kind != 2) layout += (part->kind == 0 ? "L" : "R") + std::to_string(part->count);
        pieces_[helper].text = "_NT40(\"" + layout + "\",";
        if (separator != 0 && first.kind != 2 && second.kind != 2)
            pieces_[separator].text = "},{";
        else if (separator != 0)
            pieces_[separator].text.clear();
        for (size_t i = record.pieces; i < record.piecesEnd; ++i) {
            std::string& text = pieces_[constructorPieces_[i].first].text;
            switch (constructorPieces_[i].second) {
            case 'N': // the piece came from the token right after it in the source
                text = text[0] == '[' ? text.substr(1, text.size() - 2) : quoteString(text);
                break;
            case 'B':
                text.clear();
                break;
            default:
                text = ",";
            }
        }
    }
    constructorKeys_.resize(keyMark);
    constructorPieces_.resize(pieceMark);
    return helper;
}

// One part of a constructor: empty, record fields or list items.
Parser::ConstructorPart Parser::constructorPart() {
    ConstructorPart part;
    part.keys = part.keysEnd = constructorKeys_.size();
    part.pieces = part.piecesEnd = constructorPieces_.size();
    if (is(';') || is('}')) {
        part.token = tok().ch;
        return part;
    }
    bool record =
        is('[') || (tok().type == TK_NAME && ahead().type == TK_CHAR && ahead().ch == '=');
    part.kind = record ? 1 : 0;
    // 4.0 has the table and the fields not yet stored on its stack: list
    // items 64 at a time, record fields (key and value) 32 at a time.
    const int pending = fs_->pending;
    for (;;) {
        ++part.count;
        fs_->pending = pending + 1 + (record ? 2 * ((part.count - 1) % 32) : (part.count - 1) % 64);
        if (record) {
            if (is('[')) {
                constructorPieces_.emplace_back(putToken("["), 'B');
                ExpInfo key = expr(VALUE);
                check(TK_CHAR, ']');
                constructorPieces_.emplace_back(putToken("]"), 'B');
                if (key.staticType == 's' && key.literal)
                    constructorKeys_.push_back(ConstructorKey{'s', key.stringToken, 0});
                else if (key.numeral)
                    constructorKeys_.push_back(ConstructorKey{'n', 0, key.value});
                else
                    part.dynamicKey = true;
            } else {
                if (tok().type != TK_NAME) error("<name> or `[' expected");
                const std::string& name = tok().text;
                constructorKeys_.push_back(ConstructorKey{'s', index_, 0});
                constructorPieces_.emplace_back(
                    putToken(isReserved51(name) ? "[\"" + name + "\"]" : name), 'N');
            }
            check(TK_CHAR, '=');
            constructorPieces_.emplace_back(putToken("="), 'E');
            ++fs_->pending;
            ExpInfo value = expr(VALUE);
            if (value.call) { // one value, as a list item of the rewritten form
                prepend(value.start, "(");
                put(")");
            }
            readBeforeNextLine(value, true);
        } else {
            // Every list item gives one value in 4.0, the last one included.
            ExpInfo item = expr(VALUE);
            if (item.call) {
                prepend(item.start, "(");
                put(")");
            }
            readBeforeNextLine(item, true,
                               part.count == 1 && item.variable == 'g' && item.nameToken == index_ - 1);
        }
        if (!is(',')) break;
        size_t comma = putToken(",");
        if (is(';')) {
            pieces_[comma].text.clear(); // 5.1 rejects `,;'
            break;
        }
        if (is('}')) break;
    }
    fs_->pending = pending;
    part.keysEnd = constructorKeys_.size();
    part.piecesEnd = constructorPieces_.size();
    return part;
}

} // namespace parser
} // namespace lua40
