// Bitmap fonts: glyph placement from a real font picture, the key colour, and
// fonts whose picture is missing or too small.
#include "KAV_Font.h"

#include "vondRun.h"
#include "vondTestPictures.h"

#include <gtest/gtest.h>

namespace {

constexpr int FONT_IMAGE = 65280 + 7;
constexpr Uint32 GREY = 0x404040;

SDL_Surface* greyTarget() {
    return solidSurface(200, 100, 0x40, 0x40, 0x40);
}

TEST(FontGlyphs, CapitalAndSmallLettersComeFromTheirGridCells) {
    StoredImage picture(FONT_IMAGE, makeFontPicture());
    KAV_Font font(FONT_IMAGE);
    SDL_Surface* target = greyTarget();
    font.writeChar('A', 10, 20, target);
    font.writeChar('a', 40, 20, target);
    // Glyph rim is key-coloured: the cell's corner stays the target's colour.
    EXPECT_EQ(pixelRGB(target, 10, 20), GREY);
    EXPECT_EQ(pixelRGB(target, 11, 21), glyphRGB(33));
    EXPECT_EQ(pixelRGB(target, 24, 34), glyphRGB(33));
    EXPECT_EQ(pixelRGB(target, 26, 36), GREY); // nothing beyond the 16 x 16 cell
    EXPECT_EQ(pixelRGB(target, 45, 25), glyphRGB(65));
    SDL_FreeSurface(target);
}

TEST(FontGlyphs, BlankIsFullyTransparentAndCodesBelow32DrawNothingFromA128GlyphPicture) {
    StoredImage picture(FONT_IMAGE, makeFontPicture());
    KAV_Font font(FONT_IMAGE);
    SDL_Surface* target = greyTarget();
    font.writeChar(' ', 0, 0, target);
    font.writeChar(7, 50, 0, target);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 66; ++x)
            ASSERT_EQ(pixelRGB(target, x, y), GREY) << x << "," << y;
    SDL_FreeSurface(target);
}

TEST(FontGlyphs, OtherCellSizesUseTheirOwnGrid) {
    StoredImage picture(FONT_IMAGE, makeFontPicture(128, 8, 12));
    KAV_Font font(FONT_IMAGE, 8, 12);
    SDL_Surface* target = greyTarget();
    font.writeChar('A', 0, 0, target); // glyph 33: column 1, row 2 of a 16-wide grid
    EXPECT_EQ(pixelRGB(target, 1, 1), glyphRGB(33));
    EXPECT_EQ(pixelRGB(target, 6, 10), glyphRGB(33));
    EXPECT_EQ(pixelRGB(target, 9, 1), GREY);
    SDL_FreeSurface(target);
}

TEST(FontGlyphs, GetCharMakesA16x16GlyphAndWrapsHighCodesToTheBlank) {
    StoredImage picture(FONT_IMAGE, makeFontPicture());
    KAV_Font font(FONT_IMAGE);
    SDL_Surface* tilde = font.getChar('~');
    ASSERT_NE(tilde, nullptr);
    EXPECT_EQ(tilde->w, 16);
    EXPECT_EQ(tilde->h, 16);
    EXPECT_EQ(pixelRGB(tilde, 5, 5), glyphRGB(94));
    EXPECT_EQ(pixelRGB(tilde, 0, 0), 0u); // the key colour was left out
    SDL_Surface* high = font.getChar(static_cast<char>(200));
    SDL_Surface* low = font.getChar(static_cast<char>(150)); // still inside 32 to 159
    EXPECT_EQ(pixelRGB(high, 5, 5), 0u);
    EXPECT_EQ(pixelRGB(low, 5, 5), glyphRGB(118));
    SDL_FreeSurface(tilde);
    SDL_FreeSurface(high);
    SDL_FreeSurface(low);
}

TEST(FontKey, TwentyFourBitPictureTakesOnlyTheTopLeftPixelAsKey) {
    // Through a BMP file, as addFont loads them: IMG_Load gives 24 bits per pixel.
    SDL_Surface* made = makeFontPicture();
    GameDir dir;
    saveBMP(made, dir.file("font.bmp"));
    SDL_FreeSurface(made);
    SDL_Surface* loaded = SDL_LoadBMP(dir.file("font.bmp").c_str());
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->format->BytesPerPixel, 3);
    StoredImage picture(FONT_IMAGE, loaded);
    KAV_Font font(FONT_IMAGE);
    SDL_Surface* target = greyTarget();
    font.writeChar('B', 0, 0, target);
    EXPECT_EQ(pixelRGB(target, 0, 0), GREY);
    EXPECT_EQ(pixelRGB(target, 15, 15), GREY);
    EXPECT_EQ(pixelRGB(target, 8, 8), glyphRGB(34));
    SDL_FreeSurface(target);
}

TEST(FontWithoutPicture, EmptyImageNumberIsLoggedByTheOneArgumentFormAndDrawsNothing) {
    LogCapture log;
    KAV_Font reported(FONT_IMAGE);
    KAV_Font silent(FONT_IMAGE, 16, 16);
    EXPECT_EQ(log.text(), "Image number: 65287 not properly loaded for Font!\n");
    EXPECT_FALSE(reported.hasPicture());
    EXPECT_FALSE(silent.hasPicture());
    EXPECT_EQ(reported.getChar('A'), nullptr);
    SDL_Surface* target = greyTarget();
    reported.writeChar('A', 0, 0, target);
    EXPECT_EQ(pixelRGB(target, 5, 5), GREY);
    SDL_FreeSurface(target);
}

TEST(FontWithoutPicture, ZeroGlyphWidthOrAPictureNarrowerThanOneGlyphIsRefused) {
    StoredImage narrow(FONT_IMAGE, solidSurface(10, 64, 1, 2, 3));
    KAV_Font zeroWidth(FONT_IMAGE, 0, 16);
    KAV_Font tooWide(FONT_IMAGE, 16, 16);
    KAV_Font fits(FONT_IMAGE, 10, 16);
    EXPECT_FALSE(zeroWidth.hasPicture());
    EXPECT_FALSE(tooWide.hasPicture());
    EXPECT_TRUE(fits.hasPicture());
    SDL_Surface* target = greyTarget();
    zeroWidth.writeChar('A', 0, 0, target);
    tooWide.writeChar('!', 0, 0, target);
    EXPECT_EQ(pixelRGB(target, 3, 3), GREY);
    SDL_FreeSurface(target);
}

TEST(FontWithoutPicture, PictureRemovedFromTheStoreLaterDrawsNothing) {
    vondImageStore[FONT_IMAGE] = makeFontPicture();
    KAV_Font font(FONT_IMAGE);
    SDL_FreeSurface(vondImageStore[FONT_IMAGE]);
    vondImageStore[FONT_IMAGE] = nullptr;
    SDL_Surface* target = greyTarget();
    font.writeChar('A', 0, 0, target);
    EXPECT_EQ(pixelRGB(target, 5, 5), GREY);
    EXPECT_EQ(font.getChar('A'), nullptr);
    SDL_FreeSurface(target);
}

} // namespace
