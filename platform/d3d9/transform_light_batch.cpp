// transform_light_batch.cpp - which draws the batched vertex stage takes, and the variant of it
// this CPU runs.
#include "platform/d3d9/transform_light.h"

bool tnl_batch_supported(const tnl_draw& d) { return !d.lighting || !d.specular || d.whole_power >= 0; }

void tnl_process_batch(const tnl_draw& d, const uint32_t* indices, size_t count, tnl_vertex* vertices) {
    static const tnl_batch_fn selected = tnl_batch_selected();
    selected(d, indices, count, vertices);
}
