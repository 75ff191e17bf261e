// A script that never ends, in a real window: the window's close button still
// ends a hotspot's endless script with status 0 and the closing log lines, even
// after the mouse has filled the event queue while it ran; and the quit check
// made while a script runs takes no other event from the frame loop.
#include "vondWindowRun.h"

namespace {

// The one-second bound is on the program: under X11, ASan's slow unwinder (which
// the leak suppressions need) makes any exit take one to several seconds in
// Mesa's teardown. This run unwinds fast and leaves leak checking of the same
// exit to the headless runs and the other window tests.
const std::map<std::string, std::string> kQuickExit = {
    {"ASAN_OPTIONS", "fast_unwind_on_malloc=1:detect_leaks=0"}};

using LoopingScriptWindow = WindowTest;

// (The headless tests stop loops in the start-up script and in timed events.)
TEST_F(LoopingScriptWindow,
       TheCloseButtonEndsAHotspotScriptThatNeverEndsAfterTheMouseFilledTheQueue) {
    game.monkey("newClickH(100, 100, 199, 199, 1, \"errorMsg('looping') while 1 do end\")\n");
    ASSERT_TRUE(start(kQuickExit));
    w->click(150, 150);
    ASSERT_TRUE(w->waitForLog("looping\n"));
    // Far more motion events than an event queue of SDL 1.2 holds, all
    // arriving while the loop runs and the frame loop reads nothing.
    for (int i = 0; i < 300; ++i)
        w->moveMouse(100 + i % 2, 100);
    w->closeWindow();
    expectExit(w->wait(1.0), 0, "looping"); // within a second; nothing ran after the loop
}

TEST_F(LoopingScriptWindow, AKeyPressedWhileAScriptRunsIsHandledWhenItEnds) {
    // The event keeps running until the test has pressed the key (the file
    // "go" appears), then runs a fifth of a second more: checks made in that
    // time pump the key press into the queue and must leave it there.
    game.monkey("addTimedEvent(1, 1, 1, 300, \"errorMsg('looping') "
                "while not readfrom('go') do end readfrom() "
                "local start = clock() while clock() - start < 0.2 do end "
                "errorMsg('done')\")\n");
    ASSERT_TRUE(start());
    ASSERT_TRUE(w->waitForLog("looping\n"));
    ASSERT_FALSE(game.exists("screenshot.bmp"));
    w->key("grave");
    game.write("go", "");
    ASSERT_TRUE(w->waitForLog("done\n"));
    EXPECT_TRUE(eventually([&] { return game.exists("screenshot.bmp"); }))
        << "the key press was lost";
    w->quit();
}

} // namespace
