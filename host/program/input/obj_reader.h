// Reading Wavefront OBJ meshes for the stand-in host program.
//
// Read: vertices ("v x y z", an optional fourth coordinate ignored) and faces ("f" with
// corners "i", "i/t", "i//n" or "i/t/n"; negative indices count back from the last vertex).
// Every other statement (normals, texture coordinates, groups, materials, lines, points,
// comments) is skipped. Lines end at "\n", "\r\n" or "\r". A UTF-8 byte order mark at the
// start is skipped; a file marked as UTF-16 or UTF-32 is refused.
//
// Polygons become triangles: a convex polygon as a fan (time linear in its corners, any size),
// a concave one by ear clipping (time growing with the square of its corners), refused above
// kMaxConcaveCorners corners. Every vertex, scaled and moved, must lie within the scene's
// extent (limits.h).
#pragma once

#include <string>
#include <vector>

#include "host/program/input/progress.h"
#include "host/scene.h"

namespace host {

// Loads an OBJ mesh's triangles, scaled and moved; false with `error` naming the file and the
// line that is bad ("FILE:LINE: what").
bool read_obj(const std::string& path, double scale, Vec3 offset, std::vector<Triangle>& out, std::string& error,
              const Progress* progress = nullptr);

// The same from text already in memory; `name` names it in messages.
bool read_obj_text(const std::string& text, const std::string& name, double scale, Vec3 offset,
                   std::vector<Triangle>& out, std::string& error, const Progress* progress = nullptr);

}  // namespace host
