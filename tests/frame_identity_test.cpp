// The engine's frame composition skips and shortens work (no clearing under an
// opaque layer, sprites drawn straight onto the screen, its own blit). These
// tests compose frames with the engine and with a plain reference that follows
// the frame order step by step with SDL's own blits (black screen; per layer
// the raster, then a sprite surface filled with the key colour, its sprites,
// and that surface through its key; then the windows) and require the same
// picture, pixel for pixel, on an engine-format surface and on the display.
#include "../bench/vondWorstCase.h"

#include "vondGlobals.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

namespace {

SDL_Surface* display() {
    if (SDL_GetVideoSurface() == nullptr) {
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        SDL_SetVideoMode(640, 480, 32, 0);
    }
    return SDL_GetVideoSurface();
}

SDL_Surface* sameFormat(SDL_Surface* like) {
    const SDL_PixelFormat* f = like->format;
    return SDL_CreateRGBSurface(SDL_SWSURFACE, like->w, like->h, 32, f->Rmask, f->Gmask, f->Bmask,
                                0);
}

// Copies the colour key and translucency of one surface onto another.
void copyKeyAndAlpha(SDL_Surface* from, SDL_Surface* to) {
    SDL_SetColorKey(to, from->flags & SDL_SRCCOLORKEY, from->format->colorkey);
    if (from->flags & SDL_SRCALPHA)
        SDL_SetAlpha(to, SDL_SRCALPHA, from->format->alpha);
    else
        SDL_SetAlpha(to, 0, 255);
}

// The raster of a tile layer painted from its tilemap or picture.
void referenceRaster(vondEngine2& e, int n, int picture, SDL_Surface* out) {
    KAV_Layer* layer = e.getLayer(n);
    KAV_LAYER_MODE mode;
    unsigned flags;
    layer->getLayerMode(mode, flags);
    int px, py, ox, oy;
    layer->getPointer(px, py, ox, oy);
    if (mode == KAV_LAYER_TILEMAP) {
        KAV_Tilemap* map = KAV_TilemapStore[layer->getLayerTilemap()];
        SDL_FillRect(out, nullptr, KAV_TilesetStore[map->getTileset()]->keyColour);
        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 22; ++column) {
                KAV_Tile tile = map->GetTile(px + column, py + row);
                if (tile.image == nullptr) continue;
                SDL_Rect at = newRect(ox + 32 * column, oy + 32 * row, 0, 0);
                SDL_BlitSurface(tile.image, nullptr, out, &at);
            }
    } else {
        SDL_FillRect(out, nullptr, SPRITE_TRANS_COLOR);
        SDL_Rect at = newRect(ox - 32 * px, oy - 32 * py, 0, 0);
        SDL_BlitSurface(vondImageStore[picture], nullptr, out, &at);
    }
    copyKeyAndAlpha(layer->getRasterContext(), out);
}

void referenceSprites(vondEngine2& e, int L, SDL_Surface* out) {
    SDL_FillRect(out, nullptr, SPRITE_TRANS_COLOR);
    SDL_SetColorKey(out, SDL_SRCCOLORKEY, SPRITE_TRANS_COLOR);
    int px, py, ox, oy;
    e.getLayer(L - 1)->getPointer(px, py, ox, oy);
    for (int i = 0; i < vondEngine2::SPRITE_SLOTS; ++i) {
        KAV_Sprite* s = e.getSprite(static_cast<unsigned char>(i), L);
        if (s == nullptr || !s->onScreen(px, py, 640, 480)) continue;
        int x, y, xo, yo;
        s->getPos(x, y);
        s->getOffset(xo, yo);
        SDL_Rect at = newRect(32 * (x - px) + ox + xo, 32 * (y - py) + oy + yo, 0, 0);
        SDL_BlitSurface(vondImageStore[s->getFrames()[s->getFrame()]], nullptr, out, &at);
    }
}

void referenceCompose(vondEngine2& e, const int pictures[4], const std::vector<int>& windowIds,
                      SDL_Surface* target) {
    SDL_Surface* raster = KAV_NewSurface(0, 640, 480);
    SDL_Surface* sprites = KAV_NewSurface(0, 640, 480);
    SDL_FillRect(target, nullptr, 0);
    for (int n = 0; n < 4; ++n) {
        if (e.isLayerShown(n)) {
            referenceRaster(e, n, pictures[n], raster);
            SDL_BlitSurface(raster, nullptr, target, nullptr);
        }
        if (e.isSLayerShown(n + 1)) {
            referenceSprites(e, n + 1, sprites);
            SDL_BlitSurface(sprites, nullptr, target, nullptr);
        }
    }
    for (int id : windowIds)
        e.getWindowHandle(id)->DrawOn(target);
    SDL_FreeSurface(raster);
    SDL_FreeSurface(sprites);
}

