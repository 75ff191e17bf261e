// The scene's script functions in the real binary: images, maps, tile layers
// and sprites, with their results, log lines and fatal exits.
#include "vondPNG.h"
#include "vondRun.h"
#include "vondSceneFixture.h"

#include <gtest/gtest.h>

namespace {

// The log without the two closing lines of the exit routine.
std::vector<std::string> bodyLines(const std::string& log) {
    std::vector<std::string> l = lines(log);
    EXPECT_GE(l.size(), 2u) << log;
    if (l.size() >= 2) {
        EXPECT_EQ(l.back(), "Exiting program.");
        l.resize(l.size() - 2);
    }
    return l;
}

void writeTiles(const GameDir& game) {
    const Uint32 colours[2] = {0xFF0000, 0x00FF00};
    SDL_Surface* sheet = tileSheet(64, 32, colours, 2);
    ASSERT_TRUE(writePNG(sheet, game.file("tiles.png")));
    SDL_FreeSurface(sheet);
}

TEST(SceneScript, ImageMapAndLayerFunctionsReadTheirArgumentsAndRefuseBadNumbers) {
    GameDir game;
    writeTiles(game);
    game.write("map.txt", exampleMap("tiles.png", 0));
    game.monkey("addImage(5, 'tiles.png')\n"
                "addImage(5, 'tiles.png')\n" // replacing an image is allowed
                "addImage(70000, 'tiles.png')\n"
                "loadMap(2, 'map.txt')\n"
                "loadMap(300, 'map.txt')\n"
                "loadMap(3, 'missing.txt')\n"
                "setTilemap(0, 7)\n"
                "setTilemap(0, 999)\n"
                "setLPointer(9, 0, 3, 2, 5, 0)\n"
                "print(getLayerX(0), getLayerY(0))\n"
                "MoveLPointer(4, 1, -1, 0, 0)\n"
                "print(getLayerX(0, 99), getLayerY(0))\n"
                "print(getLayerX())\n"
                "print(getLayerX(4))\n"
                "print(getLayerY(-1))\n"
                "setLayerPic(7, 5)\n"
                "setLayerPic(0, 70000)\n"
                "setBlank(5, 1)\n"
                "exit(0)\n");
    GameRun r = game.run();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2\t2\n3\t1\n3\n0\n0\n");
    std::vector<std::string> expected = {
        "addImage: image 70000 is out of range",    "loadMap: tilemap 300 is out of range",
        "Unable to open tilemap: missing.txt",      "ERROR: Asked to use NULL tilemap: 7",
        "setTilemap: tilemap 999 is out of range",  "getLayerX: layer 4 is out of range",
        "getLayerY: layer -1 is out of range",      "setLayerPic: layer 7 is out of range",
        "setLayerPic: image 70000 is out of range", "setBlank: tilemap 5 is not loaded",
    };
    EXPECT_EQ(bodyLines(r.log), expected);
}

// The map flags show in sprite moves: only a wrapping map on a tilemap layer wraps.
TEST(SceneScript, MapFlagFunctionsReplaceTheWholeFlagWord) {
    GameDir game;
    writeTiles(game);
    game.write("map.txt", exampleMap("tiles.png", 0));
    game.monkey("loadMap(2, 'map.txt')\n"
                "setLayerProperty(0, 1, 0)\n"
                "setTilemap(0, 2)\n"
                "addSprite(1, 0, 1, 5)\n"
                "placeSprite(1, 1, 1, 0, 5, 5)\n"
                "setBlank(2, 1)\n"
                "setWrap(9, 2, 1)\n"
                "moveSprite(0, 1, -2, 0, 0, 0)\n print(getSpriteX(0, 1))\n"
                "setWrap(2, 0)\n"
                "moveSprite(0, 1, -2, 0, 0, 0)\n print(getSpriteX(0, 1))\n"
                "setBlank(2, 1)\n setWrap(2, 1)\n"
                "moveSprite(0, 1, -2, 0, 0, 0)\n print(getSpriteX(0, 1))\n"
                "setBlackEdge(2, 1)\n"
                "moveSprite(0, 1, -2, 0, 0, 0)\n print(getSpriteX(0, 1))\n"
                "setWrap(1, 1)\n" // the file registered the same map as number 1
                "moveSprite(0, 1, -2, 0, 0, 0)\n print(getSpriteX(0, 1))\n"
                "setLayerProperty(7, 4, 0, 0)\n" // layer 4 is layer 0, back in picture mode
                "moveSprite(0, 1, -2, 0, 0, 0)\n print(getSpriteX(0, 1))\n"
                "exit(0)\n");
    GameRun r = game.run();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1\n-1\n1\n-1\n1\n-1\n");
    std::vector<std::string> l = bodyLines(r.log);
    ASSERT_EQ(l.size(), 9u) << r.log;
    EXPECT_EQ(l[0], "New Sprite ID: 1 with flags: 0");
    EXPECT_EQ(l[1], "Sprite: 1 flags: 0");
    EXPECT_EQ(l[2], "Placing sprite: 0 with flags: 0");
    for (size_t i = 3; i < l.size(); ++i)
        EXPECT_EQ(l[i], "In move sprite function!");
}

TEST(SceneScript, SpriteFunctionsPlaceQueryMoveAndDeleteBySlot) {
    GameDir game;
    game.monkey("addSprite(7, 1, 3, 10, 11, 12)\n"
                "addSprite(263, 0, 1, 10)\n" // 263 as a byte is 7: a second template 7
                "addSprite(8, 0, 0)\n"
                "addSprite(9, 0, 1, 70000)\n"
                "print(placeSprite(7, 1, 5, 5, 0, 0))\n"
                "print(placeSprite(3, 7, 1, 6, 4, 2, 3))\n"
                "print(getSpriteX(1, 1), getSpriteY(1, 1))\n"
                "print(getSpriteX(257, 1))\n"
                "print(getSpriteX(3, 1))\n"
                "print(getSpriteY(3, 2))\n"
                "print(placeSprite(99, 1, 0, 0, 0, 0))\n"
                "print(placeSprite(7, 5, 0, 0, 0, 0))\n"
                "print(getSpriteX(0, 0))\n"
                "x = moveSprite(1, 1, 1, 0, 23, 0)\n"
                "print(x, getSpriteX(1, 1))\n"
                "delSprite(1, 1)\n"
                "print(getSpriteX(1, 1))\n"
                "print(placeSprite(7, 1, 0, 0, 0, 0))\n"
                "delSprite(0, 9)\n"
                "moveSprite(0, 0, 1, 1, 1, 1)\n"
                "toggleSLayer(4)\n toggleSLayer(8)\n"
                "exit(0)\n");
    GameRun r = game.run();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0\n1\n6\t4\n6\n0\n0\n0\n0\n0\nnil\t7\n0\n1\n");
    std::vector<std::string> expected = {
        "New Sprite ID: 7 with flags: 1",
        "New Sprite ID: 7 with flags: 0",
        "addSprite: frame count 0 is out of range",
        "addSprite: image 70000 is out of range",
        "New Sprite ID: 9 with flags: 0",
        "Sprite: 7 flags: 1",
        "Placing sprite: 0 with flags: 1",
        "Sprite: 7 flags: 1",
        "Placing sprite: 1 with flags: 1",
        "Asked to get X on invalid sprite: 3 on sprite layer: 1",
        "Asked to get Y on invalid sprite: 3 on sprite layer: 2",
        "placeSprite: sprite layer 5 is out of range",
        "getSpriteX: sprite layer 0 is out of range",
        "In move sprite function!",
        "Asked to get X on invalid sprite: 1 on sprite layer: 1",
        "Sprite: 7 flags: 1",
        "Placing sprite: 1 with flags: 1",
        "delSprite: sprite layer 9 is out of range",
        "moveSprite: sprite layer 0 is out of range",
    };
    EXPECT_EQ(bodyLines(r.log), expected);
}

TEST(SceneScript, FatalErrorsEndTheRunWithStatusOneAfterTheirLogLine) {
    struct Case {
        const char* script;
        std::string lastLine;
    };
    const Case cases[] = {
        {"addImage(1, 'nofile.png')\nprint('not reached')\n", "Unable to load image: nofile.png"},
        {"addSprite(1, 0, 1, 0)\nplaceSprite(1, 1, 0, 0, 0, 0)\nmoveSprite(9, 1, 1, 0, 0, 0)\n"
         "print('not reached')\n",
         "Asked to move a nonexistant sprite: 9"},
        // Layer 1 is toggled twice and stays hidden; layer 2 is drawn in the first frame.
        {"setLayerPic(1, 66)\nsetLayerPic(2, 77)\ntoggleLayer(1)\ntoggleLayer(5)\ntoggleLayer(6)\n",
         "Error: Layer asked to use NULL image: 77"},
    };
    for (const Case& c : cases) {
        GameDir game;
        game.monkey(c.script);
        GameRun r = game.run();
        EXPECT_EQ(r.status, 1) << c.script << r.err;
        EXPECT_EQ(r.out, "");
        std::vector<std::string> l = bodyLines(r.log);
        ASSERT_FALSE(l.empty()) << c.script;
        EXPECT_EQ(l.back(), c.lastLine);
    }
}

TEST(SceneScript, AFullSpriteLayerEndsTheRunWithStatusOne) {
    GameDir game;
    game.monkey("addSprite(1, 0, 1, 0)\n"
                "local i = 0\n"
                "while i < 256 do last = placeSprite(1, 2, i, 0, 0, 0)\n i = i + 1\n end\n"
                "print(last)\n"
                "placeSprite(1, 2, 0, 0, 0, 0)\n"
                "print('not reached')\n");
    GameRun r = game.run();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "255\n");
    std::vector<std::string> l = bodyLines(r.log);
    int placed = 0;
    for (const std::string& line : l)
        placed += line.rfind("Placing sprite: ", 0) == 0;
    EXPECT_EQ(placed, 256);
    ASSERT_GE(l.size(), 3u);
    EXPECT_EQ(l[l.size() - 3], "Placing sprite: 255 with flags: 0");
    EXPECT_EQ(l[l.size() - 2], "Sprite: 1 flags: 0");
    EXPECT_EQ(l.back(), "Too many sprites on layer: 2");
}

} // namespace
