// The compositor: how one frame is put together from the tile layers, the
// sprite layers and the windows, and the shortcuts that give the same pixels
// with fewer full-screen blits.
#include "vondEngine2.h"

#include "KAV_Sprite.h"
#include "vondBlit.h"
#include "vondStores.h"
#include "vondWindow2.h"

#include <cstring>

void vondEngine2::Compose(SDL_Surface* target) {
    // The screen is cleared to black unless the first thing drawn is a raster
    // that covers it opaquely anyway.
    bool cleared = false;
    for (int n = 0; n < TILE_LAYERS; ++n) {
        if (layerShown[n]) {
            if (!cleared) {
                if (!coversOpaquely(layers[n]->peekRaster(), target))
                    SDL_FillRect(target, nullptr, 0);
                cleared = true;
            }
            // A scrolled tilemap layer draws its tiles straight on; its raster is
            // repainted once the layer stands still.
            if (!layers[n]->drawChangedTilesOn(target)) {
                SDL_Rect at = newRect(0, 0, 0, 0);
                vondBlit(layers[n]->getRasterContext(), nullptr, target, &at);
            }
        }
        if (spriteLayerShown[reduceLayer(n + 1)]) {
            if (!cleared) SDL_FillRect(target, nullptr, 0);
            cleared = true;
            composeSpriteLayer(n + 1, target);
        }
    }
    if (!cleared) SDL_FillRect(target, nullptr, 0);
    for (auto* w : windows)
        w->DrawOn(target);
}

bool vondEngine2::coversOpaquely(const SDL_Surface* raster, const SDL_Surface* target) {
    if (raster == nullptr || (raster->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) ||
        raster->format->Amask != 0)
        return false;
    const SDL_Rect& clip = target->clip_rect;
    return raster->w >= clip.x + clip.w && raster->h >= clip.y + clip.h;
}

// A sprite layer is drawn onto its own surface, which is then blitted through
// its colour key. Where that gives the same pixels, sprites are drawn straight
// onto the target instead, without the fill and the full-screen blit:
// - a frame whose colours land unchanged on the surface and none of them is
//   the key colour is simply drawn;
// - a frame showing pixels of the key colour (a background painted in it,
//   with no colour key of its own) is drawn through that key, as long as it
//   overlaps no sprite drawn before it in the layer: on the surface those
//   pixels would punch holes through such a sprite.
// Hidden sprite layers are not cleared at all.
void vondEngine2::composeSpriteLayer(int L, SDL_Surface* target) {
    SDL_Surface* surface = spriteSurfaces[L - 1];
    int px, py, ox, oy, w, h;
    layers[L - 1]->getPointer(px, py, ox, oy);
    layers[L - 1]->getDimension(w, h);
    const auto& layerSprites = sprites[L - 1];
    bool direct = target->w == surface->w && target->h == surface->h &&
                  std::memcmp(&target->clip_rect, &surface->clip_rect, sizeof(SDL_Rect)) == 0;
    size_t shown = 0, holed = 0;
    for (auto* s : layerSprites) {
        if (!direct) break;
        if (s == nullptr || !s->onScreen(px, py, w, h) || s->getFrameCount() <= 0) continue;
        ++shown;
        switch (spriteImageDrawing(s->getFrames()[s->getFrame()])) {
        case DRAW_VIA_SURFACE:
            direct = false;
            break;
        case DRAW_THROUGH_KEY:
            ++holed;
            break;
        case DRAW_AS_IS:
            break;
        }
    }
    // Pairwise overlap checks stay cheap; past that the surface is cheaper.
    if (direct && holed > 0)
        direct = holed * shown <= 4096 && !holesReachEarlierSprites(L, px, py, ox, oy, w, h);
    if (direct) {
        for (auto* s : layerSprites) {
            if (s == nullptr || !s->onScreen(px, py, w, h)) continue;
            if (s->getFrameCount() > 0 &&
                spriteImageDrawing(s->getFrames()[s->getFrame()]) == DRAW_THROUGH_KEY)
                s->DrawKeyed(px, py, ox, oy, target, SPRITE_TRANS_COLOR);
            else
                s->Draw(px, py, ox, oy, target);
        }
        return;
    }
    SDL_FillRect(surface, nullptr, SPRITE_TRANS_COLOR);
    DrawSLayer(L);
    SDL_Rect at = newRect(0, 0, 0, 0);
    vondBlit(surface, nullptr, target, &at);
}

