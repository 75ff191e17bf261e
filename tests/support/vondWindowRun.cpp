#include "vondWindowRun.h"

#include <gtest/gtest.h>

// After gtest: Xlib defines None and other short macros.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

XSession::XSession() {
    // The read end stays open while the server runs: a server whose write of
    // its display number fails gives up ("Cannot write display number"), which
    // showed up when several sessions started at once. It writes the number
    // and a line end once it accepts connections.
    int fds[2];
    if (pipe(fds) != 0) return;
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], 3);
        int quiet = open("/dev/null", O_WRONLY); // it reports every display number it finds taken
        dup2(quiet, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", "3", "-noreset", "-screen", "0", "1024x768x24",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    displayPipe = fds[0];
    fcntl(displayPipe, F_SETFD, FD_CLOEXEC); // not for the game and xdotool
    std::string written;
    pollfd p = {displayPipe, POLLIN, 0};
    char c = 0;
    while (c != '\n' && poll(&p, 1, static_cast<int>(WINDOW_WAIT_SECONDS * 1000)) == 1 &&
           read(displayPipe, &c, 1) == 1)
        written += c;
    if (c == '\n' && written.size() > 1) display = ":" + written.substr(0, written.size() - 1);
}

XSession::~XSession() {
    if (displayPipe >= 0) close(displayPipe);
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

namespace {
// A grab of a window that has just gone is an error; the grab then fails.
int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}
} // namespace

WindowGame::WindowGame(const XSession& x, const GameDir& dir,
                       const std::map<std::string, std::string>& extraEnv)
    : x(x), dir(dir) {
    std::map<std::string, std::string> env = sanitizerEnvironment();
    env["SDL_VIDEODRIVER"] = "x11";
    env["SDL_AUDIODRIVER"] = "dummy";
    env["DISPLAY"] = x.getDisplay();
    env["GALLIUM_DRIVER"] = "softpipe"; // llvmpipe can deadlock under the sanitizers' slow unwinder
    for (const auto& kv : extraEnv)
        env[kv.first] = kv.second;
    process = startProcess({VOND_BINARY}, dir.path(), env);
    // xdotool gives up with an X error when a window it is reading goes away
    // meanwhile (a window manager's frames come and go as the game starts), so
    // the search is repeated until it finds the game's window.
    waitUntil(
        [&] {
            GameRun found =
                runProcess({"xdotool", "search", "--sync", "--name", "^The Grand Vond Venture$"},
                           dir.path(), {{"DISPLAY", x.getDisplay()}}, WINDOW_WAIT_SECONDS);
            std::vector<std::string> ids = lines(found.out);
            if (!ids.empty()) windowId = ids.front();
            return hasWindow();
        },
        WINDOW_WAIT_SECONDS);
    if (hasWindow()) xdotool({"windowfocus", "--sync", windowId});
    XSetErrorHandler(ignoreXErrors);
    display = XOpenDisplay(x.getDisplay().c_str());
}

WindowGame::~WindowGame() {
    if (!finished) wait(5);
    if (display != nullptr) XCloseDisplay(display);
}

void WindowGame::xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    runProcess(argv, dir.path(), {{"DISPLAY", x.getDisplay()}}, WINDOW_WAIT_SECONDS);
}

void WindowGame::pressAndWait(int px, int py, int button, const std::string& action) {
    std::string line = "Click at: " + std::to_string(px) + "," + std::to_string(py) + "\n";
    int before = countOf(log(), line);
    xdotool({"mousemove", "--window", windowId, std::to_string(px), std::to_string(py), action,
             std::to_string(button)});
    waitForLog(line, before + 1);
}

Surface WindowGame::grab() {
    Surface none = owned(nullptr);
    if (display == nullptr || !hasWindow()) return none;
    XImage* image = XGetImage(display, std::stoul(windowId), 0, 0, 640, 480, AllPlanes, ZPixmap);
    if (image == nullptr) return none;
    Surface s = owned(SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0xFF0000, 0xFF00, 0xFF, 0));
    const bool sameLayout = image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 &&
                            image->green_mask == 0xFF00 && image->blue_mask == 0xFF &&
                            image->byte_order == LSBFirst;
    for (int y = 0; y < 480; ++y) {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        const Uint32* from =
            reinterpret_cast<const Uint32*>(image->data + y * image->bytes_per_line);
        for (int x = 0; x < 640; ++x)
            row[x] =
                (sameLayout ? from[x] : static_cast<Uint32>(XGetPixel(image, x, y))) & 0xFFFFFF;
    }
    XDestroyImage(image);
    return s;
}

Surface WindowGame::waitForScreen(const std::string& what,
                                  const std::function<bool(SDL_Surface*)>& shows) {
    Surface last = owned(nullptr);
    bool shown = waitUntil(
        [&] {
            last = grab();
            return last != nullptr && shows(last.get());
        },
        WINDOW_WAIT_SECONDS);
    if (!shown) ADD_FAILURE() << "the window never showed " << what;
    return last;
}

Surface WindowGame::screenshot() {
    // A 24-bit BMP of the 640 x 480 screen; loaded only once it is whole.
    const off_t whole = 54 + 640 * 3 * 480;
    unlink(dir.file("screenshot.bmp").c_str());
    key("grave");
    Surface shot = owned(nullptr);
    waitUntil(
        [&] {
            struct stat st;
            if (stat(dir.file("screenshot.bmp").c_str(), &st) != 0 || st.st_size < whole)
                return false;
            shot = owned(SDL_LoadBMP(dir.file("screenshot.bmp").c_str()));
            return shot != nullptr;
        },
        WINDOW_WAIT_SECONDS);
    if (shot == nullptr) ADD_FAILURE() << "no screenshot.bmp";
    return shot;
}

bool WindowGame::waitForLog(const std::string& text, int count) {
    if (waitUntil([&] { return countOf(log(), text) >= count; }, WINDOW_WAIT_SECONDS)) return true;
    ADD_FAILURE() << "the log never held " << count << " x \"" << text << "\":\n" << log();
    return false;
}

void WindowGame::closeWindow() {
    Display* d = XOpenDisplay(x.getDisplay().c_str());
    if (d == nullptr) return;
    Window w = std::stoul(windowId);
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &ev);
    XFlush(d);
    XCloseDisplay(d);
}

GameRun WindowGame::wait(double timeoutSeconds) {
    finished = true;
    GameRun r = waitProcess(process, timeoutSeconds);
    r.log = log();
    return r;
}
