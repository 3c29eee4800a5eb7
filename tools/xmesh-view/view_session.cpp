// view_session.cpp - the viewer's window class, window and device; see view_session.h.
#include "view_session.h"

#include "platform/win32/win_cp1250.h"
#include "view_model.h"

namespace {

const char* const window_class_name = "xmesh-view";

// The module handle of the program: only its identity matters to the window layer.
char module_marker;

HINSTANCE this_instance() { return reinterpret_cast<HINSTANCE>(&module_marker); }

bool register_class(WNDPROC procedure) {
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof(WNDCLASSEXA);
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = this_instance();
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_WINDOW));
    window_class.lpszClassName = window_class_name;
    return RegisterClassExA(&window_class) != 0;
}

// The Windows-1250 form of a UTF-8 name: characters the code page has become its byte; control
// characters, characters it lacks and bytes that are not UTF-8 become '?'.
std::string cp1250_of(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 0;
        char byte = '?';
        if (length == 1 && lead >= 0x20 && lead != 0x7F) byte = static_cast<char>(lead);
        for (int code = 0x80; length > 1 && code <= 0xFF && byte == '?'; ++code) {
            const char single[2] = {static_cast<char>(code), '\0'};
            if (utf8.compare(i, length, win_cp1250_to_utf8(single)) == 0) byte = static_cast<char>(code);
        }
        out += byte;
        i += length > 0 && i + length <= utf8.size() ? length : 1;
    }
    return out;
}

std::string with_thousands(unsigned long number) {
    const std::string digits = std::to_string(number);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace

bool view_open_window(WNDPROC procedure, const std::string& title, int width, int height, view_session* session,
                      std::string* reason) {
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    if (!register_class(procedure) ||
        (session->window = CreateWindowExA(0, window_class_name, title.c_str(), WS_OVERLAPPEDWINDOW, 100, 100,
                                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                           this_instance(), nullptr)) == nullptr) {
        *reason = "the window could not be opened";
        return false;
    }
    return true;
}

bool view_open_device(int width, int height, view_session* session, std::string* reason) {
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = static_cast<UINT>(width);
    parameters.BackBufferHeight = static_cast<UINT>(height);
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = session->window;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    if (session->direct3d == nullptr) session->direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (session->direct3d == nullptr ||
        session->direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, session->window,
                                        D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &session->device) != D3D_OK) {
        *reason =
            "the Direct3D device could not be created (" + std::to_string(width) + "x" + std::to_string(height) + ")";
        session->device = nullptr;
        return false;
    }
    session->width = width;
    session->height = height;
    view_setup_device(session->device);
    return true;
}

void view_close_device(view_session* session) {
    if (session->device != nullptr) session->device->Release();
    session->device = nullptr;
}

void view_close_session(view_session* session) {
    view_close_device(session);
    if (session->direct3d != nullptr) session->direct3d->Release();
    if (session->window != nullptr) DestroyWindow(session->window);
    *session = view_session{};
}

std::string view_title(const std::string& path, unsigned long triangles) {
    const size_t slash = path.find_last_of('/');
    const std::string name = cp1250_of(slash == std::string::npos ? path : path.substr(slash + 1));
    return "xmesh-view - " + name + " (" + with_thousands(triangles) + (triangles == 1 ? " triangle)" : " triangles)");
}
