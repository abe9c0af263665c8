// A program that tells how it was started. Copied under the names the menu
// starts (setup.exe, tervalon.com, an uninstaller), it appends a report to
// %PROBE_REPORTS%\<its file name>.txt: module, command line, argv, current
// directory, the "=X:" variables, and whether the standard handles it was
// given work. PROBE_EXIT sets its exit code, PROBE_SLEEP_MS makes it linger,
// PROBE_DELETE_ENTRY=1 removes the product's uninstall entry (32-bit view)
// as an uninstaller would. A lingering probe writes "sleep=N" before its
// wait and the closing "exit=N" and "end" only after it, so a reader can
// tell a probe that is still running from one that has ended.
#include <windows.h>

#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char *EnvOr(const char *name, const char *fallback)
{
    const char *value = getenv(name);
    return value != NULL ? value : fallback;
}

static void DeleteUninstallEntry(FILE *report)
{
    HKEY parent;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                                KEY_ALL_ACCESS | KEY_WOW64_32KEY, &parent);
    if (status == ERROR_SUCCESS) {
        status = RegDeleteKeyA(parent, "Tervalon");
        RegCloseKey(parent);
    }
    fprintf(report, "deleted=%ld\n", status);
}

static void ReportDriveVariables(FILE *report)
{
    char *block = GetEnvironmentStringsA();
    for (char *entry = block; *entry != '\0'; entry += strlen(entry) + 1) {
        if (entry[0] == '=' && entry[1] != '\0' && entry[2] == ':')
            fprintf(report, "drivevar=%s\n", entry);
    }
    FreeEnvironmentStringsA(block);
}

int main(int argc, char **argv)
{
    char module[MAX_PATH] = "";
    GetModuleFileNameA(NULL, module, sizeof module);
    const char *base = module;
    for (const char *at = module; *at != '\0'; at++) {
        if (*at == '\\' || *at == '/')
            base = at + 1;
    }
    char reportPath[2 * MAX_PATH];
    snprintf(reportPath, sizeof reportPath, "%s\\%s.txt", EnvOr("PROBE_REPORTS", "."), base);
    FILE *report = fopen(reportPath, "a");
    if (report == NULL)
        return 99;

    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    int exitCode = atoi(EnvOr("PROBE_EXIT", "0"));
    fprintf(report, "begin\nmodule=%s\ncmdline=%s\ncwd=%s\nargc=%d\n", module, GetCommandLineA(), directory, argc);
    for (int i = 0; i < argc; i++)
        fprintf(report, "argv%d=%s\n", i, argv[i]);
    ReportDriveVariables(report);

    // The C runtime's descriptors 0-2 come from the handle table the parent
    // passed, or from the process's standard handles.
    int out = fprintf(stdout, "stdout of %s\n", base);
    int flushed = fflush(stdout);
    fprintf(report, "stdout=%s\n", out > 0 && flushed == 0 ? "ok" : "failed");
    fprintf(stderr, "stderr of %s\n", base);
    fflush(stderr);
#ifdef PROBE_CONSOLE
    // A console of its own would wait for the keyboard: that is reported, not read.
    char line[256] = "";
    DWORD mode;
    if (GetConsoleMode((HANDLE)_get_osfhandle(_fileno(stdin)), &mode))
        strcpy(line, "(console)");
    else if (fgets(line, sizeof line, stdin) == NULL)
        strcpy(line, "(none)");
    line[strcspn(line, "\r\n")] = '\0';
    fprintf(report, "stdin=%s\n", line);
#endif
    if (strcmp(EnvOr("PROBE_DELETE_ENTRY", "0"), "1") == 0)
        DeleteUninstallEntry(report);
    int sleepMs = atoi(EnvOr("PROBE_SLEEP_MS", "0"));
    if (sleepMs > 0) {
        fprintf(report, "sleep=%d\n", sleepMs);
        fflush(report);
        Sleep((DWORD)sleepMs);
    }
    fprintf(report, "exit=%d\nend\n", exitCode);
    fclose(report);
    return exitCode;
}
