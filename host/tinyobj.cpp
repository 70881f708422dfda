// The OBJ reader's implementation, compiled once.
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
