// Shared benchmark helpers; see vondBenchSupport.h.
#include "vondBenchSupport.h"

#include "stateMachine/statemachine.h"
#include "stateMachine/statemachine_binding.h"
#include "vondGlobals.h"
#include "vondLog.h"
#include "vondScriptHost.h"
#include "vondScriptFuncs.h"
#include "vondShell.h"
#include "vondStores.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace vondBench {

double cpuMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

std::string sourceDir() {
    return VOND_SOURCE_DIR;
}

void startVideo() {
    static bool started = [] {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        SDL_Init(SDL_INIT_VIDEO);
        gfx.Startup();
        // The log goes nowhere: benchmarks time the writes, not the disk.
        vondError.open("/dev/null", std::ios::out);
        return true;
    }();
    (void)started;
}

void openScriptHost() {
    game_state = lua_open(0);
    vondWatchScriptsForQuit();
    lua_baselibopen(game_state);
    lua_iolibopen(game_state);
    lua_strlibopen(game_state);
    lua_mathlibopen(game_state);
    vondRegisterFuncs();
    StateMachine::Instance();
    l_StateMachineInit(game_state);
}

int runStartupScript(const std::string& dir, const std::string& scriptFile) {
    startVideo();
    if (game_state == nullptr) openScriptHost();
    char previous[4096];
    if (getcwd(previous, sizeof previous) == nullptr) return -1;
    if (chdir(dir.c_str()) != 0) return -1;
    int status = lua_dofile(game_state, scriptFile.c_str());
    if (chdir(previous) != 0) return -1;
    return status;
}

namespace {

constexpr size_t SCREEN_BYTES = 640 * 480 * 4;

struct FloorBuffers {
    std::vector<std::vector<unsigned char>> sources;
    std::vector<unsigned char> screen = std::vector<unsigned char>(SCREEN_BYTES, 1);
    std::vector<unsigned char> windows;
};

FloorBuffers& buffers(int copies, long windowBytes) {
    static FloorBuffers b;
    while (static_cast<int>(b.sources.size()) < copies)
        b.sources.emplace_back(SCREEN_BYTES, static_cast<unsigned char>(b.sources.size() + 3));
    if (static_cast<long>(b.windows.size()) < windowBytes) b.windows.assign(windowBytes, 7);
    return b;
}

} // namespace

void frameFloorOnce(int copies, long windowBytes) {
    FloorBuffers& b = buffers(copies, windowBytes);
    std::memset(b.screen.data(), 0, SCREEN_BYTES);
    for (int i = 0; i < copies; ++i)
        std::memcpy(b.screen.data(), b.sources[i].data(), SCREEN_BYTES);
    // Window pixels land on the screen; more than a screenful wraps round.
    for (long done = 0; done < windowBytes;) {
        long n = std::min<long>(windowBytes - done, SCREEN_BYTES);
        std::memcpy(b.screen.data(), b.windows.data() + done, n);
        done += n;
    }
    asm volatile("" : : "r"(b.screen.data()) : "memory");
}

double frameFloorMs(int copies, long windowBytes, int rounds) {
    buffers(copies, windowBytes);
    std::vector<double> times;
    times.reserve(rounds);
    for (int r = 0; r < rounds; ++r) {
        double start = cpuMs();
        frameFloorOnce(copies, windowBytes);
        times.push_back(cpuMs() - start);
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return times[rounds / 2];
}

} // namespace vondBench
