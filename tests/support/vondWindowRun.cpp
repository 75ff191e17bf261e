#include "vondWindowRun.h"

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <cstring>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

void pauseMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

XSession::XSession() {
    // The read end stays open while the server runs: a server whose write of
    // its display number fails gives up ("Cannot write display number"), which
    // showed up when several sessions started at once. Whatever it writes until
    // a short quiet spell is read, and the last number taken.
    int fds[2];
    if (pipe(fds) != 0) return;
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], 3);
        execlp("Xvfb", "Xvfb", "-displayfd", "3", "-noreset", "-screen", "0", "1024x768x24",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    displayPipe = fds[0];
    fcntl(displayPipe, F_SETFD, FD_CLOEXEC); // not for the game and xdotool
    std::string written;
    char buf[64];
    ssize_t n = read(displayPipe, buf, sizeof buf);
    if (n > 0) written.append(buf, static_cast<size_t>(n));
    for (;;) {
        pollfd p = {displayPipe, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0 || !(p.revents & POLLIN)) break;
        n = read(displayPipe, buf, sizeof buf);
        if (n <= 0) break;
        written.append(buf, static_cast<size_t>(n));
    }
    std::vector<std::string> numbers = lines(written);
    if (!numbers.empty() && !numbers.back().empty()) display = ":" + numbers.back();
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
        pid = -1; // the server gave up
        display.clear();
    }
}

XSession::~XSession() {
    if (displayPipe >= 0) close(displayPipe);
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

WindowGame::WindowGame(const XSession& x, const GameDir& dir,
                       const std::map<std::string, std::string>& extraEnv)
    : x(x), dir(dir) {
    std::map<std::string, std::string> env = sanitizerEnvironment();
    env["SDL_VIDEODRIVER"] = "x11";
    env["SDL_AUDIODRIVER"] = "dummy";
    env["DISPLAY"] = x.getDisplay();
    env["GALLIUM_DRIVER"] = "softpipe";
    for (const auto& kv : extraEnv) env[kv.first] = kv.second;
    process = startProcess({VOND_BINARY}, dir.path(), env);
    GameRun found = runProcess({"xdotool", "search", "--sync", "--name", "^The Grand Vond Venture$"},
                               dir.path(), {{"DISPLAY", x.getDisplay()}}, 30);
    std::vector<std::string> ids = lines(found.out);
    if (!ids.empty()) windowId = ids.front();
    if (hasWindow()) {
        xdotool({"windowfocus", "--sync", windowId});
        pauseMs(200);
    }
}

WindowGame::~WindowGame() {
    if (!finished) wait(5);
}

void WindowGame::xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    runProcess(argv, dir.path(), {{"DISPLAY", x.getDisplay()}}, 20);
}

void WindowGame::key(const std::string& name) { xdotool({"key", "--delay", "15", name}); }
void WindowGame::keyDown(const std::string& name) { xdotool({"keydown", name}); }
void WindowGame::keyUp(const std::string& name) { xdotool({"keyup", name}); }

void WindowGame::moveMouse(int px, int py) {
    xdotool({"mousemove", "--window", windowId, std::to_string(px), std::to_string(py)});
}

void WindowGame::click(int px, int py, int button) {
    xdotool({"mousemove", "--window", windowId, std::to_string(px), std::to_string(py), "click",
             std::to_string(button)});
}

void WindowGame::mouseDown(int px, int py, int button) {
    xdotool({"mousemove", "--window", windowId, std::to_string(px), std::to_string(py),
             "mousedown", std::to_string(button)});
}

void WindowGame::mouseUp(int button) { xdotool({"mouseup", std::to_string(button)}); }

SDL_Surface* WindowGame::screenshot() {
    unlink(dir.file("screenshot.bmp").c_str());
    key("grave");
    for (int i = 0; i < 500; ++i) {
        pauseMs(20);
        if (!dir.exists("screenshot.bmp")) continue;
        if (SDL_Surface* s = SDL_LoadBMP(dir.file("screenshot.bmp").c_str())) return s;
    }
    return nullptr;
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
    r.log = dir.read("vonderror.log");
    return r;
}
