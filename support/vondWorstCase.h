// The heaviest frame the engine is built for, made through the engine's own
// operations: four tile layers in tilemap mode scrolled every frame, four
// sprite layers with all 256 slots taken, and 20 windows of which eight reveal
// text (started again by restartReveals before they are full, so that they
// draw new characters all the time). Shared by the frame benchmark and the
// frame tests so that both compose the same scene.
//
// Everything is generated: tiles, sprite frames and the font picture are
// patterned surfaces put straight into the stores, so no file is read.
#pragma once

#include "KAV_Font.h"
#include "KAV_Sprite.h"
#include "KAV_Tilemap.h"
#include "vondEngine2.h"
#include "vondStores.h"
#include "vondWindow2.h"

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vondWorstCase {

constexpr int TILESET = 7;
constexpr int TILE_COUNT = 48;
constexpr int FIRST_MAP = 20;            // tilemaps 20 to 23
constexpr int MAP_SIZE = 64;             // 64 x 64 cells, wrapping
constexpr int SPRITE_IMAGE_BASE = 30000; // 4 templates x 4 frames
constexpr int PICTURE_IMAGE_BASE = 30100;
constexpr int RADIO_ON = 30200, RADIO_OFF = 30201;
constexpr int FONT_IMAGE = VOND_FONT_IMAGE_BASE; // font 0
constexpr int FIRST_STRING = 8000;
constexpr int TEXT_WINDOWS = 12, REVEALING = 8, PICTURE_WINDOWS = 6, RADIO_WINDOWS = 2;

inline uint32_t nextRandom(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// A w x h engine-format surface with a pattern derived from seed; where
// keyEvery > 0 every keyEvery-th pixel holds keyRGB, so colour keys matter.
inline SDL_Surface* patterned(int w, int h, uint32_t seed, int keyEvery, Uint8 kr, Uint8 kg,
                              Uint8 kb) {
    SDL_Surface* s = KAV_NewSurface(0, w, h);
    Uint32 key = SDL_MapRGB(s->format, kr, kg, kb);
    for (int y = 0; y < h; ++y) {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < w; ++x) {
            uint32_t v = seed * 2654435761u + static_cast<uint32_t>(x * 7 + y * 13);
            Uint32 pixel =
                SDL_MapRGB(s->format, static_cast<Uint8>(v * 3 + x), static_cast<Uint8>(v >> 3 ^ y),
                           static_cast<Uint8>((seed * 40 + x) ^ y));
            if (keyEvery > 0 && (x + y * w) % keyEvery == 0) pixel = key;
            row[x] = pixel;
        }
    }
    return s;
}

// Builds the scene into e. Call once per engine; the stores are shared, so a
// second engine reuses the images made for the first.
inline void build(vondEngine2& e) {
    // Tileset: key colour magenta; some tile pixels are magenta and key out.
    if (!KAV_TilesetStore[TILESET]) {
        auto* set = new KAV_Tileset();
        set->number = TILESET;
        for (int i = 0; i < TILE_COUNT; ++i) {
            int image = KAV_TILES_PER_TILESET * TILESET + i;
            KAV_StoreImage(image, patterned(32, 32, 100 + i, i % 3 == 0 ? 5 : 0, 255, 0, 255));
            set->tiles[i].number = i;
            set->tiles[i].image = vondImageStore[image];
        }
        set->keyColour =
            SDL_MapRGB(vondImageStore[KAV_TILES_PER_TILESET * TILESET]->format, 255, 0, 255);
        KAV_StoreTileset(TILESET, set);
        for (int m = 0; m < 4; ++m) {
            auto* map = new KAV_Tilemap(MAP_SIZE, MAP_SIZE, TILESET, KAV_Tilemap::WRAP);
            uint32_t state = 77 + m;
            for (int y = 0; y < MAP_SIZE; ++y)
                for (int x = 0; x < MAP_SIZE; ++x) {
                    uint32_t r = nextRandom(state) % (TILE_COUNT + 8);
                    // Upper layers leave cells empty so that the layers below show.
                    map->SetTile(x, y, m > 0 && r >= TILE_COUNT ? 0xFFFF : r % TILE_COUNT);
                }
            KAV_StoreTilemap(FIRST_MAP + m, map);
        }
        for (int i = 0; i < 16; ++i) {
            KAV_StoreImage(SPRITE_IMAGE_BASE + i, patterned(32, 48, 500 + i, 0, 0, 0, 0));
            // The frames key out their corners, as sprite pictures usually do.
            SDL_Surface* s = vondImageStore[SPRITE_IMAGE_BASE + i].get();
            Uint32 key = SDL_MapRGB(s->format, 0, 255, 0);
            SDL_Rect corner = newRect(0, 0, 8, 8);
            SDL_FillRect(s, &corner, key);
            SDL_SetColorKey(s, SDL_SRCCOLORKEY, key);
        }
        for (int i = 0; i < PICTURE_WINDOWS; ++i)
            KAV_StoreImage(PICTURE_IMAGE_BASE + i, patterned(96 + 16 * i, 64, 900 + i, 0, 0, 0, 0));
        KAV_StoreImage(RADIO_ON, patterned(16, 16, 1, 0, 0, 0, 0));
        KAV_StoreImage(RADIO_OFF, patterned(16, 16, 2, 0, 0, 0, 0));
        // Font picture: 16 glyphs of 16 x 16 per row, 8 rows, background keyed by
        // its top-left pixel.
        SDL_Surface* font = patterned(256, 128, 3, 0, 0, 0, 0);
        for (int g = 0; g < 128; ++g) {
            SDL_Rect cell = newRect(g % 16 * 16, g / 16 * 16, 16, 16);
            SDL_FillRect(font, &cell, SDL_MapRGB(font->format, 10, 20, 30));
            SDL_Rect stroke = newRect(g % 16 * 16 + 2 + g % 5, g / 16 * 16 + 3, 3 + g % 7, 9);
            SDL_FillRect(font, &stroke, SDL_MapRGB(font->format, 250, 250, 200));
        }
        KAV_StoreImage(FONT_IMAGE, font);
        if (!vondFontStore[0]) vondStoreFont(0, new KAV_Font(FONT_IMAGE));
        std::string longText;
        for (int i = 0; i < 60; ++i)
            longText += "The quick brown fox jumps. ";
        vondStringStore[FIRST_STRING] = longText;
        vondStringStore[FIRST_STRING + 1] = "Save\nLoad";
    }

    for (int n = 0; n < 4; ++n) {
        // Layer 0 opaque, the others transparent where the tileset's key shows.
        e.setLayerProperty(n, KAV_LAYER_TILEMAP, n == 0 ? 0 : 1);
        e.SetTileMap(n, FIRST_MAP + n);
        e.SetLPointer(n, 3 * n, 2 * n, 0, 0);
        e.toggleLayer(n, true);
    }
    for (int t = 0; t < 4; ++t) {
        auto* frames = new unsigned[4];
        for (int f = 0; f < 4; ++f)
            frames[f] = SPRITE_IMAGE_BASE + 4 * t + f;
        e.addSprite(new KAV_Sprite(static_cast<unsigned char>(t + 1), 4, 0, frames));
    }
    uint32_t state = 5;
    for (int L = 1; L <= 4; ++L) {
        e.toggleSLayer(L, true);
        for (int i = 0; i < vondEngine2::SPRITE_SLOTS; ++i) {
            int x = static_cast<int>(nextRandom(state) % 20) + 3 * (L - 1);
            int y = static_cast<int>(nextRandom(state) % 15) + 2 * (L - 1);
            e.placeSprite(1 + (i + L) % 4, L, x, y, static_cast<int>(nextRandom(state) % 32),
                          static_cast<int>(nextRandom(state) % 32));
        }
    }
    for (int i = 0; i < TEXT_WINDOWS; ++i) {
        int id = 100 + i;
        bool revealing = i < REVEALING;
        e.NewTxtWin(20 + 50 * (i % 6), 20 + 150 * (i / 6), revealing ? 240 : 120,
                    revealing ? 120 : 56, id, revealing ? FIRST_STRING : FIRST_STRING + 1);
        if (revealing) e.getWindowHandle(id)->setFlags(vondWindow2::FLAG_REVEAL);
    }
    for (int i = 0; i < PICTURE_WINDOWS; ++i)
        e.NewPicWin(300 + 40 * i, 300 + 20 * i, 200 + i, PICTURE_IMAGE_BASE + i);
    for (int i = 0; i < RADIO_WINDOWS; ++i) {
        auto* w = static_cast<vondRadioBWin*>(e.NewRadWin(500, 40 + 100 * i, 80, 80, 300 + i));
        auto* positions = new unsigned short[6]{0, 0, 0, 24, 0, 48};
        w->setButton(3, RADIO_ON, RADIO_OFF, positions);
    }
}

// Identifiers of the windows build makes, in creation (drawing) order.
inline std::vector<int> windowIds() {
    std::vector<int> ids;
    for (int i = 0; i < TEXT_WINDOWS; ++i)
        ids.push_back(100 + i);
    for (int i = 0; i < PICTURE_WINDOWS; ++i)
        ids.push_back(200 + i);
    for (int i = 0; i < RADIO_WINDOWS; ++i)
        ids.push_back(300 + i);
    return ids;
}

// A revealing window holds 13 x 5 cells: at one character per 30 ms and
// frames of 16 ms it is full after about 122 frames.
constexpr int REVEAL_FRAMES = 120;

// Starts the revealing windows' text again (a copy of it: the caller decides
// whether that counts as the frame's work).
inline void restartReveals(vondEngine2& e) {
    for (int i = 0; i < REVEALING; ++i)
        if (auto* w = dynamic_cast<vondTextWin*>(e.getWindowHandle(100 + i)))
            w->setString(vondStringStore[FIRST_STRING]);
}

// One frame of scrolling: every tile layer moves by a different pixel step,
// so every raster is rebuilt.
inline void scroll(vondEngine2& e, int frame) {
    for (int n = 0; n < 4; ++n)
        e.MoveLPointer(n, 0, 0, (n + 1) * (frame % 7 < 4 ? 1 : -1), n % 2);
}

// Bytes of each window's own pixels, for the memory floor.
inline long windowBytes() {
    long bytes = 0;
    for (int i = 0; i < TEXT_WINDOWS; ++i)
        bytes += i < REVEALING ? 240L * 120 : 120L * 56;
    for (int i = 0; i < PICTURE_WINDOWS; ++i)
        bytes += (96L + 16 * i) * 64;
    bytes += RADIO_WINDOWS * 80L * 80;
    return bytes * 4;
}

} // namespace vondWorstCase
