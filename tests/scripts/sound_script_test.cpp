// Music and sound script functions in the real binary, proved from what SDL's
// disk audio driver wrote; and a clean exit with songs loaded and playing.
#include "vondRun.h"
#include "vondTestAudio.h"
#include "vondTestPictures.h"

#include <algorithm>
#include <regex>

namespace {

constexpr double LOUD = 1000, SILENT = 1;

// Times are taken from the audio on disk, not from frames: on a busy machine
// the audio thread falls behind the clock. after(s, id, text) runs text once
// s seconds more of audio are written than when it is called.
const char* const AUDIO_CLOCK = R"(
function heard()
  local f = openfile("out.raw", "r")
  if not f then return 0 end
  local bytes = seek(f, "end")
  closefile(f)
  return bytes / 176400
end
function after(seconds, id, text)
  addTimedEvent(id, 0, 1, 10,
    format("if heard() >= %f then delTimedEvent(%d) %s end", heard() + seconds, id, text))
end
)";

// Runs the script on the disk audio driver with beep.wav (0.3 s), song.wav (0.5 s),
// song.ogg, song.mod, an empty empty.wav and broken WAV songs at hand; checks the clean exit;
// returns loudness per 100 ms.
std::vector<double> runWithDiskAudio(const std::string& script, GameRun& r) {
    GameDir game;
    writeSineWav(game.file("beep.wav"), 440, 0.3);
    writeSineWav(game.file("song.wav"), 330, 0.5);
    writeSquareMod(game.file("song.mod"));
    game.write("empty.wav", "");
    // WAV songs that SDL_mixer would free twice (a data chunk running past the
    // end) or loop on for ever (no data chunk).
    const std::string format("fmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0",
                             24);
    game.write("huge.wav", std::string("RIFF\xFF\xFF\xFF\xFFWAVE", 12) + format +
                               std::string("data\xF0\xFF\xFF\xFF", 8) + std::string(16, '\0'));
    game.write("fmtonly.wav", std::string("RIFF\x1C\0\0\0WAVE", 12) + format);
    expectRuns(words("oggenc -Q -o song.ogg song.wav"), game.path());
    r = game.runScript(AUDIO_CLOCK + script, 30,
                       {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", game.file("out.raw")}});
    EXPECT_EQ(r.status, 0) << r.err; // the sanitizers end a faulty run with another status
    std::regex closing("SDL Error Report: [^\n]*\nExiting program\\.\n$");
    EXPECT_TRUE(std::regex_search(r.log, closing)) << r.log;
    return loudnessPer100Ms(game.file("out.raw"));
}

int loudWindows(const std::vector<double>& levels) {
    return static_cast<int>(
        std::count_if(levels.begin(), levels.end(), [](double l) { return l > LOUD; }));
}

// How long each is loud: a 0.3 s sound once or three times, a 0.5 s song
// looped (longer than itself) until stopMusic 1.2 s in; the last 0.4 s are silent.
TEST(SoundScripts, SoundsPlayOncePlusTheirLoopsAndSongsPlayUntilStopMusic) {
    const struct {
        const char* script;
        int fewestLoud, mostLoud; // of the 100 ms windows
    } cases[] = {
        {"loadSound(1, 'beep.wav')\nplaySound(1, -1, 0)\n", 2, 4},
        {"loadSound(1, 'beep.wav')\nplaySound(1, 2, 2)\n", 8, 10},
        {"loadSong(0, 'song.wav')\nplaySong(0, -1)\n", 10, 99},
        {"loadSong(0, 'song.mod')\nplaySong(0, -1)\n", 10, 99}, // a module decodes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        GameRun r;
        std::vector<double> levels = runWithDiskAudio(
            std::string(c.script) + "after(1.2, 1, 'stopMusic()') after(1.8, 2, 'exit(0)')\n", r);
        EXPECT_EQ(countOf(r.log, "Error loading"), 0) << r.log;
        ASSERT_GE(levels.size(), 17u);
        EXPECT_GE(loudWindows(levels), c.fewestLoud);
        EXPECT_LE(loudWindows(levels), c.mostLoud);
        for (size_t i = levels.size() - 4; i < levels.size(); ++i)
            EXPECT_LT(levels[i], SILENT) << i;
    }
}

TEST(SoundScripts, BadNumbersAreLoggedAndSilentThenOggAndTrackerSongsPlayToACleanExit) {
    // Leak checking is on: a replaced song or sound still allocated would be reported.
    const std::pair<const char*, const char*> calls[] = {
        {"loadSong(2, 'nope.ogg')", "Error loading music file: nope.ogg\n"},
        {"playSong(2, 1)", "Invalid song number: 2\n"},
        {"playSong(3, -1)", "Invalid song number: 3\n"},
        {"playSong(300, -1)", "Invalid song number: 300\n"},
        {"loadSong(-1, 'beep.wav')", "loadSong: song number -1 is out of range\n"},
        {"loadSound(512, 'beep.wav')", "loadSound: sound number 512 is out of range\n"},
        {"playSound(7, -1, 0)", "Invalid sound number: 7\n"},
        {"playSound(-2, 0, 0)", "Invalid sound number: -2\n"},
        {"loadSong(4, 'scripts') loadSong(4, 'empty.wav')", // SDL_mixer would leak on these
         "Error loading music file: scripts\nError loading music file: empty.wav\n"},
        {"loadSong(4, 'huge.wav') loadSong(4, 'fmtonly.wav')",
         "Error loading music file: huge.wav\nError loading music file: fmtonly.wav\n"},
        {"loadSound(0, 'beep.wav')", ""},
        {"playSound(0, 16, 0)", "playSound: channel 16 is out of range\n"},
        {"playSound(0, -2, 0)", "playSound: channel -2 is out of range\n"},
        {"loadSound(3, 'song.wav') loadSound(3, 'none.wav')",
         "Error loading sound file: none.wav\n"},
        {"playSound(3, -1, 0) stopMusic()", "Invalid sound number: 3\n"},
        {"loadSong(1, 'song.mod') loadSong(1, 'song.wav') loadSong(0, 'song.ogg')", ""},
        {"loadSong(1, 'song.mod') loadSound(0, 'song.wav') loadSound(0, 'song.wav')", ""},
        // Silence on disk first, then both play until the end.
        {"after(0.3, 1, 'playSong(1, -1) playSound(0, -1, -1)')", ""},
        {"after(0.6, 2, 'playSong(0, -1)')", ""},
        {"after(0.9, 3, 'exit(0)')", ""},
    };
    std::string script, expected;
    for (auto [call, logged] : calls) {
        script += std::string(call) + "\n";
        expected += logged;
    }
    GameRun r;
    std::vector<double> levels = runWithDiskAudio(script, r);
    EXPECT_EQ(r.log.rfind(expected, 0), 0u) << r.log;
    EXPECT_EQ(countOf(r.log, "Error loading"), 6) << "the songs that exist all load";
    ASSERT_GE(levels.size(), 6u);
    EXPECT_TRUE(levels[0] < SILENT && levels[1] < SILENT) << levels[0] << " " << levels[1];
    EXPECT_GT(levels[levels.size() - 2], LOUD);
}

} // namespace
