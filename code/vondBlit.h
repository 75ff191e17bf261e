// The engine's blit: SDL_BlitSurface's behaviour with a fast path for the
// blits that make up nearly every frame.
//
// Layer rasters, sprite frames, tiles and window surfaces are 32-bit surfaces
// without alpha, copied whole or through a colour key onto an engine-format
// surface or onto the display. For those, vondBlit copies the pixels itself:
// no per-call set-up inside SDL, no heap allocation (SDL records every new
// source/target pairing in a list it allocates), and a loop the compiler
// vectorises. Every other blit (alpha, other depths, a format change onto a
// surface that is read again) goes to SDL_BlitSurface unchanged.
#pragma once

#include <SDL.h>

// Same arguments, clipping and result as SDL_BlitSurface (dstrect receives the
// clipped rectangle).
int vondBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);

// Blits an unkeyed src as if it had the colour key `key`, for callers that
// merge two blits into one. Only where vondBlitIsFast holds; returns false
// (and draws nothing) otherwise.
bool vondBlitKeyed(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect,
                   Uint32 key);

// True when vondBlit copies src onto dst itself rather than through SDL.
bool vondBlitIsFast(SDL_Surface* src, SDL_Surface* dst);
