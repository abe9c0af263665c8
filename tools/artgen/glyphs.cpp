#include "glyphs.h"


static const Glyph BLOCK_GLYPHS[] = {
    {'A', 0, ".###. #...# #...# ##### #...# #...# #...#"},
    {'B', 0, "####. #...# #...# ####. #...# #...# ####."},
    {'C', 0, ".###. #...# #.... #.... #.... #...# .###."},
    {'D', 0, "####. #...# #...# #...# #...# #...# ####."},
    {'E', 0, "##### #.... #.... ####. #.... #.... #####"},
    {'F', 0, "##### #.... #.... ####. #.... #.... #...."},
    {'G', 0, ".###. #...# #.... #.### #...# #...# .####"},
    {'H', 0, "#...# #...# #...# ##### #...# #...# #...#"},
    {'I', 0, "##### ..#.. ..#.. ..#.. ..#.. ..#.. #####"},
    {'J', 0, "..### ...#. ...#. ...#. #..#. #..#. .##.."},
    {'K', 0, "#...# #..#. #.#.. ##... #.#.. #..#. #...#"},
    {'L', 0, "#.... #.... #.... #.... #.... #.... #####"},
    {'M', 0, "#...# ##.## #.#.# #.#.# #...# #...# #...#"},
    {'N', 0, "#...# ##..# ##..# #.#.# #..## #..## #...#"},
    {'O', 0, ".###. #...# #...# #...# #...# #...# .###."},
    {'P', 0, "####. #...# #...# ####. #.... #.... #...."},
    {'Q', 0, ".###. #...# #...# #...# #.#.# #..#. .##.#"},
    {'R', 0, "####. #...# #...# ####. #.#.. #..#. #...#"},
    {'S', 0, ".#### #.... #.... .###. ....# ....# ####."},
    {'T', 0, "##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#.."},
    {'U', 0, "#...# #...# #...# #...# #...# #...# .###."},
    {'V', 0, "#...# #...# #...# #...# #...# .#.#. ..#.."},
    {'W', 0, "#...# #...# #...# #.#.# #.#.# #.#.# .#.#."},
    {'X', 0, "#...# #...# .#.#. ..#.. .#.#. #...# #...#"},
    {'Y', 0, "#...# #...# .#.#. ..#.. ..#.. ..#.. ..#.."},
    {'Z', 0, "##### ....# ...#. ..#.. .#... #.... #####"},
};

// Capitals and digits stand on rows 1 to 9, ascenders reach row 0, the
// x-height is rows 4 to 9 and descenders go down to row 12.
static const Glyph NOTICE_GLYPHS[] = {
    {'\xA9', 1, "..#####.. .#.....#. #..###..# #.#...#.# #.#.....# #.#...#.# #..###..# .#.....#. ..#####.."},
    {'.', 9, "#"},
    {',', 9, ".# .# #."},
    {'0', 1, ".###. #...# #..## #.#.# #.#.# ##..# #...# #...# .###."},
    {'1', 1, ".#. ##. .#. .#. .#. .#. .#. .#. ###"},
    {'9', 1, ".###. #...# #...# #...# .#### ....# ....# #...# .###."},
    {'A', 1, "...#... ..#.#.. ..#.#.. .#...#. .#...#. .#####. #.....# #.....# #.....#"},
    {'B', 1, "####. #...# #...# #...# ####. #...# #...# #...# ####."},
    {'L', 1, "#.... #.... #.... #.... #.... #.... #.... #.... #####"},
    {'S', 1, ".###. #...# #.... #.... .###. ....# ....# #...# .###."},
    {'a', 4, ".###. ....# .#### #...# #...# .####"},
    {'c', 4, ".### #... #... #... #... .###"},
    {'d', 0, "....# ....# ....# ....# .#### #...# #...# #...# #...# .####"},
    {'e', 4, ".###. #...# ##### #.... #...# .###."},
    {'f', 0, "..## .#.. .#.. .#.. ###. .#.. .#.. .#.. .#.. .#.."},
    {'g', 4, ".#### #...# #...# #...# #...# .#### ....# #...# .###."},
    {'h', 0, "#.... #.... #.... #.... #.##. ##..# #...# #...# #...# #...#"},
    {'i', 2, "# . # # # # # #"},
    {'k', 0, "#... #... #... #... #..# #.#. ##.. #.#. #..# #..#"},
    {'l', 0, "# # # # # # # # # #"},
    {'m', 4, "###.##. #..#..# #..#..# #..#..# #..#..# #..#..#"},
    {'n', 4, "#.##. ##..# #...# #...# #...# #...#"},
    {'o', 4, ".###. #...# #...# #...# #...# .###."},
    {'r', 4, "#.## ##.. #... #... #... #..."},
    {'s', 4, ".### #... .##. ...# ...# ###."},
    {'t', 2, ".#.. .#.. ###. .#.. .#.. .#.. .#.. ..##"},
    {'v', 4, "#...# #...# #...# .#.#. .#.#. ..#.."},
    {'w', 4, "#.....# #.....# #..#..# #..#..# #.#.#.# .#...#."},
};

