#include "d3dx9.h"
