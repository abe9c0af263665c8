#include "pictures.h"

#include <cmath>

#include "glyphs.h"

static const int BUTTON_WIDTH = 128, BUTTON_HEIGHT = 96;

// A button's frame: the ring between two rounded rectangles, columns 1-3 and
// 124-127, rows 2-5 and 89-92.
static bool InFrame(double x, double y)
{
    return InRoundRect(x, y, 1, 2, 128, 93, 9) && !InRoundRect(x, y, 4, 6, 124, 89, 6);
}

// Black pixels this close to the ink, centre to centre, take the glow.
static const double GLOW_RADIUS = 2.25;

// Where each pictogram lies. Drawing is clipped to the box, so a stroke drawn
// a little long ends square on its edge, whatever the stroke's weight.
static const Box PICTOGRAM_BOXES[] = {
    {16, 19, 110, 77}, // Play
    {33, 9, 95, 87},   // Install
    {37, 14, 91, 78},  // Uninstall
    {31, 15, 97, 81},  // Exit
};

// A stick figure running to the left, head leading, speed lines behind it.
static void DrawPlay(Canvas &canvas, const Box &box, const ButtonLook &look)
{
    const double hw = look.bold ? 2.5 : 1.5;
    const std::vector<std::vector<Point>> limbs = {
        {{36, 34}, {55, 56}},                         // neck and body, leaning into the run
        {{41, 40}, {30, 48}, {17.5, 42}},             // leading arm
        {{41, 40}, {53, 45}, {62, 36}},               // trailing arm
        {{55, 56}, {41, 61}, {36, 75.5}, {29, 75.5}}, // leading leg, foot down
        {{55, 56}, {65, 67}, {77, 61}},               // trailing leg, kicked up
    };
    // Start and end column and the row of each speed line.
    const double lines[5][3] = {{70, 104, 31}, {67, 109.5, 40}, {68, 106, 49}, {79, 109.5, 58}, {83, 103, 67}};
    Paint(canvas, box, [&](double x, double y) {
        if (InEllipse(x, y, 29, 28.5, 9.5, 9.5))
            return true;
        for (const auto &limb : limbs)
            if (InPolyline(x, y, limb, hw))
                return true;
        for (const auto &line : lines)
            if (InStroke(x, y, {line[0], line[2]}, {line[1], line[2]}, hw, true))
                return true;
        return false;
    }, BUTTON_INK);
}

// A drive's front with its slot, an arrow up and a compact disc.
static void DrawInstall(Canvas &canvas, const Box &box, const ButtonLook &look)
{
    const Point disc = {64, 64.5};
    const double hole = look.bold ? 3.0 : 3.5, sectorSpan = look.bold ? 20 : 24;
    Paint(canvas, box, [&](double x, double y) {
        if (InRoundRect(x, y, 33, 9, 95, 27, 5))
            return !InRoundRect(x, y, 38, look.bold ? 16.5 : 16, 54, look.bold ? 19.5 : 20, 1.5);
        if (InTriangle(x, y, {64, 29.6}, {look.bold ? 74.5 : 73.5, 39}, {look.bold ? 53.5 : 54.5, 39}))
            return true;
        if (!InEllipse(x, y, disc.x, disc.y, 22, 22.5) || InEllipse(x, y, disc.x, disc.y, hole, hole))
            return false;
        // The shadows of the disc's sheen: two wedges at the upper left, one at the lower right.
        for (double angle : {-150.0, -112.0, 48.0})
            if (InSector(x, y, disc, 8, 19.5, angle, sectorSpan))
                return false;
        return true;
    }, BUTTON_INK);
}

// Body of the waste bin: a trapezoid narrowing downwards, bottom corners rounded.
static bool InBinBody(double x, double y, double top, double bottom, double *left, double *right)
{
    const double t = (y - top) / (bottom - top), corner = 4;
    *left = 41 + 4 * t;
    *right = 87 - 4 * t;
    if (y < top || y > bottom || x < *left || x > *right)
        return false;
    if (y <= bottom - corner)
        return true;
    const double dy = y - (bottom - corner);
    const double inset = corner - std::sqrt(corner * corner - dy * dy);
    return x >= *left + inset && x <= *right - inset;
}

// A waste bin from the front: handle, lid and a body of five ribs.
static void DrawUninstall(Canvas &canvas, const Box &box, const ButtonLook &look)
{
    const double handle = look.bold ? 4 : 3, rib = look.bold ? 6 : 4, rim = look.bold ? 4 : 3;
    const double lidTop = look.bold ? 20 : 21, lidBottom = look.bold ? 30 : 29;
    const double bodyTop = look.bold ? 31 : 32, bodyBottom = 78;
    // Ribs run from the body's top rim to its bottom rim; the spaces between them are the gaps.
    auto inGap = [&](double x, double y) {
        double left, right;
        if (!InBinBody(x, y, bodyTop, bodyBottom, &left, &right) || y < bodyTop + rim || y > bodyBottom - rim)
            return false;
        // Each rib starts on a whole column so that all keep the same width.
        for (int i = 0; i < 5; i++) {
            const double ribLeft = std::floor(left + i * (right - left - rib) / 4 + 0.5);
            if (x >= ribLeft && x < ribLeft + rib)
                return false;
        }
        return true;
    };
    Paint(canvas, box, [&](double x, double y) {
        double left, right;
        if (InRoundRect(x, y, 56, 14, 72, 24, 3) && !InRoundRect(x, y, 56 + handle, 14 + handle, 72 - handle, 30, 1))
            return true;
        if (InRoundRect(x, y, 37, lidTop, 91, lidBottom, 2.5))
            return true;
        return InBinBody(x, y, bodyTop, bodyBottom, &left, &right) && !inGap(x, y);
    }, BUTTON_INK);
    if (look.fill)
        Paint(canvas, box, inGap, BUTTON_FILL);
}

