// The engine's click dispatch and timed events, driven through the script
// functions on the global engine, with scripts that change the very lists
// being walked.
#include "vondGlobals.h"
#include "vondSceneFixture.h"
#include "vondTestPictures.h"
#include "vondWindow2.h"

namespace {

class EngineInput : public ::testing::Test, protected ScriptedEngine {
  protected:
    StoredImage sel{30, solidSurface(32, 32, 0, 255, 0)};
    EngineInput() { run("n = 0"); }
    double n() { return number("n"); }
    bool click(int x, int y) {
        bool taken = gfx.doInput(x, y);
        gfx.mouseUp();
        return taken;
    }
};

TEST_F(EngineInput, HandlerScriptsMayDeleteHandlersAndWindowsOrClearTheScene) {
    run("newClickH(0, 0, 100, 100, 8, 'n = n + 100')"
        "newClickH(0, 0, 100, 100, 7, 'delClickH(7) n = n + 1')"
        "newClickH(300, 10, 200, 30, 5, 'n = n + 1000')"); // inverted: never fires
    click(5, 5);
    click(5, 5); // holds the point, inert, until the frame ends
    click(250, 20);
    gfx.Update(0);
    click(100, 100); // the edge is inside
    EXPECT_EQ(n(), 101);
    run("DestroyAll() newRadButton(1, 0, 0, 100, 100) setRadButtons(1, 1, 30, 30, 0, 0) "
        "newClickH(0, "
        "0, 100, 100, 2, \"DestroyAll() newClickH(0, 0, 10, 10, 9, 'n = n + 1') n = n + 1\")");
    EXPECT_FALSE(click(5, 5)) << "the script removed the window before the window walk";
    click(5, 5);
    EXPECT_TRUE(n() == 103 && gfx.windowCount() == 0 && gfx.clickHandlerCount() == 1);
    run("DestroyAll() newRadButton(1, 0, 0, 100, 100) newRadButton(2, 0, 0, 50, 50)"
        "newClickH(0, 0, 100, 100, 2, 'delWin(2)')");
    gfx.Update(0);
    EXPECT_TRUE(click(5, 5));
    EXPECT_TRUE(gfx.windowCount() == 1 && gfx.getWindowHandle(1) != nullptr);
}

TEST_F(EngineInput, OneShotFiresInTheFrameReachingItsTimeAndRepeatingOnesDropTheOvershoot) {
    run("addTimedEvent(4, 1, 1, 1000, 'n = n + 100') addTimedEvent(3, 0, 1, 500, 'n = n + 1')"
        "addTimedEvent(8, 5, 1, 0, 'n = n + 10000') addTimedEvent(9, 1, 7, 0, 'n = n + 1e6')");
    // After every 300 ms; type 5 is unknown: every frame; source 7 is unknown: nothing runs.
    const int expected[] = {10000, 20001, 30001, 40102, 50102, 60103};
    for (int frame = 0; frame < 6; ++frame) {
        gfx.Update(300);
        EXPECT_EQ(n(), expected[frame]) << frame;
    }
    EXPECT_EQ(gfx.timedEventCount(), 2u);
}

TEST_F(EngineInput, EventScriptsMayKillEventsAddEventsAndClearTheScene) {
    run("addTimedEvent(5, 0, 1, 100, 'n = n + 1 delTimedEvent(5)')"
        "addTimedEvent(3, 0, 1, 5000, 'n = n + 100') addTimedEvent(3, 0, 1, 5000, 'n = n + 100')"
        "addTimedEvent(6, 1, 1, 50, 'delTimedEvent(3)')"
        "addTimedEvent(1, 1, 1, 0, \"addTimedEvent(2, 1, 1, 0, 'n = n + 10')\")"
        "newClickH(0, 0, 10, 10, 1, 'x = 1')"
        "addTimedEvent(7, 0, 1, 100, 'DestroyAll() n = n + 1000')");
    gfx.Update(100);
    EXPECT_EQ(n(), 1001) << "the event added during the pass waits for the next frame";
    EXPECT_EQ(gfx.timedEventCount(), 2u) << "both events 3 died with one call";
    EXPECT_EQ(gfx.clickHandlerCount(), 0u);
    gfx.Update(100);
    EXPECT_EQ(n(), 2011);
    EXPECT_EQ(gfx.timedEventCount(), 1u);
}

} // namespace
