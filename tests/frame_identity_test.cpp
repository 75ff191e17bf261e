// The engine's frame composition skips and shortens work (no clearing under an
// opaque layer, sprites drawn straight onto the screen, its own blit). These
// tests compose frames with the engine and with a plain reference that follows
// the frame order step by step with SDL's own blits (black screen; per layer
// the raster, then a sprite surface filled with the key colour, its sprites,
// and that surface through its key; then the windows) and require the same
// picture, pixel for pixel, on an engine-format surface and on the display.
#include "vondWorstCase.h"

#include "vondGlobals.h"
#include "vondSceneFixture.h"

namespace {

// The raster of tile layer n painted from its tilemap or picture, keyed and
// blended as the engine's raster is.
void referenceRaster(vondEngine2& e, int n, int picture, SDL_Surface* out) {
    KAV_Layer* layer = e.getLayer(n);
    KAV_LAYER_MODE mode;
    unsigned flags;
    layer->getLayerMode(mode, flags);
    int px, py, ox, oy;
    layer->getPointer(px, py, ox, oy);
    if (mode == KAV_LAYER_TILEMAP) {
        KAV_Tilemap* map = KAV_TilemapStore[layer->getLayerTilemap()].get();
        SDL_FillRect(out, nullptr, KAV_TilesetStore[map->getTileset()]->keyColour);
        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 22; ++column) {
                const KAV_Tile& tile = map->GetTile(px + column, py + row);
                SDL_Rect at = newRect(ox + 32 * column, oy + 32 * row, 0, 0);
                if (tile.image) SDL_BlitSurface(tile.image.get(), nullptr, out, &at);
            }
    } else {
        SDL_FillRect(out, nullptr, SPRITE_TRANS_COLOR);
        SDL_Rect at = newRect(ox - 32 * px, oy - 32 * py, 0, 0);
        SDL_BlitSurface(vondImageStore[picture].get(), nullptr, out, &at);
    }
    SDL_Surface* raster = layer->getRasterContext();
    SDL_SetColorKey(out, raster->flags & SDL_SRCCOLORKEY, raster->format->colorkey);
    SDL_SetAlpha(out, raster->flags & SDL_SRCALPHA, raster->format->alpha);
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
        SDL_BlitSurface(vondImageStore[s->getFrames()[s->getFrame()]].get(), nullptr, out, &at);
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

// Composes `frames` frames on an engine-format surface and on the display,
// each against the reference; advance runs before every frame.
template <typename Advance>
void expectFramesMatch(vondEngine2& e, const int pictures[4], const std::vector<int>& windowIds,
                       int frames, Advance advance) {
    SDL_Surface* screen = displaySurface();
    ASSERT_NE(screen, nullptr);
    const SDL_PixelFormat* f = screen->format;
    SDL_Surface* engineTarget = KAV_NewSurface(0, 640, 480);
    SDL_Surface* engineReference = KAV_NewSurface(0, 640, 480);
    SDL_Surface* screenReference =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, f->Rmask, f->Gmask, f->Bmask, 0);
    for (int frame = 0; frame < frames; ++frame) {
        advance(frame);
        e.Update(16);
        e.Compose(engineTarget);
        referenceCompose(e, pictures, windowIds, engineReference);
        std::string where;
        EXPECT_EQ(differingPixels(engineTarget, engineReference, &where), 0)
            << "engine, frame " << frame << ", " << where;
        e.Compose(screen);
        referenceCompose(e, pictures, windowIds, screenReference);
        EXPECT_EQ(differingPixels(screen, screenReference, &where), 0)
            << "display, frame " << frame << ", " << where;
    }
    for (SDL_Surface* s : {engineTarget, engineReference, screenReference})
        SDL_FreeSurface(s);
}