// Two crossing bars, cut square by the pictogram's box.
static void DrawExit(Canvas &canvas, const Box &box, const ButtonLook &look)
{
    const double hw = look.bold ? 7 : 5.5;
    Paint(canvas, box, [&](double x, double y) {
        return InStroke(x, y, {29, 13}, {99, 83}, hw, false) || InStroke(x, y, {99, 13}, {29, 83}, hw, false);
    }, BUTTON_INK);
}

static void (*const PICTOGRAM_DRAW[])(Canvas &, const Box &, const ButtonLook &) = {
    DrawPlay,
    DrawInstall,
    DrawUninstall,
    DrawExit,
};

Canvas DrawButton(const ButtonLook &look)
{
    Canvas canvas = MakeCanvas(BUTTON_WIDTH, BUTTON_HEIGHT, BUTTON_FIELD);
    Paint(canvas, {0, 0, BUTTON_WIDTH, BUTTON_HEIGHT}, InFrame, BUTTON_INK);
    PICTOGRAM_DRAW[look.pictogram](canvas, PICTOGRAM_BOXES[look.pictogram], look);
    if (look.glow)
        Halo(canvas, {BUTTON_INK}, BUTTON_FIELD, BUTTON_GLOW, GLOW_RADIUS);
    return canvas;
}

// One line of the background's lettering, set to its box.
struct Line {
    const char *text;
    const Font *font;
    Setting setting;
    int depth; // rows and columns of shading below and to the right
    Box box;   // left, top, right and bottom of the line, shading included
    bool centred;
    BackgroundIndex face;
};

static const Line BACKGROUND_LINES[] = {
    {"TERVALON", &BLOCK_FONT, {5, 7, 4, 0, 0}, 3, {204, 159, 435, 211}, false, BACKGROUND_GREEN},
    {"THE EMBER CROWN", &BLOCK_FONT, {2, 3, 2, 8, 0}, 2, {204, 222, 435, 245}, true, BACKGROUND_GREEN},
    {"\xA9 1999 Brackenmoor Software. All rights reserved.", &NOTICE_FONT, {1, 1, 1, 3, 0}, 0,
     {189, 460, 451, 473}, false, BACKGROUND_WHITE},
};

// A line that is not centred is set to its box's full width by widening its
// spaces.
static bool SetLine(Canvas &canvas, const Line &line)
{
    if (!CanSet(*line.font, line.text))
        return false;
    Setting setting = line.setting;
    const int room = line.box.right - line.box.left - line.depth;
    int width = TextWidth(*line.font, line.text, setting);
    const int spaces = SpaceCount(line.text);
    if (!line.centred && width < room && spaces > 0) {
        setting.space += (room - width) / spaces;
        setting.wider = (room - width) % spaces;
        width = TextWidth(*line.font, line.text, setting);
    }
    if (width > room)
        return false;
    const int x = line.box.left + (line.centred ? (room - width) / 2 : 0);
    for (int d = line.depth; d >= 1; d--)
        DrawText(canvas, *line.font, line.text, x + d, line.box.top + d, setting, BACKGROUND_SHADE);
    DrawText(canvas, *line.font, line.text, x, line.box.top, setting, line.face);
    return true;
}

bool DrawBackground(Canvas &canvas, const char **problem)
{
    canvas = MakeCanvas(640, 480, BACKGROUND_BLACK);
    for (const Line &line : BACKGROUND_LINES)
        if (!SetLine(canvas, line)) {
            *problem = line.text;
            return false;
        }
    return true;
}

// Standard palette indices the icon uses.
static const uint8_t ICON_BLACK = 0, ICON_SHADE = 1, ICON_GREY = 8, ICON_RED = 9;

Canvas DrawIcon()
{
    Canvas canvas = MakeCanvas(32, 32, ICON_BLACK);
    const std::vector<std::vector<Point>> letters = {
        Bezier({3, 9}, {4, 3}, {13, 7}, {27, 3}, 24),     // the T's swung bar
        Bezier({15, 5}, {16, 11}, {14, 18}, {8, 20}, 24), // its stem, hooked
        Bezier({8, 20}, {5, 20}, {4, 17}, {7, 16}, 12),
        Bezier({17, 10}, {19, 12}, {18, 18}, {21, 20}, 16), // a v
        Bezier({21, 20}, {23, 16}, {25, 10}, {29, 9}, 16),
    };
    const std::vector<Point> scribble = Bezier({6, 27}, {10, 22}, {12, 31}, {16, 26}, 16);
    const std::vector<Point> scribbleEnd = Bezier({16, 26}, {20, 21}, {21, 31}, {26, 25}, 16);
    const Box all = {0, 0, 32, 32};
    Paint(canvas, all, [&](double x, double y) {
        return InPolyline(x, y, scribble, 0.9) || InPolyline(x, y, scribbleEnd, 0.9);
    }, ICON_GREY);
    auto inLetters = [&](double x, double y) {
        for (const auto &stroke : letters)
            if (InPolyline(x, y, stroke, 1.2))
                return true;
        return false;
    };
    Paint(canvas, all, [&](double x, double y) { return inLetters(x - 1, y - 1) && !inLetters(x, y); }, ICON_SHADE);
    Paint(canvas, all, inLetters, ICON_RED);
    return canvas;
}
