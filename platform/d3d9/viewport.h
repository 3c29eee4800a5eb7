// viewport.h - the divide by w and the mapping of clip space onto the back buffer.
//
// Pixel centres are at whole coordinates: x/w = -1 maps to the centre of pixel column 0 and +1 to
// the centre of column `width` (just outside): sx = (x/w + 1) * width/2, sy = (1 - y/w) * height/2,
// depth = z/w. Screen positions are snapped to the rasteriser's sub-pixel grid here, once per
// vertex, so that triangles sharing an edge see identical endpoints.
//
// DOES NOT: clip; w must be positive and the position inside the guard band (see clip.h).
#pragma once

#include "platform/d3d9/pipeline_vertex.h"

#include <cmath>

struct viewport_mapping {
    float half_width;   // width / 2 in sub-pixel units
    float half_height;  // height / 2 in sub-pixel units
    // Untextured draws add specular to diffuse before interpolating (the sum is linear, so the
    // rasteriser can carry it as one colour): the sum goes to the diffuse slots.
    bool sum_specular;
};

inline viewport_mapping viewport_for(int width, int height) {
    return {0.5f * float(width) * raster_subpixel_one, 0.5f * float(height) * raster_subpixel_one, false};
}

inline raster_vertex viewport_project(const clip_vertex& v, const viewport_mapping& vp) {
    raster_vertex r{};
    const float q = 1.0f / v.position[3];
    r.x = int32_t(std::lrint((v.position[0] * q + 1.0f) * vp.half_width));
    r.y = int32_t(std::lrint((1.0f - v.position[1] * q) * vp.half_height));
    r.value[raster_value_z] = v.position[2] * q;
    r.value[raster_value_q] = q;
    for (int a = 0; a < attr_count; ++a) r.value[raster_value_attr + a] = v.attr[a] * q;
    if (vp.sum_specular) {
        for (int i = 0; i < 3; ++i) {
            r.value[raster_value_attr + attr_diffuse_r + i] += r.value[raster_value_attr + attr_specular_r + i];
        }
    }
    return r;
}
