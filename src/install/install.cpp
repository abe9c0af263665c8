#include "install/install.h"

UninstallCommandRecord UninstallCommand;
char InstallDir[UNINSTALL_PIECE_SIZE];
HKEY UninstallKey;

LONG ReadUninstallValue(LPCSTR name, LPBYTE data, LPDWORD size)
{
    DWORD type;
    return RegQueryValueExA(UninstallKey, name, NULL, &type, data, size);
}

InstallState QueryInstallState(void)
{
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY_PATH, 0, UNINSTALL_KEY_ACCESS, &UninstallKey) != ERROR_SUCCESS)
        return INSTALL_NONE;
    UninstallCommand.Text[0] = '\0';
    DWORD size = UNINSTALL_TEXT_SIZE;
    LONG status = ReadUninstallValue(UNINSTALL_VALUE_NAME, (LPBYTE)UninstallCommand.Text, &size);
    RegCloseKey(UninstallKey);
    if (status != ERROR_SUCCESS)
        return INSTALL_NO_COMMAND;
    ParseUninstallCommand();
    return INSTALL_FOUND;
}

// Copies [from, to) into a piece, cut to fit its storage with its zero.
static void CopyPiece(char *piece, const char *from, const char *to)
{
    int length = 0;
    while (from + length < to && length < UNINSTALL_PIECE_SIZE - 1) {
        piece[length] = from[length];
        length++;
    }
    piece[length] = '\0';
}

static const char *FindByte(const char *text, char wanted)
{
    while (*text != '\0' && *text != wanted)
        text++;
    return text;
}

static const char *TextEnd(const char *text)
{
    return FindByte(text, '\0');
}

// The command is "program -first option -second option": each "-" ends a
// piece, wherever it stands. The folder is the first option's path from the
// byte before its first ":" up to its last backslash. Bytes are compared one
// by one, without double-byte stepping.
void ParseUninstallCommand(void)
{
    const char *text = UninstallCommand.Text;
    const char *end = TextEnd(text);
    // With no "-" the whole text is the program and both options are empty;
    // with one "-" the second option is empty.
    const char *first = FindByte(text, '-');
    const char *second = *first != '\0' ? FindByte(first + 1, '-') : end;
    CopyPiece(UninstallCommand.Program, text, first);
    CopyPiece(UninstallCommand.FirstOption, first, second);
    CopyPiece(UninstallCommand.SecondOption, second, end);

    const char *option = UninstallCommand.FirstOption;
    const char *colon = FindByte(option, ':');
    // A first option without a ":" names no folder: InstallDir is empty.
    if (*colon == '\0' || colon == option) {
        InstallDir[0] = '\0';
        return;
    }
    CopyPiece(InstallDir, colon - 1, TextEnd(colon));
    char *lastBackslash = NULL;
    for (char *at = InstallDir; *at != '\0'; at++) {
        if (*at == '\\')
            lastBackslash = at;
    }
    if (lastBackslash != NULL)
        lastBackslash[1] = '\0';
    else
        InstallDir[1] = '\0';
}
