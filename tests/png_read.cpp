// stb_image is a C library written to its own rules: this file is compiled without the
// warnings the project treats as errors (tests/CMakeLists.txt).
#define STBI_ONLY_PNG
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include "png_read.h"

bool decode_png(const std::string& bytes, int& width, int& height, std::vector<unsigned char>& rgb) {
    int channels = 0;
    unsigned char* pixels = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                  static_cast<int>(bytes.size()), &width, &height, &channels, 3);
    if (!pixels) return false;
    rgb.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
    stbi_image_free(pixels);
    return true;
}
