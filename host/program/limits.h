// What the stand-in host program accepts. Every number and text it reads is checked against
// these where it is read; `taverin-host --help` and docs/taverin-host.md list them.
//
// Each quantity has a lower bound as well as an upper one: between them, nothing the program
// derives (ray directions and hit distances, the hyperfocal distance, the near and far limits,
// the pictures' coordinates) can overflow or underflow a double.
#pragma once

#include <cstddef>
#include <cstdint>

namespace host {

// Positions, sizes, radii, distances and envelope values, in metres: far beyond any scene a
// camera looks at, small enough that sums, squares and ray lengths stay finite.
inline constexpr double kMaxCoordinate = 1e9;
// Radii, sizes, focal distances and envelope values, in metres, and mesh scales: a micrometre,
// far below anything a camera resolves.
inline constexpr double kMinLength = 1e-6;
// Film width and height, in metres: the smallest image sensors made are about 0.6 mm a side,
// the largest film formats about 0.5 m.
inline constexpr double kMinFilm = 1e-4;
inline constexpr double kMaxFilm = 1.0;
// Focal length, in millimetres: the shortest lenses made are about 0.5 mm (in endoscopes), the
// longest about 5,200 mm.
inline constexpr double kMinFocalLength = 0.1;
inline constexpr double kMaxFocalLength = 10000.0;
// f-stop: no lens in air is faster than f/0.5; pinhole cameras reach about f/500. 0 is also
// allowed: no blur, no limits drawn.
inline constexpr double kMinFStop = 0.5;
inline constexpr double kMaxFStop = 1000.0;
// Viewport width and height, in pixels: twice the widest screens made.
inline constexpr int32_t kMaxViewport = 16384;
// Times, in seconds.
inline constexpr double kMaxTime = 1e9;
// Values typed into the panel's fields or given to its drag buttons. The fields hold single
// precision, so a value that is not 0 must be at least kMinFieldValue in size.
inline constexpr double kMaxFieldValue = 1e9;
inline constexpr double kMinFieldValue = 1e-37;
// Camera rotation angles, in degrees.
inline constexpr double kMaxAngle = 1e6;
// One mouse move, in pixels.
inline constexpr int32_t kMaxMotion = 100000;
// A concave OBJ polygon is triangulated by ear clipping, whose time grows with the square of
// its corners: larger concave polygons are refused. Convex polygons (the usual case) are
// triangulated as a fan, in time linear in their corners, whatever their size.
inline constexpr size_t kMaxConcaveCorners = 256;
// A scene, session or mesh file, in bytes: well beyond the largest meshes the pictures can
// show, and a bound on what a device that never ends (/dev/zero) can make the program hold.
inline constexpr size_t kMaxInputBytes = size_t{1} << 30;
// Names of objects and viewports, and the other texts of a scene or session, in characters;
// the path of a mesh file, in characters.
inline constexpr size_t kMaxNameLength = 256;
inline constexpr size_t kMaxPathLength = 4096;

}  // namespace host
