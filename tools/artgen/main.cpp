// artgen: draws the menu's eleven bitmaps and its icon into a folder.
//   artgen OUTPUT_FOLDER
// The output is the same, byte for byte, on every run; res/ holds a copy.
#include <cstdio>
#include <string>
#include <vector>

#include "files.h"
#include "pictures.h"

static const Rgb BLACK = {0, 0, 0};

// One button picture. Its glow and fill colours count only where its look has them.
struct ButtonFile {
    int id;
    const char *name;
    const char *file;
    ButtonLook look;
    int bits;
    Rgb ink;  // frame and pictogram
    Rgb glow; // a dark shade of the ink's hue
    Rgb fill; // between Uninstall's ribs
};

static const ButtonFile BUTTONS[] = {
    {117, "IDB_PLAY_OFF", "play_off.bmp", {PICTOGRAM_PLAY, false, false, false}, 8, {128, 128, 128}, BLACK, BLACK},
    {118, "IDB_PLAY", "play.bmp", {PICTOGRAM_PLAY, false, false, false}, 8, {74, 74, 24}, BLACK, BLACK},
    {121, "IDB_PLAY_HOT", "play_hot.bmp", {PICTOGRAM_PLAY, true, false, false}, 4, {255, 255, 0}, BLACK, BLACK},
    {120, "IDB_INSTALL", "install.bmp", {PICTOGRAM_INSTALL, false, false, false}, 8, {41, 99, 41}, BLACK, BLACK},
    {122, "IDB_INSTALL_HOT", "install_hot.bmp", {PICTOGRAM_INSTALL, true, true, false}, 8, {24, 222, 24},
     {16, 66, 16}, BLACK},
    {123, "IDB_UNINSTALL", "uninstall.bmp", {PICTOGRAM_UNINSTALL, false, false, false}, 8, {41, 41, 99}, BLACK,
     BLACK},
    {124, "IDB_UNINSTALL_OFF", "uninstall_off.bmp", {PICTOGRAM_UNINSTALL, false, false, true}, 8, {128, 128, 128},
     BLACK, {57, 57, 57}},
    {125, "IDB_UNINSTALL_HOT", "uninstall_hot.bmp", {PICTOGRAM_UNINSTALL, true, true, false}, 8, {33, 33, 198},
     {16, 16, 82}, BLACK},
    {126, "IDB_EXIT", "exit.bmp", {PICTOGRAM_EXIT, false, false, false}, 8, {123, 33, 33}, BLACK, BLACK},
    {128, "IDB_EXIT_HOT", "exit_hot.bmp", {PICTOGRAM_EXIT, true, true, false}, 8, {247, 0, 0}, {90, 8, 8}, BLACK},
};

// The background's four colours, all among the platform's fixed system colours.
static const Rgb BACKGROUND_COLOURS[] = {{0, 0, 0}, {0, 255, 0}, {0, 128, 0}, {255, 255, 255}};

// An 8-bit picture's palette: its colours first, every other entry black so
// that no index can show a colour the picture does not have.
static std::vector<Rgb> Palette256(const std::vector<Rgb> &colours)
{
    std::vector<Rgb> palette(256, BLACK);
    for (size_t i = 0; i < colours.size(); i++)
        palette[i] = colours[i];
    return palette;
}

static bool SameRgb(Rgb a, Rgb b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// A 4-bit picture takes the standard palette; its colours must be on it.
static bool ToStandard16(Canvas &canvas, const std::vector<Rgb> &colours)
{
    uint8_t map[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < colours.size(); i++) {
        int found = -1;
        for (int j = 0; j < 16 && found < 0; j++)
            if (SameRgb(colours[i], STANDARD_16[j]))
                found = j;
        if (found < 0)
            return false;
        map[i] = static_cast<uint8_t>(found);
    }
    for (uint8_t &pixel : canvas.pixels)
        pixel = map[pixel];
    return true;
}

static bool Write(const std::string &folder, const char *file, const std::vector<uint8_t> &bytes)
{
    const std::string path = folder + "/" + file;
    if (WriteFile(path, bytes))
        return true;
    std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    return false;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (const ButtonFile &button : BUTTONS) {
        Canvas canvas = DrawButton(button.look);
        const std::vector<Rgb> colours = {BLACK, button.ink, button.glow, button.fill};
        std::vector<Rgb> palette;
        if (button.bits == 4) {
            if (!ToStandard16(canvas, colours)) {
                std::fprintf(stderr, "artgen: %s uses a colour off the standard palette\n", button.name);
                return 1;
            }
            palette.assign(STANDARD_16, STANDARD_16 + 16);
        } else {
            palette = Palette256(colours);
        }
        if (!Write(folder, button.file, BitmapFile(canvas, palette, button.bits)))
            return 1;
    }
    Canvas background;
    const char *problem = "";
    if (!DrawBackground(background, &problem)) {
        std::fprintf(stderr, "artgen: cannot set \"%s\" in its box\n", problem);
        return 1;
    }
    const std::vector<Rgb> colours(BACKGROUND_COLOURS, BACKGROUND_COLOURS + 4);
    if (!Write(folder, "background.bmp", BitmapFile(background, Palette256(colours), 8)))
        return 1;
    return Write(folder, "appicon.ico", IconFile(DrawIcon())) ? 0 : 1;
}
