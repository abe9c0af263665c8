#include "actions/actions.h"

// The launch services come next; until then a press on Play, Install or
// Uninstall starts nothing.
void RunMenuAction(HWND, int)
{
}
