// win_sound.cpp - PlaySound: the stand-in has no sound output, so no sound is ever played.
#include <windows.h>

BOOL WINAPI PlaySoundA(LPCSTR, HMODULE, DWORD) { return FALSE; }

BOOL WINAPI PlaySoundW(LPCWSTR, HMODULE, DWORD) { return FALSE; }
