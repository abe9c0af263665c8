// The menu window: slot table, hit test and drawing. HoverSlot and
// CurrentInstallState are written only here.
#ifndef AUTORUN_MENU_H
#define AUTORUN_MENU_H

#include "install/install.h"
#include "platform/platform.h"

enum {
    SLOT_NONE = -1,
    SLOT_PLAY = 0,
    SLOT_INSTALL = 1,
    SLOT_UNINSTALL = 2,
    SLOT_EXIT = 3,
    SLOT_BACKGROUND = 4,
    SLOT_COUNT = 5,
    BUTTON_COUNT = 4,
};

struct MenuSlot {
    int left;
    int top;
    int width;
    int height;
    int unavailable;
    int normal;
    int highlighted;
};

extern const MenuSlot MenuSlots[SLOT_COUNT];
extern int HoverSlot;
extern InstallState CurrentInstallState;

INT_PTR CALLBACK MenuDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RepaintMenu(HWND window);
void DrawSlotBitmap(HWND window, int bitmapId, int slot);
bool PointInSlot(int slot, int px, int py);

#endif
