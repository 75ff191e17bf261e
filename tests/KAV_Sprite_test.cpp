// Sprites: frame timing, play-once and loop, drawing position, visibility
// test, copies and the frame transparency switch.
#include "KAV_Sprite.h"
#include "vondGlobals.h"
#include "vondSceneFixture.h"
#include "vondStores.h"

namespace {

class SpriteTest : public SceneTest {
  protected:
    KAV_Sprite make(int id, int count, unsigned flags, unsigned firstImage = 10) {
        auto* frames = new unsigned[count > 0 ? count : 1];
        for (int i = 0; i < count; ++i)
            frames[i] = firstImage + i;
        return KAV_Sprite(static_cast<unsigned char>(id), count, flags, frames);
    }
};

TEST_F(SpriteTest, LoopingSpriteStepsEvery30MsAndRestartsAtTheFirstFrame) {
    KAV_Sprite s = make(1, 4, 0);
    s.Update(25);
    EXPECT_EQ(s.getFrame(), 0);
    EXPECT_EQ(s.getElapsed(), 25u);
    s.Update(10);
    EXPECT_EQ(s.getFrame(), 1);
    EXPECT_EQ(s.getElapsed(), 5u);
    s.Update(95); // frame 4 is passed: back to 0
    EXPECT_EQ(s.getFrame(), 0);
    EXPECT_EQ(s.getElapsed(), 10u);
    s.Update(19);
    EXPECT_EQ(s.getFrame(), 0); // 29 gathered: no step
    s.Update(1);
    EXPECT_EQ(s.getFrame(), 1); // exactly 30
    s.Update(4000000000u);      // a huge first-frame delta neither overflows nor loops long
    EXPECT_GE(s.getFrame(), 0);
    EXPECT_LT(s.getFrame(), 4);

    KAV_Sprite one = make(2, 1, 0);
    one.Update(70);
    EXPECT_EQ(one.getFrame(), 0);
}

TEST_F(SpriteTest, PlayOnceSpriteHoldsItsLastFrameAndStopsGatheringTime) {
    KAV_Sprite s = make(1, 3, KAV_Sprite::PLAY_ONCE);
    s.Update(100);
    EXPECT_EQ(s.getFrame(), 2);
    unsigned elapsed = s.getElapsed();
    s.Update(500);
    EXPECT_EQ(s.getFrame(), 2);
    EXPECT_EQ(s.getElapsed(), elapsed);
    KAV_Sprite one = make(2, 1, KAV_Sprite::PLAY_ONCE);
    one.Update(1000);
    EXPECT_EQ(one.getFrame(), 0);
}

TEST_F(SpriteTest, ConstructorsLogAndCopiesOwnTheirFrames) {
    KAV_Sprite s = make(7, 3, 1);
    KAV_Sprite copy(s);
    copy.getFrames()[0] = 99;
    EXPECT_EQ(s.getFrames()[0], 10u);
    EXPECT_EQ(copy.getFrames()[1], 11u);
    EXPECT_EQ(copy.getFrameCount(), 3);
    std::vector<std::string> l = logLines();
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0], "New Sprite ID: 7 with flags: 1");
    EXPECT_EQ(l[1], "Sprite: 7 flags: 1");
}

TEST_F(SpriteTest, DrawsTheCurrentFrameAtItsCellInTheLayersScrollPosition) {
    vondImageStore[10] = solidSurface(8, 8, 255, 0, 0);
    vondImageStore[11] = solidSurface(8, 8, 0, 255, 0);
    KAV_Sprite s = make(1, 2, 0);
    s.setPos(5, 3, 4, 0);
    SDL_Surface* target = solidSurface(640, 480, 0, 0, 0);
    s.Draw(2, 1, -10, 0, target); // (32 * 3 - 10 + 4, 32 * 2) = (90, 64)
    EXPECT_EQ(pixelRGB(target, 89, 64), 0u);
    EXPECT_EQ(pixelRGB(target, 90, 64), 0xFF0000u);
    EXPECT_EQ(pixelRGB(target, 97, 71), 0xFF0000u);
    EXPECT_EQ(pixelRGB(target, 90, 63), 0u);
    s.Update(30);
    s.Draw(2, 1, -10, 0, target);
    EXPECT_EQ(pixelRGB(target, 90, 64), 0x00FF00u);
    SDL_FreeSurface(target);

    s.setPos(20, 0, 0, 0);
    EXPECT_FALSE(s.onScreen(0, 0, 20, 15));
    s.setPos(19, 14, 0, 0);
    EXPECT_TRUE(s.onScreen(0, 0, 20, 15));
    s.setPos(-1, 0, 0, 0);
    EXPECT_FALSE(s.onScreen(0, 0, 20, 15));
}

TEST_F(SpriteTest, SpritesWithoutFramesOrImagesDrawNothingAndNeverFail) {
    KAV_Sprite none(3, 0, 0, nullptr);
    none.Update(100);
    KAV_Sprite outside = make(4, 1, 0, 70000); // frame beyond the image store
    SDL_Surface* target = solidSurface(64, 64, 0, 0, 0);
    none.Draw(0, 0, 0, 0, target);
    outside.Draw(0, 0, 0, 0, target);
    outside.setTrans(true, 1, 2, 3);
    EXPECT_EQ(pixelRGB(target, 0, 0), 0u);
    KAV_Sprite copy(none);
    EXPECT_EQ(copy.getFrameCount(), 0);
    SDL_FreeSurface(target);
}

TEST_F(SpriteTest, SetTransKeysOutTheColourAndHalvesEveryFrame) {
    SDL_Surface* frame = solidSurface(4, 1, 200, 0, 0);
    Uint32* px = static_cast<Uint32*>(frame->pixels);
    px[1] = SDL_MapRGB(frame->format, 1, 2, 3);
    vondImageStore[10] = frame;
    KAV_Sprite s = make(1, 1, 0);
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
}

} // namespace
