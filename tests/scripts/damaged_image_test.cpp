// A picture file that would make SDL_image spin for ever (a GIF cut short in
// an extension) is treated exactly as a file it cannot read, by each function
// that loads pictures: addImage ends the game, addFont and a map's tileset log
// their own line and go on. Never a hang: each run ends within seconds.
#include "vondSceneFixture.h"

#include <chrono>

namespace {

// Header, screen descriptor, and an extension introducer cut after its label.
const std::string TRUNCATED_GIF("GIF89a\x0a\x00\x0a\x00\x00\x00\x00!\xf9", 15);
const std::string UNREADABLE = "not a picture at all";

struct Outcome {
    int status;
    std::string out, log;
    double seconds;
};

Outcome runWith(const std::string& pictureBytes, const std::string& script) {
    GameDir game;
    game.write("picture.gif", pictureBytes);
    game.write("map.txt", mapText(0, "picture.gif", 1, 1, 1, 0, [](int, int) { return 0; }));
    game.monkey(script);
    const auto start = std::chrono::steady_clock::now();
    GameRun r = game.run(20);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(r.timedOut);
    // The closing line names SDL's reason, which differs; the rest must not.
    std::vector<std::string> l = lines(r.log);
    std::string log;
    for (size_t i = 0; i < l.size(); ++i)
        log += (l[i].rfind("SDL Error Report: ", 0) == 0 ? "SDL Error Report: ..." : l[i]) + "\n";
    return {r.status, r.out, log, took.count()};
}

TEST(DamagedImage, ATruncatedGIFIsTreatedAsAnUnreadableFileByEveryLoader) {
    const std::string scripts[] = {
        "addImage(1, 'picture.gif') print('not reached')\n",
        "addFont(0, 'picture.gif') print('font done') exit(0)\n",
        "loadMap(1, 'map.txt') print('map done') exit(0)\n",
    };
    const std::string expectedLogs[] = {
        "Unable to load image: picture.gif\n",
        "Image number: 65280 not properly loaded for Font!\n",
        "Error loading tileset image: picture.gif\n",
    };
    for (int i = 0; i < 3; ++i) {
        const Outcome unreadable = runWith(UNREADABLE, scripts[i]);
        const Outcome truncated = runWith(TRUNCATED_GIF, scripts[i]);
        EXPECT_EQ(truncated.status, unreadable.status) << scripts[i];
        EXPECT_EQ(truncated.status, i == 0 ? 1 : 0) << scripts[i];
        EXPECT_EQ(truncated.out, unreadable.out) << scripts[i];
        EXPECT_EQ(truncated.log, unreadable.log) << scripts[i];
        EXPECT_EQ(truncated.log, expectedLogs[i] + "SDL Error Report: ...\nExiting program.\n");
        // As quick as the unreadable file, give or take a second.
        EXPECT_LT(truncated.seconds, unreadable.seconds + 1.0) << scripts[i];
    }
}

} // namespace
