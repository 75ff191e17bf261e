// In-process scene tests: a scratch directory for pictures and map files, the
// error log redirected into it, and the stores emptied before and after.
#pragma once

#include "vondRun.h"
#include "vondStores.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Colours of tiles 0 to 3 of SceneTest::makeMap's tileset, as 0xRRGGBB.
extern const Uint32 SCENE_COLOURS[4];

// The 2 x 2 example map as tilemap 1 with tileset 0: cell (0, 0) tile 0 with the
// given attribute, (1, 0) tile 1 blocked, (0, 1) empty, (1, 1) tile 1.
std::string exampleMap(const std::string& picture, int firstAttribute);

// Text of a w x h map `number` drawn with tileset `tileset` (picture, key colour
// "R G B"): tile(x, y) per cell (-1 empty, below -1 not written), the first
// cell's attribute as given.
std::string mapText(int tileset, const std::string& picture, int number, int w, int h,
                    int attribute, std::function<int(int, int)> tile,
                    const std::string& key = "255 0 255");

// The 640 x 480 display, opened on first use.
SDL_Surface* displaySurface();

// The one interpreter (game_state) opened with the engine's script functions,
// as the game opens it, to drive gfx by script; when it goes, gfx's scene and
// timed events are cleared and the interpreter closed.
struct ScriptedEngine {
    ScriptedEngine();
    ~ScriptedEngine();
    void run(const std::string& lua); // a chunk that fails fails the test
    double number(const char* global);
    std::string text(const char* global);
};

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::vector<std::string> logLines(); // the error log so far
    // Reads map text from a file as loadMap does; the map is held until TearDown.
    KAV_Tilemap* read(const std::string& text, const std::string& name = "map.txt");
    // Holds a new map (taking over its maker's reference) until TearDown.
    KAV_Tilemap* keep(KAV_Tilemap* map);
    // mapText's map read with tileset 0: tiles SCENE_COLOURS.
    KAV_Tilemap* makeMap(int number, int w, int h, int attribute,
                         std::function<int(int, int)> tile);
    GameDir dir;
    std::vector<vondRef<KAV_Tilemap>> maps;
};
