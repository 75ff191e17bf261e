// Frames must not touch the heap: composing the worst-case scene (scrolling
// layers, 1,024 sprites, revealing text windows), and timed events whose
// scripts move things and read and write state nodes. The count covers every
// allocation of the process: the engine's, the interpreter's and SDL's.
#include "vondAllocationCount.h"
#include "vondWorstCase.h"

// The interpreter's allocator is a 5.1 matter, reached through the host's
// own header: the count covers the host's chunk cache and calls.
#include "lua40/lua40_51.h"
#include "vondGlobals.h"
#include "vondScriptHost.h"
#include "vondSceneFixture.h"
#include "stateMachine/statemachine_binding.h"
#include "vondScriptFuncs.h"

namespace {

TEST(FrameAllocations, WorstCaseFramesAllocateNothing) {
    SDL_Surface* screen = displaySurface();
    ASSERT_NE(screen, nullptr);
    vondEngine2 e;
    vondWorstCase::build(e);
    unsigned long before = 0;
    // The first three frames paint rasters and windows for the first time; still
    // frames after each scrolled one repaint nothing and blit the cached rasters.
    for (int f = 0; f < 13; ++f) {
        if (f == 3) before = vondAllocationCount();
        vondWorstCase::scroll(e, f);
        for (int still = 0; still < (f < 3 ? 1 : 2); ++still)
            e.Update(16), e.Compose(screen);
    }
    EXPECT_EQ(vondAllocationCount() - before, 0u);
    e.NewTxtWin(0, 0, 50, 50, 999, 0); // the counter counts: building a window allocates
    EXPECT_GT(vondAllocationCount() - before, 0u);
}

TEST(FrameAllocations, TimedEventScriptsThatMoveThingsAndReadAndWriteNodesAllocateNothing) {
    SDL_Surface* screen = displaySurface();
    ASSERT_NE(screen, nullptr);
    game_state = lua_open(0);
    lua_baselibopen(game_state);
    vondRegisterFuncs();
    l_StateMachineInit(game_state);
    const char* script = R"lua(
        steps = 0
        sm_createNetwork("frame")
        sm_createNode("frame", "lamp")
        sm_putNode("frame.lamp", "off")
        function scrollStep()
          MoveLPointer(1, 0, 0, 8, 0)
          steps = steps + 1
          if sm_getNode("frame.lamp") == "off" then sm_putNode("frame.lamp", "on")
          else sm_putNode("frame.lamp", "off") end
        end
        function walk()
          local x = getLayerX(1)
          if x > 100 then setLPointer(1, 0, 0, 0, 0) end
        end
        addTimedEvent(1, 0, 1, 1, "scrollStep()")
        addTimedEvent(2, 0, 1, 3, "walk()")
    )lua";
    ASSERT_EQ(lua_dostring(game_state, script), 0);
    // The first frames compile each event's text once and keep it.
    for (int f = 0; f < 5; ++f)
        gfx.Update(16), gfx.Compose(screen);
    unsigned long before = vondAllocationCount();
    for (int f = 0; f < 50; ++f)
        gfx.Update(16), gfx.Compose(screen);
    EXPECT_EQ(vondAllocationCount() - before, 0u);
    lua_getglobal(game_state, "steps");
    EXPECT_EQ(lua_tonumber(game_state, -1), 55); // the scripts did run every frame
    lua_pop(game_state, 1);
    ASSERT_EQ(lua_dostring(game_state, "lamp = sm_getNode(\"frame.lamp\")"), 0);
    lua_getglobal(game_state, "lamp");
    EXPECT_STREQ(lua_tostring(game_state, -1), "on"); // 55 flips from "off"
    lua_pop(game_state, 1);
    ASSERT_EQ(lua_dostring(game_state, "t = {}"), 0); // the counter counts
    EXPECT_GT(vondAllocationCount() - before, 0u);
    gfx.delTimedEvent(1);
    gfx.delTimedEvent(2);
    gfx.Update(0);
    lua_close(game_state);
    game_state = nullptr;
}

} // namespace
