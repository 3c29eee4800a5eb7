// shape_geometry.h - the D3DX procedural shapes (box, torus, teapot, sphere, cylinder, polygon) as
// plain geometry, without a device. The D3DXCreate* calls of these shapes only wrap them in a mesh
// object.
//
// Each generator returns positions and unit normals (no colours, no texture coordinates), three
// indices per triangle and attribute 0 for every triangle. Vertex and triangle order are fixed
// (listed per function) so that every picture of the shapes is reproducible.
//
// Conventions: left-handed, y up for the box and the teapot, the axis of the torus, sphere and
// cylinder along z, the polygon in the xy-plane facing +z. Triangles are wound clockwise seen from
// outside: cross(v1 - v0, v2 - v0) points outward (+z for the polygon). Angles around z are
// measured from +x towards +y. Index arithmetic written "j + 1" wraps around the axis.
//
// Parameters that cannot describe the shape (NaN, infinite, zero or negative sizes, a torus or
// polygon whose extent overflows a float, fewer than 3 sides, rings or slices, fewer than 2 sphere
// stacks or 1 cylinder stack, more vertices than d3dx_shape_max_vertices) give empty geometry: no
// vertices, no triangles.
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

// A sphere of `radius` around the origin: (stacks - 1) * slices + 2 vertices and
// 2 * slices * (stacks - 1) triangles. Vertex 0 is the north pole (0, 0, r); ring i = 1 ..
// stacks - 1 at polar angle theta_i = pi i / stacks from +z holds slice j at phi_j = 2 pi j / slices,
// r (sin theta cos phi, sin theta sin phi, cos theta), vertex 1 + (i - 1) * slices + j; the last
// vertex is the south pole (0, 0, -r). Normal = position / r. Triangles: the north fan
// (N, p(1, j), p(1, j + 1)); per cell a = (i, j), b = (i, j + 1), c = (i + 1, j + 1),
// d = (i + 1, j), ring by ring, (a, d, c) and (a, c, b); the south fan (S, q(j + 1), q(j)) on the
// last ring q.
d3dx_mesh_data d3dx_sphere_geometry(float radius, UINT slices, UINT stacks);

// A cylinder along z from -length/2 (radius1) to +length/2 (radius2); one zero radius makes a cone
// whose apex triangles are degenerate. slices * (stacks + 3) + 2 vertices, 2 * slices * (stacks + 1)
// triangles, in this order:
// - the -z cap: centre, then `slices` rim vertices at phi_j = 2 pi j / slices, normal (0, 0, -1);
//   triangles (C, r(j + 1), r(j));
// - the side: stacks + 1 rings k = 0 .. stacks from -z to +z, radius linear from radius1 to radius2,
//   normal norm(cos phi, sin phi, (radius1 - radius2) / length); per cell a = (k, j),
//   b = (k, j + 1), c = (k + 1, j + 1), d = (k + 1, j), triangles (a, b, c) and (a, c, d);
// - the +z cap: `slices` rim vertices, then the centre, normal (0, 0, 1); triangles
//   (C, r(j), r(j + 1)).
d3dx_mesh_data d3dx_cylinder_geometry(float radius1, float radius2, float length, UINT slices, UINT stacks);

// A regular polygon of `sides` sides of `length` each: vertex 0 the centre, vertex k = 1 .. sides at
// angle 2 pi (k - 1) / sides on the circumscribed circle of radius length / (2 sin(pi / sides)), all
// with normal (0, 0, 1); triangles (0, k, k + 1), the last one wrapping to vertex 1.
d3dx_mesh_data d3dx_polygon_geometry(float length, UINT sides);
