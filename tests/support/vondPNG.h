// A minimal PNG writer for tests: 8-bit RGB, zlib stream of stored blocks, so
// that tests can make real tileset and sprite pictures without another library.
#pragma once

#include <SDL.h>

#include <string>

// Writes the RGB pixels of any 24- or 32-bit surface as an RGB PNG file.
bool writePNG(SDL_Surface* surface, const std::string& path);

// A w x h engine-format surface whose 32 x 32 squares, left to right then top
// to bottom, are filled with the colours given (0xRRGGBB), cycling.
SDL_Surface* tileSheet(int w, int h, const Uint32* colours, int colourCount);
