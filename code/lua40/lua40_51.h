// Lua 5.1 inside the script host, beside the 4.0 interface it implements.
//
// Only the host's sources (code/lua40/) and its own tests and benchmarks
// include this header; everything else sees lua40.h alone. Where 4.0 and 5.1
// use one name with two meanings (lua_open, lua_tostring, lua_setglobal,
// lua_getglobal), the name means the 4.0 call here too: 5.1's macros of those
// names are taken away. The rest of 5.1 (lua_call, lua_pcall, the registry,
// luaL_...) keeps its 5.1 meaning.
#pragma once

#include "lua40/lua40.h"

#include <lua.hpp>

#undef lua_open
#undef lua_tostring
#undef lua_setglobal
#undef lua_getglobal
