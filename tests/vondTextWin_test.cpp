// Text windows: frame and background, the 16 x 16 cell layout with its line
// breaks, the reveal timing, the transparency flags and the redraw rules.
#include "KAV_Font.h"
#include "vondRun.h"
#include "vondTestPictures.h"
#include "vondWindow2.h"

#include <cstring>

namespace {

constexpr Uint32 GREY = 0x404040, WHITE = 0xFFFFFF, BLACK = 0;

// Font 0 is the test font picture for the lifetime of the fixture.
struct TextWindow : ::testing::Test {
    StoredImage picture{65280, makeFontPicture()};
    SDL_Surface* screen = solidSurface(640, 480, 0x40, 0x40, 0x40);
    TextWindow() { vondStoreFont(0, new KAV_Font(65280)); }
    ~TextWindow() override {
        vondStoreFont(0, nullptr);
        SDL_FreeSurface(screen);
    }
    void draw(std::initializer_list<vondTextWin*> windows) {
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0x40, 0x40, 0x40));
        for (vondTextWin* w : windows)
            w->DrawOn(screen);
    }
    // Centre of the character cell at column col, line row of a window at (wx, wy).
    Uint32 cell(int wx, int wy, int col, int row) {
        return pixelRGB(screen, wx + 24 + 16 * col, wy + 24 + 16 * row);
    }
};

