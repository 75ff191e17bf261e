// PLACEHOLDER until the window work lands: keeps the engine linkable.
#include "vondWindow2.h"

vondWindow2::vondWindow2(int x, int y, int w, int h, unsigned flags, unsigned ID)
    : ID(ID), flags(flags), x(x), y(y), w(w), h(h) {}
void vondWindow2::Move(int nx, int ny) { x = nx; y = ny; }
void vondWindow2::MoveBy(int dx, int dy) { x += dx; y += dy; }
void vondWindow2::TimedMoveBy(int, int, int, int) {}
void vondWindow2::Update(unsigned) {}
void vondWindow2::doInput(int, int) {}
bool vondWindow2::isIn(int, int) const { return false; }
vondImageWin::vondImageWin(int x, int y, unsigned f, unsigned id, int) : vondWindow2(x, y, 0, 0, f, id) {}
vondImageWin::vondImageWin(int x, int y, unsigned f, unsigned id, const char*) : vondWindow2(x, y, 0, 0, f, id) {}
vondImageWin::~vondImageWin() {}
void vondImageWin::Draw() {}
void vondImageWin::setFlags(unsigned f) { flags = f; }
vondTextWin::vondTextWin(int x, int y, int w, int h, unsigned f, unsigned id, int) : vondWindow2(x, y, w, h, f, id) {}
vondTextWin::vondTextWin(int x, int y, int w, int h, unsigned f, unsigned id, std::string) : vondWindow2(x, y, w, h, f, id) {}
vondTextWin::~vondTextWin() {}
void vondTextWin::setString(std::string) {}
void vondTextWin::setFont(int) {}
void vondTextWin::setFlags(unsigned f) { flags = f; }
void vondTextWin::Update(unsigned) {}
void vondTextWin::Draw() {}
void vondTextWin::printString() {}
vondRadioButton::vondRadioButton(int c, int s, int u, unsigned short* p) : count(c), selImage(s), unselImage(u), positions(p) {}
vondRadioButton::~vondRadioButton() { delete[] positions; }
void vondRadioButton::Draw() {}
void vondRadioButton::doInput(int, int) {}
vondRadioBWin::vondRadioBWin(int x, int y, int w, int h, unsigned f, unsigned id) : vondWindow2(x, y, w, h, f, id) { winType = RADIO_WINDOW; }
vondRadioBWin::~vondRadioBWin() { delete buttons; }
void vondRadioBWin::setButton(int c, int s, int u, unsigned short* p) { delete buttons; buttons = new vondRadioButton(c, s, u, p); }
void vondRadioBWin::Draw() {}
void vondRadioBWin::doInput(int, int) {}
vondClickHandler::vondClickHandler(int a, int b, int c, int d, unsigned id, VOND_HANDLER_TYPE t) : ID(id), type(t), x1(a), y1(b), x2(c), y2(d) {}
bool vondClickHandler::isIn(int, int) const { return false; }
void vondClickHandler::doInput(unsigned) {}
