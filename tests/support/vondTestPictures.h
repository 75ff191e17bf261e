// Pictures shared by the font, window and input tests.
#pragma once

#include "vondGlobals.h"
#include "vondStores.h"

#include <SDL.h>

#include <string>

// Colour of glyph g (1 to 127) in the test font picture: unique red, never magenta.
inline Uint32 glyphRGB(int g) {
    return (Uint32(g) << 16) | (128u << 8) | Uint32(255 - g);
}
inline Uint32 glyphRGBOf(char c) {
    return glyphRGB(static_cast<unsigned char>(c) - 32);
}

// A 128-glyph font picture with 16 cells per row: magenta background (the key
// colour, taken from the top-left pixel), glyph 0 (the blank) empty, every
// other cell filled with glyphRGB(g) except a one-pixel key-coloured rim.
inline SDL_Surface* makeFontPicture(int cellW = 16, int cellH = 16) {
    SDL_Surface* s = KAV_NewSurface(0, 16 * cellW, 8 * cellH);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 255));
    for (int g = 1; g < 128; ++g) {
        SDL_Rect cell = newRect(g % 16 * cellW + 1, g / 16 * cellH + 1, cellW - 2, cellH - 2);
        SDL_FillRect(s, &cell, SDL_MapRGB(s->format, g, 128, 255 - g));
    }
    return s;
}

// Puts a surface into the image store and frees it when the test ends.
struct StoredImage {
    int number;
    StoredImage(int n, SDL_Surface* s) : number(n) { KAV_StoreImage(n, s); }
    ~StoredImage() { KAV_StoreImage(number, nullptr); }
};
