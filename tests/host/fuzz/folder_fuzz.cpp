// Any module path, in either code page and of any length: the launcher's
// folder is cut from what fits, never read or written past its buffer.
#include <string.h>

#include "fuzz_input.h"
#include "launcher/launcher.h"
#include "substitute/substitute.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input = {data, size, 0};
    uint8_t mode = NextByte(input);
    HostReset();
    HostSetCodePage((mode & 1) != 0 ? 932 : 1252);
    HostSetModulePath(NextText(input));
    memset(LauncherDir, 0x7F, sizeof LauncherDir);
    WinMain((HINSTANCE)(uintptr_t)0x400000, nullptr, nullptr, 0);
    FUZZ_CHECK(memchr(LauncherDir, 0, sizeof LauncherDir) != nullptr);
    FUZZ_CHECK(CurrentLanguage >= 0 && CurrentLanguage < LANGUAGE_COUNT);
    return 0;
}
