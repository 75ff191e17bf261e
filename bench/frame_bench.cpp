// Cost of one frame (gfx.Update + gfx.Draw) on the dummy video driver, against
// the least memory traffic any engine needs to compose the same frame, timed in
// the same process. Two scenes: the demo game's busiest (run from its real
// start-up script) and the worst case of vondWorstCase.h.
//
// Counters: frame_ms and fps of the engine, floor_ms of the memory floor, ratio
// = frame_ms / floor_ms, allocs_per_frame (heap allocations while framing),
// flip_ms (SDL_Flip alone, part of every frame) and ratio_without_flip.
#include "vondAllocationCount.h"
#include "vondBenchSupport.h"
#include "vondWorstCase.h"

#include "lua40/lua40.h"
#include "vondGlobals.h"
#include "vondScriptHost.h"
#include "vondWindow2.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr unsigned FRAME_MS = 16;

// What SDL_Flip of the display alone costs (median of 100), for the share of
// a frame that is SDL's presentation rather than the engine's composition.
double flipMs() {
    SDL_Surface* screen = SDL_GetVideoSurface();
    std::vector<double> times;
    for (int i = 0; i < 100; ++i) {
        double start = vondBench::cpuMs();
        SDL_Flip(screen);
        times.push_back(vondBench::cpuMs() - start);
    }
    std::nth_element(times.begin(), times.begin() + 50, times.end());
    return times[50];
}

// Times the loop body itself so that the ratio to the floor uses the same
// clock: this thread's CPU time, which other programs on the machine disturb
// less than the wall clock.
// Allocations of the scenes' own restarts (a new walk, new narration, text
// revealed again: what a player's clicks or a game's script would do), kept
// apart from those of Update and Draw.
unsigned long driverAllocations = 0;

template <typename Frame>
void runFrames(benchmark::State& state, Frame frame, int floorCopies, long windowBytes) {
    driverAllocations = 0;
    unsigned long allocsBefore = vondAllocationCount();
    double start = vondBench::cpuMs();
    long frames = 0;
    long allocatingFrames = 0;
    for (auto _ : state) {
        unsigned long before = vondAllocationCount() - driverAllocations;
        frame();
        allocatingFrames += vondAllocationCount() - driverAllocations != before;
        ++frames;
    }
    double end = vondBench::cpuMs();
    unsigned long allocs = vondAllocationCount() - allocsBefore - driverAllocations;
    double frameMs = (end - start) / frames;
    double floorMs = vondBench::frameFloorMs(floorCopies, windowBytes);
    double flip = flipMs();
    state.counters["frame_ms"] = frameMs;
    state.counters["flip_ms"] = flip;
    state.counters["ratio_without_flip"] = (frameMs - flip) / floorMs;
    state.counters["fps"] = 1000.0 / frameMs;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio"] = frameMs / floorMs;
    state.counters["allocs_per_frame"] = static_cast<double>(allocs) / frames;
    state.counters["allocating_frames"] = static_cast<double>(allocatingFrames) / frames;
    if (driverAllocations > 0)
        state.counters["restart_allocs_per_frame"] =
            static_cast<double>(driverAllocations) / frames;
    state.counters["floor_copies"] = floorCopies;
}

vondEngine2& worstCase() {
    static vondEngine2* engine = [] {
        vondBench::startVideo();
        auto* e = new vondEngine2();
        vondWorstCase::build(*e);
        return e;
    }();
    return *engine;
}

void BM_Frame_WorstCase(benchmark::State& state) {
    vondEngine2& e = worstCase();
    int frame = 0;
    // Warm up: the first frames paint every raster and text window once.
    for (int i = 0; i < 10; ++i) {
        vondWorstCase::scroll(e, frame++);
        e.Update(FRAME_MS);
        e.Draw();
    }
    // Eight full-screen layers shown, four rasters rebuilt every frame.
    runFrames(
        state,
        [&] {
            if (frame % vondWorstCase::REVEAL_FRAMES == 0) {
                unsigned long before = vondAllocationCount();
                vondWorstCase::restartReveals(e);
                driverAllocations += vondAllocationCount() - before;
            }
            vondWorstCase::scroll(e, frame++);
            e.Update(FRAME_MS);
            e.Draw();
        },
        8 + 4, vondWorstCase::windowBytes());
}
BENCHMARK(BM_Frame_WorstCase)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Parts of the worst case: the scene scrolling with its windows hidden.
void BM_Part_WorstCaseWithoutWindows(benchmark::State& state) {
    vondEngine2& e = worstCase();
    for (int id : vondWorstCase::windowIds())
        e.getWindowHandle(id)->ToggleHidden(true);
    int frame = 0;
    runFrames(
        state,
        [&] {
            vondWorstCase::scroll(e, frame++);
            e.Update(FRAME_MS);
            e.Draw();
        },
        8 + 4, 0);
    for (int id : vondWorstCase::windowIds())
        e.getWindowHandle(id)->ToggleHidden(false);
}
BENCHMARK(BM_Part_WorstCaseWithoutWindows)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The same scene standing still: no raster is rebuilt.
void BM_Frame_WorstCaseStill(benchmark::State& state) {
    vondEngine2& e = worstCase();
    for (int i = 0; i < 3; ++i) {
        e.Update(FRAME_MS);
        e.Draw();
    }
    runFrames(
        state,
        [&] {
            e.Update(FRAME_MS);
            e.Draw();
        },
        8, vondWorstCase::windowBytes());
}
BENCHMARK(BM_Frame_WorstCaseStill)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The demo's busiest moment: the hall lamp still off (darkness layer shown),
// the tilemap layer scrolling between the rooms, the cat walking and the
// narration revealing text; every window of the scene on screen.
bool demoStarted = false;

