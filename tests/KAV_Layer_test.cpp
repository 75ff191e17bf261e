// Tile layers drawn into real surfaces: pointer normalising, scroll offsets,
// wrap and edges, the raster cache, colour keys and translucency.
#include "KAV_Layer.h"
#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondSceneFixture.h"
#include "vondStores.h"

namespace {

constexpr Uint32 RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF, YELLOW = 0xFFFF00;
constexpr Uint32 MAGENTA = 0xFF00FF, GREY = 0x646464;
const Uint32* const COLOURS = SCENE_COLOURS; // tile i of makeMap shows COLOURS[i]

class LayerTest : public SceneTest {
  protected:
    // The raster blitted over a grey surface, as the engine blits it onto the screen.
    SDL_Surface* overGrey(KAV_Layer& layer) {
        SDL_Surface* s = solidSurface(640, 480, 100, 100, 100);
        SDL_BlitSurface(layer.getRasterContext(), nullptr, s, nullptr);
        return s;
    }
};

void expectPointer(KAV_Layer& l, int x, int y, int xo, int yo) {
    int px, py, ox, oy;
    l.getPointer(px, py, ox, oy);
    EXPECT_EQ(px, x);
    EXPECT_EQ(py, y);
    EXPECT_EQ(ox, xo);
    EXPECT_EQ(oy, yo);
}

TEST_F(LayerTest, OffsetsAreNormalisedIntoMinus31ToZeroKeepingTheWorldPosition) {
    KAV_Layer l(KAV_LAYER_PICTURE, 640, 480, 0);
    l.SetPointer(3, 2, 5, 0);
    expectPointer(l, 2, 2, -27, 0); // 32 * 2 + 27 = 91 = 32 * 3 - 5
    l.SetPointer(0, 0, 0, 0);
    l.MovePointer(0, 0, -40, 0);
    expectPointer(l, 1, 0, -8, 0);
    l.MovePointer(0, 0, 0, -32);
    expectPointer(l, 1, 1, -8, 0);
    l.MovePointer(1, 0);
    expectPointer(l, 2, 1, 0, 0);
    l.SetPointer(-5, 0, 100000, -100001); // picture mode never wraps the pointer
    int px, py, ox, oy;
    l.getPointer(px, py, ox, oy);
    EXPECT_EQ(32 * px - ox, 32 * -5 - 100000);
    EXPECT_EQ(32 * py - oy, 100001);
    EXPECT_TRUE(ox <= 0 && ox >= -31 && oy <= 0 && oy >= -31);
    l.Debug();
    EXPECT_EQ(logLines().back(),
              "Layer Debug: xpos: " + std::to_string(px) + " ypos: " + std::to_string(py) +
                  " xoff: " + std::to_string(ox) + " yoff: " + std::to_string(oy));
}

TEST_F(LayerTest, PointerWrapsByTheLayerSizeAndTheMapWrapsCellsAgain) {
    makeMap(1, 20, 2, 1, [](int x, int) { return x % 4; });
    makeMap(2, 30, 2, 1, [](int x, int) { return x % 4; });
    makeMap(3, 4, 2, 3, [](int x, int) { return x % 4; });
    KAV_Layer l(KAV_LAYER_TILEMAP, 640, 480, 0);
    l.setLayerTilemap(1);
    l.SetPointer(-1, 0, 0, 0);
    EXPECT_EQ(l.getXPos(), 639);
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 0, 0), COLOURS[19 % 4]); // column 19, the last
    l.setLayerTilemap(2);
    l.SetPointer(-1, 0, 0, 0);
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 0, 0), COLOURS[9 % 4]); // 639 wrapped by 30
    l.setLayerDimensions(0, 10);                                     // unusable bounds are refused
    l.setLayerDimensions(100, 50);
    l.SetPointer(-1, -1, 0, 0);
    EXPECT_EQ(l.getXPos(), 99);
    EXPECT_EQ(l.getYPos(), 49);
    l.setLayerTilemap(3); // black edge, no wrap: the pointer stays where it was put
    l.SetPointer(-5, 0, 0, 0);
    EXPECT_EQ(l.getXPos(), -5);
    SDL_Surface* r = l.getRasterContext();
    EXPECT_EQ(pixelRGB(r, 5 * 32 - 1, 10), 0u);
    EXPECT_EQ(pixelRGB(r, 5 * 32, 10), RED);
    EXPECT_EQ(pixelRGB(r, 9 * 32, 10), 0u);
}

