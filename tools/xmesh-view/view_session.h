// view_session.h - the window and the device the viewer draws with, in either mode.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <string>

struct view_session {
    HWND window = nullptr;
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    int width = 0;  // the back buffer's size
    int height = 0;
};

// Registers the viewer's window class with `procedure` and creates a hidden window with a client
// area of width x height titled `title` (Windows-1250). False with *reason when it cannot.
bool view_open_window(WNDPROC procedure, const std::string& title, int width, int height, view_session* session,
                      std::string* reason);
// Creates the device for the session's window with a back buffer of width x height, set up by
// view_setup_device. False with *reason when it cannot (the window stays).
bool view_open_device(int width, int height, view_session* session, std::string* reason);
// Releases the device (its buffers are freed once nothing else holds it, e.g. a mesh).
void view_close_device(view_session* session);
// Releases the device and destroys the window.
void view_close_session(view_session* session);

// The title for a model: "xmesh-view - NAME (12,345 triangles)", NAME being the file's name
// without its folder, in Windows-1250 as titles are (characters that code page lacks become '?').
std::string view_title(const std::string& path, unsigned long triangles);
