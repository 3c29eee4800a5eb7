// sampler_dispatch_generic.cpp - targets without a specialised variant use the portable routines.
#include "platform/d3d9/sampler_plan.h"

sampler_choose_fn sampler_variant() { return sampler_choose_baseline; }
