// The program's entry point: start-up in its fixed order, then the frame loop.
// The program ends only through exit(), which runs vondShutdown.
#include "stateMachine/statemachine.h"
#include "stateMachine/statemachine_binding.h"
#include "vondGlobals.h"
#include "lua40/lua40.h"
#include "vondLog.h"
#include "vondScriptHost.h"
#include "vondScriptFuncs.h"
#include "vondShell.h"
#include "vondStores.h"

#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

// Each flip waits for the display's refresh, through the SDL layer's own
// setting, so that the frame loop (which has no delay of its own) does not run
// the processor flat out. A player's own setting wins; a headless run (dummy
// video) keeps its full speed.
void syncFlipsToDisplay() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && strcasecmp(driver, "dummy") == 0) return;
    setenv("SDL12COMPAT_SYNC_TO_VBLANK", "1", 0);
}

} // namespace

int SDL_main(int, char*[]) {
    vondError.open("vonderror.log", std::ios::out | std::ios::trunc);

    syncFlipsToDisplay();

    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0) {
        std::printf("Could not initialize SDL: %s.\n", SDL_GetError());
        vondExit(-1);
    }
    std::atexit(vondShutdown);

    game_state = lua_open(0);
    if (game_state == nullptr) {
        vondError.close();
        vondExit(-1);
    }
    vondWatchScriptsForQuit();
    lua_baselibopen(game_state);
    lua_iolibopen(game_state);
    lua_strlibopen(game_state);
    lua_mathlibopen(game_state);
    vondRegisterFuncs();

    // Signed 16-bit: with an unsigned device format SDL_mixer registers no
    // MOD/XM decoder here and crashes in Mix_CloseAudio at exit.
    if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) < 0) {
        vondLog("SDL_mixer error: ", SDL_GetError());
        vondExit(2);
    }
    Mix_AllocateChannels(16);

    vondClearStores();
    for (bool& held : KAV_KeyDown) held = false;

    StateMachine::Instance();
    l_StateMachineInit(game_state);

    lua_dofile(game_state, "scripts/monkey.lua");

    gfx.Startup();
    SDL_EnableKeyRepeat(0, 0);

    SDL_Event event;
    std::memset(&event, 0, sizeof event); // type 0: no event yet
    Uint32 lastTick = 0;
    Uint32 frameDelta = 0;
    for (;;) {
        Uint32 now = SDL_GetTicks();
        frameDelta += now - lastTick;
        lastTick = now;
        // When nothing is pending the previous event is dispatched again.
        vondTakeEvent(event);
        vondDispatchEvent(event);
        updateInput(frameDelta);
        gfx.Update(frameDelta);
        gfx.Draw();
        frameDelta = 0;
    }
}

int main(int argc, char* argv[]) { return SDL_main(argc, argv); }
