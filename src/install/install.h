// The installation record: the product's uninstall entry, read afresh on
// every repaint, and the pieces taken from its command. Written only by
// QueryInstallState.
#ifndef AUTORUN_INSTALL_H
#define AUTORUN_INSTALL_H

#include "platform/platform.h"

enum InstallState {
    INSTALL_NONE = 0,
    INSTALL_FOUND = 1,
    INSTALL_NO_COMMAND = 2,
};

#define UNINSTALL_KEY_PATH "Software\\Microsoft\\windows\\currentversion\\uninstall\\Tervalon"
#define UNINSTALL_VALUE_NAME "UninstallString"
#define UNINSTALL_TEXT_SIZE 257
#define UNINSTALL_PIECE_SIZE 256

// Read access is all the lookup needs; a full-access open fails for every
// standard user since Windows Vista.
#define UNINSTALL_KEY_ACCESS (KEY_QUERY_VALUE | PLATFORM_REGISTRY_VIEW)

struct UninstallCommandRecord {
    // One byte more than the registry read is offered, never written, so
    // the text always ends within its storage.
    char Text[UNINSTALL_TEXT_SIZE + 1];
    char Program[UNINSTALL_PIECE_SIZE];
    char FirstOption[UNINSTALL_PIECE_SIZE];
    char SecondOption[UNINSTALL_PIECE_SIZE];
};

extern UninstallCommandRecord UninstallCommand;
extern char InstallDir[UNINSTALL_PIECE_SIZE];
extern HKEY UninstallKey;

InstallState QueryInstallState(void);
void ParseUninstallCommand(void);
LONG ReadUninstallValue(LPCSTR name, LPBYTE data, LPDWORD size);

#endif
