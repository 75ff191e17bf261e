// A script that never ends, in a real window: the window's close button still
// ends the program with status 0 and the closing log lines, whether the loop
// is in a hotspot's script or a timed event's; and the quit check made while a
// script runs takes no other event from the frame loop.
#include "vondWindowRun.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

// Waits until the log holds line (a script's sign that it has got there).
bool waitForLogLine(const GameDir& game, const std::string& line) {
    return waitUntil(
        [&] { return game.read("vonderror.log").find(line + "\n") != std::string::npos; },
        WINDOW_WAIT_SECONDS);
}

// The one-second bound is on the program: under X11, ASan's slow unwinder (which
// the leak suppressions need) makes any exit take one to several seconds in
// Mesa's teardown. These runs unwind fast and leave leak checking of the same
// exit to the headless runs and the other window tests.
const std::map<std::string, std::string> kQuickExit = {
    {"ASAN_OPTIONS", "fast_unwind_on_malloc=1:detect_leaks=0"}};

// Closes the window once the loop has begun; the game has one second to end.
void expectClosedWhileLooping(WindowGame& w, const GameDir& game, const char* what) {
    ASSERT_TRUE(waitForLogLine(game, "looping")) << what;
    w.closeWindow();
    GameRun r = w.wait(1.0);
    EXPECT_FALSE(r.timedOut) << what << ": still running a second after the close request";
    EXPECT_EQ(r.status, 0) << what;
    expectClosingLines(r.log);
    std::vector<std::string> l = lines(r.log);
    ASSERT_GE(l.size(), 3u);
    EXPECT_EQ(l[l.size() - 3], "looping") << what << ": nothing ran after the loop\n" << r.log;
}

TEST(LoopingScriptWindow, TheCloseButtonEndsAHotspotScriptThatNeverEnds) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    game.monkey("newClickH(100, 100, 199, 199, 1, \"errorMsg('looping') while 1 do end\")\n");
    WindowGame w(x, game, kQuickExit);
    ASSERT_TRUE(w.hasWindow());
    w.click(150, 150);
    expectClosedWhileLooping(w, game, "hotspot");
}

TEST(LoopingScriptWindow, TheCloseButtonEndsATimedEventThatNeverEndsAfterTheMouseFilledTheQueue) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    game.monkey("addTimedEvent(1, 1, 1, 300, \"errorMsg('looping') while 1 do end\")\n");
    WindowGame w(x, game, kQuickExit);
    ASSERT_TRUE(w.hasWindow());
    ASSERT_TRUE(waitForLogLine(game, "looping"));
    // Far more motion events than an event queue of SDL 1.2 holds, all
    // arriving while the loop runs and the frame loop reads nothing.
    for (int i = 0; i < 300; ++i)
        w.moveMouse(100 + i % 2, 100);
    expectClosedWhileLooping(w, game, "timed event");
}

TEST(LoopingScriptWindow, AKeyPressedWhileAScriptRunsIsHandledWhenItEnds) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    // The event keeps running until the test has pressed the key (the file
    // "go" appears), then runs a fifth of a second more: checks made in that
    // time pump the key press into the queue and must leave it there.
    game.monkey("addTimedEvent(1, 1, 1, 300, \"errorMsg('looping') "
                "while not readfrom('go') do end readfrom() "
                "local start = clock() while clock() - start < 0.2 do end "
                "errorMsg('done')\")\n");
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    ASSERT_TRUE(waitForLogLine(game, "looping"));
    ASSERT_FALSE(game.exists("screenshot.bmp"));
    w.key("grave");
    game.write("go", "");
    ASSERT_TRUE(waitForLogLine(game, "done"));
    EXPECT_TRUE(waitUntil([&] { return game.exists("screenshot.bmp"); }, WINDOW_WAIT_SECONDS))
        << "the key press was lost";
    w.key("q");
    EXPECT_EQ(w.wait().status, 0);
}

} // namespace
