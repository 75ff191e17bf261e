// Map files: any bytes read as a map file by KAV_Tilemap (tileset pictures
// named in it are looked for in the scratch folder, which holds tiles.bmp),
// then every cell, and a border of cells outside, looked up as the tile layer
// and the sprite layers look them up, in each edge mode.
#include "KAV_Tilemap.h"
#include "vondFuzz.h"
#include "vondStores.h"

#include <algorithm>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vondFuzzStart(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vondFuzzWrite("map.txt", data, size);
    auto* map = new KAV_Tilemap("map.txt");
    KAV_StoreTilemap(0, map); // as loadMap does; the file may have stored it elsewhere too
    const int w = std::min(map->getWidth(), 40), h = std::min(map->getHeight(), 40);
    for (unsigned flags : {map->getFlags(), 0u, 1u, 2u, 4u}) {
        map->setFlags(flags);
        for (int y = -3; y < h + 3; ++y)
            for (int x = -3; x < w + 3; ++x) {
                const SDL_Surface* image = map->GetTile(x, y).image.get();
                if (image != nullptr && (image->w != 32 || image->h != 32))
                    __builtin_trap(); // every tile image is 32 x 32
                if (x >= 0 && y >= 0) map->getCollide(x, y);
            }
    }
    vondFuzzClearStores();
    return 0;
}
