// The window base (hit test, moves, timed moves) and picture windows, drawn
// into real surfaces.
#include "vondWindow2.h"

#include "vondRun.h"
#include "vondTestPictures.h"

#include <gtest/gtest.h>

namespace {

// The base class with a Draw that does nothing, to test what it implements itself.
class BareWindow : public vondWindow2 {
  public:
    using vondWindow2::vondWindow2;
    void DrawOn(SDL_Surface*) override {}
};

TEST(WindowHitTest, IncludesAllFourEdges) {
    BareWindow w(10, 20, 30, 40, 0, 1);
    EXPECT_TRUE(w.isIn(10, 20));
    EXPECT_TRUE(w.isIn(40, 60));
    EXPECT_FALSE(w.isIn(41, 60));
    EXPECT_FALSE(w.isIn(40, 61));
    EXPECT_FALSE(w.isIn(9, 20));
    BareWindow point(5, 5, 0, 0, 0, 2);
    EXPECT_TRUE(point.isIn(5, 5));
    EXPECT_FALSE(point.isIn(6, 5));
}

TEST(WindowTimedMove, OneSecondAtFullSpeedArrivesExactlyAndStops) {
    LogCapture log;
    BareWindow w(0, 0, 10, 10, 0, 4);
    w.TimedMoveBy(128, 32, 128, 32);
    EXPECT_EQ(log.text(), "Timed move called on window: 4 to: 128,32\n");
    EXPECT_TRUE(w.isMoving());
    w.Update(1000);
    EXPECT_EQ(w.getX(), 128);
    EXPECT_EQ(w.getY(), 32);
    EXPECT_FALSE(w.isMoving());
}

TEST(WindowTimedMove, OneMillisecondStepsMoveOnePixelEveryEighthCall) {
    BareWindow w(0, 0, 10, 10, 0, 0);
    w.TimedMoveBy(128, 32, 128, 32);
    for (int i = 0; i < 7; ++i)
        w.Update(1);
    EXPECT_EQ(w.getX(), 0);
    w.Update(1);
    EXPECT_EQ(w.getX(), 1);
    for (int i = 0; i < 8 * 127; ++i)
        w.Update(1);
    EXPECT_EQ(w.getX(), 128);
    EXPECT_EQ(w.getY(), 32);
    EXPECT_FALSE(w.isMoving());
}

TEST(WindowTimedMove, ExactlyOnePixelAccumulatedIsNoStepAndTheFractionIsDropped) {
    BareWindow w(0, 0, 10, 10, 0, 0);
    w.TimedMoveBy(50, 0, 100, 0);
    w.Update(10);
    EXPECT_EQ(w.getX(), 0);
    w.Update(10);
    EXPECT_EQ(w.getX(), 2);
    // 150 px/s in 10 ms frames: 1.5 accumulated, one pixel taken, half dropped.
    BareWindow slow(0, 0, 10, 10, 0, 0);
    slow.TimedMoveBy(100, 0, 150, 0);
    for (int i = 0; i < 10; ++i)
        slow.Update(10);
    EXPECT_EQ(slow.getX(), 10);
}

TEST(WindowTimedMove, NegativeDistancesTurnTheSpeedsAround) {
    BareWindow w(200, 100, 10, 10, 0, 0);
    w.TimedMoveBy(-128, -32, 128, 32);
    w.Update(500);
    EXPECT_EQ(w.getX(), 136);
    EXPECT_EQ(w.getY(), 84);
    w.Update(500);
    EXPECT_EQ(w.getX(), 72);
    EXPECT_EQ(w.getY(), 68);
    EXPECT_FALSE(w.isMoving());
}

TEST(WindowTimedMove, ZeroSpeedNeverFinishesAndNegativeSpeedOvershootsThenJumps) {
    BareWindow stuck(0, 0, 10, 10, 0, 0);
    stuck.TimedMoveBy(10, 10, 100, 0);
    stuck.Update(1000);
    EXPECT_EQ(stuck.getX(), 10);
    EXPECT_EQ(stuck.getY(), 0);
    EXPECT_TRUE(stuck.isMoving());

    BareWindow away(0, 0, 10, 10, 0, 0);
    away.TimedMoveBy(10, 0, -100, 0);
    for (int i = 0; i < 3; ++i)
        away.Update(30);
    EXPECT_EQ(away.getX(), -9);
    away.Update(30);
    EXPECT_EQ(away.getX(), 10);
    EXPECT_FALSE(away.isMoving());
}

TEST(WindowTimedMove, ANewMoveStartsFromTheCurrentPosition) {
    BareWindow w(0, 0, 10, 10, 0, 0);
    w.TimedMoveBy(100, 0, 100, 0);
    w.Update(500);
    EXPECT_EQ(w.getX(), 50);
    w.TimedMoveBy(-50, 0, 100, 0);
    w.Update(1000);
    EXPECT_EQ(w.getX(), 0);
    EXPECT_FALSE(w.isMoving());
}

// Picture windows ------------------------------------------------------------

constexpr int IMAGE = 40;

// 64 x 48: magenta top-left quarter, green elsewhere, one blue pixel at (63, 47).
SDL_Surface* testPicture() {
    SDL_Surface* s = solidSurface(64, 48, 0, 200, 0);
    SDL_Rect quarter = newRect(0, 0, 32, 24);
    SDL_FillRect(s, &quarter, SDL_MapRGB(s->format, 255, 0, 255));
    SDL_Rect corner = newRect(63, 47, 1, 1);
    SDL_FillRect(s, &corner, SDL_MapRGB(s->format, 0, 0, 255));
    return s;
}

SDL_Surface* greyScreen() {
    return solidSurface(640, 480, 0x40, 0x40, 0x40);
}

TEST(PictureWindow, DrawsItsPictureAtItsOwnSizeAndHitsOnlyItsCorner) {
    StoredImage image(IMAGE, testPicture());
    vondImageWin w(100, 50, 0, 2, IMAGE);
    SDL_Surface* screen = greyScreen();
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 100, 50), 0xFF00FFu);
    EXPECT_EQ(pixelRGB(screen, 140, 80), 0x00C800u);
    EXPECT_EQ(pixelRGB(screen, 163, 97), 0x0000FFu);
    EXPECT_EQ(pixelRGB(screen, 164, 97), 0x404040u);
    EXPECT_EQ(pixelRGB(screen, 163, 98), 0x404040u);
    EXPECT_TRUE(w.isIn(100, 50));
    EXPECT_FALSE(w.isIn(101, 51));
    EXPECT_EQ(w.getWinType() == vondWindow2::RADIO_WINDOW, false);
    SDL_FreeSurface(screen);
}

