// Sprites: frame animation, drawing in the coordinates of a tile layer, and
// the optional colour key with half transparency of the frame images.
#include "KAV_Sprite.h"

#include "KAV_Tilemap.h"
#include "vondBlit.h"
#include "vondLog.h"
#include "vondStores.h"

#include <algorithm>

KAV_Sprite::KAV_Sprite(unsigned char spriteId, int count, unsigned spriteFlags, unsigned* frameList)
    : id(spriteId), frameCount(count), flags(spriteFlags), frames(frameList) {
    // A sprite without frames is kept, but never advances or draws.
    if (frameCount <= 0 || frames == nullptr) frameCount = 0;
    vondLog("New Sprite ID: ", static_cast<int>(id), " with flags: ", flags);
}

KAV_Sprite::KAV_Sprite(KAV_Sprite& other)
    : id(other.id), frameCount(other.frameCount), flags(other.flags),
      frames(new unsigned[other.frameCount > 0 ? other.frameCount : 1]) {
    std::copy(other.frames, other.frames + frameCount, frames);
    vondLog("Sprite: ", static_cast<int>(id), " flags: ", flags);
}

KAV_Sprite::~KAV_Sprite() {
    delete[] frames;
}

void KAV_Sprite::setPos(int x, int y, int xOffset, int yOffset) {
    posX = x;
    posY = y;
    offX = xOffset;
    offY = yOffset;
}

void KAV_Sprite::getPos(int& x, int& y) const {
    x = posX;
    y = posY;
}

void KAV_Sprite::getOffset(int& xOffset, int& yOffset) const {
    xOffset = offX;
    yOffset = offY;
}

void KAV_Sprite::Update(unsigned ms) {
    if (frameCount <= 0) return;
    const int last = frameCount - 1;
    // A play-once sprite holding its last frame gathers no more time.
    if (currentFrame >= last && (flags & PLAY_ONCE)) {
        currentFrame = last;
        return;
    }
    elapsed += ms;
    unsigned steps = elapsed / FRAME_MS;
    elapsed %= FRAME_MS;
    long long frame = static_cast<long long>(currentFrame) + steps;
    // A loop restarts at the first frame, however many frames were passed.
    if (frame >= frameCount) frame = (flags & PLAY_ONCE) ? last : 0;
    currentFrame = static_cast<int>(frame);
}

SDL_Rect KAV_Sprite::screenRect(int pointerX, int pointerY, int layerOffsetX,
                                int layerOffsetY) const {
    SDL_Surface* image = frameCount > 0 ? vondImageAt(frames[currentFrame]) : nullptr;
    long long x = KAV_TILE_SIZE * (static_cast<long long>(posX) - pointerX) + layerOffsetX + offX;
    long long y = KAV_TILE_SIZE * (static_cast<long long>(posY) - pointerY) + layerOffsetY + offY;
    return newRect(static_cast<int>(x), static_cast<int>(y), image != nullptr ? image->w : 0,
                   image != nullptr ? image->h : 0);
}

void KAV_Sprite::Draw(int pointerX, int pointerY, int layerOffsetX, int layerOffsetY,
                      SDL_Surface* target) {
    if (frameCount <= 0 || target == nullptr) return;
    SDL_Surface* image = vondImageAt(frames[currentFrame]);
    if (image == nullptr) return;
    SDL_Rect at = screenRect(pointerX, pointerY, layerOffsetX, layerOffsetY);
    vondBlit(image, nullptr, target, &at);
}

void KAV_Sprite::DrawKeyed(int pointerX, int pointerY, int layerOffsetX, int layerOffsetY,
                           SDL_Surface* target, Uint32 key) {
    if (frameCount <= 0 || target == nullptr) return;
    SDL_Surface* image = vondImageAt(frames[currentFrame]);
    if (image == nullptr) return;
    SDL_Rect at = screenRect(pointerX, pointerY, layerOffsetX, layerOffsetY);
    vondBlitKeyed(image, nullptr, target, &at, key);
}

bool KAV_Sprite::onScreen(int x, int y, int w, int h) const {
    return x <= posX && static_cast<long long>(posX) < static_cast<long long>(x) + w && y <= posY &&
           static_cast<long long>(posY) < static_cast<long long>(y) + h;
}

void KAV_Sprite::setTrans(bool on, int red, int green, int blue) {
    if (frameCount <= 0) return;
    SDL_Surface* first = vondImageAt(frames[0]);
    if (first == nullptr) return;
    transColour = SDL_MapRGB(first->format, red & 0xFF, green & 0xFF, blue & 0xFF);
    // The frame images are shared store entries: every user of them changes too.
    for (int i = 0; i < frameCount; ++i) {
        SDL_Surface* image = vondImageAt(frames[i]);
        if (image == nullptr) continue;
        if (on) {
            SDL_SetColorKey(image, SDL_SRCCOLORKEY, transColour);
            SDL_SetAlpha(image, SDL_SRCALPHA, 128);
        } else {
            SDL_SetColorKey(image, 0, 0);
            SDL_SetAlpha(image, 0, 255);
        }
    }
}
