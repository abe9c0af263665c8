#include "actions/launch.h"

#include <stdarg.h>
#include <stdint.h>
#include <string.h>

// The read-back of the current directory: MAX_PATH characters and the zero.
#define DIRECTORY_BUFFER_SIZE (MAX_PATH + 1)
// A candidate built from "PATH" stays below MAX_PATH characters.
#define CANDIDATE_BUFFER_SIZE MAX_PATH
#define PATH_ENTRY_LIMIT 258

#define RELATIVE_PREFIX ".\\"
#define EXTENSION_LENGTH 4

static const char *const ProgramExtensions[] = {".com", ".exe", ".bat", ".cmd"};

// The failures that mean "no such program here" and let a search go on.
static const DWORD NotFoundErrors[] = {
    ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_INVALID_DRIVE, ERROR_NO_MORE_FILES,
    ERROR_BAD_NETPATH,    ERROR_BAD_NET_NAME,   ERROR_BAD_PATHNAME,  ERROR_FILENAME_EXCED_RANGE,
};

#define STANDARD_ENTRY_COUNT 3
#define ENTRY_COUNT_SIZE 4
#define ENTRY_OPEN 0x01
#define ENTRY_PIPE 0x08
#define ENTRY_DEVICE 0x40
// Text mode, in which the C runtime keeps its three standard streams.
#define ENTRY_TEXT 0x80

static const DWORD StandardHandles[STANDARD_ENTRY_COUNT] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

// Flags by file type (unknown, disk, character, pipe), the remote bit aside.
static const BYTE FileTypeFlags[] = {0, 0, ENTRY_DEVICE, ENTRY_PIPE};

struct StartRequest {
    bool wait;            // SpawnAndWait waits and reports; StartAndExit ends the launcher
    va_list *arguments;   // argument 0 first, ended by a null entry
    int exitCode;         // of the program SpawnAndWait waited for
    DWORD error;          // why the latest attempt failed
};

static char *AllocateText(size_t bytes)
{
    return (char *)HeapAlloc(GetProcessHeap(), 0, bytes);
}

static void Release(void *block)
{
    if (block != NULL)
        HeapFree(GetProcessHeap(), 0, block);
}

static bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

static bool IsNotFound(DWORD error)
{
    for (DWORD notFound : NotFoundErrors) {
        if (error == notFound)
            return true;
    }
    return false;
}

// Steps whole characters, so a trail byte never matches.
static const char *FindCharacter(const char *text, char wanted)
{
    for (const char *at = text; *at != '\0'; at = CharNextA(at)) {
        if (*at == wanted)
            return at;
    }
    return NULL;
}

// The text after the last backslash or "/"; with neither, the text after
// the first ":"; NULL for a bare name, which has none of the three.
static const char *LastComponent(const char *name)
{
    const char *afterSeparator = NULL;
    const char *afterColon = NULL;
    for (const char *at = name; *at != '\0'; at = CharNextA(at)) {
        if (IsSeparator(*at))
            afterSeparator = at + 1;
        else if (*at == ':' && afterColon == NULL)
            afterColon = at + 1;
    }
    return afterSeparator != NULL ? afterSeparator : afterColon;
}

static void WriteLittleEndian(BYTE *to, uintptr_t value, size_t bytes)
{
    for (size_t i = 0; i < bytes; i++) {
        to[i] = (BYTE)(value & 0xFF);
        value >>= 8;
    }
}

static int32_t ReadLittleEndian32(const BYTE *from)
{
    return (int32_t)((uint32_t)from[0] | (uint32_t)from[1] << 8 | (uint32_t)from[2] << 16 | (uint32_t)from[3] << 24);
}

/* The started program's C runtime finds its standard handles in the startup
   record: a 32-bit count N, N flag bytes, then N handle-sized entries, all
   little-endian and unaligned, -1 where there is no handle. A table that the
   launcher was itself handed with more than the three standard entries is
   passed on as it came; otherwise one is built from the launcher's standard
   handles into *table, which the caller releases. */
