// The engine's surface format and the global numbered resource stores.
//
// Images, tilesets, tilemaps, fonts, strings, songs and sounds are shared
// between the script functions and the drawing classes by number, never by a
// pointer handed across a script call. Each store is a fixed table indexed from
// 0; the *Ok helpers tell whether a number coming from a script or a file lies
// inside a table, and every such number is checked with them before use.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <string>

class KAV_Font;
class KAV_Tilemap;
struct KAV_Tileset;
struct KAV_Tile;

constexpr int VOND_IMAGE_STORE_SIZE = 65536;
constexpr int KAV_TILESET_STORE_SIZE = 256;
constexpr int KAV_TILEMAP_STORE_SIZE = 256;
constexpr int VOND_FONT_STORE_SIZE = 256;
constexpr int VOND_STRING_STORE_SIZE = 8192;
constexpr int VOND_SONG_STORE_SIZE = 256;
constexpr int VOND_SOUND_STORE_SIZE = 512;

// Tile images of tileset t live at image numbers 512 * t + i.
constexpr int KAV_TILES_PER_TILESET = 512;
// Tilesets whose tile images still fit in the image store.
constexpr int KAV_MAX_CUT_TILESETS = 128;
// The picture of font f lives at image number 65280 + f.
constexpr int VOND_FONT_IMAGE_BASE = 0xFF00;

extern SDL_Surface* vondImageStore[VOND_IMAGE_STORE_SIZE];
extern KAV_Tileset* KAV_TilesetStore[KAV_TILESET_STORE_SIZE];
extern KAV_Tilemap* KAV_TilemapStore[KAV_TILEMAP_STORE_SIZE];
extern KAV_Font* vondFontStore[VOND_FONT_STORE_SIZE];
extern std::string vondStringStore[VOND_STRING_STORE_SIZE];
extern Mix_Music* vondSongStore[VOND_SONG_STORE_SIZE];
extern Mix_Chunk* vondSoundStore[VOND_SOUND_STORE_SIZE];

inline bool vondImageOk(long n) { return n >= 0 && n < VOND_IMAGE_STORE_SIZE; }
inline bool vondTilesetOk(long n) { return n >= 0 && n < KAV_TILESET_STORE_SIZE; }
inline bool vondTilemapOk(long n) { return n >= 0 && n < KAV_TILEMAP_STORE_SIZE; }
inline bool vondFontOk(long n) { return n >= 0 && n < VOND_FONT_STORE_SIZE; }
inline bool vondStringOk(long n) { return n >= 0 && n < VOND_STRING_STORE_SIZE; }
inline bool vondSongOk(long n) { return n >= 0 && n < VOND_SONG_STORE_SIZE; }
inline bool vondSoundOk(long n) { return n >= 0 && n < VOND_SOUND_STORE_SIZE; }

// Image store entry n, or null when n is empty or outside the store.
inline SDL_Surface* vondImageAt(long n) { return vondImageOk(n) ? vondImageStore[n] : nullptr; }

// The transparent colour (251, 3, 248) in the engine format; set by the engine's constructor.
extern Uint32 SPRITE_TRANS_COLOR;

// The transparent colour mapped into any surface's format.
inline Uint32 vondTransColourIn(const SDL_PixelFormat* format) {
    return SDL_MapRGB(const_cast<SDL_PixelFormat*>(format), 251, 3, 248);
}

// Engine surface format: 32 bits, red in the low byte, blue in the third, no alpha.
constexpr Uint32 KAV_RMASK = 0x000000FF;
constexpr Uint32 KAV_GMASK = 0x0000FF00;
constexpr Uint32 KAV_BMASK = 0x00FF0000;

// A new surface in the engine format; null when it cannot be made.
SDL_Surface* KAV_NewSurface(unsigned flags, int width, int height);

// An SDL rectangle; each value truncated to its 16-bit field.
SDL_Rect newRect(int x, int y, int w, int h);

// v wrapped into the int range as two's-complement arithmetic wraps: positions
// that scripts push past the range come round instead of overflowing.
inline int vondWrapInt(long long v) {
    return static_cast<int>(static_cast<Uint32>(v));
}

// a + b wrapped as above: pointer and position arithmetic on absurd script
// values wraps instead of overflowing.
inline int vondAddWrapped(long long a, long long b) {
    return vondWrapInt(a + b);
}

// v brought into 0 .. size - 1 (size > 0), as repeated adding or subtracting
// of size would: the cell a wrapping map shows at position v.
inline int vondWrapInto(int v, int size) {
    int r = v % size;
    return r < 0 ? r + size : r;
}

// Entries replaced in the stores (images, tilesets, tilemaps, fonts) may still
// be referred to by layers, maps, tileset records or text windows, so they are
// never released: the old entry is handed here instead.
void vondKeepReplaced(void* old, void* incoming);

// Put an entry into its store, keeping the one it replaces (see
// vondKeepReplaced); a number outside the store is ignored.
void KAV_StoreImage(int number, SDL_Surface* image);
void KAV_StoreTileset(int number, KAV_Tileset* tileset);
void KAV_StoreTilemap(int number, KAV_Tilemap* map);
void vondStoreFont(int number, KAV_Font* font);

// Empties the image, tileset, tilemap, song and sound stores (start-up step).
void vondClearStores();

// Frees every loaded song and sound (the exit routine, before closing audio:
// the tracker decoder loses track of modules still loaded when it shuts down).
void vondReleaseSongsAndSounds();
