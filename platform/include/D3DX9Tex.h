#include "d3dx9tex.h"
