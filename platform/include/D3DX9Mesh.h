#include "d3dx9mesh.h"
