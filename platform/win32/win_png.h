// win_png.h - writes a frame as a PNG file without ever leaving a partial file under its name.
#pragma once

#include <cstdint>
#include <string>

// Writes `width` x `height` pixels (0x00RRGGBB, top byte ignored, rows top to bottom, `pitch`
// pixels apart) as an RGB PNG at
// `path`: first to a new temporary file beside it, then renamed over `path`. On failure nothing
// is left behind (an earlier file at `path` stays as it was) and *reason says why.
bool win_write_png(const std::string& path, const uint32_t* pixels, int width, int height, int pitch,
                   std::string* reason);
