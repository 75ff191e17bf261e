// Windows, hotspots and developer keys in a real window with real clicks and
// key presses: one script run per press, overlapping hotspots, a click that
// reaches a hotspot and then a radio panel, the window-0 keys and the sound key.
#include "vondTestAudio.h"
#include "vondTestPictures.h"
#include "vondWindowRun.h"

#include <gtest/gtest.h>

namespace {

constexpr Uint32 GREEN = 0x00FF00, BLUE = 0x0000FF, BLACK = 0, RED = 0xFF0000;

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

TEST(WindowsInAWindow, HotspotsRadioButtonsAndClearingTheSceneByClicks) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    writeButtonPicture(game, "sel.bmp", 0, 255, 0);
    writeButtonPicture(game, "unsel.bmp", 0, 0, 255);
    game.monkey("addFont(1, 'sel.bmp')\naddFont(2, 'unsel.bmp')\ncount = 0\n"
                "newClickH(100, 100, 199, 199, 1, \"count = count + 1 print('h1 ' .. count)\")\n"
                "newClickH(150, 150, 249, 249, 2, \"print('h2')\")\n"
                "newRadButton(5, 300, 100, 100, 50)\n"
                "setRadButtons(5, 2, 65281, 65282, 0, 0, 40, 0)\n"
                "newClickH(300, 100, 399, 149, 3, \"print('h3')\")\n"
                "newClickH(0, 0, 20, 20, 4, \"DestroyAll() print('cleared')\")\n"
                "newClickH(500, 400, 540, 440, 6, \"delClickH(6) print('once')\")\n");
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());

    w.mouseDown(120, 120); // held for many frames: one run
    pauseMs(600);
    w.mouseUp();
    w.click(120, 120);
    w.click(160, 160); // both hotspots hold it: the newer one runs alone
    pauseMs(200);

    SDL_Surface* before = w.screenshot();
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(pixelRGB(before, 310, 110), GREEN);
    EXPECT_EQ(pixelRGB(before, 350, 110), BLUE);
    EXPECT_EQ(pixelRGB(before, 300, 100), BLACK) << "the picture's key pixel";
    EXPECT_EQ(pixelRGB(before, 390, 140), BLACK) << "the panel is transparent";

    w.click(520, 420);
    w.click(520, 420); // deleted by its own first run
    w.click(345, 110); // hotspot 3, then the panel selects button 1
    SDL_Surface* after = screenshotWhen(w, 350, 110, GREEN, 2000);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(pixelRGB(after, 310, 110), BLUE);
    EXPECT_EQ(pixelRGB(after, 350, 110), GREEN);

    w.click(10, 10); // clears the scene
    pauseMs(200);
    w.click(120, 120);
    pauseMs(200);
    SDL_Surface* cleared = w.screenshot();
    ASSERT_NE(cleared, nullptr);
    EXPECT_EQ(pixelRGB(cleared, 350, 110), BLACK);

    w.key("q");
    GameRun r = w.wait();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "h1 1\nh1 2\nh2\nonce\nh3\ncleared\n");
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
    SDL_FreeSurface(before);
    SDL_FreeSurface(after);
    SDL_FreeSurface(cleared);
}

TEST(WindowsInAWindow, TextAndPictureWindowsChangedByScripts) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    SDL_Surface* font = makeFontPicture();
    saveBMP(font, game.file("font.bmp"));
    SDL_FreeSurface(font);
    writeButtonPicture(game, "pic.bmp", 0, 255, 0);
    SDL_Surface* keyed = solidSurface(32, 32, 0, 255, 0);
    SDL_Rect quarter = newRect(0, 0, 16, 16);
    SDL_FillRect(keyed, &quarter, SDL_MapRGB(keyed->format, 255, 0, 255));
    saveBMP(keyed, game.file("keyed.bmp"));
    SDL_FreeSurface(keyed);
    game.monkey("addFont(0, 'font.bmp')\naddFont(1, 'pic.bmp')\n"
                "addString(3, 'AB')\n"
                "newTxtWin(1, 10, 10, 200, 80, 3)\n"
                "setTxtBD(1, 255)\n"
                "newTxtWin(2, 10, 200, 200, 80, 3)\n"
                "setTxtString(2, 'C')\n"
                "setWinFlags(2, 96)\n"
                "newPicWin(7, 300, 300, 65281)\n"
                "moveWinBy(7, 10, 20)\n"
                "newPicWin(8, 400, 300, 65281)\n"
                "winToggleHid(8)\n"
                "addImage(50, 'keyed.bmp')\n"
                "newPicWin(9, 450, 300, 50)\n"
                "setWinFlags(9, 16)\n"
                "newPicWin(10, 500, 300, 50)\n");
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    pauseMs(200);
    SDL_Surface* shot = w.screenshot();
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(pixelRGB(shot, 12, 12), RED);
    EXPECT_EQ(pixelRGB(shot, 20, 20), BLACK);
    EXPECT_EQ(pixelRGB(shot, 34, 34), glyphRGBOf('A'));
    EXPECT_EQ(pixelRGB(shot, 50, 34), glyphRGBOf('B'));
    EXPECT_EQ(pixelRGB(shot, 12, 202), BLACK) << "transparent border";
    EXPECT_EQ(pixelRGB(shot, 34, 224), glyphRGBOf('C'));
    EXPECT_EQ(pixelRGB(shot, 320, 330), GREEN);
    EXPECT_EQ(pixelRGB(shot, 305, 305), BLACK);
    EXPECT_EQ(pixelRGB(shot, 410, 310), BLACK) << "hidden";
    EXPECT_EQ(pixelRGB(shot, 455, 305), BLACK) << "the top-left colour made transparent";
    EXPECT_EQ(pixelRGB(shot, 470, 320), GREEN);
    EXPECT_EQ(pixelRGB(shot, 505, 305), 0xFF00FFu) << "the store image itself keeps no key";
    SDL_FreeSurface(shot);
    w.key("q");
    EXPECT_EQ(w.wait().status, 0);
}

