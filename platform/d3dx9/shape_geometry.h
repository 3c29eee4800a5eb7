// shape_geometry.h - the D3DX procedural shapes (box, torus, teapot) as plain geometry, without a
// device. D3DXCreateBox, D3DXCreateTorus and D3DXCreateTeapot only wrap these in a mesh object.
//
// Each generator returns positions and unit normals (no colours, no texture coordinates), three
// indices per triangle and attribute 0 for every triangle. Vertex and triangle order are fixed
// (listed per function) so that every picture of the shapes is reproducible.
//
// Conventions: left-handed, y up for the box and the teapot, the torus's axis along z. Triangles
// are wound clockwise seen from outside: cross(v1 - v0, v2 - v0) points outward.
//
// Parameters that cannot describe the shape (NaN, infinite, zero or negative sizes, a torus whose
// extent overflows a float, fewer than 3 sides or rings, more vertices than
// d3dx_shape_max_vertices) give empty geometry: no vertices, no triangles.
//
// DOES NOT: create mesh objects, produce adjacency, texture coordinates or colours.
#pragma once

#include <d3dx9.h>

#include "platform/d3dx9/mesh_data.h"

// The shape meshes use 16-bit indices, as a mesh created without D3DXMESH_32BIT does, so one
// shape has at most this many vertices.
inline constexpr UINT d3dx_shape_max_vertices = 65535;

// An axis-aligned box centred at the origin with corners (+-w/2, +-h/2, +-d/2): 24 vertices (four
// per face, each with the face's axis normal) and 12 triangles. Faces in the order -z, +z, -x, +x,
// +y, -y; each face's corners c0..c3 run clockwise seen from outside and give the triangles
// (c0, c1, c2) and (c0, c2, c3).
d3dx_mesh_data d3dx_box_geometry(float width, float height, float depth);

// A torus around the z axis: tube radius `inner_radius`, tube centre at distance `outer_radius`
// from the axis (outer extent inner + outer, hole radius outer - inner). Vertex j * sides + i is
// ring j, side i, at theta = 2 pi j / rings and phi = 2 pi i / sides:
//   position ((R + r cos phi) cos theta, (R + r cos phi) sin theta, r sin phi),
//   normal   (cos phi cos theta, cos phi sin theta, sin phi).
// Cell (j, i) with a = (j, i), b = (j+1, i), c = (j+1, i+1), d = (j, i+1), indices wrapping, gives
// the triangles (a, b, c) and (a, c, d): sides * rings vertices, 2 * sides * rings triangles.
// An inner radius at or above the outer one gives the self-intersecting (spindle) torus.
d3dx_mesh_data d3dx_torus_geometry(float inner_radius, float outer_radius, UINT sides, UINT rings);

// The classic teapot: its 32 Bezier patches tessellated 6 x 6, equal points welded, degenerate
// triangles dropped (1,177 vertices, 2,256 triangles), scaled by 0.5, y up, height centred on 0,
// spout along +x, handle along -x. Extent about x -1.50 .. 1.72, y -0.79 .. 0.79, z -1.0 .. 1.0.
// Patches meet without cracks; six loops stay open, as in the data: the rim's inner edge and the
// lid's outer edge (a gap between them), the spout's tip, and the ends of the spout and the handle
// where they run into the body (the handle's lower end shares one point with it).
d3dx_mesh_data d3dx_teapot_geometry();