bool demoFromGameScript = false;

void startDemo() {
    if (demoStarted) return;
    int status =
        vondBench::runStartupScript(vondBench::sourceDir() + "/game", "scripts/monkey.lua");
    demoFromGameScript = status == 0 && gfx.windowCount() > 0;
    for (int i = 0; i < 30; ++i) {
        gfx.Update(FRAME_MS);
        gfx.Draw();
    }
    demoStarted = true;
}

double luaNumber(const char* global) {
    lua_getglobal(game_state, global);
    double v = lua_tonumber(game_state, -1);
    lua_pop(game_state, 1);
    return v;
}

// Keeps the scene busy: a new walk as soon as a scroll ends, new narration as
// soon as the text is out.
void keepDemoBusy() {
    if (luaNumber("scrollSteps") <= 0)
        lua_dostring(game_state, "goRoom(1 - tonumber(sm_getNode('game.room')))");
    auto* narration = dynamic_cast<vondTextWin*>(gfx.getWindowHandle(0));
    if (narration != nullptr && !narration->isDirty())
        lua_dostring(
            game_state,
            "say('The wind howls round the manor and the old boards creak as the cat pads past.')");
}

// Screen area a window covers, in bytes.
long visibleBytes(vondWindow2* w, int width, int height) {
    if (w == nullptr || w->isHidden()) return 0;
    int x0 = std::max(0, w->getX()), y0 = std::max(0, w->getY());
    int x1 = std::min(640, w->getX() + width), y1 = std::min(480, w->getY() + height);
    return x1 > x0 && y1 > y0 ? 4L * (x1 - x0) * (y1 - y0) : 0;
}

long demoWindowBytes() {
    long bytes = 0;
    for (int id = 0; id <= 8; ++id) {
        vondWindow2* w = gfx.getWindowHandle(id);
        if (auto* t = dynamic_cast<vondTextWin*>(w); t && t->getSurface())
            bytes += visibleBytes(w, t->getSurface()->w, t->getSurface()->h);
        else if (auto* p = dynamic_cast<vondImageWin*>(w); p && p->getPicture())
            bytes += visibleBytes(w, p->getPicture()->w, p->getPicture()->h);
        else if (w != nullptr && w->getWinType() == vondWindow2::RADIO_WINDOW)
            bytes += visibleBytes(w, 96, 84); // the verb panel's size in the script
    }
    return bytes;
}

void BM_Frame_Demo(benchmark::State& state) {
    vondBench::startVideo();
    startDemo();
    if (!demoFromGameScript) {
        state.SkipWithError("the demo's start-up script did not run");
        return;
    }
    int shown = 0;
    for (int n = 0; n < 4; ++n)
        shown += gfx.isLayerShown(n) + gfx.isSLayerShown(n + 1);
    // The scrolling tilemap layer is rebuilt on most frames; count it on all.
    runFrames(
        state,
        [] {
            unsigned long before = vondAllocationCount();
            keepDemoBusy();
            driverAllocations += vondAllocationCount() - before;
            gfx.Update(FRAME_MS);
            gfx.Draw();
        },
        shown + 1, demoWindowBytes());
    state.counters["layers_shown"] = shown;
    state.counters["windows"] = static_cast<double>(gfx.windowCount());
}
BENCHMARK(BM_Frame_Demo)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The floors by themselves, for the table.
void BM_Floor_WorstCase(benchmark::State& state) {
    for (auto _ : state)
        vondBench::frameFloorOnce(12, vondWorstCase::windowBytes());
}
BENCHMARK(BM_Floor_WorstCase)->Unit(benchmark::kMillisecond);

} // namespace
