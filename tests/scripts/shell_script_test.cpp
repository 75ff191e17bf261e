// Start-up, exit statuses and the closing log lines of the real binary, headless.
#include "vondRun.h"

namespace {

TEST(ShellRun, StartupScriptsExitStatusesAndClosingLines) {
    const struct {
        const char* name;
        const char* monkey; // nullptr: no start-up script
        double seconds;     // then SIGTERM, which SDL turns into a quit event
        const char* audioDriver;
        bool timedOut;
        int status;
        std::string out;
        const char* err; // nullptr: not checked
        size_t logLines; // 0: not checked
    } cases[] = {
        {"exit from Lua", "exit(3)\n", 20, "dummy", false, 3, "", "", 2},
        {"quit event", "x = 1\n", 3, "dummy", true, 0, "", "", 0},
        // The log's first line is the mixer's error; the start-up script never runs.
        {"no audio device", "print('not run')\n", 20, "alsa", false, 2, "", nullptr, 3},
        {"no start-up script", nullptr, 2, "dummy", true, 0, "", "", 0},
        {"script error", "local t = nil\nprint('before')\nx = t.field\nprint('after')\n", 2,
         "dummy", true, 0, "before\n",
         "error: attempt to index local `t' (a nil value)\nstack traceback:\n"
         "   1:  main of file `scripts/monkey.lua' at line 3\n",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GameDir game;
        game.write("scripts/other.lua", "exit(9)\n");
        if (c.monkey != nullptr) game.monkey(c.monkey);
        GameRun r = game.run(c.seconds, {{"SDL_AUDIODRIVER", c.audioDriver}});
        EXPECT_EQ(r.timedOut, c.timedOut);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        if (c.err != nullptr) {
            EXPECT_EQ(r.err, c.err);
        }
        expectClosingLines(r.log);
        EXPECT_TRUE(c.logLines == 0 || lines(r.log).size() == c.logLines) << r.log;
        EXPECT_TRUE(c.status != 2 || r.log.rfind("SDL_mixer error: ", 0) == 0) << r.log;
    }
}

} // namespace
