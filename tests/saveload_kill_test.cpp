// A save killed with SIGKILL at any moment leaves the previous save or the new
// one, whole: never an empty, partial or mixed file.
#include "saveload/saveload.h"

#include "vondRun.h"

#include <chrono>
#include <csignal>
#include <iostream>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int NODES = 20000;

// Save number v: NODES pairs whose values all carry v (about 600 KB).
std::string saveText(int v) {
    std::string text;
    const std::string value = "value of save " + std::to_string(v);
    for (int i = 0; i < NODES; ++i)
        text += "big.n" + std::to_string(i) + "=" + value + "\n";
    return text;
}

SaveLoad saveStore(int v) {
    SaveLoad store;
    const std::string value = "value of save " + std::to_string(v);
    for (int i = 0; i < NODES; ++i)
        store.newSet("big.n" + std::to_string(i), value);
    return store;
}

// Each round starts a process that saves over and over, cycling through three
// saves that differ from the one on disk, and kills it after a random time,
// mostly in the middle of a save; the file must then be exactly one of the
// four saves.
TEST(SaveLoadKill, KilledAtRandomMomentsLeavesAWholeSave) {
    GameDir dir;
    const std::string file = dir.file("save.txt");
    const std::string texts[4] = {saveText(0), saveText(1), saveText(2), saveText(3)};
    SaveLoad stores[4] = {saveStore(0), saveStore(1), saveStore(2), saveStore(3)};
    // One save takes some milliseconds; kills fall anywhere within the first few.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(stores[0].save(file));
    const long oneSave = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - started)
                             .count();
    std::mt19937 random(12345);
    std::uniform_int_distribution<long> delay(0, 4 * oneSave);
    int onDisk = 0, kept = 0, replaced = 0;
    for (int round = 1; round <= 100; ++round) {
        pid_t child = fork();
        if (child == 0) {
            for (int k = 1;; k = k % 3 + 1)
                if (k != onDisk) stores[k].save(file);
        }
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string after = dir.read("save.txt");
        int found = -1;
        for (int v = 0; v < 4; ++v)
            if (after == texts[v]) found = v;
        ASSERT_NE(found, -1) << "round " << round << ": a file of " << after.size() << " bytes";
        ++(found == onDisk ? kept : replaced);
        onDisk = found;
    }
    std::cout << "one save: " << oneSave << " us; 100 kills: " << kept
              << " left the previous save, " << replaced << " a new one\n";
}

} // namespace
