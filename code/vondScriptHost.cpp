// The interpreter the whole game runs on, and the engine's entry into it.
#include "vondScriptHost.h"

#include "lua40/lua40.h"

lua_State* game_state = nullptr;

// The results are not examined: scripts report their own errors.
void vondRunScriptFile(const char* file) {
    if (game_state != nullptr) lua_dofile(game_state, file);
}

void vondRunScriptText(const char* text) {
    if (game_state != nullptr) lua_dostring(game_state, text);
}
