// Running translated 4.0 chunks on Lua 5.1: the scripts' environment table,
// loading through the translator, the cache of compiled script text, and
// protected calls with 4.0's status codes. Errors are reported through
// lua40_errors.h.
#pragma once

#include "lua40/lua40_51.h"

#include <string>

namespace lua40 {

// Source name of the library code written in Lua; its frames show as C
// functions in tracebacks, as 4.0's libraries are C.
constexpr const char* kLibrarySource = "=(lua40)";

// Registry slots of the host.
constexpr const char* kEnvironmentKey = "lua40.env";             // the scripts' globals
constexpr const char* kHelpersKey = "lua40.helpers";             // chunk helpers, array
constexpr const char* kHiddenKey = "lua40.hidden";               // set of frames never shown
constexpr const char* kSilentKey = "lua40.silent";               // error value already reported
constexpr const char* kLibraryKey = "lua40.library";             // library groups by name
constexpr const char* kHandlerFailedKey = "lua40.handlerFailed"; // _ERRORMESSAGE raised
constexpr const char* kReportErrorKey = "lua40.reportError";     // reportError, made once
constexpr const char* kPublicKey = "lua40.public";               // set of the library's globals
constexpr const char* kGlobalsKey = "lua40.globals";  // raw contents of the table of globals
constexpr const char* kComparesKey = "lua40.compares"; // comparisons of each chunk, by name
constexpr const char* kByMethodKey = "lua40.bymethod"; // operators through tag methods
constexpr const char* kChunkCacheKey = "lua40.chunkcache";           // compiled script text

inline void setRegistry(lua_State* L, const char* key) {
    lua_setfield(L, LUA_REGISTRYINDEX, key);
}
inline void getRegistry(lua_State* L, const char* key) {
    lua_getfield(L, LUA_REGISTRYINDEX, key);
}

// Sets up the registry slots and the helpers every chunk receives.
void installRuntime(lua_State* L);

void pushEnvironment(lua_State* L);

// Numbers as 4.0 writes them: "%.16g".
std::string formatNumber(double n);

// Translates and loads a chunk. On success pushes the function, ready for
// callChunk, and returns 0. A syntax error goes to _ERRORMESSAGE and gives
// 3 (4.0's LUA_ERRSYNTAX) with nothing pushed.
int loadChunk(lua_State* L, const std::string& source, const std::string& chunkName);

// Calls the chunk on the top of the stack, protected, with 4.0's error report.
// Returns a 4.0 status; on success the results are left on the stack.
int callChunk(lua_State* L);

// lua_dofile and lua_dostring: a file, or script text (compiled once and kept
// by its text), run from C with the results dropped. A 4.0 status.
int runFile(lua_State* L, const char* filename);
int runText(lua_State* L, const char* source);

} // namespace lua40
