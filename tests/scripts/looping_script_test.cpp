// A script that never ends, headless: SIGTERM and SIGINT (Ctrl-C), which SDL
// turns into a quit event, still end the program with status 0 and the
// closing log lines, whether the loop is in the start-up script or in a timed
// event run by the frame loop; a long script that does end is left alone.
#include "vondRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace {

// Starts the game headless in dir.
vondProcess startGame(const GameDir& game) {
    std::map<std::string, std::string> env = sanitizerEnvironment();
    env["SDL_VIDEODRIVER"] = "dummy";
    env["SDL_AUDIODRIVER"] = "dummy";
    return startProcess({VOND_BINARY}, game.path(), env);
}

// Waits until the log holds line (the script's sign that its loop has begun);
// false if that takes longer than 30 s or the game ends first.
bool waitForLogLine(const GameDir& game, const vondProcess& p, const std::string& line) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        if (game.read("vonderror.log").find(line + "\n") != std::string::npos) return true;
        if (kill(p.pid, 0) != 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// Sends the signal once the loop has begun; the game has one second to end.
void expectEndedBySignal(const GameDir& game, int signal, const char* what) {
    vondProcess p = startGame(game);
    ASSERT_TRUE(waitForLogLine(game, p, "looping")) << what;
    kill(p.pid, signal);
    GameRun r = waitProcess(p, 1.0);
    r.log = game.read("vonderror.log");
    EXPECT_FALSE(r.timedOut) << what << ": still running a second after the signal";
    EXPECT_EQ(r.status, 0) << what;
    expectClosingLines(r.log);
    std::vector<std::string> l = lines(r.log);
    ASSERT_GE(l.size(), 3u);
    EXPECT_EQ(l[l.size() - 3], "looping") << what << ": nothing ran after the loop\n" << r.log;
}

TEST(LoopingScript, AStartupScriptThatNeverEndsStopsOnTerminationOrInterrupt) {
    for (int signal : {SIGTERM, SIGINT}) {
        GameDir game;
        game.monkey("errorMsg('looping')\nwhile 1 do end\n");
        expectEndedBySignal(game, signal, signal == SIGTERM ? "SIGTERM" : "SIGINT");
    }
}

TEST(LoopingScript, ATimedEventThatNeverEndsStopsOnTermination) {
    GameDir game;
    // The event loops inside a function of its own, as game code would.
    game.monkey("function wait() local n = 0 while 1 do n = n + 1 end end\n"
                "addTimedEvent(1, 1, 1, 30, \"errorMsg('looping') wait()\")\n");
    expectEndedBySignal(game, SIGTERM, "timed event");
}

TEST(LoopingScript, ALongScriptThatEndsIsNotStopped) {
    GameDir game;
    // A third of a second of work: the quit check runs many times meanwhile.
    game.monkey("local start = clock()\nwhile clock() - start < 0.3 do end\n"
                "print('finished')\nexit(4)\n");
    GameRun r = game.run();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.out, "finished\n");
    expectClosingLines(r.log);
}

} // namespace
