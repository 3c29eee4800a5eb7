// texture_resample.cpp - the D3DX resizing filters and colour keys; see texture_resample.h.
#include "platform/texture/texture_resample.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t texture_channel(uint32_t texel, int shift) { return (texel >> shift) & 0xFF; }

uint32_t texture_pack(const double sum[4], double weight) {
    uint32_t out = 0;
    for (int c = 0; c < 4; ++c) {
        const double value = std::clamp(sum[c] / weight, 0.0, 255.0);
        out |= uint32_t(value + 0.5) << (c * 8);
    }
    return out;
}

void texture_point(const uint32_t* source, UINT sw, UINT sh, size_t stride, uint32_t* target, UINT tw, UINT th) {
    for (UINT y = 0; y < th; ++y) {
        const UINT sy = std::min<UINT>(sh - 1, UINT((uint64_t(y) * 2 + 1) * sh / (uint64_t(th) * 2)));
        for (UINT x = 0; x < tw; ++x) {
            const UINT sx = std::min<UINT>(sw - 1, UINT((uint64_t(x) * 2 + 1) * sw / (uint64_t(tw) * 2)));
            target[size_t(y) * tw + x] = source[sy * stride + sx];
        }
    }
}

void texture_linear(const uint32_t* source, UINT sw, UINT sh, size_t stride, uint32_t* target, UINT tw, UINT th) {
    for (UINT y = 0; y < th; ++y) {
        const double fy = std::clamp((y + 0.5) * sh / th - 0.5, 0.0, double(sh - 1));
        const UINT y0 = UINT(fy), y1 = std::min(y0 + 1, sh - 1);
        const double wy = fy - y0;
        for (UINT x = 0; x < tw; ++x) {
            const double fx = std::clamp((x + 0.5) * sw / tw - 0.5, 0.0, double(sw - 1));
            const UINT x0 = UINT(fx), x1 = std::min(x0 + 1, sw - 1);
            const double wx = fx - x0;
            const uint32_t t00 = source[y0 * stride + x0], t10 = source[y0 * stride + x1];
            const uint32_t t01 = source[y1 * stride + x0], t11 = source[y1 * stride + x1];
            double sum[4];
            for (int c = 0; c < 4; ++c) {
                const int s = c * 8;
                sum[c] = (texture_channel(t00, s) * (1 - wx) + texture_channel(t10, s) * wx) * (1 - wy) +
                         (texture_channel(t01, s) * (1 - wx) + texture_channel(t11, s) * wx) * wy;
            }
            target[size_t(y) * tw + x] = texture_pack(sum, 1.0);
        }
    }
}

// Area average along both axes (each target texel covers sw / tw source texels, at least one).
void texture_area(const uint32_t* source, UINT sw, UINT sh, size_t stride, uint32_t* target, UINT tw, UINT th) {
    const double step_x = double(sw) / tw, step_y = double(sh) / th;
    for (UINT y = 0; y < th; ++y) {
        const double top = y * step_y, bottom = top + step_y;
        for (UINT x = 0; x < tw; ++x) {
            const double left = x * step_x, right = left + step_x;
            double sum[4] = {0, 0, 0, 0}, weight = 0;
            for (UINT sy = UINT(top); sy < sh && sy < bottom; ++sy) {
                const double wy = std::min(bottom, sy + 1.0) - std::max(top, double(sy));
                for (UINT sx = UINT(left); sx < sw && sx < right; ++sx) {
                    const double w = wy * (std::min(right, sx + 1.0) - std::max(left, double(sx)));
                    const uint32_t texel = source[sy * stride + sx];
                    for (int c = 0; c < 4; ++c) sum[c] += w * texture_channel(texel, c * 8);
                    weight += w;
                }
            }
            target[size_t(y) * tw + x] = weight > 0 ? texture_pack(sum, weight) : 0;
        }
    }
}

}  // namespace

DWORD texture_filter_kind(DWORD filter, DWORD fallback) {
    if (filter == D3DX_DEFAULT) return fallback;
    const DWORD kind = filter & 0xFF;
    return kind >= D3DX_FILTER_NONE && kind <= D3DX_FILTER_BOX ? kind : 0;
}

void texture_resample(const uint32_t* source, UINT sw, UINT sh, size_t source_stride, uint32_t* target, UINT tw,
                      UINT th, DWORD kind) {
    if (kind == D3DX_FILTER_NONE) {
        std::fill(target, target + size_t(tw) * th, 0u);
        for (UINT y = 0; y < std::min(sh, th); ++y) {
            std::copy_n(source + y * source_stride, std::min(sw, tw), target + size_t(y) * tw);
        }
    } else if (sw == tw && sh == th) {
        for (UINT y = 0; y < th; ++y) std::copy_n(source + y * source_stride, tw, target + size_t(y) * tw);
    } else if (kind == D3DX_FILTER_POINT) {
        texture_point(source, sw, sh, source_stride, target, tw, th);
    } else if (kind == D3DX_FILTER_LINEAR || tw > sw || th > sh) {
        texture_linear(source, sw, sh, source_stride, target, tw, th);
    } else {
        texture_area(source, sw, sh, source_stride, target, tw, th);
    }
}

void texture_apply_colour_key(uint32_t* texels, size_t count, D3DCOLOR key) {
    if (key == 0) return;
    std::replace(texels, texels + count, uint32_t(key), 0u);
}
