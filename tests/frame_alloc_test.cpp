// Frames must not touch the heap: composing the worst-case scene (scrolling
// layers, 1,024 sprites, revealing text windows), and timed events whose
// scripts move things and read and write state nodes. The count covers every
// allocation of the process: the engine's, the interpreter's and SDL's.
#include "stateMachine/statemachine_binding.h"
#include "vondAllocationCount.h"
#include "vondGlobals.h"
#include "vondSceneFixture.h"
#include "vondScriptHost.h"
#include "vondWorstCase.h"

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
    ScriptedEngine script;
    l_StateMachineInit(game_state);
    script.run(R"lua(
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
    )lua");
    // The first frames compile each event's text once and keep it.
    for (int f = 0; f < 5; ++f)
        gfx.Update(16), gfx.Compose(screen);
    unsigned long before = vondAllocationCount();
    for (int f = 0; f < 50; ++f)
        gfx.Update(16), gfx.Compose(screen);
    EXPECT_EQ(vondAllocationCount() - before, 0u);
    EXPECT_EQ(script.number("steps"), 55); // the scripts did run every frame
    script.run("lamp = sm_getNode(\"frame.lamp\")");
    EXPECT_EQ(script.text("lamp"), "on"); // 55 flips from "off"
    script.run("t = {}");                 // the counter counts
    EXPECT_GT(vondAllocationCount() - before, 0u);
}

} // namespace
