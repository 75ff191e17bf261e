// PLACEHOLDER until the tilemap work lands: keeps the engine linkable.
#include "KAV_Tilemap.h"

KAV_Tilemap::KAV_Tilemap(int w, int h, int t, unsigned f) : flags(f), tilesetNumber(t), width(w), height(h) {}
KAV_Tilemap::KAV_Tilemap(const char*) {}
KAV_Tilemap::~KAV_Tilemap() {}
KAV_Tile KAV_Tilemap::GetTile(int, int) { return blankTile; }
int KAV_Tilemap::getCollide(int, int) { return 1; }
void KAV_Tilemap::SetTile(int, int, unsigned short) {}
void KAV_Tilemap::setFlags(unsigned f) { flags = f; }
void KAV_Tilemap::doKAVMAP1(std::ifstream&) {}
void KAV_Tilemap::doKAVGFX1(const std::string&, int, int, int, int) {}
