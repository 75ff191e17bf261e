// Source translator from Lua 4.0 to Lua 5.1.
//
// Parses a 4.0 chunk with 4.0's grammar and writes an equivalent 5.1 chunk in
// which every token stays on its original line, so that run-time messages and
// tracebacks name the lines of the script as written. Plain arithmetic, calls
// and indexing come out unchanged; only constructs whose meaning differs are
// rewritten (upvalues, `for k,v in t', comparison results used as values,
// `and'/`or' precedence, `..' of numbers, multiple results, long strings).
#pragma once

#include <string>

namespace lua40 {

// A translated chunk expects these runtime helpers as its arguments (...),
// in this order; the host passes them when it calls the chunk:
//   concat(names, a, b, ...)  4.0 `..' with "%.16g" numbers and concat tag
//                       methods; names says what each operand was read from,
//                       for the error message: entries joined by ",", each
//                       empty or "l", "g" or "f" (local, global, field) and a name
//   next                raw next, for `for k,v in t'
//   checkTable(t)       the table whose contents `for k,v in t' walks, or the
//                       error "`for' table must be a table"
//   passResults(...)    returns its arguments; keeps `return f()' off tail calls,
//                       and 5.1 from folding a constant into -0
//   forPrepare(a,b[,c]) checked start, limit, step of a rewritten numeric for
//   forIndex(i)         i, or the error "`for' index must be a number"
//   newTable(t)         every table a constructor makes goes through it;
//   newTable(layout, first, second)  a constructor whose fields may set one
//                       key twice, built in 4.0's order: layout is "L<n>" for
//                       a list part of n items and "R<n>" for a record part of
//                       n fields (first and second hold them, keys and values
//                       alternating for a record part), in the order written
//   operator(op, a, b)  a < b, a > b, a <= b, a >= b or a ^ b (op "<", ">",
//                       "<=", ">=", "^") as 4.0 makes it whatever the
//                       operands: two values of different types still reach
//                       an lt tag method, and two numbers the number tag's
//                       pow method, which 5.1's operators never ask; and
//                       the object of a method named true, false or in
//                       called on anything but a variable (op ":" keeps
//                       it, op "self" hands it to the call)
constexpr int kHelperCount = 8;

struct Translation {
    bool ok = false;
    std::string code;  // the 5.1 chunk when ok
    std::string error; // 4.0's syntax message otherwise
    // 5.1 compiles `a > b' and `a <= b' as a comparison of b with a, so its
    // message names the two types in the other order. When the chunk has
    // such comparisons, one entry per comparison: "LINE K A B;" with K `s'
    // (swapped) or `o' (in order), and A and B 5.1's two operands: n, s or l
    // for a number, string or nil literal, L, G or U and a 5.1 name for a
    // local, global or upvalue, ? for anything else. LINE is the line 5.1
    // reports for it.
    std::string compares;
    // Some call of the chunk (a helper's included) may open on one line and
    // close on a later one: 5.1 gives such a call the line it opens on, 4.0
    // the line it closes on (see relineCalls).
    bool callsSpanLines = false;
};

// chunkDisplay is the chunk name as 4.0 shows it in syntax messages
// (file `x.lua' or string "...").
//
// Comparisons and `^' are 5.1's own operators, which cost nothing but never
// ask a tag method about two values of different types (nil < 1) or about
// two numbers (2 ^ 3). Where that can matter they go through the operator
// helper instead: in a chunk translated with byMethod (the host sets it once
// an lt method exists or the number tag's pow is not the math library's)
// and in a chunk that holds the string "lt" or "pow" (one that sets such a
// method itself).
Translation translate(const std::string& source, const std::string& chunkDisplay,
                      bool byMethod = false);

// A 4.0 string value written as a 5.1 quoted string, with each newline kept as
// a backslash-newline so that the text spans the same lines.
std::string quoteString(const std::string& value);

} // namespace lua40