TEST(FrameIdentity, WorstCaseSceneScrollingMatchesTheReference) {
    vondEngine2 e;
    vondWorstCase::build(e);
    const int pictures[4] = {0, 0, 0, 0};
    // Some layers hidden part of the time, so that sprite layers also land on black.
    expectFramesMatch(e, pictures, vondWorstCase::windowIds(), 6, [&](int f) {
        vondWorstCase::scroll(e, f);
        if (f == 3) e.toggleLayer(0, false), e.toggleSLayer(2, false);
    });
}

// A 24-bit 40 x 40 frame: a square of `inner` in `outer`, keyed on `inner` if asked.
SDL_Surface* deepFrame(Uint32 outer, Uint32 inner, bool keyInner) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 40, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    SDL_Rect square = newRect(10, 10, 20, 20);
    SDL_FillRect(s, nullptr, outer);
    SDL_FillRect(s, &square, inner);
    if (keyInner) SDL_SetColorKey(s, SDL_SRCCOLORKEY, inner);
    return s;
}

// Sprite templates first, first + 1 ... of one frame each: the images in turn.
void addTemplates(vondEngine2& e, int first, std::initializer_list<unsigned> images) {
    for (unsigned image : images)
        e.addSprite(
            new KAV_Sprite(static_cast<unsigned char>(first++), 1, 0, new unsigned[1]{image}));
}

// Pictures that cannot be drawn straight onto the screen: a sprite frame with
// pixels of exactly the sprite layers' key colour (they must stay see-through),
// a half-transparent sprite, 24-bit frames; an opaque backdrop, a translucent
// picture layer, and a sprite layer with no tile layer under it.
TEST(FrameIdentity, KeyColouredTranslucentAndDeepFramesMatchTheReference) {
    displaySurface();
    {
        vondEngine2 scratch; // makes the worst case's tiles and tilemaps
        vondWorstCase::build(scratch);
    }
    vondEngine2 e;
    constexpr int BACKDROP = 31000, SHADE = 31001, KEYED = 31002, HALF = 31003, DEEP = 31004,
                  PLAIN = 31005, DEEP_PLAIN = 31006;
    using vondWorstCase::patterned;
    KAV_StoreImage(PLAIN, patterned(40, 40, 15, 0, 0, 0, 0));
    KAV_StoreImage(BACKDROP, patterned(700, 500, 11, 0, 0, 0, 0));
    KAV_StoreImage(SHADE, patterned(300, 200, 12, 3, 251, 3, 248));
    KAV_StoreImage(KEYED, patterned(40, 40, 13, 4, 251, 3, 248));
    KAV_StoreImage(HALF, patterned(40, 40, 14, 0, 0, 0, 0));
    KAV_StoreImage(DEEP, deepFrame(0xF803FB, 0x5AC814, false)); // all key colour around
    KAV_StoreImage(DEEP_PLAIN, deepFrame(0x3C1EC8, 0x00FF00, true));

    e.setLayerProperty(0, KAV_LAYER_PICTURE, 0);
    e.LoadBGLayer(0, BACKDROP);
    e.SetLPointer(0, 1, 0, -5, 0);
    e.setLayerProperty(2, KAV_LAYER_PICTURE, KAV_Layer::TRANSPARENT | KAV_Layer::TRANSLUCENT);
    e.LoadBGLayer(2, SHADE);
    e.SetLPointer(2, 0, 0, 40, 30);
    // An opaque tilemap layer with empty cells (scrolled every frame), and a
    // transparent one whose map came before its mode, so it keys on white.
    e.setLayerProperty(1, KAV_LAYER_TILEMAP, 0);
    e.SetTileMap(1, vondWorstCase::FIRST_MAP + 1);
    e.SetTileMap(3, vondWorstCase::FIRST_MAP + 2);
    e.setLayerProperty(3, KAV_LAYER_TILEMAP, KAV_Layer::TRANSPARENT);
    for (int n = 0; n < 4; ++n)
        e.toggleLayer(n, true), e.toggleSLayer(n + 1, true);
    addTemplates(e, 50, {KEYED, HALF, DEEP, PLAIN, DEEP_PLAIN});
    // Layer 1 only plain frames, layer 2 keyed and deep ones, layer 3 plain until
    // its frames turn half-transparent, layer 4 mixed.
    for (int i = 0; i < 6; ++i) {
        e.placeSprite(53 + i % 2, 1, i * 2, 3, i, 0);
        e.placeSprite(50, 2, i * 2 + 1, 4, 0, 0);
        e.placeSprite(51, 3, i * 3, 6, 3, 0);
    }
    e.placeSprite(52, 2, 3, 4, 5, 5);
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
        if (f == 2) { // sprite layers 1 and 2 on the backdrop, then half-transparent frames
            e.toggleLayer(1, false);
            SDL_SetAlpha(vondImageStore[HALF].get(), SDL_SRCALPHA, 128);
            SDL_SetColorKey(vondImageStore[HALF].get(), SDL_SRCCOLORKEY, 0);
        }
        if (f == 3) { // a new key on the shade's picture shows; sprite layer 1 lies on black
            SDL_SetColorKey(vondImageStore[SHADE].get(), SDL_SRCCOLORKEY,
                            reinterpret_cast<Uint32*>(vondImageStore[SHADE]->pixels)[1]);
            e.toggleLayer(0, false);
        }
        if (f == 4) e.toggleLayer(2, false), e.toggleSLayer(1, false), e.toggleLayer(3, true);
    });
}

