// Runs the real vond binary in a fresh game directory and collects what it
// produced: exit status, standard output, standard error and the error log.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct GameRun {
    int status = -1;       // exit status (0-255), or -1 when it did not exit normally
    bool timedOut = false; // the time limit ran out and the process was sent SIGTERM
    std::string out;       // standard output
    std::string err;       // standard error
    std::string log;       // vonderror.log
};

// A child process started in the background; its output goes to two files.
struct vondProcess {
    int pid = -1;
    std::string outPath, errPath;
};

class GameDir {
  public:
    // A new empty directory under the system's temporary directory, with scripts/.
    GameDir();
    ~GameDir();
    GameDir(const GameDir&) = delete;
    GameDir& operator=(const GameDir&) = delete;

    const std::string& path() const { return dir; }
    std::string file(const std::string& relative) const { return dir + "/" + relative; }

    // Writes a file (creating directories on the way).
    void write(const std::string& relative, const std::string& content) const;
    std::string read(const std::string& relative) const;
    bool exists(const std::string& relative) const;
    // Names in a folder of the directory ("" for the directory itself).
    std::set<std::string> entries(const std::string& relative = "") const;

    // Copies everything in folder (the demo game, fixtures) into this directory.
    void copyFrom(const std::string& folder) const;

    // The start-up script.
    void monkey(const std::string& lua) const { write("scripts/monkey.lua", lua); }

    // Runs vond here headless (dummy video and audio unless env overrides them),
    // ending it with SIGTERM after timeoutSeconds.
    GameRun run(double timeoutSeconds = 20,
                const std::map<std::string, std::string>& env = {}) const;
    // The same with `lua` as the start-up script.
    GameRun runScript(const std::string& lua, double timeoutSeconds = 20,
                      const std::map<std::string, std::string>& env = {}) const {
        monkey(lua);
        return run(timeoutSeconds, env);
    }
    vondProcess start() const; // in the background, headless
    // Waits until the error log holds text; false after timeoutSeconds.
    bool waitForLog(const std::string& text, double timeoutSeconds = 60) const;

  private:
    std::string dir;
};

vondProcess startProcess(const std::vector<std::string>& argv, const std::string& dir,
                         const std::map<std::string, std::string>& env);
// Waits for the process; after timeoutSeconds it is sent SIGTERM, once it
// catches it (at most 10 s later), then SIGKILL if it does not end.
GameRun waitProcess(vondProcess& p, double timeoutSeconds);

// Checks `done` every 10 ms until it holds (true) or timeoutSeconds pass (false).
bool waitUntil(const std::function<bool()>& done, double timeoutSeconds);

// Runs a command (argv) in dir with extra environment; waits at most timeoutSeconds.
GameRun runProcess(const std::vector<std::string>& argv, const std::string& dir,
                   const std::map<std::string, std::string>& env, double timeoutSeconds);

// Runs a command in dir; true, or a test failure naming it, when it ends with status 0.
bool expectRuns(const std::vector<std::string>& argv, const std::string& dir);
// The words of text, split at each separator.
std::vector<std::string> words(const std::string& text, char separator = ' ');
inline std::vector<std::string> lines(const std::string& text) {
    return words(text, '\n');
}
// The low `bytes` bytes of v, least significant first, as file formats store them.
inline std::string le(uint32_t v, int bytes) {
    return std::string(reinterpret_cast<const char*>(&v), bytes);
}
// A whole file's bytes ("" when it cannot be read).
std::string readFile(const std::string& path);

// Environment every sanitizer-built child needs.
std::map<std::string, std::string> sanitizerEnvironment();
// That and the dummy video and audio drivers: a headless game.
std::map<std::string, std::string> headlessEnvironment();

// Expects the log to end with the exit routine's two lines.
void expectClosingLines(const std::string& log);
// Expects a run that ended before its time limit with `status` and the closing
// lines, right after `lastLine` where one is given.
void expectExit(const GameRun& r, int status = 0, const std::string& lastLine = "");

// Occurrences of needle in text.
int countOf(const std::string& text, const std::string& needle);

// A surface that frees itself.
using Surface = std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)>;
inline Surface owned(SDL_Surface* s) {
    return Surface(s, SDL_FreeSurface);
}

// Writes a surface made for the purpose as a 24-bit BMP (read back by
// IMG_Load), then frees it.
void writeBMP(SDL_Surface* made, const std::string& path);
// A surface filled with one RGB colour, in the engine format.
SDL_Surface* solidSurface(int w, int h, Uint8 r, Uint8 g, Uint8 b);
// Writes a w x h BMP whose 32 x 32 squares, left to right then down, take the
// colours (0xRRGGBB) in turn: one colour gives a plain picture.
void writeSheet(const std::string& path, int w, int h, std::vector<Uint32> colours);
// RGB of pixel (x, y) of any 24- or 32-bit surface, as 0xRRGGBB.
Uint32 pixelRGB(SDL_Surface* surface, int x, int y);
inline Uint32 pixelRGB(const Surface& surface, int x, int y) {
    return pixelRGB(surface.get(), x, y);
}
// Pixels whose RGB differs between two surfaces of one size; where given,
// `first` names the first of them.
int differingPixels(SDL_Surface* a, SDL_Surface* b, std::string* first = nullptr);
