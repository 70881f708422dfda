// The out-of-line definitions of the operations that the headers define inline where they can
// (detail/exact.h): the same code, compiled once into the library, for callers whose compiler
// or flags cannot keep its bits inline.
#define TAVERIN_GEOMETRY_OUT_OF_LINE_DEFINITIONS 1

#include "taverin/geometry/matrix.h"
#include "taverin/geometry/quaternion.h"
#include "taverin/geometry/vector.h"
