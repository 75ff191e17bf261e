// The application shell: the keyboard table with its 200 ms repeat filter, the
// developer keys, the per-frame event dispatch, the quit check made while
// scripts run, and the exit routine.
#pragma once

#include <SDL.h>

constexpr int KAV_KEY_COUNT = 323; // SDL 1.2 key symbols 0 to 322
constexpr Uint32 KAV_KEY_REPEAT_MS = 200;

extern bool KAV_KeyDown[KAV_KEY_COUNT];
extern Uint32 KAV_KeyDownTime[KAV_KEY_COUNT];

// Adds ms to the held time of every held key.
void updateInput(unsigned int ms);
// Keeps the keyboard table: a new press marks the key held from 0 ms, a release clears it.
void doInput(SDL_Event event);
// Runs the developer action bound to key symbol k, if any.
void vondDeveloperKey(int k);
// Dispatches one event record of the frame loop (may end the program).
void vondDispatchEvent(const SDL_Event& event);
// Lets a quit end the program while a script runs (an endless loop would
// otherwise keep the frame loop from ever seeing it): watches game_state.
void vondWatchScriptsForQuit();
// The exit routine registered with atexit.
void vondShutdown();
