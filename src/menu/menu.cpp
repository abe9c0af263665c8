#include "menu/menu.h"

#include "actions/actions.h"
#include "launcher/launcher.h"
#include "res/resource.h"

// Rectangles are in client coordinates, where the pictures are drawn.
const MenuSlot MenuSlots[SLOT_COUNT] = {
    {16, 346, 128, 96, IDB_PLAY_OFF, IDB_PLAY, IDB_PLAY_HOT},
    {176, 346, 128, 96, IDB_INSTALL, IDB_INSTALL, IDB_INSTALL_HOT},
    {336, 346, 128, 96, IDB_UNINSTALL_OFF, IDB_UNINSTALL, IDB_UNINSTALL_HOT},
    {488, 346, 128, 96, IDB_EXIT, IDB_EXIT, IDB_EXIT_HOT},
    {0, 0, 640, 480, IDB_BACKGROUND, 0, 0},
};

// No button until the first hit test, so a press that somehow comes first
// cannot start Play.
int HoverSlot = SLOT_NONE;
InstallState CurrentInstallState = INSTALL_NONE;

void DrawSlotBitmap(HWND window, int bitmapId, int slot)
{
    const MenuSlot &rect = MenuSlots[slot];
    HDC windowDc = GetDC(window);
    HBITMAP bitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(bitmapId));
    HDC memoryDc = CreateCompatibleDC(windowDc);
    SelectObject(memoryDc, bitmap);
    BitBlt(windowDc, rect.left, rect.top, rect.width, rect.height, memoryDc, 0, 0, SRCCOPY);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    DeleteObject(bitmap);
}

// Play and Uninstall exist only while the product's entry can be read.
static bool SlotAvailable(int slot)
{
    return (slot != SLOT_PLAY && slot != SLOT_UNINSTALL) || CurrentInstallState == INSTALL_FOUND;
}

static int RestingPicture(int slot)
{
    return SlotAvailable(slot) ? MenuSlots[slot].normal : MenuSlots[slot].unavailable;
}

void RepaintMenu(HWND window)
{
    static const int drawOrder[BUTTON_COUNT] = {SLOT_INSTALL, SLOT_EXIT, SLOT_PLAY, SLOT_UNINSTALL};
    CurrentInstallState = QueryInstallState();
    DrawSlotBitmap(window, IDB_BACKGROUND, SLOT_BACKGROUND);
    for (int slot : drawOrder)
        DrawSlotBitmap(window, RestingPicture(slot), slot);
}

// The edges themselves are outside: all four comparisons are strict.
bool PointInSlot(int slot, int px, int py)
{
    const MenuSlot &rect = MenuSlots[slot];
    return px > rect.left && px < rect.left + rect.width && py > rect.top && py < rect.top + rect.height;
}

// The pointer is measured from the outer window rectangle, frame included,
// while the pictures are placed in the client area.
static void TrackPointer(HWND window, LPARAM lParam)
{
    RECT outer;
    GetWindowRect(window, &outer);
    HoverSlot = SLOT_NONE;
    DWORD packed = (DWORD)lParam;
    int px = (int)(packed & 0xFFFF) - outer.left;
    int py = (int)(packed >> 16) - outer.top;
    for (int slot = 0; slot < BUTTON_COUNT; slot++) {
        if (!PointInSlot(slot, px, py)) {
            DrawSlotBitmap(window, RestingPicture(slot), slot);
        } else if (SlotAvailable(slot)) {
            HoverSlot = slot;
            DrawSlotBitmap(window, MenuSlots[slot].highlighted, slot);
        }
    }
}

static void Repaint(HWND window, LPARAM)
{
    RepaintMenu(window);
}

// Acts on the button the latest hit test found; the press is not tested anew.
static void PressButton(HWND window, LPARAM)
{
    if (HoverSlot == SLOT_EXIT)
        EndDialog(window, 0);
    else if (HoverSlot >= SLOT_PLAY && HoverSlot < SLOT_EXIT)
        RunMenuAction(window, HoverSlot);
}

struct MenuMessage {
    UINT message;
    void (*handle)(HWND window, LPARAM lParam);
};

// Everything else, WM_COMMAND from Escape and WM_CLOSE from Alt+F4
// included, goes to the dialog manager untouched.
static const MenuMessage MenuMessages[] = {
    {WM_ACTIVATE, Repaint},
    {WM_SETFOCUS, Repaint},
    {WM_PAINT, Repaint},
    {WM_NCHITTEST, TrackPointer},
    {WM_INITDIALOG, Repaint},
    {WM_LBUTTONDOWN, PressButton},
    {WM_RBUTTONDOWN, PressButton},
    {WM_MBUTTONDOWN, PressButton},
};

INT_PTR CALLBACK MenuDialogProc(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    for (const MenuMessage &entry : MenuMessages) {
        if (entry.message == message) {
            entry.handle(window, lParam);
            break;
        }
    }
    return FALSE;
}
