// The scene in a real window: developer keys scroll and toggle tile layers and
// write their debug lines, sprites ride on their tile layer, held keys repeat.
#include "vondSceneFixture.h"
#include "vondWindowRun.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr Uint32 GREY = 0x808080, WHITE = 0xFFFFFF, CYAN = 0x00FFFF, ORANGE = 0xFF8000;

// A 30 x 20 map of tileset `tileset`; cells where tile() is negative are not written at all.
std::string mapText(int tileset, const std::string& picture, int number,
                    std::function<int(int, int)> tile) {
    std::string t = "KAVMAP1\nTILESET\nid " + std::to_string(tileset) + "\nimage " + picture +
                    "\nkey 255 0 255\nMAP\nid " + std::to_string(number) +
                    "\nwidth 30\nheight 20\ncells\n";
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            if (tile(x, y) >= 0)
                t += std::to_string(x) + " " + std::to_string(y) + "\ntile " +
                     std::to_string(tile(x, y)) + "\ncollide 0\nattribute 0\n";
    return t + "\n";
}

// Layer 0: a 4-colour diagonal map at pointer (2, 2); layer 1: one grey tile at
// cell (6, 3) over see-through cells; sprite layer 1: a white 8 x 8 sprite at
// cell (4, 4); layers 2 and 3: small pictures, hidden until their keys.
void buildScene(const GameDir& game) {
    writeSheet(game.file("tiles.bmp"), 128, 32, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00});
    writeSheet(game.file("grey.bmp"), 32, 32, {GREY});
    writeSheet(game.file("white.bmp"), 8, 8, {WHITE});
    writeSheet(game.file("cyan.bmp"), 16, 16, {CYAN});
    writeSheet(game.file("orange.bmp"), 16, 16, {ORANGE});
    game.write("ground.txt", mapText(0, "tiles.bmp", 1, [](int x, int y) { return (x + y) % 4; }));
    game.write("top.txt", mapText(1, "grey.bmp", 2, [](int x, int y) { return x == 6 && y == 3 ? 0 : -1; }));
    game.monkey(
        "loadMap(1, 'ground.txt')\n loadMap(2, 'top.txt')\n"
        "setLayerProperty(0, 1, 0)\n setTilemap(0, 1)\n setLPointer(0, 2, 2, 0, 0)\n"
        "setLayerProperty(1, 1, 1)\n setTilemap(1, 2)\n"
        "addImage(50, 'white.bmp')\n addImage(51, 'cyan.bmp')\n addImage(52, 'orange.bmp')\n"
        "addSprite(1, 0, 1, 50)\n placeSprite(1, 1, 4, 4, 0, 0)\n"
        "setLayerProperty(2, 0, 1)\n setLayerPic(2, 51)\n setLPointer(2, -10, -10, 0, 0)\n"
        "setLayerProperty(3, 0, 1)\n setLayerPic(3, 52)\n setLPointer(3, -11, -10, 0, 0)\n"
        "toggleLayer(0)\n toggleLayer(1)\n toggleSLayer(1)\n");
}

std::vector<std::string> debugLines(const std::string& log) {
    std::vector<std::string> out;
    for (const std::string& l : lines(log))
        if (l.rfind("Layer Debug: ", 0) == 0) out.push_back(l);
    return out;
}

// Pixels of the lower screen, where only tile layer 0 shows, that moved other than by (dx, dy).
int groundMismatches(SDL_Surface* now, SDL_Surface* before, int dx, int dy) {
    int bad = 0;
    for (int y = 200; y < 470; y += 11)
        for (int x = 0; x < 600; x += 13)
            bad += pixelRGB(now, x + dx, y + dy) != pixelRGB(before, x, y);
    return bad;
}

TEST(SceneWindow, DeveloperKeysScrollToggleAndReportTheTileLayers) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    buildScene(game);
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    std::vector<std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)>> shots;
    auto shot = [&](std::vector<const char*> keys) {
        for (const char* k : keys)
            w.key(k);
        shots.emplace_back(w.screenshot(), SDL_FreeSurface);
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
        shot({"Left", "Up", "Up", "w", "a", "5", "6", "1", "2", "3", "4", "7", "8"});
    ASSERT_NE(toggled, nullptr);
    EXPECT_EQ(pixelRGB(toggled, 300, 300), 0u);    // layer 0 hidden
    EXPECT_EQ(pixelRGB(toggled, 64, 64), WHITE);   // sprite layer 1 stays shown
    EXPECT_EQ(pixelRGB(toggled, 200, 100), 0u);    // layer 1 hidden
    EXPECT_EQ(pixelRGB(toggled, 320, 320), CYAN);  // layers 2 and 3 shown
    EXPECT_EQ(pixelRGB(toggled, 352, 320), ORANGE);
    EXPECT_EQ(pixelRGB(toggled, 340, 320), 0u);

    SDL_Surface* again = shot({"1", "2", "3", "4"});
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(groundMismatches(again, start, 0, 0), 0); // scrolled back, shown again
    EXPECT_EQ(pixelRGB(again, 200, 100), GREY);
    EXPECT_EQ(pixelRGB(again, 320, 320), pixelRGB(start, 320, 320));
    w.key("q");
    GameRun r = w.wait();
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> expected = {
        "Layer Debug: xpos: 1 ypos: 1 xoff: 0 yoff: -30",
        "Layer Debug: xpos: 1 ypos: 1 xoff: 0 yoff: -26",
        "Layer Debug: xpos: -1 ypos: -1 xoff: -24 yoff: -24",
        "Layer Debug: xpos: 2 ypos: 2 xoff: 0 yoff: 0",
        "Layer Debug: xpos: 0 ypos: 0 xoff: 0 yoff: 0",
        "Layer Debug: xpos: -10 ypos: -10 xoff: 0 yoff: 0",
        "Layer Debug: xpos: -11 ypos: -10 xoff: 0 yoff: 0",
    };
    EXPECT_EQ(debugLines(r.log), expected) << r.log;
}

// A key acts at once, then not again until it has been held for more than
// 200 ms, then in every frame while it is held.
TEST(SceneWindow, HeldScrollKeyRepeatsOnlyAfter200Ms) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    buildScene(game);
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    for (int heldMs : {30, 1500}) {
        w.keyDown("d");
        pauseMs(heldMs);
        w.keyUp("d");
        w.key("6");
    }
    SDL_FreeSurface(w.screenshot()); // lets the queued keys be handled before quitting
    w.key("q");
    GameRun r = w.wait();
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> d = debugLines(r.log);
    ASSERT_EQ(d.size(), 2u) << r.log;
    EXPECT_EQ(d[0], "Layer Debug: xpos: -1 ypos: 0 xoff: -24 yoff: 0"); // one step of 8
    int px = 0, py = 0, ox = 0, oy = 0;
    ASSERT_EQ(std::sscanf(d[1].c_str(), "Layer Debug: xpos: %d ypos: %d xoff: %d yoff: %d", &px,
                          &py, &ox, &oy),
              4);
    int world = 32 * px - ox; // pixel shown at the left edge
    EXPECT_EQ(world % 8, 0);
    // The press itself, then at least three repeats (every frame after 200 ms;
    // frames are slow when the machine is busy).
    EXPECT_LE(world, -8 - 8 - 8 * 3) << d[1];
    EXPECT_EQ(py * 100 + oy, 0);
}

} // namespace
