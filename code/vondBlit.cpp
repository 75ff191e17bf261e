// The engine's blit; see vondBlit.h for what it takes over from SDL and why.
#include "vondBlit.h"

#include <cstdint>
#include <cstring>

// The row loops are built for the wider vector units too; the best one for
// the processor is picked when the program starts.
#if defined(__GNUC__) && defined(__x86_64__)
#define VOND_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define VOND_VECTOR_CLONES
#endif

namespace {

// 32 bits, no alpha channel, three 8-bit colour channels.
bool plain32(const SDL_PixelFormat* f) {
    return f->BytesPerPixel == 4 && f->Amask == 0 && f->Rmask >> f->Rshift == 0xFF &&
           f->Gmask >> f->Gshift == 0xFF && f->Bmask >> f->Bshift == 0xFF;
}

// 24 bits, three 8-bit colour channels (pictures loaded from RGB files).
bool plain24(const SDL_PixelFormat* f) {
    return f->BytesPerPixel == 3 && f->Amask == 0 && f->Rmask >> f->Rshift == 0xFF &&
           f->Gmask >> f->Gshift == 0xFF && f->Bmask >> f->Bshift == 0xFF;
}

bool sameChannels(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
    return a->Rmask == b->Rmask && a->Gmask == b->Gmask && a->Bmask == b->Bmask;
}

// Row loops. As in SDL: a plain copy moves whole words; a keyed blit compares
// the key with all 32 bits and writes the colour channels only (the unused
// byte becomes 0), as does a conversion.
template <size_t Bytes>
void copyFixedRows(const Uint8* s, int sPitch, Uint8* d, int dPitch, int h) {
    for (int y = 0; y < h; ++y, s += sPitch, d += dPitch)
        std::memcpy(d, s, Bytes);
}

void copyRows(const Uint8* s, int sPitch, Uint8* d, int dPitch, int w, int h) {
    // Whole tiles and glyphs: a copy of known size is inlined, where a call to
    // memcpy per short row would cost more than the copy.
    if (w == 32) return copyFixedRows<128>(s, sPitch, d, dPitch, h);
    if (w == 16) return copyFixedRows<64>(s, sPitch, d, dPitch, h);
    for (int y = 0; y < h; ++y, s += sPitch, d += dPitch)
        std::memcpy(d, s, 4 * static_cast<size_t>(w));
}

VOND_VECTOR_CLONES void keyRows(const Uint8* s, int sPitch, Uint8* d, int dPitch, int w, int h,
                                Uint32 key, Uint32 colourBits) {
    for (int y = 0; y < h; ++y, s += sPitch, d += dPitch) {
        const Uint32* sp = reinterpret_cast<const Uint32*>(s);
        Uint32* dp = reinterpret_cast<Uint32*>(d);
        for (int x = 0; x < w; ++x) {
            Uint32 p = sp[x];
            dp[x] = p != key ? p & colourBits : dp[x];
        }
    }
}

struct Shifts {
    int sR, sG, sB, dR, dG, dB;
};

inline Uint32 convert(Uint32 p, const Shifts& k) {
    return ((p >> k.sR) & 0xFF) << k.dR | ((p >> k.sG) & 0xFF) << k.dG |
           ((p >> k.sB) & 0xFF) << k.dB;
}

VOND_VECTOR_CLONES void convertRows(const Uint8* s, int sPitch, Uint8* d, int dPitch, int w, int h,
                                    const Shifts k) {
    for (int y = 0; y < h; ++y, s += sPitch, d += dPitch) {
        const Uint32* sp = reinterpret_cast<const Uint32*>(s);
        Uint32* dp = reinterpret_cast<Uint32*>(d);
        for (int x = 0; x < w; ++x)
            dp[x] = convert(sp[x], k);
    }
}

VOND_VECTOR_CLONES void convertKeyRows(const Uint8* s, int sPitch, Uint8* d, int dPitch, int w,
                                       int h, const Shifts k, Uint32 key) {
    for (int y = 0; y < h; ++y, s += sPitch, d += dPitch) {
        const Uint32* sp = reinterpret_cast<const Uint32*>(s);
        Uint32* dp = reinterpret_cast<Uint32*>(d);
        for (int x = 0; x < w; ++x) {
            Uint32 p = sp[x];
            dp[x] = p != key ? convert(p, k) : dp[x];
        }
    }
}

// Engine format onto the display: red and blue change places, green stays.
// Constant shifts let the compiler use byte shuffles.
inline Uint32 swapRedBlue(Uint32 p) {
    return (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
}

bool isRedBlueSwap(const Shifts& k) {
    return k.sR == 0 && k.sG == 8 && k.sB == 16 && k.dR == 16 && k.dG == 8 && k.dB == 0;
}

VOND_VECTOR_CLONES void swapRows(const Uint8* s, int sPitch, Uint8* d, int dPitch, int w, int h) {
    for (int y = 0; y < h; ++y, s += sPitch, d += dPitch) {
        const Uint32* sp = reinterpret_cast<const Uint32*>(s);
        Uint32* dp = reinterpret_cast<Uint32*>(d);
        for (int x = 0; x < w; ++x)
            dp[x] = swapRedBlue(sp[x]);
    }
}

VOND_VECTOR_CLONES void swapKeyRows(const Uint8* s, int sPitch, Uint8* d, int dPitch, int w, int h,
                                    Uint32 key) {
    for (int y = 0; y < h; ++y, s += sPitch, d += dPitch) {
        const Uint32* sp = reinterpret_cast<const Uint32*>(s);
        Uint32* dp = reinterpret_cast<Uint32*>(d);
        for (int x = 0; x < w; ++x) {
            Uint32 p = sp[x];
            dp[x] = p != key ? swapRedBlue(p) : dp[x];
        }
    }
}

// 24-bit sources, as SDL treats them: the three bytes make the pixel value
// (top byte 0) that the key is compared with; a keyed blit writes the colour
// with the unused byte 0, a plain one keeps the target's unused byte.
inline Uint32 read24(const Uint8* q) {
    return q[0] | q[1] << 8 | q[2] << 16;
}

VOND_VECTOR_CLONES void convert24Rows(const Uint8* s, int sPitch, Uint8* d, int dPitch, int w,
                                      int h, const Shifts k, Uint32 keep) {
    for (int y = 0; y < h; ++y, s += sPitch, d += dPitch) {
        Uint32* dp = reinterpret_cast<Uint32*>(d);
        for (int x = 0; x < w; ++x)
            dp[x] = (dp[x] & keep) | convert(read24(s + 3 * x), k);
    }
}

VOND_VECTOR_CLONES void convert24KeyRows(const Uint8* s, int sPitch, Uint8* d, int dPitch, int w,
                                         int h, const Shifts k, Uint32 key) {
    for (int y = 0; y < h; ++y, s += sPitch, d += dPitch) {
        Uint32* dp = reinterpret_cast<Uint32*>(d);
        for (int x = 0; x < w; ++x) {
            Uint32 p = read24(s + 3 * x);
            dp[x] = p != key ? convert(p, k) : dp[x];
        }
    }
}

int blitPlain(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect, bool keyed,
              Uint32 key);

} // namespace

bool vondBlitIsFast(SDL_Surface* src, SDL_Surface* dst) {
    if (src == nullptr || dst == nullptr || src == dst) return false;
    if (src->flags & (SDL_SRCALPHA | SDL_RLEACCEL)) return false;
    if (SDL_MUSTLOCK(src) || SDL_MUSTLOCK(dst) || src->pixels == nullptr || dst->pixels == nullptr)
        return false;
    if (!(plain32(src->format) || plain24(src->format)) || !plain32(dst->format)) return false;
    // A converted pixel's unused byte would matter to a later colour key, so
    // formats change only on the way to the display, which nothing reads back.
    return sameChannels(src->format, dst->format) || dst == SDL_GetVideoSurface();
}

int vondBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
    if (!vondBlitIsFast(src, dst)) return SDL_BlitSurface(src, srcrect, dst, dstrect);
    return blitPlain(src, srcrect, dst, dstrect, (src->flags & SDL_SRCCOLORKEY) != 0,
                     src->format->colorkey);
}

