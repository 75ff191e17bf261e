// PLACEHOLDER until the sprite-layer work lands: keeps the engine linkable.
#include "KAV_Sprite.h"
#include "vondEngine2.h"

void vondEngine2::addSprite(KAV_Sprite* s) { spriteTemplates.push_back(s); }
int vondEngine2::placeSprite(int, int, int, int, int, int) { return 0; }
void vondEngine2::delSprite(unsigned char, int) {}
void vondEngine2::moveSprite(unsigned char, int, int, int, int, int) {}
KAV_Sprite* vondEngine2::getSprite(unsigned char, int) { return nullptr; }
void vondEngine2::DrawSLayer(int) {}
void vondEngine2::updateSprites(unsigned int) {}
void vondEngine2::destroySprites() {}
