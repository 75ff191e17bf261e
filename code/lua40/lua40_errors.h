// Reporting errors as 4.0 does: its message wording, its chunk names and its
// "stack traceback:" lines, produced by the message handler of every
// protected call (lua40_run.h).
#pragma once

#include "lua40/lua40_51.h"

#include <string>

namespace lua40 {

// A chunk name as 4.0 shows it: file `x', string "...", or the bare name.
std::string chunkDisplay(const char* source, size_t limit);

// Message handler of every protected call: hands the message to
// _ERRORMESSAGE while the failing frames are still on the stack.
int reportError(lua_State* L);

// 4.0's "stack traceback:" lines for the frames from firstLevel up; empty
// when there are none.
std::string traceback(lua_State* L, int firstLevel);

// Rewrites a 5.1 run-time message into 4.0's wording.
std::string messageOf40(lua_State* L, const std::string& msg);

} // namespace lua40
