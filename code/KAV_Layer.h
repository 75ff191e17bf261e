// A full-screen tile layer: a 640 x 480 raster that shows either one picture
// from the image store or the visible part of a tilemap, scrolled by a pointer
// (whole tiles) and pixel offsets kept in -31..0. In tilemap mode the raster
// is a cache, repainted only after something it shows has changed.
#pragma once

#include "vondStores.h"

#include <SDL.h>

// Any other value is kept and reported back, and draws nothing new.
enum KAV_LAYER_MODE : unsigned { KAV_LAYER_PICTURE = 0, KAV_LAYER_TILEMAP = 1 };

class KAV_Layer {
  public:
    enum : unsigned { TRANSPARENT = 1, TRANSLUCENT = 2 };

    KAV_Layer(KAV_LAYER_MODE mode, int width, int height, unsigned flags);
    ~KAV_Layer();
    KAV_Layer(const KAV_Layer&) = delete;
    KAV_Layer& operator=(const KAV_Layer&) = delete;

    void setLayerMode(KAV_LAYER_MODE mode, unsigned flags);
    void getLayerMode(KAV_LAYER_MODE& mode, unsigned& flags) const;
    void setLayerDimensions(int width, int height);
    void setLayerTilemap(int number);
    SDL_Surface* getRasterContext();
    void SetPointer(int x, int y, int xOffset, int yOffset);
    void MovePointer(int dx, int dy, int dxOffset, int dyOffset);
    void MovePointer(int dx, int dy);
    void normalizeOffset();
    void normalizePointer();
    int getXPos() const { return pointerX; }
    int getYPos() const { return pointerY; }
    void getPointer(int& x, int& y, int& xOffset, int& yOffset) const;
    void getDimension(int& w, int& h) const;
    unsigned char getLayerTilemap() const { return static_cast<unsigned char>(tilemapNumber); }
    void blitTiles();
    void Draw();
    void setSurface(int pictureNumber) { picture = pictureNumber; }
    void Debug() const;

    // In tilemap mode with a raster due for repainting: draws the tiles
    // straight onto target, giving the pixels that repainting the raster and
    // blitting it would give, and returns true; the raster stays due. Returns
    // false, drawing nothing, when the tiles cannot be drawn that way.
    bool drawChangedTilesOn(SDL_Surface* target);
    // The raster as it is, for its colour key and alpha (no repainting).
    const SDL_Surface* peekRaster() const { return raster; }

  private:
    void paintTiles(SDL_Surface* target);
    void applyColourKey();
    void setKey(Uint32 key);
    void applyAlpha();

    SDL_Surface* raster;
    // Held: the layer keeps showing its map after loadMap replaces that number.
    vondRef<KAV_Tilemap> tilemap;
    KAV_LAYER_MODE mode;
    unsigned flags;
    int width;
    int height;
    int tilemapNumber = 0;
    int tilesetNumber = 0;
    int pointerX = 0;
    int pointerY = 0;
    int offsetX = 0;
    int offsetY = 0;
    bool dirty = true;
    int picture = 0;
    bool keyed = false;           // the raster has a colour key ...
    Uint32 key = 0;               // ... of this value
    unsigned paintedMapFlags = 0; // the tilemap's flags when the raster was painted
    // What a picture-mode raster was last painted from; the picture by its
    // serial (vondImageSerial), which a replaced picture cannot share.
    struct PictureState {
        unsigned long long image;
        long long x, y;
        Uint32 flags, colourKey;
        Uint8 alpha;
        bool operator==(const PictureState& o) const {
            return image == o.image && x == o.x && y == o.y && flags == o.flags &&
                   colourKey == o.colourKey && alpha == o.alpha;
        }
    };
    PictureState paintedPicture{};
    bool pictureCached = false;
};
