// Error reporting as 4.0 does it: 5.1's messages rewritten into 4.0's
// wording, 4.0's chunk names, the "stack traceback:" lines, and the message
// handler of every protected call, which hands the message to the scripts'
// _ERRORMESSAGE while the failing frames are still on the stack.
#include "lua40/lua40_errors.h"

#include "lua40/lua40_run.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace lua40 {

namespace {

// Drops 5.1's "chunk:line: " prefix, which 4.0 messages do not carry.
std::string stripPosition(lua_State* L, const std::string& msg) {
    lua_Debug ar;
    for (int level = 0; lua_getstack(L, level, &ar); ++level) {
        lua_getinfo(L, "S", &ar);
        std::string prefix = std::string(ar.short_src) + ":";
        if (msg.compare(0, prefix.size(), prefix) != 0) continue;
        size_t i = prefix.size();
        while (i < msg.size() && msg[i] >= '0' && msg[i] <= '9')
            ++i;
        if (i > prefix.size() && msg.compare(i, 2, ": ") == 0) return msg.substr(i + 2);
    }
    return msg;
}

void replaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

// 5.1 names the culprit as kind 'name'; 4.0 as kind `name', has no upvalue
// kind and calls a method a field. Unless named, the culprit is left unnamed:
// 4.0's library is C, whose failures name no variable, so a failure inside
// ours (a script's tostring removed under print, say) names none either.
std::string renameCulprit(const std::string& msg, bool named) {
    static const char* const kinds[] = {"global", "local", "field", "method", "upvalue"};
    for (const char* kind : kinds) {
        std::string head = std::string(" ") + kind + " '";
        size_t at = msg.find(head);
        if (at == std::string::npos) continue;
        size_t nameStart = at + head.size();
        size_t nameEnd = msg.find("' (", nameStart);
        if (nameEnd == std::string::npos) continue;
        std::string name = msg.substr(nameStart, nameEnd - nameStart);
        if (name.compare(0, 2, "__") == 0) name = name.substr(2); // renamed true/false/in
        std::string rest = msg.substr(nameEnd + 3);
        // 4.0 names only variables and constant fields: `t[k]' is just "a nil value".
        if (!named || std::strcmp(kind, "upvalue") == 0 || name.compare(0, 5, "_U40_") == 0 ||
            name == "?")
            return msg.substr(0, at) + " " + rest.substr(0, rest.size() - 1);
        std::string shown = std::strcmp(kind, "method") == 0 ? "field" : kind;
        // 4.0 prints at most 40 bytes of the name.
        return msg.substr(0, at) + " " + shown + " `" + name.substr(0, 40) + "' (" + rest;
    }
    return msg;
}

// The name 4.0 finds for a function no call names (the library's
// H.functionName): the global holding it, else the event of a tag method it
// is. The function is on the top of the stack and stays there.
void searchName(lua_State* L, std::string& name, std::string& kind) {
    getRegistry(L, kLibraryKey);
    lua_getfield(L, -1, "H");
    lua_getfield(L, -1, "functionName");
    lua_pushvalue(L, -4);
    if (lua_pcall(L, 1, 2, 0) == 0 && lua_isstring(L, -2)) {
        name = lua_tostring(L, -2);
        kind = lua_tostring(L, -1);
    }
    lua_pop(L, 4);
}

// Whether a name 5.1 gives is one of the translator's (_C40, _U40_1, ...).
bool translatorName(const std::string& name) {
    if (name.size() < 4 || name[0] != '_') return false;
    size_t i = 1;
    while (i < name.size() && name[i] >= 'A' && name[i] <= 'Z')
        ++i;
    return i > 1 && name.compare(i, 2, "40") == 0;
}

// One traceback line. calledByScript: the function was called by script code,
// whose calling instruction may name it; 4.0 names a function called from C
// (the library) by searching for it.
std::string describeFrame(lua_State* L, lua_Debug& ar, bool asLibrary, bool calledByScript) {
    bool isC = asLibrary || std::strcmp(ar.what, "C") == 0;
    std::string src = isC ? "C" : chunkDisplay(ar.source, 43);
    std::string name = ar.name != nullptr && calledByScript ? ar.name : "";
    std::string kind = ar.namewhat != nullptr && calledByScript ? ar.namewhat : "";
    // 5.1 calls a field read with a key that is no constant string `?';
    // 4.0 has no name for it.
    if ((kind != "global" && kind != "local" && kind != "field" && kind != "method") ||
        name == "?")
        name.clear();
    if (name.empty() || translatorName(name)) {
        name.clear();
        kind.clear();
        lua_getinfo(L, "f", &ar);
        searchName(L, name, kind);
        lua_pop(L, 1);
    }
    if (name.compare(0, 2, "__") == 0) name = name.substr(2); // renamed true/false/in
    name = name.substr(0, 50);                                 // as much as 4.0 prints
    std::string line;
    if (kind == "tag method") {
        line = "`" + name + "' tag method";
    } else if (!name.empty()) {
        bool field = kind == "field" || kind == "method";
        line = (field ? "method `" : "function `") + name + "'";
    } else if (!isC && std::strcmp(ar.what, "main") == 0) {
        line = "main of " + src;
    } else if (isC) {
        line = "C";
    } else {
        line = "function <" + std::to_string(ar.linedefined) + ":" + src + ">";
    }
    if (!isC && ar.currentline > 0) line += " at line " + std::to_string(ar.currentline);
    if (!name.empty()) line += " [" + src + "]";
    return line;
}

// Whether the function on the top of the stack is in the set at `key'.
bool inSet(lua_State* L, const char* key) {
    getRegistry(L, key);
    lua_pushvalue(L, -2);
    lua_rawget(L, -2);
    bool hidden = lua_toboolean(L, -1) != 0;
    lua_pop(L, 2);
    return hidden;
}

} // namespace

