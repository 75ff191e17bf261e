// The 4.0 standard library (base, io, string, math) for the scripts'
// environment. Most of it is Lua code running on 5.1's own library, in one
// source per 4.0 library; this module loads those sources and provides the C
// pieces they share (error report, dofile/dostring, exit, pointers).
#pragma once

#include "lua40/lua40_51.h"

namespace lua40 {

// Loads the library code; the groups are opened into the environment by
// openLibraryGroup.
void installLibrary(lua_State* L);

// Copies the globals of one group ("base", "io", "str", "math") into the
// scripts' environment.
void openLibraryGroup(lua_State* L, const char* group);

// Lua sources of the groups. Each runs with (lib, env, H): the table to fill,
// the scripts' environment and the shared helpers.
extern const char* const kSharedSource;
extern const char* const kBaseSource;
extern const char* const kTagSource;
extern const char* const kIoSource;
extern const char* const kStrSource;
extern const char* const kMathSource;

} // namespace lua40
