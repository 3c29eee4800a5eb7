// vec.h - the small vector and affine-transform maths of the model generator.
//
// Conventions: left-handed coordinates as Direct3D uses them (x right, y up, z away from the
// viewer); a transform maps a point p to linear * p + offset, written out as a row-vector matrix
// when it goes into a file.
#pragma once

#include <cmath>

namespace models {

struct vec2 {
    float u = 0.0f, v = 0.0f;
};

struct vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

inline vec3 operator+(vec3 a, vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline vec3 operator-(vec3 a, vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline vec3 operator-(vec3 a) { return {-a.x, -a.y, -a.z}; }
inline vec3 operator*(vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline vec3 operator*(float s, vec3 a) { return a * s; }
inline float dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline vec3 cross(vec3 a, vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float length(vec3 a) { return std::sqrt(dot(a, a)); }
inline vec3 lerp(vec3 a, vec3 b, float t) { return a + (b - a) * t; }
inline float& component(vec3& a, int axis) { return axis == 0 ? a.x : axis == 1 ? a.y : a.z; }
inline float component(const vec3& a, int axis) { return axis == 0 ? a.x : axis == 1 ? a.y : a.z; }

// a / |a|, or `fallback` when a is too short to have a direction.
inline vec3 normalize_or(vec3 a, vec3 fallback) {
    const float n = length(a);
    return n > 1e-12f ? a * (1.0f / n) : fallback;
}

// An affine map: the columns of `linear` are the images of the x, y and z axes.
struct affine_transform {
    vec3 ax{1, 0, 0}, ay{0, 1, 0}, az{0, 0, 1};
    vec3 offset{};

    vec3 point(vec3 p) const { return ax * p.x + ay * p.y + az * p.z + offset; }
    vec3 vector(vec3 d) const { return ax * d.x + ay * d.y + az * d.z; }
    // Normals go through the inverse transpose, which is the cofactor matrix up to a scale.
    vec3 normal(vec3 n) const {
        const vec3 cx = cross(ay, az), cy = cross(az, ax), cz = cross(ax, ay);
        const float sign = dot(ax, cx) < 0.0f ? -1.0f : 1.0f;
        return normalize_or((cx * n.x + cy * n.y + cz * n.z) * sign, n);
    }
};

inline affine_transform translation(vec3 offset) {
    affine_transform t;
    t.offset = offset;
    return t;
}

// Rotation by `angle` radians about the x, y or z axis, turning y towards z, z towards x and x
// towards y respectively (the same sense as D3DXMatrixRotationX/Y/Z).
inline affine_transform rotation_x(float angle) {
    affine_transform t;
    t.ay = {0, std::cos(angle), std::sin(angle)};
    t.az = {0, -std::sin(angle), std::cos(angle)};
    return t;
}
inline affine_transform rotation_y(float angle) {
    affine_transform t;
    t.ax = {std::cos(angle), 0, -std::sin(angle)};
    t.az = {std::sin(angle), 0, std::cos(angle)};
    return t;
}
inline affine_transform rotation_z(float angle) {
    affine_transform t;
    t.ax = {std::cos(angle), std::sin(angle), 0};
    t.ay = {-std::sin(angle), std::cos(angle), 0};
    return t;
}

// First `a`, then `b`.
inline affine_transform then(const affine_transform& a, const affine_transform& b) {
    affine_transform t;
    t.ax = b.vector(a.ax);
    t.ay = b.vector(a.ay);
    t.az = b.vector(a.az);
    t.offset = b.point(a.offset);
    return t;
}

constexpr float pi = 3.14159265358979f;

}  // namespace models
