// The built-in lettering: no system font is involved, so the pictures come
// out the same on every machine.
#ifndef ARTGEN_GLYPHS_H
#define ARTGEN_GLYPHS_H

#include <cstdint>

#include "draw.h"

// One glyph: its rows from `top` down, '#' for ink, separated by spaces. Rows
// not given are empty; the glyph is as wide as its longest row.
struct Glyph {
    char code;
    int top;
    const char *rows;
};

struct Font {
    const Glyph *glyphs;
    int count;
};

// How a line is set, in canvas pixels: each font pixel is a scaleX by scaleY
// block, `gap` columns part two glyphs and a space is `space` columns wide,
// the first `wider` spaces one column more (to set a line to an exact width).
struct Setting {
    int scaleX;
    int scaleY;
    int gap;
    int space;
    int wider;
};

// Capitals on a 5 by 7 grid, drawn in blocks for the title.
extern const Font BLOCK_FONT;
// Small mixed-case lettering, 13 rows with descenders, for the rights notice.
// 0xA9 is the copyright sign.
extern const Font NOTICE_FONT;

// True when the font has a glyph for every character but the spaces.
bool CanSet(const Font &font, const char *text);
int TextWidth(const Font &font, const char *text, const Setting &setting);
int SpaceCount(const char *text);

// Draws `text` with the top left of its first cell at (x, y).
void DrawText(Canvas &canvas, const Font &font, const char *text, int x, int y, const Setting &setting,
              uint8_t index);

#endif
