#include "vondFuzz.h"

#include "KAV_Font.h"
#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondStores.h"

#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

// A picture of w x h pixels in stripes of colour, saved as a BMP file.
void writePicture(const char* name, int w, int h) {
    SDL_Surface* s = KAV_NewSurface(0, w, h);
    for (int x = 0; x < w; x += 8) {
        SDL_Rect stripe = newRect(x, 0, 8, h);
        SDL_FillRect(s, &stripe,
                     SDL_MapRGB(s->format, (x * 7) & 0xFF, (x * 3) & 0xFF, 255 - x % 256));
    }
    SDL_SaveBMP(s, name);
    SDL_FreeSurface(s);
}

} // namespace

void vondFuzzStart(bool withDisplay) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // In memory where the machine has it: the save fuzzer syncs every file.
    char folder[] = "/dev/shm/vondfuzz.XXXXXX";
    char fallback[] = "/tmp/vondfuzz.XXXXXX";
    const char* made = mkdtemp(folder);
    if (made == nullptr) made = mkdtemp(fallback);
    if (made == nullptr || chdir(made) != 0) std::abort();
    static const std::string scratch = made;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    });
    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO);
    Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048);
    Mix_AllocateChannels(16);
    vondClearStores();
    writePicture("tiles.bmp", 64, 64); // four tiles
    writePicture("font.bmp", 256, 96); // a 16 x 6 grid of 16 x 16 glyphs
    writePicture("pic.bmp", 40, 30);
    if (withDisplay) gfx.Startup();
}

void vondFuzzWrite(const std::string& name, const uint8_t* data, size_t size) {
    std::FILE* out = std::fopen(name.c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
    std::fclose(out);
}

void vondFuzzClearStores() {
    // Emptying an entry lets go of the store's reference; whatever nothing
    // else holds is freed with it. Songs and sounds are freed first, since
    // emptying their stores only forgets them.
    vondReleaseSongsAndSounds();
    vondClearStores();
    for (int f = 0; f < VOND_FONT_STORE_SIZE; ++f)
        vondStoreFont(f, vondRef<KAV_Font>());
}
