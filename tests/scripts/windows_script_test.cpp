// Font, string and window script functions in the real binary: argument
// order, the checks they make and the exact log lines they write.
#include "vondRun.h"
#include "vondTestPictures.h"

#include <regex>

namespace {

TEST(WindowScripts, EveryWindowFunctionChecksItsWindowAndLogsInItsOwnWords) {
    const std::pair<const char*, const char*> calls[] = {
        {"addFont(300, 'font.bmp')", ""}, // font 44 in image 65324
        {"addFont(44, 'font.bmp')", ""},  // again: the first picture is kept, not leaked
        {"addFont(1, 'missing.bmp')", "Image number: 65281 not properly loaded for Font!\n"},
        {"newPicWin(2, 10, 20, 65324)", ""},
        {"newPicWin(3, 10, 20, 40)", "Asked to use nonexistant picture: 40\n"},
        {"newPicWin(3, 10, 20, 70000)", "Asked to use nonexistant picture: 70000\n"},
        {"addString(5, 'Hello')", ""},
        {"addString(9000, 'x')", "addString: string number 9000 is out of range\n"},
        {"newTxtWin(1, 100, 50, 200, 80, 5)", ""},
        {"newTxtWin(4, 0, 0, 10, 10, -1)", ""}, // a window without text
        {"setTxtString(1, 'Bye')", ""},
        // On a missing window or one of another kind: nothing done, nothing said.
        {"setTxtString(2, 'x') setTxtBD(77, 255) setWinFlags(77, 96) winToggleHid(77)", ""},
        {"moveWinBy(77, 1, 1)", ""},
        // Positions pushed past the int range wrap round; they never overflow.
        {"moveWinBy(1, 2147483647, 0) moveWinBy(1, 2147483647, 0)", ""},
        {"winTimedMove(9, 10, 0, 100, 100)",
         "Moving window: 9\nAsked to timed move nonexistant window: 9\n"},
        {"winTimedMove(1, 10, -3, 100, 100)",
         "Moving window: 1\nTimed move called on window: 1 to: 10,-3\n"},
        {"newRadButton(6, 0, 0, 100, 50)", ""},
        {"setRadButtons(1, 2, 30, 31, 0, 0, 40, 0)",
         "Asked to set buttons on non-button window: 1\n"},
        {"setRadButtons(8, 2, 30, 31, 0, 0, 40, 0)",
         "Asked to set buttons on nonexistant window: 8\n"},
        {"setRadButtons(6, -1, 30, 31)", "setRadButtons: button count -1 is out of range\n"},
        {"setRadButtons(6, 2, 30, 31, 0, 0, 40, 0)", ""},
        {"delWin(2.5)", "Deleting Window: 2.5\n"},
        {"delWin(3)", "Deleting Window: 3\n"},
        {"winTimedMove(2, 1, 1, 1, 1)",
         "Moving window: 2\nAsked to timed move nonexistant window: 2\n"},
        {"errorMsg(42)", "42\n"},
        {"errorMsg('the end', 'of it')", "of it\n"},
        {"exit(0)", ""},
    };
    std::string script, expected;
    for (auto [call, logged] : calls) {
        script += std::string(call) + "\n";
        expected += logged;
    }
    GameDir game;
    writeBMP(makeFontPicture(), game.file("font.bmp"));
    GameRun r = game.runScript(script);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.find("ERROR"), std::string::npos) << r.err;
    EXPECT_EQ(r.log.substr(0, expected.size()), expected) << r.log;
    EXPECT_TRUE(std::regex_match(r.log.substr(std::min(expected.size(), r.log.size())),
                                 std::regex("SDL Error Report: [^\n]*\nExiting program\\.\n")));
}

} // namespace
