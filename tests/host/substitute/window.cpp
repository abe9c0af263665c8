#include "internal.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static const int BitmapResources[] = {110, 117, 118, 120, 121, 122, 123, 124, 125, 126, 128};

bool HostIsBitmapResource(int id)
{
    for (int known : BitmapResources) {
        if (known == id)
            return true;
    }
    return false;
}

void HostQueueMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    Host.queue.push_back(HostMessage{message, wParam, lParam});
}

void HostSetWindowRect(RECT rect)
{
    Host.windowRect = rect;
}

HWND HostWindow()
{
    return HOST_WINDOW;
}

bool HostDialogEnded()
{
    return Host.dialogEnded;
}

INT_PTR HostDialogResult()
{
    return Host.dialogResult;
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM init)
{
    HostCall call = {};
    call.op = OP_DialogBoxParamA;
    call.handle = (uintptr_t)instance;
    call.other = (uintptr_t)owner;
    call.values[0] = (int)init;
    call.text = ((uintptr_t)templateName >> 16) != 0 ? templateName : "#";
    HostRecord(call);
    if (HostFailing(OP_DialogBoxParamA) || call.text != "DLG_MASTER")
        return -1;
    Host.dialogEnded = false;
    proc(HOST_WINDOW, WM_INITDIALOG, 0, init);
    for (size_t next = 0; next < Host.queue.size() && !Host.dialogEnded; next++) {
        HostMessage message = Host.queue[next];
        proc(HOST_WINDOW, message.message, message.wParam, message.lParam);
    }
    Host.queue.clear();
    return Host.dialogEnded ? Host.dialogResult : -1;
}

BOOL WINAPI EndDialog(HWND window, INT_PTR result)
{
    HostCall call = {};
    call.op = OP_EndDialog;
    call.handle = (uintptr_t)window;
    call.values[0] = (int)result;
    HostRecord(call);
    if (HostFailing(OP_EndDialog) || window != HOST_WINDOW)
        return FALSE;
    Host.dialogEnded = true;
    Host.dialogResult = result;
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect)
{
    HostCall call = {};
    call.op = OP_GetWindowRect;
    call.handle = (uintptr_t)window;
    HostRecord(call);
    if (HostFailing(OP_GetWindowRect) || window != HOST_WINDOW)
        return FALSE;
    *rect = Host.windowRect;
    return TRUE;
}

HDC WINAPI GetDC(HWND window)
{
    HostCall call = {};
    call.op = OP_GetDC;
    call.handle = (uintptr_t)window;
    if (!HostFailing(OP_GetDC) && window == HOST_WINDOW)
        call.result = HostNewObject(OBJ_WINDOW_DC);
    HostRecord(call);
    return (HDC)call.result;
}

int WINAPI ReleaseDC(HWND window, HDC dc)
{
    HostCall call = {};
    call.op = OP_ReleaseDC;
    call.handle = (uintptr_t)window;
    call.other = (uintptr_t)dc;
    if (!HostFailing(OP_ReleaseDC)) {
        if (window == HOST_WINDOW && HostFindObject((uintptr_t)dc, OBJ_WINDOW_DC) != nullptr) {
            HostDropObject((uintptr_t)dc);
            call.result = 1;
        } else {
            Host.misuses++;
        }
    }
    HostRecord(call);
    return (int)call.result;
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR name)
{
    HostCall call = {};
    call.op = OP_LoadBitmapA;
    call.handle = (uintptr_t)instance;
    bool numeric = ((uintptr_t)name >> 16) == 0;
    call.values[0] = numeric ? (int)(uintptr_t)name : -1;
    if (!HostFailing(OP_LoadBitmapA) && instance == HOST_INSTANCE && numeric && HostIsBitmapResource(call.values[0])) {
        call.result = HostNewObject(OBJ_BITMAP);
        Host.objects[call.result].bitmapId = call.values[0];
    }
    HostRecord(call);
    return (HBITMAP)call.result;
}

