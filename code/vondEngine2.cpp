// The engine object: construction, display start-up, the frame's update, the
// tile-layer operations and the window list. The frame is composed in
// vondEngine2_compose.cpp.
#include "vondEngine2.h"

#include "KAV_Sprite.h"
#include "KAV_Tilemap.h"
#include "vondStores.h"
#include "vondWindow2.h"

#include <algorithm>

vondEngine2::vondEngine2() {
    createLayers();
    for (auto& s : spriteSurfaces)
        s = KAV_NewSurface(0, SCREEN_W, SCREEN_H);
    SPRITE_TRANS_COLOR = vondTransColourIn(spriteSurfaces[0]->format);
    for (auto* s : spriteSurfaces)
        SDL_SetColorKey(s, SDL_SRCCOLORKEY, SPRITE_TRANS_COLOR);
    // The black tile is global: a second engine (tests, benchmarks) shares the
    // first one's instead of replacing it.
    if (!KAV_BLACK_TILE.image) {
        KAV_BLACK_TILE.number = 0;
        KAV_BLACK_TILE.image =
            vondRef<SDL_Surface>(KAV_NewSurface(0, KAV_TILE_SIZE, KAV_TILE_SIZE));
        SDL_FillRect(KAV_BLACK_TILE.image.get(), nullptr, 0);
        ownsBlackTile = true;
    }
}

vondEngine2::~vondEngine2() {
    destroyLayers();
    for (auto*& s : spriteSurfaces) {
        SDL_FreeSurface(s);
        s = nullptr;
    }
    // Released here rather than left to the process so that leak checks stay quiet.
    destroyClickHandlers();
    for (auto* w : windows)
        delete w;
    windows.clear();
    for (auto* e : timedEvents)
        delete e;
    timedEvents.clear();
    destroySprites();
    for (auto* t : spriteTemplates)
        delete t;
    spriteTemplates.clear();
    if (ownsBlackTile) KAV_BLACK_TILE.image.reset();
}

void vondEngine2::createLayers() {
    for (auto& layer : layers)
        layer = new KAV_Layer(KAV_LAYER_PICTURE, SCREEN_W, SCREEN_H, 0);
}

void vondEngine2::destroyLayers() {
    for (auto*& layer : layers) {
        delete layer;
        layer = nullptr;
    }
}

void vondEngine2::Startup() {
    SDL_SetVideoMode(SCREEN_W, SCREEN_H, 32, SDL_HWSURFACE | SDL_HWACCEL | SDL_DOUBLEBUF);
    SDL_WM_SetCaption("The Grand Vond Venture", nullptr);
}

void vondEngine2::Update(unsigned int ms) {
    updateSprites(ms);
    // Window scripts cannot run from here, but read the length afresh all the same.
    for (size_t i = 0; i < windows.size(); ++i)
        windows[i]->Update(ms);
    updateTimedEvents(ms);
    sweepDeadTimedEvents();
    sweepDeadClickHandlers();
}

void vondEngine2::Draw() {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (screen == nullptr) return;
    Compose(screen);
    SDL_Flip(screen);
}

KAV_Layer* vondEngine2::getLayer(int n) {
    if (n < 0 || n >= TILE_LAYERS) return nullptr;
    return layers[n];
}

void vondEngine2::setLayerProperty(int n, KAV_LAYER_MODE mode, int flags) {
    layers[reduceLayer(n)]->setLayerMode(mode, static_cast<unsigned>(flags));
}

void vondEngine2::SetTileMap(int n, int map) {
    layers[reduceLayer(n)]->setLayerTilemap(map);
}

void vondEngine2::SetLPointer(int n, int x, int y, int xoff, int yoff) {
    layers[reduceLayer(n)]->SetPointer(x, y, xoff, yoff);
}

void vondEngine2::MoveLPointer(int n, int dx, int dy, int dxoff, int dyoff) {
    layers[reduceLayer(n)]->MovePointer(dx, dy, dxoff, dyoff);
}

bool vondEngine2::LoadBGLayer(int n, int image) {
    if (KAV_Layer* layer = getLayer(n)) layer->setSurface(image);
    return true;
}

void vondEngine2::toggleLayer(int n) {
    layerShown[reduceLayer(n)] = !layerShown[reduceLayer(n)];
}
void vondEngine2::toggleLayer(int n, bool shown) {
    layerShown[reduceLayer(n)] = shown;
}
void vondEngine2::toggleSLayer(int L) {
    spriteLayerShown[reduceLayer(L)] = !spriteLayerShown[reduceLayer(L)];
}
void vondEngine2::toggleSLayer(int L, bool shown) {
    spriteLayerShown[reduceLayer(L)] = shown;
}

vondWindow2* vondEngine2::NewPicWin(int x, int y, int id, int image) {
    windows.push_back(new vondImageWin(x, y, 0, static_cast<unsigned>(id), image));
    return windows.back();
}

vondWindow2* vondEngine2::NewTxtWin(int x, int y, int w, int h, int id, int text) {
    windows.push_back(new vondTextWin(x, y, w, h, 0, static_cast<unsigned>(id), text));
    return windows.back();
}

vondWindow2* vondEngine2::NewRadWin(int x, int y, int w, int h, int id) {
    windows.push_back(new vondRadioBWin(x, y, w, h, 0, static_cast<unsigned>(id)));
    return windows.back();
}

vondWindow2* vondEngine2::getWindowHandle(int id) {
    for (auto* w : windows)
        if (w->getID() == static_cast<unsigned>(id)) return w;
    return nullptr;
}

void vondEngine2::DestroyWin(int id) {
    auto doomed = std::stable_partition(windows.begin(), windows.end(), [id](vondWindow2* w) {
        return w->getID() != static_cast<unsigned>(id);
    });
    for (auto it = doomed; it != windows.end(); ++it)
        delete *it;
    windows.erase(doomed, windows.end());
}

void vondEngine2::DestroyAll() {
    destroyClickHandlers();
    for (auto* w : windows)
        delete w;
    windows.clear();
    for (int n = 0; n < TILE_LAYERS; ++n)
        toggleLayer(n, false);
    for (int L = 1; L <= SPRITE_LAYERS; ++L)
        toggleSLayer(L, false);
    destroySprites();
    destroyLayers();
    createLayers();
}
