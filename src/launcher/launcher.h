// Start-up: the module instance, the launcher's own folder and the user's
// language. Written once by WinMain before the menu exists, read afterwards.
#ifndef AUTORUN_LAUNCHER_H
#define AUTORUN_LAUNCHER_H

#include "platform/platform.h"

#define LANGUAGE_COUNT 10

extern HINSTANCE AppInstance;
extern char LauncherDir[MAX_PATH];
extern int CurrentLanguage;
extern const char *const InstallFolderNames[LANGUAGE_COUNT];

int LanguageIndexFor(LANGID language);
void SelectLanguage(void);
void CutAfterFolder(char *path);
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

#endif
