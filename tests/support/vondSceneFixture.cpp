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

void SceneTest::TearDown() {
    vondError.close();
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
           "0 0\ntile 0\ncollide 0\nattribute " + std::to_string(firstAttribute) +
           "\n1 0\ntile 1\ncollide 1\nattribute 0\n"
           "0 1\ntile -1\ncollide 0\nattribute 0\n"
           "1 1\ntile 1\ncollide 0\nattribute 0\n\n";
}

Uint32 tileRGB(SDL_Surface* image, int x, int y) {
    return image != nullptr ? pixelRGB(image, x, y) : 0xFFFFFFFFu;
}
