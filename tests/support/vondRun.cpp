#include "vondRun.h"

#include "vondStores.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

GameDir::GameDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vondgame.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    dir = pattern;
    std::filesystem::create_directories(dir + "/scripts");
}

GameDir::~GameDir() {
    std::error_code ignored;
    if (std::getenv("VOND_KEEP_TEST_DIRS") == nullptr) std::filesystem::remove_all(dir, ignored);
}

void GameDir::write(const std::string& relative, const std::string& content) const {
    std::filesystem::create_directories(std::filesystem::path(file(relative)).parent_path());
    std::ofstream(file(relative), std::ios::binary | std::ios::trunc) << content;
}

std::string GameDir::read(const std::string& relative) const {
    return readFile(file(relative));
}

bool GameDir::exists(const std::string& relative) const {
    return std::filesystem::exists(file(relative));
}

std::set<std::string> GameDir::entries(const std::string& relative) const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(file(relative)))
        names.insert(entry.path().filename().string());
    return names;
}

void GameDir::copyFrom(const std::string& folder) const {
    std::filesystem::copy(folder, dir,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
}

vondProcess GameDir::start() const {
    return startProcess({VOND_BINARY}, dir, headlessEnvironment());
}

bool GameDir::waitForLog(const std::string& text, double timeoutSeconds) const {
    return waitUntil([&] { return read("vonderror.log").find(text) != std::string::npos; },
                     timeoutSeconds);
}

std::map<std::string, std::string> sanitizerEnvironment() {
    return {{"ASAN_OPTIONS", "fast_unwind_on_malloc=0:detect_leaks=1"},
            {"LSAN_OPTIONS",
             std::string("suppressions=") + VOND_LSAN_SUPPRESSIONS + ":print_suppressions=0"},
            {"UBSAN_OPTIONS", "print_stacktrace=1:halt_on_error=1"}};
}

std::map<std::string, std::string> headlessEnvironment() {
    std::map<std::string, std::string> env = sanitizerEnvironment();
    env["SDL_VIDEODRIVER"] = env["SDL_AUDIODRIVER"] = "dummy";
    return env;
}

GameRun GameDir::run(double timeoutSeconds, const std::map<std::string, std::string>& env) const {
    std::map<std::string, std::string> all = headlessEnvironment();
    for (const auto& kv : env)
        all[kv.first] = kv.second;
    GameRun r = runProcess({VOND_BINARY}, dir, all, timeoutSeconds);
    r.log = read("vonderror.log");
    return r;
}

vondProcess startProcess(const std::vector<std::string>& argv, const std::string& dir,
                         const std::map<std::string, std::string>& env) {
    vondProcess p;
    char outPath[] = "/tmp/vondout.XXXXXX";
    char errPath[] = "/tmp/vonderr.XXXXXX";
    int outFd = mkstemp(outPath);
    int errFd = mkstemp(errPath);
    p.outPath = outPath;
    p.errPath = errPath;
    p.pid = fork();
    if (p.pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(127);
        dup2(outFd, 1);
        dup2(errFd, 2);
        int devnull = open("/dev/null", O_RDONLY);
        dup2(devnull, 0);
        for (const auto& kv : env)
            setenv(kv.first.c_str(), kv.second.c_str(), 1);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(outFd);
    close(errFd);
    return p;
}

bool waitUntil(const std::function<bool()>& done, double timeoutSeconds) {
    auto deadline = std::chrono::steady_clock::now() +
                    std::chrono::milliseconds(static_cast<long>(timeoutSeconds * 1000));
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        poll(nullptr, 0, 10);
    }
}

namespace {

// True once the process has a handler for SIGTERM (SDL installs one as it
// starts, turning the signal into a quit event).
bool catchesTerm(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

} // namespace

GameRun waitProcess(vondProcess& p, double timeoutSeconds) {
    GameRun r;
    int wstatus = 0;
    auto exited = [&] { return p.pid <= 0 || waitpid(p.pid, &wstatus, WNOHANG) == p.pid; };
    if (!waitUntil(exited, timeoutSeconds)) {
        r.timedOut = true;
        // A program still starting on a busy machine is let reach its handler.
        waitUntil([&] { return catchesTerm(p.pid); }, 10);
        kill(p.pid, SIGTERM);
        if (!waitUntil(exited, 3)) {
            kill(p.pid, SIGKILL);
            waitpid(p.pid, &wstatus, 0);
        }
    }
    if (p.pid > 0 && WIFEXITED(wstatus)) r.status = WEXITSTATUS(wstatus);
    p.pid = -1;
    r.out = readFile(p.outPath);
    r.err = readFile(p.errPath);
    unlink(p.outPath.c_str());
    unlink(p.errPath.c_str());
    return r;
}

GameRun runProcess(const std::vector<std::string>& argv, const std::string& dir,
                   const std::map<std::string, std::string>& env, double timeoutSeconds) {
    vondProcess p = startProcess(argv, dir, env);
    return waitProcess(p, timeoutSeconds);
}

bool expectRuns(const std::vector<std::string>& argv, const std::string& dir) {
    GameRun r = runProcess(argv, dir, {}, 120);
    EXPECT_EQ(r.status, 0) << argv[0] << " " << (argv.size() > 1 ? argv[1] : "") << ": " << r.err;
    return r.status == 0;
}

std::vector<std::string> words(const std::string& text, char separator) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string word; std::getline(in, word, separator);)
        result.push_back(word);
    return result;
}

