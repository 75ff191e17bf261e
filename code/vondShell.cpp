// Keyboard table, developer keys, fullscreen keys, event dispatch, the quit
// check and the exit routine.
#include "vondShell.h"

#include "lua40/lua40.h"
#include "vondGlobals.h"
#include "vondLog.h"
#include "vondScriptHost.h"
#include "vondStores.h"
#include "vondWindow2.h"

#include <SDL_mixer.h>

#include <atomic>
#include <cstdlib>

bool KAV_KeyDown[KAV_KEY_COUNT];
Uint32 KAV_KeyDownTime[KAV_KEY_COUNT];

namespace {

bool developerKeys = true;

bool validKey(int k) { return k >= 0 && k < KAV_KEY_COUNT; }

void onWindowZero(void (*action)(vondWindow2*)) {
    if (vondWindow2* w = gfx.getWindowHandle(0)) action(w);
}

// The close button, or SIGINT or SIGTERM, which SDL turns into a quit event at
// its next pump. SDL 1.2's queue holds 128 events and drops what comes while
// it is full, as it fills when a script loops while the mouse moves; the event
// filter sees every event before the queue does and keeps them all.
std::atomic<bool> quitSeen{false};

int noteQuit(const SDL_Event* event) {
    if (event->type == SDL_QUIT) quitSeen = true;
    return 1;
}

// Pumps and peeks: every other event stays queued for the frame loop.
int quitRequested(void*) {
    SDL_PumpEvents();
    SDL_Event event;
    return quitSeen || SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_QUITMASK) > 0;
}

void quitNow(void*) { vondExit(0); }

} // namespace

void updateInput(unsigned int ms) {
    for (int k = 0; k < KAV_KEY_COUNT; ++k)
        if (KAV_KeyDown[k]) KAV_KeyDownTime[k] += ms;
}

void doInput(SDL_Event event) {
    int k = event.key.keysym.sym;
    if (!validKey(k)) return;
    if (event.type == SDL_KEYDOWN && !KAV_KeyDown[k]) {
        KAV_KeyDown[k] = true;
        KAV_KeyDownTime[k] = 0;
    } else if (event.type == SDL_KEYUP) {
        KAV_KeyDown[k] = false;
    }
}

void vondSetDeveloperKeys(bool on) { developerKeys = on; }

void vondDeveloperKey(int k) {
    if (!developerKeys) return;
    switch (k) {
    case SDLK_UP: gfx.MoveLPointer(0, 0, 0, 0, -1); break;
    case SDLK_DOWN: gfx.MoveLPointer(0, 0, 0, 0, 1); break;
    case SDLK_LEFT: gfx.MoveLPointer(0, 0, 0, -32, 0); break;
    case SDLK_RIGHT: gfx.MoveLPointer(0, 0, 0, 32, 0); break;
    case SDLK_BACKQUOTE:
        if (SDL_Surface* screen = SDL_GetVideoSurface())
            SDL_SaveBMP_RW(screen, SDL_RWFromFile("screenshot.bmp", "wb"), 1);
        break;
    case SDLK_w:
        gfx.MoveLPointer(0, 0, 0, 0, -4);
        gfx.MoveLPointer(1, 0, 0, 0, -8);
        break;
    case SDLK_s:
        gfx.MoveLPointer(0, 0, 0, 0, 4);
        gfx.MoveLPointer(1, 0, 0, 0, 8);
        break;
    case SDLK_a: gfx.MoveLPointer(1, 0, 0, -8, 0); break;
    case SDLK_d: gfx.MoveLPointer(1, 0, 0, 8, 0); break;
    case SDLK_i: onWindowZero([](vondWindow2* w) { w->ToggleHidden(); }); break;
    case SDLK_l: onWindowZero([](vondWindow2* w) { w->TimedMoveBy(128, 32, 128, 32); }); break;
    case SDLK_o: onWindowZero([](vondWindow2* w) { w->TimedMoveBy(-128, -32, 128, 32); }); break;
    case SDLK_1: case SDLK_2: case SDLK_3: case SDLK_4: gfx.toggleLayer(k - SDLK_1); break;
    case SDLK_5: case SDLK_6: case SDLK_7: case SDLK_8: gfx.getLayer(k - SDLK_5)->Debug(); break;
    case SDLK_q: vondExit(0);
    // An empty sound 0 is refused by SDL_mixer itself: nothing plays.
    case SDLK_p: Mix_PlayChannelTimed(-1, vondSoundStore[0], 0, -1); break;
    case SDLK_BACKSPACE: vondRunScriptFile("scripts/wantlab.lua"); break;
    default: break;
    }
}

bool vondFullscreenKey(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN) return false;
    const SDL_keysym& key = event.key.keysym;
    bool enter = key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER;
    if (key.sym != SDLK_F11 && !(enter && (key.mod & KMOD_ALT))) return false;
    // The SDL layer scales the 640 x 480 picture to the screen with its aspect
    // kept, and keeps reporting the mouse in 640 x 480 coordinates.
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (screen != nullptr && SDL_WM_ToggleFullScreen(screen) == 0)
        vondLog("Unable to toggle fullscreen: ", SDL_GetError());
    return true;
}

void vondTakeEvent(SDL_Event& record) {
    SDL_Event pending;
    while (SDL_PollEvent(&pending)) {
        if (vondFullscreenKey(pending)) return;
        if (pending.type == SDL_MOUSEMOTION && SDL_PollEvent(nullptr)) continue;
        record = pending;
        return;
    }
}

void vondDispatchEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT: vondExit(0);
    case SDL_MOUSEBUTTONDOWN: gfx.doInput(event.button.x, event.button.y); break;
    case SDL_MOUSEBUTTONUP: gfx.mouseUp(); break;
    case SDL_KEYUP: doInput(event); break;
    case SDL_KEYDOWN: {
        int k = event.key.keysym.sym;
        // A held key acts again only once it has been held for more than 200 ms.
        if (validKey(k) && KAV_KeyDown[k] && KAV_KeyDownTime[k] <= KAV_KEY_REPEAT_MS) break;
        vondDeveloperKey(k);
        doInput(event);
        break;
    }
    default: break;
    }
}

void vondWatchScriptsForQuit() {
    SDL_SetEventFilter(noteQuit);
    lua40_setquitcheck(game_state, quitRequested, quitNow, nullptr);
}

void vondShutdown() {
    const char* sdlError = SDL_GetError();
    vondLog("SDL Error Report: ", (sdlError != nullptr ? sdlError : ""));
    vondLog("Exiting program.");
    vondError.close();
    vondReleaseSongsAndSounds();
    Mix_CloseAudio();
    SDL_Quit();
}
