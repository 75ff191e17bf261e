// The real binary in a real window: exit keys, the close button, the screenshot key.
#include "vondWindowRun.h"

#include <gtest/gtest.h>

namespace {

TEST(ShellWindow, KeyQAndTheCloseButtonExitWithStatusZero) {
    for (bool byKey : {true, false}) {
        XSession x;
        ASSERT_TRUE(x.ok());
        GameDir game;
        game.monkey("x = 1\n");
        WindowGame w(x, game);
        ASSERT_TRUE(w.hasWindow());
        if (byKey)
            w.key("q");
        else
            w.closeWindow();
        GameRun r = w.wait();
        EXPECT_FALSE(r.timedOut) << (byKey ? "q" : "close");
        EXPECT_EQ(r.status, 0);
        expectClosingLines(r.log);
    }
}

TEST(ShellWindow, ScreenshotOfAFreshEngineIsBlack) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    game.monkey("x = 1\n");
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    Surface shot = w.screenshot();
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w, 640);
    EXPECT_EQ(shot->h, 480);
    int nonBlack = 0;
    for (int y = 0; y < shot->h; y += 7)
        for (int x = 0; x < shot->w; x += 7) nonBlack += pixelRGB(shot.get(), x, y) != 0;
    EXPECT_EQ(nonBlack, 0);
    w.key("q");
    EXPECT_EQ(w.wait().status, 0);
}

} // namespace
