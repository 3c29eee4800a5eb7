#include <tchar.h>
