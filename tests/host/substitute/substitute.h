// Control side of the in-memory Win32 substitute: tests set up the world
// (registry, module path, language, code page, window), make operations
// fail, and read back what the program did.
#ifndef AUTORUN_SUBSTITUTE_H
#define AUTORUN_SUBSTITUTE_H

#include "platform/host_api.h"

#include <functional>
#include <string>
#include <vector>

enum HostOp {
    OP_RegOpenKeyExA,
    OP_RegQueryValueExA,
    OP_RegCloseKey,
    OP_GetModuleFileNameA,
    OP_GetUserDefaultLangID,
    OP_DialogBoxParamA,
    OP_EndDialog,
    OP_GetWindowRect,
    OP_GetDC,
    OP_ReleaseDC,
    OP_LoadBitmapA,
    OP_CreateCompatibleDC,
    OP_SelectObject,
    OP_BitBlt,
    OP_DeleteDC,
    OP_DeleteObject,
    OP_SetCurrentDirectoryA,
    OP_GetCurrentDirectoryA,
    OP_SetEnvironmentVariableA,
    OP_GetEnvironmentVariableA,
    OP_GetFileAttributesA,
    OP_CreateProcessA,
    OP_WaitForSingleObject,
    OP_GetExitCodeProcess,
    OP_CloseHandle,
    OP_ExitProcess,
    OP_HeapAlloc,
    OP_HeapFree,
    OP_ShellExecuteExA,
    OP_COUNT,
};

// One recorded call. Fields that an operation does not use stay zero.
struct HostCall {
    HostOp op;
    uintptr_t handle;  // the window, DC, key or object the call was given
    uintptr_t other;   // second handle (source DC, selected object)
    uintptr_t result;  // returned handle or status
    int values[8];     // bitmap id; blit x, y, width, height, sx, sy, rop
    std::string text;  // key path, template name
};

// Puts every piece of substitute state back to its start value.
void HostReset();

// A failing operation returns its failure value and leaves this error.
void HostFail(HostOp op, DWORD error);
void HostHeal(HostOp op);

const std::vector<HostCall> &HostCalls();
void HostClearCalls();
std::vector<HostCall> HostCallsOf(HostOp op);

// Acquired and not yet released: registry keys, window and memory DCs,
// bitmaps. Misuses counts releases of handles that were not live.
struct HostBalance {
    int keys;
    int windowDcs;
    int memoryDcs;
    int bitmaps;
    int misuses;
};
HostBalance HostLiveObjects();

// Registry. Keys are addressed by their full path below HKEY_LOCAL_MACHINE
// and compared without regard to case. A key opens only for the rights it
// grants; the default grant is KEY_ALL_ACCESS.
void HostRegCreateKey(const std::string &path, REGSAM granted = KEY_ALL_ACCESS);
void HostRegDeleteKey(const std::string &path);
void HostRegSetValue(const std::string &path, const std::string &name, DWORD type, const std::vector<BYTE> &data);
void HostRegSetString(const std::string &path, const std::string &name, const std::string &text, DWORD type = REG_SZ);
void HostRegDeleteValue(const std::string &path, const std::string &name);

// Start-up inputs. A module path of 260 bytes or more comes back
// truncated and unterminated, as Windows XP gives it.
void HostSetModulePath(const std::string &path);
void HostSetLanguage(LANGID language);
// 1252 (single-byte) or 932 (Shift-JIS lead bytes 0x81-0x9F, 0xE0-0xFC).
void HostSetCodePage(int codePage);

// The dialog: messages queued here are delivered after WM_INITDIALOG, in
// order, until the procedure ends the dialog.
struct HostMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
void HostQueueMessage(UINT message, WPARAM wParam, LPARAM lParam);
void HostSetWindowRect(RECT rect);
HWND HostWindow();
bool HostDialogEnded();
INT_PTR HostDialogResult();

// Every BitBlt as the picture it copied: bitmap id and destination.
struct HostDraw {
    int bitmapId;
    int left;
    int top;
    int width;
    int height;
};
std::vector<HostDraw> HostDraws();

