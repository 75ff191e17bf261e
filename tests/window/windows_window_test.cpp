// Windows, hotspots and developer keys in a real window with real clicks and
// key presses: the window-0 keys and the sound key, one script run per press,
// overlapping hotspots, and a click that reaches a hotspot and then a radio panel.
#include "vondTestAudio.h"
#include "vondTestPictures.h"
#include "vondWindowRun.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr Uint32 GREEN = 0x00FF00, BLUE = 0x0000FF, BLACK = 0;

// Screenshots until pixel (x, y) has the colour, for at most ms; the last one.
SDL_Surface* screenshotWhen(WindowGame& w, int x, int y, Uint32 rgb, int ms = 5000) {
    SDL_Surface* shot = w.screenshot();
    for (int waited = 0; shot != nullptr && pixelRGB(shot, x, y) != rgb && waited < ms;
         waited += 250) {
        pauseMs(250);
        SDL_FreeSurface(shot);
        shot = w.screenshot();
    }
    return shot;
}

TEST(WindowsInAWindow, DeveloperKeysHotspotsRadioButtonsAndClearingTheScene) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    for (auto [name, blue] : {std::pair("sel.bmp", 0), std::pair("unsel.bmp", 255)}) {
        SDL_Surface* s = solidSurface(32, 32, 0, 255 - blue, blue);
        saveBMP(s, game.file(name));
        SDL_FreeSurface(s);
    }
    writeSineWav(game.file("beep.wav"), 440, 0.3);
    game.monkey("addImage(1, 'sel.bmp')\naddImage(2, 'unsel.bmp')\ncount = 0\n"
                "newPicWin(0, 100, 300, 1)\nloadSound(0, 'beep.wav')\n"
                "newClickH(100, 100, 199, 199, 1, \"count = count + 1 print('h1 ' .. count)\")\n"
                "newClickH(150, 150, 249, 249, 2, \"print('h2')\")\n"
                "newRadButton(5, 300, 100, 100, 50)\nsetRadButtons(5, 2, 1, 2, 0, 0, 40, 0)\n"
                "newClickH(300, 100, 399, 149, 3, \"print('h3')\")\n"
                "newClickH(0, 0, 20, 20, 4, \"DestroyAll() print('cleared')\")\n"
                "newClickH(500, 400, 540, 440, 6, \"delClickH(6) print('once')\")\n");
    WindowGame w(x, game,
                 {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", game.file("out.raw")}});
    ASSERT_TRUE(w.hasWindow());
    pauseMs(300);
    // i hides and shows window 0, p plays sound 0, l and o move window 0 by
    // 128 x 32 pixels at 128 and 32 pixels per second and back.
    w.key("i");
    SDL_Surface* hidden = w.screenshot();
    for (const char* k : {"i", "p", "l"})
        w.key(k);
    SDL_Surface* moved = screenshotWhen(w, 100 + 128 + 31, 300 + 32 + 31, GREEN);
    w.key("o");
    SDL_FreeSurface(screenshotWhen(w, 101, 301, GREEN));
    pauseMs(500);          // the last whole-pixel step
    w.mouseDown(120, 120); // held for many frames: one run
    pauseMs(600);
    w.mouseUp();
    w.click(120, 120);
    w.click(160, 160); // both hotspots hold it: the newer one runs alone
    pauseMs(200);
    SDL_Surface* before = w.screenshot();
    w.click(520, 420);
    w.click(520, 420); // deleted by its own first run
    w.click(345, 110); // hotspot 3, then the panel selects button 1
    SDL_Surface* after = screenshotWhen(w, 350, 110, GREEN, 2000);
    w.click(10, 10); // clears the scene
    pauseMs(200);
    w.click(120, 120);
    pauseMs(200);
    w.key("q");
    GameRun r = w.wait();

    ASSERT_TRUE(hidden && moved && before && after);
    EXPECT_EQ(pixelRGB(hidden, 110, 310), BLACK);
    EXPECT_TRUE(pixelRGB(moved, 110, 310) == BLACK && pixelRGB(moved, 259, 363) == GREEN &&
                pixelRGB(moved, 260, 363) == BLACK);
    EXPECT_TRUE(pixelRGB(before, 131, 331) == GREEN && pixelRGB(before, 132, 331) == BLACK);
    EXPECT_TRUE(pixelRGB(before, 310, 110) == GREEN && pixelRGB(before, 350, 110) == BLUE);
    EXPECT_TRUE(pixelRGB(after, 310, 110) == BLUE && pixelRGB(after, 350, 110) == GREEN);
    for (SDL_Surface* s : {hidden, moved, before, after})
        SDL_FreeSurface(s);

    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "h1 1\nh1 2\nh2\nonce\nh3\ncleared\n");
    EXPECT_EQ(countOf(r.log, "Click at: 120,120\n"), 3) << r.log;
    // Hotspots 6, 4 and 3 miss, 2 holds the point, and 1 is never tested.
    std::string tested = "Testing coordinates!160,160\n";
    EXPECT_NE(r.log.find("Click at: 160,160\n" + tested + tested + tested + tested +
                         "Click handler 2 activated!\nClick at: "),
              std::string::npos);
    EXPECT_NE(r.log.find("Click at: 120,120\nSDL Error Report: "), std::string::npos)
        << "the last click found no hotspot left to test";
    // Silent until the key, then one play of 0.3 s.
    std::vector<double> levels = loudnessPer100Ms(game.file("out.raw"));
    ASSERT_GE(levels.size(), 10u);
    EXPECT_LT(levels[0] + levels[1], 2.0);
    auto loud = std::count_if(levels.begin(), levels.end(), [](double l) { return l > 1000; });
    EXPECT_TRUE(loud >= 2 && loud <= 4) << loud;
}

} // namespace
