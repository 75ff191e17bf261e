// The Lua 4.0 C interface that the engine calls, hosted on Lua 5.1.
//
// Game scripts are Lua 4.0 programs. The engine talks to the interpreter only
// through the 4.0 calls declared here; each keeps its 4.0 meaning (status codes,
// number-to-text with "%.16g", errors reported on standard error and never
// raised into the engine). Everything else of Lua 5.1 stays behind this header.
#pragma once

#include <lua.hpp>

// 5.1 defines these as macros with other signatures; the 4.0 forms replace them.
#undef lua_open
#undef lua_tostring
#undef lua_setglobal
#undef lua_getglobal

// 4.0 status codes of lua_dofile / lua_dostring.
enum {
    LUA40_OK = 0,
    LUA40_ERRRUN = 1,
    LUA40_ERRFILE = 2,
    LUA40_ERRSYNTAX = 3,
    LUA40_ERRMEM = 4,
    LUA40_ERRERR = 5
};

// Opens an interpreter; stacksize 0 means the default. Null when out of memory.
lua_State* lua_open(int stacksize);

void lua_baselibopen(lua_State* L);
void lua_iolibopen(lua_State* L);
void lua_strlibopen(lua_State* L);
void lua_mathlibopen(lua_State* L);

// Run a script file or script text, translated from 4.0 (see
// lua40_translate.h). 0 on success, else a 4.0 status code; a missing file is
// LUA40_ERRFILE and prints nothing. Errors inside the chunk go to
// _ERRORMESSAGE (message and traceback on standard error by default). Unlike
// 4.0, results the chunk returns are dropped: the engine never reads them and
// would otherwise grow the stack with every click handler that returns one.
int lua_dofile(lua_State* L, const char* filename);
int lua_dostring(lua_State* L, const char* source);

// Number-to-text with 4.0's "%.16g"; converts the slot in place like 4.0.
const char* lua_tostring(lua_State* L, int index);

// Globals of the scripts' environment.
void lua_setglobal(lua_State* L, const char* name);
void lua_getglobal(lua_State* L, const char* name);
