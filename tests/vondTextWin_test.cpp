// Text windows: frame and background, the 16 x 16 cell layout with its line
// breaks, the reveal timing, the transparency flags and the redraw rules.
#include "KAV_Font.h"
#include "vondRun.h"
#include "vondTestPictures.h"
#include "vondWindow2.h"

#include <gtest/gtest.h>

namespace {

constexpr int FONT_IMAGE = 65280;
constexpr Uint32 GREY = 0x404040;
constexpr Uint32 WHITE = 0xFFFFFF;
constexpr Uint32 BLACK = 0x000000;

// Font 0 is a test font picture for the lifetime of the fixture.
class TextWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SPRITE_TRANS_COLOR, 0x00F803FBu) << "the engine object sets the key colour";
        vondImageStore[FONT_IMAGE] = makeFontPicture();
        vondFontStore[0] = new KAV_Font(FONT_IMAGE);
        screen = solidSurface(640, 480, 0x40, 0x40, 0x40);
    }
    void TearDown() override {
        delete vondFontStore[0];
        vondFontStore[0] = nullptr;
        SDL_FreeSurface(vondImageStore[FONT_IMAGE]);
        vondImageStore[FONT_IMAGE] = nullptr;
        SDL_FreeSurface(screen);
    }
    // Centre of the character cell at column col, line row of a window at (wx, wy).
    Uint32 cell(int wx, int wy, int col, int row) {
        return pixelRGB(screen, wx + 16 + 16 * col + 8, wy + 16 + 16 * row + 8);
    }
    SDL_Surface* screen = nullptr;
};

TEST_F(TextWindow, WhiteBorderBlackBackgroundAndTextFromCell16) {
    vondTextWin w(100, 50, 200, 80, 0, 1, std::string("Hi"));
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 100, 50), WHITE);
    EXPECT_EQ(pixelRGB(screen, 107, 57), WHITE);
    EXPECT_EQ(pixelRGB(screen, 108, 58), BLACK);
    EXPECT_EQ(pixelRGB(screen, 291, 121), BLACK);
    EXPECT_EQ(pixelRGB(screen, 292, 122), WHITE);
    EXPECT_EQ(pixelRGB(screen, 299, 129), WHITE);
    EXPECT_EQ(pixelRGB(screen, 300, 130), GREY);
    EXPECT_EQ(cell(100, 50, 0, 0), glyphRGBOf('H'));
    EXPECT_EQ(cell(100, 50, 1, 0), glyphRGBOf('i'));
    EXPECT_EQ(cell(100, 50, 2, 0), BLACK);
    EXPECT_EQ(pixelRGB(screen, 116, 66), BLACK)
        << "the glyph's key-coloured rim shows the background";
}

TEST_F(TextWindow, TenCharactersPerLineThreeLinesAndTheRestCutOff) {
    std::string text;
    for (int i = 0; i < 35; ++i)
        text += static_cast<char>('A' + i);
    vondTextWin w(0, 0, 200, 80, 0, 1, text);
    w.DrawOn(screen);
    EXPECT_EQ(cell(0, 0, 9, 0), glyphRGBOf('J'));
    EXPECT_EQ(cell(0, 0, 0, 1), glyphRGBOf('K'));
    EXPECT_EQ(cell(0, 0, 9, 2), glyphRGBOf('A' + 29));
    EXPECT_EQ(cell(0, 0, 10, 0), BLACK); // x = 176 is not below w - 24
    EXPECT_EQ(cell(0, 0, 0, 3), WHITE);  // a fourth line would start in the border
}

TEST_F(TextWindow, LineFeedEndsALineAndAfterAFullLineGivesAnEmptyOne) {
    vondTextWin w(0, 0, 200, 100, 0, 1, std::string("ABC\nDEF"));
    w.DrawOn(screen);
    EXPECT_EQ(cell(0, 0, 2, 0), glyphRGBOf('C'));
    EXPECT_EQ(cell(0, 0, 3, 0), BLACK);
    EXPECT_EQ(cell(0, 0, 0, 1), glyphRGBOf('D'));
    // Three cells per line: the line feed after "ABC" makes an empty second line.
    vondTextWin narrow(300, 0, 88, 100, 0, 2, std::string("ABC\nD"));
    narrow.DrawOn(screen);
    EXPECT_EQ(cell(300, 0, 2, 0), glyphRGBOf('C'));
    EXPECT_EQ(cell(300, 0, 0, 1), BLACK);
    EXPECT_EQ(cell(300, 0, 0, 2), glyphRGBOf('D'));
}

TEST_F(TextWindow, RevealShowsOneCharacterPer30MsWithTheRestCarriedOver) {
    vondTextWin w(0, 0, 200, 80, 0, 1, std::string("ABCDE"));
    w.setFlags(16);
    w.Update(100);
    EXPECT_EQ(w.getShownChars(), 1);
    EXPECT_EQ(w.getRevealMs(), 70u);
    w.Update(0);
    EXPECT_EQ(w.getShownChars(), 2);
    w.DrawOn(screen);
    EXPECT_EQ(cell(0, 0, 1, 0), glyphRGBOf('B'));
    EXPECT_EQ(cell(0, 0, 2, 0), BLACK);
    EXPECT_TRUE(w.isDirty());
    for (int i = 0; i < 3; ++i)
        w.Update(30);
    w.DrawOn(screen);
    EXPECT_EQ(cell(0, 0, 4, 0), glyphRGBOf('E'));
    EXPECT_FALSE(w.isDirty()) << "redrawing stops once the last character is out";
    for (int i = 0; i < 10; ++i)
        w.Update(30);
    EXPECT_EQ(w.getShownChars(), 6) << "stops at length + 1";
}

