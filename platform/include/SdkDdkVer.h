#include <sdkddkver.h>
