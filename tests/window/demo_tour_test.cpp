// Plays the demo game from start to finish in a real window with real clicks
// and keys, checking the screen, the log and standard output at each step.
#include "vondWindowRun.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

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

class DemoTour : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string cmd = std::string("cp -r '") + VOND_SOURCE_DIR + "/game/.' '" + game.path() + "/'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        std::remove(game.file("save.txt").c_str());
    }
    void verb(WindowGame& w, int row) { w.click(50, 384 + 28 * (row - 1) + 12); pauseMs(250); }
    // Waits until the log holds text (frames are slow under the sanitizers).
    bool waitForLog(const std::string& text, int ms = 15000) {
        for (int waited = 0; waited < ms; waited += 50) {
            if (game.read("vonderror.log").find(text) != std::string::npos) return true;
            pauseMs(50);
        }
        return false;
    }
    GameDir game;
};

TEST_F(DemoTour, PlaysFromTheDarkHallToTheEscape) {
    XSession x;
    ASSERT_TRUE(x.ok());
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    pauseMs(2500);
    SDL_Surface* dark = w.screenshot();
    ASSERT_NE(dark, nullptr);

    // Using the lamp lifts the shadow over the hall.
    verb(w, 2);
    w.click(110, 207);
    pauseMs(1500);
    SDL_Surface* lit = w.screenshot();
    ASSERT_NE(lit, nullptr);
    EXPECT_GT(changed(dark, lit), 0.3);

    // Using the chest opens it; taking from it slides the key into view.
    w.click(430, 335);
    pauseMs(1200);
    SDL_Surface* open = w.screenshot();
    EXPECT_TRUE(regionChanged(lit, open, 416, 320, 447, 351));
    verb(w, 3);
    w.click(430, 335);
    pauseMs(2000);
    SDL_Surface* key = w.screenshot();
    EXPECT_TRUE(regionChanged(open, key, 600, 8, 631, 39));

    // Save, walk to the study, open the door.
    w.click(580, 408);
    pauseMs(800);
    w.click(624, 190);
    // The study's hotspots are made when the camera arrives.
    EXPECT_TRUE(waitForLog("New Click Handler: 320,224 351,287"));
    pauseMs(300);
    SDL_Surface* study = w.screenshot();
    EXPECT_TRUE(regionChanged(key, study, 288, 160, 351, 287)); // the bookshelf scrolled away
    verb(w, 2);
    w.click(335, 255);
    pauseMs(1500);
    SDL_Surface* door = w.screenshot();
    EXPECT_TRUE(regionChanged(study, door, 320, 224, 351, 287));

    // Loading the save closes the door again; opening it twice escapes.
    w.click(580, 456);
    pauseMs(1500);
    SDL_Surface* loaded = w.screenshot();
    EXPECT_FALSE(regionChanged(study, loaded, 320, 224, 351, 287));
    w.click(335, 255);
    pauseMs(800);
    w.click(335, 255);
    pauseMs(2500);
    SDL_Surface* end = w.screenshot();
    EXPECT_GT(changed(loaded, end), 0.3);

    w.key("BackSpace");
    pauseMs(300);
    w.key("q");
    GameRun r = w.wait();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.find("error"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("The lamp flickers to life.\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("You pocket the key.\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("TraceOut of network, 'game'"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(".game.score:15\n"), std::string::npos) << r.out;
    EXPECT_NE(r.log.find("The Moonlit Manor is ready."), std::string::npos);
    EXPECT_NE(r.log.find("wantlab: room 1"), std::string::npos) << r.log;
    std::string save = game.read("save.txt");
    EXPECT_NE(save.find("game.key=taken\n"), std::string::npos) << save;
    EXPECT_NE(save.find("game.door=locked\n"), std::string::npos) << save;
    for (SDL_Surface* s : {dark, lit, open, key, study, door, loaded, end}) SDL_FreeSurface(s);
}

} // namespace
