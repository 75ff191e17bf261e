// Definitions of the stores, their shared entries and the surface helpers.
#include "vondStores.h"

namespace {

// A table that is never destroyed: the stores keep what they hold to the end
// of the program instead of releasing it entry by entry after the exit
// routine has shut SDL down. Constant-initialised, so it is usable before any
// constructor runs.
template <class T, int N> union vondLastingTable {
    constexpr vondLastingTable() : entries() {}
    ~vondLastingTable() {}
    T entries[N];
};

vondLastingTable<vondRef<SDL_Surface>, VOND_IMAGE_STORE_SIZE> images;
vondLastingTable<vondRef<KAV_Tileset>, KAV_TILESET_STORE_SIZE> tilesets;
vondLastingTable<vondRef<KAV_Tilemap>, KAV_TILEMAP_STORE_SIZE> tilemaps;
vondLastingTable<vondRef<KAV_Font>, VOND_FONT_STORE_SIZE> fonts;
unsigned long long imageSerials[VOND_IMAGE_STORE_SIZE];
unsigned long long lastImageSerial = 0;

} // namespace

const vondRef<SDL_Surface> (&vondImageStore)[VOND_IMAGE_STORE_SIZE] = images.entries;
const vondRef<KAV_Tileset> (&KAV_TilesetStore)[KAV_TILESET_STORE_SIZE] = tilesets.entries;
const vondRef<KAV_Tilemap> (&KAV_TilemapStore)[KAV_TILEMAP_STORE_SIZE] = tilemaps.entries;
const vondRef<KAV_Font> (&vondFontStore)[VOND_FONT_STORE_SIZE] = fonts.entries;
const unsigned long long (&vondImageSerial)[VOND_IMAGE_STORE_SIZE] = imageSerials;
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

void vondRetain(SDL_Surface* s) {
    ++s->refcount;
}
void vondRelease(SDL_Surface* s) {
    SDL_FreeSurface(s);
}

void KAV_StoreImage(int number, vondRef<SDL_Surface> image) {
    if (!vondImageOk(number)) return;
    images.entries[number] = std::move(image);
    imageSerials[number] = ++lastImageSerial;
}

void KAV_StoreTileset(int number, vondRef<KAV_Tileset> tileset) {
    if (vondTilesetOk(number)) tilesets.entries[number] = std::move(tileset);
}

void KAV_StoreTilemap(int number, vondRef<KAV_Tilemap> map) {
    if (vondTilemapOk(number)) tilemaps.entries[number] = std::move(map);
}

void vondStoreFont(int number, vondRef<KAV_Font> font) {
    if (vondFontOk(number)) fonts.entries[number] = std::move(font);
}

void vondClearStores() {
    for (int n = 0; n < VOND_IMAGE_STORE_SIZE; ++n)
        if (vondImageStore[n]) KAV_StoreImage(n, nullptr);
    for (auto& e : tilesets.entries)
        e.reset();
    for (auto& e : tilemaps.entries)
        e.reset();
    for (auto& e : vondSongStore)
        e = nullptr;
    for (auto& e : vondSoundStore)
        e = nullptr;
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