TEST_F(LayerTest, TilesArePaintedAtThePixelOffsetsAndOutsideCellsShowTheEdge) {
    makeMap(1, 4, 2, 3, [](int x, int y) { return (x + y) % 4; });
    KAV_Layer l(KAV_LAYER_TILEMAP, 640, 480, 0);
    l.setLayerTilemap(1);
    l.SetPointer(0, 0, -8, -5);
    SDL_Surface* r = l.getRasterContext();
    EXPECT_EQ(pixelRGB(r, 0, 0), RED); // cell (0, 0) starts at (-8, -5)
    EXPECT_EQ(pixelRGB(r, 23, 26), RED);
    EXPECT_EQ(pixelRGB(r, 24, 0), GREEN);  // cell (1, 0)
    EXPECT_EQ(pixelRGB(r, 23, 27), GREEN); // cell (0, 1)
    EXPECT_EQ(pixelRGB(r, 119, 0), YELLOW);
    EXPECT_EQ(pixelRGB(r, 120, 0), 0u); // column 4 is off the map: black edge
    EXPECT_EQ(pixelRGB(r, 0, 59), 0u);  // row 2 too
    EXPECT_EQ(pixelRGB(r, 639, 479), 0u);
    l.MovePointer(0, 0, 8, 0); // eight pixels to the left: no half tile any more
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 31, 0), RED);
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 32, 0), GREEN);
}

TEST_F(LayerTest, RasterIsACacheRepaintedAfterPointerOrEdgeChanges) {
    KAV_Tilemap* map = makeMap(1, 4, 2, 3, [](int x, int) { return x % 4; });
    KAV_Layer l(KAV_LAYER_TILEMAP, 640, 480, 0);
    l.setLayerTilemap(1);
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 0, 0), RED);
    SDL_FillRect(vondImageStore[0], nullptr, SDL_MapRGB(vondImageStore[0]->format, 0, 0, 255));
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 0, 0), RED); // not repainted: nothing changed
    l.MovePointer(0, 0, 0, 0);
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 0, 0), BLUE);
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 130, 0), 0u);
    map->setFlags(KAV_Tilemap::WRAP); // the edge mode shows at once
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 130, 0), BLUE);
}

TEST_F(LayerTest, TransparentTilemapLayerKeysOnItsTilesetColourWhenTheMapFollowsTheMode) {
    makeMap(1, 2, 1, 2, [](int x, int) { return x == 0 ? 1 : -1; }); // blank edge, one empty cell
    KAV_Layer l(KAV_LAYER_TILEMAP, 640, 480, 0);
    l.setLayerMode(KAV_LAYER_TILEMAP, KAV_Layer::TRANSPARENT);
    l.setLayerTilemap(1);
    SDL_Surface* s = overGrey(l);
    EXPECT_EQ(pixelRGB(s, 0, 0), GREEN);
    EXPECT_EQ(pixelRGB(s, 40, 0), GREY);    // empty cell: blank tile in the key colour
    EXPECT_EQ(pixelRGB(s, 200, 100), GREY); // off the map: blank
    SDL_FreeSurface(s);

    // Mode after tilemap: the key is white, so the magenta background shows.
    l.setLayerMode(KAV_LAYER_TILEMAP, KAV_Layer::TRANSPARENT);
    s = overGrey(l);
    EXPECT_EQ(pixelRGB(s, 40, 0), MAGENTA);
    SDL_FreeSurface(s);
}

