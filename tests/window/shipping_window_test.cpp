// A game made ready for players, in a real window: F11 and Alt+Enter switch to
// fullscreen and back under a window manager with clicks still in 640 x 480
// coordinates, setDeveloperKeys(0) turns every developer key off, and with
// frames paced to the display a moving mouse holds no click back.
#include "vondSceneFixture.h"
#include "vondWindowRun.h"

#include <SDL_image.h>
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <memory>

namespace {

// Waits until done() holds: on what the game shows or logs, never a fixed pause.
bool eventually(const std::function<bool()>& done) {
    return waitUntil(done, WINDOW_WAIT_SECONDS);
}

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

std::string gameWindowId(const XSession& x, const GameDir& dir) {
    GameRun found = runProcess({"xdotool", "search", "--name", "^The Grand Vond Venture$"},
                               dir.path(), {{"DISPLAY", x.getDisplay()}}, 20);
    std::vector<std::string> ids = lines(found.out);
    return ids.empty() ? std::string() : ids.front();
}

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
    // Width and height of the game's window, by its caption.
    std::pair<int, int> gameWindowSize(const XSession& x, const GameDir& dir) {
        std::string id = gameWindowId(x, dir);
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

// What the window shows now, as the X server has it (at the window's own size), as
// 24-bit RGB whatever few colours it holds.
Surface capture(const XSession& x, const GameDir& dir) {
    std::string path = dir.file("capture.png");
    std::string id = gameWindowId(x, dir);
    if (id.empty()) return Surface(nullptr, SDL_FreeSurface);
    runProcess({"import", "-window", id, "png24:" + path}, dir.path(),
               {{"DISPLAY", x.getDisplay()}}, 30);
    return Surface(IMG_Load(path.c_str()), SDL_FreeSurface);
}

constexpr Uint32 RED = 0xFF0000;

TEST(ShippingWindow, AltEnterAndF11SwitchToFullscreenAndBackWithClicksIn640x480) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    WindowManager wm(x, game);
    ASSERT_TRUE(wm.ready());
    writeSheet(game.file("red.bmp"), 100, 100, {RED});
    game.monkey("addImage(50, 'red.bmp') newPicWin(7, 100, 100, 50)\n"
                "newClickH(100, 100, 199, 199, 1, \"errorMsg('hotspot hit')\")\n");
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    const std::pair<int, int> windowed(640, 480), full = wm.screenSize();
    ASSERT_EQ(wm.gameWindowSize(x, game), windowed);
    ASSERT_EQ(full, std::make_pair(1024, 768)); // 4:3, so the picture fills the screen

    for (const char* toggle : {"alt+Return", "F11"}) {
        SCOPED_TRACE(toggle);
        w.key(toggle);
        ASSERT_TRUE(eventually([&] { return wm.gameWindowSize(x, game) == full; }));
        // The picture is scaled by 1.6: the game's point (150, 150) is at (240, 240).
        int clicks = count(game.read("vonderror.log"), "Click at: 150,150\n");
        w.sendClick(240, 240);
        EXPECT_TRUE(eventually([&] {
            return count(game.read("vonderror.log"), "Click at: 150,150\n") == clicks + 1;
        })) << game.read("vonderror.log");

        w.key(toggle);
        ASSERT_TRUE(eventually([&] { return wm.gameWindowSize(x, game) == windowed; }));
        w.click(150, 150);
        EXPECT_TRUE(eventually([&] {
            return count(game.read("vonderror.log"), "Click at: 150,150\n") == clicks + 2;
        })) << game.read("vonderror.log");
        // Back in the window the picture is shown 1:1 again.
        EXPECT_TRUE(eventually([&] {
            Surface shot = capture(x, game);
            return shot && shot->w == 640 && pixelRGB(shot.get(), 101, 101) == RED &&
                   pixelRGB(shot.get(), 198, 198) == RED && pixelRGB(shot.get(), 99, 99) == 0 &&
                   pixelRGB(shot.get(), 200, 200) == 0;
        }));
    }
    w.closeWindow();
    GameRun r = w.wait();
    EXPECT_EQ(r.status, 0);
    expectClosingLines(r.log);
    // Every click landed on the hotspot; the fullscreen keys reached no developer key.
    EXPECT_EQ(count(r.log, "Click at: "), 4) << r.log;
    EXPECT_EQ(count(r.log, "hotspot hit\n"), 4) << r.log;
    EXPECT_EQ(r.log.find("Unable to toggle fullscreen"), std::string::npos) << r.log;
}

// Tile layer 0: four-colour stripes that the arrows, w and s move; layers 1 to
// 3: small pictures, layer 1 shown (moved by w, a, s, d), 2 and 3 hidden; window
// 0: a white picture that i hides and l and o slide; a hotspot that marks when
// the keys sent before its click have been handled (one event a frame, in order).
void shippedGame(const GameDir& game, const std::string& more) {
    writeSheet(game.file("tiles.bmp"), 128, 32, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00});
    writeSheet(game.file("white.bmp"), 64, 64, {0xFFFFFF});
    writeSheet(game.file("cyan.bmp"), 16, 16, {0x00FFFF});
    game.write("ground.txt",
               mapText(0, "tiles.bmp", 1, 30, 20, 0, [](int x, int y) { return (x + y) % 4; }));
    game.write("scripts/wantlab.lua", "errorMsg('developer script ran')\n");
    game.monkey("loadMap(1, 'ground.txt') setLayerProperty(0, 1, 0) setTilemap(0, 1)\n"
                "addImage(51, 'cyan.bmp')\n"
                "setLayerProperty(1, 0, 1) setLayerPic(1, 51) setLPointer(1, -10, -10, 0, 0)\n"
                "setLayerProperty(2, 0, 1) setLayerPic(2, 51) setLPointer(2, -11, -10, 0, 0)\n"
                "setLayerProperty(3, 0, 1) setLayerPic(3, 51) setLPointer(3, -12, -10, 0, 0)\n"
                "toggleLayer(0) toggleLayer(1)\n"
                "addImage(60, 'white.bmp') newPicWin(0, 300, 200, 60)\n"
                "newClickH(0, 0, 31, 31, 1, \"errorMsg('marker')\")\n" +
                more);
}

