// What Play, Install and Uninstall do.
#ifndef AUTORUN_ACTIONS_H
#define AUTORUN_ACTIONS_H

#include "platform/platform.h"

void RunMenuAction(HWND window, int slot);

#endif
