// The engine object: owns the four tile layers, the four sprite layers with
// their 256 slots each, the windows, the click handlers and the timed events,
// and composes every frame.
#pragma once

#include "KAV_Layer.h"

#include <SDL.h>

#include <string>
#include <vector>

class KAV_Sprite;
class vondWindow2;
class vondClickHandler;

// Fixed underlying type: scripts may pass any number, and values other than
// these must be representable (an unknown type fires every frame, an unknown
// source runs nothing).
enum VOND_EVENT : unsigned { VOND_EVENT_REPEAT = 0, VOND_EVENT_ONCE = 1 };
enum VOND_EVENT_SOURCE : unsigned { VOND_SOURCE_FILE = 0, VOND_SOURCE_STRING = 1 };

class vondEngine2 {
  public:
    static constexpr int TILE_LAYERS = 4;
    static constexpr int SPRITE_LAYERS = 4;
    static constexpr int SPRITE_SLOTS = 256;
    static constexpr int SCREEN_W = 640;
    static constexpr int SCREEN_H = 480;

    // How a sprite frame image reaches the screen when its layer is composed.
    enum SpriteDrawing { DRAW_AS_IS, DRAW_THROUGH_KEY, DRAW_VIA_SURFACE };

    // A script file or script text run after a delay, once or repeatedly.
    class vondTimedEvent {
      public:
        vondTimedEvent(unsigned int id, VOND_EVENT type, VOND_EVENT_SOURCE source, int time,
                       std::string script);
        vondTimedEvent(const vondTimedEvent& other) = default;
        void Update(unsigned int ms);
        bool isDead() const { return dead; }
        unsigned getID() const { return ID; }
        void Die() { dead = true; }

      private:
        unsigned ID;
        VOND_EVENT type;
        VOND_EVENT_SOURCE source;
        int countdown;
        int period;
        std::string script;
        bool dead = false;
    };

    vondEngine2();
    ~vondEngine2();
    vondEngine2(const vondEngine2&) = delete;
    vondEngine2& operator=(const vondEngine2&) = delete;

    void Startup();
    void Update(unsigned int ms);
    void Draw();
    // Composes the frame onto target without flipping; Draw uses it on the display.
    void Compose(SDL_Surface* target);

    // Tile layers.
    KAV_Layer* getLayer(int n);
    void setLayerProperty(int n, KAV_LAYER_MODE mode, int flags);
    void SetTileMap(int n, int map);
    void SetLPointer(int n, int x, int y, int xoff, int yoff);
    void MoveLPointer(int n, int dx, int dy, int dxoff, int dyoff);
    bool LoadBGLayer(int n, int image);
    void toggleLayer(int n);
    void toggleLayer(int n, bool shown);
    void toggleSLayer(int L);
    void toggleSLayer(int L, bool shown);
    bool isLayerShown(int n) const { return layerShown[reduceLayer(n)]; }
    bool isSLayerShown(int L) const { return spriteLayerShown[reduceLayer(L)]; }

    // Windows.
    vondWindow2* NewPicWin(int x, int y, int id, int image);
    vondWindow2* NewTxtWin(int x, int y, int w, int h, int id, int text);
    vondWindow2* NewRadWin(int x, int y, int w, int h, int id);
    vondWindow2* getWindowHandle(int id);
    void DestroyWin(int id);
    void DestroyAll();
    size_t windowCount() const { return windows.size(); }

    // Sprite layers (1 to 4).
    static bool isSpriteLayer(int L) { return L >= 1 && L <= SPRITE_LAYERS; }
    void addSprite(KAV_Sprite* s);
    int placeSprite(int spriteNumber, int L, int x, int y, int xoff, int yoff);
    void delSprite(unsigned char id, int L);
    void moveSprite(unsigned char id, int L, int dx, int dy, int dxoff, int dyoff);
    KAV_Sprite* getSprite(unsigned char id, int L);
    void DrawSLayer(int L);

    // Input dispatch and click handlers.
    bool doInput(int x, int y);
    void mouseUp() { mouseDown = false; }
    void addClickHandler(vondClickHandler* h);
    void delClickHandler(int id);
    size_t clickHandlerCount() const { return clickHandlers.size(); }

    // Timed events.
    void addTimedEvent(vondTimedEvent* e);
    void delTimedEvent(int id);
    size_t timedEventCount() const { return timedEvents.size(); }

  private:
    // The one layer-number rule: the layer operations take any number and use
    // its low two bits (tile layer 5 is layer 1; sprite layer 4 sits in slot
    // 0), while getLayer and the sprite functions require the exact range.
    static int reduceLayer(int n) { return n & 3; }

    void createLayers();
    void destroyLayers();
    void updateSprites(unsigned int ms);
    void updateTimedEvents(unsigned int ms);
    void sweepDeadTimedEvents();
    void sweepDeadClickHandlers();
    void destroySprites();
    void destroyClickHandlers();
    static bool coversOpaquely(const SDL_Surface* raster, const SDL_Surface* target);
    void composeSpriteLayer(int L, SDL_Surface* target);
    SpriteDrawing spriteImageDrawing(unsigned number);
    bool holesReachEarlierSprites(int L, int px, int py, int ox, int oy, int w, int h);

    KAV_Layer* layers[TILE_LAYERS] = {};
    bool layerShown[TILE_LAYERS] = {};
    bool spriteLayerShown[SPRITE_LAYERS] = {}; // sprite layer L at index reduceLayer(L)
    SDL_Surface* spriteSurfaces[SPRITE_LAYERS] = {};
    std::vector<KAV_Sprite*> spriteTemplates;
    std::vector<vondWindow2*> windows;
    std::vector<vondClickHandler*> clickHandlers;
    std::vector<vondTimedEvent*> timedEvents;
    KAV_Sprite* sprites[SPRITE_LAYERS][SPRITE_SLOTS] = {};
    bool mouseDown = false;
    bool ownsBlackTile = false;
};
