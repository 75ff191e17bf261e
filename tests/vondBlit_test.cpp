// vondBlit must leave exactly the pixels SDL_BlitSurface leaves: the same
// clipping, the same colour keying, the same conversion onto the display, and
// SDL itself for everything it does not copy on its own.
#include "vondBlit.h"
#include "vondStores.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace {

SDL_Surface* display() {
    if (SDL_GetVideoSurface() == nullptr) {
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        SDL_SetVideoMode(640, 480, 32, 0);
    }
    return SDL_GetVideoSurface();
}

// Pseudo-random pixels of which every fifth is the key colour given.
void scribble(SDL_Surface* s, uint32_t seed, Uint32 keyEvery5) {
    for (int y = 0; y < s->h; ++y) {
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < s->w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            row[x] = (x + y) % 5 == 0 ? keyEvery5 : (seed >> 4) & 0x00FFFFFF;
        }
    }
}

std::vector<Uint32> rgbOf(SDL_Surface* s) {
    std::vector<Uint32> out;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            Uint32 p = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x];
            Uint8 r, g, b;
            SDL_GetRGB(p, s->format, &r, &g, &b);
            out.push_back(static_cast<Uint32>(r) << 16 | g << 8 | b);
        }
    return out;
}

std::vector<Uint32> wordsOf(SDL_Surface* s) {
    std::vector<Uint32> out;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            out.push_back(
                reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x]);
    return out;
}

struct Placement {
    bool wholeSource;
    SDL_Rect source;
    int x, y;
};

// Placements covering every clipping case: inside, over each edge, a source
// rectangle reaching outside its surface, negative source origins, nothing left.
const Placement placements[] = {
    {true, {0, 0, 0, 0}, 10, 12},          {true, {0, 0, 0, 0}, -20, -7},
    {true, {0, 0, 0, 0}, 600, 460},        {true, {0, 0, 0, 0}, 700, 10},
    {false, {5, 3, 20, 30}, 100, 50},      {false, {-4, -6, 30, 30}, 30, 40},
    {false, {30, 40, 100, 100}, 630, -10}, {false, {0, 0, 0, 5}, 1, 1},
};

// Blits src onto two copies of dst, one with SDL and one with vondBlit, at
// every placement, and compares the results and the rectangles handed back.
void expectSameAsSdl(SDL_Surface* src, SDL_Surface* dstA, SDL_Surface* dstB, bool wholeWords) {
    for (const Placement& p : placements) {
        SDL_Rect srA = p.source, srB = p.source;
        SDL_Rect atA = newRect(p.x, p.y, 0, 0), atB = atA;
        SDL_BlitSurface(src, p.wholeSource ? nullptr : &srA, dstA, &atA);
        vondBlit(src, p.wholeSource ? nullptr : &srB, dstB, &atB);
        EXPECT_EQ(atA.x, atB.x);
        EXPECT_EQ(atA.y, atB.y);
        EXPECT_EQ(atA.w, atB.w);
        EXPECT_EQ(atA.h, atB.h);
    }
    if (wholeWords)
        EXPECT_EQ(wordsOf(dstA), wordsOf(dstB));
    else
        EXPECT_EQ(rgbOf(dstA), rgbOf(dstB));
}

TEST(vondBlit, EngineSurfacesCopyAndKeyExactlyAsSdl) {
    SDL_Surface* src = KAV_NewSurface(0, 64, 48);
    SDL_Surface* a = KAV_NewSurface(0, 640, 480);
    SDL_Surface* b = KAV_NewSurface(0, 640, 480);
    // The key with a different unused byte is not transparent: part of the data.
    scribble(src, 1, 0x01F803FB);
    scribble(a, 2, 0);
    scribble(b, 2, 0);
    ASSERT_TRUE(vondBlitIsFast(src, a));
    expectSameAsSdl(src, a, b, true);
    SDL_SetColorKey(src, SDL_SRCCOLORKEY, 0x01F803FB);
    expectSameAsSdl(src, a, b, true);
    SDL_SetColorKey(src, SDL_SRCCOLORKEY, 0x00F803FB);
    expectSameAsSdl(src, a, b, true);
    // A clip rectangle narrower than the surface.
    SDL_Rect clip = newRect(40, 30, 300, 200);
    SDL_SetClipRect(a, &clip);
    SDL_SetClipRect(b, &clip);
    expectSameAsSdl(src, a, b, true);
    for (SDL_Surface* s : {src, a, b})
        SDL_FreeSurface(s);
}