TEST(WindowsInAWindow, KeysIloActOnWindowZeroAndPPlaysSoundZero) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    writeButtonPicture(game, "pic.bmp", 0, 255, 0);
    writeSineWav(game.file("beep.wav"), 440, 0.3);
    game.monkey("addFont(1, 'pic.bmp')\nnewPicWin(0, 100, 100, 65281)\nloadSound(0, 'beep.wav')\n");
    WindowGame w(x, game,
                 {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", game.file("out.raw")}});
    ASSERT_TRUE(w.hasWindow());
    pauseMs(300);

    w.key("i");
    SDL_Surface* hidden = w.screenshot();
    w.key("i");
    SDL_Surface* shown = w.screenshot();
    w.key("p");
    // 128 x 32 pixels at 128 and 32 pixels per second, whole pixels only: about a second or two.
    w.key("l");
    SDL_Surface* moved = screenshotWhen(w, 100 + 128 + 31, 100 + 32 + 31, GREEN, 5000);
    w.key("o");
    SDL_FreeSurface(screenshotWhen(w, 101, 101, GREEN, 5000));
    pauseMs(500); // the last whole-pixel step
    SDL_Surface* back = w.screenshot();
    w.key("q");
    GameRun r = w.wait();

    ASSERT_TRUE(hidden && shown && moved && back);
    EXPECT_EQ(pixelRGB(hidden, 110, 110), BLACK);
    EXPECT_EQ(pixelRGB(shown, 110, 110), GREEN);
    EXPECT_EQ(pixelRGB(moved, 110, 110), BLACK);
    EXPECT_EQ(pixelRGB(moved, 110 + 128, 110 + 32), GREEN);
    EXPECT_EQ(pixelRGB(moved, 100 + 128 + 31, 100 + 32 + 31), GREEN);
    EXPECT_EQ(pixelRGB(moved, 100 + 128 + 32, 100 + 32 + 31), BLACK);
    EXPECT_EQ(pixelRGB(back, 110, 110), GREEN);
    EXPECT_EQ(pixelRGB(back, 131, 131), GREEN);
    EXPECT_EQ(pixelRGB(back, 132, 131), BLACK);
    EXPECT_EQ(pixelRGB(back, 131, 132), BLACK);
    EXPECT_EQ(pixelRGB(back, 110 + 128, 110 + 32), BLACK);
    EXPECT_NE(r.log.find("Timed move called on window: 0 to: 128,32\n"), std::string::npos);
    EXPECT_NE(r.log.find("Timed move called on window: 0 to: -128,-32\n"), std::string::npos);
    SDL_FreeSurface(hidden);
    SDL_FreeSurface(shown);
    SDL_FreeSurface(moved);
    SDL_FreeSurface(back);

    // Silent until the key, then the tone.
    std::vector<double> levels = loudnessPer100Ms(game.file("out.raw"));
    ASSERT_GE(levels.size(), 10u);
    EXPECT_LT(levels[0], 1.0);
    EXPECT_LT(levels[1], 1.0);
    int loud = 0;
    for (double level : levels)
        loud += level > 1000;
    EXPECT_GE(loud, 2);
    EXPECT_LE(loud, 4) << "one play of 0.3 s";
}

} // namespace