HDC WINAPI CreateCompatibleDC(HDC dc)
{
    HostCall call = {};
    call.op = OP_CreateCompatibleDC;
    call.handle = (uintptr_t)dc;
    if (!HostFailing(OP_CreateCompatibleDC) && (dc == nullptr || HostFindObject((uintptr_t)dc, OBJ_WINDOW_DC) != nullptr)) {
        call.result = HostNewObject(OBJ_MEMORY_DC);
        Host.objects[call.result].selected = HOST_STOCK_BITMAP;
    }
    HostRecord(call);
    return (HDC)call.result;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object)
{
    HostCall call = {};
    call.op = OP_SelectObject;
    call.handle = (uintptr_t)dc;
    call.other = (uintptr_t)object;
    HostObject *memory = HostFindObject((uintptr_t)dc, OBJ_MEMORY_DC);
    if (!HostFailing(OP_SelectObject) && memory != nullptr && HostFindObject((uintptr_t)object, OBJ_BITMAP) != nullptr) {
        call.result = memory->selected;
        memory->selected = (uintptr_t)object;
    }
    HostRecord(call);
    return (HGDIOBJ)call.result;
}

BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop)
{
    HostCall call = {};
    call.op = OP_BitBlt;
    call.handle = (uintptr_t)dest;
    call.other = (uintptr_t)source;
    int values[8] = {0, x, y, width, height, sx, sy, (int)rop};
    HostObject *memory = HostFindObject((uintptr_t)source, OBJ_MEMORY_DC);
    HostObject *bitmap = memory != nullptr ? HostFindObject(memory->selected, OBJ_BITMAP) : nullptr;
    values[0] = bitmap != nullptr ? bitmap->bitmapId : 0;
    memcpy(call.values, values, sizeof values);
    bool ok = !HostFailing(OP_BitBlt) && HostFindObject((uintptr_t)dest, OBJ_WINDOW_DC) != nullptr && memory != nullptr;
    call.result = ok;
    HostRecord(call);
    return ok;
}

BOOL WINAPI DeleteDC(HDC dc)
{
    HostCall call = {};
    call.op = OP_DeleteDC;
    call.handle = (uintptr_t)dc;
    if (!HostFailing(OP_DeleteDC)) {
        if (HostFindObject((uintptr_t)dc, OBJ_MEMORY_DC) != nullptr) {
            HostDropObject((uintptr_t)dc);
            call.result = TRUE;
        } else {
            Host.misuses++;
        }
    }
    HostRecord(call);
    return (BOOL)call.result;
}

// Like GDI, a bitmap still selected into a live memory DC cannot be deleted.
BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    HostCall call = {};
    call.op = OP_DeleteObject;
    call.handle = (uintptr_t)object;
    bool selected = false;
    for (const auto &entry : Host.objects) {
        if (entry.second.kind == OBJ_MEMORY_DC && entry.second.selected == (uintptr_t)object)
            selected = true;
    }
    if (!HostFailing(OP_DeleteObject)) {
        if (HostFindObject((uintptr_t)object, OBJ_BITMAP) != nullptr && !selected) {
            HostDropObject((uintptr_t)object);
            call.result = TRUE;
        } else {
            Host.misuses++;
        }
    }
    HostRecord(call);
    return (BOOL)call.result;
}

std::vector<HostDraw> HostDraws()
{
    std::vector<HostDraw> draws;
    for (const HostCall &call : Host.calls) {
        if (call.op == OP_BitBlt)
            draws.push_back(HostDraw{call.values[0], call.values[1], call.values[2], call.values[3], call.values[4]});
    }
    return draws;
}

static bool IsLeadByte(unsigned char byte)
{
    return Host.codePage == 932 && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
}

void HostSetCodePage(int codePage)
{
    Host.codePage = codePage;
}

LPSTR WINAPI CharNextA(LPCSTR position)
{
    if (*position == '\0')
        return (LPSTR)position;
    if (IsLeadByte((unsigned char)*position) && position[1] != '\0')
        return (LPSTR)position + 2;
    return (LPSTR)position + 1;
}

// Like the real one: at most 1024 characters and a zero are written.
int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(buffer, 1025, format, arguments);
    va_end(arguments);
    return length > 1024 ? 1024 : length;
}
