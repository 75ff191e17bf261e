// Script functions for fonts, strings and windows, timed events, click
// handlers, music and sound, the log and clearing the scene. Each reads its
// arguments, checks every store index and window kind, and calls the engine,
// a window, a store or SDL_mixer.
#include "KAV_Font.h"
#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondImageGuard.h"
#include "vondLog.h"
#include "vondScriptFuncs.h"
#include "vondStores.h"
#include "vondWindow2.h"

#include <SDL_mixer.h>

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// Far more buttons than a window can show; the selection wraps as one byte.
constexpr int MAX_RADIO_BUTTONS = 65536;

// The functions that change a window do nothing, and say nothing, when no
// window has the identifier or it is not of the kind they need.
vondTextWin* findTextWindow(int id) {
    vondWindow2* w = gfx.getWindowHandle(id);
    return w != nullptr && w->getWinType() == vondWindow2::TEXT_WINDOW
               ? static_cast<vondTextWin*>(w)
               : nullptr;
}

} // namespace

// Fonts, strings and windows -------------------------------------------------

int l_addFont(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    int f = a.toByte(1);
    std::string file = a.text(2);
    int image = VOND_FONT_IMAGE_BASE + f;
    // Stored like any image: a picture it replaces stays with the store's
    // other replaced entries, since layers may still show it.
    KAV_StoreImage(image, vondLoadImage(file.c_str()));
    // A new font: text windows made before keep drawing with the one they took.
    auto* font = new KAV_Font(image);
    vondKeepReplaced(vondFontStore[f], font);
    vondFontStore[f] = font;
    return 0;
}

int l_addString(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    int n = a.toInt(1);
    if (!vondCheckRange("addString", "string number", n, VOND_STRING_STORE_SIZE)) return 0;
    vondStringStore[n] = a.text(2);
    return 0;
}

int l_newTxtWin(lua_State* L) {
    vondArgs a(L, 6, vondArgs::FROM_LAST);
    // A string number outside the store gives a window without text.
    gfx.NewTxtWin(a.toInt(2), a.toInt(3), a.toInt(4), a.toInt(5), a.toInt(1), a.toInt(6));
    return 0;
}

int l_newPicWin(lua_State* L) {
    vondArgs a(L, 4, vondArgs::FROM_LAST);
    // An image number outside the store is reported like an empty one.
    gfx.NewPicWin(a.toInt(2), a.toInt(3), a.toInt(1), a.toInt(4));
    return 0;
}

int l_setTxtString(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    if (vondTextWin* w = findTextWindow(a.toInt(1))) w->setString(a.text(2));
    return 0;
}

int l_setTxtBD(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    if (vondTextWin* w = findTextWindow(a.toInt(1))) w->setBD(a.toUnsigned(2));
    return 0;
}

int l_setWinFlags(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    if (vondWindow2* w = gfx.getWindowHandle(a.toInt(1))) w->setFlags(a.toUnsigned(2));
    return 0;
}

int l_winToggleHid(lua_State* L) {
    vondArgs a(L, 1, vondArgs::FROM_LAST);
    if (vondWindow2* w = gfx.getWindowHandle(a.toInt(1))) w->ToggleHidden();
    return 0;
}

int l_moveWinBy(lua_State* L) {
    vondArgs a(L, 3, vondArgs::FROM_FIRST);
    if (vondWindow2* w = gfx.getWindowHandle(a.toInt(1))) w->MoveBy(a.toInt(2), a.toInt(3));
    return 0;
}

int l_delWin(lua_State* L) {
    vondArgs a(L, 1, vondArgs::FROM_LAST);
    // The number as the script gave it, in the stream's default form (2.5 stays 2.5).
    vondLog("Deleting Window: ", a.number(1));
    gfx.DestroyWin(a.toInt(1));
    return 0;
}

int l_winTimedMove(lua_State* L) {
    vondArgs a(L, 5, vondArgs::FROM_FIRST);
    int id = a.toInt(1);
    vondLog("Moving window: ", id);
    vondWindow2* w = gfx.getWindowHandle(id);
    if (w == nullptr) {
        vondLog("Asked to timed move nonexistant window: ", id);
        return 0;
    }
    w->TimedMoveBy(a.toInt(2), a.toInt(3), a.toInt(4), a.toInt(5));
    return 0;
}

int l_newRadButton(lua_State* L) {
    vondArgs a(L, 5, vondArgs::FROM_FIRST);
    gfx.NewRadWin(a.toInt(2), a.toInt(3), a.toInt(4), a.toInt(5), a.toInt(1));
    return 0;
}

