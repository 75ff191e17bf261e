// Start-up, exit statuses and the closing log lines of the real binary, headless.
#include "vondRun.h"

#include <gtest/gtest.h>

namespace {

TEST(ShellExit, LuaExitEndsTheRunWithItsStatusAndTheClosingLines) {
    GameDir game;
    game.monkey("exit(3)\n");
    GameRun r = game.run();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 3);
    expectClosingLines(r.log);
    EXPECT_EQ(lines(r.log).size(), 2u) << r.log;
    EXPECT_EQ(r.err.find("ERROR"), std::string::npos) << r.err;
}

TEST(ShellExit, QuitEventFromTerminationEndsWithStatusZero) {
    GameDir game;
    game.monkey("x = 1\n");
    GameRun r = game.run(3); // runs frames until the time limit sends SIGTERM
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    expectClosingLines(r.log);
}

TEST(ShellExit, AudioDeviceUnavailableEndsWithStatusTwo) {
    GameDir game;
    game.monkey("print('start-up script must not run')\n");
    GameRun r = game.run(20, {{"SDL_AUDIODRIVER", "alsa"}});
    EXPECT_EQ(r.status, 2);
    std::vector<std::string> l = lines(r.log);
    ASSERT_EQ(l.size(), 3u) << r.log;
    EXPECT_EQ(l[0].rfind("SDL_mixer error: ", 0), 0u);
    expectClosingLines(r.log);
    EXPECT_EQ(r.out, "");
}

TEST(ShellStartup, MissingStartupScriptStillOpensTheGame) {
    GameDir game;
    game.write("scripts/other.lua", "exit(9)\n");
    std::remove(game.file("scripts/monkey.lua").c_str());
    GameRun r = game.run(2);
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.find("error"), std::string::npos) << r.err;
}

TEST(ShellStartup, ScriptErrorIsReportedOnStandardErrorAndTheGameGoesOn) {
    GameDir game;
    game.monkey("local t = nil\nprint('before')\nx = t.field\nprint('after')\n");
    GameRun r = game.run(2);
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "before\n");
    std::vector<std::string> e = lines(r.err);
    ASSERT_GE(e.size(), 3u) << r.err;
    EXPECT_EQ(e[0].rfind("error: attempt to index", 0), 0u) << r.err;
    EXPECT_EQ(e[1], "stack traceback:");
    EXPECT_EQ(e[2], "   1:  main of file `scripts/monkey.lua' at line 3");
}

TEST(ShellStartup, EngineFunctionsAreRegisteredBeforeTheStartupScript) {
    GameDir game;
    game.monkey("if type(addImage) == 'function' and type(setRadButtons) == 'function' and\n"
                "   type(getLayerX) == 'function' and type(newClickH) == 'function' then\n"
                "  print('registered')\n"
                "end\n"
                "exit(0)\n");
    GameRun r = game.run();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "registered\n");
}

} // namespace
