// The scene in a real window: developer keys turned off by the game change
// nothing; turned on again they scroll and toggle tile layers and write their
// debug lines, sprites ride on their tile layer, held keys repeat.
#include "vondSceneFixture.h"
#include "vondWindowRun.h"

#include <cstdio>

namespace {

constexpr Uint32 GREY = 0x808080, WHITE = 0xFFFFFF, CYAN = 0x00FFFF, ORANGE = 0xFF8000;

// Pixels of the lower screen, where only tile layer 0 shows, not moved by (dx, dy).
int groundMismatches(SDL_Surface* now, SDL_Surface* before, int dx, int dy) {
    int bad = 0;
    for (int y = 200; y < 470; y += 11)
        for (int x = 0; x < 600; x += 13)
            bad += pixelRGB(now, x + dx, y + dy) != pixelRGB(before, x, y);
    return bad;
}

// Layer 0: a 4-colour diagonal map at pointer (2, 2); layer 1: one grey tile at
// cell (6, 3) over see-through cells; sprite layer 1: a white 8 x 8 sprite at
// cell (4, 4); layers 2 and 3: small pictures, hidden until their keys; window
// 0: a white picture that i hides and l slides. The arrows scroll layer 0 and
// w/s/a/d layer 1 by 8 pixels; 5 to 8 write debug lines. The developer keys are
// off at start-up; hotspots turn them on (any number but 0 is on) and off, and
// one marks when the keys sent before its click have been handled (one event a
// frame, in order).
using SceneWindow = WindowTest;

TEST_F(SceneWindow, DeveloperKeysOffChangeNothingAndOnScrollToggleReportAndRepeatAfter200Ms) {
    writeSheet(game.file("tiles.bmp"), 128, 32, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00});
    writeSheet(game.file("grey.bmp"), 32, 32, {GREY});
    writeSheet(game.file("white.bmp"), 8, 8, {WHITE});
    writeSheet(game.file("cyan.bmp"), 16, 16, {CYAN});
    writeSheet(game.file("orange.bmp"), 16, 16, {ORANGE});
    writeSheet(game.file("window.bmp"), 64, 64, {WHITE});
    game.write("scripts/wantlab.lua", "errorMsg('developer script ran')\n");
    game.write("ground.txt",
               mapText(0, "tiles.bmp", 1, 30, 20, 0, [](int x, int y) { return (x + y) % 4; }));
    game.write("top.txt", mapText(1, "grey.bmp", 2, 30, 20, 0,
                                  [](int x, int y) { return x == 6 && y == 3 ? 0 : -2; }));
    game.monkey("loadMap(1, 'ground.txt') loadMap(2, 'top.txt')\n"
                "setLayerProperty(0, 1, 0) setTilemap(0, 1) setLPointer(0, 2, 2, 0, 0)\n"
                "setLayerProperty(1, 1, 1) setTilemap(1, 2)\n"
                "addImage(50, 'white.bmp') addImage(51, 'cyan.bmp') addImage(52, 'orange.bmp')\n"
                "addSprite(1, 0, 1, 50) placeSprite(1, 1, 4, 4, 0, 0)\n"
                "setLayerProperty(2, 0, 1) setLayerPic(2, 51) setLPointer(2, -10, -10, 0, 0)\n"
                "setLayerProperty(3, 0, 1) setLayerPic(3, 52) setLPointer(3, -11, -10, 0, 0)\n"
                "toggleLayer(0) toggleLayer(1) toggleSLayer(1)\n"
                "addImage(60, 'window.bmp') newPicWin(0, 560, 40, 60)\n"
                "newClickH(0, 0, 31, 31, 1, \"errorMsg('marker')\")\n"
                "setDeveloperKeys(0)\n"
                "newClickH(32, 0, 63, 31, 2, \"setDeveloperKeys(2) errorMsg('keys on')\")\n"
                "newClickH(64, 0, 95, 31, 3, \"setDeveloperKeys(0) errorMsg('keys off')\")\n");
    ASSERT_TRUE(start());
    Surface before = w->waitForScreen("the scene", [](SDL_Surface* s) {
        return pixelRGB(s, 590, 70) == WHITE && pixelRGB(s, 200, 100) == GREY;
    });
    // Every key of the table, in two rounds in which no key undoes another's work.
    const std::vector<std::vector<const char*>> rounds = {
        {"Left", "Up", "w", "a", "2", "3", "4", "l", "5", "6", "7", "8", "p", "BackSpace", "grave"},
        {"Right", "Down", "s", "d", "o", "1", "i", "q"}};
    for (size_t round = 0; round < rounds.size(); ++round) {
        for (const char* k : rounds[round])
            w->key(k);
        w->click(10, 10);
        ASSERT_TRUE(w->waitForLog("marker\n", round + 1));
        Surface after = w->grab();
        ASSERT_TRUE(before && after);
        std::string where;
        EXPECT_EQ(differingPixels(before.get(), after.get(), &where), 0) << round << where;
    }
    EXPECT_FALSE(game.exists("screenshot.bmp"));
    w->click(40, 10);
    ASSERT_TRUE(w->waitForLog("keys on\n"));
    std::vector<Surface> shots;
    auto shot = [&](std::vector<const char*> keys) {
        for (const char* k : keys)
            w->key(k);
        shots.push_back(w->screenshot());
        return shots.back().get();
    };
    SDL_Surface* start = shot({});
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(pixelRGB(start, 0, 0), 0xFF0000u); // cell (2, 2): tile (2 + 2) % 4 = 0, red
    EXPECT_EQ(pixelRGB(start, 64, 64), WHITE);   // the sprite at cell (4, 4)
    EXPECT_EQ(pixelRGB(start, 200, 100), GREY);  // layer 1's only tile
    EXPECT_NE(pixelRGB(start, 230, 100), GREY);  // its neighbours are see-through