TEST_F(LayerTest, TranslucentLayerBlendsHalfAndHalf) {
    makeMap(1, 1, 1, 0, [](int, int) { return 0; });
    KAV_Layer built(KAV_LAYER_TILEMAP, 640, 480, KAV_Layer::TRANSLUCENT);
    KAV_Layer set(KAV_LAYER_TILEMAP, 640, 480, 0);
    set.setLayerMode(KAV_LAYER_TILEMAP, KAV_Layer::TRANSLUCENT);
    for (KAV_Layer* l : {&built, &set}) {
        l->setLayerTilemap(1);
        SDL_Surface* s = overGrey(*l);
        EXPECT_EQ(pixelRGB(s, 0, 0), 0xB13232u);     // (255 + 100) / 2, (0 + 100) / 2
        EXPECT_EQ(pixelRGB(s, 100, 100), 0xB132B1u); // magenta background over grey
        SDL_FreeSurface(s);
    }
    set.setLayerMode(KAV_LAYER_TILEMAP, 0);
    SDL_Surface* s = overGrey(set);
    EXPECT_EQ(pixelRGB(s, 0, 0), RED);
    SDL_FreeSurface(s);
}

TEST_F(LayerTest, TransparentPictureLayerShowsThePictureAtItsScrollPosition) {
    SDL_Surface* pic = solidSurface(100, 50, 0, 0, 255);
    Uint32* pixels = static_cast<Uint32*>(pic->pixels);
    pixels[10 * pic->pitch / 4 + 10] = SPRITE_TRANS_COLOR;
    vondImageStore[5] = pic;
    KAV_Layer l(KAV_LAYER_PICTURE, 640, 480, 0);
    l.setLayerMode(KAV_LAYER_PICTURE, KAV_Layer::TRANSPARENT);
    l.setSurface(5);
    l.SetPointer(-1, 0, 0, -3); // picture at (32, -3)
    SDL_Surface* s = overGrey(l);
    EXPECT_EQ(pixelRGB(s, 31, 0), GREY);
    EXPECT_EQ(pixelRGB(s, 32, 0), BLUE);
    EXPECT_EQ(pixelRGB(s, 131, 46), BLUE);
    EXPECT_EQ(pixelRGB(s, 132, 0), GREY);
    EXPECT_EQ(pixelRGB(s, 32, 47), GREY);
    EXPECT_EQ(pixelRGB(s, 42, 7), GREY); // the picture's own transparent pixel
    SDL_FreeSurface(s);
}

TEST_F(LayerTest, EmptyTilemapNumberIsLoggedAndTheLayerThenDrawsNothing) {
    makeMap(1, 2, 2, 0, [](int, int) { return 2; });
    KAV_Layer l(KAV_LAYER_TILEMAP, 640, 480, 0);
    l.setLayerMode(KAV_LAYER_TILEMAP, KAV_Layer::TRANSPARENT);
    l.setLayerTilemap(1);
    SDL_Surface* s = overGrey(l);
    EXPECT_EQ(pixelRGB(s, 0, 0), BLUE);
    SDL_FreeSurface(s);
    l.setLayerTilemap(9);
    l.setLayerTilemap(-4);
    s = overGrey(l);
    EXPECT_EQ(pixelRGB(s, 0, 0), GREY);
    EXPECT_EQ(pixelRGB(s, 320, 240), GREY);
    SDL_FreeSurface(s);
    std::vector<std::string> log = logLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "ERROR: Asked to use NULL tilemap: 9");
    EXPECT_EQ(log[1], "ERROR: Asked to use NULL tilemap: -4");

    // A tilemap layer never given a map, and a mode that draws nothing, still give a raster.
    KAV_Layer fresh(KAV_LAYER_TILEMAP, 640, 480, 0);
    fresh.MovePointer(3, -2, 7, 7);
    EXPECT_EQ(pixelRGB(fresh.getRasterContext(), 5, 5), 0u);
    fresh.setLayerMode(static_cast<KAV_LAYER_MODE>(7), 0);
    KAV_LAYER_MODE mode;
    unsigned flags;
    fresh.getLayerMode(mode, flags);
    EXPECT_EQ(mode, 7u);
    EXPECT_NE(fresh.getRasterContext(), nullptr);
}

} // namespace