TEST_F(TextWindow, RevealOfTextThatDoesNotFitKeepsRedrawing) {
    vondTextWin w(0, 0, 72, 56, 0, 1, std::string("ABCD")); // room for 2 x 1 cells
    w.setFlags(16);
    for (int i = 0; i < 10; ++i)
        w.Update(30);
    w.DrawOn(screen);
    EXPECT_EQ(cell(0, 0, 1, 0), glyphRGBOf('B'));
    EXPECT_TRUE(w.isDirty());
}

TEST_F(TextWindow, SetStringRestartsTheRevealAndRedraws) {
    vondTextWin w(0, 0, 200, 80, 0, 1, std::string("AAAA"));
    w.DrawOn(screen);
    w.setString("BB");
    EXPECT_EQ(w.getShownChars(), 0);
    EXPECT_TRUE(w.isDirty());
    w.DrawOn(screen);
    EXPECT_EQ(cell(0, 0, 0, 0), glyphRGBOf('B'));
    EXPECT_EQ(cell(0, 0, 2, 0), BLACK);
}

TEST_F(TextWindow, BorderColourShowsOnlyAtTheNextRedraw) {
    vondTextWin w(0, 0, 200, 80, 0, 1, std::string("A"));
    w.DrawOn(screen);
    w.setBD(255); // pure red in the engine format
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 2, 2), WHITE);
    w.setString("A");
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 2, 2), 0xFF0000u);
}

TEST_F(TextWindow, TransparentBorderAndBackgroundLeaveOnlyTheGlyphs) {
    vondTextWin w(0, 0, 200, 80, 0, 1, std::string("A"));
    w.setFlags(96);
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 2, 2), GREY);
    EXPECT_EQ(pixelRGB(screen, 50, 50), GREY);
    EXPECT_EQ(cell(0, 0, 0, 0), glyphRGBOf('A'));
    // Clearing the bits later keeps both transparent.
    w.setFlags(0);
    w.setString("A");
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0x40, 0x40, 0x40));
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 2, 2), GREY);
}

TEST_F(TextWindow, TransparencySetAfterTheFirstDrawShowsAtTheNextRedraw) {
    vondTextWin w(0, 0, 200, 80, 0, 1, std::string("A"));
    w.DrawOn(screen);
    w.setFlags(32);
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0x40, 0x40, 0x40));
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 2, 2), WHITE);
    w.setString("A");
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0x40, 0x40, 0x40));
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 2, 2), GREY);
    EXPECT_EQ(pixelRGB(screen, 50, 50), BLACK);
}

TEST_F(TextWindow, HiddenWindowNeitherDrawsNorRedrawsButStillReveals) {
    vondTextWin w(0, 0, 200, 80, 0, 1, std::string("AB"));
    w.setFlags(16);
    w.ToggleHidden();
    w.Update(30);
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 2, 2), GREY);
    EXPECT_EQ(w.getShownChars(), 1);
    EXPECT_TRUE(w.isDirty());
}

TEST_F(TextWindow, WithoutAFontTheFrameIsDrawnAndNoCharacters) {
    delete vondFontStore[0];
    vondFontStore[0] = nullptr;
    vondTextWin w(0, 0, 200, 80, 0, 1, std::string("AAA"));
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 2, 2), WHITE);
    EXPECT_EQ(cell(0, 0, 0, 0), BLACK);
    w.setFont(300); // outside the font store: still no font
    w.DrawOn(screen);
    EXPECT_EQ(cell(0, 0, 0, 0), BLACK);
}

TEST_F(TextWindow, TextComesFromTheStringStoreAsACopy) {
    vondStringStore[5] = "Hello";
    vondTextWin w(0, 0, 200, 80, 0, 1, 5);
    vondStringStore[5] = "Bye";
    vondTextWin outside(300, 0, 200, 80, 0, 1, 9000);
    w.DrawOn(screen);
    outside.DrawOn(screen);
    EXPECT_EQ(w.getText(), "Hello");
    EXPECT_EQ(cell(0, 0, 0, 0), glyphRGBOf('H'));
    EXPECT_EQ(outside.getText(), "");
    vondStringStore[5].clear();
}

TEST_F(TextWindow, TinyAndImpossibleSizesDrawWithoutCrashing) {
    vondTextWin tiny(0, 0, 10, 10, 0, 1, std::string("AAAA"));
    vondTextWin none(0, 0, -5, 0, 0, 1, std::string("AAAA"));
    tiny.DrawOn(screen);
    none.DrawOn(screen);
    none.setFlags(96);
    EXPECT_EQ(pixelRGB(screen, 9, 9), WHITE);
    EXPECT_EQ(pixelRGB(screen, 10, 10), GREY);
}

} // namespace
