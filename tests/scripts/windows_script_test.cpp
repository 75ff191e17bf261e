// Font, string and window script functions in the real binary: argument
// order, the checks they make and the exact log lines they write.
#include "vondRun.h"
#include "vondTestPictures.h"

#include <gtest/gtest.h>

namespace {

// The log without its two closing lines, which are checked.
std::vector<std::string> bodyLines(const GameRun& r) {
    std::vector<std::string> l = lines(r.log);
    EXPECT_GE(l.size(), 2u);
    if (l.size() < 2) return l;
    EXPECT_EQ(l[l.size() - 2].rfind("SDL Error Report: ", 0), 0u);
    EXPECT_EQ(l.back(), "Exiting program.");
    return std::vector<std::string>(l.begin(), l.end() - 2);
}

TEST(WindowScripts, EveryWindowFunctionChecksItsWindowAndLogsInItsOwnWords) {
    GameDir game;
    SDL_Surface* font = makeFontPicture();
    saveBMP(font, game.file("font.bmp"));
    SDL_FreeSurface(font);
    game.monkey("addFont(300, 'font.bmp')\n" // font 44 in image 65324
                "addFont(1, 'missing.bmp')\n"
                "newPicWin(2, 10, 20, 65324)\n"
                "newPicWin(3, 10, 20, 40)\n"
                "newPicWin(3, 10, 20, 70000)\n"
                "addString(5, 'Hello')\n"
                "addString(9000, 'x')\n"
                "newTxtWin(1, 100, 50, 200, 80, 5)\n"
                "newTxtWin(4, 0, 0, 10, 10, -1)\n"
                "setTxtString(1, 'Bye')\n"
                "setTxtString(2, 'x')\n"
                "setTxtBD(77, 255)\n"
                "setWinFlags(77, 96)\n"
                "winToggleHid(77)\n"
                "moveWinBy(77, 1, 1)\n"
                "winTimedMove(9, 10, 0, 100, 100)\n"
                "winTimedMove(1, 10, -3, 100, 100)\n"
                "newRadButton(6, 0, 0, 100, 50)\n"
                "setRadButtons(1, 2, 30, 31, 0, 0, 40, 0)\n"
                "setRadButtons(8, 2, 30, 31, 0, 0, 40, 0)\n"
                "setRadButtons(6, -1, 30, 31)\n"
                "setRadButtons(6, 2, 30, 31, 0, 0, 40, 0)\n"
                "delWin(2.5)\n"
                "delWin(3)\n"
                "winTimedMove(2, 1, 1, 1, 1)\n"
                "errorMsg(42)\n"
                "errorMsg('the end', 'of it')\n"
                "exit(0)\n");
    GameRun r = game.run();
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> expected = {
        "Image number: 65281 not properly loaded for Font!",
        "Asked to use nonexistant picture: 40",
        "newPicWin: image number 70000 is out of range",
        "addString: string number 9000 is out of range",
        "newTxtWin: string number -1 is out of range",
        "setTxtString: window 2 is not a text window",
        "setTxtBD: window 77 does not exist",
        "setWinFlags: window 77 does not exist",
        "winToggleHid: window 77 does not exist",
        "moveWinBy: window 77 does not exist",
        "Moving window: 9",
        "Asked to timed move nonexistant window: 9",
        "Moving window: 1",
        "Timed move called on window: 1 to: 10,-3",
        "Asked to set buttons on non-button window: 1",
        "Asked to set buttons on nonexistant window: 8",
        "setRadButtons: button count -1 is out of range",
        "Deleting Window: 2.5",
        "Deleting Window: 3",
        "Moving window: 2",
        "Asked to timed move nonexistant window: 2",
        "42",
        "of it",
    };
    EXPECT_EQ(bodyLines(r), expected) << r.log;
    EXPECT_EQ(r.err.find("ERROR"), std::string::npos) << r.err;
}

TEST(WindowScripts, SettingFlagsOnAPictureWindowWithoutPictureEndsTheProgram) {
    GameDir game;
    game.monkey("newPicWin(0, 0, 0, 12)\n"
                "setWinFlags(0, 16)\n"
                "print('not reached')\n");
    GameRun r = game.run();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(bodyLines(r), std::vector<std::string>({"Asked to use nonexistant picture: 12",
                                                      "Setting flags on NULL picture!"}))
        << r.log;
    EXPECT_EQ(r.out, "");
}

} // namespace
