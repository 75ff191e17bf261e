// sm_save and sm_load against the ways a save goes wrong for players and
// careless authors: a misspelt network, a target that cannot be written or a
// save that cannot be read, a full disk, two games saving into one file at
// once. Driven through the real binary; files compared byte for byte.
#include "vondRun.h"

#include <iostream>
#include <sys/wait.h>

namespace {

bool stillRunning(int pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

const std::string GOOD_SAVE = "game=\ngame.door=open\ngame.key=taken\n";

// A network "game" whose save differs from GOOD_SAVE.
const std::string GAME = R"(
sm_createNetwork("game")
sm_createNode("game", "door") sm_createNode("game", "key")
sm_putNode("game.door", "shut")
)";

// Runs GAME, script and exit(0); the game must end with status 0.
GameRun runGame(const GameDir& game, const std::string& script) {
    GameRun r = game.runScript(GAME + script + "exit(0)\n", 60);
    EXPECT_EQ(r.status, 0) << r.err;
    return r;
}

TEST(SaveSafety, NetworksThatDoNotExistAreReportedAndNeverEmptyTheFile) {
    GameDir game;
    game.write("save.txt", GOOD_SAVE);
    game.write("mixed.txt", GOOD_SAVE);
    GameRun r = runGame(game, R"(
sm_save("gmae", "save.txt")
sm_save("gmae", "other", "save.txt")
sm_save("save.txt")
sm_save("gmae", "game", "mixed.txt")
print(sm_save("gmae", "save.txt"))
)");
    EXPECT_EQ(game.read("save.txt"), GOOD_SAVE);
    EXPECT_EQ(game.read("mixed.txt"), "game=\ngame.door=shut\ngame.key=\n");
    EXPECT_EQ(r.err, "sm_save: no network 'gmae' to save\n"
                     "sm_save: no network 'other' to save\n"
                     "sm_save: no network 'gmae' to save\n"
                     "sm_save: no network named; 'save.txt' left as it was\n"
                     "sm_save: no network 'gmae' to save\n"
                     "sm_save: no network 'gmae' to save\n");
    EXPECT_EQ(r.out, "\n"); // the script is told nothing
}

// Tests run as root, so permission bits stop nothing: each target here fails
// for a reason of the file system itself.
TEST(SaveSafety, AFileThatCannotBeWrittenOrReadKeepsEverythingAndSaysWhy) {
    GameDir game;
    game.write("afile", GOOD_SAVE);
    game.write("folder/inside.txt", GOOD_SAVE);
    const std::set<std::string> before = game.entries();
    GameRun r = runGame(game, R"(
sm_save("game", "afile/save.txt")
sm_save("game", "missing/save.txt")
sm_save("game", "folder")
print(sm_load("game", "missing.txt"))
sm_load("game", "folder")
sm_traceOut("game")
)");
    EXPECT_EQ(r.err, "SaveLoad: could not save 'afile/save.txt': Not a directory\n"
                     "SaveLoad: could not save 'missing/save.txt': No such file or directory\n"
                     "SaveLoad: could not save 'folder': Is a directory\n"
                     "SaveLoad: could not load 'missing.txt': No such file or directory\n"
                     "SaveLoad: could not load 'folder': Is a directory\n");
    EXPECT_EQ(r.out, "\n\nTraceOut of network, 'game'\n.game:\n.game.door:shut\n.game.key:\n"
                     "***************\n\n");
    EXPECT_EQ(game.read("afile"), GOOD_SAVE);
    EXPECT_EQ(game.read("folder/inside.txt"), GOOD_SAVE);
    EXPECT_EQ(game.entries("folder"), (std::set<std::string>{"inside.txt"}));
    std::set<std::string> after = game.entries();
    after.erase("vonderror.log");
    EXPECT_EQ(after, before);
}

// A file-size limit makes the disk full for the game: the write fails part
// way (SIGXFSZ ignored, as a full disk sends no signal).
TEST(SaveSafety, AFullDiskKeepsTheOldFileAndSaysWhy) {
    GameDir game;
    game.write("save.txt", GOOD_SAVE);
    game.monkey(GAME + R"(
for i = 1, 2000 do sm_createNode("game", "n" .. i) sm_putNode("game.n" .. i, "a long enough value") end
sm_save("game", "save.txt")
exit(0)
)");
    // 64 blocks of 512 bytes: room for the log, not for a 50 KB save.
    GameRun r =
        runProcess({"/bin/sh", "-c", "ulimit -f 64 && trap '' XFSZ && exec \"$0\"", VOND_BINARY},
                   game.path(), headlessEnvironment(), 60);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "SaveLoad: could not save 'save.txt': File too large\n");
    EXPECT_EQ(game.read("save.txt"), GOOD_SAVE);
    EXPECT_EQ(game.entries(), (std::set<std::string>{"scripts", "save.txt", "vonderror.log"}));
}

// Two copies of a game in one folder save 200 times each into one file while
// the test takes snapshots of it: every snapshot is one game's whole save.
TEST(SaveSafety, TwoGamesSavingIntoOneFileNeverMixTheirSaves) {
    GameDir shared, gameA, gameB;
    const std::string target = shared.file("save.txt");
    std::string saves[2];
    GameDir* games[2] = {&gameA, &gameB};
    const char* names[2] = {"a", "b"};
    for (int g = 0; g < 2; ++g) {
        const std::string n = names[g];
        saves[g] = n + "=\n";
        for (int i = 1; i <= 1000; ++i)
            saves[g] += n + ".n" + std::to_string(i) + "=" + n + n + n + "\n";
        games[g]->monkey("n, target = '" + n + "', '" + target +
                         "'\nsm_createNetwork(n)\n"
                         "for i = 1, 1000 do sm_createNode(n, 'n' .. i) "
                         "sm_putNode(n .. '.n' .. i, n .. n .. n) end\n"
                         "for k = 1, 200 do sm_save(n, target) end\nexit(0)\n");
    }
    vondProcess a = gameA.start(), b = gameB.start();
    int snapshots = 0, bad = 0, seen[2] = {0, 0};
    int running = 2;
    while (running > 0) {
        running = stillRunning(a.pid) + stillRunning(b.pid);
        if (!shared.exists("save.txt")) continue;
        const std::string snapshot = shared.read("save.txt");
        ++snapshots;
        if (snapshot == saves[0])
            ++seen[0];
        else if (snapshot == saves[1])
            ++seen[1];
        else
            ++bad;
    }
    GameRun ra = waitProcess(a, 60), rb = waitProcess(b, 60);
    EXPECT_EQ(ra.status, 0) << ra.err;
    EXPECT_EQ(rb.status, 0) << rb.err;
    EXPECT_EQ(bad, 0) << "of " << snapshots << " snapshots";
    EXPECT_GT(seen[0] + seen[1], 100);
    const std::string last = shared.read("save.txt");
    EXPECT_TRUE(last == saves[0] || last == saves[1]);
    EXPECT_EQ(shared.entries(), (std::set<std::string>{"scripts", "save.txt"}));
    std::cout << snapshots << " snapshots: " << seen[0] << " of game a, " << seen[1]
              << " of game b, " << bad << " mixed or partial\n";
}

} // namespace
