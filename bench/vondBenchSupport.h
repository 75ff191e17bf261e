// Helpers shared by the benchmark programs: headless SDL start-up, an
// in-process game start-up like the entry point's, and the memory floor of a
// frame. The allocation count comes from support/vondAllocationCount.h.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <string>

namespace vondBench {

// SDL video on the dummy driver (unless the caller chose one) and the display
// opened by the engine; idempotent.
void startVideo();

// Opens a new game_state as the entry point does: watched for a quit, the four
// libraries, the engine's functions and the state machine's.
void openScriptHost();

// Opens game_state as the entry point does (libraries, engine functions, state
// machine), runs scriptFile with the working directory set to dir, and goes
// back. Returns the lua_dofile status.
int runStartupScript(const std::string& dir, const std::string& scriptFile);

// The least memory traffic of a frame, timed: one memset of the screen,
// fullScreenCopies memcpys of 640 x 480 x 4 bytes from distinct sources, and
// one memcpy of windowBytes. Returns the median time in milliseconds of
// `rounds` runs.
double frameFloorMs(int fullScreenCopies, long windowBytes, int rounds = 200);

// One floor frame (for a benchmark loop of its own).
void frameFloorOnce(int fullScreenCopies, long windowBytes);

// This thread's CPU time in milliseconds.
double cpuMs();

// Directory of the source tree (for the demo game).
std::string sourceDir();

} // namespace vondBench
