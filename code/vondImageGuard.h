// The one way the engine reads a picture file: SDL_image's IMG_Load, after a
// look at the file for the damage that the library cannot survive.
//
// SDL_image 1.2 loops for ever, stalls or crashes on some damaged files
// instead of failing: GIFs whose blocks run past the end of the file or whose
// pictures it cannot hold, and run-length compressed TGA pictures cut short.
// Such a file is refused here before the library sees it, and the caller
// treats it exactly as a file that SDL_image cannot read. Every other file
// goes to IMG_Load unchanged.
#pragma once

#include <SDL.h>

// The picture in the file, as IMG_Load gives it; null (with the reason as the
// SDL error) when the file cannot be read or is refused.
SDL_Surface* vondLoadImage(const char* file);
