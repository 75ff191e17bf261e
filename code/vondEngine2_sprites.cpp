// Sprite layers: templates, the 4 x 256 slots of placed sprites, moving
// sprites in tile-plus-pixel steps, and drawing a sprite layer in the scroll
// position of the tile layer beneath it.
#include "KAV_Sprite.h"
#include "KAV_Tilemap.h"
#include "vondEngine2.h"
#include "vondLog.h"
#include "vondStores.h"

#include <cstdlib>

void vondEngine2::addSprite(KAV_Sprite* s) {
    if (s != nullptr) spriteTemplates.push_back(s);
}

int vondEngine2::placeSprite(int spriteNumber, int L, int x, int y, int xoff, int yoff) {
    if (!isSpriteLayer(L)) return 0;
    KAV_Sprite* found = nullptr;
    for (auto* t : spriteTemplates) {
        if (t->getID() == spriteNumber) {
            found = t;
            break;
        }
    }
    if (found == nullptr) return 0;
    auto* copy = new KAV_Sprite(*found);
    KAV_Sprite** slots = sprites[L - 1];
    int slot = 0;
    while (slot < SPRITE_SLOTS && slots[slot] != nullptr)
        ++slot;
    if (slot == SPRITE_SLOTS) {
        delete copy;
        vondFatal("Too many sprites on layer: ", L);
    }
    // A placed sprite is known by its slot from now on.
    copy->setID(static_cast<unsigned char>(slot));
    copy->setPos(x, y, xoff, yoff);
    slots[slot] = copy;
    vondLog("Placing sprite: ", slot, " with flags: ", static_cast<int>(copy->getFlags()));
    return slot;
}

void vondEngine2::delSprite(unsigned char id, int L) {
    if (!isSpriteLayer(L)) return;
    delete sprites[L - 1][id];
    sprites[L - 1][id] = nullptr;
}

KAV_Sprite* vondEngine2::getSprite(unsigned char id, int L) {
    return isSpriteLayer(L) ? sprites[L - 1][id] : nullptr;
}

void vondEngine2::moveSprite(unsigned char id, int L, int dx, int dy, int dxoff, int dyoff) {
    vondLog("In move sprite function!");
    KAV_Sprite* s = getSprite(id, L);
    if (s == nullptr) {
        vondFatal("Asked to move a nonexistant sprite: ", static_cast<int>(id));
    }
    KAV_Layer* layer = layers[L - 1];
    KAV_LAYER_MODE mode;
    unsigned layerFlags;
    layer->getLayerMode(mode, layerFlags);
    KAV_Tilemap* map = KAV_TilemapStore[layer->getLayerTilemap()].get();

    int x, y, xo, yo;
    s->getPos(x, y);
    s->getOffset(xo, yo);
    xo = vondAddWrapped(xo, dxoff);
    yo = vondAddWrapped(yo, dyoff);
    // One carry per axis, keeping offsets in 1..32 for steps smaller than a tile.
    if (xo > 31) xo -= KAV_TILE_SIZE, x = vondAddWrapped(x, 1);
    if (yo > 31) yo -= KAV_TILE_SIZE, y = vondAddWrapped(y, 1);
    if (xo <= 0) xo += KAV_TILE_SIZE, x = vondAddWrapped(x, -1);
    if (yo <= 0) yo += KAV_TILE_SIZE, y = vondAddWrapped(y, -1);
    x = vondAddWrapped(x, dx);
    y = vondAddWrapped(y, dy);
    // Only a wrapping tilemap shown by the layer wraps its sprites.
    if (mode == KAV_LAYER_TILEMAP && map != nullptr && map->isWrap()) {
        if (map->getWidth() > 0) x = vondWrapInto(x, map->getWidth());
        if (map->getHeight() > 0) y = vondWrapInto(y, map->getHeight());
    }
    s->setPos(x, y, xo, yo);
}

void vondEngine2::DrawSLayer(int L) {
    if (!isSpriteLayer(L)) return;
    int px, py, ox, oy, w, h;
    layers[L - 1]->getPointer(px, py, ox, oy);
    layers[L - 1]->getDimension(w, h);
    SDL_Surface* surface = spriteSurfaces[L - 1];
    // Slot order is drawing order: higher slots cover lower ones.
    for (auto* s : sprites[L - 1])
        if (s != nullptr && s->onScreen(px, py, w, h)) s->Draw(px, py, ox, oy, surface);
}

void vondEngine2::updateSprites(unsigned int ms) {
    for (int L = 1; L <= SPRITE_LAYERS; ++L) {
        if (!spriteLayerShown[reduceLayer(L)]) continue;
        for (auto* s : sprites[L - 1])
            if (s != nullptr) s->Update(ms);
    }
}

void vondEngine2::destroySprites() {
    for (auto& layer : sprites) {
        for (auto*& s : layer) {
            delete s;
            s = nullptr;
        }
    }
}
