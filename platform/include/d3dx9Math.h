#include "d3dx9math.h"
