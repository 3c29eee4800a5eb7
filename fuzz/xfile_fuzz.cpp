// xfile_fuzz.cpp - libFuzzer entry for the .x loader: any input must load into a consistent model
// or fail with a reason; the sanitizers catch out-of-bounds reads and undefined behaviour, and an
// inconsistent model traps.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/d3dx9/mesh_data.h"
#include "platform/xfile/xfile.h"

namespace {

bool consistent(const xfile_model& model) {
    const d3dx_mesh_data& m = model.mesh;
    const size_t n = m.positions.size();
    if ((!m.normals.empty() && m.normals.size() != n) || (!m.diffuse.empty() && m.diffuse.size() != n) ||
        (!m.texcoords.empty() && m.texcoords.size() != 2 * n) || m.indices.size() != 3 * m.attributes.size()) {
        return false;
    }
    const size_t subsets = std::max<size_t>(model.materials.size(), 1);
    return std::all_of(m.indices.begin(), m.indices.end(), [n](uint32_t i) { return i < n; }) &&
           std::all_of(m.attributes.begin(), m.attributes.end(), [subsets](uint32_t a) { return a < subsets; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    xfile_model model;
    std::string error;
    if (xfile_load(data, size, &model, &error)) {
        if (!consistent(model)) __builtin_trap();
        D3DVECTOR lo;
        D3DVECTOR hi;
        xfile_bounds(model.mesh, &lo, &hi);
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
