#include "host/program/pictures/png.h"

// The encoder's one implementation in the program. It is a C library written to its own rules,
// so the warnings the project treats as errors are not asked of it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wcast-qual"
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace host {

namespace {

void append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

}  // namespace

std::string png_rgb(const std::vector<uint8_t>& pixels, int width, int height) {
    std::string out;
    // One filter for every row ("up": a row less the one above), chosen for speed: the focus
    // map's rows repeat one another, and trying all five filters per row costs twice the time
    // for a few per cent of size. The settings are the encoder's own globals, set each time.
    stbi_write_force_png_filter = 2;
    stbi_write_png_compression_level = 8;
    stbi_write_png_to_func(append, &out, width, height, 3, pixels.data(), width * 3);
    return out;
}

std::string base64(const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const auto b = [&](size_t k) { return k < bytes.size() ? static_cast<unsigned char>(bytes[k]) : 0u; };
        const unsigned v = b(i) << 16 | b(i + 1) << 8 | b(i + 2);
        out += kDigits[v >> 18 & 63];
        out += kDigits[v >> 12 & 63];
        out += i + 1 < bytes.size() ? kDigits[v >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[v & 63] : '=';
    }
    return out;
}

}  // namespace host
