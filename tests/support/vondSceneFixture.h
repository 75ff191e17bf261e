// In-process scene tests: a scratch directory for pictures and map files, the
// error log redirected into it, and the stores emptied before and after.
#pragma once

#include "vondPNG.h"
#include "vondRun.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

class KAV_Tilemap;

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // What the engine has written to the error log so far, line by line.
    std::vector<std::string> logLines();
    // Writes an RGB PNG of w x h whose 32 x 32 squares take the colours in turn.
    std::string tilesetPNG(const std::string& name, int w, int h, std::vector<Uint32> colours);

    // A w x h map read from a file as tilemap `number`, tile(x, y) per cell (-1
    // empty), first-cell attribute as given, drawn with tileset 0: the four
    // tiles SCENE_COLOURS with the magenta key. Deleted by TearDown.
    KAV_Tilemap* makeMap(int number, int w, int h, int attribute,
                         std::function<int(int, int)> tile);

    GameDir dir;
    std::vector<KAV_Tilemap*> maps;
};

class KAV_Tilemap;
// Colours of tiles 0 to 3 of makeMap's tileset, as 0xRRGGBB.
extern const Uint32 SCENE_COLOURS[4];

// The 2 x 2 example map of 2 tiles: cell (0, 0) tile 0 with the given
// attribute, (1, 0) tile 1 blocked, (0, 1) empty, (1, 1) tile 1; tilemap 1.
std::string exampleMap(const std::string& picture, int firstAttribute);

// RGB of the pixel a KAV_Tile image shows at (x, y), or 0xFFFFFFFF without image.
Uint32 tileRGB(SDL_Surface* image, int x = 0, int y = 0);
