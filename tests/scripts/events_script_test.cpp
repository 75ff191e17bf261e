// Timed events and click handlers in the real binary: one-shot and repeating
// events, an event that kills itself and the exact lines they write.
#include "vondRun.h"
#include "vondTestPictures.h"

namespace {

TEST(EventScripts, StartupEventFiresInTheFirstFrameAndARepeatingOneKillsItself) {
    GameDir game;
    // The end waits for the third tick: a busy machine may stall a frame for longer than 600 ms.
    game.write("scripts/end.lua", "if count == 3 then print('end ' .. count) exit(0) end\n");
    game.monkey("frames = 0\ncount = 0\n"
                "newClickH(10, 10, 50, 30, 4, 'doClick()')\ndelClickH(4)\n"
                "addTimedEvent(0, 0, 1, 0, 'frames = frames + 1')\n"
                "addTimedEvent(1, 1, 1, 5, \"print('startup event in frame ' .. frames)\")\n"
                "addTimedEvent(2, 0, 1, 50, \"count = count + 1 print('tick ' .. count) "
                "if count == 3 then delTimedEvent(2) end\")\n"
                "addTimedEvent(4, 0, 0, 100, 'scripts/none.lua')\n"
                // After event 4, which so fires in the frame that ends the run.
                "addTimedEvent(3, 0, 0, 600, 'scripts/end.lua')\n"
                // Start-up takes a while: the first frame's delta covers it.
                "local i = 0\nwhile i < 300000 do i = i + 1 end\n");
    GameRun r = game.run();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "startup event in frame 1\ntick 1\ntick 2\ntick 3\nend 3\n") << r.log;
    for (const char* expected :
         {"Click handler: 4 created.\nNew Click Handler: 10,10 50,30\nEvent: 0 constructed!\n",
          "Event: 1 constructed!\n"
          "Adding event: 1 with command: print('startup event in frame ' .. frames)"
          "Event: 1 added!\n",
          "Event: 1 going off now!\n"
          "Event: 1 doing string: print('startup event in frame ' .. frames)\n"
          "Event: 1  is now dead!\n",
          "Event: 3 going off now!\nEvent: 3 doing file: scripts/end.lua\n"})
        EXPECT_NE(r.log.find(expected), std::string::npos) << expected << "\n---\n" << r.log;
    EXPECT_EQ(countOf(r.log, "Event: 2 going off now!\n"), 3);
    EXPECT_GE(countOf(r.log, "Event: 4 doing file: scripts/none.lua\n"), 2) << "goes on";
    EXPECT_EQ(countOf(r.log, "Event: 2  is now dead!"), 0) << "a killed event is removed silently";
}

} // namespace
