// Raster pictures as PNG, written by stb_image_write (the well-kept public-domain encoder,
// from Debian's libstb-dev): its own deflate, so that the Linux and Windows programs write the
// same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// An RGB picture, `width` x `height`, three bytes a pixel, row after row from the top, as a PNG
// file's bytes.
std::string png_rgb(const std::vector<uint8_t>& pixels, int width, int height);

// `bytes` in base64 (RFC 4648, with padding), for a data: address.
std::string base64(const std::string& bytes);

}  // namespace host
