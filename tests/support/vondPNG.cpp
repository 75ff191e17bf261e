#include "vondPNG.h"

#include "vondRun.h"
#include "vondStores.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Uint32 crc32(const unsigned char* data, size_t n, Uint32 crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put32(Bytes& b, Uint32 v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(static_cast<unsigned char>(v >> shift));
}

void chunk(Bytes& out, const char* type, const Bytes& data) {
    put32(out, static_cast<Uint32>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    put32(out, crc32(body.data(), body.size()));
}

// zlib stream made of stored (uncompressed) deflate blocks.
Bytes zlibStored(const Bytes& raw) {
    Bytes z = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = std::min<size_t>(65535, raw.size() - at);
        bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(n & 0xFF);
        z.push_back(n >> 8);
        z.push_back(~n & 0xFF);
        z.push_back((~n >> 8) & 0xFF);
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    Uint32 a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);
    return z;
}

} // namespace

bool writePNG(SDL_Surface* surface, const std::string& path) {
    Bytes raw;
    raw.reserve(static_cast<size_t>(surface->h) * (surface->w * 3 + 1));
    for (int y = 0; y < surface->h; ++y) {
        raw.push_back(0); // filter: none
        for (int x = 0; x < surface->w; ++x) {
            Uint32 rgb = pixelRGB(surface, x, y);
            raw.push_back(rgb >> 16);
            raw.push_back((rgb >> 8) & 0xFF);
            raw.push_back(rgb & 0xFF);
        }
    }
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put32(header, surface->w);
    put32(header, surface->h);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", zlibStored(raw));
    chunk(out, "IEND", {});
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

SDL_Surface* tileSheet(int w, int h, const Uint32* colours, int colourCount) {
    SDL_Surface* s = KAV_NewSurface(0, w, h);
    int columns = (w + 31) / 32;
    for (int row = 0; row * 32 < h; ++row) {
        for (int col = 0; col < columns; ++col) {
            Uint32 c = colours[(row * columns + col) % colourCount];
            SDL_Rect r = newRect(col * 32, row * 32, 32, 32);
            SDL_FillRect(s, &r, SDL_MapRGB(s->format, c >> 16, (c >> 8) & 0xFF, c & 0xFF));
        }
    }
    return s;
}
