// Stopping a script that never ends, without slowing the scripts that do.
//
// A watcher thread wakes every 5 ms. When the outermost chunk of the watched
// state is the same one it saw running a tick earlier, it sends the script's
// thread a signal, whose handler arms a count hook of one instruction
// (lua_sethook may be called from a signal handler: 5.1's own interpreter
// stops scripts on Ctrl-C so). The hook runs between two VM instructions,
// never inside a C function, disarms itself and asks the shell whether a quit
// is pending. So a script that runs for less than a tick never meets the
// watcher, and no hook slows the VM between ticks. The signal goes to the
// script's thread alone (SDL's threads never see it), is unblocked there, and
// interrupted system calls restart.
#include "lua40/lua40_quit.h"

#include <atomic>
#include <csignal>
#include <ctime>
#include <pthread.h>

namespace lua40 {

namespace {

constexpr long kTickNanoseconds = 5000000; // at most 200 checks a second
constexpr int kTickSignal = SIGALRM;
// A userdata whose collection, when the state closes, forgets the watch.
constexpr const char* kWatchKey = "lua40.quitwatch";

// Set and read on the script's thread only.
struct Watch {
    lua_State* state = nullptr;
    lua40_QuitCheck pending = nullptr;
    void (*quit)(void* data) = nullptr;
    void* data = nullptr;
};
Watch watch;

// Shared with the signal handler and the watcher thread.
std::atomic<lua_State*> running{nullptr}; // the watched state while a chunk of it runs
std::atomic<unsigned> chunksStarted{0};   // outermost chunks started so far
static_assert(std::atomic<lua_State*>::is_always_lock_free, "read in a signal handler");

pthread_t scriptThread;
bool watcherStarted = false;

// If quit returns, the script goes on and is no longer checked.
void quitHook(lua_State* L, lua_Debug*) {
    lua_sethook(L, nullptr, 0, 0);
    if (watch.pending == nullptr || !watch.pending(watch.data)) return;
    running.store(nullptr);
    watch.quit(watch.data);
}

void onTick(int) {
    if (lua_State* L = running.load(std::memory_order_relaxed))
        lua_sethook(L, quitHook, LUA_MASKCOUNT, 1);
}

void* watchChunks(void*) {
    lua_State* seen = nullptr;
    unsigned seenStarted = 0;
    const timespec tick = {0, kTickNanoseconds};
    for (;;) {
        nanosleep(&tick, nullptr);
        lua_State* L = running.load(std::memory_order_acquire);
        unsigned started = chunksStarted.load(std::memory_order_relaxed);
        if (L != nullptr && L == seen && started == seenStarted)
            pthread_kill(scriptThread, kTickSignal);
        seen = L;
        seenStarted = started;
    }
    return nullptr;
}

// Installs the handler and starts the watcher, once; false if it cannot.
bool startWatcher() {
    if (watcherStarted) return true;
    struct sigaction action = {};
    action.sa_handler = onTick;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    if (sigaction(kTickSignal, &action, nullptr) != 0) return false;
    sigset_t tickOnly;
    sigemptyset(&tickOnly);
    sigaddset(&tickOnly, kTickSignal);
    pthread_sigmask(SIG_UNBLOCK, &tickOnly, nullptr);
    scriptThread = pthread_self();

    // The watcher takes no signal itself: it inherits a full mask.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t watcher;
    watcherStarted = pthread_create(&watcher, &attributes, watchChunks, nullptr) == 0;
    pthread_attr_destroy(&attributes);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return watcherStarted;
}

int forgetWatch(lua_State* L) {
    if (watch.state == L) watch = Watch();
    return 0;
}

} // namespace

bool beginWatchedChunk(lua_State* L) {
    if (L != watch.state || running.load(std::memory_order_relaxed) != nullptr) return false;
    chunksStarted.store(chunksStarted.load(std::memory_order_relaxed) + 1,
                        std::memory_order_relaxed);
    running.store(L, std::memory_order_release);
    return true;
}

void endWatchedChunk(lua_State* L) {
    // Cleared first: a tick that comes after this arms nothing.
    running.store(nullptr, std::memory_order_relaxed);
    if (lua_gethook(L) == quitHook) lua_sethook(L, nullptr, 0, 0);
}

} // namespace lua40

void lua40_setquitcheck(lua_State* L, lua40_QuitCheck pending, void (*quit)(void* data),
                        void* data) {
    using namespace lua40;
    if (pending == nullptr || quit == nullptr || !startWatcher()) {
        forgetWatch(L);
        return;
    }
    watch = {L, pending, quit, data};
    lua_getfield(L, LUA_REGISTRYINDEX, kWatchKey);
    bool marked = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (marked) return;
    lua_newuserdata(L, 1);
    lua_newtable(L);
    lua_pushcfunction(L, forgetWatch);
    lua_setfield(L, -2, "__gc");
    lua_setmetatable(L, -2);
    lua_setfield(L, LUA_REGISTRYINDEX, kWatchKey);
}