// Number of pixels whose colour differs; the first difference is reported.
int differingPixels(SDL_Surface* a, SDL_Surface* b) {
    int count = 0;
    for (int y = 0; y < a->h; ++y)
        for (int x = 0; x < a->w; ++x) {
            Uint32 pa = reinterpret_cast<Uint32*>(static_cast<Uint8*>(a->pixels) + y * a->pitch)[x];
            Uint32 pb = reinterpret_cast<Uint32*>(static_cast<Uint8*>(b->pixels) + y * b->pitch)[x];
            Uint8 ra, ga, ba, rb, gb, bb;
            SDL_GetRGB(pa, a->format, &ra, &ga, &ba);
            SDL_GetRGB(pb, b->format, &rb, &gb, &bb);
            if (ra != rb || ga != gb || ba != bb) {
                if (count == 0)
                    ADD_FAILURE() << "first difference at (" << x << ", " << y << "): engine "
                                  << int(ra) << "," << int(ga) << "," << int(ba) << " reference "
                                  << int(rb) << "," << int(gb) << "," << int(bb);
                ++count;
            }
        }
    return count;
}

// Composes `frames` frames on an engine-format surface and on the display,
// each against the reference; advance runs before every frame.
template <typename Advance>
void expectFramesMatch(vondEngine2& e, const int pictures[4], const std::vector<int>& windowIds,
                       int frames, Advance advance) {
    SDL_Surface* screen = display();
    ASSERT_NE(screen, nullptr);
    SDL_Surface* engineTarget = KAV_NewSurface(0, 640, 480);
    SDL_Surface* engineReference = KAV_NewSurface(0, 640, 480);
    SDL_Surface* screenReference = sameFormat(screen);
    for (int f = 0; f < frames; ++f) {
        advance(f);
        e.Update(16);
        e.Compose(engineTarget);
        referenceCompose(e, pictures, windowIds, engineReference);
        EXPECT_EQ(differingPixels(engineTarget, engineReference), 0)
            << "engine format, frame " << f;
        e.Compose(screen);
        referenceCompose(e, pictures, windowIds, screenReference);
        EXPECT_EQ(differingPixels(screen, screenReference), 0) << "display, frame " << f;
    }
    SDL_FreeSurface(engineTarget);
    SDL_FreeSurface(engineReference);
    SDL_FreeSurface(screenReference);
}

TEST(FrameIdentity, WorstCaseSceneScrollingMatchesTheReference) {
    vondEngine2 e;
    vondWorstCase::build(e);
    const int pictures[4] = {0, 0, 0, 0};
    // Some layers hidden part of the time, so that sprite layers also land on black.
    expectFramesMatch(e, pictures, vondWorstCase::windowIds(), 6, [&](int f) {
        vondWorstCase::scroll(e, f);
        if (f == 3) {
            e.toggleLayer(0, false);
            e.toggleSLayer(2, false);
        }
    });
}

