// The 4.0 C interface on the Lua 5.1 library.
//
// A state holds two global tables: 5.1's own, used only by the library code,
// and the scripts' environment, which holds the 4.0 globals (and whatever the
// engine registers) and in which every translated chunk runs.
#include "lua40/lua40_51.h"

#include "lua40/lua40_lib.h"
#include "lua40/lua40_run.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// lua_open's own handler: the message alone.
int plainErrorMessage(lua_State* L) {
    const char* msg = lua_isstring(L, 1) ? lua_tostring(L, 1) : "(no message)";
    std::fprintf(stderr, "error: %s\n", msg);
    return 0;
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
    int status = lua40::loadChunk(L, source, chunkName);
    if (status == 0) status = lua40::callChunk(L);
    lua_settop(L, base);
    return status;
}

// Script text that the engine runs again and again (timed events, hotspots)
// is translated and compiled once: compiled chunks are kept by their text.
// The cache is emptied when it fills, so text made afresh each time (with
// numbers formatted into it, say) cannot make it grow without bound.
constexpr const char* kChunkCacheKey = "lua40.chunkcache";
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

lua_State* lua_open(int /*stacksize*/) {
    lua_State* L = luaL_newstate();
    if (L == nullptr) return nullptr;
    luaL_openlibs(L);
    lua40::installRuntime(L);
    lua40::installLibrary(L);
    lua40::pushEnvironment(L);
    lua_pushcfunction(L, plainErrorMessage);
    lua_setfield(L, -2, "_ERRORMESSAGE");
    lua_pop(L, 1);
    return L;
}

void lua_baselibopen(lua_State* L) {
    lua40::openLibraryGroup(L, "base");
}
void lua_iolibopen(lua_State* L) {
    lua40::openLibraryGroup(L, "io");
}
void lua_strlibopen(lua_State* L) {
    lua40::openLibraryGroup(L, "str");
}
void lua_mathlibopen(lua_State* L) {
    lua40::openLibraryGroup(L, "math");
}

int lua_dofile(lua_State* L, const char* filename) {
    if (filename == nullptr) return LUA40_ERRFILE;
    std::string source;
    if (!readFile(filename, source)) return LUA40_ERRFILE;
    return runFromC(L, source, std::string("@") + filename);
}

int lua_dostring(lua_State* L, const char* source) {
    if (source == nullptr) return LUA40_ERRRUN;
    int base = lua_gettop(L);
    if (!pushCachedChunk(L, source)) {
        int status = lua40::loadChunk(L, source, source);
        if (status != 0) {
            lua_settop(L, base);
            return status;
        }
        cacheChunk(L, source);
    }
    int status = lua40::callChunk(L);
    lua_settop(L, base);
    return status;
}

void lua_rawcall(lua_State* L, int nargs, int nresults) {
    lua_call(L, nargs, nresults);
}

const char* lua_tostring(lua_State* L, int index) {
    if (lua_type(L, index) == LUA_TNUMBER) {
        int absolute = index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L) + index + 1;
        lua_pushstring(L, lua40::formatNumber(lua_tonumber(L, absolute)).c_str());
        lua_replace(L, absolute);
        return lua_tolstring(L, absolute, nullptr);
    }
    if (lua_type(L, index) == LUA_TSTRING) return lua_tolstring(L, index, nullptr);
    return nullptr;
}

// Not raw: a setglobal/getglobal tag method on nil sees engine registrations too.
void lua_setglobal(lua_State* L, const char* name) {
    lua40::pushEnvironment(L);
    lua_insert(L, -2);
    lua_setfield(L, -2, name);
    lua_pop(L, 1);
}

void lua_getglobal(lua_State* L, const char* name) {
    lua40::pushEnvironment(L);
    lua_getfield(L, -1, name);
    lua_remove(L, -2);
}

// Parenthesised: 5.1's macro of this name is in scope here.
void(lua_register)(lua_State* L, const char* name, lua_CFunction f) {
    lua_pushcfunction(L, f);
    lua_setglobal(L, name);
}
