// models.h - the two models the generator makes, and the aeroplane's skin texture.
#pragma once

#include "mesh_builder.h"

#include <cstdint>
#include <vector>

namespace models {

// A low-wing propeller monoplane, about 9.2 units across the wings, nose along +x: an airframe
// mesh (textured fuselage and wings, glass canopy, fixed gear) and a child frame holding the
// three-blade propeller with its spinner.
model_tree build_airplane();

// The aeroplane's skin: skin_size x skin_size texels, RGB, rows top to bottom.
std::vector<uint8_t> paint_airplane_skin();

// A spaceship about 5.5 units long, nose along +x: a pointed hull with cockpit, swept wings, fins
// and wing-tip pods, a central engine, and two engine nacelles in child frames, with glowing
// exhausts. Untextured.
model_tree build_spaceship();

}  // namespace models
