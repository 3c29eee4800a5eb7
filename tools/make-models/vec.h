// vec.h - the small vector and affine-transform maths of the model generator.
//
// Conventions: left-handed coordinates as Direct3D uses them (x right, y up, z away from the
// viewer); a transform maps a point p to linear * p + offset, written out as a row-vector matrix
// when it goes into a file.
#pragma once

#include <cmath>

namespace models {

struct Vec2 {
    float u = 0.0f, v = 0.0f;
};

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(float s, Vec3 a) { return a * s; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 lerp(Vec3 a, Vec3 b, float t) { return a + (b - a) * t; }
inline float& component(Vec3& a, int axis) { return axis == 0 ? a.x : axis == 1 ? a.y : a.z; }
inline float component(const Vec3& a, int axis) { return axis == 0 ? a.x : axis == 1 ? a.y : a.z; }

// a / |a|, or `fallback` when a is too short to have a direction.
inline Vec3 normalize_or(Vec3 a, Vec3 fallback) {
    const float n = length(a);
    return n > 1e-12f ? a * (1.0f / n) : fallback;
}

// An affine map: the columns of `linear` are the images of the x, y and z axes.
struct Transform {
    Vec3 ax{1, 0, 0}, ay{0, 1, 0}, az{0, 0, 1};
    Vec3 offset{};

    Vec3 point(Vec3 p) const { return ax * p.x + ay * p.y + az * p.z + offset; }
    Vec3 vector(Vec3 d) const { return ax * d.x + ay * d.y + az * d.z; }
    // Normals go through the inverse transpose, which is the cofactor matrix up to a scale.
    Vec3 normal(Vec3 n) const {
        const Vec3 cx = cross(ay, az), cy = cross(az, ax), cz = cross(ax, ay);
        const float sign = dot(ax, cx) < 0.0f ? -1.0f : 1.0f;
        return normalize_or((cx * n.x + cy * n.y + cz * n.z) * sign, n);
    }
};

inline Transform translation(Vec3 offset) {
    Transform t;
    t.offset = offset;
    return t;
}

// Rotation by `angle` radians about the x, y or z axis, turning y towards z, z towards x and x
// towards y respectively (the same sense as D3DXMatrixRotationX/Y/Z).
inline Transform rotation_x(float angle) {
    Transform t;
    t.ay = {0, std::cos(angle), std::sin(angle)};
    t.az = {0, -std::sin(angle), std::cos(angle)};
    return t;
}
inline Transform rotation_y(float angle) {
    Transform t;
    t.ax = {std::cos(angle), 0, -std::sin(angle)};
    t.az = {std::sin(angle), 0, std::cos(angle)};
    return t;
}
inline Transform rotation_z(float angle) {
    Transform t;
    t.ax = {std::cos(angle), std::sin(angle), 0};
    t.ay = {-std::sin(angle), std::cos(angle), 0};
    return t;
}

// First `a`, then `b`.
inline Transform then(const Transform& a, const Transform& b) {
    Transform t;
    t.ax = b.vector(a.ax);
    t.ay = b.vector(a.ay);
    t.az = b.vector(a.az);
    t.offset = b.point(a.offset);
    return t;
}

constexpr float pi = 3.14159265358979f;

}  // namespace models
