// Watching the chunks that run from C for a quit asked for while they run
// (lua40_setquitcheck in lua40.h). callChunk marks where each chunk begins and
// ends; the rest lives in lua40_quit.cpp.
#pragma once

#include "lua40/lua40_51.h"

namespace lua40 {

// Called as a chunk starts; true when it is the outermost chunk of the
// watched state, which must then be closed with endWatchedChunk.
bool beginWatchedChunk(lua_State* L);
void endWatchedChunk(lua_State* L);

} // namespace lua40
