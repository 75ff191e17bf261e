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
//   concat(a, b, ...)   4.0 `..' with "%.16g" numbers and concat tag methods
//   next                raw next, for `for k,v in t'
//   checkTable(t)       t, or the error "`for' table must be a table"
//   passResults(...)    returns its arguments; keeps `return f()' off tail calls
//   forPrepare(a,b[,c]) checked start, limit, step of a rewritten numeric for
//   forIndex(i)         i, or the error "`for' index must be a number"
constexpr int kHelperCount = 6;

struct Translation {
    bool ok = false;
    std::string code;  // the 5.1 chunk when ok
    std::string error; // 4.0's syntax message otherwise
};

// chunkDisplay is the chunk name as 4.0 shows it in syntax messages
// (file `x.lua' or string "...").
Translation translate(const std::string& source, const std::string& chunkDisplay);

// A 4.0 string value written as a 5.1 quoted string, with each newline kept as
// a backslash-newline so that the text spans the same lines.
std::string quoteString(const std::string& value);

} // namespace lua40
