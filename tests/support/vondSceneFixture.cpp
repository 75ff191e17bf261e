#include "vondSceneFixture.h"

#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondStores.h"

void SceneTest::SetUp() {
    vondClearStores();
    vondError.close();
    vondError.clear();
    vondError.open(dir.file("vonderror.log"), std::ios::out | std::ios::trunc);
}

const Uint32 SCENE_COLOURS[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};

void SceneTest::TearDown() {
    vondError.close();
    for (auto* m : maps)
        delete m;
    maps.clear();
    // The program keeps its resources to the end; a test releases what it made.
    for (auto*& image : vondImageStore) {
        SDL_FreeSurface(image);
        image = nullptr;
    }
    for (auto*& tileset : KAV_TilesetStore) {
        delete tileset;
        tileset = nullptr;
    }
    vondClearStores();
}

std::vector<std::string> SceneTest::logLines() {
    vondError.flush();
    return lines(dir.read("vonderror.log"));
}

std::string SceneTest::tilesetPNG(const std::string& name, int w, int h,
                                  std::vector<Uint32> colours) {
    SDL_Surface* sheet = tileSheet(w, h, colours.data(), static_cast<int>(colours.size()));
    std::string path = dir.file(name);
    EXPECT_TRUE(writePNG(sheet, path));
    SDL_FreeSurface(sheet);
    return path;
}

std::string exampleMap(const std::string& picture, int firstAttribute) {
    return "KAVMAP1\nTILESET\nid 0\nimage " + picture +
           "\nkey 255 0 255\nMAP\nid 1\nwidth 2\nheight 2\ncells\n"
           "0 0\ntile 0\ncollide 0\nattribute " +
           std::to_string(firstAttribute) +
           "\n1 0\ntile 1\ncollide 1\nattribute 0\n"
           "0 1\ntile -1\ncollide 0\nattribute 0\n"
           "1 1\ntile 1\ncollide 0\nattribute 0\n\n";
}

Uint32 tileRGB(SDL_Surface* image, int x, int y) {
    return image != nullptr ? pixelRGB(image, x, y) : 0xFFFFFFFFu;
}

KAV_Tilemap* SceneTest::makeMap(int number, int w, int h, int attribute,
                                std::function<int(int, int)> tile) {
    std::string picture = dir.file("scene-tiles.png");
    if (!dir.exists("scene-tiles.png"))
        tilesetPNG("scene-tiles.png", 128, 32,
                   std::vector<Uint32>(SCENE_COLOURS, SCENE_COLOURS + 4));
    std::string text = "KAVMAP1\nTILESET\nid 0\nimage " + picture + "\nkey 255 0 255\nMAP\nid " +
                       std::to_string(number) + "\nwidth " + std::to_string(w) + "\nheight " +
                       std::to_string(h) + "\ncells\n";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            text += std::to_string(x) + " " + std::to_string(y) + "\ntile " +
                    std::to_string(tile(x, y)) + "\ncollide 0\nattribute " +
                    std::to_string(x == 0 && y == 0 ? attribute : 0) + "\n";
    std::string name = "map" + std::to_string(number) + ".txt";
    dir.write(name, text + "\n");
    maps.push_back(new KAV_Tilemap(dir.file(name).c_str()));
    return maps.back();
}
