// Launch services: the working directory and the starting of programs. The
// only code of the program that obtains memory; every block is released
// before a service returns.
#ifndef AUTORUN_LAUNCH_H
#define AUTORUN_LAUNCH_H

#include "platform/platform.h"

// The one defined mode of SpawnAndWait: wait until the program has ended.
#define SPAWN_WAIT 0

// A child's C runtime reads handle-sized entries from the handle table: 4
// bytes in the shipped 32-bit build, 8 in a 64-bit one. The host tests build
// the services both ways.
#ifndef HANDLE_ENTRY_SIZE
#define HANDLE_ENTRY_SIZE sizeof(HANDLE)
#endif

// Ends the argument list of SpawnAndWait and StartAndExit.
#define ARGUMENTS_END ((const char *)NULL)

#ifdef __GNUC__
#define LAUNCH_SENTINEL __attribute__((sentinel))
#else
#define LAUNCH_SENTINEL
#endif

int ChangeDirectory(const char *path);
int SpawnAndWait(int mode, const char *name, ...) LAUNCH_SENTINEL;
int StartAndExit(const char *name, ...) LAUNCH_SENTINEL;

#endif
