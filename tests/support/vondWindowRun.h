// Real-window runs: a private Xvfb display, the real vond binary in a window
// on it, real mouse and key input sent with xdotool, and waits on what the
// program logs or shows. The program reads one event per frame, in order, and
// dispatches its last event again while none is pending: a press sent after
// another is handled only once the first one's frame is over.
#pragma once

#include "vondRun.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

struct _XDisplay;

class XSession {
  public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;
    bool ok() const { return pid > 0 && !display.empty(); }
    const std::string& getDisplay() const { return display; }

  private:
    int pid = -1;
    int displayPipe = -1;
    std::string display;
};

// How long any wait of a window run may take before the test fails: frames
// are slow under the sanitizers on a busy machine.
constexpr double WINDOW_WAIT_SECONDS = 120;

// Waits until done() holds: on what the game shows or logs, never a fixed pause.
inline bool eventually(const std::function<bool()>& done) {
    return waitUntil(done, WINDOW_WAIT_SECONDS);
}

class WindowGame {
  public:
    // Starts vond in dir on the session's display and waits for its window;
    // extraEnv adds to or overrides the environment (e.g. the disk audio driver).
    WindowGame(const XSession& x, const GameDir& dir,
               const std::map<std::string, std::string>& extraEnv = {});
    ~WindowGame();
    WindowGame(const WindowGame&) = delete;
    WindowGame& operator=(const WindowGame&) = delete;

    bool hasWindow() const { return !windowId.empty(); }
    const std::string& id() const { return windowId; } // the X window, as xdotool names it
    // xdotool key names, e.g. "q", "grave", "BackSpace", "Left".
    void key(const std::string& name) { xdotool({"key", "--delay", "15", name}); }
    void keyDown(const std::string& name) { xdotool({"keydown", name}); }
    void keyUp(const std::string& name) { xdotool({"keyup", name}); }
    // A press (and release) of a mouse button at window pixel (x, y); returns
    // once the press has been dispatched, that is once its "Click at: x,y"
    // line is in the log.
    void click(int x, int y, int button = 1) { pressAndWait(x, y, button, "click"); }
    void mouseDown(int x, int y, int button = 1) { pressAndWait(x, y, button, "mousedown"); }
    void mouseUp(int button = 1) { xdotool({"mouseup", std::to_string(button)}); }
    // A press and release sent without waiting for it: for a window whose
    // picture is scaled (the log then names other coordinates) or a game busy
    // in a script.
    void sendClick(int x, int y, int button = 1) {
        xdotool({"mousemove", "--window", windowId, std::to_string(x), std::to_string(y), "click",
                 std::to_string(button)});
    }
    void moveMouse(int x, int y) {
        xdotool({"mousemove", "--window", windowId, std::to_string(x), std::to_string(y)});
    }

    // What the window shows now, read from the X server; sends no input.
    Surface grab();
    // Grabs until `shows` holds of the window; fails the test, naming `what`,
    // if it never does. Returns the last grab.
    Surface waitForScreen(const std::string& what, const std::function<bool(SDL_Surface*)>& shows);
    // Presses the screenshot key and loads the "screenshot.bmp" it writes: the
    // screen as drawn after every event sent before.
    Surface screenshot();
    // Waits until the log holds text `count` times; fails the test if it never does.
    bool waitForLog(const std::string& text, int count = 1);
    std::string log() const { return dir.read("vonderror.log"); }

    // Asks the window to close, as a window manager's close button does.
    void closeWindow();
    GameRun wait(double timeoutSeconds = WINDOW_WAIT_SECONDS);
    // Presses q and expects the program to end cleanly (expectExit).
    GameRun quit() {
        key("q");
        GameRun r = wait();
        expectExit(r);
        return r;
    }

  private:
    void xdotool(const std::vector<std::string>& args);
    void pressAndWait(int x, int y, int button, const std::string& action);

    const XSession& x;
    const GameDir& dir;
    vondProcess process;
    std::string windowId;
    _XDisplay* display = nullptr; // for grabs
    bool finished = false;
};

// A test with its own virtual display and game directory; start() runs the
// game (after the test has written its files) in a window there.
class WindowTest : public ::testing::Test {
  protected:
    bool start(const std::map<std::string, std::string>& extraEnv = {}) {
        if (!x.ok()) return false;
        w = std::make_unique<WindowGame>(x, game, extraEnv);
        return w->hasWindow();
    }
    XSession x;
    GameDir game;
    std::unique_ptr<WindowGame> w;
};
