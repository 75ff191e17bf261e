// The window base (hit test, timed moves) and picture windows, drawn into
// real surfaces.
#include "vondWindow2.h"

#include "vondRun.h"
#include "vondTestPictures.h"

#include <memory>
#include <tuple>

namespace {

// The base class with a Draw that does nothing, to test what it implements itself.
struct BareWindow : vondWindow2 {
    using vondWindow2::vondWindow2;
    void DrawOn(SDL_Surface*) override {}
};

TEST(WindowTimedMove, WholePixelStepsWithTheFractionDroppedAndTheJumpToTheEnd) {
    // A row with x0 >= 0 starts a new window there; a row with a distance starts a move;
    // then `calls` updates of `ms` each, and the position and moving state expected after.
    const int rows[][11] = {
        // x0, y0,  dx,  dy,  sx, sy, calls, ms,   x,  y, moving
        {0, 0, 128, 32, 128, 32, 1, 1000, 128, 32, 0},
        {0, 0, 128, 32, 128, 32, 7, 1, 0, 0, 1}, // a pixel every 8 ms: one accumulated is no step
        {-1, 0, 0, 0, 0, 0, 1, 1, 1, 0, 1},
        {-1, 0, 0, 0, 0, 0, 8 * 127, 1, 128, 32, 0},
        {0, 0, 50, 0, 100, 0, 1, 10, 0, 0, 1},
        {-1, 0, 0, 0, 0, 0, 1, 10, 2, 0, 1},
        {0, 0, 100, 0, 150, 0, 10, 10, 10, 0, 1}, // 1.5 a frame: the half is dropped
        {200, 100, -128, -32, 128, 32, 1, 500, 136, 84, 1},
        {-1, 0, 0, 0, 0, 0, 1, 500, 72, 68, 0},
        {0, 0, 10, 10, 100, 0, 1, 1000, 10, 0, 1}, // zero speed never finishes
        {0, 0, 10, 0, -100, 0, 3, 30, -9, 0, 1},   // negative speed overshoots...
        {-1, 0, 0, 0, 0, 0, 1, 30, 10, 0, 0},      // ...then jumps to the end
        {0, 0, 100, 0, 100, 0, 1, 500, 50, 0, 1},
        {-1, 0, -50, 0, 100, 0, 1, 1000, 0, 0, 0}, // a new move starts where the window is
    };
    std::unique_ptr<BareWindow> w;
    for (const auto& r : rows) {
        if (r[0] >= 0) w = std::make_unique<BareWindow>(r[0], r[1], 10, 10, 0, 0);
        if (r[2] != 0 || r[3] != 0) w->TimedMoveBy(r[2], r[3], r[4], r[5]);
        for (int i = 0; i < r[6]; ++i)
            w->Update(r[7]);
        EXPECT_EQ(std::make_tuple(w->getX(), w->getY(), int(w->isMoving())),
                  std::make_tuple(r[8], r[9], r[10]))
            << "row " << (&r - rows);
    }
}

// Scripts may pass any int: positions wrap round, speeds past the range end a
// move in one step, and nothing overflows (the sanitizer would stop the test).
TEST(WindowTimedMove, ExtremePositionsAndSpeedsWrapOrFinishWithoutOverflow) {
    BareWindow w(2147483600, -2147483600, 2147483647, 2147483647, 0, 0);
    EXPECT_TRUE(w.isIn(2147483647, -1)) << "the far edges lie beyond the int range";
    w.MoveBy(100, -100);
    EXPECT_EQ(std::make_tuple(w.getX(), w.getY()), std::make_tuple(-2147483596, 2147483596));
    w.TimedMoveBy(2147483647, -2147483647 - 1, -2147483647 - 1, 2147483647);
    w.Update(4000);
    EXPECT_EQ(std::make_tuple(w.getX(), w.getY(), w.isMoving()),
              std::make_tuple(51, -52, false)); // the targets, wrapped round
}

TEST(PictureWindow, KeyFlagLeavesTheStoreImageUntouchedMissingPicturesDrawNothing) {
    // 64 x 48: magenta top-left quarter, green elsewhere.
    StoredImage image(40, solidSurface(64, 48, 0, 200, 0));
    SDL_Rect quarter = newRect(0, 0, 32, 24);
    SDL_FillRect(vondImageStore[40].get(), &quarter,
                 SDL_MapRGB(vondImageStore[40]->format, 255, 0, 255));
    vondImageWin plain(0, 0, 0, 2, 40), keyed(0, 100, 0, 2, 40), cleared(0, 200, 0, 2, 40);
    vondImageWin hidden(300, 0, 0, 2, 40), missing(300, 100, 0, 2, 41);
    keyed.setFlags(16);
    cleared.setFlags(16);
    cleared.setFlags(0); // the key stays
    hidden.ToggleHidden();
    EXPECT_TRUE(missing.isHidden());
    missing.ToggleHidden();
    Surface screen = owned(solidSurface(640, 480, 0x40, 0x40, 0x40));
    for (vondImageWin* w : {&plain, &keyed, &cleared, &hidden, &missing})
        w->DrawOn(screen.get());
    EXPECT_EQ(vondImageStore[40]->flags & SDL_SRCCOLORKEY, 0u);
    EXPECT_TRUE(pixelRGB(screen, 5, 5) == 0xFF00FFu && pixelRGB(screen, 63, 47) == 0x00C800u &&
                pixelRGB(screen, 64, 47) == 0x404040u);
    EXPECT_TRUE(plain.isIn(0, 0) && !plain.isIn(1, 1)) << "only the corner point is hit";
    for (int y : {100, 200})
        EXPECT_TRUE(pixelRGB(screen, 5, y + 5) == 0x404040u &&
                    pixelRGB(screen, 40, y + 5) == 0x00C800u)
            << y;
    EXPECT_TRUE(pixelRGB(screen, 340, 40) == 0x404040u && pixelRGB(screen, 340, 140) == 0x404040u);
}

} // namespace
