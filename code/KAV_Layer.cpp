// Tile layers: the raster, its colour key and translucency, the scroll pointer
// and the painting of pictures and tilemaps into the raster.
#include "KAV_Layer.h"

#include "KAV_Tilemap.h"
#include "vondBlit.h"
#include "vondLog.h"
#include "vondStores.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int RASTER_W = 640;
constexpr int RASTER_H = 480;
// Tiles painted per raster: enough to cover 640 x 480 at any offset.
constexpr int PAINT_COLUMNS = 22;
constexpr int PAINT_ROWS = 16;

// Smallest q with offset - 32 q <= 0, so that the offset lands in -31..0.
long long offsetCarry(int offset) {
    long long o = offset;
    return o >= 0 ? (o + 31) / KAV_TILE_SIZE : -((-o) / KAV_TILE_SIZE);
}

bool fitsRect(long long v) {
    return v >= -32768 && v <= 32767;
}

} // namespace

KAV_Layer::KAV_Layer(KAV_LAYER_MODE mode, int width, int height, unsigned flags)
    : raster(KAV_NewSurface(0, RASTER_W, RASTER_H)), mode(mode), flags(flags), width(width),
      height(height) {
    applyColourKey();
    applyAlpha();
}

KAV_Layer::~KAV_Layer() {
    SDL_FreeSurface(raster);
}

void KAV_Layer::setKey(Uint32 value) {
    keyed = true;
    key = value;
    if (raster != nullptr) SDL_SetColorKey(raster, SDL_SRCCOLORKEY, value);
}

void KAV_Layer::applyColourKey() {
    if (flags & TRANSPARENT) {
        // White keys a tilemap layer until a tilemap brings its tileset's colour.
        setKey(mode == KAV_LAYER_PICTURE ? SPRITE_TRANS_COLOR : 0xFFFFFF);
    } else {
        keyed = false;
        if (raster != nullptr) SDL_SetColorKey(raster, 0, 0);
    }
}

void KAV_Layer::applyAlpha() {
    if (raster == nullptr) return;
    if (flags & TRANSLUCENT)
        SDL_SetAlpha(raster, SDL_SRCALPHA, 128);
    else
        SDL_SetAlpha(raster, 0, 255);
}

void KAV_Layer::setLayerMode(KAV_LAYER_MODE newMode, unsigned newFlags) {
    mode = newMode;
    flags = newFlags;
    applyColourKey();
    // Translucency is applied here too: scripts reach layers only through this call.
    applyAlpha();
    dirty = true;
}

void KAV_Layer::getLayerMode(KAV_LAYER_MODE& m, unsigned& f) const {
    m = mode;
    f = flags;
}

void KAV_Layer::setLayerDimensions(int w, int h) {
    if (w <= 0 || h <= 0) return;
    width = w;
    height = h;
    normalizePointer();
}

void KAV_Layer::setLayerTilemap(int number) {
    tilemapNumber = number;
    dirty = true;
    KAV_Tilemap* map = vondTilemapOk(number) ? KAV_TilemapStore[number].get() : nullptr;
    if (map == nullptr) {
        // Without a tilemap the layer draws nothing until it is given one.
        vondLog("ERROR: Asked to use NULL tilemap: ", number);
        tilemap.reset();
        return;
    }
    tilemap = KAV_TilemapStore[number];
    tilesetNumber = map->getTileset();
    KAV_Tileset* set =
        vondTilesetOk(tilesetNumber) ? KAV_TilesetStore[tilesetNumber].get() : nullptr;
    if ((flags & TRANSPARENT) && set != nullptr) setKey(set->keyColour);
}

