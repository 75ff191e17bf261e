// The Lua 4.0 C interface that the engine calls, hosted on Lua 5.1.
//
// Game scripts are Lua 4.0 programs. The engine, its tests and benchmarks talk
// to the interpreter only through the 4.0 calls declared here, each with its
// 4.0 meaning (status codes, number-to-text with "%.16g", errors reported on
// standard error and never raised into the engine). No Lua 5.1 header is
// included: 5.1 is seen only inside code/lua40/ (lua40_51.h).
//
// The calls that mean the same in 4.0 and in 5.1 carry 5.1's C signatures and
// bind straight to the 5.1 library, which exports them with C linkage; the
// others are the host's own. Names are parenthesised, as in Lua's headers, so
// that the host's sources can see 5.1's macros of the same names as well.
#pragma once

extern "C" {

typedef struct lua_State lua_State;
typedef int (*lua_CFunction)(lua_State* L);

// The same in 4.0 and 5.1. Indices count from 1 (the first argument) or back
// from -1 (the top of the stack).
void(lua_close)(lua_State* L);
int(lua_gettop)(lua_State* L);
void(lua_settop)(lua_State* L, int index);
// Whether the value is text or a number.
int(lua_isstring)(lua_State* L, int index);
// A number, or text that reads as one; 0 for anything else. Numeric text is
// left as text in its slot (4.0 would convert the slot in place).
double(lua_tonumber)(lua_State* L, int index);
void(lua_pushnil)(lua_State* L);
void(lua_pushnumber)(lua_State* L, double n);
// Copies the C string; a null pointer pushes nil.
void(lua_pushstring)(lua_State* L, const char* s);
// Table traversal: pops a key, pushes the next key and its value; 0 at the end.
int(lua_next)(lua_State* L, int index);

} // extern "C"

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
lua_State*(lua_open)(int stacksize);

// The four 4.0 libraries, opened into the scripts' globals.
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

// Calls the function below the nargs arguments on the top of the stack,
// unprotected: an error goes to the protected call the caller runs inside.
// Leaves nresults results.
void lua_rawcall(lua_State* L, int nargs, int nresults);

// Text of a value: a string, or a number written with 4.0's "%.16g" (the slot
// is converted in place, as 4.0 does); null for anything else.
const char*(lua_tostring)(lua_State* L, int index);

// Globals of the scripts' environment: set pops the value.
void(lua_setglobal)(lua_State* L, const char* name);
void(lua_getglobal)(lua_State* L, const char* name);

// Makes f the global `name' (4.0's lua_register).
void(lua_register)(lua_State* L, const char* name, lua_CFunction f);

// Stopping a script that never ends. While a script run by lua_dofile or
// lua_dostring has gone on for a few milliseconds, pending(data) is called
// between two of its instructions, at most 200 times a second; when it returns
// nonzero, quit(data) is called, meant to end the program. Neither is called
// while no script runs, nor while a C function that the script called runs
// (the check waits for it to return). One state is watched at a time; a null
// pending stops watching. Scripts must run on the thread that calls this.
typedef int (*lua40_QuitCheck)(void* data);
void lua40_setquitcheck(lua_State* L, lua40_QuitCheck pending, void (*quit)(void* data),
                        void* data);

inline void(lua_pop)(lua_State* L, int n) {
    lua_settop(L, -n - 1);
}