// Frames painted on the key colour (no key of their own) are drawn straight
// through the key while they overlap no earlier sprite of their layer; where
// they do, their key-coloured pixels must cut through that sprite and show
// what lies under the layer, as on the sprite surface.
TEST(FrameIdentity, KeyColouredFramesCutThroughEarlierSpritesOnly) {
    displaySurface();
    vondEngine2 e;
    constexpr int BACKDROP = 31100, KEYED = 31101, PLAIN = 31102, DEEP = 31103;
    using vondWorstCase::patterned;
    KAV_StoreImage(BACKDROP, patterned(640, 480, 21, 0, 0, 0, 0));
    KAV_StoreImage(KEYED, patterned(40, 40, 22, 3, 251, 3, 248));
    KAV_StoreImage(PLAIN, patterned(40, 40, 23, 0, 0, 0, 0));
    KAV_StoreImage(DEEP, deepFrame(0xF803FB, 0x5AC814, false));
    e.setLayerProperty(0, KAV_LAYER_PICTURE, 0);
    e.LoadBGLayer(0, BACKDROP);
    e.toggleLayer(0, true);
    e.toggleSLayer(1, true);
    addTemplates(e, 60, {KEYED, PLAIN, DEEP});
    int plain = e.placeSprite(61, 1, 1, 1, 0, 0); // slot 0
    int keyed = e.placeSprite(60, 1, 5, 1, 0, 0); // slot 1
    int deep = e.placeSprite(62, 1, 9, 1, 0, 0);  // slot 2
    int cover = e.placeSprite(61, 1, 5, 6, 0, 0); // slot 3, plain
    const int pictures[4] = {BACKDROP, 0, 0, 0};
    expectFramesMatch(e, pictures, {}, 5, [&](int f) {
        auto at = [&](int slot, int x, int y, int xo, int yo) {
            e.getSprite(static_cast<unsigned char>(slot), 1)->setPos(x, y, xo, yo);
        };
        if (f == 1) at(keyed, 1, 1, 12, 9);                       // over the earlier plain sprite
        if (f == 2) at(keyed, 5, 1, 0, 0), at(deep, 5, 1, 20, 0); // deep over keyed
        if (f == 3) at(deep, 9, 1, 0, 0), at(cover, 5, 1, 8, 8);  // a later plain one over keyed
        if (f == 4)
            at(cover, 5, 6, 0, 0), at(plain, 5, 1, 30, 30); // an earlier one under its corner
    });
}

} // namespace
