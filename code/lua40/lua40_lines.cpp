// Calls at the line they close on (see lua40_lines.h): the text of a chunk
// tells which line each call ends on; the compiled chunk is dumped, the line
// of each call instruction changed, and the dump loaded back.
#include "lua40/lua40_lines.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace lua40 {

namespace {

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool isKeyword(const std::string& w) {
    static const char* const kKeywords[] = {
        "and",   "break", "do",  "else", "elseif", "end",    "false", "for",  "if",    "in",
        "local", "nil",   "not", "or",   "repeat", "return", "then",  "true", "until", "while"};
    for (const char* k : kKeywords)
        if (w == k) return true;
    return false;
}

// A 5.1 lexer reduced to what locates calls: line ends as 5.1 counts them,
// comments and strings skipped, blocks matched to find where functions end.
class CallScanner {
  public:
    explicit CallScanner(const std::string& code) : s(code), n(code.size()) {}

    CallLines run() {
        CallLines calls(1);
        std::vector<size_t> functions{0}; // the functions being scanned, innermost last
        std::vector<char> blocks;         // 'f' function, 'b' other block
        struct Paren {
            bool call;
            int line;
            size_t function;
        };
        std::vector<Paren> parens;
        bool callable = false; // after a name, `)' or `]': a `(' calls
        bool params = false;   // after `function': the next `(' opens its parameters
        while (i < n) {
            char c = s[i];
            if (c == '\n' || c == '\r') {
                newline();
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++i;
            } else if (c == '-' && i + 1 < n && s[i + 1] == '-') {
                i += 2;
                int level = longBracket();
                if (level >= 0) {
                    skipLong(level);
                } else {
                    while (i < n && s[i] != '\n' && s[i] != '\r')
                        ++i;
                }
            } else if (isNameChar(c) && !std::isdigit(static_cast<unsigned char>(c))) {
                size_t start = i;
                while (i < n && isNameChar(s[i]))
                    ++i;
                std::string word = s.substr(start, i - start);
                callable = false;
                if (word == "function") {
                    blocks.push_back('f');
                    calls.emplace_back();
                    functions.push_back(calls.size() - 1);
                    params = true;
                } else if (word == "if" || word == "do" || word == "repeat") {
                    blocks.push_back('b');
                } else if (word == "end" || word == "until") {
                    if (!blocks.empty()) {
                        if (blocks.back() == 'f' && functions.size() > 1) functions.pop_back();
                        blocks.pop_back();
                    }
                } else if (!isKeyword(word)) {
                    callable = true;
                }
            } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                       (c == '.' && i + 1 < n &&
                        std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
                while (i < n &&
                       (isNameChar(s[i]) || s[i] == '.' ||
                        ((s[i] == '+' || s[i] == '-') && (s[i - 1] == 'e' || s[i - 1] == 'E'))))
                    ++i;
                callable = false;
            } else if (c == '"' || c == '\'') {
                quoted(c);
                callable = false;
            } else if (c == '[' && longBracket() >= 0) {
                skipLong(longBracket());
                callable = false;
            } else if (c == '(') {
                parens.push_back(Paren{callable && !params, line, functions.back()});
                params = false;
                callable = false;
                ++i;
            } else if (c == ')') {
                if (!parens.empty()) {
                    const Paren& p = parens.back();
                    if (p.call) calls[p.function].emplace_back(p.line, line);
                    parens.pop_back();
                }
                callable = true;
                ++i;
            } else {
                callable = c == ']';
                ++i;
            }
        }
        return calls;
    }

  private:
    const std::string& s;
    size_t n;
    size_t i = 0;
    int line = 1;

    // At a line end: "\r\n" and "\n\r" count once, as in 5.1.
    void newline() {
        char c = s[i++];
        if (i < n && (s[i] == '\n' || s[i] == '\r') && s[i] != c) ++i;
        ++line;
    }

    // The level of a long bracket `[==[' at i (without moving), or -1.
    int longBracket() const {
        if (i >= n || s[i] != '[') return -1;
        size_t j = i + 1;
        while (j < n && s[j] == '=')
            ++j;
        return j < n && s[j] == '[' ? static_cast<int>(j - i - 1) : -1;
    }

    void skipLong(int level) {
        i += static_cast<size_t>(level) + 2;
        while (i < n) {
            if (s[i] == '\n' || s[i] == '\r') {
                newline();
            } else if (s[i] == ']') {
                size_t j = i + 1;
                while (j < n && s[j] == '=')
                    ++j;
                if (j < n && s[j] == ']' && static_cast<int>(j - i - 1) == level) {
                    i = j + 1;
                    return;
                }
                ++i;
            } else {
                ++i;
            }
        }
    }

    void quoted(char quote) {
        ++i;
        while (i < n && s[i] != quote) {
            if (s[i] == '\\' && i + 1 < n) {
                ++i;
                if (s[i] == '\n' || s[i] == '\r')
                    newline();
                else
                    ++i;
            } else if (s[i] == '\n' || s[i] == '\r') {
                newline();
            } else {
                ++i;
            }
        }
        ++i;
    }
};

// Where a function of a 5.1 dump keeps its instructions and their lines.
struct DumpedFunction {
    size_t code;
    uint32_t codeCount;
    size_t lines;
    uint32_t lineCount;
};

// Reads the layout of a 5.1 dump written on this machine (4-byte ints and
// instructions, little-endian); fails on anything else.
class DumpReader {
  public:
    explicit DumpReader(const std::string& dump) : d(dump) {}

