// The engine's click dispatch (latch, handler order, handler then window) and
// timed events, driven through the script functions on the global engine, with
// scripts that change the very lists being walked.
#include "vondGlobals.h"
#include "vondRun.h"
#include "vondScriptFuncs.h"
#include "vondTestPictures.h"
#include "vondWindow2.h"

#include <gtest/gtest.h>

namespace {

class EngineInput : public ::testing::Test {
  protected:
    void SetUp() override {
        game_state = lua_open(0);
        lua_baselibopen(game_state);
        lua_iolibopen(game_state);
        lua_strlibopen(game_state);
        lua_mathlibopen(game_state);
        vondRegisterFuncs();
        run("n = 0 hits = '' added = 0");
        gfx.mouseUp();
    }
    void TearDown() override {
        gfx.DestroyAll();
        for (int id = 0; id < 20; ++id)
            gfx.delTimedEvent(id);
        gfx.Update(0);
        gfx.mouseUp();
        lua_close(game_state);
        game_state = nullptr;
    }
    void run(const std::string& lua) { ASSERT_EQ(lua_dostring(game_state, lua.c_str()), 0) << lua; }
    double number(const char* name) {
        lua_getglobal(game_state, name);
        double v = lua_tonumber(game_state, -1);
        lua_pop(game_state, 1);
        return v;
    }
    std::string text(const char* name) {
        lua_getglobal(game_state, name);
        std::string v = lua_tostring(game_state, -1);
        lua_pop(game_state, 1);
        return v;
    }
    bool click(int x, int y) {
        bool taken = gfx.doInput(x, y);
        gfx.mouseUp();
        return taken;
    }
    LogCapture log;
};

TEST_F(EngineInput, HeldButtonActsOnceUntilReleased) {
    run("newClickH(0, 0, 100, 100, 1, 'n = n + 1')");
    for (int frame = 0; frame < 50; ++frame)
        gfx.doInput(5, 5);
    EXPECT_EQ(number("n"), 1);
    EXPECT_EQ(countOf(log.text(), "Click at: 5,5\n"), 1);
    gfx.mouseUp();
    gfx.doInput(5, 5);
    EXPECT_EQ(number("n"), 2);
}

TEST_F(EngineInput, NewestHandlerContainingThePointWinsAndOlderOnesAreNotTested) {
    run("newClickH(0, 0, 100, 100, 1, \"hits = hits .. '1'\")"
        "newClickH(50, 50, 150, 150, 2, \"hits = hits .. '2'\")");
    EXPECT_FALSE(click(60, 60));
    EXPECT_EQ(text("hits"), "2");
    click(10, 10);
    EXPECT_EQ(text("hits"), "21");
    click(200, 200);
    EXPECT_EQ(text("hits"), "21");
    std::string l = log.text();
    EXPECT_EQ(countOf(l, "Testing coordinates!60,60\n"), 1);
    EXPECT_EQ(countOf(l, "Testing coordinates!10,10\n"), 2);
    EXPECT_EQ(countOf(l, "Testing coordinates!200,200\n"), 2);
    EXPECT_NE(l.find("Click at: 60,60\nTesting coordinates!60,60\nClick handler 2 activated!\n"),
              std::string::npos)
        << l;
}

TEST_F(EngineInput, HandlerRectangleIsInclusiveAndAnInvertedOneNeverFires) {
    run("newClickH(10, 10, 50, 30, 4, 'n = n + 1') newClickH(80, 10, 70, 30, 5, 'n = n + 100')");
    click(10, 10);
    click(50, 30);
    click(51, 30);
    click(75, 20);
    EXPECT_EQ(number("n"), 2);
}

TEST_F(EngineInput, HandlerScriptRunsThenTheWindowUnderThePointTakesThePress) {
    StoredImage sel(30, solidSurface(32, 32, 0, 255, 0));
    StoredImage unsel(31, solidSurface(32, 32, 0, 0, 255));
    run("newRadButton(1, 100, 100, 100, 50) setRadButtons(1, 2, 30, 31, 0, 0, 40, 0)"
        "newClickH(0, 0, 639, 479, 3, 'n = n + 1')");
    EXPECT_TRUE(click(145, 110));
    EXPECT_EQ(number("n"), 1);
    auto* radio = static_cast<vondRadioBWin*>(gfx.getWindowHandle(1));
    EXPECT_EQ(radio->getButtons()->getSelected(), 1);
    EXPECT_FALSE(click(300, 300)) << "outside every window";
}

TEST_F(EngineInput, HandlerThatDeletesItselfStaysInertUntilTheFrameEnds) {
    run("newClickH(0, 0, 100, 100, 8, 'n = n + 100')"
        "newClickH(0, 0, 100, 100, 7, 'delClickH(7) n = n + 1')");
    click(5, 5);
    EXPECT_EQ(number("n"), 1);
    EXPECT_EQ(gfx.clickHandlerCount(), 2u);
    click(5, 5); // still the first to hold the point: activated line, no script
    EXPECT_EQ(number("n"), 1);
    EXPECT_EQ(countOf(log.text(), "Click handler 7 activated!\n"), 2);
    gfx.Update(0);
    EXPECT_EQ(gfx.clickHandlerCount(), 1u);
    click(5, 5);
    EXPECT_EQ(number("n"), 101);
}

TEST_F(EngineInput, HandlerScriptMayClearTheSceneAndAddHandlersWhileRunning) {
    StoredImage sel(30, solidSurface(32, 32, 0, 255, 0));
    run("newRadButton(1, 0, 0, 100, 100) setRadButtons(1, 1, 30, 30, 0, 0)"
        "newClickH(0, 0, 100, 100, 2, \"DestroyAll() newClickH(0, 0, 10, 10, 9, 'n = n + 1') n = n "
        "+ 1\")");
    EXPECT_FALSE(click(5, 5)) << "the script removed the window before the window walk";
    EXPECT_EQ(gfx.windowCount(), 0u);
    EXPECT_EQ(gfx.clickHandlerCount(), 1u);
    click(5, 5);
    EXPECT_EQ(number("n"), 2);
}

TEST_F(EngineInput, HandlerScriptMayDeleteTheWindowBelowTheClick) {
    StoredImage sel(30, solidSurface(32, 32, 0, 255, 0));
    run("newRadButton(1, 0, 0, 100, 100) newRadButton(2, 0, 0, 50, 50)"
        "newClickH(0, 0, 100, 100, 2, 'delWin(2)')");
    EXPECT_TRUE(click(5, 5));
    EXPECT_EQ(gfx.windowCount(), 1u);
    EXPECT_NE(gfx.getWindowHandle(1), nullptr);
}

// Timed events -----------------------------------------------------------------

TEST_F(EngineInput, AddingAnEventLeavesOneLineOpenForTheEngineToFinish) {
    run("addTimedEvent(5, 1, 1, 100, 'x=1')");
    EXPECT_EQ(log.text(),
              "Event: 5 constructed!\nAdding event: 5 with command: x=1Event: 5 added!\n");
    EXPECT_EQ(gfx.timedEventCount(), 1u);
}

TEST_F(EngineInput, OneShotFiresInTheFrameReachingItsTimeAndIsGoneAfterIt) {
    GameDir dir;
    dir.write("event.lua", "n = n + 1\n");
    run("addTimedEvent(4, 1, 0, 1000, '" + dir.file("event.lua") + "')");
    for (int frame = 0; frame < 62; ++frame)
        gfx.Update(16);
    EXPECT_EQ(number("n"), 0);
    gfx.Update(16); // 1008 ms
    EXPECT_EQ(number("n"), 1);
    EXPECT_EQ(gfx.timedEventCount(), 0u);
    std::string l = log.text();
    EXPECT_NE(l.find("Event: 4 going off now!\nEvent: 4 doing file: " + dir.file("event.lua") +
                     "\nEvent: 4  is now dead!\n"),
              std::string::npos)
        << l;
}

TEST_F(EngineInput, RepeatingEventDropsTheOvershootEveryPeriod) {
    run("addTimedEvent(3, 0, 1, 500, 'n = n + 1')");
    int firedAt[3] = {}, fired = 0;
    for (int t = 300; t <= 1800; t += 300) {
        gfx.Update(300);
        if (number("n") > fired) firedAt[fired++] = t;
    }
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(firedAt[0], 600);
    EXPECT_EQ(firedAt[1], 1200);
    EXPECT_EQ(firedAt[2], 1800);
    EXPECT_EQ(countOf(log.text(), "Event: 3 doing string: n = n + 1\n"), 3);
}

TEST_F(EngineInput, EventKilledFromItsOwnScriptIsRemovedInTheSameFrame) {
    run("addTimedEvent(5, 0, 1, 100, 'n = n + 1 delTimedEvent(5)')"
        "addTimedEvent(3, 0, 1, 5000, 'n = n + 100') addTimedEvent(3, 0, 1, 5000, 'n = n + 100')"
        "addTimedEvent(6, 0, 1, 50, 'delTimedEvent(3)')");
    gfx.Update(100);
    EXPECT_EQ(number("n"), 1);
    EXPECT_EQ(gfx.timedEventCount(), 1u) << "both events 3 died with one call";
    EXPECT_EQ(log.text().find("is now dead"), std::string::npos) << "removal is silent";
}

TEST_F(EngineInput, EventsAddedDuringThePassWaitForTheNextFrame) {
    run("addTimedEvent(1, 1, 1, 0, \"addTimedEvent(2, 1, 1, 0, 'added = added + 1')\")");
    gfx.Update(10);
    EXPECT_EQ(number("added"), 0);
    EXPECT_EQ(gfx.timedEventCount(), 1u);
    gfx.Update(0);
    EXPECT_EQ(number("added"), 1);
    EXPECT_EQ(gfx.timedEventCount(), 0u);
}

TEST_F(EngineInput, EventThatClearsTheSceneKeepsRunning) {
    run("newClickH(0, 0, 10, 10, 1, 'x = 1') addTimedEvent(2, 0, 1, 10, 'DestroyAll() n = n + 1')");
    gfx.Update(10);
    gfx.Update(10);
    EXPECT_EQ(number("n"), 2);
    EXPECT_EQ(gfx.clickHandlerCount(), 0u);
    EXPECT_EQ(gfx.timedEventCount(), 1u);
}

TEST_F(EngineInput, UnknownTypeFiresEveryFrameAndUnknownSourceRunsNothing) {
    run("addTimedEvent(8, 5, 1, 0, 'n = n + 1') addTimedEvent(9, 1, 7, 0, 'n = n + 100')");
    gfx.Update(0);
    gfx.Update(1000000);
    gfx.Update(0);
    EXPECT_EQ(number("n"), 3);
    std::string l = log.text();
    EXPECT_EQ(countOf(l, "Event: 9 going off now!\n"), 1);
    EXPECT_EQ(countOf(l, "Event: 9 doing"), 0);
    EXPECT_EQ(countOf(l, "Event: 9  is now dead!\n"), 1);
}

} // namespace
