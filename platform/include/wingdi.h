// wingdi.h - the part of the graphics device interface that window programs touch: colours, stock
// objects, solid brushes, and text output on a window's device context.
//
// Brushes are real objects (their colour is kept and erases the background); pens, fonts and
// palettes are handles that exist but draw nothing. Text output on a device context is not offered
// (the window's picture is the Direct3D device's): TextOut of non-empty text fails with
// ERROR_CALL_NOT_IMPLEMENTED.
#pragma once

#include <windef.h>

typedef DWORD COLORREF;
typedef DWORD* LPCOLORREF;

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

// GetStockObject
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define DEFAULT_PALETTE 15
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17
#define DC_BRUSH 18
#define DC_PEN 19

// SetBkMode
#define TRANSPARENT 1
#define OPAQUE 2

#define CLR_INVALID 0xFFFFFFFF

// A stock object (shared, never freed), or NULL with ERROR_INVALID_PARAMETER for an unknown index.
HGDIOBJ WINAPI GetStockObject(int object);
// A brush of one colour; free it with DeleteObject.
HBRUSH WINAPI CreateSolidBrush(COLORREF colour);
// Frees an object made by a Create function; stock objects are accepted and kept. FALSE for a
// handle that names no object.
BOOL WINAPI DeleteObject(HGDIOBJ object);
// The object selected before (device contexts keep no selection here: NULL).
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
// The previous colour or mode; CLR_INVALID / 0 for a null device context.
COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour);
COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour);
int WINAPI SetBkMode(HDC dc, int mode);
// Accepted and not drawn; FALSE for a null device context or text.
BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int length);

#ifdef UNICODE
#define TextOut TextOutW
#else
#define TextOut TextOutA
#endif
