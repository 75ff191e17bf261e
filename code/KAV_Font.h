// A bitmap font: a picture holding a grid of glyph cells in character-code
// order from code 32, whose top-left pixel colour is the transparent background.
#pragma once

#include <SDL.h>

class KAV_Font {
  public:
    explicit KAV_Font(int imageNumber);
    KAV_Font(int imageNumber, unsigned char glyphWidth, unsigned char glyphHeight);

    void writeChar(unsigned char c, int x, int y, SDL_Surface* target);
    SDL_Surface* getChar(char c);
    bool hasPicture() const { return glyphWidth != 0; }

  private:
    void build(int imageNumber, int glyphW, int glyphH, bool report);

    int imageNumber = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    int glyphWidth = 0; // 0 marks a font without picture
    int glyphHeight = 0;
    int glyphsPerRow = 0;
    Uint32 keyColour = 0;
};
