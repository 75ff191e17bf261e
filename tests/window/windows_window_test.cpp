// Windows, hotspots and developer keys in a real window with real clicks and
// key presses: the window-0 keys and the sound key, one script run per press,
// overlapping hotspots, a click that reaches a hotspot and then a radio panel,
// and the close button, which ends the program as q does.
#include "vondTestAudio.h"
#include "vondWindowRun.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

constexpr Uint32 GREEN = 0x00FF00, BLUE = 0x0000FF, BLACK = 0;
constexpr off_t AUDIO_BYTES_PER_SECOND = 44100 * 4; // the disk driver: 16-bit stereo

off_t sizeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

// Window 0 is a 32 x 32 green picture; true when its corners are at (x, y) and (x + 31, y + 31).
auto windowZeroAt(int x, int y) {
    return [x, y](SDL_Surface* s) {
        return pixelRGB(s, x, y) == GREEN && pixelRGB(s, x + 31, y + 31) == GREEN &&
               pixelRGB(s, x + 32, y + 31) == BLACK && pixelRGB(s, x + 31, y + 32) == BLACK &&
               (x == 100 || pixelRGB(s, 110, 310) == BLACK);
    };
}

using WindowsInAWindow = WindowTest;

TEST_F(WindowsInAWindow, DeveloperKeysHotspotsRadioButtonsAndClearingTheScene) {
    writeSheet(game.file("sel.bmp"), 32, 32, {GREEN});
    writeSheet(game.file("unsel.bmp"), 32, 32, {BLUE});
    writeSineWav(game.file("beep.wav"), 440, 0.3);
    game.monkey("addImage(1, 'sel.bmp')\naddImage(2, 'unsel.bmp')\ncount = 0\n"
                "newPicWin(0, 100, 300, 1)\nloadSound(0, 'beep.wav')\n"
                "newClickH(100, 100, 199, 199, 1, \"count = count + 1 print('h1 ' .. count)\")\n"
                "newClickH(150, 150, 249, 249, 2, \"print('h2')\")\n"
                "newRadButton(5, 300, 100, 100, 50)\nsetRadButtons(5, 2, 1, 2, 0, 0, 40, 0)\n"
                "newClickH(300, 100, 399, 149, 3, \"print('h3')\")\n"
                "newClickH(0, 0, 20, 20, 4, \"DestroyAll() print('cleared')\")\n"
                "newClickH(500, 400, 540, 440, 6, \"delClickH(6) print('once')\")\n");
    const std::string audio = game.file("out.raw");
    ASSERT_TRUE(start({{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", audio}}));
    // i hides and shows window 0; p plays sound 0 once 200 ms of silence are on
    // disk; l and o move window 0 by 128 x 32 pixels at 128 and 32 pixels per
    // second and back.
    w->waitForScreen("window 0", windowZeroAt(100, 300));
    w->key("i");
    w->waitForScreen("window 0 hidden",
                     [](SDL_Surface* s) { return pixelRGB(s, 110, 310) == BLACK; });
    w->key("i");
    EXPECT_TRUE(eventually([&] { return sizeOf(audio) >= AUDIO_BYTES_PER_SECOND / 5; }));
    w->key("p");
    const off_t soundStart = sizeOf(audio);
    w->key("l");
    // A button held down while the window slides: pressed again every frame, it runs once.
    w->mouseDown(120, 120);
    w->waitForScreen("window 0 moved by 128 x 32", windowZeroAt(228, 332));
    w->mouseUp();
    w->key("o");
    w->waitForScreen("window 0 back", windowZeroAt(100, 300));
    w->click(120, 120);
    w->click(160, 160); // both hotspots hold it: the newer one runs alone
    Surface before = w->screenshot();
    w->click(520, 420);
    w->click(520, 420); // deleted by its own first run
    w->click(345, 110); // hotspot 3, then the panel selects button 1
    Surface after = w->waitForScreen("button 1 selected",
                                     [](SDL_Surface* s) { return pixelRGB(s, 350, 110) == GREEN; });
    w->click(10, 10); // clears the scene
    w->click(120, 120);
    // The sound and a good second of audio after it are on disk.
    EXPECT_TRUE(eventually([&] { return sizeOf(audio) >= soundStart + AUDIO_BYTES_PER_SECOND; }));
    w->closeWindow();
    GameRun r = w->wait();

    ASSERT_TRUE(before && after);
    EXPECT_TRUE(pixelRGB(before, 310, 110) == GREEN && pixelRGB(before, 350, 110) == BLUE);
    EXPECT_TRUE(pixelRGB(after, 310, 110) == BLUE && pixelRGB(after, 350, 110) == GREEN);
    expectExit(r);
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
    std::vector<double> levels = loudnessPer100Ms(audio);
    ASSERT_GE(levels.size(), 10u);
    EXPECT_LT(levels[0] + levels[1], 2.0);
    auto loud = std::count_if(levels.begin(), levels.end(), [](double l) { return l > 1000; });
    EXPECT_TRUE(loud >= 2 && loud <= 4) << loud;
}

} // namespace
