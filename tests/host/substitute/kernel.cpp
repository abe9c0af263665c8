#include "internal.h"

void HostSetModulePath(const std::string &path)
{
    Host.modulePath = path;
}

void HostSetLanguage(LANGID language)
{
    Host.language = language;
}

DWORD WINAPI GetModuleFileNameA(HINSTANCE module, LPSTR buffer, DWORD size)
{
    HostCall call = {};
    call.op = OP_GetModuleFileNameA;
    call.handle = (uintptr_t)module;
    call.values[0] = (int)size;
    HostRecord(call);
    if (HostFailing(OP_GetModuleFileNameA))
        return 0;
    DWORD length = (DWORD)Host.modulePath.size();
    DWORD copied = length < size ? length : size;
    for (DWORD i = 0; i < copied; i++)
        buffer[i] = Host.modulePath[i];
    if (copied < size)
        buffer[copied] = '\0';
    return copied;
}

LANGID WINAPI GetUserDefaultLangID(void)
{
    HostCall call = {};
    call.op = OP_GetUserDefaultLangID;
    HostRecord(call);
    return Host.language;
}
