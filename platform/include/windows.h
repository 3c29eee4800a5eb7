// windows.h - our Linux stand-in for the Win32 (user32 and C runtime) operations the demos and
// xmesh-view call.
//
// Offers the platform's own names and signatures so that demo code reads as ordinary Win32 code.
// Behind it: a window layer over SDL2 (real window, X11 global key state, modal message box) and a
// headless back end without a display for tests (see win_headless.h). Only the window module
// includes SDL.
//
// Input messages: the close button (WM_CLOSE), keys (WM_KEYDOWN, WM_KEYUP), the mouse's left
// button, movement and wheel (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_MOUSEWHEEL), and
// WM_PAINT when a part of the window has to be shown again (uncovered, resized).
//
// DOES NOT: offer wide-character ("W") variants, menus, painting (BeginPaint), timers, child
// windows, mouse capture, or anything our programs do not call.
//
// Conventions: ANSI strings are Windows-1250; paths accept '\' and '/' (a '\' may also belong to a
// Linux name) and, where the exact name does not exist, match each component case-insensitively.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef short SHORT;
typedef unsigned int UINT;
typedef int INT;
typedef float FLOAT;
typedef int32_t HRESULT;
typedef int errno_t;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef WORD ATOM;
typedef char CHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;

#define WINAPI
#define CALLBACK
#define APIENTRY

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct HWND__;
struct HINSTANCE__;
struct HICON__;
struct HCURSOR__;
struct HBRUSH__;
struct HMENU__;
typedef HWND__* HWND;
typedef HINSTANCE__* HINSTANCE;
typedef HICON__* HICON;
typedef HCURSOR__* HCURSOR;
typedef HBRUSH__* HBRUSH;
typedef HMENU__* HMENU;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<WORD>(i))))

// Messages
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_SIZE 0x0005
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_MOUSEWHEEL 0x020A

// Mouse messages: wParam carries the MK_ button and key state (WM_MOUSEWHEEL: in its low word, the
// wheel's turn in its high word, WHEEL_DELTA per notch, positive away from the user); lParam the
// pointer's position, x in the low and y in the high word, signed. The position is in client
// coordinates, except for WM_MOUSEWHEEL, whose position is in screen coordinates.
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010
#define WHEEL_DELTA 120

#define LOWORD(l) ((WORD)(((UINT_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((UINT_PTR)(l)) >> 16) & 0xffff))
#define MAKELPARAM(low, high) ((LPARAM)(DWORD)(((WORD)(low)) | (((DWORD)(WORD)(high)) << 16)))
#define MAKEWPARAM(low, high) ((WPARAM)(DWORD)(((WORD)(low)) | (((DWORD)(WORD)(high)) << 16)))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
#define GET_WHEEL_DELTA_WPARAM(wp) ((short)HIWORD(wp))
#define GET_KEYSTATE_WPARAM(wp) (LOWORD(wp))

// PeekMessage
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

// Class and window styles
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define WS_OVERLAPPED 0x00000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)

// ShowWindow
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5
#define SW_SHOWDEFAULT 10

#define COLOR_WINDOW 5
#define IDC_ARROW MAKEINTRESOURCEA(32512)

// Virtual keys
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20

// MessageBox
#define MB_OK 0x00000000L
#define MB_ICONEXCLAMATION 0x00000030L
#define IDOK 1

#define MAX_PATH 260

#define S_OK ((HRESULT)0)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

// Window class, window and message loop
ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc);
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL WINAPI ShowWindow(HWND window, int showCommand);
BOOL WINAPI DestroyWindow(HWND window);
BOOL WINAPI GetClientRect(HWND window, RECT* rect);
BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text);
// Grows a client rectangle to the window rectangle of `style`. Menus are not offered (FALSE).
BOOL WINAPI AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Blocks until input arrives that is not yet in the queue; returns at once when a message or a
// quit request is waiting already. Without a display (headless) it never blocks.
BOOL WINAPI WaitMessage();
BOOL WINAPI TranslateMessage(const MSG* msg);
LRESULT WINAPI DispatchMessageA(const MSG* msg);
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WINAPI PostQuitMessage(int exitCode);
SHORT WINAPI GetAsyncKeyState(int virtualKey);
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName);

// Process services and runtime library
errno_t _get_pgmptr(char** path);
BOOL WINAPI SetCurrentDirectoryA(LPCSTR path);
DWORD WINAPI GetLastError();  // the calling thread's code of the last failure of SetCurrentDirectoryA
errno_t strcpy_s(char* destination, size_t size, const char* source);

#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_GEN_FAILURE 31L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_DIRECTORY 267L

#ifndef EINVAL
#define EINVAL 22
#endif
#ifndef ERANGE
#define ERANGE 34
#endif

// Supplied by each program; the stand-in's main() calls it and exits with its result.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
