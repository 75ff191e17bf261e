// The application shell: the keyboard table with its 200 ms repeat filter, the
// developer keys (which a finished game can turn off), the fullscreen keys, the
// per-frame event dispatch, the quit check made while scripts run, and the exit
// routine.
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
// Runs the developer action bound to key symbol k, if any, while developer keys are on.
void vondDeveloperKey(int k);
// Turns every developer key on or off (on at start-up). Closing the window
// and the fullscreen keys are not developer keys and always work.
void vondSetDeveloperKeys(bool on);
// For a press of F11 or Alt+Enter: switches the window between windowed and
// fullscreen and returns true. Any other event: false, nothing done.
bool vondFullscreenKey(const SDL_Event& event);
// Takes this frame's event into the frame loop's record, which is left as it
// is when nothing is pending. At most one event a frame, except that a mouse
// motion with more events behind it is passed over: it has no action, and
// with frames paced to the display a moving mouse would otherwise fill the
// queue faster than one event a frame empties it, delaying or losing clicks.
// A fullscreen key acts as it is taken and never becomes the record, so it
// reaches neither the keyboard table nor the developer keys.
void vondTakeEvent(SDL_Event& record);
// Dispatches one event record of the frame loop (may end the program).
void vondDispatchEvent(const SDL_Event& event);
// Lets a quit end the program while a script runs (an endless loop would
// otherwise keep the frame loop from ever seeing it): watches game_state.
void vondWatchScriptsForQuit();
// The exit routine registered with atexit.
void vondShutdown();