TEST(vondBlit, OntoTheDisplayConvertsToTheSameColours) {
    SDL_Surface* screen = display();
    ASSERT_NE(screen, nullptr);
    SDL_Surface* src = KAV_NewSurface(0, 64, 48);
    scribble(src, 3, 0x00F803FB);
    SDL_Surface* reference =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, screen->format->Rmask,
                             screen->format->Gmask, screen->format->Bmask, 0);
    SDL_FillRect(reference, nullptr, 0x123456);
    SDL_FillRect(screen, nullptr, 0x123456);
    ASSERT_TRUE(vondBlitIsFast(src, screen));
    // The reference has the display's format but is not the display, so SDL
    // converts onto it as it does onto the display.
    SDL_SetColorKey(src, SDL_SRCCOLORKEY, 0x00F803FB);
    for (const Placement& p : placements) {
        SDL_Rect srA = p.source, srB = p.source;
        SDL_Rect atA = newRect(p.x, p.y, 0, 0), atB = atA;
        SDL_BlitSurface(src, p.wholeSource ? nullptr : &srA, reference, &atA);
        vondBlit(src, p.wholeSource ? nullptr : &srB, screen, &atB);
    }
    EXPECT_EQ(rgbOf(reference), rgbOf(screen));
    SDL_SetColorKey(src, 0, 0);
    SDL_Rect at = newRect(3, 4, 0, 0), at2 = at;
    SDL_BlitSurface(src, nullptr, reference, &at);
    vondBlit(src, nullptr, screen, &at2);
    EXPECT_EQ(rgbOf(reference), rgbOf(screen));
    SDL_FreeSurface(reference);
    SDL_FreeSurface(src);
}

// Pictures loaded from RGB files are 24-bit: a plain blit keeps the target's
// unused byte, a keyed one writes it as 0, and the key is the 24-bit value.
TEST(vondBlit, TwentyFourBitPicturesLandAsWithSdl) {
    SDL_Surface* screen = display();
    SDL_Surface* rgb24 = SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 30, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    for (int y = 0; y < rgb24->h; ++y)
        for (int x = 0; x < rgb24->w; ++x) {
            Uint8* q = static_cast<Uint8*>(rgb24->pixels) + y * rgb24->pitch + 3 * x;
            bool key = (x + y) % 4 == 0;
            q[0] = key ? 251 : static_cast<Uint8>(x * 5);
            q[1] = key ? 3 : static_cast<Uint8>(y * 7);
            q[2] = key ? 248 : static_cast<Uint8>(x ^ y);
        }
    SDL_Surface* a = KAV_NewSurface(0, 640, 480);
    SDL_Surface* b = KAV_NewSurface(0, 640, 480);
    // Unused bytes set beforehand, to see what each blit does with them.
    SDL_FillRect(a, nullptr, 0x77123456);
    SDL_FillRect(b, nullptr, 0x77123456);
    ASSERT_TRUE(vondBlitIsFast(rgb24, a));
    expectSameAsSdl(rgb24, a, b, true);
    SDL_SetColorKey(rgb24, SDL_SRCCOLORKEY, SDL_MapRGB(rgb24->format, 251, 3, 248));
    expectSameAsSdl(rgb24, a, b, true);

    SDL_Surface* reference =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, screen->format->Rmask,
                             screen->format->Gmask, screen->format->Bmask, 0);
    SDL_FillRect(reference, nullptr, 0x654321);
    SDL_FillRect(screen, nullptr, 0x654321);
    for (const Placement& p : placements) {
        SDL_Rect atA = newRect(p.x, p.y, 0, 0), atB = atA;
        SDL_BlitSurface(rgb24, nullptr, reference, &atA);
        vondBlit(rgb24, nullptr, screen, &atB);
        SDL_SetColorKey(rgb24, 0, 0);
        atA = newRect(p.x + 9, p.y + 5, 0, 0);
        atB = atA;
        SDL_BlitSurface(rgb24, nullptr, reference, &atA);
        vondBlit(rgb24, nullptr, screen, &atB);
        SDL_SetColorKey(rgb24, SDL_SRCCOLORKEY, SDL_MapRGB(rgb24->format, 251, 3, 248));
    }
    EXPECT_EQ(rgbOf(reference), rgbOf(screen));
    for (SDL_Surface* s : {rgb24, a, b, reference})
        SDL_FreeSurface(s);
}

TEST(vondBlit, LeavesAlphaOtherDepthsAndFormatChangesToSdl) {
    SDL_Surface* a = KAV_NewSurface(0, 640, 480);
    SDL_Surface* b = KAV_NewSurface(0, 640, 480);
    scribble(a, 4, 0);
    scribble(b, 4, 0);

    SDL_Surface* translucent = KAV_NewSurface(0, 40, 40);
    scribble(translucent, 5, 0x00F803FB);
    SDL_SetAlpha(translucent, SDL_SRCALPHA, 128);
    EXPECT_FALSE(vondBlitIsFast(translucent, a));
    expectSameAsSdl(translucent, a, b, false);

    SDL_Surface* rgb16 = SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 40, 16, 0xF800, 0x7E0, 0x1F, 0);
    SDL_FillRect(rgb16, nullptr, 0x1234);
    EXPECT_FALSE(vondBlitIsFast(rgb16, a));
    expectSameAsSdl(rgb16, a, b, true);

    // Another channel order onto an engine surface: the unused byte SDL writes
    // would matter to a later colour key, so SDL does it.
    SDL_Surface* swapped =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 40, 40, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    scribble(swapped, 6, 0);
    EXPECT_FALSE(vondBlitIsFast(swapped, a));
    expectSameAsSdl(swapped, a, b, true);

    for (SDL_Surface* s : {a, b, translucent, rgb16, swapped})
        SDL_FreeSurface(s);
}

} // namespace
