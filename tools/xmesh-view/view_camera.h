// view_camera.h - the viewer's orbit around a model: turn and elevation in degrees, and a zoom
// factor on the distance that just fits the model (1).
//
// Conventions: the camera orbits; yaw turns it to the right around the model's vertical, pitch
// raises it above the model's centre (kept within +-89 degrees, so "up" stays defined).
#pragma once

struct view_camera {
    float yaw = 0.0f;
    float pitch = 0.0f;
    float zoom = 1.0f;  // distance factor: below 1 nearer, above 1 farther
    float start_yaw = 0.0f;
    float start_pitch = 0.0f;
};

constexpr float view_pitch_limit = 89.0f;
constexpr float view_zoom_min = 0.05f;
constexpr float view_zoom_max = 20.0f;

// A camera at the given angles (the ones R returns to), zoom 1.
view_camera view_camera_at(float yaw_degrees, float pitch_degrees);
void view_camera_reset(view_camera* camera);
// A drag of (dx, dy) pixels: right turns the model to the right, down tips its top towards the viewer.
void view_camera_drag(view_camera* camera, int dx, int dy);
// A wheel turn in WHEEL_DELTA units: away from the user zooms in.
void view_camera_wheel(view_camera* camera, int delta);
