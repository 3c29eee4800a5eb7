// mip_chain.cpp - the 2 x 2 box filter of mip_chain.h.
#include "platform/d3d9/mip_chain.h"

#include <cstddef>

void d3d9_mip_box_filter(const uint32_t* source, uint32_t source_width, uint32_t source_height, uint32_t alpha_or,
                         uint32_t* target) {
    const uint32_t width = source_width > 1 ? source_width / 2 : 1, height = source_height > 1 ? source_height / 2 : 1;
    const uint32_t dx = source_width > 1 ? 1 : 0, dy = source_height > 1 ? 1 : 0;
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* row0 = source + size_t(y << dy) * source_width;
        const uint32_t* row1 = row0 + size_t(dy) * source_width;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t sx = x << dx;
            const uint32_t texels[4] = {row0[sx] | alpha_or, row0[sx + dx] | alpha_or, row1[sx] | alpha_or,
                                        row1[sx + dx] | alpha_or};
            uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t sum = 0;
                for (uint32_t i = 0; i < 4; ++i) sum += texels[i] >> shift & 255;
                // With a side of 1 the same texels are read twice (or four times): the mean is unchanged.
                result |= ((sum + 2) / 4) << shift;
            }
            target[size_t(y) * width + x] = result;
        }
    }
}
