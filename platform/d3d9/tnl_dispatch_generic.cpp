// tnl_dispatch_generic.cpp - targets without a specialised variant use the portable batched vertex
// stage.
#include "platform/d3d9/transform_light.h"

tnl_batch_fn tnl_batch_selected() { return tnl_batch_baseline(); }
