#include "launcher/launcher.h"

#include "menu/menu.h"
#include "res/resource.h"

HINSTANCE AppInstance;
char LauncherDir[MAX_PATH];
int CurrentLanguage;

const char *const InstallFolderNames[LANGUAGE_COUNT] = {
    "Brazilian Portuguese", "Dutch", "English", "French", "German",
    "Italian", "Japanese", "LA Spanish", "Spanish", "Swedish",
};

#define ANY_SUBLANGUAGE (-1)

struct LanguageRow {
    int primary;
    int sublanguage;
    int index;
};

// First match wins, so modern Spanish stands before the other Spanish rows.
// Every language not listed, English and Japanese among them, is English.
static const LanguageRow LanguageTable[] = {
    {0x07, ANY_SUBLANGUAGE, 4},
    {0x0A, 3, 8},
    {0x0A, ANY_SUBLANGUAGE, 7},
    {0x0C, ANY_SUBLANGUAGE, 3},
    {0x10, ANY_SUBLANGUAGE, 5},
    {0x13, ANY_SUBLANGUAGE, 1},
    {0x16, ANY_SUBLANGUAGE, 0},
    {0x1D, ANY_SUBLANGUAGE, 9},
};

#define ENGLISH_INDEX 2

int LanguageIndexFor(LANGID language)
{
    int primary = language & 0x3FF;
    int sublanguage = language >> 10;
    for (const LanguageRow &row : LanguageTable) {
        if (row.primary == primary && (row.sublanguage == ANY_SUBLANGUAGE || row.sublanguage == sublanguage))
            return row.index;
    }
    return ENGLISH_INDEX;
}

void SelectLanguage(void)
{
    CurrentLanguage = LanguageIndexFor(GetUserDefaultLangID());
}

// Walks whole characters of the ANSI code page, so the trail byte of a
// double-byte character never counts as a separator.
void CutAfterFolder(char *path)
{
    char *cut = path;
    for (char *at = path; *at != '\0'; at = CharNextA(at)) {
        if (*at == '\\' || *at == '/')
            cut = at;
    }
    *cut = '\0';
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    AppInstance = instance;
    GetModuleFileNameA(instance, LauncherDir, MAX_PATH);
    // Windows XP leaves a path of 260 characters or more unterminated.
    LauncherDir[MAX_PATH - 1] = '\0';
    CutAfterFolder(LauncherDir);
    SelectLanguage();
    DialogBoxParamA(AppInstance, DLG_MASTER_NAME, NULL, MenuDialogProc, 0);
    return 0;
}
