// Hosting of Lua 4.0 chunks on the Lua 5.1 library: opening the state, running
// files and strings with 4.0's status codes, and 4.0's error report (message,
// then the stack traceback) on standard error.
#include "lua40/lua40.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Pushes the scripts' globals table.
void pushGlobals(lua_State* L) { lua_pushvalue(L, LUA_GLOBALSINDEX); }

// Chunk name shown in reports: file `x', string "...", or the bare name.
std::string chunkDisplay(const char* source, size_t limit) {
    if (source == nullptr) return "?";
    if (source[0] == '=') return std::string(source + 1);
    if (source[0] == '@') return std::string("file `") + (source + 1) + "'";
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

// Traceback lines of the frames above the error handler, in 4.0's format.
std::string traceback(lua_State* L, int firstLevel) {
    std::string out;
    lua_Debug ar;
    int shown = 0;
    for (int level = firstLevel; lua_getstack(L, level, &ar); ++level) {
        lua_getinfo(L, "nSl", &ar);
        std::string src = std::strcmp(ar.what, "C") == 0 ? "C" : chunkDisplay(ar.source, 43);
        char head[16];
        std::snprintf(head, sizeof head, "%4d:  ", ++shown);
        std::string line = head;
        bool named = false;
        if (ar.namewhat != nullptr && ar.namewhat[0] != '\0' && ar.name != nullptr) {
            bool method = std::strcmp(ar.namewhat, "method") == 0 ||
                          std::strcmp(ar.namewhat, "field") == 0;
            line += std::string(method ? "method `" : "function `") + ar.name + "'";
            named = true;
        } else if (std::strcmp(ar.what, "main") == 0) {
            line += "main of " + src;
        } else if (std::strcmp(ar.what, "C") == 0) {
            line += "C";
        } else {
            line += "function <" + std::to_string(ar.linedefined) + ":" + src + ">";
        }
        if (ar.currentline > 0) line += " at line " + std::to_string(ar.currentline);
        if (named) line += " [" + src + "]";
        out += line + "\n";
    }
    if (out.empty()) return out;
    return "stack traceback:\n" + out;
}

// The io library's _ERRORMESSAGE: "error: MSG", then the traceback, to _ALERT.
int errorMessageWithTraceback(lua_State* L) {
    const char* msg = lua_isstring(L, 1) ? lua_tostring(L, 1) : "(no message)";
    // Level 0 is this function, level 1 the error handler that called it.
    std::string report = std::string("error: ") + msg + "\n" + traceback(L, 2);
    lua_getglobal(L, "_ALERT");
    if (lua_isfunction(L, -1)) {
        lua_pushstring(L, report.c_str());
        lua_call(L, 1, 0);
    } else {
        lua_pop(L, 1);
    }
    return 0;
}

int alertToStderr(lua_State* L) {
    const char* s = lua_tostring(L, 1);
    if (s != nullptr) std::fputs(s, stderr);
    return 0;
}

int exitProgram(lua_State* L) {
    std::exit(static_cast<int>(luaL_optnumber(L, 1, EXIT_SUCCESS)));
}

// Drops 5.1's "chunk:line: " position prefix, which 4.0 messages do not carry.
std::string stripPosition(lua_State* L, const std::string& msg) {
    lua_Debug ar;
    if (!lua_getstack(L, 1, &ar)) return msg;
    lua_getinfo(L, "Sl", &ar);
    if (ar.currentline <= 0) return msg;
    std::string prefix = std::string(ar.short_src) + ":" + std::to_string(ar.currentline) + ": ";
    if (msg.compare(0, prefix.size(), prefix) == 0) return msg.substr(prefix.size());
    return msg;
}

// Error handler of every protected run: hands the message to _ERRORMESSAGE
// while the failing frames are still on the stack, as 4.0 does.
int reportError(lua_State* L) {
    std::string msg = lua_isstring(L, 1) ? stripPosition(L, lua_tostring(L, 1)) : "";
    lua_getglobal(L, "_ERRORMESSAGE");
    if (lua_isfunction(L, -1) && lua_isstring(L, 1)) {
        lua_pushstring(L, msg.c_str());
        lua_pcall(L, 1, 0, 0);
    } else {
        lua_pop(L, 1);
    }
    return 1;
}

int statusOf(int status51) {
    switch (status51) {
    case 0: return LUA40_OK;
    case LUA_ERRSYNTAX: return LUA40_ERRSYNTAX;
    case LUA_ERRMEM: return LUA40_ERRMEM;
    case LUA_ERRERR: return LUA40_ERRERR;
    default: return LUA40_ERRRUN;
    }
}

// Loads and runs one chunk. Results are dropped: the engine never reads them,
// and keeping them would grow the stack for as long as the game runs.
int runChunk(lua_State* L, const std::string& source, const std::string& chunkName) {
    int base = lua_gettop(L);
    std::string text = source;
    if (!text.empty() && text[0] == '#') {
        // A leading '#' line is skipped; its line end stays so lines keep their numbers.
        size_t end = text.find('\n');
        text.erase(0, end == std::string::npos ? text.size() : end);
    }
    lua_pushcfunction(L, reportError);
    int status = luaL_loadbuffer(L, text.data(), text.size(), chunkName.c_str());
    if (status != 0) {
        // A syntax error is reported through _ERRORMESSAGE like any other error.
        lua_getglobal(L, "_ERRORMESSAGE");
        if (lua_isfunction(L, -1)) {
            lua_pushvalue(L, -2);
            lua_pcall(L, 1, 0, 0);
        } else {
            lua_pop(L, 1);
        }
        lua_settop(L, base);
        return statusOf(status);
    }
    status = lua_pcall(L, 0, LUA_MULTRET, base + 1);
    lua_settop(L, base);
    return statusOf(status);
}

} // namespace

