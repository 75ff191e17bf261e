// Bitmap fonts: glyph placement from a real font picture, the key colour, and
// fonts whose picture is missing or too small.
#include "KAV_Font.h"

#include "vondRun.h"
#include "vondTestPictures.h"

#include <gtest/gtest.h>

namespace {

constexpr int FONT_IMAGE = 65280 + 7;
constexpr Uint32 GREY = 0x404040;

TEST(FontGlyphs, GlyphsOfABmpFontComeFromTheirGridCellsWithTheTopLeftColourAsKey) {
    // Through a BMP file, as addFont loads them: IMG_Load gives 24 bits per pixel.
    GameDir dir;
    SDL_Surface* made = makeFontPicture(8, 12);
    saveBMP(made, dir.file("font.bmp"));
    SDL_FreeSurface(made);
    StoredImage picture(FONT_IMAGE, SDL_LoadBMP(dir.file("font.bmp").c_str()));
    ASSERT_EQ(vondImageStore[FONT_IMAGE]->format->BytesPerPixel, 3);
    KAV_Font font(FONT_IMAGE, 8, 12);
    SDL_Surface* target = solidSurface(200, 100, 0x40, 0x40, 0x40);
    font.writeChar('A', 10, 20, target); // glyph 33: column 1, row 2
    font.writeChar(' ', 30, 20, target); // the blank is fully transparent
    font.writeChar(7, 40, 20, target);   // codes below 32 draw nothing
    EXPECT_EQ(pixelRGB(target, 10, 20), GREY) << "the key-coloured rim";
    EXPECT_EQ(pixelRGB(target, 11, 21), glyphRGB(33));
    EXPECT_EQ(pixelRGB(target, 16, 30), glyphRGB(33));
    EXPECT_EQ(pixelRGB(target, 19, 21), GREY) << "nothing beyond the 8 x 12 cell";
    for (int x = 30; x < 48; ++x)
        EXPECT_EQ(pixelRGB(target, x, 25), GREY) << x;
    SDL_FreeSurface(target);
}

TEST(FontGlyphs, GetCharMakesA16x16GlyphAndWrapsHighCodesToTheBlank) {
    StoredImage picture(FONT_IMAGE, makeFontPicture());
    KAV_Font font(FONT_IMAGE);
    SDL_Surface* tilde = font.getChar('~');
    SDL_Surface* high = font.getChar(static_cast<char>(200));
    SDL_Surface* low = font.getChar(static_cast<char>(150)); // still inside 32 to 159
    ASSERT_TRUE(tilde && high && low);
    EXPECT_EQ(tilde->w * 100 + tilde->h, 1616);
    EXPECT_EQ(pixelRGB(tilde, 5, 5), glyphRGB(94));
    EXPECT_EQ(pixelRGB(tilde, 0, 0), 0u) << "the key colour was left out";
    EXPECT_EQ(pixelRGB(high, 5, 5), 0u);
    EXPECT_EQ(pixelRGB(low, 5, 5), glyphRGB(118));
    for (SDL_Surface* s : {tilde, high, low})
        SDL_FreeSurface(s);
}

TEST(FontWithoutPicture, MissingTooNarrowOrRemovedPictureDrawsNothing) {
    SDL_Surface* target = solidSurface(200, 100, 0x40, 0x40, 0x40);
    {
        LogCapture log;
        KAV_Font reported(FONT_IMAGE);
        KAV_Font silent(FONT_IMAGE, 16, 16);
        EXPECT_EQ(log.text(), "Image number: 65287 not properly loaded for Font!\n");
        EXPECT_FALSE(silent.hasPicture());
        EXPECT_EQ(reported.getChar('A'), nullptr);
        reported.writeChar('A', 0, 0, target);
    }
    {
        StoredImage narrow(FONT_IMAGE, solidSurface(10, 64, 1, 2, 3));
        KAV_Font zeroWidth(FONT_IMAGE, 0, 16), tooWide(FONT_IMAGE, 16, 16), fits(FONT_IMAGE, 10, 16);
        EXPECT_FALSE(zeroWidth.hasPicture() || tooWide.hasPicture());
        EXPECT_TRUE(fits.hasPicture());
        zeroWidth.writeChar('A', 0, 0, target);
        tooWide.writeChar('!', 0, 0, target);
    }
    vondImageStore[FONT_IMAGE] = makeFontPicture();
    KAV_Font font(FONT_IMAGE);
    SDL_FreeSurface(vondImageStore[FONT_IMAGE]);
    vondImageStore[FONT_IMAGE] = nullptr;
    font.writeChar('A', 0, 0, target);
    EXPECT_EQ(font.getChar('A'), nullptr);
    EXPECT_EQ(pixelRGB(target, 5, 5), GREY);
    SDL_FreeSurface(target);
}

} // namespace
