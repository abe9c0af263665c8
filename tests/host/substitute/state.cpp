#include "internal.h"

#include <ctype.h>

HostState Host;

void HostReset()
{
    Host = HostState();
    Host.nextHandle = 0x10000;
    Host.language = 0x0409;
    Host.codePage = 1252;
    Host.modulePath = "C:\\autorun.exe";
    // A 638x484 window centred on a 1024x768 screen.
    Host.windowRect = RECT{193, 142, 831, 626};
    HostResetLaunch();
}

void HostFail(HostOp op, DWORD error)
{
    Host.failing[op] = true;
    Host.failError[op] = error;
}

void HostHeal(HostOp op)
{
    Host.failing[op] = false;
}

bool HostFailing(HostOp op)
{
    if (!Host.failing[op])
        return false;
    Host.lastError = Host.failError[op];
    return true;
}

void HostRecord(const HostCall &call)
{
    Host.calls.push_back(call);
}

const std::vector<HostCall> &HostCalls()
{
    return Host.calls;
}

void HostClearCalls()
{
    Host.calls.clear();
}

std::vector<HostCall> HostCallsOf(HostOp op)
{
    std::vector<HostCall> found;
    for (const HostCall &call : Host.calls) {
        if (call.op == op)
            found.push_back(call);
    }
    return found;
}

uintptr_t HostNewObject(HostObjectKind kind)
{
    uintptr_t handle = Host.nextHandle;
    Host.nextHandle += 4;
    HostObject object = {};
    object.kind = kind;
    Host.objects[handle] = object;
    return handle;
}

HostObject *HostFindObject(uintptr_t handle, HostObjectKind kind)
{
    auto found = Host.objects.find(handle);
    if (found == Host.objects.end() || found->second.kind != kind)
        return nullptr;
    return &found->second;
}

void HostDropObject(uintptr_t handle)
{
    Host.objects.erase(handle);
}

HostBalance HostLiveObjects()
{
    HostBalance balance = {};
    for (const auto &entry : Host.objects) {
        switch (entry.second.kind) {
        case OBJ_KEY: balance.keys++; break;
        case OBJ_WINDOW_DC: balance.windowDcs++; break;
        case OBJ_MEMORY_DC: balance.memoryDcs++; break;
        case OBJ_BITMAP: balance.bitmaps++; break;
        }
    }
    balance.misuses = Host.misuses;
    return balance;
}

std::string HostLower(const std::string &text)
{
    std::string lower = text;
    for (char &c : lower)
        c = (char)tolower((unsigned char)c);
    return lower;
}

DWORD WINAPI GetLastError(void)
{
    return Host.lastError;
}

void WINAPI SetLastError(DWORD error)
{
    Host.lastError = error;
}
