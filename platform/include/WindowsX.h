#include <windowsx.h>
