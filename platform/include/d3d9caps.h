// d3d9caps.h - the capabilities a Direct3D 9 device reports.
#pragma once

#include <d3d9types.h>
