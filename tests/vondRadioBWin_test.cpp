// Radio-button windows: drawing the selected and unselected images on a
// transparent panel, and selection by window-relative clicks with its edge rules.
#include "vondRun.h"
#include "vondTestPictures.h"
#include "vondWindow2.h"

#include <gtest/gtest.h>

namespace {

constexpr int SEL = 30, UNSEL = 31, BIG = 32, EMPTY = 33;
constexpr Uint32 GREY = 0x404040, GREEN = 0x00FF00, BLUE = 0x0000FF, RED = 0xFF0000;

unsigned short* positionsOf(std::initializer_list<int> xy) {
    auto* p = new unsigned short[xy.size()];
    int i = 0;
    for (int v : xy)
        p[i++] = static_cast<unsigned short>(v);
    return p;
}

class RadioWindow : public ::testing::Test {
  protected:
    StoredImage sel{SEL, solidSurface(32, 32, 0, 255, 0)};
    StoredImage unsel{UNSEL, solidSurface(32, 32, 0, 0, 255)};
    StoredImage big{BIG, solidSurface(48, 48, 255, 0, 0)};
    SDL_Surface* screen = solidSurface(640, 480, 0x40, 0x40, 0x40);
    ~RadioWindow() override { SDL_FreeSurface(screen); }
};

TEST_F(RadioWindow, SelectedAndUnselectedImagesOnATransparentPanel) {
    vondRadioBWin w(100, 100, 120, 50, 0, 1);
    EXPECT_EQ(w.getWinType(), vondWindow2::RADIO_WINDOW);
    w.DrawOn(screen); // no buttons yet: nothing at all
    EXPECT_EQ(pixelRGB(screen, 100, 100), GREY);
    w.setButton(2, SEL, UNSEL, positionsOf({0, 0, 40, 0}));
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 100, 100), GREEN);
    EXPECT_EQ(pixelRGB(screen, 131, 131), GREEN);
    EXPECT_EQ(pixelRGB(screen, 135, 110), GREY);
    EXPECT_EQ(pixelRGB(screen, 140, 110), BLUE);
    EXPECT_EQ(pixelRGB(screen, 210, 140), GREY);
}

TEST_F(RadioWindow, ClickSelectionIncludesTheRightEdgeAndIgnoresTheGap) {
    vondRadioBWin w(100, 100, 120, 50, 0, 1);
    w.setButton(2, SEL, UNSEL, positionsOf({0, 0, 40, 0}));
    w.doInput(140, 110); // window-relative (40, 10)
    EXPECT_EQ(w.getButtons()->getSelected(), 1);
    w.doInput(136, 110);
    EXPECT_EQ(w.getButtons()->getSelected(), 1);
    w.doInput(132, 110); // (32, 10): the right edge of button 0
    EXPECT_EQ(w.getButtons()->getSelected(), 0);
    w.doInput(172, 132); // (72, 32): bottom-right corner of button 1
    EXPECT_EQ(w.getButtons()->getSelected(), 1);
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 110, 110), BLUE);
    EXPECT_EQ(pixelRGB(screen, 150, 110), GREEN);
}

TEST_F(RadioWindow, OverlappingButtonsGiveTheLowerIndex) {
    vondRadioBWin w(0, 0, 120, 50, 0, 1);
    w.setButton(3, SEL, UNSEL, positionsOf({50, 0, 10, 0, 0, 0}));
    w.doInput(15, 5);
    EXPECT_EQ(w.getButtons()->getSelected(), 1);
}

TEST_F(RadioWindow, LargerUnselectedImageIsDrawnWholeButOnlyTheSelectedSizeIsClickable) {
    vondRadioBWin w(0, 0, 200, 100, 0, 1);
    w.setButton(2, SEL, BIG, positionsOf({0, 0, 40, 0}));
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 86, 46), RED);
    w.doInput(80, 40);
    EXPECT_EQ(w.getButtons()->getSelected(), 0);
    w.doInput(72, 32);
    EXPECT_EQ(w.getButtons()->getSelected(), 1);
}

TEST_F(RadioWindow, NewButtonsResetTheSelectionAndHiddenPanelsAreStillDrawn) {
    vondRadioBWin w(0, 0, 200, 100, 0, 1);
    w.setButton(2, SEL, UNSEL, positionsOf({0, 0, 40, 0}));
    w.doInput(50, 10);
    w.setButton(2, SEL, UNSEL, positionsOf({0, 0, 40, 0}));
    EXPECT_EQ(w.getButtons()->getSelected(), 0);
    w.ToggleHidden();
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 10, 10), GREEN);
}

TEST_F(RadioWindow, EmptyImageNumbersDrawNothingForThatButton) {
    vondRadioBWin w(0, 0, 200, 100, 0, 1);
    w.setButton(2, SEL, EMPTY, positionsOf({0, 0, 40, 0}));
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 10, 10), GREEN);
    EXPECT_EQ(pixelRGB(screen, 50, 10), GREY);
    // Without the selected image no button has a size, so none can be hit.
    w.setButton(2, EMPTY, UNSEL, positionsOf({0, 0, 40, 0}));
    w.doInput(40, 0);
    EXPECT_EQ(w.getButtons()->getSelected(), 0);
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 50, 10), BLUE);
    vondRadioBWin outside(0, 0, 10, 10, 0, 2);
    outside.setButton(1, -5, 70000, positionsOf({0, 0}));
    outside.DrawOn(screen);
}

TEST_F(RadioWindow, ButtonsOutsideThePanelAreClippedAndZeroButtonsDrawNothing) {
    vondRadioBWin w(0, 0, 40, 40, 0, 1);
    w.setButton(1, SEL, UNSEL, positionsOf({30, 30}));
    w.DrawOn(screen);
    EXPECT_EQ(pixelRGB(screen, 39, 39), GREEN);
    EXPECT_EQ(pixelRGB(screen, 40, 40), GREY);
    w.setButton(0, SEL, UNSEL, new unsigned short[1]);
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0x40, 0x40, 0x40));
    w.DrawOn(screen);
    w.doInput(35, 35);
    EXPECT_EQ(pixelRGB(screen, 39, 39), GREY);
}

} // namespace
