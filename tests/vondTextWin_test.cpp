// Text windows: frame and background, the 16 x 16 cell layout with its line
// breaks, the reveal timing, the transparency flags and the redraw rules.
#include "KAV_Font.h"
#include "vondRun.h"
#include "vondTestPictures.h"
#include "vondWindow2.h"

#include <gtest/gtest.h>

namespace {

constexpr Uint32 GREY = 0x404040, WHITE = 0xFFFFFF, BLACK = 0;

// Font 0 is the test font picture for the lifetime of the fixture.
class TextWindow : public ::testing::Test {
  protected:
    StoredImage picture{65280, makeFontPicture()};
    SDL_Surface* screen = solidSurface(640, 480, 0x40, 0x40, 0x40);
    TextWindow() { vondFontStore[0] = new KAV_Font(65280); }
    ~TextWindow() override {
        delete vondFontStore[0];
        vondFontStore[0] = nullptr;
        SDL_FreeSurface(screen);
    }
    void clear() { SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0x40, 0x40, 0x40)); }
    // Centre of the character cell at column col, line row of a window at (wx, wy).
    Uint32 cell(int wx, int wy, int col, int row) {
        return pixelRGB(screen, wx + 24 + 16 * col, wy + 24 + 16 * row);
    }
};

TEST_F(TextWindow, FrameBackgroundAndTenCellsPerLineWithLineFeedsAndCutOff) {
    vondTextWin w(100, 50, 200, 80, 0, 1, std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdef"));
    vondTextWin feed(300, 0, 88, 100, 0, 2, std::string("ABC\nD")); // three cells per line
    w.DrawOn(screen);
    feed.DrawOn(screen);
    const struct { int x, y; Uint32 rgb; } frame[] = {
        {100, 50, WHITE}, {107, 57, WHITE}, {108, 58, BLACK}, {291, 121, BLACK},
        {292, 122, WHITE}, {299, 129, WHITE}, {300, 130, GREY}};
    for (auto p : frame)
        EXPECT_EQ(pixelRGB(screen, p.x, p.y), p.rgb) << p.x << "," << p.y;
    EXPECT_EQ(pixelRGB(screen, 116, 66), BLACK) << "the glyph's key-coloured rim";
    EXPECT_EQ(cell(100, 50, 9, 0), glyphRGBOf('J'));
    EXPECT_EQ(cell(100, 50, 10, 0), BLACK);
    EXPECT_EQ(cell(100, 50, 0, 1), glyphRGBOf('K'));
    EXPECT_EQ(cell(100, 50, 9, 2), glyphRGBOf('^'));
    EXPECT_EQ(cell(100, 50, 0, 3), WHITE) << "a fourth line would start in the border";
    EXPECT_EQ(cell(300, 0, 2, 0), glyphRGBOf('C'));
    EXPECT_EQ(cell(300, 0, 0, 1), BLACK) << "a line feed after a full line gives an empty one";
    EXPECT_EQ(cell(300, 0, 0, 2), glyphRGBOf('D'));
}

TEST_F(TextWindow, RevealShowsOneCharacterPer30MsAndRedrawsUntilAllAreOut) {
    vondTextWin w(0, 0, 200, 80, 0, 1, std::string("ABCDE"));
    vondTextWin unfit(300, 0, 72, 56, 0, 2, std::string("ABCD")); // room for 2 x 1 cells
    w.setFlags(16);
    unfit.setFlags(16);
    unfit.ToggleHidden();
    w.Update(100);
    EXPECT_EQ(w.getShownChars(), 1);
    EXPECT_EQ(w.getRevealMs(), 70u) << "the rest is carried over";
    w.Update(0);
    w.DrawOn(screen);
    EXPECT_EQ(cell(0, 0, 1, 0), glyphRGBOf('B'));
    EXPECT_EQ(cell(0, 0, 2, 0), BLACK);
    EXPECT_TRUE(w.isDirty());
    for (int i = 0; i < 13; ++i) {
        w.Update(30);
        unfit.Update(30);
    }
    w.DrawOn(screen);
    unfit.DrawOn(screen);
    EXPECT_EQ(cell(0, 0, 4, 0), glyphRGBOf('E'));
    EXPECT_FALSE(w.isDirty());
    EXPECT_EQ(w.getShownChars(), 6) << "stops at length + 1";
    EXPECT_EQ(pixelRGB(screen, 302, 2), GREY) << "hidden: not drawn";
    EXPECT_EQ(unfit.getShownChars(), 5) << "hidden windows still reveal";
    EXPECT_TRUE(unfit.isDirty()) << "text that does not fit keeps redrawing";
    w.setString("BB");
    EXPECT_EQ(w.getShownChars(), 0);
    EXPECT_TRUE(w.isDirty());
}

TEST_F(TextWindow, BorderColourAndTransparencyShowAtTheNextRedrawAndStayWhenCleared) {
    vondTextWin red(0, 0, 200, 80, 0, 1, std::string("A")), keyed(0, 100, 200, 80, 0, 2, std::string("A"));
    vondTextWin cleared(300, 0, 200, 80, 0, 3, std::string("A"));
    red.DrawOn(screen);
    keyed.DrawOn(screen);
    red.setBD(255); // pure red in the engine format
    keyed.setFlags(32);
    cleared.setFlags(96);
    cleared.setFlags(0);
    clear();
    red.DrawOn(screen);
    keyed.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 2, 2), WHITE) << "no redraw without a new string";
    EXPECT_EQ(pixelRGB(screen, 2, 102), WHITE);
    for (vondTextWin* w : {&red, &keyed, &cleared})
        w->setString("A");
    clear();
    for (vondTextWin* w : {&red, &keyed, &cleared})
        w->DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 2, 2), 0xFF0000u);
    EXPECT_EQ(pixelRGB(screen, 2, 102), GREY);
    EXPECT_EQ(pixelRGB(screen, 50, 150), BLACK);
    EXPECT_EQ(pixelRGB(screen, 302, 2), GREY) << "clearing the bits keeps both transparent";
    EXPECT_EQ(pixelRGB(screen, 350, 50), GREY);
    EXPECT_EQ(cell(300, 0, 0, 0), glyphRGBOf('A'));
}

