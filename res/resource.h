#ifndef AUTORUN_RESOURCE_H
#define AUTORUN_RESOURCE_H

// Bitmaps, loaded by number; each is exactly the size of the slot it fills.
#define IDB_BACKGROUND 110
#define IDB_PLAY_OFF 117
#define IDB_PLAY 118
#define IDB_INSTALL 120
#define IDB_PLAY_HOT 121
#define IDB_INSTALL_HOT 122
#define IDB_UNINSTALL 123
#define IDB_UNINSTALL_OFF 124
#define IDB_UNINSTALL_HOT 125
#define IDB_EXIT 126
#define IDB_EXIT_HOT 128

// Named resources: the menu's dialog template and the program file's icon.
#define DLG_MASTER_NAME "DLG_MASTER"

#endif
