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
    resumable = false;
}

void vondTextWin::setFont(int n) {
    font = vondFontOk(n) ? vondFontStore[n] : nullptr;
    dirty = true;
    resumable = false;
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

vondTextWin::Look vondTextWin::currentLook() const {
    Look look{bdColor, bgColor, flags, font.get(), font.get() != nullptr, {}};
    if (font) look.fontLook = font->look();
    return look;
}

bool vondTextWin::Look::operator==(const Look& o) const {
    return border == o.border && background == o.background && flags == o.flags &&
           font == o.font && hasFontLook == o.hasFontLook &&
           (!hasFontLook || fontLook == o.fontLook);
}

void vondTextWin::DrawOn(SDL_Surface* target) {
    if (hidden || surface == nullptr) return;
    if (dirty) {
        Look look = currentLook();
        if (!resumable || !(look == drawnLook)) {
            SDL_FillRect(surface, nullptr, bdColor);
            // In a window narrower or lower than two borders the size wraps to
            // a large 16-bit one and the fill runs to the surface's edge.
            SDL_Rect inner = newRect(BORDER, BORDER, w - 2 * BORDER, h - 2 * BORDER);
            SDL_FillRect(surface, &inner, bgColor);
            nextChar = 0;
            cellX = CELL;
            cellY = CELL;
        }
        printString();
        drawnLook = look;
        resumable = true;
        // In reveal mode printString clears dirty once the last character is out.
        if (!(flags & FLAG_REVEAL)) dirty = false;
    }
    if (target == nullptr) return;
    SDL_Rect at = newRect(x, y, 0, 0);
    vondBlit(surface, nullptr, target, &at);
}

// Lays the text out in cells from where the last call stopped: a line ends at
// a line feed (which is consumed) or when the next cell would come within 24
// pixels of the right edge; the text stops within 24 pixels of the bottom, or
// at the revealed count.
void vondTextWin::printString() {
    const int length = static_cast<int>(text.size());
    const bool reveal = (flags & FLAG_REVEAL) != 0;
    // A window without a usable font keeps its frame and shows no characters.
    KAV_Font* drawWith = font && font->hasPicture() ? font.get() : nullptr;
    while (cellY < h - TEXT_MARGIN && nextChar < length) {
        if (cellX >= w - TEXT_MARGIN) {
            cellX = CELL;
            cellY += CELL;
            continue;
        }
        if (reveal && nextChar >= shownChars) break;
        unsigned char c = static_cast<unsigned char>(text[nextChar++]);
        if (c == '\n') {
            cellX = CELL;
            cellY += CELL;
            continue;
        }
        if (drawWith != nullptr) drawWith->writeChar(c, cellX, cellY, surface);
        cellX += CELL;
    }
    if (nextChar >= length) dirty = false;
}
