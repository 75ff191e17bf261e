// Script functions of the scene: images, tilemaps, tile layers and sprites.
//
// Each reads its arguments, checks every number that would index a table and
// calls the engine. An index outside its table is logged and the call is
// ignored; a function with a result then returns 0.
#include "KAV_Layer.h"
#include "KAV_Sprite.h"
#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondImageGuard.h"
#include "vondLog.h"
#include "vondScriptFuncs.h"
#include "vondStores.h"

#include <cstdlib>

namespace {

using FROM = vondArgs::Direction;
constexpr FROM LAST = vondArgs::FROM_LAST;
constexpr FROM FIRST = vondArgs::FROM_FIRST;

// A template with more frames than this cannot come from a sane script.
constexpr int MAX_SPRITE_FRAMES = 65536;

bool spriteLayerOk(const char* function, int L) {
    if (vondEngine2::isSpriteLayer(L)) return true;
    vondLog(function, ": sprite layer ", L, " is out of range");
    return false;
}

// The tilemap a flag function works on, or null after logging why there is none.
KAV_Tilemap* tilemapFor(const char* function, int number) {
    if (!vondCheckRange(function, "tilemap", number, KAV_TILEMAP_STORE_SIZE)) return nullptr;
    if (!KAV_TilemapStore[number]) vondLog(function, ": tilemap ", number, " is not loaded");
    return KAV_TilemapStore[number].get();
}

int setMapFlag(lua_State* L, const char* function, unsigned flag) {
    vondArgs a(L, 2, LAST);
    if (KAV_Tilemap* map = tilemapFor(function, a.toInt(1)))
        map->setFlags(a.toInt(2) != 0 ? flag : 0);
    return 0;
}

int getSpriteCoordinate(lua_State* L, const char* axis) {
    vondArgs a(L, 2, FIRST);
    unsigned char slot = a.toByte(1);
    int layer = a.toInt(2);
    // A layer outside 1 to 4 has no sprite either: the same line says so.
    KAV_Sprite* s = gfx.getSprite(slot, layer);
    if (s == nullptr) {
        vondLog("Asked to get ", axis, " on invalid sprite: ", static_cast<int>(slot), " on sprite layer: ", layer);
        return vondReturnNumber(L, 0);
    }
    int x, y;
    s->getPos(x, y);
    return vondReturnNumber(L, axis[0] == 'X' ? x : y);
}

// The tile layer a script names, or null (logged) when there is none.
KAV_Layer* scriptLayer(const char* function, int n) {
    KAV_Layer* layer = gfx.getLayer(n);
    if (layer == nullptr) vondCheckRange(function, "layer", n, vondEngine2::TILE_LAYERS);
    return layer;
}

} // namespace

int l_addImage(lua_State* L) {
    vondArgs a(L, 2, LAST);
    int n = a.toInt(1);
    std::string file = a.text(2);
    if (!vondCheckRange("addImage", "image", n, VOND_IMAGE_STORE_SIZE)) return 0;
    SDL_Surface* image = vondLoadImage(file.c_str());
    if (image == nullptr) {
        vondFatal("Unable to load image: ", file);
    }
    KAV_StoreImage(n, image);
    return 0;
}

int l_loadMap(lua_State* L) {
    vondArgs a(L, 2, LAST);
    int n = a.toInt(1);
    std::string file = a.text(2);
    if (!vondCheckRange("loadMap", "tilemap", n, KAV_TILEMAP_STORE_SIZE)) return 0;
    // The file may store the map under its own number as well.
    KAV_StoreTilemap(n, new KAV_Tilemap(file.c_str()));
    return 0;
}

int l_setBlackEdge(lua_State* L) {
    return setMapFlag(L, "setBlackEdge", KAV_Tilemap::BLACK_EDGE);
}
int l_setWrap(lua_State* L) {
    return setMapFlag(L, "setWrap", KAV_Tilemap::WRAP);
}
int l_setBlank(lua_State* L) {
    return setMapFlag(L, "setBlank", KAV_Tilemap::BLANK);
}

