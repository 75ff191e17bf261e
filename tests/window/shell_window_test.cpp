// The real binary in a real window: exit keys, the close button, the screenshot key.
#include "vondWindowRun.h"

#include <gtest/gtest.h>

namespace {

void expectClosingLines(const std::string& log) {
    std::vector<std::string> l = lines(log);
    ASSERT_GE(l.size(), 2u) << log;
    EXPECT_EQ(l[l.size() - 2].rfind("SDL Error Report: ", 0), 0u) << log;
    EXPECT_EQ(l.back(), "Exiting program.");
}

TEST(ShellWindow, KeyQExitsWithStatusZero) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    game.monkey("x = 1\n");
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    w.key("q");
    GameRun r = w.wait();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    expectClosingLines(r.log);
}

TEST(ShellWindow, ClosingTheWindowExitsWithStatusZero) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    game.monkey("x = 1\n");
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    w.closeWindow();
    GameRun r = w.wait();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    expectClosingLines(r.log);
}

TEST(ShellWindow, ScreenshotOfAFreshEngineIsBlack) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    game.monkey("x = 1\n");
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    SDL_Surface* shot = w.screenshot();
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w, 640);
    EXPECT_EQ(shot->h, 480);
    int nonBlack = 0;
    for (int y = 0; y < shot->h; y += 7)
        for (int x = 0; x < shot->w; x += 7) nonBlack += pixelRGB(shot, x, y) != 0;
    EXPECT_EQ(nonBlack, 0);
    SDL_FreeSurface(shot);
    w.key("q");
    EXPECT_EQ(w.wait().status, 0);
}

} // namespace
