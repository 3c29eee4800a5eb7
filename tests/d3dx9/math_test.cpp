// D3DX maths against hand-computed reference values and the screen positions of the shapes scene.
#include <d3dx9.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float fov_y = 0.7853982f;
constexpr float aspect = 1.3333334f;

void expect_matrix_near(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance) {
    for (UINT i = 0; i < 4; ++i) {
        for (UINT j = 0; j < 4; ++j)
            EXPECT_NEAR(actual(i, j), expected(i, j), tolerance) << "element " << i + 1 << j + 1;
    }
}

D3DXVECTOR3 transform_point(const D3DXVECTOR3& p, const D3DXMATRIX& m) {
    return {p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41, p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
            p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43};
}

D3DXMATRIX scene_projection() {
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, fov_y, aspect, 1.0f, 100.0f);
    return projection;
}

D3DXMATRIX scene_view() {
    const D3DXVECTOR3 eye(0, 2, 7), at(0, -0.2f, 0), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    return view;
}

struct screen_point {
    float x, y, z, w;
};

// World -> view -> projection as row vectors, then the divide by w and the viewport of a
// width x height back buffer (MinZ 0, MaxZ 1).
screen_point to_screen(const D3DXVECTOR3& p, const D3DXMATRIX& world, float width, float height) {
    const D3DXMATRIX m = world * scene_view() * scene_projection();
    const float x = p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41;
    const float y = p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42;
    const float z = p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43;
    const float w = p.x * m._14 + p.y * m._24 + p.z * m._34 + m._44;
    return {(x / w + 1.0f) * width / 2.0f, (1.0f - y / w) * height / 2.0f, z / w, w};
}

// The shapes' world matrices at the first frame (group rotation = identity).
D3DXMATRIX shape_world(int turns_of_120_degrees) {
    D3DXMATRIX world, turn;
    D3DXMatrixTranslation(&world, 2.0f, 0.0f, 0.0f);
    D3DXMatrixRotationY(&turn, 2.0943952f);
    for (int k = 0; k < turns_of_120_degrees; ++k) D3DXMatrixMultiply(&world, &world, &turn);
    return world;
}

TEST(D3dxMath, ProjectionMatchesReference) {
    const D3DXMATRIX expected(1.8106600f, 0, 0, 0, 0, 2.4142134f, 0, 0, 0, 0, 1.0101010f, 1, 0, 0, -1.0101010f, 0);
    expect_matrix_near(scene_projection(), expected, 1e-6f);
}

TEST(D3dxMath, ViewMatchesReference) {
    const D3DXMATRIX expected(-1, 0, 0, 0, 0, 0.9539937f, -0.2998266f, 0, 0, -0.2998266f, -0.9539937f, 0, 0, 0.1907987f,
                              7.2776093f, 1);
    expect_matrix_near(scene_view(), expected, 1e-6f);
}

TEST(D3dxMath, ViewKeepsTheEyeAtTheOriginAndLooksDownPlusZ) {
    const D3DXMATRIX view = scene_view();
    const D3DXVECTOR3 eye = transform_point({0, 2, 7}, view);
    const D3DXVECTOR3 at = transform_point({0, -0.2f, 0}, view);
    EXPECT_NEAR(eye.x, 0.0f, 1e-6f);
    EXPECT_NEAR(eye.y, 0.0f, 1e-6f);
    EXPECT_NEAR(eye.z, 0.0f, 1e-6f);
    EXPECT_NEAR(at.x, 0.0f, 1e-6f);
    EXPECT_NEAR(at.y, 0.0f, 1e-6f);
    EXPECT_NEAR(at.z, std::sqrt(2.2f * 2.2f + 49.0f), 1e-5f);
}

