// Sprites and sprite layers: frame timing, moves with carry, and which sprites
// are animated. (How sprite layers are drawn over tile layers is checked
// against a reference composition in frame_identity_test.cpp.)
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

TEST_F(SpriteLayers, OnlySpritesOnShownLayersAreAnimated) {
    addTemplate(40, 2, 100);
    gfx.placeSprite(40, 3, 0, 0, 0, 0);
    gfx.Update(30);
    EXPECT_EQ(gfx.getSprite(0, 3)->getFrame(), 0);
    gfx.toggleSLayer(7, true); // 7 addresses sprite layer 3, as 5 does 1
    gfx.Update(30);
    EXPECT_EQ(gfx.getSprite(0, 3)->getFrame(), 1);
}

} // namespace
