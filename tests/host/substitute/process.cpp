// Files, current directory, environment, processes and heap, in memory,
// for the launch services.
#include "internal.h"

#include <ctype.h>
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <utility>

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer guards every block exactly; our own guard would hide overruns from it.
static const size_t HEAP_GUARD = 0;
#else
static const size_t HEAP_GUARD = 16;
#endif
static const BYTE GUARD_BYTE = 0xFD;
static const BYTE FRESH_BYTE = 0xBD;
static const DWORD STILL_ACTIVE_CODE = 259;
static const DWORD WAIT_FAILED_CODE = 0xFFFFFFFFu;
static const DWORD ENVVAR_NOT_FOUND = 203;
static const DWORD DIRECTORY_INVALID = 267;
static const DWORD INVALID_NAME = 123;

static jmp_buf ExitJump;
static bool ExitArmed;
static UINT ExitCode;

void HostResetLaunch()
{
    Host.currentDirectory = "C:\\";
    HostAddFolder("C:\\");
}

static bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

static bool IsUnc(const std::string &path)
{
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

static bool HasDrive(const std::string &path)
{
    return path.size() >= 2 && path[1] == ':' && isalpha((unsigned char)path[0]);
}

// Splits at separators, stepping whole characters of the code page.
static std::vector<std::string> SplitComponents(const std::string &text)
{
    std::vector<std::string> parts(1);
    const char *start = text.c_str();
    for (const char *at = start; *at != '\0';) {
        const char *next = CharNextA(at);
        if (next == at + 1 && IsSeparator(*at))
            parts.emplace_back();
        else
            parts.back().append(at, next);
        at = next;
    }
    return parts;
}

static std::string DriveDirectory(char drive)
{
    const std::string &current = Host.currentDirectory;
    if (HasDrive(current) && toupper((unsigned char)current[0]) == toupper((unsigned char)drive))
        return current;
    std::string value;
    std::string variable = std::string("=") + (char)toupper((unsigned char)drive) + ":";
    if (HostGetEnvironment(variable, &value))
        return value;
    return std::string(1, drive) + ":\\";
}

static std::string RootOf(const std::string &full)
{
    if (!IsUnc(full))
        return full.substr(0, 2);
    std::vector<std::string> parts = SplitComponents(full.substr(2));
    return "\\\\" + parts[0] + (parts.size() > 1 ? "\\" + parts[1] : "");
}

// The full path Windows would make of path, spelled as given. UNC paths
// keep "\\server\share" as their root.
static bool FullPath(const std::string &path, std::string *full)
{
    if (path.empty())
        return false;
    std::string absolute;
    if (IsUnc(path))
        absolute = path;
    else if (HasDrive(path) && path.size() >= 3 && IsSeparator(path[2]))
        absolute = path;
    else if (HasDrive(path))
        absolute = DriveDirectory(path[0]) + "\\" + path.substr(2);
    else if (IsSeparator(path[0]))
        absolute = RootOf(Host.currentDirectory) + path;
    else
        absolute = Host.currentDirectory + "\\" + path;

    std::string root;
    std::vector<std::string> parts;
    if (IsUnc(absolute)) {
        parts = SplitComponents(absolute.substr(2));
        if (parts.size() < 2 || parts[0].empty() || parts[1].empty())
            return false;
        root = "\\\\" + parts[0] + "\\" + parts[1];
        parts.erase(parts.begin(), parts.begin() + 2);
    } else {
        root = absolute.substr(0, 2);
        parts = SplitComponents(absolute.substr(2));
    }
    std::vector<std::string> kept;
    for (std::string part : parts) {
        if (part == "..") {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        while (!part.empty() && (part.back() == ' ' || part.back() == '.'))
            part.pop_back();
        if (!part.empty())
            kept.push_back(part);
    }
    *full = root;
    for (const std::string &part : kept)
        *full += "\\" + part;
    if (kept.empty() && !IsUnc(root))
        *full += "\\";
    return true;
}

// Empty for a root. Goes through FullPath, so a trail byte equal to a
// backslash does not cut.
static std::string ParentOf(const std::string &full)
{
    std::string parent;
    if (!FullPath(full + "\\..", &parent) || HostLower(parent) == HostLower(full))
        return "";
    return parent;
}

static HostFile *FindFile(const std::string &full)
{
    auto found = Host.files.find(HostLower(full));
    return found != Host.files.end() ? &found->second : nullptr;
}

static HostFile &AddEntry(const std::string &path, DWORD attributes)
{
    std::string full;
    if (!FullPath(path, &full)) {
        fprintf(stderr, "substitute: cannot add the path \"%s\"\n", path.c_str());
        abort();
    }
    for (std::string parent = ParentOf(full); !parent.empty(); parent = ParentOf(parent)) {
        if (FindFile(parent) == nullptr)
            Host.files[HostLower(parent)] = HostFile{parent, FILE_ATTRIBUTE_DIRECTORY, false, HostProgram()};
    }
    HostFile &file = Host.files[HostLower(full)];
    file.path = full;
    file.attributes = attributes;
    return file;
}

void HostAddFolder(const std::string &path)
{
    AddEntry(path, FILE_ATTRIBUTE_DIRECTORY);
}

void HostAddFile(const std::string &path, DWORD attributes)
{
    AddEntry(path, attributes);
}

void HostAddProgram(const std::string &path, const HostProgram &program)
{
    HostFile &file = AddEntry(path, FILE_ATTRIBUTE_NORMAL);
    file.program = true;
    file.behaviour = program;
}

void HostSetPathError(const std::string &path, DWORD error)
{
    std::string full;
    if (FullPath(path, &full))
        Host.pathErrors[HostLower(full)] = error;
}

// The entry path names, or null and the error Windows gives.
static HostFile *Lookup(const std::string &path, DWORD *error, std::string *full)
{
    if (!FullPath(path, full)) {
        *error = INVALID_NAME;
        return nullptr;
    }
    auto failing = Host.pathErrors.find(HostLower(*full));
    if (failing != Host.pathErrors.end()) {
        *error = failing->second;
        return nullptr;
    }
    HostFile *file = FindFile(*full);
    if (file != nullptr)
        return file;
    std::string root = RootOf(*full);
    std::string parent = ParentOf(*full);
    HostFile *folder = parent.empty() ? nullptr : FindFile(parent);
    if (IsUnc(root) && FindFile(root) == nullptr)
        *error = ERROR_BAD_NETPATH;
    else if (folder != nullptr && (folder->attributes & FILE_ATTRIBUTE_DIRECTORY))
        *error = ERROR_FILE_NOT_FOUND;
    else
        *error = ERROR_PATH_NOT_FOUND;
    return nullptr;
}

void HostSetCurrentDirectory(const std::string &path)
{
    std::string full;
    if (FullPath(path, &full))
        Host.currentDirectory = full;
}

std::string HostCurrentDirectory()
{
    return Host.currentDirectory;
}

void HostReportDirectory(const std::string &text)
{
    Host.reportedDirectory = text;
}

static HostEnvironmentEntry *FindVariable(const std::string &name)
{
    for (HostEnvironmentEntry &entry : Host.environment) {
        if (HostLower(entry.name) == HostLower(name))
            return &entry;
    }
    return nullptr;
}

void HostSetEnvironment(const std::string &name, const std::string &value)
{
    HostEnvironmentEntry *entry = FindVariable(name);
    if (entry != nullptr)
        entry->value = value;
    else
        Host.environment.push_back(HostEnvironmentEntry{name, value});
}

void HostUnsetEnvironment(const std::string &name)
{
    for (size_t i = 0; i < Host.environment.size(); i++) {
        if (HostLower(Host.environment[i].name) == HostLower(name)) {
            Host.environment.erase(Host.environment.begin() + (long)i);
            return;
        }
    }
}

bool HostGetEnvironment(const std::string &name, std::string *value)
{
    HostEnvironmentEntry *entry = FindVariable(name);
    if (entry == nullptr)
        return false;
    *value = entry->value;
    return true;
}

const std::vector<HostStart> &HostStarts()
{
    return Host.starts;
}

std::vector<HostStart> HostStarted()
{
    std::vector<HostStart> started;
    for (const HostStart &start : Host.starts) {
        if (start.error == ERROR_SUCCESS)
            started.push_back(start);
    }
    return started;
}

static int StandardIndex(DWORD which)
{
    static const DWORD order[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (int i = 0; i < 3; i++) {
        if (order[i] == which)
            return i;
    }
    return -1;
}

void HostSetStdHandle(DWORD which, HANDLE handle, DWORD fileType)
{
    int index = StandardIndex(which);
    if (index < 0)
        return;
    Host.stdHandles[index] = handle;
    Host.fileTypes[(uintptr_t)handle] = fileType;
}

void HostSetInheritedTable(const std::vector<BYTE> &bytes)
{
    Host.hasInheritedTable = true;
    Host.inheritedTable = bytes;
}

const BYTE *HostInheritedTable()
{
    return Host.hasInheritedTable ? Host.inheritedTable.data() : nullptr;
}

HostExit HostRunUntilExit(const std::function<void()> &body)
{
    ExitArmed = true;
    if (setjmp(ExitJump) != 0) {
        ExitArmed = false;
        return HostExit{true, ExitCode};
    }
    body();
    ExitArmed = false;
    return HostExit{false, 0};
}

void HostFailHeapAfter(int successes)
{
    Host.heapLimited = true;
    Host.heapAllowance = successes;
}

void HostHealHeap()
{
    Host.heapLimited = false;
}

static bool GuardIntact(const HostBlock &block)
{
    for (size_t i = block.size; i < block.bytes.size(); i++) {
        if (block.bytes[i] != GUARD_BYTE)
            return false;
    }
    return true;
}

HostLaunchBalance HostLiveLaunchObjects()
{
    HostLaunchBalance balance = {};
    for (const auto &entry : Host.processes) {
        if (entry.second.thread)
            balance.threads++;
        else
            balance.processes++;
    }
    balance.heapBlocks = (int)Host.heap.size();
    balance.misuses = Host.misuses;
    for (const auto &entry : Host.heap) {
        if (!GuardIntact(entry.second))
            balance.misuses++;
    }
    return balance;
}

static bool InLiveBlock(const void *pointer)
{
    uintptr_t address = (uintptr_t)pointer;
    for (const auto &entry : Host.heap) {
        if (address >= entry.first && address < entry.first + entry.second.size)
            return true;
    }
    return false;
}

static uintptr_t NewProcessObject(bool thread, DWORD exitCode)
{
    uintptr_t handle = Host.nextHandle;
    Host.nextHandle += 4;
    Host.processes[handle] = HostProcessObject{thread, exitCode, false};
    return handle;
}

// A copy, since the program may change the files it was found among.
static void RunProgram(const HostFile *program)
{
    if (program == nullptr || !program->behaviour.run)
        return;
    std::function<void()> run = program->behaviour.run;
    run();
}

static HostCall CallOf(HostOp op, const char *text)
{
    HostCall call = {};
    call.op = op;
    call.text = text != nullptr ? text : "";
    return call;
}

// The file a path-taking call names: the injected failure first, then the
// path limit, then the lookup itself.
static HostFile *LookupFor(const HostCall &call, DWORD *error, std::string *full)
{
    *error = ERROR_SUCCESS;
    if (HostFailing(call.op)) {
        *error = Host.lastError;
        return nullptr;
    }
    if (call.text.size() >= MAX_PATH) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return nullptr;
    }
    return Lookup(call.text, error, full);
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR path)
{
    HostCall call = CallOf(OP_SetCurrentDirectoryA, path);
    DWORD error;
    std::string full;
    HostFile *file = LookupFor(call, &error, &full);
    if (file != nullptr && !(file->attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        file = nullptr;
        error = DIRECTORY_INVALID;
    }
    if (file != nullptr)
        Host.currentDirectory = full;
    else
        Host.lastError = error;
    call.result = file != nullptr;
    HostRecord(call);
    return (BOOL)call.result;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer)
{
    HostCall call = CallOf(OP_GetCurrentDirectoryA, nullptr);
    call.values[0] = (int)size;
    const std::string &directory = Host.reportedDirectory.empty() ? Host.currentDirectory : Host.reportedDirectory;
    DWORD length = (DWORD)directory.size();
    if (HostFailing(OP_GetCurrentDirectoryA)) {
        call.result = 0;
    } else if (size <= length) {
        call.result = length + 1;
    } else {
        memcpy(buffer, directory.c_str(), length + 1);
        call.result = length;
    }
    HostRecord(call);
    return (DWORD)call.result;
}

BOOL WINAPI SetEnvironmentVariableA(LPCSTR name, LPCSTR value)
{
    HostCall call = CallOf(OP_SetEnvironmentVariableA, name);
    call.result = !HostFailing(OP_SetEnvironmentVariableA);
    if (call.result) {
        if (value != nullptr)
            HostSetEnvironment(call.text, value);
        else
            HostUnsetEnvironment(call.text);
    }
    HostRecord(call);
    return (BOOL)call.result;
}

// Like Windows: too small a buffer gets the size needed, zero included.
DWORD WINAPI GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size)
{
    HostCall call = CallOf(OP_GetEnvironmentVariableA, name);
    call.values[0] = (int)size;
    std::string value;
    if (HostFailing(OP_GetEnvironmentVariableA)) {
        call.result = 0;
    } else if (!HostGetEnvironment(call.text, &value)) {
        Host.lastError = ENVVAR_NOT_FOUND;
        call.result = 0;
    } else if (size <= value.size()) {
        call.result = value.size() + 1;
    } else {
        memcpy(buffer, value.c_str(), value.size() + 1);
        call.result = value.size();
    }
    HostRecord(call);
    return (DWORD)call.result;
}

DWORD WINAPI GetFileAttributesA(LPCSTR path)
{
    HostCall call = CallOf(OP_GetFileAttributesA, path);
    DWORD error;
    std::string full;
    HostFile *file = LookupFor(call, &error, &full);
    if (file == nullptr)
        Host.lastError = error;
    call.result = file != nullptr ? file->attributes : INVALID_FILE_ATTRIBUTES;
    HostRecord(call);
    return (DWORD)call.result;
}

static bool OthersZero(STARTUPINFOA copy)
{
    copy.cb = 0;
    copy.cbReserved2 = 0;
    copy.lpReserved2 = nullptr;
    return copy.lpReserved == nullptr && copy.lpDesktop == nullptr && copy.lpTitle == nullptr && copy.dwX == 0 &&
           copy.dwY == 0 && copy.dwXSize == 0 && copy.dwYSize == 0 && copy.dwXCountChars == 0 &&
           copy.dwYCountChars == 0 && copy.dwFillAttribute == 0 && copy.dwFlags == 0 && copy.wShowWindow == 0 &&
           copy.hStdInput == nullptr && copy.hStdOutput == nullptr && copy.hStdError == nullptr;
}

// The program named by path, or the error a start of it fails with
// (a "failing" path error of 0 included).
static DWORD FindProgram(const std::string &path, HostFile **program, std::string *full)
{
    DWORD error = ERROR_SUCCESS;
    *program = Lookup(path, &error, full);
    if (*program == nullptr)
        return error != ERROR_SUCCESS ? error : ERROR_ACCESS_DENIED;
    if ((*program)->attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ERROR_ACCESS_DENIED;
    if (!(*program)->program)
        return ERROR_BAD_EXE_FORMAT;
    return ERROR_SUCCESS;
}

BOOL WINAPI CreateProcessA(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                           LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                           LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                           LPPROCESS_INFORMATION processInformation)
{
    HostCall call = CallOf(OP_CreateProcessA, application);
    HostStart start = {};
    start.application = call.text;
    start.commandLine = commandLine != nullptr ? commandLine : "";
    start.commandLineInHeap = commandLine != nullptr && InLiveBlock(commandLine);
    start.inheritHandles = inheritHandles != FALSE;
    start.creationFlags = creationFlags;
    start.securityNull = processAttributes == nullptr && threadAttributes == nullptr;
    start.environmentNull = environment == nullptr;
    start.directoryNull = currentDirectory == nullptr;
    start.directory = currentDirectory != nullptr ? currentDirectory : Host.currentDirectory;
    start.environment = Host.environment;
    if (startupInfo != nullptr) {
        start.startupSize = startupInfo->cb;
        start.startupOthersZero = OthersZero(*startupInfo);
        start.reserved2Pointer = startupInfo->lpReserved2;
        if (startupInfo->lpReserved2 != nullptr)
            start.reserved2.assign(startupInfo->lpReserved2, startupInfo->lpReserved2 + startupInfo->cbReserved2);
    }
    HostFile *program = nullptr;
    std::string full;
    if (HostFailing(OP_CreateProcessA))
        start.error = Host.lastError;
    else if (application == nullptr || startupInfo == nullptr || processInformation == nullptr)
        start.error = ERROR_INVALID_PARAMETER;
    else if ((start.error = FindProgram(call.text, &program, &full)) == ERROR_SUCCESS)
        start.error = program->behaviour.createError;
    start.program = full;
    if (start.error == ERROR_SUCCESS) {
        processInformation->hProcess = (HANDLE)NewProcessObject(false, program->behaviour.exitCode);
        processInformation->hThread = (HANDLE)NewProcessObject(true, 0);
        processInformation->dwProcessId = 100;
        processInformation->dwThreadId = 101;
        call.other = (uintptr_t)processInformation->hProcess;
    } else {
        Host.lastError = start.error;
    }
    call.result = start.error == ERROR_SUCCESS;
    HostRecord(call);
    Host.starts.push_back(start);
    RunProgram(start.error == ERROR_SUCCESS ? program : nullptr);
    return (BOOL)call.result;
}

BOOL WINAPI ShellExecuteExA(LPSHELLEXECUTEINFOA info)
{
    HostCall call = CallOf(OP_ShellExecuteExA, info->lpFile);
    HostStart start = {};
    start.viaShell = true;
    start.application = call.text;
    start.commandLine = info->lpParameters != nullptr ? info->lpParameters : "";
    start.directoryNull = info->lpDirectory == nullptr;
    start.directory = info->lpDirectory != nullptr ? info->lpDirectory : Host.currentDirectory;
    start.environment = Host.environment;
    start.startupSize = info->cbSize;
    start.shellMask = info->fMask;
    start.shellVerbNull = info->lpVerb == nullptr;
    start.shellWindowNull = info->hwnd == nullptr;
    start.shellShow = info->nShow;
    HostFile *program = nullptr;
    std::string full;
    if (HostFailing(OP_ShellExecuteExA))
        start.error = Host.lastError;
    else if ((start.error = FindProgram(call.text, &program, &full)) == ERROR_SUCCESS)
        start.error = program->behaviour.shellError;
    start.program = full;
    info->hProcess = nullptr;
    if (start.error == ERROR_SUCCESS) {
        if (info->fMask & SEE_MASK_NOCLOSEPROCESS)
            info->hProcess = (HANDLE)NewProcessObject(false, program->behaviour.exitCode);
        call.other = (uintptr_t)info->hProcess;
    } else {
        Host.lastError = start.error;
    }
    call.result = start.error == ERROR_SUCCESS;
    HostRecord(call);
    Host.starts.push_back(start);
    RunProgram(start.error == ERROR_SUCCESS ? program : nullptr);
    return (BOOL)call.result;
}

static HostProcessObject *FindProcessObject(HANDLE handle)
{
    auto found = Host.processes.find((uintptr_t)handle);
    return found != Host.processes.end() ? &found->second : nullptr;
}

// The program runs to its end in the wait.
DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    HostCall call = CallOf(OP_WaitForSingleObject, nullptr);
    call.handle = (uintptr_t)handle;
    call.values[0] = (int)milliseconds;
    HostProcessObject *object = FindProcessObject(handle);
    if (HostFailing(OP_WaitForSingleObject)) {
        call.result = WAIT_FAILED_CODE;
    } else if (object == nullptr) {
        Host.misuses++;
        Host.lastError = ERROR_INVALID_HANDLE;
        call.result = WAIT_FAILED_CODE;
    } else {
        object->ended = true;
        call.result = 0;
    }
    HostRecord(call);
    return (DWORD)call.result;
}

BOOL WINAPI GetExitCodeProcess(HANDLE process, LPDWORD exitCode)
{
    HostCall call = CallOf(OP_GetExitCodeProcess, nullptr);
    call.handle = (uintptr_t)process;
    HostProcessObject *object = FindProcessObject(process);
    if (HostFailing(OP_GetExitCodeProcess)) {
        call.result = FALSE;
    } else if (object == nullptr || object->thread) {
        Host.misuses++;
        Host.lastError = ERROR_INVALID_HANDLE;
        call.result = FALSE;
    } else {
        *exitCode = object->ended ? object->exitCode : STILL_ACTIVE_CODE;
        call.result = TRUE;
    }
    HostRecord(call);
    return (BOOL)call.result;
}

BOOL WINAPI CloseHandle(HANDLE handle)
{
    HostCall call = CallOf(OP_CloseHandle, nullptr);
    call.handle = (uintptr_t)handle;
    if (HostFailing(OP_CloseHandle)) {
        call.result = FALSE;
    } else if (FindProcessObject(handle) == nullptr) {
        Host.misuses++;
        Host.lastError = ERROR_INVALID_HANDLE;
        call.result = FALSE;
    } else {
        Host.processes.erase((uintptr_t)handle);
        call.result = TRUE;
    }
    HostRecord(call);
    return (BOOL)call.result;
}

// ExitProcess cannot fail; HostFail does not apply to it.
void WINAPI ExitProcess(UINT exitCode)
{
    {
        // Scoped: the jump below skips the destructors of this frame.
        HostCall call = CallOf(OP_ExitProcess, nullptr);
        call.values[0] = (int)exitCode;
        HostRecord(call);
    }
    if (!ExitArmed) {
        fprintf(stderr, "substitute: ExitProcess(%u) outside HostRunUntilExit\n", exitCode);
        abort();
    }
    ExitArmed = false;
    ExitCode = exitCode;
    longjmp(ExitJump, 1);
}

void WINAPI GetStartupInfoA(LPSTARTUPINFOA startupInfo)
{
    memset(startupInfo, 0, sizeof *startupInfo);
    startupInfo->cb = sizeof *startupInfo;
    if (Host.hasInheritedTable) {
        startupInfo->cbReserved2 = (WORD)Host.inheritedTable.size();
        startupInfo->lpReserved2 = Host.inheritedTable.data();
    }
}

HANDLE WINAPI GetStdHandle(DWORD which)
{
    int index = StandardIndex(which);
    if (index < 0) {
        Host.lastError = ERROR_INVALID_HANDLE;
        return INVALID_HANDLE_VALUE;
    }
    return Host.stdHandles[index];
}

DWORD WINAPI GetFileType(HANDLE file)
{
    auto found = Host.fileTypes.find((uintptr_t)file);
    if (found == Host.fileTypes.end()) {
        Host.lastError = ERROR_INVALID_HANDLE;
        return FILE_TYPE_UNKNOWN;
    }
    return found->second;
}

HANDLE WINAPI GetProcessHeap(void)
{
    return HOST_HEAP;
}

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, size_t bytes)
{
    HostCall call = CallOf(OP_HeapAlloc, nullptr);
    call.handle = (uintptr_t)heap;
    call.values[0] = (int)bytes;
    call.values[1] = (int)flags;
    bool refused = HostFailing(OP_HeapAlloc) || (Host.heapLimited && Host.heapAllowance <= 0);
    if (heap != HOST_HEAP) {
        Host.misuses++;
    } else if (!refused) {
        if (Host.heapLimited)
            Host.heapAllowance--;
        HostBlock block;
        block.size = bytes;
        block.bytes.assign(bytes + HEAP_GUARD + (bytes + HEAP_GUARD == 0 ? 1 : 0), GUARD_BYTE);
        memset(block.bytes.data(), (flags & HEAP_ZERO_MEMORY) ? 0 : FRESH_BYTE, bytes);
        uintptr_t address = (uintptr_t)block.bytes.data();
        Host.heap[address] = std::move(block);
        call.result = address;
    }
    HostRecord(call);
    return (LPVOID)call.result;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD, LPVOID memory)
{
    HostCall call = CallOf(OP_HeapFree, nullptr);
    call.handle = (uintptr_t)heap;
    call.other = (uintptr_t)memory;
    auto found = Host.heap.find((uintptr_t)memory);
    if (HostFailing(OP_HeapFree)) {
        call.result = FALSE;
    } else if (memory == nullptr) {
        call.result = TRUE;
    } else if (heap != HOST_HEAP || found == Host.heap.end()) {
        Host.misuses++;
        call.result = FALSE;
    } else {
        if (!GuardIntact(found->second))
            Host.misuses++;
        Host.heap.erase(found);
        call.result = TRUE;
    }
    HostRecord(call);
    return (BOOL)call.result;
}