// The substitute's bitmap resources: the eleven menu pictures by id.
bool HostIsBitmapResource(int id);

void HostRecord(const HostCall &call);
bool HostFailing(HostOp op);

// Launch services: files and folders, the current directory, the
// environment, programs and their processes, the standard handles the
// launcher was given, and its heap. Paths are compared without regard to
// case and taken, when relative, from the current directory; "X:" alone
// names that drive's current directory, kept in the "=X:" variable as
// Windows keeps it. Trailing dots and spaces of a component are dropped.
// Adding an entry adds its parent folders; "\\server\share" roots a share.
// At reset the current directory is C:\, the only folder.
void HostAddFolder(const std::string &path);
void HostAddFile(const std::string &path, DWORD attributes = FILE_ATTRIBUTE_NORMAL);

struct HostProgram {
    DWORD exitCode;              // what the process ends with
    DWORD createError;           // CreateProcessA fails with it (740: needs elevation); 0 starts
    DWORD shellError;            // ShellExecuteExA fails with it (1223: consent declined); 0 starts
    std::function<void()> run;   // what the program does, run as it starts
};
void HostAddProgram(const std::string &path, const HostProgram &program = HostProgram());
// GetFileAttributesA of exactly this path fails with the error.
void HostSetPathError(const std::string &path, DWORD error);

void HostSetCurrentDirectory(const std::string &path);
std::string HostCurrentDirectory();
// GetCurrentDirectoryA reports this text instead of the current directory,
// as a platform might spell it; an empty text ends that.
void HostReportDirectory(const std::string &text);
void HostSetEnvironment(const std::string &name, const std::string &value);
void HostUnsetEnvironment(const std::string &name);
bool HostGetEnvironment(const std::string &name, std::string *value);

struct HostEnvironmentEntry {
    std::string name;
    std::string value;
};

// Every CreateProcessA and ShellExecuteExA call, started or not.
struct HostStart {
    bool viaShell;
    DWORD error;                // 0 when the program started
    std::string application;    // the application name, or the shell's file
    std::string program;        // the full path that names
    std::string commandLine;    // the shell's parameters
    bool commandLineInHeap;     // lies inside a live block of the launcher's heap
    bool inheritHandles;
    DWORD creationFlags;
    bool securityNull;          // both security attribute records
    bool environmentNull;
    bool directoryNull;
    std::string directory;      // where it starts
    std::vector<HostEnvironmentEntry> environment;  // what it inherits
    DWORD startupSize;          // cb, or the shell record's cbSize
    bool startupOthersZero;     // every other field of the startup record is 0
    std::vector<BYTE> reserved2;     // the cbReserved2 bytes at lpReserved2
    const BYTE *reserved2Pointer;
    ULONG shellMask;
    bool shellVerbNull;
    bool shellWindowNull;
    int shellShow;
};
const std::vector<HostStart> &HostStarts();
std::vector<HostStart> HostStarted();

// The launcher's own standard handles (NULL at reset, as for a program
// started from the shell) and the handle table its parent handed it.
void HostSetStdHandle(DWORD which, HANDLE handle, DWORD fileType);
void HostSetInheritedTable(const std::vector<BYTE> &bytes);
const BYTE *HostInheritedTable();

// Runs body until it returns or ExitProcess ends it. Objects with
// destructors must not be alive inside body at the exit, which longjmps.
struct HostExit {
    bool exited;
    UINT code;
};
HostExit HostRunUntilExit(const std::function<void()> &body);

// After this many more successful HeapAlloc calls every further one fails;
// HostHealHeap lifts the limit. Blocks come filled with 0xBD.
void HostFailHeapAfter(int successes);
void HostHealHeap();

// Live process and thread handles and heap blocks; misuses as in
// HostLiveObjects, plus heap blocks whose guard bytes were overwritten.
struct HostLaunchBalance {
    int processes;
    int threads;
    int heapBlocks;
    int misuses;
};
HostLaunchBalance HostLiveLaunchObjects();

#endif
