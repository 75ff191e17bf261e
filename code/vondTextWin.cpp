// Text windows: a framed box that lays its text out in 16 x 16 cells with the
// font of font slot 0, optionally revealing one character every 30 ms. The text
// is drawn into the window's own surface only when something changed; every
// other frame costs one blit.
#include "KAV_Font.h"
#include "vondBlit.h"
#include "vondStores.h"
#include "vondWindow2.h"

namespace {
constexpr int BORDER = 8;
constexpr int CELL = 16;        // character cell width and height
constexpr int TEXT_MARGIN = 24; // cells start while their edge is below size - 24
constexpr unsigned REVEAL_MS = 30;
} // namespace

vondTextWin::vondTextWin(int x, int y, int w, int h, unsigned f, unsigned id, int stringNumber)
    : vondTextWin(x, y, w, h, f, id,
                  vondStringOk(stringNumber) ? vondStringStore[stringNumber] : std::string()) {}

vondTextWin::vondTextWin(int x, int y, int w, int h, unsigned f, unsigned id, std::string s)
    : vondWindow2(x, y, w, h, f, id), text(std::move(s)) {
    winType = TEXT_WINDOW;
    // A size SDL cannot make leaves the window without a surface: it draws nothing.
    if (w > 0 && h > 0) surface = KAV_NewSurface(0, w, h);
    font = vondFontStore[0];
}

vondTextWin::~vondTextWin() {
    SDL_FreeSurface(surface);
}

void vondTextWin::setString(std::string s) {
    text = std::move(s);
    shownChars = 0;
    revealMs = 0;
    dirty = true;
}

void vondTextWin::setFont(int n) {
    font = vondFontOk(n) ? vondFontStore[n] : nullptr;
    dirty = true;
}

void vondTextWin::setFlags(unsigned f) {
    vondWindow2::setFlags(f);
    if (surface == nullptr) return;
    if (f & FLAG_CLEAR_BORDER) {
        SDL_SetColorKey(surface, SDL_SRCCOLORKEY, SPRITE_TRANS_COLOR);
        bdColor = SPRITE_TRANS_COLOR;
    }
    if (f & FLAG_CLEAR_BACKGROUND) {
        SDL_SetColorKey(surface, SDL_SRCCOLORKEY, SPRITE_TRANS_COLOR);
        bgColor = SPRITE_TRANS_COLOR;
    }
}

void vondTextWin::Update(unsigned ms) {
    vondWindow2::Update(ms);
    // One character at most per call; the rest of the time carries over.
    if (shownChars <= static_cast<int>(text.size())) {
        revealMs += ms;
        if (revealMs > REVEAL_MS - 1) {
            revealMs -= REVEAL_MS;
            ++shownChars;
        }
    }
}

void vondTextWin::DrawOn(SDL_Surface* target) {
    if (hidden || surface == nullptr) return;
    if (dirty) {
        SDL_FillRect(surface, nullptr, bdColor);
        SDL_Rect inner = newRect(BORDER, BORDER, w - 2 * BORDER, h - 2 * BORDER);
        if (w > 2 * BORDER && h > 2 * BORDER) SDL_FillRect(surface, &inner, bgColor);
        printString();
        // In reveal mode printString clears dirty once the last character is out.
        if (!(flags & FLAG_REVEAL)) dirty = false;
    }
    if (target == nullptr) return;
    SDL_Rect at = newRect(x, y, 0, 0);
    vondBlit(surface, nullptr, target, &at);
}

void vondTextWin::printString() {
    const int length = static_cast<int>(text.size());
    const bool reveal = (flags & FLAG_REVEAL) != 0;
    // A window without a usable font keeps its frame and shows no characters.
    KAV_Font* drawWith = font != nullptr && font->hasPicture() ? font : nullptr;
    int i = 0;
    for (int py = CELL; py < h - TEXT_MARGIN && i < length && (!reveal || i < shownChars);
         py += CELL) {
        for (int px = CELL; px < w - TEXT_MARGIN && i < length && (!reveal || i < shownChars);) {
            unsigned char c = static_cast<unsigned char>(text[i++]);
            if (c == '\n') break; // ends the line early and is consumed
            if (drawWith != nullptr) drawWith->writeChar(c, px, py, surface);
            px += CELL;
        }
    }
    if (i >= length) dirty = false;
}