TEST(D3dxMath, ShapeCentresLandWhereTheSceneExpects) {
    const screen_point box = to_screen({0, 0, 0}, shape_world(0), 624, 441);
    EXPECT_NEAR(box.x, 156.75f, 0.006f);
    EXPECT_NEAR(box.y, 206.54f, 0.006f);
    EXPECT_NEAR(box.w, 7.278f, 0.0006f);
    EXPECT_NEAR(box.z, 0.87131f, 0.000006f);
    EXPECT_EQ(std::lround(box.z * 65535.0f), 57101);

    const screen_point torus = to_screen({0, 0, 0}, shape_world(1), 624, 441);
    EXPECT_NEAR(torus.x, 375.26f, 0.006f);
    EXPECT_NEAR(torus.y, 178.17f, 0.006f);
    EXPECT_NEAR(torus.w, 8.930f, 0.0006f);

    const screen_point teapot = to_screen({0, 0, 0}, shape_world(2), 624, 441);
    EXPECT_NEAR(teapot.x, 412.43f, 0.006f);
    EXPECT_NEAR(teapot.y, 251.59f, 0.006f);
    EXPECT_NEAR(teapot.w, 5.625f, 0.0006f);

    const screen_point box_640 = to_screen({0, 0, 0}, shape_world(0), 640, 480);
    EXPECT_NEAR(box_640.x, 160.77f, 0.006f);
    EXPECT_NEAR(box_640.y, 224.81f, 0.006f);
}

TEST(D3dxMath, RotationYTurnsPlusXTowardsMinusZ) {
    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, 2.0943952f);
    const D3DXVECTOR3 p = transform_point({2, 0, 0}, turn);
    EXPECT_NEAR(p.x, 2.0f * std::cos(2.0943952f), 1e-6f);
    EXPECT_NEAR(p.y, 0.0f, 1e-6f);
    EXPECT_NEAR(p.z, -2.0f * std::sin(2.0943952f), 1e-6f);
    EXPECT_NEAR(p.z, -1.7320508f, 1e-6f);
}

TEST(D3dxMath, RotationXTurnsPlusYTowardsPlusZ) {
    D3DXMATRIX turn;
    D3DXMatrixRotationX(&turn, D3DX_PI / 2);
    const D3DXVECTOR3 p = transform_point({0, 1, 0}, turn);
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.y, 0.0f, 1e-6f);
    EXPECT_NEAR(p.z, 1.0f, 1e-6f);
}

TEST(D3dxMath, MultiplyAppliesTheLeftMatrixFirst) {
    D3DXMATRIX move, turn, move_then_turn, turn_then_move;
    D3DXMatrixTranslation(&move, 2, 0, 0);
    D3DXMatrixRotationY(&turn, D3DX_PI / 2);
    D3DXMatrixMultiply(&move_then_turn, &move, &turn);
    D3DXMatrixMultiply(&turn_then_move, &turn, &move);
    const D3DXVECTOR3 a = transform_point({0, 0, 0}, move_then_turn);
    EXPECT_NEAR(a.x, 0.0f, 1e-6f);
    EXPECT_NEAR(a.z, -2.0f, 1e-6f);
    const D3DXVECTOR3 b = transform_point({0, 0, 0}, turn_then_move);
    EXPECT_NEAR(b.x, 2.0f, 1e-6f);
    EXPECT_NEAR(b.z, 0.0f, 1e-6f);
    expect_matrix_near(move * turn, move_then_turn, 0.0f);
}

TEST(D3dxMath, MultiplyMayWriteOverEitherInput) {
    D3DXMATRIX a, b, expected;
    D3DXMatrixRotationX(&a, 0.3f);
    D3DXMatrixTranslation(&b, 1, 2, 3);
    b._12 = 0.5f;
    D3DXMatrixMultiply(&expected, &a, &b);

    D3DXMATRIX left = a;
    EXPECT_EQ(D3DXMatrixMultiply(&left, &left, &b), &left);
    expect_matrix_near(left, expected, 0.0f);

    D3DXMATRIX right = b;
    D3DXMatrixMultiply(&right, &a, &right);
    expect_matrix_near(right, expected, 0.0f);

    D3DXMATRIX square = a, square_expected;
    D3DXMatrixMultiply(&square_expected, &a, &a);
    D3DXMatrixMultiply(&square, &square, &square);
    expect_matrix_near(square, square_expected, 0.0f);
}

TEST(D3dxMath, IdentityAndTranslation) {
    D3DXMATRIX identity, move;
    D3DXMatrixIdentity(&identity);
    D3DXMatrixTranslation(&move, 1, -2, 3);
    const D3DXVECTOR3 p = transform_point({0.5f, 0.25f, -4}, identity * move);
    EXPECT_FLOAT_EQ(p.x, 1.5f);
    EXPECT_FLOAT_EQ(p.y, -1.75f);
    EXPECT_FLOAT_EQ(p.z, -1.0f);
}

}  // namespace
