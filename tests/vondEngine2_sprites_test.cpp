// Sprites and sprite layers: frame timing, moves with carry and wrap, and whole
// frames composed from tile layers and sprite layers.
#include "KAV_Sprite.h"
#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondSceneFixture.h"
#include "vondStores.h"

namespace {

unsigned* frames(int count, unsigned first) {
    auto* f = new unsigned[count];
    for (int i = 0; i < count; ++i)
        f[i] = first + i;
    return f;
}

class SpriteLayers : public SceneTest {
  protected:
    void SetUp() override { SceneTest::SetUp(), gfx.DestroyAll(); }
    void TearDown() override { gfx.DestroyAll(), SceneTest::TearDown(); }
    void addTemplate(int id, int count = 1, unsigned firstImage = 100) {
        gfx.addSprite(new KAV_Sprite(static_cast<unsigned char>(id), count, 0,
                                     frames(count, firstImage)));
    }
};

TEST_F(SpriteLayers, FramesStepEvery30MsLoopingOrHoldingTheLastWhenPlayedOnce) {
    KAV_Sprite loop(1, 4, 0, frames(4, 10)), once(2, 3, KAV_Sprite::PLAY_ONCE, frames(3, 10));
    const struct { unsigned ms; int loopFrame, onceFrame; } steps[] = {
        {25, 0, 0}, {10, 1, 1}, {95, 0, 2}, {19, 0, 2}, {1, 1, 2}, {4000000000u, -1, 2}};
    for (const auto& s : steps) {
        loop.Update(s.ms), once.Update(s.ms);
        if (s.loopFrame >= 0) EXPECT_EQ(loop.getFrame(), s.loopFrame) << s.ms;
        EXPECT_EQ(once.getFrame(), s.onceFrame) << s.ms;
    }
    EXPECT_TRUE(loop.getFrame() >= 0 && loop.getFrame() < 4); // a huge delta neither overflows
    KAV_Sprite copy(loop); // copies own their frames
    copy.getFrames()[0] = 99;
    EXPECT_EQ(loop.getFrames()[0], 10u);
}

TEST_F(SpriteLayers, SetTransKeysOutTheColourAndHalvesTheFrame) {
    SDL_Surface* frame = solidSurface(4, 1, 200, 0, 0);
    static_cast<Uint32*>(frame->pixels)[1] = SDL_MapRGB(frame->format, 1, 2, 3);
    vondImageStore[10] = frame;
    KAV_Sprite s(1, 1, 0, frames(1, 10));
    s.setPos(0, 0, 0, 0);
    s.setTrans(true, 1, 2, 3);
    SDL_Surface* target = solidSurface(4, 1, 100, 100, 100);
    s.Draw(0, 0, 0, 0, target);
    EXPECT_EQ(pixelRGB(target, 0, 0), 0x963232u); // (200 + 100) / 2, (0 + 100) / 2
    EXPECT_EQ(pixelRGB(target, 1, 0), 0x646464u); // keyed out
    s.setTrans(false, 1, 2, 3);
    s.Draw(0, 0, 0, 0, target);
    EXPECT_EQ(pixelRGB(target, 1, 0), 0x010203u);
    SDL_FreeSurface(target);
    KAV_Sprite(3, 0, 0, nullptr).Draw(0, 0, 0, 0, target = solidSurface(4, 4, 0, 0, 0));
    KAV_Sprite(4, 1, 0, frames(1, 70000)).Draw(0, 0, 0, 0, target); // beyond the image store
    EXPECT_EQ(pixelRGB(target, 0, 0), 0u);
    SDL_FreeSurface(target);
}

// Pixel offsets carry into tiles once; only a wrapping map on a tilemap layer wraps.
TEST_F(SpriteLayers, MovesCarryPixelOffsetsAndWrapOnlyOnWrappingTilemapLayers) {
    addTemplate(20);
    makeMap(1, 20, 15, 1, [](int, int) { return 0; });
    const struct { bool tilemap; int x, y, xo, yo, dx, dy, dxo, dyo, ex, ey, exo, eyo; } moves[] = {
        {false, 4, 4, 10, 10, 0, 0, -10, 0, 3, 4, 32, 10}, // offset 0 is 32 of the tile before
        {false, 4, 4, 10, 10, 0, 0, 22, 0, 4, 4, 32, 10},  // 32 stays on its own tile
        {false, 4, 4, 10, 10, 2, -1, 23, 1, 7, 3, 1, 11},
        {false, 4, 4, 10, 10, -20, 0, 0, 0, -16, 4, 10, 10}, // picture mode: no wrap
        {true, 19, 0, 8, 8, 1, 0, 0, -10, 0, 14, 8, 30},
        {true, 19, 0, 8, 8, -41, 0, 0, 0, 18, 0, 8, 8},
    };
    for (const auto& m : moves) {
        gfx.setLayerProperty(0, m.tilemap ? KAV_LAYER_TILEMAP : KAV_LAYER_PICTURE, 0);
        if (m.tilemap) gfx.SetTileMap(0, 1);
        int slot = gfx.placeSprite(20, 1, m.x, m.y, m.xo, m.yo);
        gfx.moveSprite(slot, 1, m.dx, m.dy, m.dxo, m.dyo);
        int px, py, ox, oy;
        gfx.getSprite(static_cast<unsigned char>(slot), 1)->getPos(px, py);
        gfx.getSprite(static_cast<unsigned char>(slot), 1)->getOffset(ox, oy);
        EXPECT_EQ(std::vector<int>({px, py, ox, oy}), std::vector<int>({m.ex, m.ey, m.exo, m.eyo}))
            << "move " << slot;
    }
    KAV_TilemapStore[1]->setFlags(KAV_Tilemap::BLACK_EDGE); // no wrap any more
    gfx.moveSprite(5, 1, 5, 0, 0, 0);
    int px, py;
    gfx.getSprite(5, 1)->getPos(px, py);
    EXPECT_EQ(px, 23);
}

TEST_F(SpriteLayers, FrameStacksLayersInOrderAndSpritesKeepTheirCellWhileTheLayerScrolls) {
    makeMap(1, 30, 20, 0, [](int, int) { return 0; });       // all red
    vondImageStore[100] = solidSurface(8, 8, 0, 255, 0);     // green
    vondImageStore[101] = solidSurface(8, 8, 0, 0, 255);     // blue
    vondImageStore[102] = solidSurface(16, 16, 255, 255, 0); // yellow picture
    vondImageStore[103] = solidSurface(4, 4, 255, 255, 255); // white
    for (int t = 0; t < 3; ++t)
        addTemplate(30 + t, 1, t == 2 ? 103 : 100 + t);
    gfx.setLayerProperty(0, KAV_LAYER_TILEMAP, 0);
    gfx.SetTileMap(0, 1);
    gfx.toggleLayer(0, true);
    gfx.toggleSLayer(1, true);
    EXPECT_EQ(gfx.placeSprite(30, 1, 3, 2, 0, 0), 0);
    EXPECT_EQ(gfx.placeSprite(31, 1, 3, 2, 4, 0), 1);
    SDL_Surface* frame = solidSurface(640, 480, 9, 9, 9);
    auto expectFrame = [&](std::vector<std::pair<int, Uint32>> atRow64, const char* what) {
        gfx.Compose(frame);
        for (auto& p : atRow64)
            EXPECT_EQ(pixelRGB(frame, p.first, 64), p.second) << what << " x=" << p.first;
    };
    // The higher slot is drawn over the lower.
    expectFrame({{95, 0xFF0000}, {96, 0x00FF00}, {100, 0x0000FF}, {107, 0x0000FF}}, "slots");
    // Tile layer 1 covers sprite layer 1; sprite layer 2 lies above it, in its coordinates.
    gfx.setLayerProperty(1, KAV_LAYER_PICTURE, 1);
    gfx.LoadBGLayer(1, 102);
    gfx.SetLPointer(1, -3, -2, 0, 0); // picture at (96, 64)
    gfx.toggleLayer(1, true);
    gfx.toggleSLayer(2, true);
    EXPECT_EQ(gfx.placeSprite(32, 2, 0, 0, 14, 0), 0);
    expectFrame({{100, 0xFFFF00}, {112, 0xFF0000}, {96 + 14, 0xFFFFFF}}, "layers");
    gfx.toggleLayer(1, false);
    gfx.toggleSLayer(2, false);
    // Scrolling tile layer 0 by one tile and eight pixels carries its sprites along.
    gfx.SetLPointer(0, 1, 0, -8, 0);
    expectFrame({{55, 0xFF0000}, {56, 0x00FF00}, {60, 0x0000FF}, {96, 0xFF0000}}, "scrolled");
    gfx.toggleSLayer(1); // hidden sprite layer: not drawn
    expectFrame({{60, 0xFF0000}}, "sprites hidden");
    gfx.toggleSLayer(5); // 5 addresses sprite layer 1 again, and 4 tile layer 0
    gfx.toggleLayer(4);
    expectFrame({{60, 0x0000FF}, {20, 0}}, "tiles hidden");
    SDL_FreeSurface(frame);
}

TEST_F(SpriteLayers, OnlySpritesOnShownLayersAreAnimated) {
    addTemplate(40, 2, 100);
    gfx.placeSprite(40, 3, 0, 0, 0, 0);
    gfx.Update(30);
    EXPECT_EQ(gfx.getSprite(0, 3)->getFrame(), 0);
    gfx.toggleSLayer(3, true);
    gfx.Update(30);
    EXPECT_EQ(gfx.getSprite(0, 3)->getFrame(), 1);
}

} // namespace