    SDL_Surface* moved = shot({"Right", "Down", "Down", "5", "s", "d", "5", "6"});
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(groundMismatches(moved, start, 32, 6), 0); // layer 0: 32 right, 1 + 1 + 4 down
    EXPECT_EQ(pixelRGB(moved, 64 + 32, 64 + 6), WHITE);  // the sprite rides on layer 0
    EXPECT_EQ(pixelRGB(moved, 64 + 31, 64 + 6), pixelRGB(start, 63, 64));
    EXPECT_EQ(pixelRGB(moved, 192 + 8, 96 + 8), GREY); // layer 1: 8 right, 8 down
    EXPECT_NE(pixelRGB(moved, 192 + 7, 96 + 8), GREY);

    SDL_Surface* toggled =
        shot({"Left", "Up", "Up", "w", "a", "5", "6", "1", "2", "3", "4", "7", "8", "i"});
    ASSERT_NE(toggled, nullptr);
    EXPECT_EQ(pixelRGB(toggled, 300, 300), 0u); // layers 0 and 1 hidden
    EXPECT_EQ(pixelRGB(toggled, 200, 100), 0u);
    EXPECT_EQ(pixelRGB(toggled, 590, 70), 0u);    // window 0 hidden
    EXPECT_EQ(pixelRGB(toggled, 64, 64), WHITE);  // sprite layer 1 stays shown
    EXPECT_EQ(pixelRGB(toggled, 320, 320), CYAN); // layers 2 and 3 shown
    EXPECT_EQ(pixelRGB(toggled, 352, 320), ORANGE);
    EXPECT_EQ(pixelRGB(toggled, 340, 320), 0u);

    SDL_Surface* again = shot({"1", "2", "3", "4", "BackSpace"});
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(groundMismatches(again, start, 0, 0), 0); // scrolled back, shown again
    EXPECT_EQ(pixelRGB(again, 200, 100), GREY);
    EXPECT_EQ(pixelRGB(again, 320, 320), pixelRGB(start, 320, 320));

    // A short press acts once; a held key acts at once, then again every frame
    // once held for more than 200 ms: held here until layer 1's grey tile, at
    // x 200 to 231 after the press, has moved on by 32 pixels or more.
    w->key("d");
    w->key("6");
    w->waitForLog("Layer Debug: ", 8);
    w->keyDown("d");
    w->waitForScreen("layer 1 scrolled on by the held key",
                     [](SDL_Surface* s) { return pixelRGB(s, 231, 100) != GREY; });
    w->keyUp("d");
    w->key("6");
    w->click(70, 10); // off again: the close button still ends the game
    ASSERT_TRUE(w->waitForLog("keys off\n"));
    w->closeWindow();
    GameRun r = w->wait();
    expectExit(r);
    const std::string off = r.log.substr(0, r.log.find("keys on\n")), on = r.log.substr(off.size());
    for (const char* line : {"Layer Debug", "developer script ran", "Timed move called"})
        EXPECT_EQ(off.find(line), std::string::npos) << line << "\n" << r.log;
    EXPECT_NE(on.find("developer script ran\n"), std::string::npos) << r.log;
    std::vector<std::string> d;
    for (const std::string& l : lines(on))
        if (l.rfind("Layer Debug: ", 0) == 0) d.push_back(l);
    ASSERT_EQ(d.size(), 9u) << r.log;
    const std::vector<std::string> expected = {
        "Layer Debug: xpos: 1 ypos: 1 xoff: 0 yoff: -30",
        "Layer Debug: xpos: 1 ypos: 1 xoff: 0 yoff: -26",
        "Layer Debug: xpos: -1 ypos: -1 xoff: -24 yoff: -24",
        "Layer Debug: xpos: 2 ypos: 2 xoff: 0 yoff: 0",
        "Layer Debug: xpos: 0 ypos: 0 xoff: 0 yoff: 0",
        "Layer Debug: xpos: -10 ypos: -10 xoff: 0 yoff: 0",
        "Layer Debug: xpos: -11 ypos: -10 xoff: 0 yoff: 0",
        "Layer Debug: xpos: -1 ypos: 0 xoff: -24 yoff: 0", // one step of 8 after a short press
    };
    EXPECT_EQ(std::vector<std::string>(d.begin(), d.end() - 1), expected);
    int px = 0, py = 0, ox = 0, oy = 0;
    ASSERT_EQ(std::sscanf(d[8].c_str(), "Layer Debug: xpos: %d ypos: %d xoff: %d yoff: %d", &px,
                          &py, &ox, &oy),
              4);
    // The press itself, then at least three repeats (frames are slow when the machine is busy).
    EXPECT_EQ((32 * px - ox) % 8, 0);
    EXPECT_LE(32 * px - ox, -8 - 8 - 8 * 3) << d[8];
    EXPECT_EQ(32 * py - oy, 0);
}

} // namespace
