// xmesh_view.cpp - xmesh-view: shows a DirectX .x model in a window, or renders models to PNG
// thumbnails without a display (usage and exit status in help_text).
//
// Every failure is one line on standard error, "xmesh-view: FILE: REASON". No exception leaves
// main.
#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "view_options.h"
#include "view_report.h"
#include "xmesh_tool_main.h"
#include "view_thumbnails.h"
#include "view_window.h"

namespace {

constexpr int exit_failed = 1;
constexpr int exit_usage = 2;

constexpr const char* help_text = R"(usage: xmesh-view [--size WxH] [--yaw DEG] [--pitch DEG] FILE.x
       xmesh-view --png OUT.png [--size WxH] [--yaw DEG] [--pitch DEG] FILE.x
       xmesh-view --png-dir DIR [--size WxH] [--yaw DEG] [--pitch DEG] FILE.x...
       xmesh-view --help | --version

Shows a DirectX .x model in a window, centred and scaled to fit, lit by one light.
  left button drag   orbit around the model        mouse wheel   zoom
  R                  back to the first view         Escape        quit

  --png OUT.png   draw one frame without a display and write it as a PNG
  --png-dir DIR   the same for each FILE, written to DIR/NAME.png (NAME without ".x")
  --size WxH      the window's client area (default 800x600) or the picture's size
                  (default 256x256); each side from 1 to 8192
  --yaw DEG       the camera's turn to the right around the model (default 30, -360..360)
  --pitch DEG     the camera's height above the model (default 20, -90..90)
  --              end of options (for file names that start with '-')

Textures are looked up as the model names them, relative to the model's folder; a name that
resolves to no file there (such as C:\skins\hull.bmp) is tried by its base name in the model's
folder and in its "textures" folder, ignoring case. Fallbacks used and textures not found are
said on standard error; such subsets are drawn untextured.

A PNG is written under its name only when it is complete: a model that fails leaves none.

Exit status: 0 success, 1 a model could not be loaded or shown, or a PNG not written (with
--png-dir: at least one), 2 usage error.
)";

int run(const view_options& options) {
    if (options.help || options.version) {
        if (options.help) std::fputs(help_text, stdout);
        if (options.version) std::printf("xmesh-view %s\n", XMESH_VIEW_VERSION);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : exit_failed;
    }
    return options.mode == view_mode::window ? view_run_window(options) : view_write_thumbnails(options);
}

}  // namespace

int main(int argc, char** argv) {
    const auto parse = [](int count, char** words, view_options* options, std::string* problem) {
        const bool ok = view_parse_options(count, words, options, problem);
        if (!ok) *problem = view_escaped(*problem);
        return ok;
    };
    return xmesh_tool_main<view_options>("xmesh-view", argc, argv, parse, run, exit_usage, exit_failed);
}
