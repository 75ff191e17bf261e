// Rules of docs/authoring.md that scripts meet, in headless runs of the real
// binary: arguments counted from the last, identifiers that are not unique,
// script errors sent to the log through _ALERT, the guide's worked example, and
// which sound files load.
#include "vondRun.h"
#include "vondTestAudio.h"

#include <tuple>

namespace {

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(AuthoringRules, AMissingFirstArgumentShiftsTheOthersOfAFunctionCountedFromTheLast) {
    GameDir game;
    // The identifier is left out. Read from the last, 'f()' is the command, 40
    // the time, 0 the source (a file), 2 the type, and the identifier is 0.
    GameRun r = game.runScript("addTimedEvent(2, 0, 40, 'f()')\n"
                               "addTimedEvent(9, 1, 1, 200, 'exit(0)')\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(
        has(r.log, "Event: 0 constructed!\nAdding event: 0 with command: f()Event: 0 added!\n"))
        << r.log;
    EXPECT_TRUE(has(r.log, "Event: 0 going off now!\nEvent: 0 doing file: f()\n")) << r.log;
}

TEST(AuthoringRules, IdentifiersAreNotUniqueAndFunctionsOnAnIdentifierReachEveryOneOfThem) {
    GameDir game;
    writeSheet(game.file("p.bmp"), 8, 8, {0x010203});
    GameRun r =
        game.runScript("addTimedEvent(5, 1, 1, 10, \"print('tick')\") addTimedEvent(5, 1, 1, 10, "
                       "\"print('tick')\")\n"
                       "addTimedEvent(7, 1, 1, 50, \"print('never')\") addTimedEvent(7, 1, 1, 50, "
                       "\"print('never')\")\n"
                       "delTimedEvent(7)\n"
                       "addImage(1, 'p.bmp') newPicWin(3, 0, 0, 1) newPicWin(3, 10, 10, 1)\n"
                       "delWin(3) winTimedMove(3, 1, 1, 1, 1)\n"
                       "addTimedEvent(6, 1, 1, 200, 'exit(0)')\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "tick\ntick\n");
    EXPECT_TRUE(has(r.log, "Deleting Window: 3\nMoving window: 3\n"
                           "Asked to timed move nonexistant window: 3\n"))
        << r.log;
}

TEST(AuthoringRules, AnAlertFunctionSendsScriptErrorsToTheLogInsteadOfStandardError) {
    GameDir game;
    GameRun r = game.runScript("function _ALERT(s) errorMsg(s) end\n"
                               "addTimedEvent(1, 1, 1, 10, 'nosuch()')\n"
                               "addTimedEvent(2, 1, 1, 100, 'exit(0)')\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(
        has(r.log, "error: attempt to call global `nosuch' (a nil value)\nstack traceback:\n"))
        << r.log;
    EXPECT_FALSE(has(r.err, "nosuch")) << r.err;
    // Without it, the same error goes to standard error only.
    GameDir plain;
    r = plain.runScript("addTimedEvent(1, 1, 1, 10, 'nosuch()')\n"
                        "addTimedEvent(2, 1, 1, 100, 'exit(0)')\n");
    EXPECT_TRUE(has(r.err, "error: attempt to call global `nosuch' (a nil value)\n")) << r.err;
    EXPECT_FALSE(has(r.log, "nosuch()'\n") || has(r.log, "attempt to call")) << r.log;
}

TEST(AuthoringRules, AnEngineThatCannotStartSdlSaysSoOnStandardOutputAndEndsWith255) {
    GameDir game;
    GameRun r = game.runScript("print('not reached')\n", 20, {{"SDL_AUDIODRIVER", "bogus"}});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out.rfind("Could not initialize SDL: ", 0), 0u) << r.out;
}

// The worked example of the guide, as printed there, on maps converted as it
// says: it must run without a script error or a complaint of the engine.
TEST(AuthoringRules, TheGuidesWorkedExampleRuns) {
    std::string text = readFile(std::string(VOND_SOURCE_DIR) + "/docs/authoring.md");
    const std::string opening = "`scripts/monkey.lua`:\n\n```lua\n";
    size_t start = text.find(opening);
    ASSERT_NE(start, std::string::npos);
    start += opening.size();
    std::string script = text.substr(start, text.find("```", start) - start);

    GameDir game;
    const std::string tools = std::string(VOND_SOURCE_DIR) + "/tools/";
    const std::string fixtures = std::string(VOND_SOURCE_DIR) + "/tests/tools/tiled/";
    game.write("pics/rooms.png", readFile(fixtures + "tiles.png"));
    for (const char* step : {"mkdir -p fonts maps",
                             "/usr/bin/convert -size 640x480 xc:#102040 PNG24:pics/backdrop.png",
                             "/usr/bin/convert -size 32x32 xc:rgb(251,3,248) PNG24:pics/cat0.png",
                             "/usr/bin/convert -size 32x32 xc:rgb(251,3,248) PNG24:pics/cat1.png"})
        ASSERT_TRUE(expectRuns(words(step), game.path()));
    ASSERT_TRUE(
        expectRuns({"python3", tools + "make-font",
                    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", "14", "fonts/font.png"},
                   game.path()));
    std::string room = readFile(fixtures + "room-embedded.json");
    size_t image = room.find("\"image\":\"tiles.png\"");
    ASSERT_NE(image, std::string::npos);
    room.replace(image, 19, "\"image\":\"../pics/rooms.png\"");
    for (const char* k : {"1", "2", "3"}) {
        const std::string name = std::string("maps/room") + k;
        game.write(name + ".json", room);
        ASSERT_TRUE(expectRuns({"python3", tools + "tiled2kavmap", "--map-id", k, "--tileset-id",
                                "0", name + ".json", name + ".map"},
                               game.path()));
    }
    GameRun r = game.runScript(script + "\naddTimedEvent(99, 1, 1, 1000, 'exit(0)')\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    for (const char* complaint :
         {"error", "Error loading", "ERROR", "out of range", "Unable", "not loaded", "Map file"})
        EXPECT_FALSE(has(r.log, complaint)) << complaint << "\n" << r.log;
    EXPECT_TRUE(has(r.log, "Placing sprite: 0 with flags: 0\n")) << r.log;
    EXPECT_TRUE(has(r.log, "In move sprite function!\n")) << r.log;
}

TEST(AuthoringRules, SoundsLoadFrom8And16BitWavAndOggButNotFrom24Or32BitOrFloatWav) {
    GameDir game;
    for (auto [name, bits, format] : {std::tuple("s8.wav", 8, 1),
                                      {"s16.wav", 16, 1},
                                      {"s24.wav", 24, 1},
                                      {"s32.wav", 32, 1},
                                      {"f32.wav", 32, 3}})
        writeSineWav(game.file(name), 700, 0.1, 22050, 1, bits, format); // a tenth of a second
    ASSERT_TRUE(expectRuns(words("oggenc -Q -o s.ogg s16.wav"), game.path()));
    GameRun r =
        game.runScript("loadSound(1, 's8.wav') loadSound(2, 's16.wav') loadSound(3, 's.ogg')\n"
                       "loadSound(4, 's24.wav') loadSound(5, 's32.wav') loadSound(6, 'f32.wav')\n"
                       "exit(0)\n");
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> l = lines(r.log);
    l.resize(l.size() >= 2 ? l.size() - 2 : 0); // the closing lines
    EXPECT_EQ(l, (std::vector<std::string>{"Error loading sound file: s24.wav",
                                           "Error loading sound file: s32.wav",
                                           "Error loading sound file: f32.wav"}));
}

} // namespace
