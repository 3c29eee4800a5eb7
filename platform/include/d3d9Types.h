#include "d3d9types.h"
