// The program's only view of the operating system. Windows builds get the
// real headers; the host build gets our own declarations of exactly the
// calls the program makes, implemented in memory by tests/host.
#ifndef AUTORUN_PLATFORM_H
#define AUTORUN_PLATFORM_H

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
// Not in every set of Windows headers (mingw-w64 lacks it).
#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740L
#endif
#else
#include "host_api.h"
#endif

// A 64-bit build must read the entry where the shipped 32-bit build reads
// it on 64-bit Windows: in the 32-bit registry view.
#ifdef _WIN64
#define PLATFORM_REGISTRY_VIEW KEY_WOW64_32KEY
#else
#define PLATFORM_REGISTRY_VIEW 0
#endif

#endif
