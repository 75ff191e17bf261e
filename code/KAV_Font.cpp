// PLACEHOLDER until the font work lands: keeps the engine linkable.
#include "KAV_Font.h"

KAV_Font::KAV_Font(int) {}
KAV_Font::KAV_Font(int, unsigned char, unsigned char) {}
void KAV_Font::writeChar(unsigned char, int, int, SDL_Surface*) {}
SDL_Surface* KAV_Font::getChar(char) { return nullptr; }
void KAV_Font::build(int, int, int, bool) {}
