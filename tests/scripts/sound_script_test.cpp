// Music and sound script functions in the real binary, proved from what SDL's
// disk audio driver wrote; and a clean exit with songs loaded and playing.
#include "vondRun.h"
#include "vondTestAudio.h"
#include "vondTestPictures.h"

#include <gtest/gtest.h>

namespace {

constexpr double LOUD = 1000, SILENT = 1;

// Runs the game on the disk audio driver, checks the clean exit and returns
// the loudness per 100 ms.
std::vector<double> runWithDiskAudio(const GameDir& game, GameRun& r) {
    r = game.run(20, {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", game.file("out.raw")}});
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> l = lines(r.log);
    if (l.size() < 2) ADD_FAILURE() << "no closing lines: " << r.log;
    else {
        EXPECT_EQ(l[l.size() - 2].rfind("SDL Error Report: ", 0), 0u);
        EXPECT_EQ(l.back(), "Exiting program.");
    }
    EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << r.err;
    return loudnessPer100Ms(game.file("out.raw"));
}

TEST(SoundScripts, PlaySoundPlaysOncePlusItsLoopsThenSilence) {
    // {call, exit time, a loud 100 ms, a silent one}: three plays of 0.3 s last 0.9 s.
    const struct { const char* call; int exitMs, loud, silent; } cases[] = {
        {"playSound(1, -1, 0)", 1000, 1, 6}, {"playSound(1, 2, 2)", 1400, 7, 11}};
    for (auto c : cases) {
        SCOPED_TRACE(c.call);
        GameDir game;
        writeSineWav(game.file("beep.wav"), 440, 0.3);
        game.monkey(std::string("loadSound(1, 'beep.wav')\n") + c.call + "\naddTimedEvent(1, 1, 1, " +
                    std::to_string(c.exitMs) + ", 'exit(0)')\n");
        GameRun r;
        std::vector<double> levels = runWithDiskAudio(game, r);
        ASSERT_GT(levels.size(), size_t(c.silent));
        EXPECT_GT(levels[c.loud], LOUD);
        EXPECT_LT(levels[c.silent], SILENT);
    }
}

TEST(SoundScripts, SongPlaysUntilStopMusicAndATrackerModuleDecodes) {
    for (const char* song : {"song.wav", "song.mod"}) {
        SCOPED_TRACE(song);
        GameDir game;
        writeSineWav(game.file("song.wav"), 330, 0.5);
        writeSquareMod(game.file("song.mod"));
        game.monkey(std::string("loadSong(0, '") + song + "')\nplaySong(0, -1)\n"
                    "addTimedEvent(1, 1, 1, 800, 'stopMusic()')\n"
                    "addTimedEvent(2, 1, 1, 1500, 'exit(0)')\n");
        GameRun r;
        std::vector<double> levels = runWithDiskAudio(game, r);
        EXPECT_EQ(r.log.find("Error loading"), std::string::npos) << r.log;
        ASSERT_GE(levels.size(), 14u);
        EXPECT_GT(levels[2], LOUD);
        EXPECT_GT(levels[6], LOUD) << "the looped song goes on";
        EXPECT_LT(levels[11], SILENT);
        EXPECT_LT(levels[13], SILENT);
    }
}

TEST(SoundScripts, ExitsCleanlyWithOggAndTrackerSongsPlayingAndReplacedOnesReleased) {
    // Leak checking is on: a replaced song or sound still allocated would be reported.
    GameDir game;
    writeSineWav(game.file("song.wav"), 330, 1.0);
    writeSquareMod(game.file("song.mod"));
    GameRun enc = runProcess({"oggenc", "-Q", "-o", game.file("song.ogg"), game.file("song.wav")},
                             game.path(), {}, 30);
    ASSERT_EQ(enc.status, 0) << enc.err;
    game.monkey("loadSong(1, 'song.mod')\nplaySong(1, -1)\nloadSong(1, 'song.wav')\n"
                "loadSong(0, 'song.ogg')\nloadSong(1, 'song.mod')\n"
                "loadSound(3, 'song.wav')\nplaySound(3, -1, -1)\nloadSound(3, 'song.wav')\n"
                "loadSound(3, 'none.wav')\nplaySound(3, -1, 0)\n"
                "loadSound(0, 'song.wav')\nplaySong(1, -1)\nplaySound(0, -1, -1)\n"
                "addTimedEvent(1, 1, 1, 300, 'playSong(0, -1)')\n"
                "addTimedEvent(2, 1, 1, 600, 'exit(0)')\n");
    GameRun r;
    std::vector<double> levels = runWithDiskAudio(game, r);
    std::vector<std::string> l = lines(r.log);
    ASSERT_GE(l.size(), 2u);
    EXPECT_EQ(countOf(r.log, "Error loading"), 1) << r.log;
    EXPECT_EQ(l[0], "Error loading sound file: none.wav");
    EXPECT_EQ(l[1], "Invalid sound number: 3");
    ASSERT_GE(levels.size(), 5u);
    EXPECT_GT(levels[4], LOUD);
}

TEST(SoundScripts, EmptyAndOutOfRangeNumbersAreLoggedAndPlayNothing) {
    GameDir game;
    writeSineWav(game.file("a.wav"), 440, 0.2);
    game.monkey(
        "loadSong(2, 'nope.ogg')\nplaySong(2, 1)\nplaySong(3, -1)\nplaySong(300, -1)\n"
        "loadSong(-1, 'a.wav')\nloadSound(512, 'a.wav')\nplaySound(7, -1, 0)\n"
        "playSound(-2, 0, 0)\nloadSound(0, 'a.wav')\nplaySound(0, 16, 0)\nplaySound(0, -2, 0)\n"
        "stopMusic()\naddTimedEvent(1, 1, 1, 500, 'exit(0)')\n");
    GameRun r;
    std::vector<double> levels = runWithDiskAudio(game, r);
    std::vector<std::string> l = lines(r.log), expected = {
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
    EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + expected.size()), expected) << r.log;
    for (double level : levels)
        EXPECT_LT(level, SILENT);
}

} // namespace
