// Shared by the sample disc's programs: where the sample product goes and
// how its uninstall entry reads.
#ifndef SAMPLE_DISC_H
#define SAMPLE_DISC_H

#include <windows.h>

#define SAMPLE_TITLE "Tervalon sample disc"
#define SAMPLE_INSTALL_DIR "C:\\TERVALON"
#define SAMPLE_UNINSTALL_PARENT "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
#define SAMPLE_UNINSTALL_KEY SAMPLE_UNINSTALL_PARENT "\\Tervalon"
// The menu runs as a 32-bit program and reads the entry in the 32-bit view.
#define SAMPLE_REGISTRY_VIEW KEY_WOW64_32KEY

#endif
