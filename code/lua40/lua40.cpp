// The 4.0 C interface on the Lua 5.1 library.
//
// A state holds two global tables: 5.1's own, used only by the library code,
// and the scripts' environment, in which every translated chunk runs: it
// holds the 4.0 globals (and whatever the engine registers), or forwards to
// the table a script installed with globals(t) (lib/tag.lua).
#include "lua40/lua40_51.h"

#include "lua40/lua40_lib.h"
#include "lua40/lua40_run.h"

#include <cstdio>
#include <string>

namespace {

// lua_open's own handler: the message alone.
int plainErrorMessage(lua_State* L) {
    const char* msg = lua_isstring(L, 1) ? lua_tostring(L, 1) : "(no message)";
    std::fprintf(stderr, "error: %s\n", msg);
    return 0;
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
    return lua40::runFile(L, filename);
}

int lua_dostring(lua_State* L, const char* source) {
    if (source == nullptr) return LUA40_ERRRUN;
    return lua40::runText(L, source);
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

// Not raw: setglobal/getglobal tag methods see engine registrations too.
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
