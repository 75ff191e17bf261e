// The engine's surface format and the global numbered resource stores.
//
// Images, tilesets, tilemaps, fonts, strings, songs and sounds are shared
// between the script functions and the drawing classes by number, never by a
// pointer handed across a script call. Each store is a fixed table indexed from
// 0; the *Ok helpers tell whether a number coming from a script or a file lies
// inside a table, and every such number is checked with them before use.
//
// Pictures, tile images, tileset records, tilemaps and fonts are shared: a
// store entry holds one reference, and so does everything that may still draw
// from it after the entry is replaced (a tileset record its tile images, a
// tilemap its tileset record, a layer its tilemap, a text window its font).
// The last holder to let go releases it, so a game that reloads its rooms
// keeps only what can still be drawn. The stores are read-only tables for
// their readers; they are written only through the KAV_Store... helpers.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstddef>
#include <string>
#include <utility>

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

// Taking and letting go of one reference. Surfaces count in SDL's own
// reference count (SDL_FreeSurface lets go of one and frees the surface with
// the last); the records count in vondCounted, and their own modules
// (KAV_Tilemap, KAV_Font) define these for them.
void vondRetain(SDL_Surface* s);
void vondRelease(SDL_Surface* s);
void vondRetain(KAV_Tileset* t);
void vondRelease(KAV_Tileset* t);
void vondRetain(KAV_Tilemap* m);
void vondRelease(KAV_Tilemap* m);
void vondRetain(KAV_Font* f);
void vondRelease(KAV_Font* f);

// The reference count of a shared record. A new record, like a new SDL surface,
// comes with one reference, held by whoever made it; a copy is a new record.
class vondCounted {
  public:
    // Lets go of one reference to object, deleting it with the last.
    template <class T> static void release(T* object) {
        if (--object->references == 0) delete object;
    }

    vondCounted() = default;
    vondCounted(const vondCounted&) {}
    vondCounted& operator=(const vondCounted&) { return *this; }
    int references = 1;

  protected:
    ~vondCounted() = default;
};

// One reference to a shared surface or record: copying shares it, destroying
// or replacing lets go of it. get() is the plain pointer, for use while the
// reference is held.
template <class T> class vondRef {
  public:
    constexpr vondRef() = default;
    constexpr vondRef(std::nullptr_t) {}
    // Takes over a reference the caller holds (a new surface or record has one).
    explicit vondRef(T* adopted) : object(adopted) {}
    vondRef(const vondRef& other) : object(other.object) {
        if (object != nullptr) vondRetain(object);
    }
    vondRef(vondRef&& other) noexcept : object(other.object) { other.object = nullptr; }
    // The old object is let go of only once the new one is in place.
    vondRef& operator=(vondRef other) noexcept {
        std::swap(object, other.object);
        return *this;
    }
    ~vondRef() {
        if (object != nullptr) vondRelease(object);
    }
    // A new reference to an object that someone else holds.
    static vondRef share(T* held) {
        if (held != nullptr) vondRetain(held);
        return vondRef(held);
    }
    void reset() { *this = vondRef(); }

    T* get() const { return object; }
    T* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }

  private:
    T* object = nullptr;
};

// The stores. Readers index them directly; entries change only through the
// helpers below.
extern const vondRef<SDL_Surface> (&vondImageStore)[VOND_IMAGE_STORE_SIZE];
extern const vondRef<KAV_Tileset> (&KAV_TilesetStore)[KAV_TILESET_STORE_SIZE];
extern const vondRef<KAV_Tilemap> (&KAV_TilemapStore)[KAV_TILEMAP_STORE_SIZE];
extern const vondRef<KAV_Font> (&vondFontStore)[VOND_FONT_STORE_SIZE];
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
inline SDL_Surface* vondImageAt(long n) {
    return vondImageOk(n) ? vondImageStore[n].get() : nullptr;
}

// A number that changes every time image entry n is written and is never
// given twice. What is worked out from an image (how a sprite frame may be
// drawn, what a layer's raster shows) is kept with it: a released picture's
// address may come back with the next picture loaded, its serial never does.
extern const unsigned long long (&vondImageSerial)[VOND_IMAGE_STORE_SIZE];
inline unsigned long long vondImageSerialAt(long n) {
    return vondImageOk(n) ? vondImageSerial[n] : 0;
}

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

// Put an entry into its store (null empties it); a number outside the store
// is ignored. The store lets go of the entry it replaces, which is released
// unless something still holds it. The plain-pointer forms take over the
// caller's reference to a new surface or record.
void KAV_StoreImage(int number, vondRef<SDL_Surface> image);
void KAV_StoreTileset(int number, vondRef<KAV_Tileset> tileset);
void KAV_StoreTilemap(int number, vondRef<KAV_Tilemap> map);
void vondStoreFont(int number, vondRef<KAV_Font> font);
inline void KAV_StoreImage(int number, SDL_Surface* image) {
    KAV_StoreImage(number, vondRef<SDL_Surface>(image));
}
inline void KAV_StoreTileset(int number, KAV_Tileset* tileset) {
    KAV_StoreTileset(number, vondRef<KAV_Tileset>(tileset));
}
inline void KAV_StoreTilemap(int number, KAV_Tilemap* map) {
    KAV_StoreTilemap(number, vondRef<KAV_Tilemap>(map));
}
inline void vondStoreFont(int number, KAV_Font* font) {
    vondStoreFont(number, vondRef<KAV_Font>(font));
}

// Empties the image, tileset, tilemap, song and sound stores (start-up step).
void vondClearStores();

// Frees every loaded song and sound (the exit routine, before closing audio:
// the tracker decoder loses track of modules still loaded when it shuts down).
void vondReleaseSongsAndSounds();