    bool read(std::vector<DumpedFunction>& functions) {
        if (d.size() < 12 || std::memcmp(d.data(), "\033Lua\x51\x00\x01\x04", 8) != 0) return false;
        sizeSize = static_cast<unsigned char>(d[8]);
        if (d[9] != 4 || (sizeSize != 4 && sizeSize != 8)) return false;
        numberSize = static_cast<unsigned char>(d[10]);
        at = 12;
        return function(functions, 0) && at == d.size();
    }

  private:
    const std::string& d;
    size_t at = 0;
    size_t sizeSize = 8;
    size_t numberSize = 8;

    bool skip(uint64_t k) {
        if (k > d.size() - at) return false;
        at += static_cast<size_t>(k);
        return true;
    }
    bool unsignedValue(size_t bytes, uint64_t& v) {
        if (bytes > d.size() - at) return false;
        v = 0;
        for (size_t b = 0; b < bytes; ++b)
            v |= static_cast<uint64_t>(static_cast<unsigned char>(d[at + b])) << (8 * b);
        at += bytes;
        return true;
    }
    bool count(uint32_t& v) {
        uint64_t x;
        if (!unsignedValue(4, x) || x > d.size()) return false;
        v = static_cast<uint32_t>(x);
        return true;
    }
    bool string() {
        uint64_t size;
        return unsignedValue(sizeSize, size) && skip(size);
    }

    bool function(std::vector<DumpedFunction>& functions, int depth) {
        if (depth > 250) return false;
        uint32_t k;
        // source, first and last line, upvalues, parameters, vararg, stack size
        if (!string() || !skip(4 + 4 + 4)) return false;
        DumpedFunction f{};
        if (!count(f.codeCount)) return false;
        f.code = at;
        if (!skip(uint64_t{4} * f.codeCount)) return false;
        size_t index = functions.size();
        functions.push_back(f);
        if (!count(k)) return false;
        for (uint32_t c = 0; c < k; ++c) {
            uint64_t type;
            if (!unsignedValue(1, type)) return false;
            bool ok = type == 0 || (type == 1 && skip(1)) || (type == 3 && skip(numberSize)) ||
                      (type == 4 && string());
            if (!ok) return false;
        }
        if (!count(k)) return false;
        for (uint32_t p = 0; p < k; ++p)
            if (!function(functions, depth + 1)) return false;
        if (!count(functions[index].lineCount)) return false;
        functions[index].lines = at;
        if (!skip(uint64_t{4} * functions[index].lineCount)) return false;
        if (!count(k)) return false;
        for (uint32_t v = 0; v < k; ++v)
            if (!string() || !skip(8)) return false;
        if (!count(k)) return false;
        for (uint32_t u = 0; u < k; ++u)
            if (!string()) return false;
        return true;
    }
};

uint32_t word(const std::string& d, size_t at) {
    uint32_t v = 0;
    for (size_t b = 0; b < 4; ++b)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(d[at + b])) << (8 * b);
    return v;
}

void setWord(std::string& d, size_t at, uint32_t v) {
    for (size_t b = 0; b < 4; ++b)
        d[at + b] = static_cast<char>((v >> (8 * b)) & 0xff);
}

int appendDump(lua_State*, const void* p, size_t size, void* out) {
    static_cast<std::string*>(out)->append(static_cast<const char*>(p), size);
    return 0;
}

constexpr uint32_t kOpCall = 28, kOpTailCall = 29, kOpSetList = 34;

// Sets each call's line in the dump; false, changing nothing, unless the
// calls compiled are those of the text, at the lines they open on.
bool relineDump(std::string& dump, const CallLines& calls) {
    std::vector<DumpedFunction> functions;
    if (!DumpReader(dump).read(functions) || functions.size() != calls.size()) return false;
    std::vector<std::pair<size_t, int>> changes; // offset of a line, its new value
    for (size_t f = 0; f < functions.size(); ++f) {
        const DumpedFunction& fn = functions[f];
        if (fn.lineCount != fn.codeCount) return false;
        size_t k = 0;
        for (uint32_t pc = 0; pc < fn.codeCount; ++pc) {
            uint32_t i = word(dump, fn.code + 4 * size_t{pc});
            uint32_t op = i & 0x3f;
            if (op == kOpSetList && ((i >> 14) & 0x1ff) == 0) {
                ++pc; // the next word is SETLIST's operand, not an instruction
            } else if (op == kOpCall || op == kOpTailCall) {
                size_t at = fn.lines + 4 * size_t{pc};
                if (k >= calls[f].size() || static_cast<int>(word(dump, at)) != calls[f][k].first)
                    return false;
                if (calls[f][k].second != calls[f][k].first)
                    changes.emplace_back(at, calls[f][k].second);
                ++k;
            }
        }
        if (k != calls[f].size()) return false;
    }
    for (const auto& c : changes)
        setWord(dump, c.first, static_cast<uint32_t>(c.second));
    return !changes.empty();
}

} // namespace

CallLines scanCallLines(const std::string& code) {
    return CallScanner(code).run();
}

void relineCalls(lua_State* L, const std::string& code) {
    std::string dump;
    if (lua_dump(L, appendDump, &dump) != 0) return;
    if (!relineDump(dump, scanCallLines(code))) return;
    if (luaL_loadbuffer(L, dump.data(), dump.size(), "=?") != 0) {
        lua_pop(L, 1);
        return;
    }
    lua_replace(L, -2);
}

} // namespace lua40
