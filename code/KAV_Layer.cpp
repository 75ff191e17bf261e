// PLACEHOLDER until the tile-layer work lands: keeps the engine linkable.
#include "KAV_Layer.h"

#include "vondStores.h"

KAV_Layer::KAV_Layer(KAV_LAYER_MODE mode, int width, int height, unsigned flags)
    : raster(KAV_NewSurface(0, 640, 480)), mode(mode), flags(flags), width(width), height(height) {}
KAV_Layer::~KAV_Layer() { SDL_FreeSurface(raster); }
void KAV_Layer::setLayerMode(KAV_LAYER_MODE m, unsigned f) { mode = m; flags = f; }
void KAV_Layer::getLayerMode(KAV_LAYER_MODE& m, unsigned& f) const { m = mode; f = flags; }
void KAV_Layer::setLayerDimensions(int, int) {}
void KAV_Layer::setLayerTilemap(int number) { tilemapNumber = number; }
SDL_Surface* KAV_Layer::getRasterContext() { return raster; }
void KAV_Layer::SetPointer(int x, int y, int xo, int yo) { pointerX = x; pointerY = y; offsetX = xo; offsetY = yo; }
void KAV_Layer::MovePointer(int dx, int dy, int dxo, int dyo) { pointerX += dx; pointerY += dy; offsetX += dxo; offsetY += dyo; }
void KAV_Layer::MovePointer(int dx, int dy) { pointerX += dx; pointerY += dy; }
void KAV_Layer::normalizeOffset() {}
void KAV_Layer::normalizePointer() {}
void KAV_Layer::getPointer(int& x, int& y, int& xo, int& yo) const { x = pointerX; y = pointerY; xo = offsetX; yo = offsetY; }
void KAV_Layer::getDimension(int& w, int& h) const { w = width; h = height; }
void KAV_Layer::blitTiles() {}
void KAV_Layer::Draw() {}
void KAV_Layer::paintTiles(SDL_Surface*) {}
void KAV_Layer::Debug() const {}
