#include "files.h"

#include <cstdio>

const Rgb STANDARD_16[16] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

// 72 dots per inch, the value paint programs of the time wrote.
static const uint32_t PELS_PER_METRE = 2835;

static void Put16(std::vector<uint8_t> &out, uint32_t value)
{
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

static void Put32(std::vector<uint8_t> &out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

static void PutInfoHeader(std::vector<uint8_t> &out, int width, int height, int bits, uint32_t imageSize,
                          uint32_t pelsPerMetre, uint32_t coloursUsed)
{
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0); // BI_RGB
    Put32(out, imageSize);
    Put32(out, pelsPerMetre);
    Put32(out, pelsPerMetre);
    Put32(out, coloursUsed);
    Put32(out, 0);
}

static void PutPalette(std::vector<uint8_t> &out, const Rgb *palette, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        out.push_back(palette[i].b);
        out.push_back(palette[i].g);
        out.push_back(palette[i].r);
        out.push_back(0);
    }
}

static uint32_t RowBytes(int width, int bits)
{
    return ((static_cast<uint32_t>(width) * bits + 31) / 32) * 4;
}

// Rows bottom-up, each padded to a multiple of four bytes.
static void PutRows(std::vector<uint8_t> &out, const Canvas &canvas, int bits)
{
    const uint32_t rowBytes = RowBytes(canvas.width, bits);
    for (int y = canvas.height - 1; y >= 0; y--) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < canvas.width; x++) {
            const uint8_t index = PixelAt(canvas, x, y);
            if (bits == 8)
                row[x] = index;
            else
                row[x / 2] |= (x % 2 == 0) ? static_cast<uint8_t>(index << 4) : static_cast<uint8_t>(index & 0x0F);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

std::vector<uint8_t> BitmapFile(const Canvas &canvas, const std::vector<Rgb> &palette, int bits)
{
    const uint32_t imageSize = RowBytes(canvas.width, bits) * canvas.height;
    const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    PutInfoHeader(out, canvas.width, canvas.height, bits, imageSize, PELS_PER_METRE,
                  static_cast<uint32_t>(palette.size()));
    PutPalette(out, palette.data(), palette.size());
    PutRows(out, canvas, bits);
    return out;
}

std::vector<uint8_t> IconFile(const Canvas &canvas)
{
    const uint32_t colourBytes = RowBytes(canvas.width, 4) * canvas.height;
    const uint32_t maskBytes = RowBytes(canvas.width, 1) * canvas.height;
    const uint32_t imageBytes = 40 + 16 * 4 + colourBytes + maskBytes;
    std::vector<uint8_t> out;
    Put16(out, 0); // ICONDIR: reserved, type 1 (icon), one image
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(static_cast<uint8_t>(canvas.width));
    out.push_back(static_cast<uint8_t>(canvas.height));
    out.push_back(16);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, imageBytes);
    Put32(out, 6 + 16);
    // An icon image's header counts the colour bits and the mask as one
    // bitmap of twice the height.
    PutInfoHeader(out, canvas.width, canvas.height * 2, 4, colourBytes + maskBytes, 0, 0);
    PutPalette(out, STANDARD_16, 16);
    PutRows(out, canvas, 4);
    out.insert(out.end(), maskBytes, 0);
    return out;
}

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
