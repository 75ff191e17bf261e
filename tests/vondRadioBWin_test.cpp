// Radio-button windows: the selected and unselected images on a transparent
// panel, and selection by window-relative clicks with its edge rules.
#include "vondRun.h"
#include "vondTestPictures.h"
#include "vondWindow2.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int SEL = 30, UNSEL = 31, BIG = 32, EMPTY = 33;
constexpr Uint32 GREY = 0x404040, GREEN = 0x00FF00, BLUE = 0x0000FF, RED = 0xFF0000;

unsigned short* positionsOf(std::initializer_list<unsigned short> xy) {
    return std::copy(xy.begin(), xy.end(), new unsigned short[xy.size() + 1]) - xy.size();
}

struct RadioWindow : ::testing::Test {
    StoredImage sel{SEL, solidSurface(32, 32, 0, 255, 0)};
    StoredImage unsel{UNSEL, solidSurface(32, 32, 0, 0, 255)};
    StoredImage big{BIG, solidSurface(48, 48, 255, 0, 0)};
    SDL_Surface* screen = solidSurface(640, 480, 0x40, 0x40, 0x40);
    ~RadioWindow() override { SDL_FreeSurface(screen); }
};

TEST_F(RadioWindow, OnlyTheSelectedImageSizeIsClickableEdgesIncludedAndOverlapsGiveTheLowerIndex) {
    vondRadioBWin w(100, 100, 200, 100, 0, 1);
    w.setButton(2, SEL, BIG, positionsOf({0, 0, 40, 0}));
    w.DrawOn(screen);
    EXPECT_TRUE(pixelRGB(screen, 131, 131) == GREEN && pixelRGB(screen, 135, 110) == GREY);
    EXPECT_EQ(pixelRGB(screen, 186, 146), RED) << "a larger unselected image is drawn whole";
    // Window-relative clicks and the selection after each.
    const int clicks[][3] = {{40, 10, 1}, {36, 10, 1}, {32, 10, 0}, {80, 40, 0}, {72, 32, 1}};
    for (auto& c : clicks) {
        w.doInput(100 + c[0], 100 + c[1]);
        EXPECT_EQ(w.getButtons()->getSelected(), c[2]) << c[0] << "," << c[1];
    }
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 150, 110), GREEN);
    w.setButton(3, SEL, UNSEL, positionsOf({50, 0, 10, 0, 0, 0}));
    EXPECT_EQ(w.getButtons()->getSelected(), 0) << "new buttons reset the selection";
    w.doInput(115, 105);
    EXPECT_EQ(w.getButtons()->getSelected(), 1);
}

TEST_F(RadioWindow, EmptyImagesClippedButtonsAndZeroButtonsAreHarmless) {
    vondRadioBWin w(0, 0, 40, 40, 0, 1);
    w.setButton(2, EMPTY, UNSEL, positionsOf({0, 0, 30, 30}));
    w.doInput(30, 30); // without the selected image no button has a size
    EXPECT_EQ(w.getButtons()->getSelected(), 0);
    w.DrawOn(screen);
    EXPECT_TRUE(pixelRGB(screen, 10, 10) == GREY && pixelRGB(screen, 39, 39) == BLUE);
    EXPECT_EQ(pixelRGB(screen, 40, 40), GREY) << "clipped to the panel";
    w.setButton(0, SEL, UNSEL, new unsigned short[1]);
    w.doInput(35, 35);
    vondRadioBWin outside(100, 0, 10, 10, 0, 2);
    outside.setButton(1, -5, 70000, positionsOf({0, 0}));
    outside.DrawOn(screen);
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0x40, 0x40, 0x40));
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 39, 39), GREY);
}

} // namespace