static bool ShareStandardHandles(STARTUPINFOA *startup, BYTE **table)
{
    *table = NULL;
    STARTUPINFOA parent = {};
    parent.cb = sizeof parent;
    GetStartupInfoA(&parent);
    if (parent.lpReserved2 != NULL && parent.cbReserved2 >= ENTRY_COUNT_SIZE &&
        ReadLittleEndian32(parent.lpReserved2) > STANDARD_ENTRY_COUNT) {
        startup->cbReserved2 = parent.cbReserved2;
        startup->lpReserved2 = parent.lpReserved2;
        return true;
    }
    const size_t size = ENTRY_COUNT_SIZE + STANDARD_ENTRY_COUNT * (1 + HANDLE_ENTRY_SIZE);
    BYTE *entries = (BYTE *)HeapAlloc(GetProcessHeap(), 0, size);
    if (entries == NULL)
        return false;
    WriteLittleEndian(entries, STANDARD_ENTRY_COUNT, ENTRY_COUNT_SIZE);
    BYTE *flags = entries + ENTRY_COUNT_SIZE;
    BYTE *handles = flags + STANDARD_ENTRY_COUNT;
    for (int i = 0; i < STANDARD_ENTRY_COUNT; i++) {
        HANDLE handle = GetStdHandle(StandardHandles[i]);
        DWORD type = handle == NULL || handle == INVALID_HANDLE_VALUE ? FILE_TYPE_UNKNOWN : GetFileType(handle);
        DWORD kind = type & 0xFF;
        // A handle of unknown type is no handle, and reads as a device, as the C runtime has it.
        bool usable = type != FILE_TYPE_UNKNOWN;
        BYTE typeFlags = !usable ? ENTRY_DEVICE : kind < sizeof FileTypeFlags ? FileTypeFlags[kind] : 0;
        flags[i] = ENTRY_OPEN | ENTRY_TEXT | typeFlags;
        uintptr_t value = usable ? (uintptr_t)handle : (uintptr_t)-1;
        WriteLittleEndian(handles + i * HANDLE_ENTRY_SIZE, value, HANDLE_ENTRY_SIZE);
    }
    startup->cbReserved2 = (WORD)size;
    startup->lpReserved2 = entries;
    *table = entries;
    return true;
}

/* The command line is the arguments joined by single spaces, with no quotes
   added. The text after argument 0 goes behind one space only when it is not
   empty, so a lone empty argument adds nothing; an empty argument 0, or no
   argument at all, gives an empty line. *parametersAt is where the text
   after argument 0 begins. */
static char *BuildCommandLine(va_list *arguments, size_t *parametersAt)
{
    va_list walk;
    va_copy(walk, *arguments);
    const char *first = va_arg(walk, const char *);
    size_t firstLength = first != NULL ? strlen(first) : 0;
    size_t restLength = 0;
    if (firstLength != 0) {
        bool more = false;
        for (const char *argument = va_arg(walk, const char *); argument != NULL; argument = va_arg(walk, const char *)) {
            restLength += (more ? 1 : 0) + strlen(argument);
            more = true;
        }
    }
    va_end(walk);

    size_t length = firstLength + (restLength != 0 ? 1 + restLength : 0);
    char *line = AllocateText(length + 1);
    if (line == NULL)
        return NULL;
    *parametersAt = restLength != 0 ? firstLength + 1 : firstLength;
    char *at = line;
    if (firstLength != 0) {
        memcpy(at, first, firstLength);
        at += firstLength;
    }
    if (restLength != 0) {
        va_copy(walk, *arguments);
        va_arg(walk, const char *);
        for (const char *argument = va_arg(walk, const char *); argument != NULL; argument = va_arg(walk, const char *)) {
            size_t argumentLength = strlen(argument);
            *at++ = ' ';
            memcpy(at, argument, argumentLength);
            at += argumentLength;
        }
        va_end(walk);
    }
    *at = '\0';
    return line;
}

// Windows refuses CreateProcessA for a program that needs administrator
// rights, as setup and uninstall programs do; the shell asks for consent.
static bool StartThroughShell(const char *path, const char *parameters, HANDLE *process)
{
    char directory[DIRECTORY_BUFFER_SIZE];
    DWORD length = GetCurrentDirectoryA(DIRECTORY_BUFFER_SIZE, directory);
    SHELLEXECUTEINFOA shell = {};
    shell.cbSize = sizeof shell;
    shell.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    shell.lpFile = path;
    shell.lpParameters = parameters;
    // Without a directory the shell starts the program in the current one too.
    shell.lpDirectory = length != 0 && length < DIRECTORY_BUFFER_SIZE ? directory : NULL;
    shell.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&shell))
        return false;
    *process = shell.hProcess;
    return true;
}

static int WaitForExit(const PROCESS_INFORMATION &process)
{
    // The shell may hand over to a program without giving its process.
    if (process.hProcess == NULL)
        return 0;
    DWORD exitCode = (DWORD)-1;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    if (process.hThread != NULL)
        CloseHandle(process.hThread);
    return (int)exitCode;
}

