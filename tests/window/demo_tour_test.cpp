// Plays the demo game from start to finish in a real window with real clicks
// and keys, checking the screen, the log, standard output and the save at each
// step. This is also the tour of tools/tour.sh: with VOND_TOUR_DIR set, each
// step's screenshot is left there as a PNG, with the log, standard output and
// error, and the save file.
#include "vondWindowRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace {

// The cat's timed event: a step at least every 60 ms of game time.
const std::string CAT_STEP = "Event: 2 going off now!\n";

// Fraction of sampled pixels that differ between two screenshots.
double changed(SDL_Surface* a, SDL_Surface* b) {
    int differ = 0, total = 0;
    // An odd step samples both kinds of pixel of the dithered shadow.
    for (int y = 0; y < 480; y += 3)
        for (int x = 0; x < 640; x += 3, ++total) differ += pixelRGB(a, x, y) != pixelRGB(b, x, y);
    return double(differ) / total;
}

bool regionChanged(SDL_Surface* a, SDL_Surface* b, int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (pixelRGB(a, x, y) != pixelRGB(b, x, y)) return true;
    return false;
}

// Two grabs equal but for the hall floor, where the cat walks, and unless
// asked for, the narration box, whose text comes out one character a frame.
bool sameButTheCat(SDL_Surface* a, SDL_Surface* b, bool narration) {
    for (int y = 0; y < 480; ++y) {
        auto rowA = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(a->pixels) + y * a->pitch);
        auto rowB = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(b->pixels) + y * b->pitch);
        int x0 = 0, x1 = 640; // compared: [x0, x1)
        if (y >= 300 && y <= 351) x1 = 448;
        if (!narration && y >= 384) x0 = 512;
        if (!std::equal(rowA + x0, rowA + x1, rowB + x0)) return false;
    }
    return true;
}

class DemoTour : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string cmd = std::string("cp -r '") + VOND_SOURCE_DIR + "/game/.' '" + game.path() + "/'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        std::remove(game.file("save.txt").c_str());
        if (const char* dir = std::getenv("VOND_TOUR_DIR")) tourDir = dir;
    }
    void verb(int row) { w->click(50, 384 + 28 * (row - 1) + 12); }
    // Waits until the screen stays the same over three of the cat's steps
    // (slides and scrolls over, and for the tour the narration revealed), then
    // takes the screenshot.
    Surface settledShot(const std::string& name) {
        Surface before = w->grab();
        bool settled = false;
        for (int tries = 0, steps = countOf(w->log(), CAT_STEP); !settled && tries < 100; ++tries) {
            if (!w->waitForLog(CAT_STEP, steps += 3)) break;
            Surface now = w->grab();
            settled = before && now && sameButTheCat(before.get(), now.get(), !tourDir.empty());
            before = std::move(now);
        }
        EXPECT_TRUE(settled) << name << ": the screen never stood still";
        return shot(name);
    }
    // The screenshot key's picture, left in the tour folder as name.png.
    Surface shot(const std::string& name) {
        Surface s = w->screenshot();
        if (!tourDir.empty())
            runProcess({"/usr/bin/convert", "screenshot.bmp", tourDir + "/" + name + ".png"},
                       game.path(), {}, WINDOW_WAIT_SECONDS);
        return s;
    }
    void keep(const std::string& name, const std::string& text) {
        if (!tourDir.empty()) std::ofstream(tourDir + "/" + name, std::ios::binary) << text;
    }
    GameDir game;
    std::string tourDir;
    WindowGame* w = nullptr;
};

TEST_F(DemoTour, PlaysFromTheDarkHallToTheEscape) {
    XSession x;
    ASSERT_TRUE(x.ok());
    WindowGame window(x, game);
    w = &window;
    ASSERT_TRUE(w->hasWindow());
    w->waitForLog("Event: 1  is now dead!"); // the introduction is under way
    Surface dark = settledShot("01-dark-hall");

    // Looking at the chest in the dark; using the lamp lifts the shadow.
    verb(1);
    w->click(430, 335);
    Surface tooDark = settledShot("02-too-dark");
    EXPECT_TRUE(regionChanged(dark.get(), tooDark.get(), 120, 392, 503, 471)); // the narration
    verb(2);
    w->click(110, 207);
    Surface lit = settledShot("03-lamp-lit");
    EXPECT_GT(changed(dark.get(), lit.get()), 0.3);

    // Using the chest opens it; taking from it slides the key into view.
    w->click(430, 335);
    Surface open = settledShot("04-chest-open");
    EXPECT_TRUE(regionChanged(lit.get(), open.get(), 416, 320, 447, 351));
    verb(3);
    w->click(430, 335);
    Surface key = settledShot("05-key-taken");
    EXPECT_TRUE(regionChanged(open.get(), key.get(), 600, 8, 631, 39));

    // Save, walk to the study (its hotspots are made when the camera arrives), open the door.
    w->click(580, 408);
    EXPECT_TRUE(waitUntil([&] { return game.exists("save.txt"); }, WINDOW_WAIT_SECONDS));
    w->click(624, 190);
    w->waitForLog("New Click Handler: 320,224 351,287");
    Surface study = settledShot("06-study");
    EXPECT_TRUE(regionChanged(key.get(), study.get(), 288, 160, 351, 287)); // the bookshelf went
    verb(2);
    w->click(335, 255);
    Surface door = settledShot("07-door-open");
    EXPECT_TRUE(regionChanged(study.get(), door.get(), 320, 224, 351, 287));

    // Loading the save closes the door again; opening it twice escapes.
    w->click(580, 456);
    Surface loaded = settledShot("08-loaded-save");
    EXPECT_FALSE(regionChanged(study.get(), loaded.get(), 320, 224, 351, 287));
    w->click(335, 255);
    w->click(335, 255);
    w->waitForScreen("the ending", [&](SDL_Surface* s) { return changed(loaded.get(), s) > 0.3; });
    if (!tourDir.empty()) // the cat is gone: the text is out once its last full stop shows
        w->waitForScreen("the ending's text", [](SDL_Surface* s) {
            for (int y = 268; y < 284; ++y)
                for (int x = 296; x < 312; ++x)
                    if (pixelRGB(s, x, y) != 0) return true;
            return false;
        });
    Surface end = shot("09-escaped");
    EXPECT_GT(changed(loaded.get(), end.get()), 0.3);

    w->key("BackSpace");
    w->waitForLog("wantlab: room 1");
    w->key("q");
    GameRun r = w->wait();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.find("error"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("The lamp flickers to life.\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("You pocket the key.\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("TraceOut of network, 'game'"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(".game.score:15\n"), std::string::npos) << r.out;
    EXPECT_NE(r.log.find("The Moonlit Manor is ready."), std::string::npos);
    std::string save = game.read("save.txt");
    EXPECT_NE(save.find("game.key=taken\n"), std::string::npos) << save;
    EXPECT_NE(save.find("game.door=locked\n"), std::string::npos) << save;
    keep("vonderror.log", r.log);
    keep("stdout.txt", r.out);
    keep("stderr.txt", r.err);
    keep("save.txt", save);
}

} // namespace
