// The scene's script functions in the real binary: images, maps, tile layers
// and sprites, with their results, log lines and the engine's fatal exits.
#include "vondSceneFixture.h"

namespace {

struct Case {
    const char* script;
    int status;
    std::string out;
    std::vector<std::string> log; // without the exit routine's two closing lines
};

void expectRun(const Case& c) {
    GameDir game;
    writeSheet(game.file("tiles.bmp"), 64, 32, {0xFF0000, 0x00FF00});
    game.write("map.txt", exampleMap("tiles.bmp", 0));
    GameRun r = game.runScript(c.script);
    EXPECT_EQ(r.status, c.status) << c.script << r.err;
    EXPECT_EQ(r.out, c.out) << c.script;
    std::vector<std::string> l = lines(r.log);
    ASSERT_GE(l.size(), 2u) << r.log;
    EXPECT_EQ(l.back(), "Exiting program.");
    l.resize(l.size() - 2);
    if (c.status != 0 && l.size() >= c.log.size()) // a fatal run: its last lines
        l.erase(l.begin(), l.end() - c.log.size());
    EXPECT_EQ(l, c.log) << c.script;
}

TEST(SceneScript, ImageMapAndLayerFunctionsReadTheirArgumentsAndRefuseBadNumbers) {
    expectRun({"addImage(5, 'tiles.bmp') addImage(5, 'tiles.bmp') addImage(70000, 'tiles.bmp')\n"
               "loadMap(2, 'map.txt') loadMap(300, 'map.txt') loadMap(3, 'missing.txt')\n"
               "setTilemap(0, 7) setTilemap(0, 999) setLPointer(9, 0, 3, 2, 5, 0)\n"
               "print(getLayerX(0), getLayerY(0))\n MoveLPointer(4, 1, -1, 0, 0)\n"
               "print(getLayerX(0, 99), getLayerY(0))\n print(getLayerX())\n"
               "print(getLayerX(4))\n print(getLayerY(-1))\n"
               "setLayerPic(7, 5) setLayerPic(0, 70000) setBlank(5, 1) exit(0)\n",
               0,
               "2\t2\n3\t1\n3\n0\n0\n",
               {"addImage: image 70000 is out of range", "loadMap: tilemap 300 is out of range",
                "Unable to open tilemap: missing.txt", "ERROR: Asked to use NULL tilemap: 7",
                "ERROR: Asked to use NULL tilemap: 999", "getLayerX: layer 4 is out of range",
                "getLayerY: layer -1 is out of range", "setLayerPic: layer 7 is out of range",
                "setLayerPic: image 70000 is out of range", "setBlank: tilemap 5 is not loaded"}});
}

// The flags replace the whole flag word and show in sprite moves: only a
// wrapping map on a tilemap layer wraps a sprite moved off its left edge.
TEST(SceneScript, MapFlagFunctionsDecideWhetherSpritesWrap) {
    std::vector<std::string> log = {"New Sprite ID: 1 with flags: 0", "Sprite: 1 flags: 0",
                                    "Placing sprite: 0 with flags: 0"};
    log.resize(9, "In move sprite function!");
    expectRun({"function move() moveSprite(0, 1, -2, 0, 0, 0) print(getSpriteX(0, 1)) end\n"
               "loadMap(2, 'map.txt') setLayerProperty(0, 1, 0) setTilemap(0, 2)\n"
               "addSprite(1, 0, 1, 5) placeSprite(1, 1, 1, 0, 5, 5)\n"
               "setBlank(2, 1) setWrap(9, 2, 1) move()\n setWrap(2, 0) move()\n"
               "setBlank(2, 1) setWrap(2, 1) move()\n setBlackEdge(2, 1) move()\n"
               "setWrap(1, 1) move()\n" // the file registered the same map as number 1
               "setLayerProperty(7, 4, 0, 0) move()\n" // layer 4 is layer 0, in picture mode
               "exit(0)\n",
               0, "1\n-1\n1\n-1\n1\n-1\n", log});
}

TEST(SceneScript, SpriteFunctionsPlaceQueryMoveAndDeleteBySlot) {
    expectRun(
        {"addSprite(7, 1, 3, 10, 11, 12)\n"
         "addSprite(263, 0, 1, 10)\n" // 263 as a byte is 7: a second template 7
         "addSprite(8, 0, 0) addSprite(9, 0, 1, 70000)\n"
         "print(placeSprite(7, 1, 5, 5, 0, 0))\n print(placeSprite(3, 7, 1, 6, 4, 2, 3))\n"
         "print(getSpriteX(1, 1), getSpriteY(1, 1))\n print(getSpriteX(257, 1))\n"
         "print(getSpriteX(3, 1))\n print(getSpriteY(3, 2))\n"
         "print(placeSprite(99, 1, 0, 0, 0, 0))\n print(placeSprite(7, 5, 0, 0, 0, 0))\n"
         "print(getSpriteX(0, 0))\n x = moveSprite(1, 1, 1, 0, 23, 0)\n"
         "print(x, getSpriteX(1, 1))\n delSprite(1, 1)\n print(getSpriteX(1, 1))\n"
         "print(placeSprite(7, 1, 0, 0, 0, 0))\n delSprite(0, 9)\n"
         "print(placeSprite(263, 1, 0, 0, 0, 0))\n" // templates are matched by the whole number
         "moveSprite(0, 0, 1, 1, 1, 1) toggleSLayer(4) toggleSLayer(8) exit(0)\n",
         0,
         "0\n1\n6\t4\n6\n0\n0\n0\n0\n0\nnil\t7\n0\n1\n0\n",
         {"New Sprite ID: 7 with flags: 1", "New Sprite ID: 7 with flags: 0",
          "addSprite: frame count 0 is out of range", "New Sprite ID: 9 with flags: 0",
          "Sprite: 7 flags: 1", "Placing sprite: 0 with flags: 1", "Sprite: 7 flags: 1",
          "Placing sprite: 1 with flags: 1",
          "Asked to get X on invalid sprite: 3 on sprite layer: 1",
          "Asked to get Y on invalid sprite: 3 on sprite layer: 2",
          "placeSprite: sprite layer 5 is out of range",
          "Asked to get X on invalid sprite: 0 on sprite layer: 0", "In move sprite function!",
          "Asked to get X on invalid sprite: 1 on sprite layer: 1", "Sprite: 7 flags: 1",
          "Placing sprite: 1 with flags: 1", "delSprite: sprite layer 9 is out of range",
          "moveSprite: sprite layer 0 is out of range"}});
}

TEST(SceneScript, FatalErrorsEndTheRunWithStatusOneAfterTheirLogLine) {
    const Case cases[] = {
        {"addImage(1, 'nofile.png')\nprint('not reached')\n",
         1,
         "",
         {"Unable to load image: nofile.png"}},
        {"addSprite(1, 0, 1, 0) placeSprite(1, 1, 0, 0, 0, 0) moveSprite(9, 1, 1, 0, 0, 0)\n"
         "print('not reached')\n",
         1,
         "",
         {"Asked to move a nonexistant sprite: 9"}},
        // Layer 1 is toggled twice and stays hidden; layer 2 is drawn in the first frame.
        {"setLayerPic(1, 66) setLayerPic(2, 77) toggleLayer(1) toggleLayer(5) toggleLayer(6)\n",
         1,
         "",
         {"Error: Layer asked to use NULL image: 77"}},
        {"newPicWin(0, 0, 0, 12)\nsetWinFlags(0, 16)\nprint('not reached')\n",
         1,
         "",
         {"Asked to use nonexistant picture: 12", "Setting flags on NULL picture!"}},
        // 256 sprites fill a sprite layer; the 257th is fatal.
        {"addSprite(1, 0, 1, 0)\n for i = 0, 255 do last = placeSprite(1, 2, i, 0, 0, 0) end\n"
         "print(last) placeSprite(1, 2, 0, 0, 0, 0) print('not reached')\n",
         1,
         "255\n",
         {"Placing sprite: 255 with flags: 0", "Sprite: 1 flags: 0",
          "Too many sprites on layer: 2"}},
    };
    for (const Case& c : cases)
        expectRun(c);
}

} // namespace
