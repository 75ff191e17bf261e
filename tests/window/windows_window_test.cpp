// Windows, hotspots and developer keys in a real window with real clicks and
// key presses: the window-0 keys and the sound key, one script run per press,
// overlapping hotspots, and a click that reaches a hotspot and then a radio panel.
#include "vondTestAudio.h"
#include "vondTestPictures.h"
#include "vondWindowRun.h"

#include <gtest/gtest.h>

namespace {

constexpr Uint32 GREEN = 0x00FF00, BLUE = 0x0000FF, BLACK = 0;

// A 32 x 32 picture of one colour whose top-left pixel is magenta: loaded with
// addFont, whose key leaves only that pixel out.
void writeButtonPicture(const GameDir& game, const std::string& name, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* s = solidSurface(32, 32, r, g, b);
    SDL_Rect corner = newRect(0, 0, 1, 1);
    SDL_FillRect(s, &corner, SDL_MapRGB(s->format, 255, 0, 255));
    saveBMP(s, game.file(name));
    SDL_FreeSurface(s);
}

// Screenshots until pixel (x, y) has the colour, for at most ms; the last one.
SDL_Surface* screenshotWhen(WindowGame& w, int x, int y, Uint32 rgb, int ms) {
    SDL_Surface* shot = nullptr;
    for (int waited = 0; waited <= ms; waited += 250) {
        SDL_FreeSurface(shot);
        shot = w.screenshot();
        if (shot == nullptr || pixelRGB(shot, x, y) == rgb) break;
        pauseMs(250);
    }
    return shot;
}

TEST(WindowsInAWindow, DeveloperKeysHotspotsRadioButtonsAndClearingTheScene) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    writeButtonPicture(game, "sel.bmp", 0, 255, 0);
    writeButtonPicture(game, "unsel.bmp", 0, 0, 255);
    writeSineWav(game.file("beep.wav"), 440, 0.3);
    game.monkey("addFont(1, 'sel.bmp')\naddFont(2, 'unsel.bmp')\ncount = 0\n"
                "newPicWin(0, 100, 300, 65281)\nloadSound(0, 'beep.wav')\n"
                "newClickH(100, 100, 199, 199, 1, \"count = count + 1 print('h1 ' .. count)\")\n"
                "newClickH(150, 150, 249, 249, 2, \"print('h2')\")\n"
                "newRadButton(5, 300, 100, 100, 50)\n"
                "setRadButtons(5, 2, 65281, 65282, 0, 0, 40, 0)\n"
                "newClickH(300, 100, 399, 149, 3, \"print('h3')\")\n"
                "newClickH(0, 0, 20, 20, 4, \"DestroyAll() print('cleared')\")\n"
                "newClickH(500, 400, 540, 440, 6, \"delClickH(6) print('once')\")\n");
    WindowGame w(x, game, {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", game.file("out.raw")}});
    ASSERT_TRUE(w.hasWindow());
    pauseMs(300);

    // i hides and shows window 0, p plays sound 0, l and o move window 0 by
    // 128 x 32 pixels at 128 and 32 pixels per second and back.
    w.key("i");
    SDL_Surface* hidden = w.screenshot();
    w.key("i");
    w.key("p");
    w.key("l");
    SDL_Surface* moved = screenshotWhen(w, 100 + 128 + 31, 300 + 32 + 31, GREEN, 5000);
    w.key("o");
    SDL_FreeSurface(screenshotWhen(w, 101, 301, GREEN, 5000));
    pauseMs(500); // the last whole-pixel step

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
    SDL_Surface* cleared = w.screenshot();
    w.key("q");
    GameRun r = w.wait();

    ASSERT_TRUE(hidden && moved && before && after && cleared);
    const struct { SDL_Surface* shot; int x, y; Uint32 rgb; const char* why; } pixels[] = {
        {hidden, 110, 310, BLACK, "hidden"},
        {moved, 110, 310, BLACK, "moved away"},
        {moved, 100 + 128 + 31, 300 + 32 + 31, GREEN, "moved"},
        {moved, 100 + 128 + 32, 300 + 32 + 31, BLACK, "moved exactly"},
        {before, 131, 331, GREEN, "back"},
        {before, 132, 331, BLACK, "back exactly"},
        {before, 131, 332, BLACK, "back exactly"},
        {before, 310, 110, GREEN, "selected"},
        {before, 350, 110, BLUE, "unselected"},
        {before, 300, 100, BLACK, "the picture's key pixel"},
        {before, 390, 140, BLACK, "the panel is transparent"},
        {after, 310, 110, BLUE, "selection moved"},
        {after, 350, 110, GREEN, "selection moved"},
        {cleared, 350, 110, BLACK, "cleared"},
        {cleared, 110, 310, BLACK, "cleared"},
    };
    for (auto p : pixels)
        EXPECT_EQ(pixelRGB(p.shot, p.x, p.y), p.rgb) << p.why << " at " << p.x << "," << p.y;
    for (SDL_Surface* s : {hidden, moved, before, after, cleared})
        SDL_FreeSurface(s);

    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "h1 1\nh1 2\nh2\nonce\nh3\ncleared\n");
    EXPECT_NE(r.log.find("Timed move called on window: 0 to: 128,32\n"), std::string::npos);
    EXPECT_NE(r.log.find("Timed move called on window: 0 to: -128,-32\n"), std::string::npos);
    EXPECT_EQ(countOf(r.log, "Click at: 120,120\n"), 3) << r.log;
    // Hotspots 6, 4 and 3 miss, 2 holds the point, and 1 is never tested.
    EXPECT_NE(r.log.find("Click at: 160,160\nTesting coordinates!160,160\nTesting coordinates!160,160\n"
                         "Testing coordinates!160,160\nTesting coordinates!160,160\n"
                         "Click handler 2 activated!\nClick at: "),
              std::string::npos)
        << r.log;
    EXPECT_NE(r.log.find("Click at: 120,120\nSDL Error Report: "), std::string::npos)
        << "the last click found no hotspot left to test";
    EXPECT_EQ(r.err.find("ERROR"), std::string::npos) << r.err;

    // Silent until the key, then one play of 0.3 s.
    std::vector<double> levels = loudnessPer100Ms(game.file("out.raw"));
    ASSERT_GE(levels.size(), 10u);
    EXPECT_LT(levels[0] + levels[1], 2.0);
    int loud = 0;
    for (double level : levels)
        loud += level > 1000;
    EXPECT_GE(loud, 2);
    EXPECT_LE(loud, 4);
}

} // namespace
