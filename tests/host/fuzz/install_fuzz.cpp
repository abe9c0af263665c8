// Any registry data, of any type and up to well past the 257 bytes offered,
// through the lookup and the parse: every piece stays within its storage and
// ends with its zero, and no key stays open.
#include <string.h>

#include "fuzz_input.h"
#include "install/install.h"
#include "substitute/substitute.h"

static const char *const KeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tervalon";

static bool Terminated(const char *piece, size_t storage)
{
    return memchr(piece, 0, storage) != nullptr && strlen(piece) < storage;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    HostReset();
    HostRegCreateKey(KeyPath);
    HostRegSetValue(KeyPath, "UninstallString", size > 0 ? data[0] % 5 : REG_SZ,
                    std::vector<BYTE>(size > 0 ? data + 1 : data, data + size));
    memset(&UninstallCommand, 0x7F, sizeof UninstallCommand);
    UninstallCommand.Text[UNINSTALL_TEXT_SIZE] = '\0';
    memset(InstallDir, 0x7F, sizeof InstallDir);
    InstallState state = QueryInstallState();
    FUZZ_CHECK(state == (size <= 1 + UNINSTALL_TEXT_SIZE ? INSTALL_FOUND : INSTALL_NO_COMMAND));
    if (state == INSTALL_FOUND) {
        FUZZ_CHECK(Terminated(UninstallCommand.Text, sizeof UninstallCommand.Text));
        FUZZ_CHECK(Terminated(UninstallCommand.Program, UNINSTALL_PIECE_SIZE));
        FUZZ_CHECK(Terminated(UninstallCommand.FirstOption, UNINSTALL_PIECE_SIZE));
        FUZZ_CHECK(Terminated(UninstallCommand.SecondOption, UNINSTALL_PIECE_SIZE));
        FUZZ_CHECK(Terminated(InstallDir, UNINSTALL_PIECE_SIZE));
        // The folder ends with a backslash, or is one character, or is empty.
        size_t folder = strlen(InstallDir);
        FUZZ_CHECK(folder <= 1 || InstallDir[folder - 1] == '\\');
    }
    FUZZ_CHECK(HostLiveObjects().keys == 0);
    return 0;
}