int l_setLayerProperty(lua_State* L) {
    vondArgs a(L, 3, LAST);
    gfx.setLayerProperty(a.toInt(1), static_cast<KAV_LAYER_MODE>(a.toUnsigned(2)),
                         static_cast<int>(a.toUnsigned(3)));
    return 0;
}

int l_setTilemap(lua_State* L) {
    vondArgs a(L, 2, LAST);
    // The layer reports a number that holds no tilemap, in range or not.
    gfx.SetTileMap(a.toInt(1), a.toInt(2));
    return 0;
}

int l_setLPointer(lua_State* L) {
    vondArgs a(L, 5, LAST);
    gfx.SetLPointer(a.toInt(1), a.toInt(2), a.toInt(3), a.toInt(4), a.toInt(5));
    return 0;
}

int l_toggleLayer(lua_State* L) {
    vondArgs a(L, 1, LAST);
    gfx.toggleLayer(a.toInt(1));
    return 0;
}

int l_MoveLPointer(lua_State* L) {
    vondArgs a(L, 5, LAST);
    gfx.MoveLPointer(a.toInt(1), a.toInt(2), a.toInt(3), a.toInt(4), a.toInt(5));
    return 0;
}

int l_getLayerX(lua_State* L) {
    KAV_Layer* layer = scriptLayer("getLayerX", vondArgs(L, 1, FIRST).toInt(1));
    return vondReturnNumber(L, layer != nullptr ? layer->getXPos() : 0);
}

int l_getLayerY(lua_State* L) {
    KAV_Layer* layer = scriptLayer("getLayerY", vondArgs(L, 1, FIRST).toInt(1));
    return vondReturnNumber(L, layer != nullptr ? layer->getYPos() : 0);
}

int l_setLayerPic(lua_State* L) {
    vondArgs a(L, 2, FIRST);
    int image = a.toInt(2);
    KAV_Layer* layer = scriptLayer("setLayerPic", a.toInt(1));
    if (layer != nullptr && vondCheckRange("setLayerPic", "image", image, VOND_IMAGE_STORE_SIZE))
        layer->setSurface(image);
    return 0;
}

int l_addSprite(lua_State* L) {
    vondArgs a(L, 0, FIRST);
    int count = a.toInt(3);
    if (count < 1 || count > MAX_SPRITE_FRAMES) {
        vondLog("addSprite: frame count ", count, " is out of range");
        return 0;
    }
    auto* frames = new unsigned[count];
    unsigned flags = a.toUnsigned(2);
    // Kept as given: a frame outside the image store simply draws nothing.
    for (int i = 0; i < count; ++i)
        frames[i] = static_cast<unsigned>(a.toInt(4 + i));
    gfx.addSprite(new KAV_Sprite(a.toByte(1), count, flags, frames));
    return 0;
}

int l_toggleSLayer(lua_State* L) {
    vondArgs a(L, 1, LAST);
    gfx.toggleSLayer(a.toInt(1));
    return 0;
}

int l_placeSprite(lua_State* L) {
    vondArgs a(L, 6, LAST);
    int layer = a.toInt(2);
    if (!spriteLayerOk("placeSprite", layer)) return vondReturnNumber(L, 0);
    return vondReturnNumber(
        L, gfx.placeSprite(a.toInt(1), layer, a.toInt(3), a.toInt(4), a.toInt(5), a.toInt(6)));
}

int l_getSpriteX(lua_State* L) {
    return getSpriteCoordinate(L, "X");
}
int l_getSpriteY(lua_State* L) {
    return getSpriteCoordinate(L, "Y");
}

int l_delSprite(lua_State* L) {
    vondArgs a(L, 2, FIRST);
    int layer = a.toInt(2);
    if (spriteLayerOk("delSprite", layer)) gfx.delSprite(a.toByte(1), layer);
    return 0;
}

int l_moveSprite(lua_State* L) {
    vondArgs a(L, 6, FIRST);
    int layer = a.toInt(2);
    if (spriteLayerOk("moveSprite", layer))
        gfx.moveSprite(a.toByte(1), layer, a.toInt(3), a.toInt(4), a.toInt(5), a.toInt(6));
    return 0;
}
