// Bitmap fonts: glyph lookup in a font picture of the image store and the blit
// of one character. The picture is read from the store by number on every
// character, so loading another picture into that number changes the font.
#include "KAV_Font.h"

#include "vondBlit.h"
#include "vondLog.h"
#include "vondStores.h"

namespace {
constexpr int DEFAULT_GLYPH_SIZE = 16;
constexpr int FIRST_CODE = 32; // glyph 0 is the blank
} // namespace

Uint32 KAV_TopLeftPixel(SDL_Surface* s) {
    if (s == nullptr || s->w <= 0 || s->h <= 0 || s->pixels == nullptr) return 0;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) < 0) return 0;
    const Uint8* p = static_cast<const Uint8*>(s->pixels);
    Uint32 value = 0;
    switch (s->format->BytesPerPixel) {
    case 1:
        value = p[0];
        break;
    case 2:
        value = *reinterpret_cast<const Uint16*>(p);
        break;
    case 3:
        value = SDL_BYTEORDER == SDL_LIL_ENDIAN ? p[0] | p[1] << 8 | p[2] << 16
                                                : p[0] << 16 | p[1] << 8 | p[2];
        break;
    default:
        value = *reinterpret_cast<const Uint32*>(p);
        break;
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    return value;
}

void vondRetain(KAV_Font* f) {
    ++f->references;
}
void vondRelease(KAV_Font* f) {
    vondCounted::release(f);
}

KAV_Font::KAV_Font(int imageNumber) {
    build(imageNumber, DEFAULT_GLYPH_SIZE, DEFAULT_GLYPH_SIZE, true);
}

KAV_Font::KAV_Font(int imageNumber, unsigned char glyphW, unsigned char glyphH) {
    build(imageNumber, glyphW, glyphH, false);
}

void KAV_Font::build(int number, int glyphW, int glyphH, bool report) {
    imageNumber = number;
    SDL_Surface* picture = vondImageAt(number);
    // A zero cell width or a picture narrower than one cell would give no
    // glyph column (and a division by zero): such a font is treated as one
    // without picture. A picture lower than a cell draws its glyphs clipped.
    if (picture == nullptr || glyphW <= 0 || picture->w < glyphW) {
        glyphWidth = glyphHeight = imageWidth = imageHeight = glyphsPerRow = 0;
        if (report && picture == nullptr)
            vondLog("Image number: ", number, " not properly loaded for Font!");
        return;
    }
    glyphWidth = glyphW;
    glyphHeight = glyphH;
    imageWidth = picture->w;
    imageHeight = picture->h;
    glyphsPerRow = imageWidth / glyphWidth;
    // Only the top-left pixel's own bytes: for 24-bit pictures the first 32-bit
    // word would also hold part of the next pixel and never match as a key.
    keyColour = KAV_TopLeftPixel(picture);
    // Deliberately left on the shared picture: every user of it sees the key.
    SDL_SetColorKey(picture, SDL_SRCCOLORKEY, keyColour);
}

SDL_Rect KAV_Font::glyphRect(int g) const {
    return newRect(g % glyphsPerRow * glyphWidth, g / glyphsPerRow * glyphHeight, glyphWidth,
                   glyphHeight);
}

KAV_Font::Look KAV_Font::look() const {
    const SDL_Surface* picture = vondImageAt(imageNumber);
    return Look{imageNumber,
                imageWidth,
                imageHeight,
                glyphWidth,
                glyphHeight,
                glyphsPerRow,
                keyColour,
                picture != nullptr ? vondImageSerialAt(imageNumber) : 0,
                picture != nullptr ? picture->flags : 0,
                picture != nullptr ? picture->format->colorkey : 0};
}

bool KAV_Font::Look::operator==(const Look& o) const {
    return imageNumber == o.imageNumber && imageWidth == o.imageWidth &&
           imageHeight == o.imageHeight && glyphWidth == o.glyphWidth &&
           glyphHeight == o.glyphHeight && glyphsPerRow == o.glyphsPerRow &&
           keyColour == o.keyColour && picture == o.picture && pictureFlags == o.pictureFlags &&
           pictureKey == o.pictureKey;
}

void KAV_Font::writeChar(unsigned char c, int x, int y, SDL_Surface* target) {
    if (glyphWidth == 0 || target == nullptr) return;
    SDL_Surface* picture = vondImageAt(imageNumber);
    if (picture == nullptr) return;
    // Codes below 32 wrap round to glyphs 224 to 255.
    int g = static_cast<unsigned char>(c - FIRST_CODE);
    SDL_Rect source = glyphRect(g);
    SDL_Rect at = newRect(x, y, 0, 0);
    vondBlit(picture, &source, target, &at);
}

SDL_Surface* KAV_Font::getChar(char c) {
    if (glyphWidth == 0) return nullptr;
    SDL_Surface* picture = vondImageAt(imageNumber);
    if (picture == nullptr) return nullptr;
    // Computed on a signed byte: codes 32 to 159 give glyphs 0 to 127, every
    // other code wraps negative and gives the blank.
    int g = static_cast<signed char>(static_cast<unsigned char>(c) - FIRST_CODE);
    if (g < 0) g = 0;
    SDL_Surface* glyph = KAV_NewSurface(0, DEFAULT_GLYPH_SIZE, DEFAULT_GLYPH_SIZE);
    if (glyph == nullptr) return nullptr;
    SDL_Rect source = glyphRect(g);
    SDL_Rect at = newRect(0, 0, 0, 0);
    SDL_BlitSurface(picture, &source, glyph, &at);
    return glyph;
}
