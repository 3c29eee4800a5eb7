// view_camera.cpp - the orbit's reaction to the mouse; see view_camera.h.
#include "view_camera.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float degrees_per_pixel = 0.5f;
constexpr float zoom_per_notch = 0.85f;

// Keeps the turn within one revolution, so that long drags lose no precision.
float wrapped(float degrees) { return std::remainder(degrees, 360.0f); }

}  // namespace

view_camera view_camera_at(float yaw_degrees, float pitch_degrees) {
    view_camera camera;
    camera.start_yaw = wrapped(yaw_degrees);
    camera.start_pitch = std::clamp(pitch_degrees, -view_pitch_limit, view_pitch_limit);
    view_camera_reset(&camera);
    return camera;
}

void view_camera_reset(view_camera* camera) {
    camera->yaw = camera->start_yaw;
    camera->pitch = camera->start_pitch;
    camera->zoom = 1.0f;
}

void view_camera_drag(view_camera* camera, int dx, int dy) {
    camera->yaw = wrapped(camera->yaw - degrees_per_pixel * static_cast<float>(dx));
    camera->pitch =
        std::clamp(camera->pitch + degrees_per_pixel * static_cast<float>(dy), -view_pitch_limit, view_pitch_limit);
}

void view_camera_wheel(view_camera* camera, int delta) {
    const float notches = static_cast<float>(delta) / static_cast<float>(WHEEL_DELTA);
    camera->zoom = std::clamp(camera->zoom * std::pow(zoom_per_notch, notches), view_zoom_min, view_zoom_max);
}
