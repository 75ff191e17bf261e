// Running translated chunks: the scripts' environment, loading through the
// translator (and the cache of compiled script text), protected calls with
// 4.0's status codes, and the helpers every chunk receives.
#include "lua40/lua40_run.h"

#include "lua40/lua40_errors.h"
#include "lua40/lua40_lex.h"
#include "lua40/lua40_lines.h"
#include "lua40/lua40_quit.h"
#include "lua40/lua40_sources.h"
#include "lua40/lua40_translate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace lua40 {

namespace {

// `..' of 4.0 (see lua40_translate.h): argument 1 names the operands for
// error messages, the operands follow. Strings and numbers ("%.16g") are
// joined here; anything else goes to the library's H.concat, which runs the
// concat tag methods and raises 4.0's error.
int concatValues(lua_State* L) {
    int n = lua_gettop(L);
    for (int i = 2; i <= n; ++i) {
        int t = lua_type(L, i);
        if (t != LUA_TSTRING && t != LUA_TNUMBER) {
            getRegistry(L, kLibraryKey);
            lua_getfield(L, -1, "H");
            lua_getfield(L, -1, "concat");
            lua_insert(L, 1);
            lua_pop(L, 2);
            lua_call(L, n, 1);
            return 1;
        }
    }
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    for (int i = 2; i <= n; ++i) {
        if (lua_type(L, i) == LUA_TNUMBER) {
            luaL_addstring(&b, formatNumber(lua_tonumber(L, i)).c_str());
        } else {
            size_t len;
            const char* s = lua_tolstring(L, i, &len);
            luaL_addlstring(&b, s, len);
        }
    }
    luaL_pushresult(&b);
    return 1;
}

// Every table a constructor makes: while the default table tag has methods,
// upvalue 1 is the metatable that carries them (false otherwise). With three
// arguments, a constructor built in 4.0's order by the library's H.buildTable.
int newTable(lua_State* L) {
    if (lua_gettop(L) != 1) {
        lua_settop(L, 3);
        getRegistry(L, kLibraryKey);
        lua_getfield(L, -1, "H");
        lua_getfield(L, -1, "buildTable");
        lua_insert(L, 1);
        lua_pop(L, 2);
        lua_call(L, 3, 1);
    }
    if (lua_toboolean(L, lua_upvalueindex(1))) {
        lua_pushvalue(L, lua_upvalueindex(1));
        lua_setmetatable(L, 1);
    }
    return 1;
}

// H.setTableMeta(mt): the metatable newTable gives every table from now on
// (5.1's debug library cannot set the upvalue of a C function).
int setTableMeta(lua_State* L) {
    getRegistry(L, kHelpersKey);
    lua_rawgeti(L, -1, 7);
    lua_pushvalue(L, 1);
    lua_setupvalue(L, -2, 1);
    return 0;
}

int passResults(lua_State* L) {
    return lua_gettop(L);
}

bool readFile(const char* filename, std::string& source) {
    FILE* f = std::fopen(filename, "rb");
    if (f == nullptr) return false;
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        source.append(buffer, n);
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    return !failed;
}

// Runs one chunk from C. Results are dropped: the engine never reads them,
// and keeping them would grow the stack for as long as the game runs.
int runFromC(lua_State* L, const std::string& source, const std::string& chunkName) {
    int base = lua_gettop(L);
    int status = loadChunk(L, source, chunkName);
    if (status == 0) status = callChunk(L);
    lua_settop(L, base);
    return status;
}

// Script text that the engine runs again and again (timed events, hotspots)
// is translated and compiled once: compiled chunks are kept by their text.
// The cache is emptied when it fills, so text made afresh each time (with
// numbers formatted into it, say) cannot make it grow without bound.
constexpr int kChunkCacheSize = 256;

// Pushes the cached chunk for source, or nothing and returns false.
bool pushCachedChunk(lua_State* L, const char* source) {
    lua_getfield(L, LUA_REGISTRYINDEX, kChunkCacheKey);
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        return false;
    }
    lua_pushstring(L, source);
    lua_rawget(L, -2);
    lua_remove(L, -2);
    if (lua_isfunction(L, -1)) return true;
    lua_pop(L, 1);
    return false;
}

