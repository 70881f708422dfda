// Reading Wavefront OBJ meshes for the stand-in host program.
#pragma once

#include <string>
#include <vector>

#include "host/scene.h"

namespace host {

// Loads an OBJ mesh's triangles, scaled and moved; false with `error` naming the file and the
// face (with its line) that is bad.
bool read_obj(const std::string& path, double scale, Vec3 offset, std::vector<Triangle>& out,
              std::string& error);

}  // namespace host
