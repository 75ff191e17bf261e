// Script functions for music and sound effects, through SDL_mixer. Songs and
// sounds live in their stores; replacing one releases the old one.
#include "vondLog.h"
#include "vondScriptFuncs.h"
#include "vondStores.h"

#include <SDL_mixer.h>

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// SDL_mixer's WAV music loader frees memory twice, or spins for ever, on a
// file whose chunks run past its end or that has no data chunk. A WAV file
// must therefore hold a format and a data chunk, each within the file; other
// kinds of file are left to SDL_mixer.
bool wavSongIsWhole(const std::string& file, long long size) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (f == nullptr) return false;
    unsigned char head[12];
    bool whole = true;
    if (std::fread(head, 1, 12, f) == 12 && std::memcmp(head, "RIFF", 4) == 0 &&
        std::memcmp(head + 8, "WAVE", 4) == 0) {
        bool format = false, data = false;
        long long at = 12;
        unsigned char chunk[8];
        while (at + 8 <= size && std::fseek(f, static_cast<long>(at), SEEK_SET) == 0 &&
               std::fread(chunk, 1, 8, f) == 8) {
            long long length = chunk[4] | chunk[5] << 8 | chunk[6] << 16 |
                               static_cast<long long>(chunk[7]) << 24;
            if (at + 8 + length > size) break;
            format = format || std::memcmp(chunk, "fmt ", 4) == 0;
            data = data || std::memcmp(chunk, "data", 4) == 0;
            at += 8 + length + (length & 1);
        }
        whole = format && data;
    }
    std::fclose(f);
    return whole;
}

} // namespace

int l_loadSong(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    int n = a.toInt(1);
    std::string file = a.text(2);
    if (!vondCheckRange("loadSong", "song number", n, VOND_SONG_STORE_SIZE)) return 0;
    if (vondSongStore[n] != nullptr) {
        Mix_FreeMusic(vondSongStore[n]); // stops it first if it is playing
        vondSongStore[n] = nullptr;
    }
    // Only regular files with something in them reach SDL_mixer, which loses
    // memory on an empty file or a directory, and only whole WAV files.
    struct stat info;
    bool loadable = ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                    info.st_size > 0 && wavSongIsWhole(file, info.st_size);
    vondSongStore[n] = loadable ? Mix_LoadMUS(file.c_str()) : nullptr;
    if (vondSongStore[n] == nullptr) vondLog("Error loading music file: ", file);
    return 0;
}

int l_playSong(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    int n = a.toInt(1);
    // A number outside the store has no song either.
    if (!vondSongOk(n) || vondSongStore[n] == nullptr) {
        vondLog("Invalid song number: ", n);
        return 0;
    }
    Mix_PlayMusic(vondSongStore[n], a.toInt(2));
    return 0;
}

int l_loadSound(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    int n = a.toInt(1);
    std::string file = a.text(2);
    if (!vondCheckRange("loadSound", "sound number", n, VOND_SOUND_STORE_SIZE)) return 0;
    if (vondSoundStore[n] != nullptr) {
        Mix_FreeChunk(vondSoundStore[n]); // halts the channels playing it
        vondSoundStore[n] = nullptr;
    }
    SDL_RWops* stream = SDL_RWFromFile(file.c_str(), "rb");
    vondSoundStore[n] = stream != nullptr ? Mix_LoadWAV_RW(stream, 1) : nullptr;
    if (vondSoundStore[n] == nullptr)
        vondLog("Error loading sound file: ", file);
    return 0;
}

int l_playSound(lua_State* L) {
    vondArgs a(L, 3, vondArgs::FROM_LAST);
    int n = a.toInt(1);
    int channel = a.toInt(2);
    if (!vondSoundOk(n) || vondSoundStore[n] == nullptr) {
        vondLog("Invalid sound number: ", n);
        return 0;
    }
    // -1 asks for the first free channel; others must be one of those allocated.
    if (channel != -1 && !vondCheckRange("playSound", "channel", channel, Mix_AllocateChannels(-1)))
        return 0;
    Mix_PlayChannelTimed(channel, vondSoundStore[n], a.toInt(3), -1);
    return 0;
}

int l_stopMusic(lua_State*) {
    Mix_HaltMusic();
    return 0;
}
