// A bitmap font: a picture holding a grid of glyph cells in character-code
// order from code 32, whose top-left pixel colour is the transparent background.
#pragma once

#include "vondStores.h"

#include <SDL.h>

// Shared by the font store and the text windows that took it (see vondRef).
class KAV_Font : public vondCounted {
  public:
    explicit KAV_Font(int imageNumber);
    KAV_Font(int imageNumber, unsigned char glyphWidth, unsigned char glyphHeight);

    void writeChar(unsigned char c, int x, int y, SDL_Surface* target);
    SDL_Surface* getChar(char c);
    bool hasPicture() const { return glyphWidth != 0; }

    // Everything that decides what writeChar draws: the font's cells and its
    // picture as the image store holds it now (by its serial, vondImageSerial).
    struct Look {
        int imageNumber, imageWidth, imageHeight, glyphWidth, glyphHeight, glyphsPerRow;
        Uint32 keyColour;
        unsigned long long picture;
        Uint32 pictureFlags, pictureKey;
        bool operator==(const Look& o) const;
    };
    Look look() const;

  private:
    void build(int imageNumber, int glyphW, int glyphH, bool report);
    // Source rectangle of glyph g in the font picture.
    SDL_Rect glyphRect(int g) const;

    int imageNumber = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    int glyphWidth = 0; // 0 marks a font without picture
    int glyphHeight = 0;
    int glyphsPerRow = 0;
    Uint32 keyColour = 0;
};

// The value of a surface's top-left pixel in its own format (only that pixel's
// bytes, whatever the depth); 0 for an empty surface.
Uint32 KAV_TopLeftPixel(SDL_Surface* s);