// Pictures that cannot be drawn straight onto the screen: a sprite frame with
// pixels of exactly the sprite layers' key colour (they must stay see-through),
// a half-transparent sprite, a 24-bit frame; an opaque backdrop, a
// translucent picture layer, and a sprite layer with no tile layer under it.
TEST(FrameIdentity, KeyColouredTranslucentAndDeepFramesMatchTheReference) {
    display();
    {
        vondEngine2 scratch; // makes the worst case's tiles and tilemaps
        vondWorstCase::build(scratch);
    }
    vondEngine2 e;
    constexpr int BACKDROP = 31000, SHADE = 31001, KEYED = 31002, HALF = 31003, DEEP = 31004,
                  PLAIN = 31005;
    vondImageStore[PLAIN] = vondWorstCase::patterned(40, 40, 15, 0, 0, 0, 0);
    vondImageStore[BACKDROP] = vondWorstCase::patterned(700, 500, 11, 0, 0, 0, 0);
    vondImageStore[SHADE] = vondWorstCase::patterned(300, 200, 12, 3, 251, 3, 248);
    vondImageStore[KEYED] = vondWorstCase::patterned(40, 40, 13, 4, 251, 3, 248);
    vondImageStore[HALF] = vondWorstCase::patterned(40, 40, 14, 0, 0, 0, 0);
    SDL_Surface* deep = SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 40, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    SDL_FillRect(deep, nullptr, SDL_MapRGB(deep->format, 251, 3, 248));
    SDL_Rect inner = newRect(10, 10, 20, 20);
    SDL_FillRect(deep, &inner, SDL_MapRGB(deep->format, 20, 200, 90));
    vondImageStore[DEEP] = deep;
    // A 24-bit frame without the key colour: drawn straight on.
    constexpr int DEEP_PLAIN = 31006;
    SDL_Surface* deepPlain =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 40, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    SDL_FillRect(deepPlain, nullptr, SDL_MapRGB(deepPlain->format, 200, 30, 60));
    SDL_FillRect(deepPlain, &inner, SDL_MapRGB(deepPlain->format, 0, 255, 0));
    SDL_SetColorKey(deepPlain, SDL_SRCCOLORKEY, SDL_MapRGB(deepPlain->format, 0, 255, 0));
    vondImageStore[DEEP_PLAIN] = deepPlain;

    e.setLayerProperty(0, KAV_LAYER_PICTURE, 0);
    e.LoadBGLayer(0, BACKDROP);
    e.SetLPointer(0, 1, 0, -5, 0);
    e.setLayerProperty(2, KAV_LAYER_PICTURE, KAV_Layer::TRANSPARENT | KAV_Layer::TRANSLUCENT);
    e.LoadBGLayer(2, SHADE);
    e.SetLPointer(2, 0, 0, 40, 30);
    e.toggleLayer(0, true);
    e.toggleLayer(2, true);
    // An opaque tilemap layer with empty cells (scrolled every frame), and a
    // transparent one whose map came before its mode, so it keys on white.
    e.setLayerProperty(1, KAV_LAYER_TILEMAP, 0);
    e.SetTileMap(1, vondWorstCase::FIRST_MAP + 1);
    e.SetTileMap(3, vondWorstCase::FIRST_MAP + 2);
    e.setLayerProperty(3, KAV_LAYER_TILEMAP, KAV_Layer::TRANSPARENT);
    e.toggleLayer(1, true);
    e.toggleLayer(3, true);

    // Templates 50 to 54: KEYED, HALF, DEEP, PLAIN, DEEP_PLAIN.
    const int images[] = {KEYED, HALF, DEEP, PLAIN, DEEP_PLAIN};
    for (int t = 0; t < 5; ++t)
        e.addSprite(new KAV_Sprite(static_cast<unsigned char>(50 + t), 1, 0,
                                   new unsigned[1]{static_cast<unsigned>(images[t])}));
    for (int L = 1; L <= 4; ++L)
        e.toggleSLayer(L, true);
    // Layer 1 only plain frames, layer 2 none, layer 3 plain until its frames
    // turn half-transparent, layer 4 mixed.
    for (int i = 0; i < 6; ++i)
        e.placeSprite(53 + i % 2, 1, i * 2, 3, i, 0);
    for (int i = 0; i < 6; ++i)
        e.placeSprite(50, 2, i * 2 + 1, 4, 0, 0);
    e.placeSprite(52, 2, 3, 4, 5, 5);
    for (int i = 0; i < 6; ++i)
        e.placeSprite(51, 3, i * 3, 6, 3, 0);
    e.placeSprite(53, 4, 2, 8, 0, 0);
    e.placeSprite(50, 4, 2, 8, 10, 6);

    const int pictures[4] = {BACKDROP, 0, SHADE, 0};
    expectFramesMatch(e, pictures, {}, 5, [&](int f) {
        e.MoveLPointer(1, 0, 0, -3, -2); // offsets only: sprites stay on their cells
        e.MoveLPointer(3, 0, 0, -1, -1);
        if (f == 1) {
            e.toggleLayer(3, false);        // the opaque map's empty cells show
            e.MoveLPointer(2, 0, 0, -4, 0); // the picture layer moves: painted again
        }
        if (f == 3) // a new key on the shade's picture shows too
            SDL_SetColorKey(vondImageStore[SHADE], SDL_SRCCOLORKEY,
                            reinterpret_cast<Uint32*>(vondImageStore[SHADE]->pixels)[1]);
        if (f == 2) {
            // Sprite layers 1 and 2 on the backdrop, then half-transparent frames.
            e.toggleLayer(1, false);
            SDL_SetAlpha(vondImageStore[HALF], SDL_SRCALPHA, 128);
            SDL_SetColorKey(vondImageStore[HALF], SDL_SRCCOLORKEY,
                            SDL_MapRGB(vondImageStore[HALF]->format, 0, 0, 0));
        }
        if (f == 3) e.toggleLayer(0, false); // sprite layer 1 now lies on black
        if (f == 4) {
            e.toggleLayer(2, false);
            e.toggleSLayer(1, false);
            e.toggleLayer(3, true);
        }
    });
}

} // namespace