std::string chunkDisplay(const char* source, size_t limit) {
    if (source == nullptr) return "?";
    // limit is what a string's text may take of 4.0's buffer (its size less
    // 17); a file name may take 4 more, a name given with "=" 16 more.
    if (source[0] == '=') return std::string(source + 1).substr(0, limit + 16);
    if (source[0] == '@') {
        std::string name(source + 1);
        if (name.size() <= limit + 4) return "file `" + name + "'";
        return "file `..." + name.substr(name.size() - (limit + 4)) + "'"; // its end
    }
    std::string text(source);
    size_t lineEnd = text.find('\n');
    bool cut = lineEnd != std::string::npos;
    if (cut) text.resize(lineEnd);
    if (text.size() > limit) {
        text.resize(limit);
        cut = true;
    }
    return "string \"" + text + (cut ? "...\"" : "\"");
}

std::string messageOf40(lua_State* L, const std::string& msg) {
    const std::string library = std::string(kLibrarySource + 1) + ":";
    bool named = msg.compare(0, library.size(), library) != 0;
    std::string text = renameCulprit(stripPosition(L, msg), named);
    replaceAll(text, "attempt to concatenate", "attempt to concat");
    // Recursion through metamethods and the library's callbacks ends at 5.1's
    // limit of nested C calls; 4.0 has one stack for everything.
    if (text == "C stack overflow") text = "stack overflow";
    replaceAll(text, "'for' ", "`for' ");
    replaceAll(text, "invalid key to 'next'", "invalid key for `next'");
    // 5.1's pattern messages quote with 'x'; 4.0's with `x'.
    if (text.find("pattern") != std::string::npos || text.find("capture") != std::string::npos) {
        size_t quote = text.find('\'');
        if (quote != std::string::npos) text[quote] = '`';
    }
    return text;
}

