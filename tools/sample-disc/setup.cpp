// Sample setup: copies the sample product and its uninstaller from its own
// folder to C:\TERVALON and writes the uninstall entry the disc menu reads.
#include "sample.h"

#include <stdio.h>
#include <string.h>

static void FolderOf(char *path)
{
    char *cut = strrchr(path, '\\');
    if (cut != NULL)
        *cut = '\0';
}

static bool CopyBeside(const char *from, const char *name)
{
    char source[MAX_PATH], target[MAX_PATH];
    snprintf(source, sizeof source, "%s\\%s", from, name);
    snprintf(target, sizeof target, "%s\\%s", SAMPLE_INSTALL_DIR, name);
    return CopyFileA(source, target, FALSE) != 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char here[MAX_PATH] = "";
    GetModuleFileNameA(NULL, here, sizeof here);
    FolderOf(here);
    CreateDirectoryA(SAMPLE_INSTALL_DIR, NULL);
    if (!CopyBeside(here, "TERVALON.EXE") || !CopyBeside(here, "UNINST.EXE")) {
        MessageBoxA(NULL, "The sample files could not be copied to " SAMPLE_INSTALL_DIR ".", SAMPLE_TITLE, MB_ICONERROR);
        return 1;
    }
    FILE *log = fopen(SAMPLE_INSTALL_DIR "\\INSTALL.LOG", "w");
    if (log != NULL) {
        fprintf(log, "%s\\TERVALON.EXE\n", SAMPLE_INSTALL_DIR);
        fclose(log);
    }

    // The form the menu takes apart: program, "-a" with a file in the
    // installation folder, then a second option.
    const char *command = SAMPLE_INSTALL_DIR "\\UNINST.EXE -a" SAMPLE_INSTALL_DIR "\\INSTALL.LOG -bTERVALON";
    HKEY key;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, SAMPLE_UNINSTALL_KEY, 0, NULL, 0,
                                  KEY_SET_VALUE | SAMPLE_REGISTRY_VIEW, NULL, &key, NULL);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(key, "UninstallString", 0, REG_SZ, (const BYTE *)command, (DWORD)strlen(command) + 1);
        RegSetValueExA(key, "DisplayName", 0, REG_SZ, (const BYTE *)"Tervalon", 9);
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS) {
        MessageBoxA(NULL, "The uninstall entry could not be written.", SAMPLE_TITLE, MB_ICONERROR);
        return 1;
    }
    char language[MAX_PATH + 64];
    snprintf(language, sizeof language,
             "Tervalon is installed in " SAMPLE_INSTALL_DIR ".\n\nSetup ran from %s.\nStart the disc menu again to play.",
             here);
    MessageBoxA(NULL, language, SAMPLE_TITLE, MB_ICONINFORMATION);
    return 0;
}
