// Radio-button windows: a transparent panel of buttons of which one is
// selected, drawn from two store images; a click selects the button under it.
#include "vondBlit.h"
#include "vondStores.h"
#include "vondWindow2.h"

vondRadioButton::vondRadioButton(int count, int selImage, int unselImage, unsigned short* positions)
    : count(count), selImage(selImage), unselImage(unselImage), positions(positions) {
    // The selected image's size is every button's hit area. Without that image
    // the size is unknown and no button can be hit.
    if (SDL_Surface* sel = vondImageAt(selImage)) {
        buttonW = sel->w;
        buttonH = sel->h;
    } else {
        buttonW = buttonH = -1;
    }
}

vondRadioButton::~vondRadioButton() {
    delete[] positions;
}

void vondRadioButton::Draw() {
    if (target == nullptr || positions == nullptr) return;
    for (int i = 0; i < count; ++i) {
        // An empty image number draws nothing for that button.
        SDL_Surface* image = vondImageAt(i == selected ? selImage : unselImage);
        if (image == nullptr) continue;
        SDL_Rect at = newRect(positions[2 * i], positions[2 * i + 1], 0, 0);
        vondBlit(image, nullptr, target, &at);
    }
}

void vondRadioButton::doInput(int x, int y) {
    if (positions == nullptr || buttonW < 0) return;
    for (int i = 0; i < count; ++i) {
        int px = positions[2 * i], py = positions[2 * i + 1];
        // Right and bottom edges included; the lowest index wins on overlaps.
        if (px <= x && x <= px + buttonW && py <= y && y <= py + buttonH) {
            selected = static_cast<unsigned char>(i);
            return;
        }
    }
}

vondRadioBWin::vondRadioBWin(int x, int y, int w, int h, unsigned f, unsigned id)
    : vondWindow2(x, y, w, h, f, id) {
    winType = RADIO_WINDOW;
    if (w > 0 && h > 0) surface = KAV_NewSurface(0, w, h);
    if (surface != nullptr)
        SDL_SetColorKey(surface, SDL_SRCCOLORKEY, vondTransColourIn(surface->format));
}

vondRadioBWin::~vondRadioBWin() {
    delete buttons;
    SDL_FreeSurface(surface);
}

void vondRadioBWin::setButton(int count, int selImage, int unselImage, unsigned short* positions) {
    delete buttons;
    buttons = new vondRadioButton(count, selImage, unselImage, positions);
    buttons->setSurface(surface);
}

// Drawn whether hidden or not: the panel has no hidden state of its own.
void vondRadioBWin::DrawOn(SDL_Surface* target) {
    if (surface == nullptr || buttons == nullptr) return;
    SDL_FillRect(surface, nullptr, vondTransColourIn(surface->format));
    buttons->Draw();
    if (target == nullptr) return;
    SDL_Rect at = newRect(x, y, 0, 0);
    vondBlit(surface, nullptr, target, &at);
}

void vondRadioBWin::doInput(int px, int py) {
    if (buttons != nullptr)
        buttons->doInput(vondWrapInt(static_cast<long long>(px) - x),
                         vondWrapInt(static_cast<long long>(py) - y));
}
