// Bitmap fonts: glyph placement from a real font picture, the key colour, and
// fonts whose picture is missing or too small.
#include "KAV_Font.h"

#include "vondRun.h"
#include "vondTestPictures.h"

namespace {

constexpr int FONT_IMAGE = 65280 + 7;
constexpr Uint32 GREY = 0x404040;

TEST(FontGlyphs, GlyphsOfABmpFontComeFromTheirGridCellsWithTheTopLeftColourAsKey) {
    // Through a BMP file, as addFont loads them: IMG_Load gives 24 bits per pixel.
    GameDir dir;
    writeBMP(makeFontPicture(8, 12), dir.file("font.bmp"));
    StoredImage picture(FONT_IMAGE, SDL_LoadBMP(dir.file("font.bmp").c_str()));
    ASSERT_EQ(vondImageStore[FONT_IMAGE]->format->BytesPerPixel, 3);
    KAV_Font font(FONT_IMAGE, 8, 12);
    Surface target = owned(solidSurface(200, 100, 0x40, 0x40, 0x40));
    const char chars[] = {'A', ' ', 7, char(200), char(150)};
    for (int i = 0; i < 5; ++i)
        font.writeChar(chars[i], 10 + 20 * i, 20, target.get());
    EXPECT_EQ(pixelRGB(target, 10, 20), GREY) << "the key-coloured rim";
    EXPECT_TRUE(pixelRGB(target, 11, 21) == glyphRGB(33) &&
                pixelRGB(target, 16, 30) == glyphRGB(33));
    EXPECT_EQ(pixelRGB(target, 19, 21), GREY) << "nothing beyond the 8 x 12 cell";
    // The blank, a code below 32 and one beyond the picture draw nothing.
    for (int x = 30; x < 90; ++x)
        EXPECT_EQ(pixelRGB(target, x, 25), GREY) << x;
    EXPECT_EQ(pixelRGB(target, 92, 22), glyphRGB(118));
}

TEST(FontWithoutPicture, MissingTooNarrowOrRemovedPictureDrawsNothing) {
    Surface target = owned(solidSurface(200, 100, 0x40, 0x40, 0x40));
    KAV_Font missing(FONT_IMAGE);
    KAV_StoreImage(FONT_IMAGE, solidSurface(10, 64, 1, 2, 3));
    KAV_Font zeroWidth(FONT_IMAGE, 0, 16), tooWide(FONT_IMAGE, 16, 16), fits(FONT_IMAGE, 10, 16),
        tall(FONT_IMAGE, 10, 100); // lower than a cell: glyphs are clipped, not refused
    EXPECT_TRUE(!zeroWidth.hasPicture() && !tooWide.hasPicture() && fits.hasPicture() &&
                tall.hasPicture());
    KAV_StoreImage(FONT_IMAGE, nullptr); // removed while the fonts still name it
    for (KAV_Font* f : {&missing, &zeroWidth, &tooWide, &fits, &tall})
        f->writeChar('A', 0, 0, target.get());
    EXPECT_TRUE(fits.getChar('A') == nullptr && missing.getChar('A') == nullptr);
    EXPECT_EQ(pixelRGB(target, 5, 5), GREY);
}

} // namespace
