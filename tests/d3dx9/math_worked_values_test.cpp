// D3DX maths against worked values (double-precision references, compared to 1e-5, relative
// beyond 1): products and
// their order, inverse, rotations, view and projection matrices of both handednesses, shadow,
// reflection, decomposition, vectors, quaternions, planes, colours and half floats.
#include <d3dx9.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr float tolerance = 1e-5f;
constexpr float pi = 3.14159265358979f;

void expect_near(const float* actual, const std::vector<float>& expected, const char* what) {
    int i = 0;
    for (float e : expected) {
        EXPECT_NEAR(actual[i], e, tolerance * std::max(1.0f, std::fabs(e))) << what << ", component " << i;
        ++i;
    }
}

D3DXMATRIX make(D3DXMATRIX* (*build)(D3DXMATRIX*, float), float angle) {
    D3DXMATRIX m;
    build(&m, angle);
    return m;
}

D3DXMATRIX translation(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

struct matrix_case {
    const char* name;
    std::function<D3DXMATRIX()> build;
    std::vector<float> expected;  // 16 values, row by row
};

TEST(D3dxMathWorked, MatricesMatchTheirReferences) {
    const D3DXVECTOR3 origin(0, 0, 0), y_up(0, 1, 0);
    const matrix_case cases[] = {
        {"RotationX(pi/2) * Translation(1,2,3)",
         [] { return make(D3DXMatrixRotationX, pi / 2) * translation(1, 2, 3); },
         {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 1, 2, 3, 1}},
        {"RotationZ(pi/2)", [] { return make(D3DXMatrixRotationZ, pi / 2); },
         {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"YawPitchRoll(0.1, 0.2, 0.3)",
         [] {
             D3DXMATRIX m;
             return *D3DXMatrixRotationYawPitchRoll(&m, 0.1f, 0.2f, 0.3f);
         },
         {0.956425f, 0.289629f, -0.036957f, 0, -0.275096f, 0.936293f, 0.218351f, 0, 0.097843f, -0.198669f, 0.975170f,
          0, 0, 0, 0, 1}},
        {"RotationAxis((1,1,0), pi/3)",
         [] {
             const D3DXVECTOR3 axis(1, 1, 0);
             D3DXMATRIX m;
             return *D3DXMatrixRotationAxis(&m, &axis, pi / 3);
         },
         {0.75f, 0.25f, -0.612372f, 0, 0.25f, 0.75f, 0.612372f, 0, 0.612372f, -0.612372f, 0.5f, 0, 0, 0, 0, 1}},
        {"RotationAxis(zero axis) is the identity",
         [] {
             const D3DXVECTOR3 axis(0, 0, 0);
             D3DXMATRIX m;
             return *D3DXMatrixRotationAxis(&m, &axis, 1.0f);
         },
         {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"LookAtLH((3,4,-5), (0,1,0), y)",
         [] {
             const D3DXVECTOR3 eye(3, 4, -5), at(0, 1, 0), up(0, 1, 0);
             D3DXMATRIX m;
             return *D3DXMatrixLookAtLH(&m, &eye, &at, &up);
         },
         {0.857493f, -0.235380f, -0.457496f, 0, 0, 0.889212f, -0.457496f, 0, 0.514496f, 0.392299f, 0.762493f, 0, 0,
          -0.889212f, 7.014934f, 1}},
        {"LookAtLH((0,0,-5), 0, y)",
         [&] {
             const D3DXVECTOR3 eye(0, 0, -5);
             D3DXMATRIX m;
             return *D3DXMatrixLookAtLH(&m, &eye, &origin, &y_up);
         },
         {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1}},
        {"LookAtRH((0,0,5), 0, y)",
         [&] {
             const D3DXVECTOR3 eye(0, 0, 5);
             D3DXMATRIX m;
             return *D3DXMatrixLookAtRH(&m, &eye, &origin, &y_up);
         },
         {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -5, 1}},
        {"PerspectiveFovLH(pi/4, 4/3, 1, 100)",
         [] {
             D3DXMATRIX m;
             return *D3DXMatrixPerspectiveFovLH(&m, pi / 4, 4.0f / 3.0f, 1, 100);
         },
         {1.810660f, 0, 0, 0, 0, 2.414214f, 0, 0, 0, 0, 1.010101f, 1, 0, 0, -1.010101f, 0}},
        {"PerspectiveFovRH(pi/4, 4/3, 1, 100)",
         [] {
             D3DXMATRIX m;
             return *D3DXMatrixPerspectiveFovRH(&m, pi / 4, 4.0f / 3.0f, 1, 100);
         },
         {1.810660f, 0, 0, 0, 0, 2.414214f, 0, 0, 0, 0, -1.010101f, -1, 0, 0, -1.010101f, 0}},
        {"PerspectiveLH(2, 1.5, 1, 10)",
         [] {
             D3DXMATRIX m;
             return *D3DXMatrixPerspectiveLH(&m, 2, 1.5f, 1, 10);
         },
         {1, 0, 0, 0, 0, 1.333333f, 0, 0, 0, 0, 1.111111f, 1, 0, 0, -1.111111f, 0}},
        {"PerspectiveRH(2, 1.5, 1, 10)",
         [] {
             D3DXMATRIX m;
             return *D3DXMatrixPerspectiveRH(&m, 2, 1.5f, 1, 10);
         },
         {1, 0, 0, 0, 0, 1.333333f, 0, 0, 0, 0, -1.111111f, -1, 0, 0, -1.111111f, 0}},
        {"PerspectiveOffCenterLH(-1, 1, -0.75, 0.75, 1, 10) = PerspectiveLH(2, 1.5, 1, 10)",
         [] {
             D3DXMATRIX m;
             return *D3DXMatrixPerspectiveOffCenterLH(&m, -1, 1, -0.75f, 0.75f, 1, 10);
         },
         {1, 0, 0, 0, 0, 1.333333f, 0, 0, 0, 0, 1.111111f, 1, 0, 0, -1.111111f, 0}},
        {"PerspectiveOffCenterRH(0, 2, 0, 1, 1, 3)",
         [] {
             D3DXMATRIX m;
             return *D3DXMatrixPerspectiveOffCenterRH(&m, 0, 2, 0, 1, 1, 3);
         },
         {1, 0, 0, 0, 0, 2, 0, 0, 1, 1, -1.5f, -1, 0, 0, -1.5f, 0}},
        {"OrthoLH(800, 600, 0, 1)",
         [] {
             D3DXMATRIX m;
             return *D3DXMatrixOrthoLH(&m, 800, 600, 0, 1);
         },
         {0.0025f, 0, 0, 0, 0, 0.0033333f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"OrthoRH(800, 600, 1, 3)",
         [] {
             D3DXMATRIX m;
             return *D3DXMatrixOrthoRH(&m, 800, 600, 1, 3);
         },
         {0.0025f, 0, 0, 0, 0, 0.0033333f, 0, 0, 0, 0, -0.5f, 0, 0, 0, -0.5f, 1}},
        {"OrthoOffCenterLH(0, 800, 600, 0, 0, 1): y down",
         [] {
             D3DXMATRIX m;
             return *D3DXMatrixOrthoOffCenterLH(&m, 0, 800, 600, 0, 0, 1);
         },
         {0.0025f, 0, 0, 0, 0, -0.0033333f, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1}},
        {"OrthoOffCenterRH(0, 800, 600, 0, 1, 3)",
         [] {
             D3DXMATRIX m;
             return *D3DXMatrixOrthoOffCenterRH(&m, 0, 800, 600, 0, 1, 3);
         },
         {0.0025f, 0, 0, 0, 0, -0.0033333f, 0, 0, 0, 0, -0.5f, 0, -1, 1, -0.5f, 1}},
        {"Shadow of a point light (0,4,0,1) on y = 0",
         [] {
             const D3DXVECTOR4 light(0, 4, 0, 1);
             const D3DXPLANE plane(0, 1, 0, 0);
             D3DXMATRIX m;
             return *D3DXMatrixShadow(&m, &light, &plane);
         },
         {4, 0, 0, 0, 0, 0, 0, -1, 0, 0, 4, 0, 0, 0, 0, 4}},
        {"Shadow of a directional light (1,1,0,0) on y = 0",
         [] {
             const D3DXVECTOR4 light(1, 1, 0, 0);
             const D3DXPLANE plane(0, 1, 0, 0);
             D3DXMATRIX m;
             return *D3DXMatrixShadow(&m, &light, &plane);
         },
         {1, 0, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"Reflect about y = 0 (plane not normalised)",
         [] {
             const D3DXPLANE plane(0, 2, 0, 0);
             D3DXMATRIX m;
             return *D3DXMatrixReflect(&m, &plane);
         },
         {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"Reflect about y = 1",
         [] {
             const D3DXPLANE plane(0, 1, 0, -1);
             D3DXMATRIX m;
             return *D3DXMatrixReflect(&m, &plane);
         },
         {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 2, 0, 1}},
        {"MultiplyTranspose",
         [] {
             D3DXMATRIX m;
             const D3DXMATRIX a = make(D3DXMatrixRotationX, pi / 2), b = translation(1, 2, 3);
             return *D3DXMatrixMultiplyTranspose(&m, &a, &b);
         },
         {1, 0, 0, 1, 0, 0, -1, 2, 0, 1, 0, 3, 0, 0, 0, 1}},
        {"Quaternion product matrix = RotationX(pi/2) * RotationY(pi/2)",
         [] {
             const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
             D3DXQUATERNION qx, qy, q;
             D3DXQuaternionRotationAxis(&qx, &x, pi / 2);
             D3DXQuaternionRotationAxis(&qy, &y, pi / 2);
             D3DXMATRIX m;
             return *D3DXMatrixRotationQuaternion(&m, D3DXQuaternionMultiply(&q, &qx, &qy));
         },
         {0, 0, -1, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 1}},
        {"Quaternion YawPitchRoll matrix = the matrix function's",
         [] {
             D3DXQUATERNION q;
             D3DXMATRIX m;
             return *D3DXMatrixRotationQuaternion(&m, D3DXQuaternionRotationYawPitchRoll(&q, 0.1f, 0.2f, 0.3f));
         },
         {0.956425f, 0.289629f, -0.036957f, 0, -0.275096f, 0.936293f, 0.218351f, 0, 0.097843f, -0.198669f, 0.975170f,
          0, 0, 0, 0, 1}},
    };
    for (const matrix_case& c : cases) expect_near(c.build(), c.expected, c.name);
}

// The left operand applies first: (0,1,0,1) goes y -> z, then moves.
TEST(D3dxMathWorked, ProductOrderAppliesTheLeftOperandFirst) {
    const D3DXVECTOR4 p(0, 1, 0, 1);
    D3DXVECTOR4 out;
    const D3DXMATRIX rotate_then_move = make(D3DXMatrixRotationX, pi / 2) * translation(1, 2, 3);
    expect_near(*D3DXVec4Transform(&out, &p, &rotate_then_move), {1, 2, 4, 1}, "rotate then move");
    const D3DXMATRIX move_then_rotate = translation(1, 2, 3) * make(D3DXMatrixRotationX, pi / 2);
    expect_near(*D3DXVec4Transform(&out, &p, &move_then_rotate), {1, -3, 3, 1}, "move then rotate");
}

TEST(D3dxMathWorked, InverseAndDeterminant) {
    const D3DXMATRIX a(2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 8, 0, 1, 2, 3, 1);
    D3DXMATRIX inverse;
    float determinant = 0;
    ASSERT_EQ(D3DXMatrixInverse(&inverse, &determinant, &a), &inverse);
    EXPECT_FLOAT_EQ(determinant, 64.0f);
    EXPECT_FLOAT_EQ(D3DXMatrixDeterminant(&a), 64.0f);
    expect_near(inverse, {0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.125f, 0, -0.5f, -0.5f, -0.375f, 1}, "inverse");

    // A general matrix times its inverse, computed in place.
    D3DXMATRIX m(1, 2, 0, 1, 0, 1, 3, 0, 2, 0, 1, 4, 1, 1, 1, 1), original = m, product;
    ASSERT_EQ(D3DXMatrixInverse(&m, nullptr, &m), &m);
    expect_near(*D3DXMatrixMultiply(&product, &original, &m), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
                "M * M^-1");
}

TEST(D3dxMathWorked, SingularInverseReturnsNullAndLeavesTheOutput) {
    const D3DXMATRIX singular_cases[] = {
        D3DXMATRIX(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
        D3DXMATRIX(1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1),  // two proportional rows
    };
    for (const D3DXMATRIX& singular : singular_cases) {
        D3DXMATRIX out = translation(7, 8, 9);
        float determinant = 1.0f;
        EXPECT_EQ(D3DXMatrixInverse(&out, &determinant, &singular), nullptr);
        EXPECT_EQ(determinant, 0.0f);
        EXPECT_TRUE(out == translation(7, 8, 9));
    }
}

TEST(D3dxMathWorked, DecomposeAndAffineTransformation) {
    D3DXMATRIX s, rz;
    D3DXMatrixScaling(&s, 2, 3, 4);
    D3DXMatrixRotationZ(&rz, pi / 2);
    const D3DXMATRIX m = s * rz * translation(1, 2, 3);
    D3DXVECTOR3 scale, move;
    D3DXQUATERNION rotation;
    ASSERT_EQ(D3DXMatrixDecompose(&scale, &rotation, &move, &m), D3D_OK);
    expect_near(scale, {2, 3, 4}, "scale");
    expect_near(rotation, {0, 0, 0.707107f, 0.707107f}, "rotation");
    expect_near(move, {1, 2, 3}, "translation");

    D3DXMATRIX mirror;
    D3DXMatrixScaling(&mirror, 1, 1, -1);
    ASSERT_EQ(D3DXMatrixDecompose(&scale, &rotation, &move, &mirror), D3D_OK);
    D3DXMATRIX back;
    D3DXMatrixRotationQuaternion(&back, &rotation);
    EXPECT_LT(scale.x * scale.y * scale.z, 0.0f);
    EXPECT_GT(D3DXMatrixDeterminant(&back), 0.0f);  // a proper rotation remains

    D3DXMatrixScaling(&s, 1, 0, 1);
    EXPECT_EQ(D3DXMatrixDecompose(&scale, &rotation, &move, &s), D3DERR_INVALIDCALL);

    const D3DXVECTOR3 centre(1, 0, 0), shift(0, 0, 5), z(0, 0, 1), p(1, 0, 0);
    D3DXQUATERNION q;
    D3DXQuaternionRotationAxis(&q, &z, pi / 2);
    D3DXMATRIX affine;
    D3DXMatrixAffineTransformation(&affine, 2, &centre, &q, &shift);
    D3DXVECTOR3 out;
    expect_near(*D3DXVec3TransformCoord(&out, &p, &affine), {1, 1, 5}, "affine");
    // Transformation with only scaling, rotation and translation agrees with the affine form.
    const D3DXVECTOR3 two(2, 2, 2);
    D3DXMATRIX general;
    D3DXMatrixTransformation(&general, nullptr, nullptr, &two, &centre, &q, &shift);
    expect_near(general,
                {affine.m[0][0], affine.m[0][1], affine.m[0][2], affine.m[0][3], affine.m[1][0], affine.m[1][1],
                 affine.m[1][2], affine.m[1][3], affine.m[2][0], affine.m[2][1], affine.m[2][2], affine.m[2][3],
                 affine.m[3][0], affine.m[3][1], affine.m[3][2], affine.m[3][3]},
                "Transformation = AffineTransformation");
    const D3DXVECTOR2 centre2(1, 0), shift2(0, 5);
    D3DXMATRIX affine2;
    D3DXMatrixAffineTransformation2D(&affine2, 2, &centre2, pi / 2, &shift2);
    expect_near(*D3DXVec3TransformCoord(&out, &p, &affine2), {1, 6, 0}, "affine 2D");
}

TEST(D3dxMathWorked, Vectors) {
    const D3DXVECTOR3 v(1, 2, 2), zero(0, 0, 0), x(1, 0, 0), y(0, 1, 0), a(1, 2, 3), b(4, 5, 6);
    D3DXVECTOR3 out;
    EXPECT_FLOAT_EQ(D3DXVec3Length(&v), 3.0f);
    expect_near(*D3DXVec3Normalize(&out, &v), {0.333333f, 0.666667f, 0.666667f}, "normalize");
    expect_near(*D3DXVec3Normalize(&out, &zero), {0, 0, 0}, "normalize zero");
    expect_near(*D3DXVec3Cross(&out, &x, &y), {0, 0, 1}, "cross x y");
    expect_near(*D3DXVec3Cross(&out, &a, &b), {-3, 6, -3}, "cross");

    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, pi / 4, 4.0f / 3.0f, 1, 100);
    const D3DXVECTOR3 p(1, 1, 10);
    expect_near(*D3DXVec3TransformCoord(&out, &p, &projection), {0.181066f, 0.241421f, 0.909091f}, "coord");

    const D3DXVECTOR3 s0(0, 0, 0), s1(1, 1, 1), s2(2, 2, 2), s3(4, 4, 4);
    expect_near(*D3DXVec3CatmullRom(&out, &s0, &s1, &s2, &s3, 0.5f), {1.4375f, 1.4375f, 1.4375f}, "catmull-rom");
    expect_near(*D3DXVec3CatmullRom(&out, &s0, &s1, &s2, &s3, 0.0f), {1, 1, 1}, "catmull-rom at 0");
    const D3DXVECTOR3 t0(1, 1, 1), v1(1, 1, 1), t1(0, 0, 0);
    expect_near(*D3DXVec3Hermite(&out, &s0, &t0, &v1, &t1, 0.5f), {0.625f, 0.625f, 0.625f}, "hermite");
    expect_near(*D3DXVec3BaryCentric(&out, &a, &b, &v, 0, 0), {1, 2, 3}, "barycentric V1");
    expect_near(*D3DXVec3BaryCentric(&out, &a, &b, &v, 1, 0), {4, 5, 6}, "barycentric V2");

    // 4-D cross product: orthogonal to all three inputs.
    const D3DXVECTOR4 u(1, 2, 0, 1), w(0, 1, 3, 0), r(2, 0, 1, 1);
    D3DXVECTOR4 c;
    D3DXVec4Cross(&c, &u, &w, &r);
    EXPECT_NEAR(D3DXVec4Dot(&c, &u), 0, tolerance);
    EXPECT_NEAR(D3DXVec4Dot(&c, &w), 0, tolerance);
    EXPECT_NEAR(D3DXVec4Dot(&c, &r), 0, tolerance);
    EXPECT_GT(D3DXVec4Length(&c), 1.0f);
}

TEST(D3dxMathWorked, ProjectUnprojectAndNullArguments) {
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, pi / 4, 4.0f / 3.0f, 1, 100);
    const D3DVIEWPORT9* const no_viewport = nullptr;
    // A viewport laid out as the platform does: X, Y, Width, Height, MinZ, MaxZ.
    struct {
        DWORD x, y, width, height;
        float min_z, max_z;
    } viewport{0, 0, 640, 480, 0, 1};
    const auto* vp = reinterpret_cast<const D3DVIEWPORT9*>(&viewport);
    const D3DXVECTOR3 p(1, 1, 10);
    D3DXVECTOR3 screen, back;
    expect_near(*D3DXVec3Project(&screen, &p, vp, &projection, nullptr, nullptr), {377.941125f, 182.058875f, 0.909091f},
                "project");
    ASSERT_NE(D3DXVec3Unproject(&back, &screen, vp, &projection, nullptr, nullptr), nullptr);
    EXPECT_NEAR(back.x, 1, 1e-3f);
    EXPECT_NEAR(back.y, 1, 1e-3f);
    EXPECT_NEAR(back.z, 10, 1e-2f);
    // No viewport: (0, 0, 1, 1, 0, 1); no matrices: the identity.
    const D3DXVECTOR3 ndc(0.5f, -0.5f, 0.25f);
    expect_near(*D3DXVec3Project(&screen, &ndc, no_viewport, nullptr, nullptr, nullptr), {0.75f, 0.75f, 0.25f},
                "project, all null");
    // A singular product cannot be unprojected: null, output untouched.
    const D3DXMATRIX flat(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    back = D3DXVECTOR3(7, 7, 7);
    EXPECT_EQ(D3DXVec3Unproject(&back, &screen, vp, &flat, nullptr, nullptr), nullptr);
    EXPECT_TRUE(back == D3DXVECTOR3(7, 7, 7));
}

TEST(D3dxMathWorked, StridedArraysTransformInPlace) {
    struct vertex {
        D3DXVECTOR3 position;
        DWORD colour;
    } vertices[3] = {{{1, 0, 0}, 1}, {{0, 1, 0}, 2}, {{0, 0, 1}, 3}};
    const D3DXMATRIX move = translation(1, 2, 3);
    D3DXVec3TransformCoordArray(&vertices[0].position, sizeof(vertex), &vertices[0].position, sizeof(vertex), &move, 3);
    expect_near(vertices[0].position, {2, 2, 3}, "vertex 0");
    expect_near(vertices[2].position, {1, 2, 4}, "vertex 2");
    EXPECT_EQ(vertices[1].colour, 2u);  // the bytes between elements are untouched
    D3DXVec3TransformNormalArray(&vertices[0].position, sizeof(vertex), &vertices[0].position, sizeof(vertex), &move,
                                 1);
    expect_near(vertices[0].position, {2, 2, 3}, "normals ignore the translation");
}

TEST(D3dxMathWorked, Quaternions) {
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
    D3DXQUATERNION qx, qy, out, identity;
    D3DXQuaternionIdentity(&identity);
    expect_near(*D3DXQuaternionRotationAxis(&qx, &x, pi / 2), {0.707107f, 0, 0, 0.707107f}, "qx");
    expect_near(*D3DXQuaternionRotationAxis(&qy, &y, pi / 2), {0, 0.707107f, 0, 0.707107f}, "qy");
    expect_near(*D3DXQuaternionMultiply(&out, &qx, &qy), {0.5f, 0.5f, -0.5f, 0.5f}, "qx then qy");
    expect_near(qx * qy, {0.5f, 0.5f, -0.5f, 0.5f}, "operator*");
    expect_near(*D3DXQuaternionSlerp(&out, &identity, &qy, 0.5f), {0, 0.382683f, 0, 0.923880f}, "slerp");
    expect_near(*D3DXQuaternionSlerp(&out, &identity, &identity, 0.3f), {0, 0, 0, 1}, "slerp of equal ends");
    const D3DXQUATERNION negated = -qy;  // the same rotation: slerp takes the shorter arc
    expect_near(*D3DXQuaternionSlerp(&out, &identity, &negated, 0.5f), {0, 0.382683f, 0, 0.923880f}, "short arc");
    expect_near(*D3DXQuaternionRotationYawPitchRoll(&out, 0.1f, 0.2f, 0.3f),
                {0.106021f, 0.034271f, 0.143572f, 0.983347f}, "yaw pitch roll");
    D3DXVECTOR3 axis;
    float angle = 0;
    D3DXQuaternionToAxisAngle(&qy, &axis, &angle);
    expect_near(axis, {0, 0.707107f, 0}, "axis");
    EXPECT_NEAR(angle, pi / 2, tolerance);

    D3DXMATRIX m;
    D3DXMatrixRotationY(&m, 0.5f);
    D3DXQuaternionRotationMatrix(&out, &m);
    D3DXQUATERNION expected;
    D3DXQuaternionRotationAxis(&expected, &y, 0.5f);
    expect_near(out, {expected.x, expected.y, expected.z, expected.w}, "from matrix");
    // Exp undoes Ln; q * q^-1 is the identity.
    D3DXQUATERNION ln, back;
    D3DXQuaternionExp(&back, D3DXQuaternionLn(&ln, &qy));
    expect_near(back, {qy.x, qy.y, qy.z, qy.w}, "exp(ln q)");
    const D3DXQUATERNION long_q(1, 2, 3, 4);
    D3DXQuaternionInverse(&out, &long_q);
    expect_near(long_q * out, {0, 0, 0, 1}, "q * q^-1");
    // Squad passes through its ends.
    D3DXQUATERNION a, b, c;
    D3DXQuaternionSquadSetup(&a, &b, &c, &identity, &qx, &qy, &identity);
    expect_near(*D3DXQuaternionSquad(&out, &qx, &a, &b, &c, 0.0f), {qx.x, qx.y, qx.z, qx.w}, "squad at 0");
    expect_near(*D3DXQuaternionSquad(&out, &qx, &a, &b, &c, 1.0f), {qy.x, qy.y, qy.z, qy.w}, "squad at 1");
    expect_near(*D3DXQuaternionBaryCentric(&out, &identity, &qx, &qy, 0, 0), {0, 0, 0, 1}, "barycentric Q1");
}

TEST(D3dxMathWorked, Planes) {
    const D3DXVECTOR3 o(0, 0, 0), z(0, 0, 1), x(1, 0, 0), a(0, 1, 0), b(0, 1, 1), c(1, 1, 0);
    D3DXPLANE p;
    expect_near(*D3DXPlaneFromPoints(&p, &o, &z, &x), {0, 1, 0, 0}, "from points");
    expect_near(*D3DXPlaneFromPoints(&p, &o, &x, &z), {0, -1, 0, 0}, "swapped points");
    expect_near(*D3DXPlaneFromPoints(&p, &a, &b, &c), {0, 1, 0, -1}, "y = 1");
    D3DXVECTOR3 hit;
    const D3DXVECTOR3 top(0, 4, 0);
    expect_near(*D3DXPlaneIntersectLine(&hit, &p, &o, &top), {0, 1, 0}, "intersect");
    EXPECT_EQ(D3DXPlaneIntersectLine(&hit, &p, &o, &x), nullptr);  // parallel
    D3DXMATRIX inverse_transpose = translation(0, 2, 0);
    D3DXMatrixInverse(&inverse_transpose, nullptr, &inverse_transpose);
    D3DXMatrixTranspose(&inverse_transpose, &inverse_transpose);
    const D3DXPLANE ground(0, 1, 0, 0);
    expect_near(*D3DXPlaneTransform(&p, &ground, &inverse_transpose), {0, 1, 0, -2}, "moved up by 2");
    const D3DXPLANE unnormalised(0, 2, 0, 4), zero(0, 0, 0, 1);
    expect_near(*D3DXPlaneNormalize(&p, &unnormalised), {0, 1, 0, 2}, "normalize");
    expect_near(*D3DXPlaneNormalize(&p, &zero), {0, 0, 0, 0}, "normalize zero normal");
}

TEST(D3dxMathWorked, ColoursAndTheirDwordForm) {
    D3DXCOLOR out;
    const D3DXCOLOR red(1, 0, 0, 0.5f), grey(0.8f, 0.2f, 0.5f, 1), m1(1, 0.5f, 0.5f, 1), m2(0.5f, 0.5f, 1, 0.5f),
        n(0.2f, 0.4f, 0.6f, 0.8f);
    expect_near(*D3DXColorAdjustSaturation(&out, &red, 0.5f), {0.60625f, 0.10625f, 0.10625f, 0.5f}, "saturation");
    expect_near(*D3DXColorAdjustContrast(&out, &grey, 2), {1.1f, -0.1f, 0.5f, 1}, "contrast");
    expect_near(*D3DXColorModulate(&out, &m1, &m2), {0.5f, 0.25f, 0.5f, 0.5f}, "modulate");
    expect_near(*D3DXColorNegative(&out, &n), {0.8f, 0.6f, 0.4f, 0.8f}, "negative");
    expect_near(D3DXCOLOR(0x80FF4000), {1.0f, 0.250980f, 0.0f, 0.501961f}, "from DWORD");
    const struct {
        D3DXCOLOR colour;
        DWORD expected;
    } dword_cases[] = {
        {D3DXCOLOR(1.2f, 0.5f, -0.1f, 0.25f), 0x40FF8000},  // clamped and rounded
        {D3DXCOLOR(0.5f, 0.5f, 0.5f, 1.0f), 0xFF808080},
        {D3DXCOLOR(NAN, 1, 1, 1), 0xFF00FFFF},  // NaN reads as 0
    };
    for (const auto& c : dword_cases) EXPECT_EQ(DWORD(c.colour), c.expected) << std::hex << c.expected;
}

TEST(D3dxMathWorked, HalfFloats) {
    const struct {
        float value;
        WORD bits;
        bool exact;  // the half float holds the value itself
    } cases[] = {{1.0f, 0x3C00, true},          {0.5f, 0x3800, true},           {-2.0f, 0xC000, true},
                 {65504.0f, 0x7BFF, true},      {1.0f / 3, 0x3555, false},      {1e6f, 0x7C00, false},
                 {5.9604645e-8f, 0x0001, true}, {2.9802322e-8f, 0x0000, false}, {8.940697e-8f, 0x0002, false},
                 {-0.0f, 0x8000, true},         {INFINITY, 0x7C00, true}};
    for (const auto& c : cases) {
        D3DXFLOAT16 half;
        D3DXFloat32To16Array(&half, &c.value, 1);
        WORD bits;
        std::memcpy(&bits, &half, sizeof bits);
        EXPECT_EQ(bits, c.bits) << c.value;
        float back;
        D3DXFloat16To32Array(&back, &half, 1);
        if (c.exact) {
            EXPECT_EQ(back, c.value);
        }
    }
    const float nan_value = NAN;
    D3DXFLOAT16 nan_half;
    D3DXFloat32To16Array(&nan_half, &nan_value, 1);
    EXPECT_TRUE(std::isnan(float(nan_half)));
}

}  // namespace

namespace {

TEST(D3dxMathWorked, MatrixStackMultipliesOnTheRightOrTheLeft) {
    ID3DXMatrixStack* stack = nullptr;
    ASSERT_EQ(D3DXCreateMatrixStack(0, &stack), D3D_OK);
    EXPECT_TRUE(D3DXMatrixIsIdentity(stack->GetTop()));
    EXPECT_EQ(stack->Pop(), D3DERR_INVALIDCALL);  // the only matrix stays
    stack->RotateYawPitchRoll(0, pi / 2, 0);      // RotationX(pi/2)
    ASSERT_EQ(stack->Push(), D3D_OK);
    stack->Translate(1, 2, 3);  // applied after: RotationX * Translation
    expect_near(*stack->GetTop(), {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 1, 2, 3, 1}, "after");
    ASSERT_EQ(stack->Pop(), D3D_OK);
    stack->TranslateLocal(1, 2, 3);  // applied before: Translation * RotationX
    D3DXVECTOR4 p(0, 1, 0, 1), out;
    expect_near(*D3DXVec4Transform(&out, &p, stack->GetTop()), {1, -3, 3, 1}, "before");
    EXPECT_EQ(stack->Release(), 0u);
}

}  // namespace
