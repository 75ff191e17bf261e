// Radio-button windows: the selected and unselected images on a transparent
// panel, and selection by window-relative clicks with its edge rules.
#include "vondRun.h"
#include "vondTestPictures.h"
#include "vondWindow2.h"

#include <algorithm>

namespace {

constexpr Uint32 GREY = 0x404040, GREEN = 0x00FF00, BLUE = 0x0000FF;

unsigned short* positionsOf(std::initializer_list<unsigned short> xy) {
    return std::copy(xy.begin(), xy.end(), new unsigned short[xy.size() + 1]) - xy.size();
}

TEST(RadioWindow, OnlyTheSelectedImageSizeIsClickableEdgesIncludedOverlapsGiveTheLowerIndex) {
    StoredImage sel(30, solidSurface(32, 32, 0, 255, 0)), big(31, solidSurface(48, 48, 0, 0, 255));
    Surface screen = owned(solidSurface(640, 480, 0x40, 0x40, 0x40));
    vondRadioBWin w(100, 100, 200, 100, 0, 1), bad(0, 0, 40, 40, 0, 2);
    w.setButton(2, 30, 31, positionsOf({0, 0, 40, 0}));
    w.DrawOn(screen.get());
    EXPECT_TRUE(pixelRGB(screen, 131, 131) == GREEN && pixelRGB(screen, 135, 110) == GREY);
    EXPECT_EQ(pixelRGB(screen, 186, 146), BLUE) << "a larger unselected image is drawn whole";
    // Window-relative clicks and the selection after each.
    const int clicks[][3] = {{40, 10, 1}, {36, 10, 1}, {32, 10, 0}, {80, 40, 0}, {72, 32, 1}};
    for (auto& c : clicks) {
        w.doInput(100 + c[0], 100 + c[1]);
        EXPECT_EQ(w.getButtons()->getSelected(), c[2]) << c[0] << "," << c[1];
    }
    w.setButton(3, 30, 31, positionsOf({50, 0, 10, 0, 0, 0}));
    EXPECT_EQ(w.getButtons()->getSelected(), 0) << "new buttons reset the selection";
    w.doInput(115, 105);
    EXPECT_EQ(w.getButtons()->getSelected(), 1);
    // Missing images, a button beyond the panel and zero buttons are harmless.
    bad.setButton(2, 33, 31, positionsOf({0, 0, 30, 30}));
    bad.doInput(30, 30); // without the selected image no button has a size
    EXPECT_EQ(bad.getButtons()->getSelected(), 0);
    bad.DrawOn(screen.get());
    EXPECT_TRUE(pixelRGB(screen, 39, 39) == BLUE && pixelRGB(screen, 40, 40) == GREY);
    bad.setButton(1, -5, 70000, positionsOf({0, 0}));
    bad.DrawOn(screen.get());
    bad.setButton(0, 30, 31, new unsigned short[1]);
    bad.doInput(35, 35);
    bad.DrawOn(screen.get());
}

} // namespace
