#include "d3d9caps.h"