TEST_F(TextWindow, FrameBackgroundAndTenCellsPerLineWithLineFeedsAndCutOff) {
    vondTextWin w(100, 50, 200, 80, 0, 1, std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abc"));
    vondTextWin feed(300, 0, 88, 100, 0, 2, std::string("ABC\nD")); // three cells per line
    draw({&w, &feed});
    for (auto [d, rgb] : {std::pair(0, WHITE), {7, WHITE}, {8, BLACK}}) // into both corners
        EXPECT_TRUE(pixelRGB(screen, 100 + d, 50 + d) == rgb &&
                    pixelRGB(screen, 299 - d, 129 - d) == rgb)
            << d;
    EXPECT_TRUE(pixelRGB(screen, 300, 130) == GREY && pixelRGB(screen, 116, 66) == BLACK);
    EXPECT_TRUE(cell(100, 50, 9, 0) == glyphRGBOf('J') && cell(100, 50, 10, 0) == BLACK);
    EXPECT_TRUE(cell(100, 50, 0, 1) == glyphRGBOf('K') && cell(100, 50, 9, 2) == glyphRGBOf('^'));
    EXPECT_EQ(cell(100, 50, 0, 3), WHITE) << "a fourth line would start in the border";
    EXPECT_TRUE(cell(300, 0, 2, 0) == glyphRGBOf('C') && cell(300, 0, 0, 1) == BLACK &&
                cell(300, 0, 0, 2) == glyphRGBOf('D'))
        << "a line feed after a full line gives an empty line";
}

TEST_F(TextWindow, RevealShowsOneCharacterPer30MsAndRedrawsUntilAllAreOut) {
    vondTextWin w(0, 0, 200, 80, 0, 1, std::string("ABCDE"));
    w.setFlags(16);
    w.Update(100);
    w.Update(0); // the rest was carried over
    draw({&w});
    EXPECT_TRUE(cell(0, 0, 1, 0) == glyphRGBOf('B') && cell(0, 0, 2, 0) == BLACK && w.isDirty());
    for (int i = 0; i < 13; ++i)
        w.Update(30);
    draw({&w});
    EXPECT_TRUE(cell(0, 0, 4, 0) == glyphRGBOf('E') && !w.isDirty());
    EXPECT_EQ(w.getShownChars(), 6) << "stops at length + 1";
    w.setString("BB");
    EXPECT_TRUE(w.getShownChars() == 0 && w.isDirty());
}

TEST_F(TextWindow, BorderColourAndTransparencyShowAtTheNextRedrawAndStayWhenCleared) {
    vondTextWin red(0, 0, 200, 80, 0, 1, std::string("A"));
    vondTextWin keyed(0, 100, 200, 80, 0, 2, std::string("A"));
    vondTextWin cleared(300, 0, 200, 80, 0, 3, std::string("A"));
    draw({&red, &keyed});
    red.setBD(255); // pure red in the engine format
    keyed.setFlags(32);
    cleared.setFlags(96);
    cleared.setFlags(0);
    draw({&red, &keyed});
    EXPECT_TRUE(pixelRGB(screen, 2, 2) == WHITE && pixelRGB(screen, 2, 102) == WHITE);
    for (vondTextWin* w : {&red, &keyed, &cleared})
        w->setString("A");
    draw({&red, &keyed, &cleared});
    EXPECT_EQ(pixelRGB(screen, 2, 2), 0xFF0000u);
    EXPECT_TRUE(pixelRGB(screen, 2, 102) == GREY && pixelRGB(screen, 50, 150) == BLACK);
    EXPECT_TRUE(pixelRGB(screen, 302, 2) == GREY && pixelRGB(screen, 350, 50) == GREY)
        << "clearing the bits keeps both transparent";
    EXPECT_EQ(cell(300, 0, 0, 0), glyphRGBOf('A'));
}

TEST_F(TextWindow, StringStoreIsCopiedAndMissingFontsStringsOrSizesDrawNoText) {
    vondStringStore[5] = "Hello";
    vondTextWin stored(0, 0, 200, 80, 0, 1, 5), outside(300, 0, 200, 80, 0, 1, 9000);
    vondStringStore[5].clear();
    vondTextWin none(0, 300, -5, 0, 0, 1, std::string("A")),
        noFont(300, 200, 200, 80, 0, 1, std::string("AA"));
    none.setFlags(96);
    draw({&stored, &outside, &none});
    EXPECT_TRUE(cell(0, 0, 0, 0) == glyphRGBOf('H') && outside.getText().empty());
    stored.setFont(300); // outside the font store
    noFont.setFont(1);   // an empty slot
    draw({&stored, &noFont});
    EXPECT_TRUE(cell(0, 0, 0, 0) == BLACK && cell(300, 200, 0, 0) == BLACK);
    EXPECT_EQ(pixelRGB(screen, 302, 202), WHITE);
}

bool sameSurfaces(SDL_Surface* a, SDL_Surface* b) {
    for (int y = 0; y < a->h; ++y)
        if (std::memcmp(static_cast<Uint8*>(a->pixels) + y * a->pitch,
                        static_cast<Uint8*>(b->pixels) + y * b->pitch, 4 * a->w) != 0)
            return false;
    return true;
}

// A window drawn every frame while it reveals (adding only the new characters)
// must look exactly like one drawn once at the same point: through line feeds,
// wraps, overflow, a border colour changed half-way and glyphs wider than cells.
TEST_F(TextWindow, RevealDrawnEveryFrameMatchesTheWholeTextDrawnAtOnce) {
    StoredImage wide{65281, makeFontPicture(20, 20)};
    vondStoreFont(1, new KAV_Font(65281, 20, 20));
    const std::string text = "AB\nCDEFGHIJ\n\nKLMNOPQRSTUVWXYZ";
    for (int font : {0, 1}) {
        vondTextWin stepped(0, 0, 120, 88, 16, 1, text);
        stepped.setFont(font);
        for (int frame = 1; frame <= 40; ++frame) {
            stepped.Update(30);
            if (frame == 12) stepped.setBD(255);
            stepped.DrawOn(nullptr);
            vondTextWin once(0, 0, 120, 88, 16, 2, text);
            once.setFont(font);
            if (frame >= 12) once.setBD(255);
            for (int f = 0; f < frame; ++f)
                once.Update(30);
            once.DrawOn(nullptr);
            ASSERT_TRUE(sameSurfaces(stepped.getSurface(), once.getSurface()))
                << "font " << font << ", frame " << frame;
        }
    }
    vondStoreFont(1, nullptr);
}

// A window narrower than two borders still gets its background from x = 8 on:
// the inner rectangle's negative width wraps and the fill runs to the edge.
TEST_F(TextWindow, NarrowWindowsFillTheirBackgroundFromTheBorderToTheEdge) {
    vondTextWin narrow(0, 0, 12, 100, 0, 1, std::string()),
        thin(100, 0, 6, 100, 0, 2, std::string());
    draw({&narrow, &thin});
    EXPECT_TRUE(pixelRGB(screen, 7, 50) == WHITE && pixelRGB(screen, 8, 50) == BLACK &&
                pixelRGB(screen, 11, 50) == BLACK && pixelRGB(screen, 12, 50) == GREY);
    EXPECT_TRUE(pixelRGB(screen, 105, 50) == WHITE && pixelRGB(screen, 106, 50) == GREY);
}

} // namespace