// Keeps the function on the top of the stack (left there) as source's chunk.
void cacheChunk(lua_State* L, const char* source) {
    lua_getfield(L, LUA_REGISTRYINDEX, kChunkCacheKey);
    int kept = kChunkCacheSize; // no table yet: make one
    if (lua_istable(L, -1)) {
        lua_rawgeti(L, -1, 0); // the number of chunks kept
        kept = static_cast<int>(lua_tonumber(L, -1));
        lua_pop(L, 1);
    }
    if (kept >= kChunkCacheSize) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushvalue(L, -1);
        lua_setfield(L, LUA_REGISTRYINDEX, kChunkCacheKey);
        kept = 0;
    }
    lua_pushstring(L, source);
    lua_pushvalue(L, -3);
    lua_rawset(L, -3);
    lua_pushnumber(L, kept + 1);
    lua_rawseti(L, -2, 0);
    lua_pop(L, 1);
}

} // namespace

std::string formatNumber(double n) {
    char text[64];
    std::snprintf(text, sizeof text, "%.16g", n);
    return text;
}

void pushEnvironment(lua_State* L) {
    getRegistry(L, kEnvironmentKey);
}

namespace {

// Keeps a chunk's comparisons for the compare messages (lua40_errors.cpp),
// by chunk name; the table starts afresh when it fills, as the cache does.
void keepCompares(lua_State* L, const std::string& chunkName, const std::string& compares) {
    getRegistry(L, kComparesKey);
    lua_getfield(L, -1, chunkName.c_str());
    bool known = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (compares.empty() && !known) {
        lua_pop(L, 1);
        return;
    }
    lua_rawgeti(L, -1, 0);
    int kept = static_cast<int>(lua_tonumber(L, -1));
    lua_pop(L, 1);
    if (kept >= kChunkCacheSize) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushvalue(L, -1);
        setRegistry(L, kComparesKey);
        kept = 0;
    }
    if (compares.empty()) {
        lua_pushnil(L);
    } else {
        lua_pushlstring(L, compares.data(), compares.size());
        lua_pushnumber(L, kept + 1);
        lua_rawseti(L, -3, 0);
    }
    lua_setfield(L, -2, chunkName.c_str());
    lua_pop(L, 1);
}

} // namespace

int loadChunk(lua_State* L, const std::string& source, const std::string& chunkName) {
    getRegistry(L, kByMethodKey);
    bool byMethod = lua_toboolean(L, -1) != 0;
    lua_pop(L, 1);
    Translation t = translate(source, chunkDisplay(chunkName.c_str(), 63), byMethod);
    std::string failure;
    if (t.ok) {
        if (luaL_loadbuffer(L, t.code.data(), t.code.size(), chunkName.c_str()) == 0) {
            if (t.callsSpanLines) relineCalls(L, t.code);
            pushEnvironment(L);
            lua_setfenv(L, -2);
            keepCompares(L, chunkName, t.compares);
            return 0;
        }
        // Past 5.1's own limits (locals, upvalues, nesting): its message,
        // in 4.0's layout, at the line 5.1 gives.
        lua_pop(L, 1);
        luaL_loadbuffer(L, t.code.data(), t.code.size(), "=");
        std::string what = lua_tostring(L, -1);
        lua_pop(L, 1);
        int line = std::atoi(what.c_str() + 1);
        what = what.substr(std::min(what.find(": ") + 2, what.size()));
        what = what.substr(0, what.find(" near '"));
        failure = syntaxMessage(what, "<eof>", line, chunkDisplay(chunkName.c_str(), 63));
    } else {
        failure = t.error;
    }
    // Through the same handler as run-time errors, so tracebacks line up.
    lua_pushcfunction(L, reportError);
    lua_pushstring(L, failure.c_str());
    lua_pcall(L, 1, 0, 0);
    return LUA40_ERRSYNTAX;
}

