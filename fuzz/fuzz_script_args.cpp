// The 56 script functions (the engine's 44 and the state machine's 12) called
// with arbitrary argument lists, as a script could call them: numbers
// including NaN, the infinities, 2^31, 2^32 and -1; strings with NULs; nil;
// booleans; tables. Each input is a list of calls, and ends with one frame
// updated and drawn. The engine's fatal errors (exit status 1) end an input as
// expected outcomes.
//
// Input: one byte whose lowest bit asks for the frame to be drawn as well (a
// frame costs milliseconds, a call microseconds); then, for each call, one
// byte picks the function and one the number of arguments (0 to 8); each
// argument is a tag byte and its data (see pushArg).
// Names of files are kept inside the scratch folder: a string never holds '/'.
//
// The engine's own windows, layers, sprites and stores are reset between
// inputs. Events made by sm_createEvent live as long as the process, as they
// do in a game, so tools/fuzz.sh runs this target in libFuzzer's fork mode,
// which restarts the process from time to time.
#include "stateMachine/statemachine.h"
#include "stateMachine/statemachine_binding.h"
#include "vondFuzz.h"
#include "vondGlobals.h"
#include "vondScriptFuncs.h"
#include "vondScriptHost.h"
#include "vondStores.h"
#include "lua40/lua40_51.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const FUNCTION_NAMES[] = {
    "addImage",         "addFont",        "addSprite",        "loadMap",       "setBlackEdge",
    "setWrap",          "setBlank",       "setLayerProperty", "setTilemap",    "setLPointer",
    "toggleLayer",      "toggleSLayer",   "placeSprite",      "MoveLPointer",  "addString",
    "newTxtWin",        "newPicWin",      "setTxtString",     "setTxtBD",      "setWinFlags",
    "winToggleHid",     "getLayerX",      "getLayerY",        "moveWinBy",     "addTimedEvent",
    "delTimedEvent",    "DestroyAll",     "errorMsg",         "delWin",        "loadSong",
    "playSong",         "loadSound",      "playSound",        "stopMusic",     "newClickH",
    "delClickH",        "getSpriteX",     "getSpriteY",       "delSprite",     "moveSprite",
    "setLayerPic",      "winTimedMove",   "newRadButton",     "setRadButtons", "sm_createNetwork",
    "sm_removeNetwork", "sm_createNode",  "sm_removeNode",    "sm_getNode",    "sm_putNode",
    "sm_traceOut",      "sm_attachEvent", "sm_createEvent",   "sm_chainEvent", "sm_save",
    "sm_load"};
constexpr int FUNCTIONS = sizeof FUNCTION_NAMES / sizeof FUNCTION_NAMES[0];
static_assert(FUNCTIONS == 56, "44 engine functions and 12 of the state machine");
constexpr int ENGINE_FUNCTIONS = 44; // the first 44: the engine's own
lua_CFunction functions[FUNCTIONS];
int addTimedEvent = -1, createNetwork = -1;

const double NUMBERS[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          2147483648.0, // 2^31
                          4294967296.0, // 2^32
                          -1,
                          0,
                          1,
                          2,
                          3,
                          4,
                          5,
                          16,
                          32,
                          64,
                          255,
                          256,
                          511,
                          512,
                          640,
                          480,
                          65279,
                          65280,
                          65535,
                          65536,
                          -2147483648.0,
                          2147483647.0,
                          4294967295.0,
                          9007199254740992.0,
                          1e300,
                          -1e300,
                          0.5,
                          -0.5,
                          1e-300,
                          8192,
                          4096,
                          1000,
                          -32768,
                          32767,
                          65536.0 * 65536 * 65536};
constexpr int NUMBER_COUNT = sizeof NUMBERS / sizeof NUMBERS[0];

const char* const STRINGS[] = {"pic.bmp",
                               "tiles.bmp",
                               "font.bmp",
                               "map.txt",
                               "sound.wav",
                               "missing.png",
                               "save.txt",
                               "",
                               "g",
                               "g.a",
                               "g.a.b",
                               "g.b",
                               "open",
                               "tracemessage",
                               "modifynode",
                               "none",
                               "createwindow",
                               "=",
                               "+",
                               "-",
                               "*",
                               "/",
                               "true",
                               "false",
                               "x=y",
                               "a\nb",
                               "1",
                               "-1",
                               "2147483648",
                               "0x10",
                               " 12",
                               "1e999",
                               "nan",
                               "Click!",
                               "x = 1",
                               "..",
                               ".",
                               "a",
                               "b"};
constexpr int STRING_COUNT = sizeof STRINGS / sizeof STRINGS[0];

struct Input {
    const uint8_t* at;
    const uint8_t* end;
    bool empty() const { return at >= end; }
    uint8_t byte() { return at < end ? *at++ : 0; }
};