// Starts the file found for a name. StartAndExit ends the launcher here.
static bool StartFound(const char *path, StartRequest *request)
{
    size_t parametersAt = 0;
    char *commandLine = BuildCommandLine(request->arguments, &parametersAt);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    BYTE *table = NULL;
    if (commandLine == NULL || !ShareStandardHandles(&startup, &table)) {
        Release(commandLine);
        request->error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    PROCESS_INFORMATION process = {};
    bool started = CreateProcessA(path, commandLine, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process) != FALSE;
    // A declined consent keeps the error 740, so the search ends as it would
    // have without the shell.
    if (!started) {
        request->error = GetLastError();
        if (request->error == ERROR_ELEVATION_REQUIRED)
            started = StartThroughShell(path, commandLine + parametersAt, &process.hProcess);
    }
    Release(table);
    Release(commandLine);
    if (!started)
        return false;
    if (!request->wait)
        ExitProcess(0);
    request->exitCode = WaitForExit(process);
    return true;
}

static bool Exists(const char *candidate, StartRequest *request)
{
    if (GetFileAttributesA(candidate) != INVALID_FILE_ATTRIBUTES)
        return true;
    request->error = GetLastError();
    return false;
}

/* Trying a name. A bare name (no backslash, "/" or ":") is looked for in the
   current directory only, as ".\name". When the last component holds a ".",
   the name is tested as it stands; otherwise ".com", ".exe", ".bat" and
   ".cmd" are added in this order and the first that exists is started, even
   if that start then fails. Whatever exists counts, a folder too. A failed
   attempt leaves in request->error the error of its last existence test or
   of the start. */
static bool TryName(const char *name, StartRequest *request)
{
    const char *component = LastComponent(name);
    const char *prefix = component == NULL ? RELATIVE_PREFIX : "";
    bool hasExtension = FindCharacter(component != NULL ? component : name, '.') != NULL;
    size_t prefixLength = strlen(prefix);
    size_t nameLength = strlen(name);
    // The prefix, the name, one extension and the zero.
    char *candidate = AllocateText(prefixLength + nameLength + EXTENSION_LENGTH + 1);
    if (candidate == NULL) {
        request->error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    memcpy(candidate, prefix, prefixLength);
    memcpy(candidate + prefixLength, name, nameLength + 1);
    bool started = false;
    if (hasExtension) {
        if (Exists(candidate, request))
            started = StartFound(candidate, request);
    } else {
        char *extension = candidate + prefixLength + nameLength;
        for (const char *programExtension : ProgramExtensions) {
            memcpy(extension, programExtension, EXTENSION_LENGTH + 1);
            if (Exists(candidate, request)) {
                started = StartFound(candidate, request);
                break;
            }
        }
    }
    Release(candidate);
    return started;
}

/* "PATH" as SpawnAndWait reads it: runs of ";" are skipped before and after
   an entry, so no entry is empty. A double quote opens a run that lasts to
   the next double quote or the end of the value, ";" included; the quotes
   themselves are dropped, and one entry may hold several such runs. An entry
   that reaches 258 characters, or one that yields nothing at all (an empty
   quoted run), ends the search, as does the end of the value. */
static int NextQuotedEntry(const char **position, char *entry)
{
    const char *at = *position;
    while (*at == ';')
        at++;
    int length = 0;
    bool quoted = false;
    while (*at != '\0' && (quoted || *at != ';')) {
        if (*at == '"') {
            quoted = !quoted;
            at++;
            continue;
        }
        entry[length++] = *at++;
        if (length == PATH_ENTRY_LIMIT)
            return -1;
    }
    while (*at == ';')
        at++;
    *position = at;
    entry[length] = '\0';
    return length != 0 ? length : -1;
}

/* "PATH" as StartAndExit reads it: every ";" ends an entry and a double
   quote is an ordinary character. An entry is cut after 258 characters, and
   reading goes on one character after the cut. An empty entry (two ";" in a
   row, one at either end, an empty value) contributes nothing: the search
   goes on with the next. *position becomes NULL once the end is read. */
static int NextPlainEntry(const char **position, char *entry)
{
    while (*position != NULL) {
        const char *at = *position;
        int length = 0;
        while (*at != '\0' && *at != ';' && length < PATH_ENTRY_LIMIT)
            entry[length++] = *at++;
        *position = *at != '\0' ? at + 1 : NULL;
        if (length != 0) {
            entry[length] = '\0';
            return length;
        }
    }
    return -1;
}

typedef int (*PathSplit)(const char **position, char *entry);

// The last character decides, so in a double-byte code page a trail byte
// equal to a backslash is no separator and one is added.
static int AddSeparator(char *entry, int length)
{
    const char *last = NULL;
    for (const char *at = entry; *at != '\0'; at = CharNextA(at))
        last = at;
    if (last != NULL && IsSeparator(*last))
        return length;
    entry[length] = '\\';
    entry[length + 1] = '\0';
    return length + 1;
}

static bool IsNetworkCandidate(const char *candidate)
{
    return IsSeparator(candidate[0]) && IsSeparator(candidate[1]);
}

static char *ReadSearchPath(void)
{
    DWORD size = GetEnvironmentVariableA("PATH", NULL, 0);
    if (size == 0)
        return NULL;
    char *value = AllocateText(size);
    if (value == NULL)
        return NULL;
    DWORD length = GetEnvironmentVariableA("PATH", value, size);
    // An empty value is read as no "PATH": it holds no entry either way.
    if (length == 0 || length >= size) {
        Release(value);
        return NULL;
    }
    return value;
}

/* Tries each "PATH" entry joined with the whole name: the entry, a
   backslash unless it already ends with a separator, then the name. The
   search ends at a candidate of MAX_PATH characters or more, and after a
   failure that is not a not-found one, except on a network candidate. */
static bool SearchAlongPath(const char *name, StartRequest *request, PathSplit nextEntry)
{
    char *path = ReadSearchPath();
    if (path == NULL)
        return false;
    // Up to 258 entry characters, a separator and the zero fit its 260 bytes.
    char *candidate = AllocateText(CANDIDATE_BUFFER_SIZE);
    bool started = false;
    if (candidate != NULL) {
        size_t nameLength = strlen(name);
        const char *position = path;
        for (;;) {
            int length = nextEntry(&position, candidate);
            if (length < 0)
                break;
            length = AddSeparator(candidate, length);
            if ((size_t)length + nameLength >= CANDIDATE_BUFFER_SIZE)
                break;
            memcpy(candidate + length, name, nameLength + 1);
            started = TryName(candidate, request);
            if (started || (!IsNotFound(request->error) && !IsNetworkCandidate(candidate)))
                break;
        }
        Release(candidate);
    }
    Release(path);
    return started;
}

// Keeps the per-drive variable ("=C:" and so on) of the drive made current
// up to date with the directory as the system reports it. A network
// directory has no drive letter and sets no variable.
int ChangeDirectory(const char *path)
{
    if (!SetCurrentDirectoryA(path))
        return -1;
    char directory[DIRECTORY_BUFFER_SIZE];
    DWORD length = GetCurrentDirectoryA(DIRECTORY_BUFFER_SIZE, directory);
    // A result of the buffer's size or more is the size needed, with nothing written.
    if (length == 0 || length >= DIRECTORY_BUFFER_SIZE)
        return -1;
    if ((directory[0] == '\\' && directory[1] == '\\') || (directory[0] == '/' && directory[1] == '/'))
        return 0;
    char drive = directory[0];
    if (drive >= 'a' && drive <= 'z')
        drive = (char)(drive - 'a' + 'A');
    const char variable[] = {'=', drive, ':', '\0'};
    return SetEnvironmentVariableA(variable, directory) ? 0 : -1;
}

int SpawnAndWait(int mode, const char *name, ...)
{
    if (mode != SPAWN_WAIT)
        return -1;
    va_list arguments;
    va_start(arguments, name);
    StartRequest request = {};
    request.wait = true;
    request.arguments = &arguments;
    bool started = TryName(name, &request);
    // A name with a backslash or a ":" is looked for along "PATH" too.
    if (!started && IsNotFound(request.error) && FindCharacter(name, '/') == NULL)
        started = SearchAlongPath(name, &request, NextQuotedEntry);
    va_end(arguments);
    return started ? request.exitCode : -1;
}

int StartAndExit(const char *name, ...)
{
    va_list arguments;
    va_start(arguments, name);
    StartRequest request = {};
    request.wait = false;
    request.arguments = &arguments;
    bool bare = FindCharacter(name, '\\') == NULL && FindCharacter(name, '/') == NULL &&
                !(name[0] != '\0' && name[1] == ':');
    if (!TryName(name, &request) && IsNotFound(request.error) && bare)
        SearchAlongPath(name, &request, NextPlainEntry);
    va_end(arguments);
    return -1;
}
