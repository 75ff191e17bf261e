#include "vondImageGuard.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstring>
#include <strings.h>
#include <vector>

namespace {

// The whole file; false when it cannot be read (IMG_Load then fails on its own).
bool readFile(const char* file, std::vector<unsigned char>& bytes) {
    std::FILE* in = std::fopen(file, "rb");
    if (in == nullptr) return false;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    const bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

// IMG_Load picks its loader by the file's first bytes, except for TGA, which
// has none and is chosen by the name's extension (whatever follows the last
// full stop): a file so named goes to the TGA loader whatever it holds.
bool namedAsTGA(const char* file) {
    const char* dot = std::strrchr(file, '.');
    return dot != nullptr && strcasecmp(dot + 1, "tga") == 0;
}

// The magic by which SDL_image knows a GIF file.
bool startsWithGIF(const char* file) {
    std::FILE* in = std::fopen(file, "rb");
    if (in == nullptr) return false;
    char magic[6];
    const bool gif =
        std::fread(magic, 1, 6, in) == 6 && std::memcmp(magic, "GIF", 3) == 0 &&
        (std::memcmp(magic + 3, "87a", 3) == 0 || std::memcmp(magic + 3, "89a", 3) == 0);
    std::fclose(in);
    return gif;
}

// Whether SDL can make the 8-bit picture the GIF loader decodes into: the
// loader does not check, and writes into a picture it failed to make.
bool surfaceCanBeMade(unsigned width, unsigned height) {
    if (width == 0 || height == 0) return false;
    SDL_Surface* row =
        SDL_CreateRGBSurface(SDL_SWSURFACE, static_cast<int>(width), 1, 8, 0, 0, 0, 0);
    SDL_FreeSurface(row);
    return row != nullptr;
}

// Walks a GIF file the way SDL_image's loader reads it and tells what would
// make the loader spin for ever, stall or crash:
//  - it reads an extension's data blocks until an empty one (after the first
//    block, for a graphic control extension) and takes the end of the file
//    for a block that never ends: it spins for ever;
//  - it decodes a picture whose data is cut short from the stale bytes of its
//    buffer, one pixel at a time, for every pixel the picture claims: a file
//    of 41 bytes claiming 16172 x 24832 pixels stalls it for half a minute
//    (and a picture it passes over, all but the first, spins for ever);
//  - with a code size of 12 its codes overrun its tables, and it crashes;
//  - it writes the first picture into a surface it may have failed to make
//    (width or height 0, or wider than SDL allows).
// Any other damage makes the loader fail at once, which is safe.
const char* gifFault(const std::vector<unsigned char>& d) {
    const size_t size = d.size();
    size_t at = 6;
    if (at + 7 > size) return nullptr;
    const unsigned char screenFlags = d[at + 4];
    at += 7;
    if (screenFlags & 0x80) at += 3 * (size_t(2) << (screenFlags & 7)); // global colour table
    if (at > size) return nullptr;
    // Data blocks from `at` up to the empty block that ends them.
    const auto blocksEnd = [&]() {
        while (at < size) {
            const size_t length = d[at++];
            if (length == 0) return true;
            at += length;
        }
        return false;
    };
    int pictures = 0;
    while (at < size) {
        const unsigned char introducer = d[at++];
        if (introducer == ';' && pictures == 0) return nullptr; // the loader stops: no picture
        if (introducer == '!') {
            if (at >= size) return nullptr;
            const unsigned char label = d[at++];
            // A graphic control extension's first block is read whatever its
            // length, an empty one included; the blocks up to an empty one follow.
            if (label == 0xF9) {
                if (at >= size) return "an extension runs past the end of the file";
                at += 1 + d[at];
            }
            if (!blocksEnd()) return "an extension runs past the end of the file";
            continue;
        }
        if (introducer != ',') continue; // the loader passes over any other byte
        ++pictures;
        if (at + 9 > size) return nullptr;
        const unsigned width = d[at + 4] | d[at + 5] << 8, height = d[at + 6] | d[at + 7] << 8;
        const unsigned char flags = d[at + 8];
        at += 9;
        if (flags & 0x80) at += 3 * (size_t(2) << (flags & 7)); // local colour table
        if (at >= size) return nullptr;
        const unsigned char codeSize = d[at++];
        // A code size the decoder refuses leaves the picture unread: the loader
        // goes on with the bytes after it as if they were further blocks.
        if (codeSize > 12) continue;
        if (codeSize == 12) return "a picture's code size is 12";
        if (pictures == 1 && !surfaceCanBeMade(width, height))
            return "a picture of impossible size";
        if (!blocksEnd()) return "a picture's data runs past the end of the file";
        if (pictures == 1) return nullptr; // the first picture is all the loader reads
    }
    return nullptr;
}

// SDL_image's TGA loader decodes a run-length compressed picture packet by
// packet without looking for the end of the file: past it, it goes on with
// stale bytes, one read per pixel, for every pixel the header claims (five
// seconds for a 50-byte file claiming 1024 x 32776 pixels; minutes for
// larger claims). A compressed picture must therefore hold packets for all
// its pixels. Uncompressed pictures are read a row at a time, which is quick
// whatever the file holds.
const char* tgaFault(const std::vector<unsigned char>& d) {
    if (d.size() < 18) return nullptr; // the loader fails on the header
    const unsigned char type = d[2];
    if (type != 9 && type != 10 && type != 11) return nullptr;
    const size_t colours = d[5] | d[6] << 8, colourBytes = (d[7] + 7) / 8;
    const size_t bpp = (d[16] + 7) / 8;
    if (bpp == 0) return nullptr; // the loader refuses the format
    size_t at = 18 + d[0] + (d[1] != 0 ? colours * colourBytes : 0);
    unsigned long long pixels =
        static_cast<unsigned long long>(d[12] | d[13] << 8) * (d[14] | d[15] << 8);
    while (pixels > 0) {
        if (at >= d.size()) return "its compressed picture runs past the end of the file";
        const unsigned char packet = d[at++];
        const unsigned run = (packet & 0x7F) + 1u;
        at += packet & 0x80 ? bpp : run * bpp; // one pixel repeated, or `run` pixels
        pixels -= pixels < run ? pixels : run;
    }
    return at > d.size() ? "its compressed picture runs past the end of the file" : nullptr;
}

} // namespace

SDL_Surface* vondLoadImage(const char* file) {
    std::vector<unsigned char> bytes;
    if (namedAsTGA(file)) {
        if (readFile(file, bytes)) {
            if (const char* fault = tgaFault(bytes)) {
                SDL_SetError("Damaged TGA file: %s", fault);
                return nullptr;
            }
        }
    } else if (startsWithGIF(file) && readFile(file, bytes)) {
        if (const char* fault = gifFault(bytes)) {
            SDL_SetError("Damaged GIF file: %s", fault);
            return nullptr;
        }
    }
    return IMG_Load(file);
}
