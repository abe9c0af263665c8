#include "internal.h"

void HostRegCreateKey(const std::string &path, REGSAM granted)
{
    HostKey &key = Host.keys[HostLower(path)];
    key.granted = granted;
}

void HostRegDeleteKey(const std::string &path)
{
    Host.keys.erase(HostLower(path));
}

void HostRegSetValue(const std::string &path, const std::string &name, DWORD type, const std::vector<BYTE> &data)
{
    auto key = Host.keys.find(HostLower(path));
    if (key == Host.keys.end())
        key = Host.keys.emplace(HostLower(path), HostKey{KEY_ALL_ACCESS, {}}).first;
    key->second.values[HostLower(name)] = HostValue{type, data};
}

void HostRegSetString(const std::string &path, const std::string &name, const std::string &text, DWORD type)
{
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    HostRegSetValue(path, name, type, data);
}

void HostRegDeleteValue(const std::string &path, const std::string &name)
{
    auto key = Host.keys.find(HostLower(path));
    if (key != Host.keys.end())
        key->second.values.erase(HostLower(name));
}

static const REGSAM VIEW_FLAGS = KEY_WOW64_32KEY | KEY_WOW64_64KEY;

LSTATUS WINAPI RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    HostCall call = {};
    call.op = OP_RegOpenKeyExA;
    call.handle = (uintptr_t)root;
    call.values[0] = (int)options;
    call.values[1] = (int)access;
    call.text = subKey != nullptr ? subKey : "";
    LSTATUS status = ERROR_SUCCESS;
    auto key = Host.keys.find(HostLower(call.text));
    if (HostFailing(OP_RegOpenKeyExA))
        status = (LSTATUS)Host.lastError;
    else if (root != HKEY_LOCAL_MACHINE || key == Host.keys.end())
        status = ERROR_FILE_NOT_FOUND;
    else if ((access & ~VIEW_FLAGS & ~key->second.granted) != 0)
        status = ERROR_ACCESS_DENIED;
    if (status == ERROR_SUCCESS) {
        uintptr_t handle = HostNewObject(OBJ_KEY);
        Host.objects[handle].keyPath = key->first;
        *result = (HKEY)handle;
        call.other = handle;
    }
    call.result = (uintptr_t)status;
    HostRecord(call);
    return status;
}

LSTATUS WINAPI RegQueryValueExA(HKEY handle, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    HostCall call = {};
    call.op = OP_RegQueryValueExA;
    call.handle = (uintptr_t)handle;
    call.text = valueName != nullptr ? valueName : "";
    call.values[0] = size != nullptr ? (int)*size : -1;
    LSTATUS status = ERROR_SUCCESS;
    HostObject *object = HostFindObject((uintptr_t)handle, OBJ_KEY);
    if (reserved != nullptr)
        status = ERROR_INVALID_PARAMETER;
    else if (HostFailing(OP_RegQueryValueExA))
        status = (LSTATUS)Host.lastError;
    else if (object == nullptr || Host.keys.count(object->keyPath) == 0)
        status = ERROR_INVALID_HANDLE;
    if (status == ERROR_SUCCESS) {
        HostKey &key = Host.keys[object->keyPath];
        auto value = key.values.find(HostLower(call.text));
        if ((key.granted & KEY_QUERY_VALUE) == 0) {
            status = ERROR_ACCESS_DENIED;
        } else if (value == key.values.end()) {
            status = ERROR_FILE_NOT_FOUND;
        } else {
            DWORD needed = (DWORD)value->second.data.size();
            if (type != nullptr)
                *type = value->second.type;
            if (data != nullptr && (size == nullptr || *size < needed))
                status = ERROR_MORE_DATA;
            else if (data != nullptr)
                for (DWORD i = 0; i < needed; i++)
                    data[i] = value->second.data[i];
            if (size != nullptr)
                *size = needed;
        }
    }
    call.result = (uintptr_t)status;
    HostRecord(call);
    return status;
}

LSTATUS WINAPI RegCloseKey(HKEY handle)
{
    HostCall call = {};
    call.op = OP_RegCloseKey;
    call.handle = (uintptr_t)handle;
    LSTATUS status = ERROR_SUCCESS;
    if (HostFailing(OP_RegCloseKey)) {
        status = (LSTATUS)Host.lastError;
    } else if (HostFindObject((uintptr_t)handle, OBJ_KEY) == nullptr) {
        status = ERROR_INVALID_HANDLE;
        Host.misuses++;
    } else {
        HostDropObject((uintptr_t)handle);
    }
    call.result = (uintptr_t)status;
    HostRecord(call);
    return status;
}