TEST(PictureWindow, KeyFlagMakesTheTopLeftColourTransparentAndStaysWhenCleared) {
    StoredImage image(IMAGE, testPicture());
    vondImageWin w(0, 0, 0, 2, IMAGE);
    w.setFlags(16);
    w.setFlags(0);
    SDL_Surface* screen = greyScreen();
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 5, 5), 0x404040u);
    EXPECT_EQ(pixelRGB(screen, 40, 5), 0x00C800u);
    EXPECT_EQ(w.getFlags(), 0u);
    SDL_FreeSurface(screen);
}

TEST(PictureWindow, KeyFromTheConstructorLeavesTheStoreImageUntouched) {
    StoredImage image(IMAGE, testPicture());
    vondImageWin keyed(0, 0, 16, 2, IMAGE);
    EXPECT_EQ(vondImageStore[IMAGE]->flags & SDL_SRCCOLORKEY, 0u);
    SDL_Surface* screen = greyScreen();
    keyed.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 5, 5), 0x404040u);
    EXPECT_EQ(pixelRGB(screen, 40, 5), 0x00C800u);
    SDL_FreeSurface(screen);
}

TEST(PictureWindow, HiddenWindowDrawsNothing) {
    StoredImage image(IMAGE, testPicture());
    vondImageWin w(0, 0, 0, 2, IMAGE);
    w.ToggleHidden();
    SDL_Surface* screen = greyScreen();
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 40, 40), 0x404040u);
    SDL_FreeSurface(screen);
}

TEST(PictureWindow, MissingImageIsLoggedHiddenAndNeverDrawn) {
    LogCapture log;
    vondImageWin w(0, 0, 0, 2, IMAGE);
    vondImageWin outside(0, 0, 0, 2, 70000);
    EXPECT_EQ(log.text(), "Asked to use nonexistant picture: 40\n"
                          "Asked to use nonexistant picture: 70000\n");
    EXPECT_TRUE(w.isHidden());
    w.ToggleHidden();
    SDL_Surface* screen = greyScreen();
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 0, 0), 0x404040u);
    EXPECT_EQ(w.getPicture(), nullptr);
    SDL_FreeSurface(screen);
}

TEST(PictureWindow, BuiltFromAFileWithTheKeyFlag) {
    GameDir dir;
    SDL_Surface* p = testPicture();
    saveBMP(p, dir.file("pic.bmp"));
    SDL_FreeSurface(p);
    vondImageWin w(10, 10, 16, 3, dir.file("pic.bmp").c_str());
    vondImageWin missing(10, 10, 16, 3, dir.file("none.bmp").c_str());
    SDL_Surface* screen = greyScreen();
    w.DrawOn(screen);
    missing.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 15, 15), 0x404040u);
    EXPECT_EQ(pixelRGB(screen, 50, 15), 0x00C800u);
    EXPECT_EQ(missing.getPicture(), nullptr);
    SDL_FreeSurface(screen);
}

TEST(PictureWindowDeath, SettingFlagsWithoutAPictureEndsTheProgram) {
    EXPECT_EXIT(
        {
            vondImageWin w(0, 0, 0, 2, IMAGE);
            w.setFlags(0);
        },
        ::testing::ExitedWithCode(1), "");
}

} // namespace
