// The real binary in a real window: the close button ends it as the q key
// does (which every other window test ends with), with status 0 and the
// closing lines.
#include "vondWindowRun.h"

#include <gtest/gtest.h>

namespace {

TEST(ShellWindow, TheCloseButtonExitsWithStatusZero) {
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

} // namespace