void expectClosingLines(const std::string& log) {
    std::vector<std::string> l = lines(log);
    ASSERT_GE(l.size(), 2u) << log;
    EXPECT_EQ(l[l.size() - 2].rfind("SDL Error Report: ", 0), 0u) << log;
    EXPECT_EQ(l.back(), "Exiting program.");
}

void expectExit(const GameRun& r, int status, const std::string& lastLine) {
    EXPECT_FALSE(r.timedOut) << "still running at its time limit";
    EXPECT_EQ(r.status, status) << r.err;
    expectClosingLines(r.log);
    std::vector<std::string> l = lines(r.log);
    if (!lastLine.empty()) {
        EXPECT_TRUE(l.size() >= 3 && l[l.size() - 3] == lastLine)
            << "not last: " << lastLine << "\n"
            << r.log;
    }
}

int countOf(const std::string& text, const std::string& needle) {
    int n = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++n;
    return n;
}

void writeBMP(SDL_Surface* made, const std::string& path) {
    EXPECT_EQ(SDL_SaveBMP(made, path.c_str()), 0) << SDL_GetError();
    SDL_FreeSurface(made);
}

SDL_Surface* solidSurface(int w, int h, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* s = KAV_NewSurface(0, w, h);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
    return s;
}

void writeSheet(const std::string& path, int w, int h, std::vector<Uint32> colours) {
    SDL_Surface* s = KAV_NewSurface(0, w, h);
    size_t i = 0;
    for (int y = 0; y < h; y += 32)
        for (int x = 0; x < w; x += 32) {
            Uint32 c = colours[i++ % colours.size()];
            SDL_Rect r = newRect(x, y, 32, 32);
            SDL_FillRect(s, &r, SDL_MapRGB(s->format, c >> 16, (c >> 8) & 0xFF, c & 0xFF));
        }
    writeBMP(s, path);
}

Uint32 pixelRGB(SDL_Surface* surface, int x, int y) {
    SDL_LockSurface(surface);
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    int bpp = surface->format->BytesPerPixel;
    Uint32 value = 0;
    std::memcpy(&value, row + x * bpp, bpp == 4 ? 4 : 3);
    SDL_UnlockSurface(surface);
    Uint8 r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return (Uint32(r) << 16) | (Uint32(g) << 8) | b;
}

int differingPixels(SDL_Surface* a, SDL_Surface* b, std::string* first) {
    int count = 0;
    for (int y = 0; y < a->h; ++y)
        for (int x = 0; x < a->w; ++x)
            if (pixelRGB(a, x, y) != pixelRGB(b, x, y) && count++ == 0 && first != nullptr) {
                std::ostringstream where;
                where << "first difference at (" << x << ", " << y << "): " << std::hex
                      << pixelRGB(a, x, y) << " against " << pixelRGB(b, x, y);
                *first = where.str();
            }
    return count;
}
