// Music and sound script functions in the real binary, proved from what SDL's
// disk audio driver wrote; and a clean exit with songs loaded and playing.
#include "vondRun.h"
#include "vondTestAudio.h"
#include "vondTestPictures.h"

#include <gtest/gtest.h>

namespace {

constexpr double LOUD = 1000, SILENT = 1;

struct AudioRun {
    GameRun run;
    std::vector<double> levels; // per 100 ms
};

AudioRun runWithDiskAudio(const GameDir& game) {
    AudioRun a;
    a.run =
        game.run(20, {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", game.file("out.raw")}});
    a.levels = loudnessPer100Ms(game.file("out.raw"));
    return a;
}

void expectCleanExit(const GameRun& r) {
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(r.timedOut);
    std::vector<std::string> l = lines(r.log);
    ASSERT_GE(l.size(), 2u);
    EXPECT_EQ(l[l.size() - 2].rfind("SDL Error Report: ", 0), 0u);
    EXPECT_EQ(l.back(), "Exiting program.");
    EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << r.err;
}

TEST(SoundScripts, PlaySoundProducesTheToneOnceAndThenSilence) {
    GameDir game;
    writeSineWav(game.file("beep.wav"), 440, 0.3);
    game.monkey("loadSound(1, 'beep.wav')\nplaySound(1, -1, 0)\n"
                "addTimedEvent(1, 1, 1, 1000, 'exit(0)')\n");
    AudioRun a = runWithDiskAudio(game);
    expectCleanExit(a.run);
    ASSERT_GE(a.levels.size(), 9u);
    EXPECT_GT(a.levels[1], LOUD);
    EXPECT_LT(a.levels[6], SILENT);
    EXPECT_LT(a.levels[8], SILENT);
}

TEST(SoundScripts, LoopsCountAfterTheFirstPlayOnTheGivenChannel) {
    GameDir game;
    writeSineWav(game.file("beep.wav"), 440, 0.3);
    game.monkey("loadSound(1, 'beep.wav')\nplaySound(1, 2, 2)\n"
                "addTimedEvent(1, 1, 1, 1400, 'exit(0)')\n");
    AudioRun a = runWithDiskAudio(game);
    expectCleanExit(a.run);
    ASSERT_GE(a.levels.size(), 13u);
    EXPECT_GT(a.levels[7], LOUD) << "three plays of 0.3 s last 0.9 s";
    EXPECT_LT(a.levels[11], SILENT);
}

TEST(SoundScripts, SongPlaysUntilStopMusicAndATrackerModuleDecodes) {
    for (const char* song : {"song.wav", "song.mod"}) {
        SCOPED_TRACE(song);
        GameDir game;
        writeSineWav(game.file("song.wav"), 330, 0.5);
        writeSquareMod(game.file("song.mod"));
        game.monkey(std::string("loadSong(0, '") + song +
                    "')\nplaySong(0, -1)\n"
                    "addTimedEvent(1, 1, 1, 800, 'stopMusic()')\n"
                    "addTimedEvent(2, 1, 1, 1500, 'exit(0)')\n");
        AudioRun a = runWithDiskAudio(game);
        expectCleanExit(a.run);
        EXPECT_EQ(a.run.log.find("Error loading"), std::string::npos) << a.run.log;
        ASSERT_GE(a.levels.size(), 14u);
        EXPECT_GT(a.levels[2], LOUD);
        EXPECT_GT(a.levels[6], LOUD) << "the looped song goes on";
        EXPECT_LT(a.levels[11], SILENT);
        EXPECT_LT(a.levels[13], SILENT);
    }
}

TEST(SoundScripts, ProgramExitsCleanlyWithOggAndTrackerSongsLoadedAndPlaying) {
    GameDir game;
    writeSineWav(game.file("song.wav"), 330, 1.0);
    writeSquareMod(game.file("song.mod"));
    GameRun enc = runProcess({"oggenc", "-Q", "-o", game.file("song.ogg"), game.file("song.wav")},
                             game.path(), {}, 30);
    ASSERT_EQ(enc.status, 0) << enc.err;
    game.monkey("loadSong(0, 'song.ogg')\nloadSong(1, 'song.mod')\nloadSound(0, 'song.wav')\n"
                "playSong(1, -1)\nplaySound(0, -1, -1)\n"
                "addTimedEvent(1, 1, 1, 300, 'playSong(0, -1)')\n"
                "addTimedEvent(2, 1, 1, 600, 'exit(0)')\n");
    AudioRun a = runWithDiskAudio(game);
    expectCleanExit(a.run);
    EXPECT_EQ(a.run.log.find("Error loading"), std::string::npos) << a.run.log;
    ASSERT_GE(a.levels.size(), 5u);
    EXPECT_GT(a.levels[4], LOUD);
}

TEST(SoundScripts, ReplacingSongsAndSoundsReleasesTheOldOnes) {
    // Leak checking is on: a replaced song or sound that stayed allocated would
    // be reported at exit.
    GameDir game;
    writeSineWav(game.file("a.wav"), 440, 0.2);
    writeSquareMod(game.file("song.mod"));
    game.monkey(
        "loadSong(0, 'song.mod')\nplaySong(0, -1)\nloadSong(0, 'song.mod')\nloadSong(0, 'a.wav')\n"
        "loadSound(3, 'a.wav')\nplaySound(3, -1, -1)\nloadSound(3, 'a.wav')\n"
        "loadSound(3, 'none.wav')\nplaySound(3, -1, 0)\n"
        "exit(0)\n");
    GameRun r =
        game.run(20, {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", game.file("out.raw")}});
    expectCleanExit(r);
    std::vector<std::string> l = lines(r.log);
    ASSERT_EQ(l.size(), 4u) << r.log;
    EXPECT_EQ(l[0], "Error loading sound file: none.wav");
    EXPECT_EQ(l[1], "Invalid sound number: 3");
}

TEST(SoundScripts, EmptyAndOutOfRangeNumbersAreLoggedAndPlayNothing) {
    GameDir game;
    writeSineWav(game.file("a.wav"), 440, 0.2);
    game.monkey(
        "loadSong(2, 'nope.ogg')\nplaySong(2, 1)\nplaySong(3, -1)\nplaySong(300, -1)\n"
        "loadSong(-1, 'a.wav')\nloadSound(512, 'a.wav')\nplaySound(7, -1, 0)\n"
        "playSound(-2, 0, 0)\nloadSound(0, 'a.wav')\nplaySound(0, 16, 0)\nplaySound(0, -2, 0)\n"
        "stopMusic()\n"
        "addTimedEvent(1, 1, 1, 500, 'exit(0)')\n");
    AudioRun a = runWithDiskAudio(game);
    expectCleanExit(a.run);
    std::vector<std::string> l = lines(a.run.log);
    std::vector<std::string> expected = {
        "Error loading music file: nope.ogg",
        "Invalid song number: 2",
        "Invalid song number: 3",
        "playSong: song number 300 is out of range",
        "loadSong: song number -1 is out of range",
        "loadSound: sound number 512 is out of range",
        "Invalid sound number: 7",
        "playSound: sound number -2 is out of range",
        "playSound: channel 16 is out of range",
        "playSound: channel -2 is out of range",
    };
    ASSERT_GE(l.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + expected.size()), expected)
        << a.run.log;
    for (double level : a.levels)
        EXPECT_LT(level, SILENT);
}

} // namespace
