// mmsystem.h - the multimedia timer and sound.
//
// timeGetTime is GetTickCount's clock (see winbase.h). The clock has 1 ms resolution always, so
// timeBeginPeriod and timeEndPeriod accept any period from 1 to 1000 ms and change nothing.
// PlaySound plays nothing: it returns FALSE (the stand-in has no sound output).
#pragma once

#include <windef.h>

typedef UINT MMRESULT;

#define TIMERR_NOERROR 0
#define TIMERR_BASE 96
#define TIMERR_NOCANDO (TIMERR_BASE + 1)
#define TIMERR_STRUCT (TIMERR_BASE + 33)
#define MMSYSERR_NOERROR 0

typedef struct timecaps_tag {
    UINT wPeriodMin;
    UINT wPeriodMax;
} TIMECAPS, *PTIMECAPS, *LPTIMECAPS;

DWORD WINAPI timeGetTime();
// TIMERR_NOERROR for a period from 1 to 1000 ms, TIMERR_NOCANDO otherwise.
MMRESULT WINAPI timeBeginPeriod(UINT period);
MMRESULT WINAPI timeEndPeriod(UINT period);
// Periods from 1 to 1000 ms; TIMERR_STRUCT (nothing written) for a null pointer or a wrong size.
MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT size);

#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_MEMORY 0x0004
#define SND_LOOP 0x0008
#define SND_NOSTOP 0x0010
#define SND_PURGE 0x0040
#define SND_APPLICATION 0x0080
#define SND_ALIAS 0x00010000L
#define SND_FILENAME 0x00020000L
#define SND_RESOURCE 0x00040004L

BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags);
BOOL WINAPI PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);
#ifdef UNICODE
#define PlaySound PlaySoundW
#else
#define PlaySound PlaySoundA
#endif
