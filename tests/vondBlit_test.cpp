// vondBlit must leave exactly the pixels SDL_BlitSurface leaves: the same
// clipping, the same colour keying, the same conversion onto the display, and
// SDL itself for everything it does not copy on its own.
#include "vondBlit.h"
#include "vondSceneFixture.h"
#include "vondStores.h"

#include <tuple>

namespace {

// Pseudo-random pixels (top byte `top`) of which every fifth is `keyEvery5`.
void scribble(SDL_Surface* s, uint32_t seed, Uint32 keyEvery5, Uint32 top = 0) {
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            Uint32 p = (x + y) % 5 == 0 ? keyEvery5 : top | ((seed >> 4) & 0x00FFFFFF);
            if (s->format->BytesPerPixel == 4)
                reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x] = p;
            else
                SDL_memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch + 3 * x, &p, 3);
        }
}

// Whole 32-bit words (unused byte included), or RGB only.
std::vector<Uint32> pixelsOf(SDL_Surface* s, bool words) {
    std::vector<Uint32> out;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            out.push_back(
                words ? reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x]
                      : pixelRGB(s, x, y));
    return out;
}

// Every clipping case: inside, over each edge, a source rectangle reaching
// outside its surface, negative source origins, nothing left.
const struct Placement {
    bool wholeSource;
    SDL_Rect source;
    int x, y;
} placements[] = {
    {true, {0, 0, 0, 0}, 10, 12},          {true, {0, 0, 0, 0}, -20, -7},
    {true, {0, 0, 0, 0}, 600, 460},        {true, {0, 0, 0, 0}, 700, 10},
    {false, {5, 3, 20, 30}, 100, 50},      {false, {-4, -6, 30, 30}, 30, 40},
    {false, {30, 40, 100, 100}, 630, -10}, {false, {0, 0, 0, 5}, 1, 1},
};

constexpr Uint32 NO_KEY = 0xFFFFFFFF;

// Each source, keyed or not, is blitted at every placement with SDL onto one
// target and with vondBlit onto an equal one, without and then with a clip
// rectangle, onto engine-format surfaces and onto the display (whose reference
// has its format but is not the display, so SDL converts onto it alike).
// Pictures from RGB files are 24-bit: a plain blit keeps the target's unused
// byte and a keyed one writes it as 0. A key whose unused byte differs from
// the pixels' is no key. Alpha, other depths and channel orders are SDL's.
TEST(vondBlit, LeavesTheSamePixelsAndRectanglesAsSdlBlitSurface) {
    SDL_Surface* screen = displaySurface();
    ASSERT_NE(screen, nullptr);
    SDL_Surface* engine = KAV_NewSurface(0, 64, 48);
    SDL_Surface* rgb24 = SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 30, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    SDL_Surface* half = KAV_NewSurface(0, 40, 40);
    SDL_Surface* rgb16 = SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 40, 16, 0xF800, 0x7E0, 0x1F, 0);
    SDL_Surface* swapped =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 40, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    scribble(engine, 1, 0x01F803FB);
    scribble(rgb24, 2, 0xF803FB);
    scribble(half, 5, 0xF803FB);
    SDL_SetAlpha(half, SDL_SRCALPHA, 128);
    SDL_FillRect(rgb16, nullptr, 0x1234);
    scribble(swapped, 6, 0);
    const struct {
        SDL_Surface* src;
        Uint32 key;
        bool fast;
        bool words;
    } cases[] = {
        {engine, NO_KEY, true, true},     {engine, 0x01F803FB, true, true},
        {engine, 0x00F803FB, true, true}, {rgb24, NO_KEY, true, true},
        {rgb24, 0xF803FB, true, true},    {half, NO_KEY, false, false},
        {rgb16, NO_KEY, false, true},     {swapped, NO_KEY, false, true},
    };
    const SDL_PixelFormat* f = screen->format;
    SDL_Surface* reference =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, f->Rmask, f->Gmask, f->Bmask, 0);
    SDL_Surface* a = KAV_NewSurface(0, 640, 480);
    SDL_Surface* b = KAV_NewSurface(0, 640, 480);
    for (const auto& c : cases) {
        int at = static_cast<int>(&c - cases);
        SDL_SetColorKey(c.src, c.key == NO_KEY ? 0 : SDL_SRCCOLORKEY, c.key == NO_KEY ? 0 : c.key);
        EXPECT_EQ(vondBlitIsFast(c.src, a), c.fast) << "case " << at;
        for (SDL_Surface* s : {a, b, reference, screen})
            scribble(s, 9 + at, 0, 0x77000000);
        for (SDL_Rect clip : {newRect(0, 0, 640, 480), newRect(40, 30, 300, 200)})
            for (auto pair : {std::make_pair(a, b), std::make_pair(reference, screen)}) {
                SDL_SetClipRect(pair.first, &clip);
                SDL_SetClipRect(pair.second, &clip);
                for (const Placement& p : placements) {
                    SDL_Rect srA = p.source, srB = p.source;
                    SDL_Rect atA = newRect(p.x, p.y, 0, 0), atB = atA;
                    SDL_BlitSurface(c.src, p.wholeSource ? nullptr : &srA, pair.first, &atA);
                    vondBlit(c.src, p.wholeSource ? nullptr : &srB, pair.second, &atB);
                    EXPECT_EQ(std::tie(atA.x, atA.y, atA.w, atA.h),
                              std::tie(atB.x, atB.y, atB.w, atB.h))
                        << "case " << at << " at " << p.x << "," << p.y;
                }
            }
        EXPECT_EQ(pixelsOf(a, c.words), pixelsOf(b, c.words)) << "case " << at;
        EXPECT_EQ(pixelsOf(reference, false), pixelsOf(screen, false)) << "case " << at;
    }
    SDL_SetClipRect(screen, nullptr);
    for (SDL_Surface* s : {engine, rgb24, half, rgb16, swapped, reference, a, b})
        SDL_FreeSurface(s);
}

} // namespace
