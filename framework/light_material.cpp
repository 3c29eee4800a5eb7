// light_material.cpp - the one directional light with specular highlights, and the material helper.
#include "framework.h"

void setup_light() {
    device->SetRenderState(D3DRS_LIGHTING, TRUE);

    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {demo.light_diffuse, demo.light_diffuse, demo.light_diffuse, 1.0f};
    light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Ambient = {demo.light_ambient, demo.light_ambient, demo.light_ambient, 1.0f};
    light.Direction = {0.0f, -1.0f, -1.0f};  // from above and from the camera's side; not normalised
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);

    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
}

// Makes a material of one colour (diffuse and ambient alike, white highlights) current.
void apply_material(float r, float g, float b) {
    D3DMATERIAL9 material{};
    material.Diffuse = {r, g, b, 1.0f};
    material.Ambient = {r, g, b, 1.0f};
    material.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Emissive = {0.0f, 0.0f, 0.0f, 0.0f};
    material.Power = demo.material_power;
    device->SetMaterial(&material);
    device->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
}
