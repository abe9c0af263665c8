// What Play, Install and Uninstall do. ActionBuffer is written only by
// Install.
#ifndef AUTORUN_ACTIONS_H
#define AUTORUN_ACTIONS_H

#include "platform/platform.h"

#define ACTION_BUFFER_SIZE 264

#define PRODUCT_PROGRAM "tervalon"
#define SETUP_PROGRAM "setup.exe"

extern char ActionBuffer[ACTION_BUFFER_SIZE];

void RunMenuAction(HWND window, int slot);

#endif
