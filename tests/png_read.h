// Reading back the PNG pictures the program writes, with stb_image (the encoder's own decoder).
#pragma once

#include <string>
#include <vector>

// The RGB pixels of a PNG file's bytes, row after row from the top; false when it is not one.
bool decode_png(const std::string& bytes, int& width, int& height, std::vector<unsigned char>& rgb);
