// The program-wide objects: the engine, the script interpreter and the log.
#pragma once

#include "lua40/lua40.h"
#include "vondEngine2.h"

#include <fstream>

// The one engine object; constructed before the entry point runs.
extern vondEngine2 gfx;
// The one script interpreter; null until start-up opens it.
extern lua_State* game_state;
// The error log "vonderror.log". Messages end with std::endl, which flushes.
extern std::ofstream vondError;
