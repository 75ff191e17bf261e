// The quit check of the script host in-process (lua40_setquitcheck): when it
// is called while a script never ends, never while a C function of the script
// runs nor while no script runs, and what stops it. Here "quit" raises an
// error in the script instead of ending the program.
#include "lua40/lua40.h"
// lua_error and lua_gethook: the test's quit stops the script as 5.1's own
// interpreter stops one on Ctrl-C, and the hook must be gone afterwards.
#include "lua40/lua40_51.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Checks {
    lua_State* L = nullptr;
    int calls = 0;           // of pending
    int quitAfter = 1 << 30; // pending says yes from this call on
    bool inEngine = false;   // set while the C function below runs
    int callsInEngine = 0;
    std::string alerts;
};
Checks checks;

int pending(void* data) {
    Checks* c = static_cast<Checks*>(data);
    ++c->calls;
    if (c->inEngine) ++c->callsInEngine;
    return c->calls >= c->quitAfter;
}

void stopScript(void* data) {
    lua_State* L = static_cast<Checks*>(data)->L;
    lua_pushstring(L, "stopped");
    lua_error(L);
}

// An engine function that takes its time: a fifth of a second without one
// instruction of the script.
int slowEngineCall(lua_State*) {
    checks.inEngine = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    checks.inEngine = false;
    return 0;
}

int captureAlert(lua_State* L) {
    checks.alerts += lua_tostring(L, 1);
    return 0;
}

lua_State* openWatched() {
    checks = Checks();
    lua_State* L = lua_open(0);
    lua_baselibopen(L);
    lua_iolibopen(L);
    lua_register(L, "_ALERT", captureAlert);
    lua_register(L, "slowEngineCall", slowEngineCall);
    checks.L = L;
    lua40_setquitcheck(L, pending, stopScript, &checks);
    return L;
}

class Lua40Quit : public ::testing::Test {
  protected:
    void TearDown() override { lua_close(L); }
    lua_State* L = openWatched();
};

TEST_F(Lua40Quit, AScriptThatNeverEndsIsCheckedAtMost200TimesASecondAndStoppedByQuit) {
    checks.quitAfter = 10;
    Clock::time_point start = Clock::now();
    EXPECT_EQ(lua_dostring(L, "while 1 do end"), LUA40_ERRRUN);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_EQ(checks.calls, 10);
    EXPECT_GE(seconds, 10 * 0.005 * 0.9) << "checked more often than every 5 ms";
    EXPECT_NE(checks.alerts.find("error: stopped"), std::string::npos) << checks.alerts;
    EXPECT_EQ(lua_gethook(L), nullptr) << "the hook outlived the script";
}

TEST_F(Lua40Quit, ALoopInAChunkRunByTheScriptIsStoppedAndTheOuterScriptGoesOn) {
    checks.quitAfter = 3;
    EXPECT_EQ(lua_dostring(L, "status = dostring('local i = 0 while 1 do i = i + 1 end')"), 0)
        << checks.alerts;
    EXPECT_EQ(lua_dostring(L, "if status ~= nil then error('nested chunk not stopped') end"), 0)
        << checks.alerts;
    EXPECT_EQ(checks.calls, 3);
}

TEST_F(Lua40Quit, TheCheckWaitsForAnEngineFunctionToReturnAndComesRightAfter) {
    EXPECT_EQ(lua_dostring(L, "slowEngineCall() x = 1"), 0) << checks.alerts;
    EXPECT_EQ(checks.callsInEngine, 0);
    EXPECT_GE(checks.calls, 1) << "the check asked for during the call was lost";
    EXPECT_LE(checks.calls, 2);
}

TEST_F(Lua40Quit, NothingIsCheckedOnceNoScriptRuns) {
    EXPECT_EQ(lua_dostring(L, "local start = clock() while clock() - start < 0.05 do end"), 0);
    int calls = checks.calls;
    EXPECT_GE(calls, 1);
    EXPECT_EQ(lua_gethook(L), nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(checks.calls, calls);
    EXPECT_EQ(lua_gethook(L), nullptr);
}

TEST_F(Lua40Quit, AnUnwatchedStateIsNoLongerChecked) {
    lua40_setquitcheck(L, nullptr, nullptr, nullptr);
    EXPECT_EQ(lua_dostring(L, "local start = clock() while clock() - start < 0.1 do end"), 0);
    EXPECT_EQ(checks.calls, 0);
}

} // namespace