SDL_Surface* KAV_Layer::getRasterContext() {
    if (raster == nullptr) return nullptr;
    if (mode == KAV_LAYER_TILEMAP) {
        // Edge-mode switches (setWrap and the like) change what the cached raster shows.
        if (tilemap && tilemap->getFlags() != paintedMapFlags) dirty = true;
        if (dirty) blitTiles();
    } else if (mode == KAV_LAYER_PICTURE) {
        SDL_Surface* image = vondImageAt(picture);
        if (image == nullptr) {
            vondFatal("Error: Layer asked to use NULL image: ", picture);
        }
        long long x = offsetX - static_cast<long long>(KAV_TILE_SIZE) * pointerX;
        long long y = offsetY - static_cast<long long>(KAV_TILE_SIZE) * pointerY;
        // Store pictures do not change once loaded: the raster painted last time
        // still holds if picture, place, colour key and alpha are the same.
        PictureState now{vondImageSerialAt(picture), x, y, image->flags, image->format->colorkey,
                         image->format->alpha};
        if (pictureCached && now == paintedPicture) return raster;
        paintedPicture = now;
        pictureCached = true;
        SDL_FillRect(raster, nullptr, SPRITE_TRANS_COLOR);
        // Far beyond the raster nothing shows; a 16-bit rectangle would wrap round.
        if (fitsRect(x) && fitsRect(y)) {
            SDL_Rect at = newRect(static_cast<int>(x), static_cast<int>(y), 0, 0);
            SDL_BlitSurface(image, nullptr, raster, &at);
        }
    }
    return raster;
}

void KAV_Layer::SetPointer(int x, int y, int xOffset, int yOffset) {
    pointerX = x;
    pointerY = y;
    offsetX = xOffset;
    offsetY = yOffset;
    dirty = true;
    normalizeOffset();
    normalizePointer();
}

void KAV_Layer::MovePointer(int dx, int dy, int dxOffset, int dyOffset) {
    pointerX = vondAddWrapped(pointerX, dx);
    pointerY = vondAddWrapped(pointerY, dy);
    offsetX = vondAddWrapped(offsetX, dxOffset);
    offsetY = vondAddWrapped(offsetY, dyOffset);
    dirty = true;
    normalizeOffset();
    normalizePointer();
}

void KAV_Layer::MovePointer(int dx, int dy) {
    pointerX = vondAddWrapped(pointerX, dx);
    pointerY = vondAddWrapped(pointerY, dy);
    offsetX = offsetY = 0;
    dirty = true;
    normalizeOffset();
    normalizePointer();
}

void KAV_Layer::normalizeOffset() {
    // The world position 32 * pointer - offset stays the same.
    long long qx = offsetCarry(offsetX), qy = offsetCarry(offsetY);
    offsetX = static_cast<int>(offsetX - KAV_TILE_SIZE * qx);
    offsetY = static_cast<int>(offsetY - KAV_TILE_SIZE * qy);
    pointerX = vondAddWrapped(pointerX, -qx);
    pointerY = vondAddWrapped(pointerY, -qy);
}

void KAV_Layer::normalizePointer() {
    if (mode == KAV_LAYER_PICTURE) return;
    if (tilemap && !tilemap->isWrap()) return;
    // The layer's own bounds; a wrapping tilemap wraps cell numbers again itself.
    if (width > 0) pointerX = vondWrapInto(pointerX, width);
    if (height > 0) pointerY = vondWrapInto(pointerY, height);
}

void KAV_Layer::getPointer(int& x, int& y, int& xOffset, int& yOffset) const {
    x = pointerX;
    y = pointerY;
    xOffset = offsetX;
    yOffset = offsetY;
}

void KAV_Layer::getDimension(int& w, int& h) const {
    w = width;
    h = height;
}

void KAV_Layer::blitTiles() {
    if (mode != KAV_LAYER_TILEMAP || raster == nullptr) return;
    pictureCached = false;
    paintTiles(raster);
    paintedMapFlags = tilemap ? tilemap->getFlags() : 0;
    dirty = false;
}

void KAV_Layer::Draw() {
    // Paints the screen instead of the raster, and counts as the repaint: the
    // raster is not painted again until the pointer moves.
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (mode != KAV_LAYER_TILEMAP || screen == nullptr) return;
    paintTiles(screen);
    dirty = false;
}

void KAV_Layer::paintTiles(SDL_Surface* target) {
    KAV_Tileset* set = nullptr;
    if (tilemap && vondTilesetOk(tilesetNumber)) set = KAV_TilesetStore[tilesetNumber].get();
    // With no tileset to take a background from, a keyed raster stays see-through.
    Uint32 background = set != nullptr ? set->keyColour : keyed ? key : 0;
    SDL_FillRect(target, nullptr, background);
    if (!tilemap) return;
    for (int row = 0; row < PAINT_ROWS; ++row) {
        for (int column = 0; column < PAINT_COLUMNS; ++column) {
            const KAV_Tile& tile =
                tilemap->GetTile(vondAddWrapped(pointerX, column), vondAddWrapped(pointerY, row));
            if (!tile.image) continue;
            SDL_Rect at =
                newRect(offsetX + KAV_TILE_SIZE * column, offsetY + KAV_TILE_SIZE * row, 0, 0);
            vondBlit(tile.image.get(), nullptr, target, &at);
        }
    }
}