// Traceback of the frames from `firstLevel' up, in 4.0's layout. Frames of
// the library code collapse into one frame shown as the C function that the
// script called; helper frames and 5.1 tail-call marks are left out.
std::string traceback(lua_State* L, int firstLevel) {
    struct Frame {
        lua_Debug ar;
        bool library;
        bool publicFunction; // a 4.0 library function, shown as its own frame
        bool calledByScript; // the level above is script code
    };
    std::vector<Frame> frames;
    lua_Debug ar;
    bool previousHidden = false;
    for (int level = firstLevel; lua_getstack(L, level, &ar); ++level) {
        lua_getinfo(L, "nSlf", &ar);
        // The handler that runs _ERRORMESSAGE is no frame of 4.0's either.
        bool hidden = inSet(L, kHiddenKey) || lua_tocfunction(L, -1) == reportError;
        bool publicFunction = inSet(L, kPublicKey);
        lua_pop(L, 1);
        bool library = ar.source != nullptr && std::strcmp(ar.source, kLibrarySource) == 0;
        bool script = !hidden && !library && std::strcmp(ar.what, "C") != 0 &&
                      std::strcmp(ar.what, "tail") != 0;
        // What called the frame below: script code, or C as 4.0 sees it.
        if (!frames.empty() && !previousHidden) frames.back().calledByScript = script;
        if (hidden) {
            // So is what a helper called on its way to raising an error
            // (error, the library's own code), but not a library function
            // of 4.0's, such as math's pow called as a tag method.
            while (!frames.empty() && !frames.back().publicFunction &&
                   (frames.back().library || std::strcmp(frames.back().ar.what, "C") == 0))
                frames.pop_back();
            if (!frames.empty()) frames.back().calledByScript = false;
            previousHidden = true;
            continue;
        }
        previousHidden = false;
        if (std::strcmp(ar.what, "tail") == 0) continue;
        frames.push_back(Frame{ar, library, publicFunction, false});
    }
    // A C function called by library code belongs to it.
    for (size_t i = 0; i + 1 < frames.size(); ++i)
        if (std::strcmp(frames[i].ar.what, "C") == 0 && frames[i + 1].library)
            frames[i].library = true;
    std::vector<std::string> lines;
    for (size_t i = 0; i < frames.size(); ++i) {
        // Library internals fold into the library function above them.
        if (frames[i].library && !frames[i].publicFunction && i + 1 < frames.size() &&
            frames[i + 1].library)
            continue;
        lines.push_back(
            describeFrame(L, frames[i].ar, frames[i].library, frames[i].calledByScript));
    }
    if (lines.empty()) return "";
    std::string out = "stack traceback:\n";
    char head[16];
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines.size() > 22 && i == 11) {
            out += "       ...\n";
            i = lines.size() - 10;
        }
        std::snprintf(head, sizeof head, "%4d:  ", static_cast<int>(i + 1));
        out += head + lines[i] + "\n";
    }
    return out;
}

