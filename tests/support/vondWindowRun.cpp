#include "vondWindowRun.h"

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

void pauseMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

XSession::XSession() {
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
    char buf[32] = {};
    ssize_t n = read(fds[0], buf, sizeof buf - 1);
    close(fds[0]);
    if (n > 0) display = ":" + std::string(buf, strcspn(buf, "\n"));
}

XSession::~XSession() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

WindowGame::WindowGame(const XSession& x, const GameDir& dir) : x(x), dir(dir) {
    std::map<std::string, std::string> env = sanitizerEnvironment();
    env["SDL_VIDEODRIVER"] = "x11";
    env["SDL_AUDIODRIVER"] = "dummy";
    env["DISPLAY"] = x.getDisplay();
    env["GALLIUM_DRIVER"] = "softpipe";
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
