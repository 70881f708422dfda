// What the stand-in host program accepts. Every number it reads is checked against these
// where it is read; `taverin-host --help` and docs/taverin-host.md list them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace host {

// Positions, sizes, radii, distances and envelope values, in metres: far beyond any scene a
// camera looks at, small enough that sums, squares and ray lengths stay finite.
inline constexpr double kMaxCoordinate = 1e9;
// Film width and height, in metres: the largest film formats made are about 0.5 m a side.
inline constexpr double kMaxFilm = 1.0;
// Focal length, in millimetres: the longest lenses made are about 5,200 mm.
inline constexpr double kMaxFocalLength = 10000.0;
// f-stop: pinhole cameras reach about f/500. (0 is allowed: no blur, no limits drawn.)
inline constexpr double kMaxFStop = 1000.0;
// Viewport width and height, in pixels: twice the widest screens made.
inline constexpr int32_t kMaxViewport = 16384;
// Times, in seconds, and values typed into the panel's fields.
inline constexpr double kMaxTime = 1e9;
inline constexpr double kMaxFieldValue = 1e9;
// Camera rotation angles, in degrees.
inline constexpr double kMaxAngle = 1e6;
// One mouse move, in pixels.
inline constexpr int32_t kMaxMotion = 100000;
// A concave OBJ polygon is triangulated by ear clipping, whose time grows with the square of
// its corners: larger concave polygons are refused. Convex polygons (the usual case) are
// triangulated as a fan, in time linear in their corners, whatever their size.
inline constexpr size_t kMaxConcaveCorners = 256;

}  // namespace host