int samePixels(SDL_Surface* a, SDL_Surface* b) {
    int same = 0;
    for (int y = 0; y < 480; y += 4)
        for (int x = 0; x < 640; x += 4)
            same += pixelRGB(a, x, y) == pixelRGB(b, x, y);
    return same;
}

TEST(ShippingWindow, DeveloperKeysTurnedOffChangeNothingAndTheCloseButtonStillExits) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    shippedGame(game, "setDeveloperKeys(0)\n");
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    Surface before(nullptr, SDL_FreeSurface);
    ASSERT_TRUE(eventually([&] {
        before = capture(x, game);
        return before && pixelRGB(before.get(), 320, 220) == 0xFFFFFF &&
               pixelRGB(before.get(), 328, 328) == 0x00FFFF;
    }));
    // Every key of the table, in two rounds in which no key undoes another's work.
    const std::vector<std::vector<const char*>> rounds = {
        {"Left", "Up", "w", "a", "2", "3", "4", "l", "5", "6", "7", "8", "p", "BackSpace", "grave"},
        {"Right", "Down", "s", "d", "o", "1", "i", "q"}};
    int marks = 0;
    for (const auto& keys : rounds) {
        for (const char* k : keys)
            w.key(k);
        w.click(10, 10);
        ++marks;
        ASSERT_TRUE(
            eventually([&] { return count(game.read("vonderror.log"), "marker\n") == marks; }));
        Surface after = capture(x, game);
        ASSERT_TRUE(after);
        EXPECT_EQ(samePixels(before.get(), after.get()), 160 * 120) << keys.front();
    }
    EXPECT_FALSE(game.exists("screenshot.bmp"));

    w.closeWindow();
    GameRun r = w.wait();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    expectClosingLines(r.log);
    EXPECT_EQ(r.log.find("Layer Debug"), std::string::npos) << r.log;
    EXPECT_EQ(r.log.find("developer script ran"), std::string::npos) << r.log;
    EXPECT_EQ(r.log.find("Timed move called"), std::string::npos) << r.log;
}

