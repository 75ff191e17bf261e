// cmake --install: the installed program and its documents, and the installed
// vond playing the demo's start-up headless.
#include "vondRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace {

bool executable(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR);
}

TEST(Install, PutsVondInBinAndTheDocumentsInShareDocThenTheInstalledVondPlaysTheDemo) {
    GameDir prefix;
    GameRun install =
        runProcess({VOND_CMAKE, "--install", VOND_BUILD_DIR, "--prefix", prefix.path()},
                   prefix.path(), {}, 120);
    ASSERT_EQ(install.status, 0) << install.out << install.err;
    const std::string vond = prefix.file("bin/vond");
    EXPECT_TRUE(executable(vond));
    std::ifstream readme(std::string(VOND_SOURCE_DIR) + "/README.md", std::ios::binary);
    std::ostringstream text;
    text << readme.rdbuf();
    ASSERT_FALSE(text.str().empty());
    EXPECT_EQ(prefix.read("share/doc/vond/README.md"), text.str());
    EXPECT_TRUE(prefix.exists("share/doc/vond/docs/screenshots/01-dark-hall.png"));

    GameDir game;
    std::string copy = std::string("cp -r '") + VOND_SOURCE_DIR + "/game/.' '" + game.path() + "/'";
    ASSERT_EQ(std::system(copy.c_str()), 0);
    std::map<std::string, std::string> env = sanitizerEnvironment();
    env["SDL_VIDEODRIVER"] = "dummy";
    env["SDL_AUDIODRIVER"] = "dummy";
    vondProcess p = startProcess({vond}, game.path(), env);
    // The demo's opening narration is a timed event: once it has run, start-up
    // is over and frames are being drawn. Then the player closes the game.
    bool started = false;
    for (int waited = 0; waited < 60000 && !started; waited += 20) {
        started = game.read("vonderror.log").find("Event: 1  is now dead!") != std::string::npos;
        if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(started) << game.read("vonderror.log");
    kill(p.pid, SIGTERM);
    GameRun r = waitProcess(p, 30);
    r.log = game.read("vonderror.log");
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.log.find("The Moonlit Manor is ready.\n"), std::string::npos) << r.log;
    expectClosingLines(r.log);
}

} // namespace
