// Writers for the two file forms the resource compiler takes: a Windows
// bitmap file (BITMAPFILEHEADER, 40-byte BITMAPINFOHEADER, palette, BI_RGB
// rows bottom-up) and an icon file holding one image.
#ifndef ARTGEN_FILES_H
#define ARTGEN_FILES_H

#include <cstdint>
#include <string>
#include <vector>

#include "draw.h"

struct Rgb {
    uint8_t r;
    uint8_t g;
    uint8_t b;
};

// The platform's standard 16-colour palette, in its usual order.
extern const Rgb STANDARD_16[16];

// `palette` has 2^bits entries; bits is 4 or 8.
std::vector<uint8_t> BitmapFile(const Canvas &canvas, const std::vector<Rgb> &palette, int bits);
// A 4-bit image on the standard palette with an all-zero (fully opaque) mask.
std::vector<uint8_t> IconFile(const Canvas &canvas);

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes);

#endif