TEST_F(TextWindow, MissingFontStringOrSizeDrawsWithoutCrashing) {
    vondStringStore[5] = "Hello";
    vondTextWin stored(0, 0, 200, 80, 0, 1, 5);
    vondStringStore[5] = "Bye";
    vondTextWin outside(300, 0, 200, 80, 0, 1, 9000);
    vondTextWin tiny(0, 200, 10, 10, 0, 1, std::string("AAAA"));
    vondTextWin none(0, 300, -5, 0, 0, 1, std::string("AAAA"));
    none.setFlags(96);
    for (vondTextWin* w : {&stored, &outside, &tiny, &none})
        w->DrawOn(screen);
    EXPECT_EQ(cell(0, 0, 0, 0), glyphRGBOf('H')) << "the string store is copied";
    EXPECT_EQ(outside.getText(), "");
    EXPECT_EQ(pixelRGB(screen, 9, 209), WHITE);
    EXPECT_EQ(pixelRGB(screen, 10, 210), GREY);
    vondStringStore[5].clear();
    stored.setFont(300); // outside the font store
    stored.setString("A");
    delete vondFontStore[0];
    vondFontStore[0] = nullptr;
    vondTextWin noFont(300, 200, 200, 80, 0, 1, std::string("AAA"));
    noFont.DrawOn(screen);
    stored.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 302, 202), WHITE);
    EXPECT_EQ(cell(300, 200, 0, 0), BLACK);
    EXPECT_EQ(cell(0, 0, 0, 0), BLACK);
}

} // namespace
