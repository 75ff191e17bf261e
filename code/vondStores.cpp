// Definitions of the stores and the surface helpers.
#include "vondStores.h"

#include <vector>

SDL_Surface* vondImageStore[VOND_IMAGE_STORE_SIZE];
KAV_Tileset* KAV_TilesetStore[KAV_TILESET_STORE_SIZE];
KAV_Tilemap* KAV_TilemapStore[KAV_TILEMAP_STORE_SIZE];
KAV_Font* vondFontStore[VOND_FONT_STORE_SIZE];
Mix_Music* vondSongStore[VOND_SONG_STORE_SIZE];
Mix_Chunk* vondSoundStore[VOND_SOUND_STORE_SIZE];

SDL_Surface* KAV_NewSurface(unsigned flags, int width, int height) {
    return SDL_CreateRGBSurface(flags, width, height, 32, KAV_RMASK, KAV_GMASK, KAV_BMASK, 0);
}

SDL_Rect newRect(int x, int y, int w, int h) {
    SDL_Rect r;
    r.x = static_cast<Sint16>(x);
    r.y = static_cast<Sint16>(y);
    r.w = static_cast<Uint16>(w);
    r.h = static_cast<Uint16>(h);
    return r;
}

void vondKeepReplaced(void* old, void* incoming) {
    // Held here so that they stay reachable for the whole run.
    static auto* kept = new std::vector<void*>;
    if (old != nullptr && old != incoming) kept->push_back(old);
}

void KAV_StoreImage(int number, SDL_Surface* image) {
    if (!vondImageOk(number)) return;
    vondKeepReplaced(vondImageStore[number], image);
    vondImageStore[number] = image;
}

void KAV_StoreTileset(int number, KAV_Tileset* tileset) {
    if (!vondTilesetOk(number)) return;
    vondKeepReplaced(KAV_TilesetStore[number], tileset);
    KAV_TilesetStore[number] = tileset;
}

void KAV_StoreTilemap(int number, KAV_Tilemap* map) {
    if (!vondTilemapOk(number)) return;
    vondKeepReplaced(KAV_TilemapStore[number], map);
    KAV_TilemapStore[number] = map;
}

void vondStoreFont(int number, KAV_Font* font) {
    if (!vondFontOk(number)) return;
    vondKeepReplaced(vondFontStore[number], font);
    vondFontStore[number] = font;
}

void vondClearStores() {
    for (auto& e : vondImageStore) e = nullptr;
    for (auto& e : KAV_TilesetStore) e = nullptr;
    for (auto& e : KAV_TilemapStore) e = nullptr;
    for (auto& e : vondSongStore) e = nullptr;
    for (auto& e : vondSoundStore) e = nullptr;
}

void vondReleaseSongsAndSounds() {
    Mix_HaltMusic();
    for (auto& song : vondSongStore) {
        if (song != nullptr) Mix_FreeMusic(song);
        song = nullptr;
    }
    for (auto& sound : vondSoundStore) {
        if (sound != nullptr) Mix_FreeChunk(sound);
        sound = nullptr;
    }
}
