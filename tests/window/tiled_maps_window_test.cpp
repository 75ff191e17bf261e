// Maps drawn in the Tiled editor (tests/tools/tiled), converted by
// tools/tiled2kavmap and drawn by the real engine in a real window, pixel for
// pixel as the hand-written map files that say the same: JSON and TMX, CSV,
// base64 and zlib data, tilesets in files and embedded, with and without the
// edge and tile properties, with empty cells.
#include "vondWindowRun.h"

namespace {

int countRGB(SDL_Surface* s, Uint32 rgb) {
    int n = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            n += pixelRGB(s, x, y) == rgb;
    return n;
}

using TiledMapsWindow = WindowTest;

TEST_F(TiledMapsWindow, ConvertedMapsDrawExactlyAsTheirHandWrittenEquivalents) {
    game.copyFrom(std::string(VOND_SOURCE_DIR) + "/tests/tools/tiled");
    // Converted, each with numbers of its own: a map file takes its map and
    // tileset numbers over, whatever loadMap is given.
    const std::vector<std::pair<std::string, int>> converted = {
        {"room-csv.tmx", 1},  {"room-csv.json", 1},  {"room-embedded.json", 1},
        {"room-zlib.tmx", 1}, {"room-zlib.json", 1}, {"room-base64.json", 2}};
    std::string loads = "loadMap(1, 'room.map') loadMap(2, 'room-plain.map')\n";
    std::string order = "order = {1, 2";
    for (size_t i = 0; i < converted.size(); ++i) {
        const std::string number = std::to_string(10 + i), out = "converted-" + number + ".map";
        ASSERT_TRUE(
            expectRuns({"python3", std::string(VOND_SOURCE_DIR) + "/tools/tiled2kavmap", "--map-id",
                        number, "--tileset-id", number, converted[i].first, out},
                       game.path()));
        loads += "loadMap(" + number + ", '" + out + "')\n";
        order += ", " + number;
    }
    // A sky behind, the map on a transparent tilemap layer over it, scrolled
    // by whole tiles and pixels so that the edge mode and the offsets show.
    writeSheet(game.file("sky.bmp"), 640, 480, {0x1E3CC8});
    game.monkey("addImage(2000, 'sky.bmp')\n" + loads + order +
                "}\n"
                "setLayerProperty(0, 0, 0) setLayerPic(0, 2000) toggleLayer(0)\n"
                "setLayerProperty(1, 1, 1) toggleLayer(1)\n"
                "shown = 0\n"
                "function nextMap()\n"
                "  shown = shown + 1\n"
                "  setTilemap(1, order[shown]) setLPointer(1, -2, -1, -5, -9)\n"
                "  errorMsg('showing ' .. order[shown])\n"
                "end\n"
                "nextMap()\n"
                "newClickH(0, 0, 639, 479, 1, 'nextMap()')\n");
    ASSERT_TRUE(start());
    std::vector<Surface> shots;
    for (size_t i = 0; i < 2 + converted.size(); ++i) {
        if (i > 0) w->click(320, 240);
        ASSERT_TRUE(w->waitForLog("showing " + std::to_string(i < 2 ? i + 1 : 8 + i) + "\n"));
        shots.push_back(w->screenshot());
        ASSERT_TRUE(shots.back());
    }
    GameRun r = w->quit();
    EXPECT_EQ(r.log.find("Map file"), std::string::npos) << r.log; // no complaint of the reader
    EXPECT_EQ(r.log.find("Error loading tileset image"), std::string::npos) << r.log;

    // The hand-written maps show tiles, the sky through the key-coloured holes
    // and empty cells, and differ from each other: wrapping and the key show.
    EXPECT_GT(countRGB(shots[0].get(), 0x1E3CC8), 2000);
    EXPECT_GT(countRGB(shots[0].get(), 0x28C83C), 1000); // tile 0's colour
    EXPECT_GT(countRGB(shots[1].get(), 0xFF00FF),
              1000); // no transparent colour in Tiled: holes show
    EXPECT_GT(differingPixels(shots[0].get(), shots[1].get()), 0);
    for (size_t i = 0; i < converted.size(); ++i) {
        std::string where;
        EXPECT_EQ(differingPixels(shots[converted[i].second - 1].get(), shots[2 + i].get(), &where),
                  0)
            << converted[i].first << ": " << where;
    }
}

} // namespace
