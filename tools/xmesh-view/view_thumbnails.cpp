// view_thumbnails.cpp - headless thumbnails; see view_thumbnails.h.
//
// One headless window serves every file; each model gets a device of its own, is loaded, drawn
// once and presented (the headless back end keeps the frame), and the device and model are
// released before the picture is encoded: at the largest sizes the frame and depth buffers and the
// encoder's buffers would otherwise all be held at once.
#include "view_thumbnails.h"

#include "platform/base/ascii_case.h"
#include "platform/win32/win_headless.h"
#include "platform/win32/win_png.h"
#include "view_model.h"
#include "view_report.h"
#include "view_session.h"

#include <sys/stat.h>

#include <new>
#include <set>

namespace {

LRESULT CALLBACK thumbnail_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Draws one model on a device of its own into the headless back end's last frame; false with
// *reason when it cannot. The device and the model are gone on return, so that writing the
// picture does not have to share memory with the frame and depth buffers.
bool draw_thumbnail(view_session& session, const view_camera& camera, const std::string& model_path, int width,
                    int height, std::string* reason) {
    if (!view_open_device(width, height, &session, reason)) return false;
    view_model model;
    bool drawn = view_load_model(session.device, model_path, &model, reason);
    if (drawn && model.triangles == 0) {
        *reason = "the model has no triangles to draw";
        drawn = false;
    }
    if (drawn) {
        view_draw(session.device, model, camera, width, height);
        drawn = session.device->Present(nullptr, nullptr, nullptr, nullptr) == D3D_OK;
        if (!drawn) *reason = "the picture could not be presented";
    }
    view_release_model(&model);
    view_close_device(&session);
    return drawn;
}

// Draws and writes one model; false when it was reported as failed.
bool write_thumbnail(view_session& session, const view_camera& camera, const std::string& model_path,
                     const std::string& png_path, int width, int height) {
    std::string reason;
    if (!draw_thumbnail(session, camera, model_path, width, height, &reason)) {
        view_report(model_path, reason);
        return false;
    }
    const win_headless_frame& frame = win_headless_last_frame();
    bool written = false;
    try {
        written = win_write_png(png_path, frame.pixels.data(), frame.width, frame.height, frame.width, &reason);
    } catch (const std::bad_alloc&) {
        reason = "out of memory";
    }
    if (!written) view_report(model_path, view_escaped(png_path) + ": " + reason);
    return written;
}

bool usable_folder(const std::string& folder) {
    struct stat info;
    if (::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
    view_report(folder, "not a folder (--png-dir)");
    return false;
}

}  // namespace

std::string view_thumbnail_path(const std::string& folder, const std::string& model_path) {
    const size_t slash = model_path.find_last_of('/');
    std::string name = slash == std::string::npos ? model_path : model_path.substr(slash + 1);
    if (name.size() > 2 && ascii_equal_ignoring_case(std::string_view(name).substr(name.size() - 2), ".x")) {
        name.resize(name.size() - 2);
    }
    return (folder.back() == '/' ? folder : folder + "/") + name + ".png";
}

int view_write_thumbnails(const view_options& options) {
    if (options.mode == view_mode::png_folder && !usable_folder(options.output)) return 1;
    win_headless_enable();
    const int width = options.width > 0 ? options.width : view_thumbnail_side;
    const int height = options.height > 0 ? options.height : view_thumbnail_side;
    view_session session;
    std::string reason;
    if (!view_open_window(thumbnail_procedure, "xmesh-view", width, height, &session, &reason)) {
        view_report(reason);
        return 1;
    }
    const view_camera camera = view_camera_at(options.yaw_degrees, options.pitch_degrees);
    int status = 0;
    std::set<std::string> outputs;
    for (const std::string& file : options.files) {
        const std::string png =
            options.mode == view_mode::png ? options.output : view_thumbnail_path(options.output, file);
        if (!outputs.insert(png).second) {
            view_report(file, view_escaped(png) + " is written for another model already");
            status = 1;
        } else if (!write_thumbnail(session, camera, file, png, width, height)) {
            status = 1;
        }
    }
    view_close_session(&session);
    return status;
}
