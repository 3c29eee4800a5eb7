// texture_fuzz.cpp - libFuzzer entry for the texture decoders: any input must decode into a
// consistent image within the size bounds, described by its image information, or fail with a reason; the sanitizers
// catch out-of-bounds access and undefined behaviour (in stb_image too, compiled into the harness), and an inconsistent
// result traps.
#include <cstddef>
#include <cstdint>

#include "platform/texture/texture_decode.h"
#include "platform/texture/texture_image_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    d3d9_texture_image image;
    texture_error error;
    if (texture_decode(data, size, &image, &error)) {
        const bool consistent = image.width > 0 && image.height > 0 && image.width <= UINT(texture_max_side) &&
                                image.height <= UINT(texture_max_side) &&
                                image.texels.size() == size_t(image.width) * image.height;
        if (!consistent) __builtin_trap();
        const D3DXIMAGE_INFO info = texture_image_info(data, size, image);
        if (info.Width != image.width || info.Height != image.height || info.MipLevels == 0) __builtin_trap();
    } else if (error.reason.empty() || error.result == D3D_OK) {
        __builtin_trap();
    }
    return 0;
}
