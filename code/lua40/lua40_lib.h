// The 4.0 standard library (base, io, string, math) for the scripts'
// environment. Most of it is Lua code running on 5.1's own library, in one
// source per 4.0 library (lua40_sources.h); this module loads those sources
// and provides the C pieces they share (error report, dofile/dostring, exit,
// pointers).
#pragma once

#include "lua40/lua40_51.h"

namespace lua40 {

// Loads the library code; the groups are opened into the environment by
// openLibraryGroup.
void installLibrary(lua_State* L);

// Copies the globals of one group ("base", "io", "str", "math") into the
// scripts' environment.
void openLibraryGroup(lua_State* L, const char* group);

} // namespace lua40
