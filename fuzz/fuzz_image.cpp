// Pictures through the engine's load path: the first byte picks the file's
// extension (SDL_image chooses the TGA loader by it; the others by content),
// the rest is the file. What loads is converted to the engine's format as
// drawing does. A file SDL_image cannot survive shows as a hang (libFuzzer's
// -timeout) or a crash; one it cannot read just fails.
#include "vondFuzz.h"
#include "vondImageGuard.h"
#include "vondStores.h"

#include <algorithm>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vondFuzzStart(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const extensions[] = {"png",  "bmp", "gif", "tga", "jpg", "pcx",
                                             "lbm",  "pnm", "tif", "xcf", "xpm", "xv",
                                             "webp", "ico", "cur", "TGA"};
    if (size == 0) return 0;
    const std::string name = std::string("picture.") + extensions[data[0] % 16];
    vondFuzzWrite(name, data + 1, size - 1);
    SDL_Surface* picture = vondLoadImage(name.c_str());
    if (picture == nullptr) return 0;
    // As a picture window or a layer shows it: blitted onto an engine surface.
    SDL_Surface* shown = KAV_NewSurface(0, std::min(picture->w, 256), std::min(picture->h, 256));
    if (shown != nullptr) {
        SDL_BlitSurface(picture, nullptr, shown, nullptr);
        SDL_FreeSurface(shown);
    }
    SDL_FreeSurface(picture);
    return 0;
}
