// The 4.0 C interface on the Lua 5.1 library.
//
// A state holds two global tables: 5.1's own, used only by the library code,
// and the scripts' environment, which holds the 4.0 globals (and whatever the
// engine registers) and in which every translated chunk runs.
#include "lua40/lua40.h"

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
    return runFromC(L, source, source);
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
