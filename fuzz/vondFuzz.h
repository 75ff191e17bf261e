// What the fuzz targets share: a scratch folder to run in, holding the
// picture files that inputs may name; SDL opened as the engine opens it
// headless; and the reset of the stores between inputs, so that one input's
// pictures, tilesets and maps neither reach the next nor pile up.
#pragma once

#include "vondLog.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Once per process. With a display, also opens the engine's 640 x 480 screen
// (dummy video driver) so that frames can be drawn.
void vondFuzzStart(bool withDisplay);

// Writes bytes to a file of that name in the scratch folder.
void vondFuzzWrite(const std::string& name, const uint8_t* data, size_t size);

// Frees every picture, tileset, tilemap and font in the stores and empties
// them. Nothing else may still point at them (the engine's windows and layers
// go first: see vondEngine2::DestroyAll).
void vondFuzzClearStores();

// Runs f; an exit of the engine inside it (its fatal errors) ends f as an
// expected outcome of the input. Returns false when it did.
template <typename F> bool vondFuzzRun(F f) {
    vondExitStatus = -1;
    try {
        f();
    } catch (const vondExitRequest&) {
        return false;
    }
    return vondExitStatus == -1;
}
