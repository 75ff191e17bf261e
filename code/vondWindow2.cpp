// The window base class (moves, timed moves, hiding, the hit test) and the
// picture window, which shows its own copy of a store image.
#include "vondWindow2.h"

#include "KAV_Font.h"
#include "vondBlit.h"
#include "vondImageGuard.h"
#include "vondLog.h"
#include "vondStores.h"

#include <climits>
#include <cmath>
#include <cstdlib>

vondWindow2::vondWindow2(int x, int y, int w, int h, unsigned flags, unsigned ID)
    : ID(ID), flags(flags), x(x), y(y), w(w), h(h) {}

void vondWindow2::Move(int nx, int ny) {
    x = nx;
    y = ny;
}

void vondWindow2::MoveBy(int dx, int dy) {
    x = vondWrapInt(static_cast<long long>(x) + dx);
    y = vondWrapInt(static_cast<long long>(y) + dy);
}

namespace {

// Distance between two positions, at most INT_MAX.
int distance(int from, int to) {
    long long d = std::llabs(static_cast<long long>(from) - to);
    return d > INT_MAX ? INT_MAX : static_cast<int>(d);
}

} // namespace

void vondWindow2::TimedMoveBy(int dx, int dy, int sx, int sy) {
    vondLog("Timed move called on window: ", ID, " to: ", dx, ",", dy);
    moving = true;
    targetX = vondWrapInt(static_cast<long long>(x) + dx);
    targetY = vondWrapInt(static_cast<long long>(y) + dy);
    speedX = targetX < x ? vondWrapInt(-static_cast<long long>(sx)) : sx;
    speedY = targetY < y ? vondWrapInt(-static_cast<long long>(sy)) : sy;
    remainX = distance(x, targetX);
    remainY = distance(y, targetY);
}

namespace {

// One axis of a timed move. The fraction is dropped at every whole-pixel step,
// so the average speed can fall below the one asked for; the games' timings
// were tuned with this.
void stepAxis(unsigned ms, int speed, float& accum, int& remain, int& pos, int& target,
              int& speedOut) {
    accum = static_cast<float>(accum + speed * (ms / 1000.0));
    if (std::fabs(accum) > 1.0f) {
        // Whole pixels, truncated; a step past the int range (a huge speed, a
        // long first frame) overshoots any distance and ends the move.
        const double magnitude = std::fabs(accum);
        const long long step =
            magnitude <= INT_MAX ? static_cast<long long>(magnitude) : INT_MAX + 1LL;
        if (remain - step < 0) {
            pos = target;
            speedOut = 0;
            remain = 0;
        } else {
            remain = static_cast<int>(remain - step);
            pos = vondWrapInt(pos + (accum < 0 ? -step : step));
        }
        accum = 0;
    }
}

} // namespace

void vondWindow2::Update(unsigned ms) {
    if (!moving) return;
    stepAxis(ms, speedX, accumX, remainX, x, targetX, speedX);
    stepAxis(ms, speedY, accumY, remainY, y, targetY, speedY);
    if (remainX == 0 && remainY == 0) moving = false;
}

void vondWindow2::doInput(int, int) {}

bool vondWindow2::isIn(int px, int py) const {
    return x <= px && px <= static_cast<long long>(x) + w && y <= py &&
           py <= static_cast<long long>(y) + h;
}

// Picture window ------------------------------------------------------------

vondImageWin::vondImageWin(int x, int y, unsigned f, unsigned id, int image)
    : vondWindow2(x, y, 0, 0, f, id), imageIndex(image) {
    winType = PICTURE_WINDOW;
    SDL_Surface* source = vondImageAt(image);
    if (source == nullptr) {
        vondLog("Asked to use nonexistant picture: ", image);
        hidden = true;
        return;
    }
    // The store image itself is left untouched: only the copy gets a key, so
    // layers, sprites and other windows using the same image are not disturbed.
    picture = KAV_NewSurface(0, source->w, source->h);
    if (picture == nullptr) {
        hidden = true;
        return;
    }
    SDL_Rect at = newRect(0, 0, 0, 0);
    SDL_BlitSurface(source, nullptr, picture, &at);
    if (flags & FLAG_PICTURE_KEY)
        SDL_SetColorKey(picture, SDL_SRCCOLORKEY, KAV_TopLeftPixel(picture));
}

vondImageWin::vondImageWin(int x, int y, unsigned f, unsigned id, const char* file)
    : vondWindow2(x, y, 0, 0, f, id) {
    winType = PICTURE_WINDOW;
    picture = file != nullptr ? vondLoadImage(file) : nullptr;
    if (picture != nullptr && (flags & FLAG_PICTURE_KEY))
        SDL_SetColorKey(picture, SDL_SRCCOLORKEY, KAV_TopLeftPixel(picture));
    imageIndex = -1;
}

vondImageWin::~vondImageWin() {
    SDL_FreeSurface(picture);
}

void vondImageWin::DrawOn(SDL_Surface* target) {
    if (picture == nullptr || hidden || target == nullptr) return;
    SDL_Rect at = newRect(x, y, 0, 0);
    vondBlit(picture, nullptr, target, &at);
}

void vondImageWin::setFlags(unsigned f) {
    // A window whose picture never existed is a broken scene: the program stops.
    if (picture == nullptr) {
        vondFatal("Setting flags on NULL picture!");
    }
    vondWindow2::setFlags(f);
    if ((f & FLAG_PICTURE_KEY) &&
        SDL_SetColorKey(picture, SDL_SRCCOLORKEY, KAV_TopLeftPixel(picture)) == -1)
        vondLog("Error setting color key for image!");
}