int callChunk(lua_State* L) {
    // Nothing here allocates once the runtime is installed: the handler is
    // made once, and the flag is reset to false rather than nil so that its
    // key string stays alive and is never made again.
    int function = lua_gettop(L);
    getRegistry(L, kReportErrorKey);
    lua_insert(L, function);
    getRegistry(L, kHelpersKey);
    for (int i = 1; i <= kHelperCount; ++i)
        lua_rawgeti(L, function + 2, i);
    lua_remove(L, function + 2);
    lua_pushboolean(L, 0);
    setRegistry(L, kHandlerFailedKey);
    bool watched = beginWatchedChunk(L);
    int status = lua_pcall(L, kHelperCount, LUA_MULTRET, function);
    if (watched) endWatchedChunk(L);
    lua_remove(L, function);
    if (status == 0) return LUA40_OK;
    lua_settop(L, function - 1);
    getRegistry(L, kHandlerFailedKey);
    bool handlerFailed = lua_toboolean(L, -1) != 0;
    lua_pop(L, 1);
    if (handlerFailed) return LUA40_ERRERR;
    switch (status) {
    case LUA_ERRMEM:
        return LUA40_ERRMEM;
    case LUA_ERRERR:
        return LUA40_ERRERR;
    default:
        return LUA40_ERRRUN;
    }
}

int runFile(lua_State* L, const char* filename) {
    std::string source;
    if (!readFile(filename, source)) return LUA40_ERRFILE;
    return runFromC(L, source, std::string("@") + filename);
}

int runText(lua_State* L, const char* source) {
    int base = lua_gettop(L);
    if (!pushCachedChunk(L, source)) {
        int status = loadChunk(L, source, source);
        if (status != 0) {
            lua_settop(L, base);
            return status;
        }
        cacheChunk(L, source);
    }
    int status = callChunk(L);
    lua_settop(L, base);
    return status;
}

void installRuntime(lua_State* L) {
    lua_newtable(L);
    setRegistry(L, kEnvironmentKey);
    lua_newtable(L);
    setRegistry(L, kSilentKey);
    lua_newtable(L);
    setRegistry(L, kComparesKey);
    lua_newtable(L); // the library groups, and H, the helpers its code shares
    lua_newtable(L);
    lua_setfield(L, -2, "H");
    setRegistry(L, kLibraryKey);
    lua_pushcfunction(L, reportError);
    setRegistry(L, kReportErrorKey);
    lua_pushboolean(L, 0);
    setRegistry(L, kHandlerFailedKey);

    // Helpers are passed to every chunk as its arguments (see lua40_translate.h).
    lua_newtable(L); // hidden
    lua_newtable(L); // helpers
    lua_pushcfunction(L, concatValues);
    lua_rawseti(L, -2, 1);
    lua_getfield(L, LUA_GLOBALSINDEX, "next");
    lua_rawseti(L, -2, 2);
    luaL_loadbuffer(L, kHelperSource, std::strlen(kHelperSource), kLibrarySource);
    getRegistry(L, kLibraryKey);
    lua_getfield(L, -1, "H");
    lua_remove(L, -2);
    lua_call(L, 1, 4);
    lua_rawseti(L, -5, 8);
    lua_rawseti(L, -4, 6);
    lua_rawseti(L, -3, 5);
    lua_rawseti(L, -2, 3);
    lua_pushcfunction(L, passResults);
    lua_rawseti(L, -2, 4);
    lua_pushboolean(L, 0);
    lua_pushcclosure(L, newTable, 1);
    getRegistry(L, kLibraryKey);
    lua_getfield(L, -1, "H");
    lua_pushcfunction(L, setTableMeta);
    lua_setfield(L, -2, "setTableMeta");
    lua_pop(L, 2);
    lua_rawseti(L, -2, 7);
    for (int i = 1; i <= kHelperCount; ++i) {
        lua_rawgeti(L, -1, i);
        lua_pushboolean(L, 1);
        lua_rawset(L, -4);
    }
    setRegistry(L, kHelpersKey);
    setRegistry(L, kHiddenKey);
}

} // namespace lua40
