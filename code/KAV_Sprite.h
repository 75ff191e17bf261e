// An animated sprite: a list of frame image numbers, a current frame that
// advances every 30 ms, and a position of tile cell plus pixel offset.
#pragma once

#include <SDL.h>

class KAV_Sprite {
  public:
    enum : unsigned { PLAY_ONCE = 1 };
    static constexpr unsigned FRAME_MS = 30;

    // Takes ownership of frames (frameCount entries, allocated with new[]).
    KAV_Sprite(unsigned char id, int frameCount, unsigned flags, unsigned* frames);
    KAV_Sprite(KAV_Sprite& other);
    ~KAV_Sprite();
    KAV_Sprite& operator=(const KAV_Sprite&) = delete;

    void setPos(int x, int y, int xOffset, int yOffset);
    void getPos(int& x, int& y) const;
    void getOffset(int& xOffset, int& yOffset) const;
    unsigned char getID() const { return id; }
    void setID(unsigned char newId) { id = newId; }
    unsigned getFlags() const { return flags; }
    int getFrame() const { return currentFrame; }
    int getFrameCount() const { return frameCount; }
    unsigned* getFrames() { return frames; }

    void Update(unsigned ms);
    void Draw(int pointerX, int pointerY, int layerOffsetX, int layerOffsetY, SDL_Surface* target);
    // Draws the current frame as if it had the colour key `key` (the frame
    // image must have none of its own); see vondBlitKeyed.
    void DrawKeyed(int pointerX, int pointerY, int layerOffsetX, int layerOffsetY,
                   SDL_Surface* target, Uint32 key);
    // Where the current frame lands for that pointer (unclipped); empty without one.
    SDL_Rect screenRect(int pointerX, int pointerY, int layerOffsetX, int layerOffsetY) const;
    bool onScreen(int x, int y, int w, int h) const;
    void setTrans(bool on, int red, int green, int blue);

  private:
    unsigned char id;
    int frameCount;
    unsigned flags;
    unsigned elapsed = 0;
    int posX = 0;
    int posY = 0;
    int offX = 0;
    int offY = 0;
    int currentFrame = 0;
    unsigned* frames;
    Uint32 transColour = 0;
};