const Font BLOCK_FONT = {BLOCK_GLYPHS, sizeof BLOCK_GLYPHS / sizeof BLOCK_GLYPHS[0]};
const Font NOTICE_FONT = {NOTICE_GLYPHS, sizeof NOTICE_GLYPHS / sizeof NOTICE_GLYPHS[0]};

static const Glyph *FindGlyph(const Font &font, char code)
{
    for (int i = 0; i < font.count; i++)
        if (font.glyphs[i].code == code)
            return &font.glyphs[i];
    return nullptr;
}

static int GlyphWidth(const Glyph &glyph)
{
    int width = 0, run = 0;
    for (const char *p = glyph.rows;; p++) {
        if (*p == ' ' || *p == '\0') {
            width = run > width ? run : width;
            run = 0;
            if (*p == '\0')
                return width;
        } else {
            run++;
        }
    }
}

// Columns the i-th character takes; a character the font lacks is set as a
// space.
static int Advance(const Font &font, const char *text, size_t i, const Setting &setting)
{
    const Glyph *glyph = text[i] == ' ' ? nullptr : FindGlyph(font, text[i]);
    if (glyph)
        return GlyphWidth(*glyph) * setting.scaleX;
    int spacesBefore = 0;
    for (size_t j = 0; j < i; j++)
        spacesBefore += text[j] == ' ' || !FindGlyph(font, text[j]);
    return setting.space + (spacesBefore < setting.wider ? 1 : 0);
}

static bool GapFollows(const char *text, size_t i)
{
    return text[i] != ' ' && text[i + 1] != ' ' && text[i + 1] != '\0';
}

int TextWidth(const Font &font, const char *text, const Setting &setting)
{
    int width = 0;
    for (size_t i = 0; text[i]; i++)
        width += Advance(font, text, i, setting) + (GapFollows(text, i) ? setting.gap : 0);
    return width;
}

int SpaceCount(const char *text)
{
    int count = 0;
    for (; *text; text++)
        count += *text == ' ';
    return count;
}

static void DrawGlyph(Canvas &canvas, const Glyph &glyph, int x, int y, const Setting &setting, uint8_t index)
{
    int row = glyph.top, column = 0;
    for (const char *p = glyph.rows; *p; p++) {
        if (*p == ' ') {
            row++;
            column = 0;
            continue;
        }
        if (*p == '#')
            for (int dy = 0; dy < setting.scaleY; dy++)
                for (int dx = 0; dx < setting.scaleX; dx++)
                    SetPixel(canvas, x + column * setting.scaleX + dx, y + row * setting.scaleY + dy, index);
        column++;
    }
}

void DrawText(Canvas &canvas, const Font &font, const char *text, int x, int y, const Setting &setting,
              uint8_t index)
{
    for (size_t i = 0; text[i]; i++) {
        const Glyph *glyph = text[i] == ' ' ? nullptr : FindGlyph(font, text[i]);
        if (glyph)
            DrawGlyph(canvas, *glyph, x, y, setting, index);
        x += Advance(font, text, i, setting) + (GapFollows(text, i) ? setting.gap : 0);
    }
}

bool CanSet(const Font &font, const char *text)
{
    for (; *text; text++)
        if (*text != ' ' && !FindGlyph(font, *text))
            return false;
    return true;
}
