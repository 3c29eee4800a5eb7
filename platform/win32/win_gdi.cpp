// win_gdi.cpp - GDI objects: stock objects, solid brushes, system colours, and text output that
// is accepted and not drawn.
//
// Objects are records of their kind; DeleteObject frees what a Create function made, accepts
// stock objects (they stay), and refuses handles that name no object. Light grey is (240, 240,
// 240), the face colour of current desktop themes; the other system colours are those themes'
// defaults.
#include <windows.h>

#include "platform/win32/win_gdi.h"

#include <array>
#include <memory>
#include <vector>

namespace {

enum class object_kind { brush, pen, font, palette };

struct gdi_object {
    object_kind kind;
    bool stock;
    bool has_colour;  // false for the null brush and pen
    COLORREF colour;
};

const int stock_count = 20;

std::array<gdi_object, stock_count>& stock() {
    static std::array<gdi_object, stock_count> objects{{
        {object_kind::brush, true, true, RGB(255, 255, 255)},  // WHITE_BRUSH
        {object_kind::brush, true, true, RGB(192, 192, 192)},  // LTGRAY_BRUSH
        {object_kind::brush, true, true, RGB(128, 128, 128)},  // GRAY_BRUSH
        {object_kind::brush, true, true, RGB(64, 64, 64)},     // DKGRAY_BRUSH
        {object_kind::brush, true, true, RGB(0, 0, 0)},        // BLACK_BRUSH
        {object_kind::brush, true, false, 0},                  // NULL_BRUSH
        {object_kind::pen, true, true, RGB(255, 255, 255)},    // WHITE_PEN
        {object_kind::pen, true, true, RGB(0, 0, 0)},          // BLACK_PEN
        {object_kind::pen, true, false, 0},                    // NULL_PEN
        {object_kind::pen, true, false, 0},                    // 9: not a stock object
        {object_kind::font, true, false, 0},                   // OEM_FIXED_FONT
        {object_kind::font, true, false, 0},                   // ANSI_FIXED_FONT
        {object_kind::font, true, false, 0},                   // ANSI_VAR_FONT
        {object_kind::font, true, false, 0},                   // SYSTEM_FONT
        {object_kind::font, true, false, 0},                   // DEVICE_DEFAULT_FONT
        {object_kind::palette, true, false, 0},                // DEFAULT_PALETTE
        {object_kind::font, true, false, 0},                   // SYSTEM_FIXED_FONT
        {object_kind::font, true, false, 0},                   // DEFAULT_GUI_FONT
        {object_kind::brush, true, true, RGB(255, 255, 255)},  // DC_BRUSH
        {object_kind::pen, true, true, RGB(0, 0, 0)},          // DC_PEN
    }};
    return objects;
}

std::vector<std::unique_ptr<gdi_object>>& created() {
    static std::vector<std::unique_ptr<gdi_object>>& objects = *new std::vector<std::unique_ptr<gdi_object>>;
    return objects;
}

const gdi_object* find(const void* handle) {
    for (const gdi_object& object : stock()) {
        if (&object == handle) return &object;
    }
    for (const auto& object : created()) {
        if (object.get() == handle) return object.get();
    }
    return nullptr;
}

// System colours (COLOR_x) of current themes; the menu and face colours are light grey.
COLORREF system_colour(uintptr_t index) {
    switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_MENUTEXT: return RGB(0, 0, 0);
    case COLOR_BACKGROUND: return RGB(0, 0, 0);
    case COLOR_ACTIVECAPTION: return RGB(153, 180, 209);
    case COLOR_INACTIVECAPTION: return RGB(191, 205, 219);
    case COLOR_WINDOWFRAME: return RGB(100, 100, 100);
    default: return RGB(240, 240, 240);
    }
}

}  // namespace

bool win_brush_colour(HBRUSH brush, COLORREF* colour) {
    const auto value = reinterpret_cast<uintptr_t>(brush);
    if (value == 0) return false;
    if (value <= 31) {
        *colour = system_colour(value - 1);
        return true;
    }
    const gdi_object* object = find(brush);
    if (object == nullptr || object->kind != object_kind::brush || !object->has_colour) return false;
    *colour = object->colour;
    return true;
}

HGDIOBJ WINAPI GetStockObject(int index) {
    if (index < 0 || index >= stock_count || index == 9) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return reinterpret_cast<HGDIOBJ>(&stock()[static_cast<size_t>(index)]);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF colour) {
    created().push_back(std::make_unique<gdi_object>(gdi_object{object_kind::brush, false, true, colour & 0xFFFFFFu}));
    return reinterpret_cast<HBRUSH>(created().back().get());
}

BOOL WINAPI DeleteObject(HGDIOBJ handle) {
    const gdi_object* object = find(handle);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (object->stock) return TRUE;
    auto& objects = created();
    for (auto it = objects.begin(); it != objects.end(); ++it) {
        if (it->get() == object) {
            objects.erase(it);
            break;
        }
    }
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    if (win_window_of_dc(dc) == nullptr || find(object) == nullptr) SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

namespace {

struct dc_text_state {
    COLORREF text = RGB(0, 0, 0);
    COLORREF background = RGB(255, 255, 255);
    int mode = OPAQUE;
};

dc_text_state& text_state() {
    static dc_text_state state;
    return state;
}

}  // namespace

COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour) {
    if (win_window_of_dc(dc) == nullptr) return CLR_INVALID;
    const COLORREF previous = text_state().text;
    text_state().text = colour;
    return previous;
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour) {
    if (win_window_of_dc(dc) == nullptr) return CLR_INVALID;
    const COLORREF previous = text_state().background;
    text_state().background = colour;
    return previous;
}

int WINAPI SetBkMode(HDC dc, int mode) {
    if (win_window_of_dc(dc) == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int previous = text_state().mode;
    text_state().mode = mode;
    return previous;
}

// Drawing text on a window's device context is not offered (the window's picture is the Direct3D
// device's): non-empty text fails with ERROR_CALL_NOT_IMPLEMENTED, as nothing was drawn.
static BOOL text_not_drawn() {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

BOOL WINAPI TextOutA(HDC dc, int, int, LPCSTR text, int length) {
    if (win_window_of_dc(dc) == nullptr || (text == nullptr && length > 0) || length < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return length == 0 ? TRUE : text_not_drawn();
}

BOOL WINAPI TextOutW(HDC dc, int, int, LPCWSTR text, int length) {
    if (win_window_of_dc(dc) == nullptr || (text == nullptr && length > 0) || length < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return length == 0 ? TRUE : text_not_drawn();
}

// GDI's DrawText: as TextOut, a count of -1 meaning NUL-terminated; 0 for failure.
template <class Char>
static int draw_text_not_drawn(HDC dc, const Char* text, int count, LPRECT rect) {
    if (win_window_of_dc(dc) == nullptr || text == nullptr || rect == nullptr || count < -1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (count == 0 || (count == -1 && text[0] == 0)) return 0;
    text_not_drawn();
    return 0;
}

int WINAPI DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT) {
    return draw_text_not_drawn(dc, text, count, rect);
}

int WINAPI DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT) {
    return draw_text_not_drawn(dc, text, count, rect);
}
