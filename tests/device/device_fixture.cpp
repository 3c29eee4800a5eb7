// device_fixture.cpp - the headless window, device creation and drawing helpers of the device tests.
#include "device_fixture.h"

HWND test_window() {
    static HWND window = open_headless_window();
    return window;
}

uint32_t rgb(int r, int g, int b) { return (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b); }

void DeviceTest::create_device(UINT w, UINT h) {
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    D3DPRESENT_PARAMETERS p = windowed_parameters(test_window());
    p.BackBufferWidth = w;
    p.BackBufferHeight = h;
    ASSERT_EQ(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, test_window(),
                                     D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device),
              D3D_OK);
    width = int(p.BackBufferWidth);
    height = int(p.BackBufferHeight);
}

void DeviceTest::TearDown() {
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
}

HRESULT DeviceTest::draw(const std::vector<test_vertex>& vertices, test_streams s, const std::vector<UINT>& indices) {
    positions_.clear(), normals_.clear(), colours_.clear(), texcoords_.clear(), indices_ = indices;
    for (const test_vertex& v : vertices) {
        positions_.push_back(v.position);
        normals_.push_back(v.normal);
        colours_.push_back(v.colour);
        texcoords_.push_back(v.u);
        texcoords_.push_back(v.v);
    }
    if (indices_.empty()) {
        for (UINT i = 0; i < vertices.size(); ++i) indices_.push_back(i);
    }
    vertex_arrays arrays;
    arrays.positions = positions_.data();
    arrays.normals = s.normals ? normals_.data() : nullptr;
    arrays.diffuse = s.colours ? colours_.data() : nullptr;
    arrays.texcoords = s.texcoords ? texcoords_.data() : nullptr;
    arrays.vertex_count = UINT(vertices.size());
    return draw_vertex_arrays(device, arrays, indices_.data(), UINT(indices_.size() / 3), &interleaved_);
}

D3DVECTOR DeviceTest::at_pixel(float x, float y, float z) const {
    return {2.0f * x / float(width) - 1.0f, 1.0f - 2.0f * y / float(height), z};
}

uint32_t DeviceTest::pixel(int x, int y) const { return buffer().colour[size_t(y) * size_t(width) + size_t(x)]; }
uint16_t DeviceTest::depth(int x, int y) const { return buffer().depth[size_t(y) * size_t(width) + size_t(x)]; }

int DeviceTest::count_pixels(uint32_t colour) const {
    int n = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) n += pixel(x, y) == colour;
    return n;
}

void DeviceTest::unlit_state() {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
}

void DeviceTest::clear(D3DCOLOR colour, float z) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, z, 0);
}