bool vondBlitKeyed(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect,
                   Uint32 key) {
    if (!vondBlitIsFast(src, dst) || (src->flags & SDL_SRCCOLORKEY)) return false;
    blitPlain(src, srcrect, dst, dstrect, true, key);
    return true;
}

namespace {

int blitPlain(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect, bool keyed,
              Uint32 key) {
    // Clipping as SDL_UpperBlit does it: the source rectangle against the
    // source, then the destination against the target's clip rectangle.
    int dx = dstrect != nullptr ? dstrect->x : 0;
    int dy = dstrect != nullptr ? dstrect->y : 0;
    int sx = 0, sy = 0, w = src->w, h = src->h;
    if (srcrect != nullptr) {
        sx = srcrect->x;
        w = srcrect->w;
        if (sx < 0) {
            w += sx;
            dx -= sx;
            sx = 0;
        }
        if (src->w - sx < w) w = src->w - sx;
        sy = srcrect->y;
        h = srcrect->h;
        if (sy < 0) {
            h += sy;
            dy -= sy;
            sy = 0;
        }
        if (src->h - sy < h) h = src->h - sy;
    }
    const SDL_Rect& clip = dst->clip_rect;
    if (int over = clip.x - dx; over > 0) {
        w -= over;
        dx += over;
        sx += over;
    }
    if (int over = dx + w - clip.x - clip.w; over > 0) w -= over;
    if (int over = clip.y - dy; over > 0) {
        h -= over;
        dy += over;
        sy += over;
    }
    if (int over = dy + h - clip.y - clip.h; over > 0) h -= over;
    if (dstrect != nullptr) {
        dstrect->x = static_cast<Sint16>(dx);
        dstrect->y = static_cast<Sint16>(dy);
        dstrect->w = static_cast<Uint16>(w > 0 && h > 0 ? w : 0);
        dstrect->h = static_cast<Uint16>(w > 0 && h > 0 ? h : 0);
    }
    if (w <= 0 || h <= 0) return 0;

    const int srcBytes = src->format->BytesPerPixel;
    const Uint8* s = static_cast<const Uint8*>(src->pixels) + sy * src->pitch + srcBytes * sx;
    Uint8* d = static_cast<Uint8*>(dst->pixels) + dy * dst->pitch + 4 * dx;
    if (srcBytes == 3) {
        const SDL_PixelFormat* sf = src->format;
        const SDL_PixelFormat* df = dst->format;
        Shifts k{sf->Rshift, sf->Gshift, sf->Bshift, df->Rshift, df->Gshift, df->Bshift};
        if (keyed)
            convert24KeyRows(s, src->pitch, d, dst->pitch, w, h, k, key);
        else
            convert24Rows(s, src->pitch, d, dst->pitch, w, h, k,
                          ~(df->Rmask | df->Gmask | df->Bmask));
        return 0;
    }
    if (sameChannels(src->format, dst->format)) {
        if (keyed)
            keyRows(s, src->pitch, d, dst->pitch, w, h, key,
                    dst->format->Rmask | dst->format->Gmask | dst->format->Bmask);
        else
            copyRows(s, src->pitch, d, dst->pitch, w, h);
    } else {
        const SDL_PixelFormat* sf = src->format;
        const SDL_PixelFormat* df = dst->format;
        Shifts k{sf->Rshift, sf->Gshift, sf->Bshift, df->Rshift, df->Gshift, df->Bshift};
        if (isRedBlueSwap(k)) {
            if (keyed)
                swapKeyRows(s, src->pitch, d, dst->pitch, w, h, key);
            else
                swapRows(s, src->pitch, d, dst->pitch, w, h);
        } else if (keyed) {
            convertKeyRows(s, src->pitch, d, dst->pitch, w, h, k, key);
        } else {
            convertRows(s, src->pitch, d, dst->pitch, w, h, k);
        }
    }
    return 0;
}

} // namespace
