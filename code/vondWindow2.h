// On-screen windows drawn above the scene: the base class with moves, timed
// moves, hiding and the hit test; picture windows; framed text windows; radio-
// button panels; and click handlers, the invisible hotspots that run scripts.
#pragma once

#include "KAV_Font.h"

#include <SDL.h>

#include <string>

class KAV_Font;

class vondWindow2 {
  public:
    enum : unsigned {
        FLAG_PICTURE_KEY = 0x10,
        FLAG_REVEAL = 0x10,
        FLAG_CLEAR_BORDER = 0x20,
        FLAG_CLEAR_BACKGROUND = 0x40
    };
    // Kinds reported by getWinType; scripts rely only on 3 for radio-button windows.
    static constexpr int PICTURE_WINDOW = 1;
    static constexpr int TEXT_WINDOW = 2;
    static constexpr int RADIO_WINDOW = 3;

    vondWindow2(int x, int y, int w, int h, unsigned flags, unsigned ID);
    virtual ~vondWindow2() = default;
    vondWindow2(const vondWindow2&) = delete;
    vondWindow2& operator=(const vondWindow2&) = delete;

    virtual void Move(int x, int y);
    virtual void MoveBy(int dx, int dy);
    virtual void TimedMoveBy(int dx, int dy, int speedX, int speedY);
    virtual void Update(unsigned ms);
    // Draws onto the display surface.
    virtual void Draw() { DrawOn(SDL_GetVideoSurface()); }
    // Draws onto any target (the engine composes frames into surfaces of its own).
    virtual void DrawOn(SDL_Surface* target) = 0;
    virtual bool isAlive() { return alive; }
    virtual void Die() { alive = false; }
    virtual void ToggleHidden() { hidden = !hidden; }
    virtual void ToggleHidden(bool hide) { hidden = hide; }
    virtual void setFlags(unsigned newFlags) { flags = newFlags; }
    virtual void doInput(int x, int y);

    unsigned getID() const { return ID; }
    int getWinType() const { return winType; }
    bool isIn(int px, int py) const;

    // Read access for tests and the engine.
    int getX() const { return x; }
    int getY() const { return y; }
    bool isHidden() const { return hidden; }
    bool isMoving() const { return moving; }
    unsigned getFlags() const { return flags; }

  protected:
    unsigned ID;
    unsigned flags;
    int x, y;
    int w, h;
    int winType = 0;
    bool hidden = false;
    int targetX = 0, targetY = 0;
    int speedX = 0, speedY = 0;
    int remainX = 0, remainY = 0;
    float accumX = 0, accumY = 0;
    bool moving = false;
    bool alive = true;
};

class vondImageWin : public vondWindow2 {
  public:
    vondImageWin(int x, int y, unsigned flags, unsigned ID, int image);
    vondImageWin(int x, int y, unsigned flags, unsigned ID, const char* file);
    ~vondImageWin() override;
    void DrawOn(SDL_Surface* target) override;
    void setFlags(unsigned newFlags) override;
    SDL_Surface* getPicture() const { return picture; }

  private:
    SDL_Surface* picture = nullptr;
    int imageIndex = -1;
};

class vondTextWin : public vondWindow2 {
  public:
    vondTextWin(int x, int y, int w, int h, unsigned flags, unsigned ID, int stringNumber);
    vondTextWin(int x, int y, int w, int h, unsigned flags, unsigned ID, std::string text);
    ~vondTextWin() override;
    void setString(std::string s);
    void setFont(int n);
    void setBD(unsigned colour) { bdColor = colour; }
    void setFlags(unsigned newFlags) override;
    void Update(unsigned ms) override;
    void DrawOn(SDL_Surface* target) override;
    void printString();

    SDL_Surface* getSurface() const { return surface; }
    int getShownChars() const { return shownChars; }
    bool isDirty() const { return dirty; }
    const std::string& getText() const { return text; }

  private:
    std::string text;
    SDL_Surface* surface = nullptr;
    Uint32 bdColor = 0xFFFFFF;
    Uint32 bgColor = 0;
    vondRef<KAV_Font> font; // held: the window keeps the font it took
    int shownChars = 0;
    unsigned revealMs = 0;
    bool dirty = true;

    // What the surface was last drawn with, and where laying the text out
    // stopped: revealing text then only adds the characters that appeared
    // since, which gives the same pixels as drawing it all again.
    struct Look {
        Uint32 border, background;
        unsigned flags;
        const KAV_Font* font;
        bool hasFontLook;
        KAV_Font::Look fontLook;
        bool operator==(const Look& o) const;
    };
    Look currentLook() const;
    Look drawnLook{};
    bool resumable = false; // drawnLook and the layout below describe the surface
    int nextChar = 0;       // first character not yet laid out
    int cellX = 0, cellY = 0;
};

class vondRadioButton {
  public:
    // Takes ownership of positions: count (x, y) pairs allocated with new[].
    vondRadioButton(int count, int selImage, int unselImage, unsigned short* positions);
    ~vondRadioButton();
    vondRadioButton(const vondRadioButton&) = delete;
    vondRadioButton& operator=(const vondRadioButton&) = delete;
    void setSurface(SDL_Surface* s) { target = s; }
    void Draw();
    void doInput(int x, int y);
    int getSelected() const { return selected; }

  private:
    int count;
    int selImage;
    int unselImage;
    unsigned short* positions;
    int buttonW = 0;
    int buttonH = 0;
    SDL_Surface* target = nullptr;
    unsigned char selected = 0;
};

class vondRadioBWin : public vondWindow2 {
  public:
    vondRadioBWin(int x, int y, int w, int h, unsigned flags, unsigned ID);
    ~vondRadioBWin() override;
    void setButton(int count, int selImage, int unselImage, unsigned short* positions);
    void DrawOn(SDL_Surface* target) override;
    void doInput(int x, int y) override;
    vondRadioButton* getButtons() const { return buttons; }

  private:
    SDL_Surface* surface = nullptr;
    vondRadioButton* buttons = nullptr;
};

enum VOND_HANDLER_TYPE { HANDLER_FUNCTION = 0, HANDLER_SCRIPT_FILE = 1, HANDLER_SCRIPT_STRING = 2 };

// Handlers are plain objects owned by the engine's handler list. Their script
// may delete the handler itself (delClickH, DestroyAll): doInput copies what it
// needs before running it and touches nothing of the handler afterwards.
class vondClickHandler {
  public:
    vondClickHandler(int x1, int y1, int x2, int y2, unsigned ID, VOND_HANDLER_TYPE type);
    void setScript(std::string s) { script = std::move(s); }
    bool isIn(int x, int y) const;
    void doInput(unsigned value);
    void Die() { dead = true; }
    bool isDead() const { return dead; }
    unsigned getID() const { return ID; }

  private:
    unsigned ID;
    VOND_HANDLER_TYPE type;
    int x1, y1, x2, y2;
    void (*callback)(unsigned) = nullptr;
    std::string script;
    bool dead = false;
};