TEST(ShippingWindow, DeveloperKeysTurnedOnAgainActAsBefore) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    // Off at start-up; a hotspot turns them on again (any number but 0 is on).
    shippedGame(game, "setDeveloperKeys(0)\n"
                      "newClickH(32, 0, 63, 31, 2, \"setDeveloperKeys(2) errorMsg('keys on')\")\n");
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    w.click(40, 10);
    ASSERT_TRUE(eventually(
        [&] { return game.read("vonderror.log").find("keys on") != std::string::npos; }));
    Surface shown = w.screenshot();
    ASSERT_TRUE(shown);
    EXPECT_NE(pixelRGB(shown.get(), 100, 100), 0u);
    EXPECT_EQ(pixelRGB(shown.get(), 320, 220), 0xFFFFFFu);
    for (const char* k : {"1", "2", "i", "5", "BackSpace"})
        w.key(k);
    Surface hidden(nullptr, SDL_FreeSurface);
    ASSERT_TRUE(eventually([&] {
        hidden = w.screenshot();
        return hidden && pixelRGB(hidden.get(), 100, 100) == 0 &&
               pixelRGB(hidden.get(), 320, 220) == 0 && pixelRGB(hidden.get(), 328, 328) == 0;
    }));
    w.key("q");
    GameRun r = w.wait();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    expectClosingLines(r.log);
    EXPECT_NE(r.log.find("Layer Debug: xpos: 0 ypos: 0 xoff: 0 yoff: 0"), std::string::npos)
        << r.log;
    EXPECT_NE(r.log.find("developer script ran"), std::string::npos) << r.log;
}

// Paced to the display, the loop takes one event a frame. Mouse motion, which
// has no action, is passed over when more events wait behind it, so a mouse
// moving faster than the frame rate does not pile events up ahead of a click
// (the queue holds 128: it would delay the click by 128 frames, or lose it).
TEST(ShippingWindow, AClickAfterTheMouseMovedForTwoSecondsActsWithinAFewFrames) {
    XSession x;
    ASSERT_TRUE(x.ok());
    GameDir game;
    game.monkey("newClickH(0, 0, 639, 479, 1, \"errorMsg('clicked')\")\n"
                "addTimedEvent(9, 0, 1, 0, 'x = 1')\n"); // one log line a frame
    const std::string frame = "Event: 9 going off now!\n";
    WindowGame w(x, game);
    ASSERT_TRUE(w.hasWindow());
    int before = count(game.read("vonderror.log"), frame);
    ASSERT_TRUE(eventually([&] { return count(game.read("vonderror.log"), frame) > before; }));

    std::vector<std::string> moves = {"xdotool"};
    std::string id = gameWindowId(x, game);
    // 200 moves 10 ms apart: a mouse reporting 100 times a second.
    for (int i = 0; i < 200; ++i)
        for (const std::string& a :
             {std::string("mousemove"), std::string("--window"), id, std::to_string(100 + i),
              std::to_string(300 - i), std::string("sleep"), std::string("0.01")})
            moves.push_back(a);
    int start = count(game.read("vonderror.log"), frame);
    runProcess(moves, game.path(), {{"DISPLAY", x.getDisplay()}}, 30);
    w.click(320, 240);
    ASSERT_TRUE(eventually([&] {
        return game.read("vonderror.log").find("Click at: 320,240\n") != std::string::npos;
    }));
    std::string log = game.read("vonderror.log");
    int frames = count(log.substr(0, log.find("Click at: 320,240\n")), frame) - start;
    EXPECT_LT(frames, 40);
    w.closeWindow();
    GameRun r = w.wait();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(count(r.log, "clicked\n"), 1) << r.log;
}

} // namespace
