// win_module.h - the program's module handle, shared by GetModuleHandle and the process entry.
#pragma once

#include <windows.h>

// The fixed handle of the program's own module (WinMain's hInstance).
HINSTANCE win_module_handle();