// Pushes one argument described by the input.
void pushArg(lua_State* L, Input& in) {
    switch (in.byte() % 8) {
    case 0:
        lua_pushnil(L);
        break;
    case 1:
        lua_pushboolean(L, in.byte() & 1);
        break;
    case 2:
        lua_pushnumber(L, NUMBERS[in.byte() % NUMBER_COUNT]);
        break;
    case 3:
        lua_pushnumber(L, static_cast<int8_t>(in.byte()));
        break;
    case 4: {
        uint8_t bytes[8] = {};
        for (uint8_t& b : bytes)
            b = in.byte();
        double d;
        std::memcpy(&d, bytes, sizeof d);
        lua_pushnumber(L, d);
        break;
    }
    case 5:
        lua_pushstring(L, STRINGS[in.byte() % STRING_COUNT]);
        break;
    case 6: {
        std::string text(in.byte() % 40, '\0');
        for (char& c : text) {
            c = static_cast<char>(in.byte());
            if (c == '/') c = '_';
        }
        lua_pushlstring(L, text.data(), text.size());
        break;
    }
    default: {
        lua_newtable(L);
        const int entries = in.byte() % 3;
        for (int i = 1; i <= entries; ++i) {
            lua_pushnumber(L, static_cast<int8_t>(in.byte()));
            lua_rawseti(L, -2, i);
        }
        break;
    }
    }
}

// What an input made that outlives it unless taken away.
std::vector<int> timedEvents;
std::vector<std::string> networks;

// Puts the engine back as it started. Its layers are rebuilt from scratch, at
// the cost of some megabytes of fresh surfaces: only after inputs that
// called the engine's own functions.
void resetEngine(bool engineCalled) {
    for (const std::string& name : networks)
        StateMachine::Instance()->removeNetwork(name);
    networks.clear();
    if (!engineCalled) return;
    for (int id : timedEvents)
        gfx.delTimedEvent(id);
    timedEvents.clear();
    gfx.DestroyAll();
    gfx.Update(0); // sweeps the timed events just deleted
    vondFuzzClearStores();
    // Halting the music waits for the mixer: only when there is something to free.
    const auto loaded = [](auto& store) {
        for (auto* entry : store)
            if (entry != nullptr) return true;
        return false;
    };
    if (loaded(vondSongStore) || loaded(vondSoundStore)) vondReleaseSongsAndSounds();
    for (std::string& text : vondStringStore)
        text.clear();
}

// A WAV file of 64 silent stereo samples.
void writeSound() {
    const uint8_t head[44] = {'R', 'I', 'F',  'F',  0x24, 0x01, 0,    0,    'W', 'A', 'V',
                              'E', 'f', 'm',  't',  ' ',  16,   0,    0,    0,   1,   0,
                              2,   0,   0x44, 0xAC, 0,    0,    0x10, 0xB1, 2,   0,   4,
                              0,   16,  0,    'd',  'a',  't',  'a',  0,    1,   0,   0};
    std::vector<uint8_t> bytes(head, head + 44);
    bytes.resize(44 + 256, 0);
    vondFuzzWrite("sound.wav", bytes.data(), bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vondFuzzStart(true);
    writeSound();
    const std::string map = "KAVMAP1\nTILESET\nid 1\nimage tiles.bmp\nkey 255 0 255\nMAP\nid 2\n"
                            "width 3\nheight 2\ncells\n0 0\ntile 0\ncollide 0\nattribute 1\n"
                            "2 1\ntile 3\ncollide 1\nattribute 0\n\n";
    vondFuzzWrite("map.txt", reinterpret_cast<const uint8_t*>(map.data()), map.size());
    game_state = lua_open(0);
    vondRegisterFuncs();
    l_StateMachineInit(game_state);
    for (int f = 0; f < FUNCTIONS; ++f) {
        lua_getglobal(game_state, FUNCTION_NAMES[f]);
        functions[f] = lua_tocfunction(game_state, -1);
        lua_settop(game_state, 0);
        if (functions[f] == nullptr) __builtin_trap();
        if (std::strcmp(FUNCTION_NAMES[f], "addTimedEvent") == 0) addTimedEvent = f;
        if (std::strcmp(FUNCTION_NAMES[f], "sm_createNetwork") == 0) createNetwork = f;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lua_State* L = game_state;
    Input in{data, data + size};
    const bool draw = in.byte() & 1;
    bool engineCalled = draw;
    for (int calls = 0; calls < 64 && !in.empty(); ++calls) {
        const int f = in.byte() % FUNCTIONS;
        engineCalled = engineCalled || f < ENGINE_FUNCTIONS;
        const int count = in.byte() % 9;
        lua_settop(L, 0);
        for (int i = 0; i < count; ++i)
            pushArg(L, in);
        // Remembered as the functions read them, to be taken away afterwards.
        if (f == addTimedEvent) timedEvents.push_back(vondArgs(L, 5, vondArgs::FROM_LAST).toInt(1));
        if (f == createNetwork && count >= 1 &&
            (lua_type(L, -1) == LUA_TSTRING || lua_type(L, -1) == LUA_TNUMBER))
            networks.push_back(lua_tostring(L, -1));
        vondFuzzRun([&] { functions[f](L); });
        lua_settop(L, 0);
    }
    // One frame, as the frame loop runs it; timed events are taken away first,
    // since their scripts are text from the input.
    for (int id : timedEvents)
        gfx.delTimedEvent(id);
    vondFuzzRun([draw] {
        gfx.Update(16);
        if (draw) gfx.Draw();
    });
    resetEngine(engineCalled);
    return 0;
}
