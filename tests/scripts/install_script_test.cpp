// cmake --install: the installed program and its documents, and the installed
// vond playing the demo's start-up headless.
#include "vondRun.h"

#include <csignal>
#include <sys/stat.h>

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
    const std::string readme = readFile(std::string(VOND_SOURCE_DIR) + "/README.md");
    ASSERT_FALSE(readme.empty());
    EXPECT_EQ(prefix.read("share/doc/vond/README.md"), readme);
    EXPECT_TRUE(prefix.exists("share/doc/vond/docs/screenshots/01-dark-hall.png"));

    GameDir game;
    game.copyFrom(std::string(VOND_SOURCE_DIR) + "/game");
    vondProcess p = startProcess({vond}, game.path(), headlessEnvironment());
    // The demo's opening narration is a timed event: once it has run, start-up
    // is over and frames are being drawn. Then the player closes the game.
    EXPECT_TRUE(game.waitForLog("Event: 1  is now dead!")) << game.read("vonderror.log");
    kill(p.pid, SIGTERM);
    GameRun r = waitProcess(p, 30);
    r.log = game.read("vonderror.log");
    expectExit(r);
    EXPECT_NE(r.log.find("The Moonlit Manor is ready.\n"), std::string::npos) << r.log;
}

} // namespace
