// Tile layers drawn into real surfaces: pointer normalising, scroll offsets,
// wrap and edges, the raster cache, colour keys and translucency.
#include "KAV_Layer.h"
#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondSceneFixture.h"
#include "vondStores.h"

namespace {

constexpr Uint32 RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF, GREY = 0x646464;

// The pixel at (x, y) of the layer's raster blitted over grey, as onto the screen.
Uint32 overGrey(KAV_Layer& layer, int x, int y) {
    Surface s = owned(solidSurface(640, 480, 100, 100, 100));
    SDL_BlitSurface(layer.getRasterContext(), nullptr, s.get(), nullptr);
    return pixelRGB(s, x, y);
}

using LayerTest = SceneTest;

TEST_F(LayerTest, TilesArePaintedAtTheScrollOffsetsFromACacheAndThePointerAndMapWrap) {
    makeMap(1, 4, 2, 3, [](int x, int y) { return (x + y) % 4; }); // black edge
    makeMap(2, 30, 2, 1, [](int x, int) { return x % 4; });        // wraps
    KAV_Layer l(KAV_LAYER_TILEMAP, 640, 480, 0);
    l.setLayerTilemap(1);
    l.SetPointer(0, 0, -8, -5); // cell (0, 0) starts at (-8, -5)
    const struct {
        int x, y;
        Uint32 rgb;
    } shown[] = {
        {0, 0, RED},        {23, 26, RED}, {24, 0, GREEN}, {23, 27, GREEN}, // cells (1, 0), (0, 1)
        {119, 0, 0xFFFF00}, {120, 0, 0},   {0, 59, 0},     {639, 479, 0},   // off the map: black
    };
    for (const auto& p : shown)
        EXPECT_EQ(pixelRGB(l.getRasterContext(), p.x, p.y), p.rgb) << p.x << "," << p.y;
    l.SetPointer(-5, 0, 0, 0); // no wrap: the pointer stays where it was put
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 5 * 32 - 1, 10), 0u);
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 5 * 32, 10), RED);
    // The raster is a cache: a changed tile image shows only once something
    // repaints it, such as a new edge mode.
    SDL_Surface* tile0 = maps[0]->GetTile(0, 0).image.get();
    SDL_FillRect(tile0, nullptr, SDL_MapRGB(tile0->format, 0, 0, 255));
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 5 * 32, 10), RED);
    maps[0]->setFlags(KAV_Tilemap::WRAP);
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 5 * 32, 10), BLUE);
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 0, 10), 0xFFFF00u); // cell (-5, 0) wraps to (3, 0)
    l.setLayerTilemap(2);
    l.SetPointer(-1, 0, 0, 0); // the layer is 640 tiles wide: 639, then the map wraps by 30
    EXPECT_EQ(l.getXPos(), 639);
    EXPECT_EQ(pixelRGB(l.getRasterContext(), 0, 0), SCENE_COLOURS[9 % 4]);
    l.setLayerDimensions(0, 10); // unusable bounds are refused
    l.setLayerDimensions(100, 50);
    l.SetPointer(-1, -1, 0, 0);
    EXPECT_EQ(l.getXPos() * 100 + l.getYPos(), 99 * 100 + 49);
    KAV_Layer fresh(KAV_LAYER_TILEMAP, 640, 480, 0); // never given a map: a black raster
    fresh.MovePointer(3, -2, 7, 7);
    EXPECT_EQ(pixelRGB(fresh.getRasterContext(), 5, 5), 0u);
}

// A transparent tilemap layer keys on its tileset's colour when the map came
// after the mode (else on white); a translucent one blends half and half.
TEST_F(LayerTest, TransparentLayersKeyAndTranslucentLayersBlendHalfAndHalf) {
    makeMap(1, 2, 1, 2, [](int x, int) { return x == 0 ? 1 : -1; }); // blank edge, empty cell
    KAV_Layer keyed(KAV_LAYER_TILEMAP, 640, 480, 0), half(KAV_LAYER_TILEMAP, 640, 480, 0);
    keyed.setLayerMode(KAV_LAYER_TILEMAP, KAV_Layer::TRANSPARENT);
    keyed.setLayerTilemap(1);
    half.setLayerMode(KAV_LAYER_TILEMAP, KAV_Layer::TRANSLUCENT);
    half.setLayerTilemap(1);
    EXPECT_EQ(overGrey(keyed, 0, 0), GREEN);
    EXPECT_EQ(overGrey(keyed, 40, 0), GREY);        // empty cell: blank tile in the key colour
    EXPECT_EQ(overGrey(keyed, 200, 100), GREY);     // off the map: blank
    EXPECT_EQ(overGrey(half, 0, 0), 0x32B132u);     // (0 + 100) / 2, (255 + 100) / 2
    EXPECT_EQ(overGrey(half, 100, 100), 0xB132B1u); // magenta over grey
    keyed.setLayerMode(KAV_LAYER_TILEMAP, KAV_Layer::TRANSPARENT);
    EXPECT_EQ(overGrey(keyed, 40, 0), 0xFF00FFu);

    SDL_Surface* pic = solidSurface(100, 50, 0, 0, 255);
    static_cast<Uint32*>(pic->pixels)[10 * pic->pitch / 4 + 10] = SPRITE_TRANS_COLOR;
    KAV_StoreImage(5, pic);
    KAV_Layer p(KAV_LAYER_PICTURE, 640, 480, KAV_Layer::TRANSPARENT);
    p.setSurface(5);
    p.SetPointer(-1, 0, 0, -3); // picture at (32, -3)
    const struct {
        int x, y;
        Uint32 rgb;
    } shown[] = {{31, 0, GREY},  {32, 0, BLUE},  {131, 46, BLUE},
                 {132, 0, GREY}, {32, 47, GREY}, {42, 7, GREY}};
    for (const auto& s : shown)
        EXPECT_EQ(overGrey(p, s.x, s.y), s.rgb) << s.x << "," << s.y;
}

} // namespace
