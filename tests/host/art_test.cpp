// The menu's pictures and icon: the committed files are what the generator
// draws, and they have the sizes, formats, colours and layout the menu's
// slots expect.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "art_bitmap.h"

namespace {

const std::string RES = AUTORUN_SOURCE_DIR "/res/";

const ArtRgb BLACK = {0, 0, 0};
const ArtRgb STANDARD_16[16] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0}, {0, 0, 128}, {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

struct Box {
    int left, top, right, bottom; // inclusive
};

enum Pictogram { PLAY, INSTALL, UNINSTALL, EXIT };
const Box PICTOGRAM_BOX[] = {{16, 19, 109, 76}, {33, 9, 94, 86}, {37, 14, 90, 77}, {31, 15, 96, 80}};

enum State { OFF, NORMAL, HOT };

struct Button {
    const char *file;
    Pictogram pictogram;
    State state;
    int bits;
    ArtRgb ink;
    std::vector<ArtRgb> others; // colours beside black and the ink
};

std::vector<Button> Buttons()
{
    return {
        {"play_off.bmp", PLAY, OFF, 8, {128, 128, 128}, {}},
        {"play.bmp", PLAY, NORMAL, 8, {74, 74, 24}, {}},
        {"play_hot.bmp", PLAY, HOT, 4, {255, 255, 0}, {}},
        {"install.bmp", INSTALL, NORMAL, 8, {41, 99, 41}, {}},
        {"install_hot.bmp", INSTALL, HOT, 8, {24, 222, 24}, {{16, 66, 16}}},
        {"uninstall.bmp", UNINSTALL, NORMAL, 8, {41, 41, 99}, {}},
        {"uninstall_off.bmp", UNINSTALL, OFF, 8, {128, 128, 128}, {{57, 57, 57}}},
        {"uninstall_hot.bmp", UNINSTALL, HOT, 8, {33, 33, 198}, {{16, 16, 82}}},
        {"exit.bmp", EXIT, NORMAL, 8, {123, 33, 33}, {}},
        {"exit_hot.bmp", EXIT, HOT, 8, {247, 0, 0}, {{90, 8, 8}}},
    };
}

std::string Describe(ArtRgb c)
{
    return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

// Loads a bitmap file, checking the file header against the info header.
ArtImage LoadBitmap(const std::string &file)
{
    const std::vector<uint8_t> bytes = ArtReadFile(RES + file);
    ArtImage image;
    EXPECT_GE(bytes.size(), 54u) << file;
    if (bytes.size() < 54)
        return image;
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(ArtLe(bytes, 2, 4), bytes.size()) << "bfSize";
    const int height = static_cast<int32_t>(ArtLe(bytes, 22, 4));
    EXPECT_TRUE(ArtParseDib(bytes, 14, height > 0 ? height : 0, image)) << file << " is cut short";
    EXPECT_EQ(ArtLe(bytes, 10, 4), 14 + 40 + 4 * image.palette.size()) << "pixels follow the palette";
    for (uint8_t index : image.pixels)
        if (index >= image.palette.size()) {
            ADD_FAILURE() << file << " has a pixel off its palette";
            image.pixels.clear();
            image.width = image.height = 0;
            break;
        }
    return image;
}

std::set<ArtRgb> ColoursIn(const ArtImage &image)
{
    std::set<ArtRgb> colours;
    for (uint8_t index : image.pixels)
        colours.insert(image.palette[index]);
    return colours;
}

// Bounding box of the pixels of the given colours inside `area`; left > right when none.
Box BoundsOf(const ArtImage &image, std::set<ArtRgb> colours, Box area)
{
    Box found = {area.right + 1, area.bottom + 1, area.left - 1, area.top - 1};
    for (int y = area.top; y <= area.bottom; y++)
        for (int x = area.left; x <= area.right; x++)
            if (colours.count(image.Rgb(x, y))) {
                found.left = std::min(found.left, x);
                found.right = std::max(found.right, x);
                found.top = std::min(found.top, y);
                found.bottom = std::max(found.bottom, y);
            }
    return found;
}

void ExpectBox(const Box &got, const Box &want)
{
    EXPECT_EQ(got.left, want.left) << "left column";
    EXPECT_EQ(got.right, want.right) << "right column";
    EXPECT_EQ(got.top, want.top) << "top row";
    EXPECT_EQ(got.bottom, want.bottom) << "bottom row";
}

// Runs of consecutive rows (or columns) for which `has` holds, as [first, last].
template <typename F> std::vector<std::pair<int, int>> Runs(int from, int to, F has)
{
    std::vector<std::pair<int, int>> runs;
    for (int i = from; i <= to; i++)
        if (has(i)) {
            if (runs.empty() || runs.back().second != i - 1)
                runs.push_back({i, i});
            else
                runs.back().second = i;
        }
    return runs;
}

// Inside the frame, clear of its rounded corners; every pictogram lies here.
const Box INSIDE_FRAME = {8, 7, 119, 87};

TEST(Art, GeneratorRedrawsTheCommittedFilesByteForByte)
{
    char folder[] = "/tmp/artgen-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string command = std::string("'") + ARTGEN_PATH + "' '" + folder + "'";
    ASSERT_EQ(system(command.c_str()), 0) << command;
    const char *files[] = {"background.bmp", "play_off.bmp",      "play.bmp",          "play_hot.bmp",
                           "install.bmp",    "install_hot.bmp",   "uninstall.bmp",     "uninstall_off.bmp",
                           "uninstall_hot.bmp", "exit.bmp",       "exit_hot.bmp",      "appicon.ico"};
    for (const char *file : files) {
        SCOPED_TRACE(file);
        const std::vector<uint8_t> drawn = ArtReadFile(std::string(folder) + "/" + file);
        EXPECT_FALSE(drawn.empty()) << "the generator wrote no " << file;
        EXPECT_TRUE(drawn == ArtReadFile(RES + file)) << "res/" << file << " differs from what the generator draws";
        unlink((std::string(folder) + "/" + file).c_str());
    }
    rmdir(folder);
}

TEST(Art, ButtonFilesHaveTheirFormatAndColours)
{
    for (const Button &b : Buttons()) {
        SCOPED_TRACE(b.file);
        const ArtImage image = LoadBitmap(b.file);
        EXPECT_EQ(image.info.size, 40u);
        EXPECT_EQ(image.info.width, 128);
        EXPECT_EQ(image.info.height, 96) << "positive: rows stored bottom-up";
        EXPECT_EQ(image.info.planes, 1);
        EXPECT_EQ(image.info.bits, b.bits);
        EXPECT_EQ(image.info.compression, 0u) << "BI_RGB";
        EXPECT_EQ(image.info.imageSize, 128u * b.bits / 8 * 96);
        ASSERT_EQ(image.palette.size(), 1u << b.bits);
        if (b.bits == 4) {
            EXPECT_TRUE(std::equal(image.palette.begin(), image.palette.end(), STANDARD_16))
                << "the standard 16-colour palette";
        }
        std::set<ArtRgb> want = {BLACK, b.ink};
        want.insert(b.others.begin(), b.others.end());
        const std::set<ArtRgb> got = ColoursIn(image);
        for (ArtRgb c : got)
            EXPECT_TRUE(want.count(c)) << "unexpected colour " << Describe(c);
        for (ArtRgb c : want)
            EXPECT_TRUE(got.count(c)) << "missing colour " << Describe(c);
    }
}

TEST(Art, FrameRunsWhereTheLayoutPutsIt)
{
    for (const Button &b : Buttons()) {
        SCOPED_TRACE(b.file);
        const ArtImage image = LoadBitmap(b.file);
        ASSERT_EQ(image.width, 128);
        auto ink = [&](int x, int y) { return image.Rgb(x, y) == b.ink; };
        // Along the straight sides the frame is exactly these columns and rows.
        for (int y = 20; y <= 75; y++) {
            const auto runs = Runs(0, 7, [&](int x) { return ink(x, y); });
            const auto right = Runs(120, 127, [&](int x) { return ink(x, y); });
            ASSERT_EQ(runs, (std::vector<std::pair<int, int>>{{1, 3}})) << "left side, row " << y;
            ASSERT_EQ(right, (std::vector<std::pair<int, int>>{{124, 127}})) << "right side, row " << y;
        }
        for (int x = 20; x <= 107; x++) {
            const auto top = Runs(0, 8, [&](int y) { return ink(x, y); });
            const auto bottom = Runs(87, 95, [&](int y) { return ink(x, y); });
            ASSERT_EQ(top, (std::vector<std::pair<int, int>>{{2, 5}})) << "top side, column " << x;
            ASSERT_EQ(bottom, (std::vector<std::pair<int, int>>{{89, 92}})) << "bottom side, column " << x;
        }
        // Rounded corners: the rectangle's corner pixels stay clear.
        for (auto corner : {std::pair<int, int>{1, 2}, {127, 2}, {1, 92}, {127, 92}})
            EXPECT_FALSE(ink(corner.first, corner.second)) << "corner " << corner.first << "," << corner.second;
    }
}

TEST(Art, PictogramsFillTheirBoxes)
{
    for (const Button &b : Buttons()) {
        SCOPED_TRACE(b.file);
        const ArtImage image = LoadBitmap(b.file);
        ASSERT_EQ(image.width, 128);
        ExpectBox(BoundsOf(image, {b.ink}, INSIDE_FRAME), PICTOGRAM_BOX[b.pictogram]);
    }
}

TEST(Art, InstallStacksDriveArrowAndDisc)
{
    for (const char *file : {"install.bmp", "install_hot.bmp"}) {
        SCOPED_TRACE(file);
        const ArtImage image = LoadBitmap(file);
        ASSERT_EQ(image.width, 128);
        const ArtRgb ink = image.Rgb(2, 48);
        const auto rows = Runs(INSIDE_FRAME.top, INSIDE_FRAME.bottom, [&](int y) {
            for (int x = 33; x <= 94; x++)
                if (image.Rgb(x, y) == ink)
                    return true;
            return false;
        });
        EXPECT_EQ(rows, (std::vector<std::pair<int, int>>{{9, 26}, {30, 38}, {42, 86}}));
        // The disc is a filled circle about 44 pixels across, centred, with a hole at its middle.
        const auto across = Runs(33, 94, [&](int x) { return image.Rgb(x, 64) == ink; });
        ASSERT_FALSE(across.empty());
        EXPECT_NEAR(across.back().second - across.front().first + 1, 44, 1);
        EXPECT_NEAR((across.front().first + across.back().second) / 2.0, 63.5, 0.5);
        EXPECT_NE(image.Rgb(63, 64), ink) << "centre hole";
    }
}

TEST(Art, BinHasFiveRibsWithTheFillBetween)
{
    const struct {
        const char *file;
        ArtRgb between;
    } cases[] = {
        {"uninstall.bmp", BLACK},
        {"uninstall_off.bmp", {57, 57, 57}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const ArtImage image = LoadBitmap(c.file);
        ASSERT_EQ(image.width, 128);
        const ArtRgb ink = image.Rgb(2, 48);
        for (int y = 40; y <= 70; y++) {
            const auto ribs = Runs(37, 90, [&](int x) { return image.Rgb(x, y) == ink; });
            ASSERT_EQ(ribs.size(), 5u) << "row " << y;
            for (size_t i = 0; i + 1 < ribs.size(); i++)
                for (int x = ribs[i].second + 1; x < ribs[i + 1].first; x++)
                    ASSERT_EQ(image.Rgb(x, y), c.between) << "between ribs at " << x << "," << y;
        }
    }
    // The highlighted bin keeps five ribs too, only bolder.
    const ArtImage hot = LoadBitmap("uninstall_hot.bmp");
    ASSERT_EQ(hot.width, 128);
    EXPECT_EQ(Runs(37, 90, [&](int x) { return hot.Rgb(x, 55) == hot.Rgb(2, 48); }).size(), 5u);
}

TEST(Art, HighlightedPicturesAreBolderAndGlow)
{
    const struct {
        const char *normal, *hot;
        bool glow;
    } pairs[] = {
        {"play.bmp", "play_hot.bmp", false},
        {"install.bmp", "install_hot.bmp", true},
        {"uninstall.bmp", "uninstall_hot.bmp", true},
        {"exit.bmp", "exit_hot.bmp", true},
    };
    for (const auto &p : pairs) {
        SCOPED_TRACE(p.hot);
        const ArtImage normal = LoadBitmap(p.normal), hot = LoadBitmap(p.hot);
        ASSERT_EQ(normal.width, 128);
        ASSERT_EQ(hot.width, 128);
        const ArtRgb normalInk = normal.Rgb(2, 48), hotInk = hot.Rgb(2, 48);
        int normalCount = 0, hotCount = 0;
        for (int y = INSIDE_FRAME.top; y <= INSIDE_FRAME.bottom; y++)
            for (int x = INSIDE_FRAME.left; x <= INSIDE_FRAME.right; x++) {
                normalCount += normal.Rgb(x, y) == normalInk;
                hotCount += hot.Rgb(x, y) == hotInk;
            }
        EXPECT_GT(hotCount, normalCount) << "bolder strokes";
        if (!p.glow)
            continue;
        // Every stroke, frame included, is ringed by glow about two pixels wide:
        // no black pixel lies within two pixels of the ink, and no glow pixel farther than about two.
        auto inkWithin = [&](int x, int y, int r2) {
            for (int dy = -3; dy <= 3; dy++)
                for (int dx = -3; dx <= 3; dx++) {
                    const int nx = x + dx, ny = y + dy;
                    if (dx * dx + dy * dy <= r2 && nx >= 0 && ny >= 0 && nx < 128 && ny < 96 &&
                        hot.Rgb(nx, ny) == hotInk)
                        return true;
                }
            return false;
        };
        int glowCount = 0;
        for (int y = 0; y < 96; y++)
            for (int x = 0; x < 128; x++) {
                const ArtRgb c = hot.Rgb(x, y);
                if (c == BLACK) {
                    ASSERT_FALSE(inkWithin(x, y, 4)) << "black next to a stroke at " << x << "," << y;
                } else if (c != hotInk) {
                    glowCount++;
                    ASSERT_TRUE(inkWithin(x, y, 5)) << "glow far from any stroke at " << x << "," << y;
                }
            }
        EXPECT_GT(glowCount, 0);
    }
}

TEST(Art, EveryPictureOfASlotDiffersAcrossTheFrame)
{
    auto inFrame = [](int x, int y) {
        return x < INSIDE_FRAME.left || x > INSIDE_FRAME.right || y < INSIDE_FRAME.top || y > INSIDE_FRAME.bottom;
    };
    const std::vector<Button> buttons = Buttons();
    std::vector<ArtImage> images;
    for (const Button &b : buttons)
        images.push_back(LoadBitmap(b.file));
    for (size_t i = 0; i < buttons.size(); i++)
        for (size_t j = i + 1; j < buttons.size(); j++) {
            SCOPED_TRACE(std::string(buttons[i].file) + " against " + buttons[j].file);
            ASSERT_EQ(images[i].width, 128);
            ASSERT_EQ(images[j].width, 128);
            int frame = 0, frameDiffers = 0, differs = 0;
            for (int y = 0; y < 96; y++)
                for (int x = 0; x < 128; x++) {
                    const bool differ = images[i].Rgb(x, y) != images[j].Rgb(x, y);
                    differs += differ;
                    if (inFrame(x, y) && images[i].Rgb(x, y) == buttons[i].ink) {
                        frame++;
                        frameDiffers += differ;
                    }
                }
            EXPECT_GT(differs, 500) << "pictures must be told apart on screen";
            if (buttons[i].pictogram == buttons[j].pictogram) {
                EXPECT_GT(frameDiffers, frame * 9 / 10) << "states of one button differ across the frame";
            }
        }
}

TEST(Art, BackgroundHasTitleNoticeAndAPlainBand)
{
    const ArtImage image = LoadBitmap("background.bmp");
    EXPECT_EQ(image.info.size, 40u);
    EXPECT_EQ(image.info.width, 640);
    EXPECT_EQ(image.info.height, 480);
    EXPECT_EQ(image.info.planes, 1);
    EXPECT_EQ(image.info.bits, 8);
    EXPECT_EQ(image.info.compression, 0u);
    EXPECT_EQ(image.info.imageSize, 640u * 480);
    ASSERT_EQ(image.palette.size(), 256u);
    ASSERT_EQ(image.width, 640);
    const ArtRgb green = {0, 255, 0}, shade = {0, 128, 0}, white = {255, 255, 255};
    EXPECT_EQ(ColoursIn(image), (std::set<ArtRgb>{BLACK, green, shade, white}));

    const Box all = {0, 0, 639, 479};
    {
        SCOPED_TRACE("title");
        ExpectBox(BoundsOf(image, {green, shade}, all), {204, 159, 434, 244});
        // The shading lies below and to the right of the lettering it shades.
        const Box letters = BoundsOf(image, {green}, all), shading = BoundsOf(image, {shade}, all);
        EXPECT_EQ(letters.left, 204);
        EXPECT_EQ(letters.top, 159);
        EXPECT_GT(shading.left, letters.left);
        EXPECT_GT(shading.top, letters.top);
    }
    {
        SCOPED_TRACE("rights notice");
        ExpectBox(BoundsOf(image, {white}, all), {189, 460, 450, 472});
    }
    // Two lines of title, the first the larger.
    const auto lines = Runs(159, 244, [&](int y) {
        for (int x = 204; x <= 434; x++)
            if (image.Rgb(x, y) != BLACK)
                return true;
        return false;
    });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_GT(lines[0].second - lines[0].first, 2 * (lines[1].second - lines[1].first));

    // The button band and what the client area does not show are plain black.
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            if ((y >= 346 && y <= 441) || x >= 632 || y >= 478) {
                ASSERT_EQ(image.Rgb(x, y), BLACK) << "at " << x << "," << y;
            }
}

TEST(Art, IconIsOneOpaqueSixteenColourImage)
{
    const std::vector<uint8_t> b = ArtReadFile(RES + "appicon.ico");
    ASSERT_EQ(b.size(), 6u + 16u + 744u);
    EXPECT_EQ(ArtLe(b, 0, 2), 0u);
    EXPECT_EQ(ArtLe(b, 2, 2), 1u) << "icon, not cursor";
    EXPECT_EQ(ArtLe(b, 4, 2), 1u) << "one image";
    EXPECT_EQ(b[6], 32);
    EXPECT_EQ(b[7], 32);
    EXPECT_EQ(b[8], 16) << "colour count";
    EXPECT_EQ(ArtLe(b, 10, 2), 1u) << "planes";
    EXPECT_EQ(ArtLe(b, 12, 2), 4u) << "bits";
    EXPECT_EQ(ArtLe(b, 14, 4), 744u);
    EXPECT_EQ(ArtLe(b, 18, 4), 22u);

    ArtImage image;
    ASSERT_TRUE(ArtParseDib(b, 22, 32, image));
    EXPECT_EQ(image.info.size, 40u);
    EXPECT_EQ(image.info.width, 32);
    EXPECT_EQ(image.info.height, 64) << "colour bits and mask";
    EXPECT_EQ(image.info.bits, 4);
    EXPECT_EQ(image.info.compression, 0u);
    ASSERT_EQ(image.palette.size(), 16u);
    EXPECT_TRUE(std::equal(image.palette.begin(), image.palette.end(), STANDARD_16));
    const size_t mask = 22 + 40 + 64 + 512;
    EXPECT_TRUE(std::all_of(b.begin() + mask, b.end(), [](uint8_t v) { return v == 0; })) << "empty mask";

    // Red lettering over the upper two thirds, a grey scribble beneath, on black.
    const ArtRgb red = STANDARD_16[9], darkRed = STANDARD_16[1], grey = STANDARD_16[8];
    std::map<int, int> count;
    int lowestRed = -1, highestGrey = 32;
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            const ArtRgb c = image.Rgb(x, y);
            EXPECT_TRUE(c == BLACK || c == red || c == darkRed || c == grey) << "colour " << Describe(c);
            count[image.At(x, y)]++;
            if (c == red || c == darkRed)
                lowestRed = y;
            if (c == grey)
                highestGrey = std::min(highestGrey, y);
        }
    EXPECT_GT(count[9], 60) << "red lettering";
    EXPECT_GT(count[8], 10) << "grey scribble";
    EXPECT_GT(count[0], 32 * 32 / 2) << "on black";
    EXPECT_LE(lowestRed, 32 * 2 / 3);
    EXPECT_GT(highestGrey, lowestRed);
}

} // namespace
