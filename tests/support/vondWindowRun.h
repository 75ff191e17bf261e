// Real-window runs: a private Xvfb display, the real vond binary in a window
// on it, and real mouse and key input sent with xdotool.
#pragma once

#include "vondRun.h"

#include <SDL.h>

#include <map>
#include <string>

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
    // xdotool key names, e.g. "q", "grave", "BackSpace", "Left".
    void key(const std::string& name);
    void keyDown(const std::string& name);
    void keyUp(const std::string& name);
    void click(int x, int y, int button = 1);
    void mouseDown(int x, int y, int button = 1);
    void mouseUp(int button = 1);
    void moveMouse(int x, int y);
    // Presses the screenshot key and loads "screenshot.bmp"; caller frees it.
    SDL_Surface* screenshot();
    // Asks the window to close, as a window manager's close button does.
    void closeWindow();
    // Waits for the program to end.
    GameRun wait(double timeoutSeconds = 20);

  private:
    void xdotool(const std::vector<std::string>& args);

    const XSession& x;
    const GameDir& dir;
    vondProcess process;
    std::string windowId;
    bool finished = false;
};

// Lets frames pass.
void pauseMs(int ms);
