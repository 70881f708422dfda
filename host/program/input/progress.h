// How far a long read has got, for the progress line the program shows on a terminal.
#pragma once

#include <functional>

namespace host {

// Told a stage ("reading", "building the mesh hierarchy") and a fraction from 0 to 1.
using Progress = std::function<void(const char* stage, double fraction)>;

}  // namespace host
