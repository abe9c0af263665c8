// The sample product: says where it was started, and that it runs.
#include "sample.h"

#include <stdio.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    char text[MAX_PATH + 128];
    snprintf(text, sizeof text, "Tervalon is running.\n\nCommand line: %s\nFolder: %s", GetCommandLineA(), directory);
    MessageBoxA(NULL, text, "Tervalon", MB_ICONINFORMATION);
    return 0;
}
