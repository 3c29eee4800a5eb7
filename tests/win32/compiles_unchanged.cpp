// compiles_unchanged.cpp - a small program written the way Win32 tutorials are, against the
// platform's own headers only: generic text, the runtime's checked formatting, memory macros and
// the multimedia timer, with Microsoft's pragmas. Built once for ANSI and once with UNICODE and
// _UNICODE, warnings as errors; it runs and exits with 0 when what it computed is right.
#include <Windows.h>
#include <tchar.h>
#include <mmsystem.h>

#pragma comment(lib, "winmm.lib")
#pragma warning(disable : 4996)

static TCHAR g_title[64];

int APIENTRY _tWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow) {
    UNREFERENCED_PARAMETER(hPrevInstance);
    UNREFERENCED_PARAMETER(lpCmdLine);
    TCHAR szBuffer[128];
    ZeroMemory(szBuffer, sizeof(szBuffer));
    DWORD dwStart = timeGetTime();
    _stprintf_s(szBuffer, _T("%s %d x %d"), _T("Window"), 640, 480);
    if (_tcslen(szBuffer) != 16) return 1;
    memcpy(g_title, szBuffer, sizeof(g_title) < sizeof(szBuffer) ? sizeof(g_title) : sizeof(szBuffer));
    if (_tcscmp(g_title, _T("Window 640 x 480")) != 0) return 2;
    float fAngle = (float)sin(0.0);
    if (strcmp("abc", "abc") != 0 || fAngle != 0.0f) return 3;
    int iBigger = max(3, 4) + min(1, 2);
    DWORD dwElapsed = timeGetTime() - dwStart;
    if (iBigger != 5 || dwElapsed > 60000) return 4;
    if (hInstance != GetModuleHandle(NULL) || nCmdShow != SW_SHOWDEFAULT) return 5;
    OutputDebugString(TEXT("done\n"));
    return 0;
}