namespace {

// 5.1 compiles `a > b' and `a <= b' as comparisons of b with a, so its
// message "attempt to compare X with Y" names the types in the other order
// than 4.0, which names them as written. The translator lists the
// comparisons of each chunk (Translation::compares); of those on the failing
// line, the first whose operands can have these types decides, the types of
// variables taken from their values now.

// The type name of a comparison operand of the function at `level', or "?".
std::string operandType(lua_State* L, lua_Debug& ar, const std::string& code) {
    switch (code[0]) {
    case 'n':
        return "number";
    case 's':
        return "string";
    case 'l':
        return "nil";
    case '?':
        return "?";
    }
    std::string name = code.substr(1), type = "?";
    if (code[0] == 'L') {
        for (int i = 1;; ++i) {
            const char* local = lua_getlocal(L, &ar, i);
            if (local == nullptr) break;
            if (name == local) type = luaL_typename(L, -1); // the innermost one wins
            lua_pop(L, 1);
        }
    } else if (code[0] == 'G') {
        getRegistry(L, kGlobalsKey);
        lua_getfield(L, -1, name.c_str());
        type = luaL_typename(L, -1);
        lua_pop(L, 2);
    } else if (code[0] == 'U') {
        lua_getinfo(L, "f", &ar);
        for (int i = 1;; ++i) {
            const char* upvalue = lua_getupvalue(L, -1, i);
            if (upvalue == nullptr) break;
            if (name == upvalue) type = luaL_typename(L, -1);
            lua_pop(L, 1);
        }
        lua_pop(L, 1);
    }
    return type == "boolean" ? "?" : type;
}

std::string compareInOrder(lua_State* L, const std::string& msg) {
    const std::string head = "attempt to compare ";
    size_t with = msg.find(" with ");
    if (msg.compare(0, head.size(), head) != 0 || with == std::string::npos) return msg;
    std::string first = msg.substr(head.size(), with - head.size());
    std::string second = msg.substr(with + 6);
    lua_Debug ar;
    if (!lua_getstack(L, 1, &ar)) return msg;
    lua_getinfo(L, "Sl", &ar);
    if (std::strcmp(ar.what, "C") == 0 || ar.currentline <= 0) return msg;
    getRegistry(L, kComparesKey);
    lua_getfield(L, -1, ar.source);
    std::string compares = lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
    lua_pop(L, 2);
    std::string line = std::to_string(ar.currentline) + " ";
    for (size_t at = 0; at < compares.size();) {
        size_t end = compares.find(';', at);
        if (end == std::string::npos) break;
        if (compares.compare(at, line.size(), line) == 0) {
            // "K A B"
            std::string entry = compares.substr(at + line.size(), end - at - line.size());
            size_t space = entry.find(' ', 2);
            if (entry.size() > 2 && space != std::string::npos) {
                std::string a = operandType(L, ar, entry.substr(2, space - 2));
                std::string b = operandType(L, ar, entry.substr(space + 1));
                if ((a == "?" || a == first) && (b == "?" || b == second)) {
                    if (entry[0] == 's') return head + second + " with " + first;
                    return msg;
                }
            }
        }
        at = end + 1;
    }
    return msg;
}

// 5.1 checks a numeric for's initial value, limit and step in that order;
// 4.0 checks the step first and the initial value last. When 5.1 refuses one
// of the first two, the three values are still the failing frame's last
// "(for index)", "(for limit)" and "(for step)" locals.
std::string forCheckInOrder(lua_State* L, const std::string& msg) {
    if (msg != "`for' initial value must be a number" && msg != "`for' limit must be a number")
        return msg;
    lua_Debug ar;
    if (!lua_getstack(L, 1, &ar)) return msg;
    int slots[3] = {0, 0, 0}; // index, limit, step
    static const char* const names[3] = {"(for index)", "(for limit)", "(for step)"};
    for (int i = 1;; ++i) {
        const char* local = lua_getlocal(L, &ar, i);
        if (local == nullptr) break;
        lua_pop(L, 1);
        for (int k = 0; k < 3; ++k)
            if (std::strcmp(local, names[k]) == 0) slots[k] = i;
    }
    if (slots[0] == 0 || slots[1] == 0 || slots[2] == 0) return msg;
    auto notNumber = [&](int slot) {
        lua_getlocal(L, &ar, slot);
        bool bad = lua_isnumber(L, -1) == 0;
        lua_pop(L, 1);
        return bad;
    };
    if (notNumber(slots[2])) return "`for' step must be a number";
    if (notNumber(slots[1])) return "`for' limit must be a number";
    return msg;
}

} // namespace

int reportError(lua_State* L) {
    getRegistry(L, kSilentKey);
    bool silent = lua_rawequal(L, 1, -1) != 0;
    lua_pop(L, 1);
    if (silent || !lua_isstring(L, 1)) return 1;
    // A message raised by error() or assert() is the script's text, which
    // may look like a position or a message of 5.1's: it stays as it is, up
    // to a NUL as 4.0 reads it.
    getRegistry(L, kLibraryKey);
    lua_getfield(L, -1, "H");
    lua_getfield(L, -1, "raised");
    bool raised = lua_rawequal(L, 1, -1) != 0;
    lua_pop(L, 1);
    lua_pushnil(L);
    lua_setfield(L, -2, "raised");
    lua_pop(L, 2);
    std::string msg = lua_tostring(L, 1);
    if (!raised) msg = forCheckInOrder(L, compareInOrder(L, messageOf40(L, msg)));
    lua_pushstring(L, msg.c_str());
    lua_replace(L, 1);
    // 4.0 reads _ERRORMESSAGE raw from the table of globals.
    getRegistry(L, kGlobalsKey);
    lua_pushstring(L, "_ERRORMESSAGE");
    lua_rawget(L, -2);
    if (lua_isfunction(L, -1)) {
        lua_pushvalue(L, 1);
        if (lua_pcall(L, 1, 0, 0) != 0) {
            // 4.0 ends such a run with LUA_ERRERR; callChunk picks this up.
            lua_pushboolean(L, 1);
            setRegistry(L, kHandlerFailedKey);
        }
    }
    lua_settop(L, 1);
    return 1;
}

} // namespace lua40