bool vondEngine2::holesReachEarlierSprites(int L, int px, int py, int ox, int oy, int w,
                                          int h) {
    const auto& layerSprites = sprites[L - 1];
    for (int i = 0; i < SPRITE_SLOTS; ++i) {
        KAV_Sprite* s = layerSprites[i];
        if (s == nullptr || !s->onScreen(px, py, w, h) || s->getFrameCount() <= 0 ||
            spriteImageDrawing(s->getFrames()[s->getFrame()]) != DRAW_THROUGH_KEY)
            continue;
        SDL_Rect a = s->screenRect(px, py, ox, oy);
        for (int j = 0; j < i; ++j) {
            KAV_Sprite* t = layerSprites[j];
            if (t == nullptr || !t->onScreen(px, py, w, h)) continue;
            SDL_Rect b = t->screenRect(px, py, ox, oy);
            if (a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h)
                return true;
        }
    }
    return false;
}

namespace {

// What was found out about one image of the store, and the state it was found
// in. Store images are never drawn on after loading, so the verdict holds
// until the image is replaced or its colour key or alpha changes. The image is
// known by its serial: a replaced picture is released, and the next one
// loaded may get its address.
struct vondDirectVerdict {
    unsigned long long image = 0;
    Uint32 flags = 0;
    Uint32 colourKey = 0;
    Uint32 transColour = 0;
    vondEngine2::SpriteDrawing drawing = vondEngine2::DRAW_VIA_SURFACE;
};
vondDirectVerdict directVerdicts[VOND_IMAGE_STORE_SIZE];

} // namespace

vondEngine2::SpriteDrawing vondEngine2::spriteImageDrawing(unsigned number) {
    SDL_Surface* image = vondImageAt(number);
    if (image == nullptr) return DRAW_AS_IS; // draws nothing either way
    vondDirectVerdict& v = directVerdicts[number];
    const unsigned long long serial = vondImageSerial[number];
    if (v.image == serial && v.flags == image->flags && v.colourKey == image->format->colorkey &&
        v.transColour == SPRITE_TRANS_COLOR)
        return v.drawing;
    v.image = serial;
    v.flags = image->flags;
    v.colourKey = image->format->colorkey;
    v.transColour = SPRITE_TRANS_COLOR;
    v.drawing = DRAW_VIA_SURFACE;
    // Only images whose colours land unchanged on the sprite surface qualify;
    // then a pixel disappears there exactly when it equals the surface's key.
    const SDL_PixelFormat* f = image->format;
    const SDL_PixelFormat* e = spriteSurfaces[0]->format;
    if (!vondBlitIsFast(image, spriteSurfaces[0]) || f->Rmask != e->Rmask ||
        f->Gmask != e->Gmask || f->Bmask != e->Bmask)
        return v.drawing;
    const bool keyed = (image->flags & SDL_SRCCOLORKEY) != 0;
    const int bytes = f->BytesPerPixel;
    bool showsKeyColour = false;
    for (int y = 0; !showsKeyColour && y < image->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(image->pixels) + y * image->pitch;
        for (int x = 0; x < image->w; ++x) {
            const Uint8* q = row + bytes * x;
            Uint32 p =
                bytes == 4 ? *reinterpret_cast<const Uint32*>(q) : q[0] | q[1] << 8 | q[2] << 16;
            if (p == SPRITE_TRANS_COLOR && !(keyed && p == v.colourKey)) {
                showsKeyColour = true;
                break;
            }
        }
    }
    // A keyed image showing the key colour as well would need two keys at once.
    if (!showsKeyColour)
        v.drawing = DRAW_AS_IS;
    else if (!keyed)
        v.drawing = DRAW_THROUGH_KEY;
    return v.drawing;
}