bool KAV_Layer::drawChangedTilesOn(SDL_Surface* target) {
    if (mode != KAV_LAYER_TILEMAP || raster == nullptr || target == nullptr || !tilemap)
        return false;
    if (tilemap->getFlags() != paintedMapFlags) dirty = true;
    // A raster still valid costs one blit; only one due for repainting is skipped.
    if (!dirty || (raster->flags & SDL_SRCALPHA)) return false;
    KAV_Tileset* set =
        vondTilesetOk(tilesetNumber) ? KAV_TilesetStore[tilesetNumber].get() : nullptr;
    Uint32 background = set != nullptr ? set->keyColour : keyed ? key : 0;
    // Keyed, the background must key out and every tile pixel is keyed by the
    // layer's key; opaque, cells not wholly covered by a tile show the background.
    if (keyed && background != key) return false;
    auto cellTile = [&](int column, int row) {
        return tilemap->GetTile(vondAddWrapped(pointerX, column), vondAddWrapped(pointerY, row))
            .image.get();
    };
    for (int row = 0; row < PAINT_ROWS; ++row)
        for (int column = 0; column < PAINT_COLUMNS; ++column) {
            SDL_Surface* image = cellTile(column, row);
            if (image == nullptr) continue;
            // Larger tiles would overlap, where the raster keeps the later tile's keyed pixels.
            if (!vondBlitIsFast(image, raster) || !vondBlitIsFast(image, target) ||
                image->w > KAV_TILE_SIZE || image->h > KAV_TILE_SIZE ||
                (keyed && (image->flags & SDL_SRCCOLORKEY)))
                return false;
        }
    SDL_Rect saved;
    SDL_GetClipRect(target, &saved);
    // Nothing outside the raster shows: clip to it as its blit at (0, 0) would.
    SDL_Rect visible = newRect(saved.x, saved.y, std::min(saved.x + saved.w, raster->w) - saved.x,
                               std::min(saved.y + saved.h, raster->h) - saved.y);
    if (visible.w <= 0 || visible.h <= 0) return true;
    SDL_SetClipRect(target, &visible);
    if (!keyed) {
        Uint32 fill = background;
        if (target->format->Rmask != raster->format->Rmask ||
            target->format->Bmask != raster->format->Bmask) {
            Uint8 r, g, b;
            SDL_GetRGB(background, raster->format, &r, &g, &b);
            fill = SDL_MapRGB(target->format, r, g, b);
        }
        for (int row = 0; row < PAINT_ROWS; ++row)
            for (int column = 0; column < PAINT_COLUMNS; ++column) {
                SDL_Surface* image = cellTile(column, row);
                if (image != nullptr && image->w == KAV_TILE_SIZE && image->h == KAV_TILE_SIZE &&
                    !(image->flags & SDL_SRCCOLORKEY))
                    continue;
                SDL_Rect cell =
                    newRect(offsetX + KAV_TILE_SIZE * column, offsetY + KAV_TILE_SIZE * row,
                            KAV_TILE_SIZE, KAV_TILE_SIZE);
                SDL_FillRect(target, &cell, fill);
            }
    }
    for (int row = 0; row < PAINT_ROWS; ++row)
        for (int column = 0; column < PAINT_COLUMNS; ++column) {
            SDL_Surface* image = cellTile(column, row);
            if (image == nullptr) continue;
            SDL_Rect at =
                newRect(offsetX + KAV_TILE_SIZE * column, offsetY + KAV_TILE_SIZE * row, 0, 0);
            if (keyed)
                vondBlitKeyed(image, nullptr, target, &at, key);
            else
                vondBlit(image, nullptr, target, &at);
        }
    SDL_SetClipRect(target, &saved);
    return true;
}

void KAV_Layer::Debug() const {
    vondLog("Layer Debug: xpos: ", pointerX, " ypos: ", pointerY, " xoff: ", offsetX, " yoff: ", offsetY);
}
