// Definitions of the program-wide objects, in one file so that they are
// constructed in this order: the string store, the engine, the log stream.
#include "vondGlobals.h"

#include "KAV_Tilemap.h"
#include "vondStores.h"

std::string vondStringStore[VOND_STRING_STORE_SIZE];
Uint32 SPRITE_TRANS_COLOR = 0;
KAV_Tile KAV_BLACK_TILE;

vondEngine2 gfx;
lua_State* game_state = nullptr;
std::ofstream vondError;
