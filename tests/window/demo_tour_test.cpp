// Plays the demo game from start to finish in a real window with real clicks
// and keys, checking the screen, the log, standard output and the save at each
// step. This is also the tour of tools/tour.sh: with VOND_TOUR_DIR set, each
// step's screenshot is left there as a PNG, with the log, standard output and
// error, and the save file.
#include "vondWindowRun.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>

namespace {

// The cat's timed event: a step at least every 60 ms of game time.
const std::string CAT_STEP = "Event: 2 going off now!\n";

// Fraction of sampled pixels that differ between two screenshots.
double changed(SDL_Surface* a, SDL_Surface* b) {
    int differ = 0, total = 0;
    // An odd step samples both kinds of pixel of the dithered shadow.
    for (int y = 0; y < 480; y += 3)
        for (int x = 0; x < 640; x += 3, ++total)
            differ += pixelRGB(a, x, y) != pixelRGB(b, x, y);
    return double(differ) / total;
}

bool regionChanged(SDL_Surface* a, SDL_Surface* b, int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (pixelRGB(a, x, y) != pixelRGB(b, x, y)) return true;
    return false;
}

// Two grabs equal but for the hall floor, where the cat walks.
bool sameButTheCat(SDL_Surface* a, SDL_Surface* b) {
    for (int y = 0; y < 480; ++y) {
        auto rowA = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(a->pixels) + y * a->pitch);
        auto rowB = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(b->pixels) + y * b->pitch);
        if (!std::equal(rowA, rowA + (y < 300 || y > 351 ? 640 : 448), rowB)) return false;
    }
    return true;
}

class DemoTour : public WindowTest {
  protected:
    void SetUp() override {
        game.copyFrom(std::string(VOND_SOURCE_DIR) + "/game");
        std::remove(game.file("save.txt").c_str());
        if (const char* dir = std::getenv("VOND_TOUR_DIR")) tourDir = dir;
    }
    void verb(int row) { w->click(50, 384 + 28 * (row - 1) + 12); }
    // Waits until the window shows what `shows` expects, then takes the
    // screenshot, which must show it too. For the tour the screen is first let
    // settle while the cat walks: it stays the same, narration included, over
    // three of its steps (at least 60 ms of game time each).
    Surface step(const std::string& name, const std::string& what,
                 const std::function<bool(SDL_Surface*)>& shows, bool catWalks = true) {
        w->waitForScreen(what, shows);
        if (!tourDir.empty() && catWalks) settle(name);
        Surface s = w->screenshot();
        if (s) {
            EXPECT_TRUE(shows(s.get())) << name << ": " << what;
        }
        if (!tourDir.empty())
            runProcess({"/usr/bin/convert", "screenshot.bmp", tourDir + "/" + name + ".png"},
                       game.path(), {}, WINDOW_WAIT_SECONDS);
        return s;
    }
    void settle(const std::string& name) {
        Surface before = w->grab();
        bool settled = false;
        for (int tries = 0, steps = countOf(w->log(), CAT_STEP); !settled && tries < 100; ++tries) {
            if (!w->waitForLog(CAT_STEP, steps += 3)) break;
            Surface now = w->grab();
            settled = before && now && sameButTheCat(before.get(), now.get());
            before = std::move(now);
        }
        EXPECT_TRUE(settled) << name << ": the screen never stood still";
    }
    void keep(const std::string& name, const std::string& text) {
        if (!tourDir.empty()) std::ofstream(tourDir + "/" + name, std::ios::binary) << text;
    }
    std::string tourDir;
};

TEST_F(DemoTour, PlaysFromTheDarkHallToTheEscape) {
    ASSERT_TRUE(start());
    w->waitForLog("Event: 1  is now dead!"); // the introduction is under way
    Surface dark = step("01-dark-hall", "the hall", [](SDL_Surface*) { return true; });
    const auto differs = [](SDL_Surface* before, int x0, int y0, int x1, int y1) {
        return [=](SDL_Surface* s) { return regionChanged(before, s, x0, y0, x1, y1); };
    };

    // Looking at the chest in the dark; using the lamp lifts the shadow.
    verb(1);
    w->click(430, 335);
    Surface tooDark = step("02-too-dark", "new narration", differs(dark.get(), 120, 392, 503, 471));
    verb(2);
    w->click(110, 207);
    Surface lit = step("03-lamp-lit", "the shadow lifted",
                       [&](SDL_Surface* s) { return changed(dark.get(), s) > 0.3; });

    // Using the chest opens it; taking from it slides the key into view.
    w->click(430, 335);
    Surface open = step("04-chest-open", "the chest open", differs(lit.get(), 416, 320, 447, 351));
    verb(3);
    w->click(430, 335);
    Surface key = step("05-key-taken", "the key in view", differs(open.get(), 600, 8, 631, 39));

    // Save, walk to the study (its hotspots are made when the camera arrives), open the door.
    w->click(580, 408);
    EXPECT_TRUE(eventually([&] { return game.exists("save.txt"); }));
    w->click(624, 190);
    w->waitForLog("New Click Handler: 320,224 351,287");
    Surface study = step("06-study", "the bookshelf gone", differs(key.get(), 288, 160, 351, 287));
    verb(2);
    w->click(335, 255);
    Surface door = step("07-door-open", "the door open", differs(study.get(), 320, 224, 351, 287));

    // Loading the save closes the door again; opening it twice escapes.
    w->click(580, 456);
    Surface loaded = step("08-loaded-save", "the door closed", [&](SDL_Surface* s) {
        return !regionChanged(study.get(), s, 320, 224, 351, 287);
    });
    w->click(335, 255);
    w->click(335, 255);
    // The cat is gone: for the tour, the text is out once its last full stop shows.
    step(
        "09-escaped", "the ending",
        [&](SDL_Surface* s) {
            bool fullStop = false;
            for (int y = 268; y < 284; ++y)
                for (int x = 296; x < 312; ++x)
                    fullStop = fullStop || pixelRGB(s, x, y) != 0;
            return changed(loaded.get(), s) > 0.3 && (fullStop || tourDir.empty());
        },
        false);

    w->key("BackSpace");
    w->waitForLog("wantlab: room 1");
    GameRun r = w->quit();
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
