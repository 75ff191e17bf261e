// A game made ready for players, in a real window: F11 and Alt+Enter switch to
// fullscreen and back under a window manager with clicks still in 640 x 480
// coordinates, and with frames paced to the display a moving mouse holds no
// click back. (setDeveloperKeys is seen in scene_window_test.cpp.)
#include "vondRun.h"
#include "vondWindowRun.h"

#include <X11/Xlib.h>

#include <csignal>

namespace {

// A window manager on the session's display, as every player's desktop has:
// with none, the SDL layer's fullscreen switch changes nothing on screen while
// it maps the mouse as if it had. (evilwm is given the server's built-in font:
// the virtual display has no other.)
class WindowManager {
  public:
    WindowManager(const XSession& x, const GameDir& dir)
        : display(XOpenDisplay(x.getDisplay().c_str())),
          process(startProcess({"evilwm", "-fn", "fixed"}, dir.path(),
                               {{"DISPLAY", x.getDisplay()}})) {}
    ~WindowManager() {
        if (process.pid > 0) kill(process.pid, SIGTERM);
        waitProcess(process, 5);
        if (display != nullptr) XCloseDisplay(display);
    }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Waits until the manager has announced itself on the root window.
    bool ready() {
        if (display == nullptr) return false;
        Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
        return eventually([&] {
            Atom type;
            int format;
            unsigned long items, after;
            unsigned char* data = nullptr;
            XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                               AnyPropertyType, &type, &format, &items, &after, &data);
            if (data != nullptr) XFree(data);
            return items > 0;
        });
    }
    std::pair<int, int> windowSize(const std::string& id) {
        XWindowAttributes a;
        if (id.empty() || !XGetWindowAttributes(display, std::stoul(id), &a)) return {0, 0};
        return {a.width, a.height};
    }
    std::pair<int, int> screenSize() {
        return {DisplayWidth(display, 0), DisplayHeight(display, 0)};
    }

  private:
    Display* display;
    vondProcess process;
};

constexpr Uint32 RED = 0xFF0000;

using ShippingWindow = WindowTest;

TEST_F(ShippingWindow, AltEnterAndF11SwitchToFullscreenAndBackWithClicksIn640x480) {
    WindowManager wm(x, game);
    ASSERT_TRUE(wm.ready());
    writeSheet(game.file("red.bmp"), 100, 100, {RED});
    game.monkey("addImage(50, 'red.bmp') newPicWin(7, 100, 100, 50)\n"
                "newClickH(100, 100, 199, 199, 1, \"errorMsg('hotspot hit')\")\n");
    ASSERT_TRUE(start());
    const std::pair<int, int> windowed(640, 480), full = wm.screenSize();
    ASSERT_EQ(wm.windowSize(w->id()), windowed);
    ASSERT_EQ(full, std::make_pair(1024, 768)); // 4:3, so the picture fills the screen

    const std::string click = "Click at: 150,150\n";
    for (const char* toggle : {"alt+Return", "F11"}) {
        SCOPED_TRACE(toggle);
        w->key(toggle);
        ASSERT_TRUE(eventually([&] { return wm.windowSize(w->id()) == full; }));
        // The picture is scaled by 1.6 (game 100..199 at 160..318), so the game's
        // point (150, 150) is at (240, 240). Clicks wait until the game has drawn
        // at the new size, which it does once it has taken the resize in.
        w->waitForScreen("the picture scaled by 1.6", [](SDL_Surface* s) {
            return pixelRGB(s, 162, 162) == RED && pixelRGB(s, 317, 317) == RED &&
                   pixelRGB(s, 156, 156) == 0 && pixelRGB(s, 322, 322) == 0;
        });
        w->sendClick(240, 240);
        w->waitForLog(click, countOf(w->log(), click) + 1);
        w->key(toggle);
        ASSERT_TRUE(eventually([&] { return wm.windowSize(w->id()) == windowed; }));
        // Back in the window the picture is shown 1:1 again.
        w->waitForScreen("the picture 1:1", [](SDL_Surface* s) {
            return pixelRGB(s, 101, 101) == RED && pixelRGB(s, 198, 198) == RED &&
                   pixelRGB(s, 99, 99) == 0 && pixelRGB(s, 200, 200) == 0;
        });
        w->click(150, 150);
    }
    w->closeWindow();
    GameRun r = w->wait();
    expectExit(r);
    // Every click landed on the hotspot; the fullscreen keys reached no developer key.
    EXPECT_EQ(countOf(r.log, "Click at: "), 4) << r.log;
    EXPECT_EQ(countOf(r.log, "hotspot hit\n"), 4) << r.log;
    EXPECT_EQ(r.log.find("Unable to toggle fullscreen"), std::string::npos) << r.log;
}

// Paced to the display, the loop takes one event a frame. Mouse motion, which
// has no action, is passed over when more events wait behind it, so a mouse
// moving faster than the frame rate does not pile events up ahead of a click
// (the queue holds 128: it would delay the click by 128 frames, or lose it).
TEST_F(ShippingWindow, AClickAfterTheMouseMovedForTwoSecondsActsWithinAFewFrames) {
    game.monkey("newClickH(0, 0, 639, 479, 1, \"errorMsg('clicked')\")\n"
                "addTimedEvent(9, 0, 1, 0, 'x = 1')\n"); // one log line a frame
    const std::string frame = "Event: 9 going off now!\n";
    ASSERT_TRUE(start());
    ASSERT_TRUE(w->waitForLog(frame, countOf(w->log(), frame) + 1));
    // 200 moves 10 ms apart: a mouse reporting 100 times a second.
    std::vector<std::string> moves = {"xdotool"};
    for (int i = 0; i < 200; ++i)
        moves.insert(moves.end(), {"mousemove", "--window", w->id(), std::to_string(100 + i),
                                   std::to_string(300 - i), "sleep", "0.01"});
    int start = countOf(w->log(), frame);
    runProcess(moves, game.path(), {{"DISPLAY", x.getDisplay()}}, 30);
    w->click(320, 240);
    std::string log = w->log();
    EXPECT_LT(countOf(log.substr(0, log.find("Click at: 320,240\n")), frame) - start, 40);
    w->closeWindow();
    GameRun r = w->wait();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(countOf(r.log, "clicked\n"), 1) << r.log;
}

} // namespace