int l_setRadButtons(lua_State* L) {
    vondArgs a(L, 4, vondArgs::FROM_FIRST);
    int id = a.toInt(1);
    int count = a.toInt(2);
    vondWindow2* w = gfx.getWindowHandle(id);
    if (w == nullptr) {
        vondLog("Asked to set buttons on nonexistant window: ", id);
        return 0;
    }
    if (w->getWinType() != vondWindow2::RADIO_WINDOW) {
        vondLog("Asked to set buttons on non-button window: ", id);
        return 0;
    }
    if (!vondCheckRange("setRadButtons", "button count", count, MAX_RADIO_BUTTONS + 1)) return 0;
    // Coordinates the script left out read as 0.
    unsigned short* positions = new unsigned short[2 * count + 1];
    for (int i = 0; i < count; ++i) {
        positions[2 * i] = static_cast<unsigned short>(a.toInt(5 + 2 * i));
        positions[2 * i + 1] = static_cast<unsigned short>(a.toInt(6 + 2 * i));
    }
    static_cast<vondRadioBWin*>(w)->setButton(count, a.toInt(3), a.toInt(4), positions);
    return 0;
}

// Timed events, housekeeping and click handlers -------------------------------

int l_addTimedEvent(lua_State* L) {
    vondArgs a(L, 5, vondArgs::FROM_LAST);
    std::string command = a.text(5);
    int time = a.toInt(4);
    unsigned source = a.toUnsigned(3);
    unsigned type = a.toUnsigned(2);
    int id = a.toInt(1);
    auto* e =
        new vondEngine2::vondTimedEvent(static_cast<unsigned>(id), static_cast<VOND_EVENT>(type),
                                        static_cast<VOND_EVENT_SOURCE>(source), time, command);
    // Left open: the next message continues this line.
    vondLogOpen("Adding event: ", id, " with command: ", command);
    gfx.addTimedEvent(e);
    vondLog("Event: ", e->getID(), " added!");
    return 0;
}

int l_delTimedEvent(lua_State* L) {
    vondArgs a(L, 1, vondArgs::FROM_FIRST);
    gfx.delTimedEvent(a.toInt(1));
    return 0;
}

int l_DestroyAll(lua_State*) {
    gfx.DestroyAll();
    return 0;
}

int l_errorMsg(lua_State* L) {
    vondArgs a(L, 1, vondArgs::FROM_LAST);
    vondLog(a.text(1));
    return 0;
}

int l_newClickH(lua_State* L) {
    vondArgs a(L, 6, vondArgs::FROM_FIRST);
    int x1 = a.toInt(1), y1 = a.toInt(2), x2 = a.toInt(3), y2 = a.toInt(4);
    auto* h = new vondClickHandler(x1, y1, x2, y2, static_cast<unsigned>(a.toInt(5)),
                                   HANDLER_SCRIPT_STRING);
    h->setScript(a.text(6));
    gfx.addClickHandler(h);
    vondLog("New Click Handler: ", x1, ",", y1, " ", x2, ",", y2);
    return 0;
}

int l_delClickH(lua_State* L) {
    vondArgs a(L, 1, vondArgs::FROM_LAST);
    gfx.delClickHandler(a.toInt(1));
    return 0;
}

// Music and sound ----------------------------------------------------------------

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
    if (n < 0 || n >= VOND_SONG_STORE_SIZE || vondSongStore[n] == nullptr) {
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
    if (n < 0 || n >= VOND_SOUND_STORE_SIZE || vondSoundStore[n] == nullptr) {
        vondLog("Invalid sound number: ", n);
        return 0;
    }
    // -1 asks for the first free channel; others must be one of those allocated.
    if (channel != -1 && !vondCheckRange("playSound", "channel", channel, Mix_AllocateChannels(-1)))
        return 0;
    Mix_PlayChannelTimed(channel, vondSoundStore[n], a.toInt(3), -1);
    return 0;
}

void vondReleaseSongsAndSounds() {
    Mix_HaltMusic();
    for (auto& song : vondSongStore) {
        if (song != nullptr) Mix_FreeMusic(song);
        song = nullptr;
    }
    for (auto& sound : vondSoundStore) {
        if (sound != nullptr) Mix_FreeChunk(sound);
        sound = nullptr;
    }
}

int l_stopMusic(lua_State*) {
    Mix_HaltMusic();
    return 0;
}
