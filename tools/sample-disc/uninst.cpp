// The sample uninstaller: removes the files listed in the log named by its
// "-a" option, the log itself and the uninstall entry. It cannot remove its
// own running file, which stays behind.
#include "sample.h"

#include <stdio.h>
#include <string.h>

static void RemoveListedFiles(const char *logPath)
{
    FILE *log = fopen(logPath, "r");
    if (log == NULL)
        return;
    char line[MAX_PATH];
    while (fgets(line, sizeof line, log) != NULL) {
        line[strcspn(line, "\r\n")] = '\0';
        if (line[0] != '\0')
            DeleteFileA(line);
    }
    fclose(log);
    DeleteFileA(logPath);
}

int main(int argc, char **argv)
{
    if (MessageBoxA(NULL, "Remove Tervalon from this computer?", SAMPLE_TITLE, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 1;
    for (int i = 1; i < argc; i++) {
        if (strncmp(argv[i], "-a", 2) == 0)
            RemoveListedFiles(argv[i] + 2);
    }
    HKEY parent;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SAMPLE_UNINSTALL_PARENT, 0, KEY_ALL_ACCESS | SAMPLE_REGISTRY_VIEW, &parent) ==
        ERROR_SUCCESS) {
        RegDeleteKeyA(parent, "Tervalon");
        RegCloseKey(parent);
    }
    MessageBoxA(NULL, "Tervalon has been removed.", SAMPLE_TITLE, MB_ICONINFORMATION);
    return 0;
}
