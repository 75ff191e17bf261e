// A script that never ends, headless: SIGTERM and SIGINT (Ctrl-C), which SDL
// turns into a quit event, still end the program with status 0 and the
// closing log lines, whether the loop is in the start-up script or in a timed
// event run by the frame loop; a long script that does end is left alone.
#include "vondRun.h"

#include <csignal>

namespace {

TEST(LoopingScript, ALoopThatNeverEndsStopsOnTerminationOrInterrupt) {
    const struct {
        const char* what;
        int signal;
        const char* monkey;
    } cases[] = {
        {"start-up script, SIGTERM", SIGTERM, "errorMsg('looping')\nwhile 1 do end\n"},
        {"start-up script, SIGINT", SIGINT, "errorMsg('looping')\nwhile 1 do end\n"},
        // The event loops inside a function of its own, as game code would.
        {"timed event, SIGTERM", SIGTERM,
         "function wait() local n = 0 while 1 do n = n + 1 end end\n"
         "addTimedEvent(1, 1, 1, 30, \"errorMsg('looping') wait()\")\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameDir game;
        game.monkey(c.monkey);
        vondProcess p = game.start();
        ASSERT_TRUE(game.waitForLog("looping\n"));
        kill(p.pid, c.signal);
        // The game has one second to end.
        GameRun r = waitProcess(p, 1.0);
        r.log = game.read("vonderror.log");
        expectExit(r, 0, "looping"); // nothing ran after the loop
    }
}

TEST(LoopingScript, ALongScriptThatEndsIsNotStopped) {
    GameDir game;
    // A third of a second of work: the quit check runs many times meanwhile.
    GameRun r = game.runScript("local start = clock()\nwhile clock() - start < 0.3 do end\n"
                               "print('finished')\nexit(4)\n");
    expectExit(r, 4);
    EXPECT_EQ(r.out, "finished\n");
}

} // namespace
