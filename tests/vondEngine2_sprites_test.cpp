// Sprites and sprite layers: frame timing, bad frames, moves with carry and wrap, and whole
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
        gfx.addSprite(
            new KAV_Sprite(static_cast<unsigned char>(id), count, 0, frames(count, firstImage)));
    }
};

TEST_F(SpriteLayers, FramesStepEvery30MsLoopingOrHoldingTheLastWhenPlayedOnce) {
    KAV_Sprite loop(1, 4, 0, frames(4, 10)), once(2, 3, KAV_Sprite::PLAY_ONCE, frames(3, 10));
    const struct {
        unsigned ms;
        int loopFrame, onceFrame;
    } steps[] = {{25, 0, 0}, {10, 1, 1}, {95, 0, 2}, {19, 0, 2}, {1, 1, 2}, {4000000000u, -1, 2}};
    for (const auto& s : steps) {
        loop.Update(s.ms), once.Update(s.ms);
        EXPECT_TRUE(s.loopFrame < 0 || loop.getFrame() == s.loopFrame) << s.ms;
        EXPECT_EQ(once.getFrame(), s.onceFrame) << s.ms;
    }
    EXPECT_TRUE(loop.getFrame() >= 0 && loop.getFrame() < 4); // a huge delta neither overflows
    KAV_Sprite copy(loop);                                    // copies own their frames
    copy.getFrames()[0] = 99;
    EXPECT_EQ(loop.getFrames()[0], 10u);
}

// Pixel offsets carry into the tiles, once per move. (Wrapping is seen through the map
// flag functions in the script tests.)
TEST_F(SpriteLayers, MovesCarryPixelOffsetsIntoTiles) {
    addTemplate(20);
    const struct {
        int dx, dy, dxo, dyo, ex, ey, exo, eyo;
    } moves[] = {
        {0, 0, -10, 0, 3, 4, 32, 10}, // offset 0 is 32 of the tile before
        {0, 0, 22, 0, 4, 4, 32, 10},  // 32 stays on its own tile
        {2, -1, 23, 1, 7, 3, 1, 11},
        {-20, 0, -42, -11, -17, 3, 0, 31}, // one carry only, even for a step of more than a tile
    };
    for (const auto& m : moves) {
        int slot = gfx.placeSprite(20, 1, 4, 4, 10, 10), px, py, ox, oy;
        gfx.moveSprite(slot, 1, m.dx, m.dy, m.dxo, m.dyo);
        gfx.getSprite(static_cast<unsigned char>(slot), 1)->getPos(px, py);
        gfx.getSprite(static_cast<unsigned char>(slot), 1)->getOffset(ox, oy);
        EXPECT_EQ(std::vector<int>({px, py, ox, oy}), std::vector<int>({m.ex, m.ey, m.exo, m.eyo}))
            << "move " << slot;
    }
}

TEST_F(SpriteLayers, HigherSlotsDrawOverLowerAndSpritesKeepTheirCellWhileTheLayerScrolls) {
    makeMap(1, 30, 20, 0, [](int, int) { return 0; });   // all red
    KAV_StoreImage(100, solidSurface(8, 8, 0, 255, 0));  // green
    KAV_StoreImage(101, solidSurface(8, 8, 0, 0, 255));  // blue
    addTemplate(30, 1, 100);
    addTemplate(31, 1, 101);
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
