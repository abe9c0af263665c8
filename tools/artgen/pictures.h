// The menu's placeholder pictures, each drawn into a canvas of palette
// indices.
#ifndef ARTGEN_PICTURES_H
#define ARTGEN_PICTURES_H

#include "draw.h"

// Palette indices of a button picture: the black field, the frame and
// pictogram, the glow around them and the filling between Uninstall's ribs.
enum ButtonIndex { BUTTON_FIELD, BUTTON_INK, BUTTON_GLOW, BUTTON_FILL };

enum Pictogram { PICTOGRAM_PLAY, PICTOGRAM_INSTALL, PICTOGRAM_UNINSTALL, PICTOGRAM_EXIT };

struct ButtonLook {
    Pictogram pictogram;
    bool bold; // the highlighted pictures' heavier strokes
    bool glow;
    bool fill;
};

Canvas DrawButton(const ButtonLook &look);

// Palette indices of the background.
enum BackgroundIndex { BACKGROUND_BLACK, BACKGROUND_GREEN, BACKGROUND_SHADE, BACKGROUND_WHITE };

// False when a line of text does not fit its box; `problem` then names it.
bool DrawBackground(Canvas &canvas, const char **problem);

// The program file's icon, 32 by 32 on the standard 16-colour palette.
Canvas DrawIcon();

#endif
