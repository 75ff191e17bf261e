// The window base (hit test, timed moves) and picture windows, drawn into
// real surfaces.
#include "vondWindow2.h"

#include "vondRun.h"
#include "vondTestPictures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The base class with a Draw that does nothing, to test what it implements itself.
struct BareWindow : vondWindow2 {
    using vondWindow2::vondWindow2;
    void DrawOn(SDL_Surface*) override {}
};

TEST(WindowHitTest, IncludesAllFourEdges) {
    BareWindow w(10, 20, 30, 40, 0, 1), point(5, 5, 0, 0, 0, 2);
    EXPECT_TRUE(w.isIn(10, 20) && w.isIn(40, 60) && point.isIn(5, 5));
    EXPECT_FALSE(w.isIn(41, 60) || w.isIn(40, 61) || w.isIn(9, 20) || point.isIn(6, 5));
}

TEST(WindowTimedMove, WholePixelStepsWithTheFractionDroppedAndTheJumpToTheEnd) {
    struct Step { int calls, ms, x, y; bool moving; };
    struct Case { int x0, y0, dx, dy, sx, sy; std::vector<Step> steps; };
    const Case cases[] = {
        {0, 0, 128, 32, 128, 32, {{1, 1000, 128, 32, false}}},
        // One pixel every eighth millisecond; exactly one pixel accumulated is no step yet.
        {0, 0, 128, 32, 128, 32, {{7, 1, 0, 0, true}, {1, 1, 1, 0, true}, {8 * 127, 1, 128, 32, false}}},
        {0, 0, 50, 0, 100, 0, {{1, 10, 0, 0, true}, {1, 10, 2, 0, true}}},
        {0, 0, 100, 0, 150, 0, {{10, 10, 10, 0, true}}}, // 1.5 a frame: half is dropped
        {200, 100, -128, -32, 128, 32, {{1, 500, 136, 84, true}, {1, 500, 72, 68, false}}},
        {0, 0, 10, 10, 100, 0, {{1, 1000, 10, 0, true}}}, // zero speed never finishes
        {0, 0, 10, 0, -100, 0, {{3, 30, -9, 0, true}, {1, 30, 10, 0, false}}}, // overshoot, jump
    };
    for (const Case& c : cases) {
        BareWindow w(c.x0, c.y0, 10, 10, 0, 0);
        w.TimedMoveBy(c.dx, c.dy, c.sx, c.sy);
        for (const Step& s : c.steps) {
            for (int i = 0; i < s.calls; ++i)
                w.Update(s.ms);
            EXPECT_EQ(w.getX(), s.x) << c.dx << "," << c.dy << " at " << c.sx << "," << c.sy;
            EXPECT_EQ(w.getY(), s.y) << c.dx << "," << c.dy << " at " << c.sx << "," << c.sy;
            EXPECT_EQ(w.isMoving(), s.moving) << c.dx << "," << c.dy << " at " << c.sx << "," << c.sy;
        }
    }
    BareWindow again(0, 0, 10, 10, 0, 0); // a new move starts from where the window is
    again.TimedMoveBy(100, 0, 100, 0);
    again.Update(500);
    again.TimedMoveBy(-50, 0, 100, 0);
    again.Update(1000);
    EXPECT_EQ(again.getX(), 0);
    EXPECT_FALSE(again.isMoving());
}

// 64 x 48: magenta top-left quarter, green elsewhere, one blue pixel at (63, 47).
SDL_Surface* testPicture() {
    SDL_Surface* s = solidSurface(64, 48, 0, 200, 0);
    SDL_Rect quarter = newRect(0, 0, 32, 24), corner = newRect(63, 47, 1, 1);
    SDL_FillRect(s, &quarter, SDL_MapRGB(s->format, 255, 0, 255));
    SDL_FillRect(s, &corner, SDL_MapRGB(s->format, 0, 0, 255));
    return s;
}

TEST(PictureWindow, DrawsAtItsOwnSizeAndTheKeyFlagLeavesTheStoreImageUntouched) {
    StoredImage image(40, testPicture());
    GameDir dir;
    saveBMP(vondImageStore[40], dir.file("pic.bmp"));
    vondImageWin plain(100, 50, 0, 2, 40), keyed(0, 0, 16, 2, 40), cleared(0, 100, 0, 2, 40);
    vondImageWin fromFile(0, 200, 16, 3, dir.file("pic.bmp").c_str()), hidden(300, 0, 0, 2, 40);
    cleared.setFlags(16);
    cleared.setFlags(0); // the key stays
    hidden.ToggleHidden();
    SDL_Surface* screen = solidSurface(640, 480, 0x40, 0x40, 0x40);
    for (vondImageWin* w : {&plain, &keyed, &cleared, &fromFile, &hidden})
        w->DrawOn(screen);
    EXPECT_EQ(vondImageStore[40]->flags & SDL_SRCCOLORKEY, 0u);
    EXPECT_EQ(pixelRGB(screen, 100, 50), 0xFF00FFu);
    EXPECT_EQ(pixelRGB(screen, 163, 97), 0x0000FFu);
    EXPECT_EQ(pixelRGB(screen, 164, 97), 0x404040u);
    EXPECT_EQ(pixelRGB(screen, 163, 98), 0x404040u);
    EXPECT_TRUE(plain.isIn(100, 50));
    EXPECT_FALSE(plain.isIn(101, 51)) << "only the corner point is hit";
    for (int y : {0, 100, 200}) {
        EXPECT_EQ(pixelRGB(screen, 5, y + 5), 0x404040u) << y;
        EXPECT_EQ(pixelRGB(screen, 40, y + 5), 0x00C800u) << y;
    }
    EXPECT_EQ(pixelRGB(screen, 340, 40), 0x404040u) << "hidden";
    SDL_FreeSurface(screen);
}

TEST(PictureWindow, MissingImageIsLoggedHiddenAndNeverDrawn) {
    LogCapture log;
    vondImageWin w(0, 0, 0, 2, 40), outside(0, 0, 0, 2, 70000);
    EXPECT_EQ(log.text(), "Asked to use nonexistant picture: 40\n"
                          "Asked to use nonexistant picture: 70000\n");
    vondImageWin noFile(0, 0, 16, 3, "/nonexistent.bmp");
    EXPECT_TRUE(w.isHidden());
    w.ToggleHidden();
    SDL_Surface* screen = solidSurface(64, 64, 0x40, 0x40, 0x40);
    w.DrawOn(screen);
    noFile.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 0, 0), 0x404040u);
    EXPECT_EQ(w.getPicture(), nullptr);
    EXPECT_EQ(noFile.getPicture(), nullptr);
    SDL_FreeSurface(screen);
}

} // namespace
