// Definitions of the program-wide objects that must be constructed in order:
// the string store before the engine, whose constructor sets the shared
// colour and black tile.
#include "vondGlobals.h"

#include "KAV_Tilemap.h"
#include "vondStores.h"

std::string vondStringStore[VOND_STRING_STORE_SIZE];
Uint32 SPRITE_TRANS_COLOR = 0;
KAV_Tile KAV_BLACK_TILE;

vondEngine2 gfx;
