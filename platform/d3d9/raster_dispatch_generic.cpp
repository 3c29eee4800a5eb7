// raster_dispatch_generic.cpp - targets without a specialised variant use the portable kernels.
#include "platform/d3d9/raster_setup.h"

const raster_kernel_table& raster_kernels() { return raster_kernels_baseline(); }
