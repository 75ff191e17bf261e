// PLACEHOLDER until the sprite work lands: keeps the engine linkable.
#include "KAV_Sprite.h"

KAV_Sprite::KAV_Sprite(unsigned char i, int c, unsigned f, unsigned* fr) : id(i), frameCount(c), flags(f), frames(fr) {}
KAV_Sprite::KAV_Sprite(KAV_Sprite& o) : id(o.id), frameCount(0), flags(o.flags), frames(nullptr) {}
KAV_Sprite::~KAV_Sprite() { delete[] frames; }
void KAV_Sprite::setPos(int x, int y, int xo, int yo) { posX = x; posY = y; offX = xo; offY = yo; }
void KAV_Sprite::getPos(int& x, int& y) const { x = posX; y = posY; }
void KAV_Sprite::getOffset(int& xo, int& yo) const { xo = offX; yo = offY; }
void KAV_Sprite::Update(unsigned) {}
void KAV_Sprite::Draw(int, int, int, int, SDL_Surface*) {}
bool KAV_Sprite::onScreen(int, int, int, int) const { return false; }
void KAV_Sprite::setTrans(bool, int, int, int) {}