lua_State* lua_open(int /*stacksize*/) { return luaL_newstate(); }

void lua_baselibopen(lua_State* L) {
    lua_pushcfunction(L, luaopen_base);
    lua_call(L, 0, 0);
    lua_pushcfunction(L, alertToStderr);
    lua_setglobal(L, "_ALERT");
}

void lua_iolibopen(lua_State* L) {
    lua_pushcfunction(L, luaopen_io);
    lua_call(L, 0, 0);
    lua_pushcfunction(L, luaopen_os);
    lua_call(L, 0, 0);
    lua_pushcfunction(L, errorMessageWithTraceback);
    lua_setglobal(L, "_ERRORMESSAGE");
    lua_pushcfunction(L, exitProgram);
    lua_setglobal(L, "exit");
}

void lua_strlibopen(lua_State* L) {
    lua_pushcfunction(L, luaopen_string);
    lua_call(L, 0, 0);
}

void lua_mathlibopen(lua_State* L) {
    lua_pushcfunction(L, luaopen_math);
    lua_call(L, 0, 0);
}

int lua_dofile(lua_State* L, const char* filename) {
    if (filename == nullptr) return LUA40_ERRFILE;
    FILE* f = std::fopen(filename, "rb");
    if (f == nullptr) return LUA40_ERRFILE;
    std::string source;
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) source.append(buffer, n);
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return LUA40_ERRFILE;
    return runChunk(L, source, std::string("@") + filename);
}

int lua_dostring(lua_State* L, const char* source) {
    if (source == nullptr) return LUA40_ERRRUN;
    return runChunk(L, source, source);
}

const char* lua_tostring(lua_State* L, int index) {
    if (lua_type(L, index) == LUA_TNUMBER) {
        int absolute = index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L) + index + 1;
        char text[64];
        std::snprintf(text, sizeof text, "%.16g", lua_tonumber(L, absolute));
        lua_pushstring(L, text);
        lua_replace(L, absolute);
        return lua_tolstring(L, absolute, nullptr);
    }
    if (lua_type(L, index) == LUA_TSTRING) return lua_tolstring(L, index, nullptr);
    return nullptr;
}

void lua_setglobal(lua_State* L, const char* name) {
    pushGlobals(L);
    lua_insert(L, -2);
    lua_setfield(L, -2, name);
    lua_pop(L, 1);
}

void lua_getglobal(lua_State* L, const char* name) {
    pushGlobals(L);
    lua_getfield(L, -1, name);
    lua_remove(L, -2);
}
