// Reads the menu's bitmap and icon files back for the art tests: the header
// fields as stored, the palette and the pixels as palette indices, top row
// first.
#ifndef ART_BITMAP_H
#define ART_BITMAP_H

#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

struct ArtRgb {
    uint8_t r, g, b;
    bool operator==(const ArtRgb &o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const ArtRgb &o) const { return !(*this == o); }
    bool operator<(const ArtRgb &o) const { return std::tie(r, g, b) < std::tie(o.r, o.g, o.b); }
};

inline void PrintTo(const ArtRgb &c, std::ostream *os)
{
    *os << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

struct ArtInfoHeader {
    uint32_t size;
    int32_t width, height;
    uint16_t planes, bits;
    uint32_t compression, imageSize, coloursUsed;
};

struct ArtImage {
    ArtInfoHeader info{};
    std::vector<ArtRgb> palette;
    std::vector<uint8_t> pixels; // top row first
    int width = 0, height = 0;   // of the colour image (an icon's header counts its mask too)
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    ArtRgb Rgb(int x, int y) const { return palette[At(x, y)]; }
};

inline std::vector<uint8_t> ArtReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline uint32_t ArtLe(const std::vector<uint8_t> &b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--)
        v = (v << 8) | (at + i < b.size() ? b[at + i] : 0);
    return v;
}

// Parses a BITMAPINFOHEADER at `at` with `height` rows of colour bits.
// Returns false when the data is too short for what the header says.
inline bool ArtParseDib(const std::vector<uint8_t> &b, size_t at, int height, ArtImage &image)
{
    if (b.size() < at + 40)
        return false;
    ArtInfoHeader &h = image.info;
    h.size = ArtLe(b, at, 4);
    h.width = static_cast<int32_t>(ArtLe(b, at + 4, 4));
    h.height = static_cast<int32_t>(ArtLe(b, at + 8, 4));
    h.planes = static_cast<uint16_t>(ArtLe(b, at + 12, 2));
    h.bits = static_cast<uint16_t>(ArtLe(b, at + 14, 2));
    h.compression = ArtLe(b, at + 16, 4);
    h.imageSize = ArtLe(b, at + 20, 4);
    h.coloursUsed = ArtLe(b, at + 32, 4);
    if (h.bits != 4 && h.bits != 8)
        return false;
    const size_t entries = h.coloursUsed ? h.coloursUsed : (1u << h.bits);
    size_t p = at + h.size;
    if (b.size() < p + 4 * entries)
        return false;
    for (size_t i = 0; i < entries; i++, p += 4)
        image.palette.push_back({b[p + 2], b[p + 1], b[p]});
    image.width = h.width;
    image.height = height;
    const size_t stride = ((static_cast<size_t>(h.width) * h.bits + 31) / 32) * 4;
    if (b.size() < p + stride * height)
        return false;
    image.pixels.assign(static_cast<size_t>(h.width) * height, 0);
    for (int row = 0; row < height; row++) {
        const size_t line = p + stride * (height - 1 - row); // rows are stored bottom-up
        for (int x = 0; x < h.width; x++) {
            const uint8_t v = h.bits == 8 ? b[line + x] : (x % 2 ? b[line + x / 2] & 0x0F : b[line + x / 2] >> 4);
            image.pixels[static_cast<size_t>(row) * h.width + x] = v;
        }
    }
    return true;
}

#endif
