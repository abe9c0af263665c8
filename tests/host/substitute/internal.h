// State shared by the substitute's files; tests use substitute.h instead.
#ifndef AUTORUN_SUBSTITUTE_INTERNAL_H
#define AUTORUN_SUBSTITUTE_INTERNAL_H

#include "substitute.h"

#include <map>

enum HostObjectKind {
    OBJ_KEY,
    OBJ_WINDOW_DC,
    OBJ_MEMORY_DC,
    OBJ_BITMAP,
};

struct HostObject {
    HostObjectKind kind;
    int bitmapId;         // OBJ_BITMAP
    uintptr_t selected;   // OBJ_MEMORY_DC: the bitmap selected into it
    std::string keyPath;  // OBJ_KEY
};

struct HostValue {
    DWORD type;
    std::vector<BYTE> data;
};

struct HostKey {
    REGSAM granted;
    std::map<std::string, HostValue> values;  // lower-case names
};

struct HostFile {
    std::string path;  // as first spelled
    DWORD attributes;
    bool program;
    HostProgram behaviour;
};

struct HostProcessObject {
    bool thread;
    DWORD exitCode;
    bool ended;
};

struct HostBlock {
    std::vector<BYTE> bytes;  // the block, then guard bytes where ASan is absent
    size_t size;
};

struct HostState {
    bool failing[OP_COUNT];
    DWORD failError[OP_COUNT];
    DWORD lastError;
    std::vector<HostCall> calls;
    std::map<uintptr_t, HostObject> objects;
    uintptr_t nextHandle;
    int misuses;
    std::map<std::string, HostKey> keys;  // lower-case paths
    std::string modulePath;
    LANGID language;
    int codePage;
    std::vector<HostMessage> queue;
    RECT windowRect;
    bool dialogEnded;
    INT_PTR dialogResult;
    // Launch services: files, directory, environment, processes, heap.
    std::map<std::string, HostFile> files;   // lower-case full paths
    std::map<std::string, DWORD> pathErrors;  // lower-case full paths
    std::string currentDirectory;
    std::string reportedDirectory;  // empty: report currentDirectory
    std::vector<HostEnvironmentEntry> environment;
    std::map<uintptr_t, HostProcessObject> processes;
    std::map<uintptr_t, HostBlock> heap;  // by the address handed out
    bool heapLimited;
    int heapAllowance;
    std::vector<HostStart> starts;
    HANDLE stdHandles[3];
    std::map<uintptr_t, DWORD> fileTypes;
    bool hasInheritedTable;
    std::vector<BYTE> inheritedTable;
};

extern HostState Host;

uintptr_t HostNewObject(HostObjectKind kind);
HostObject *HostFindObject(uintptr_t handle, HostObjectKind kind);
void HostDropObject(uintptr_t handle);
std::string HostLower(const std::string &text);
void HostResetLaunch();

#define HOST_WINDOW ((HWND)(uintptr_t)0x5000)
#define HOST_INSTANCE ((HINSTANCE)(uintptr_t)0x400000)
#define HOST_STOCK_BITMAP ((uintptr_t)0x6000)
#define HOST_HEAP ((HANDLE)(uintptr_t)0x7000)

#endif
