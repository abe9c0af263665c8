#include "actions/actions.h"

#include <string.h>

#include "actions/launch.h"
#include "install/install.h"
#include "launcher/launcher.h"
#include "menu/menu.h"

char ActionBuffer[ACTION_BUFFER_SIZE];

// Each program starts in the current directory, so it is made first.
static void Play(HWND)
{
    ChangeDirectory(InstallDir);
    StartAndExit(PRODUCT_PROGRAM, PRODUCT_PROGRAM, ARGUMENTS_END);
    ChangeDirectory(LauncherDir);
}

static void Install(HWND window)
{
    const char *folder = InstallFolderNames[CurrentLanguage];
    // The folder path and its zero must fit ActionBuffer; a launcher folder
    // too long for it makes Install do nothing at all.
    if (strlen(LauncherDir) + 1 + strlen(folder) >= ACTION_BUFFER_SIZE)
        return;
    wsprintfA(ActionBuffer, "%s\\%s", LauncherDir, folder);
    ChangeDirectory(ActionBuffer);
    wsprintfA(ActionBuffer, "%s", SETUP_PROGRAM);
    StartAndExit(ActionBuffer, ActionBuffer, ARGUMENTS_END);
    ChangeDirectory(LauncherDir);
    RepaintMenu(window);
}

// The pieces go exactly as the installation record cut them, trailing
// spaces included; the uninstaller starts in the current directory.
static void Uninstall(HWND window)
{
    SpawnAndWait(SPAWN_WAIT, UninstallCommand.Program, UninstallCommand.Program, UninstallCommand.FirstOption,
                 UninstallCommand.SecondOption, ARGUMENTS_END);
    RepaintMenu(window);
}

// Indexed by slot, Play to Uninstall.
static void (*const MenuActions[])(HWND window) = {Play, Install, Uninstall};

void RunMenuAction(HWND window, int slot)
{
    if (slot >= SLOT_PLAY && slot <= SLOT_UNINSTALL)
        MenuActions[slot](window);
}
