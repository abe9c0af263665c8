// Any "PATH" value, program name and arguments, in either code page, through
// both starting services and a directory change: nothing is overrun (the
// sanitizers watch every working copy), and nothing stays allocated or open.
#include <vector>

#include "actions/launch.h"
#include "fuzz_input.h"
#include "substitute/substitute.h"

// The files of the world stand at plain paths the substitute can hold; only
// the texts the services take apart come from the fuzzer as they are.
static const char *const Roots[] = {"C:\\WORK", "C:\\BIN", "D:\\", "\\\\server\\share"};

static std::string PlainPath(uint8_t root, const std::string &text)
{
    std::string component;
    for (char c : text) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_';
        if (plain && component.size() < 40)
            component.push_back(c);
    }
    std::string path = Roots[root % 4];
    if (path.back() != '\\')
        path += "\\";
    return path + (component.empty() ? "x" : component);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input = {data, size, 0};
    uint8_t mode = NextByte(input);
    HostReset();
    HostSetCodePage((mode & 1) != 0 ? 932 : 1252);
    HostAddFolder("C:\\WORK");
    HostSetCurrentDirectory("C:\\WORK");
    if ((mode & 2) != 0)
        HostSetEnvironment("PATH", NextText(input));
    HostAddProgram(PlainPath(mode >> 2, NextText(input)));
    HostAddFolder(PlainPath(mode >> 4, NextText(input)));
    std::string folder = NextText(input);
    std::string name = NextText(input);
    std::string first = NextText(input);
    std::string second = NextText(input);

    ChangeDirectory(folder.c_str());
    SpawnAndWait(SPAWN_WAIT, name.c_str(), name.c_str(), first.c_str(), second.c_str(), ARGUMENTS_END);
    HostLaunchBalance held = HostLiveLaunchObjects();
    FUZZ_CHECK(held.heapBlocks == 0 && held.processes == 0 && held.threads == 0 && held.misuses == 0);
    HostRunUntilExit([&] { StartAndExit(name.c_str(), name.c_str(), ARGUMENTS_END); });
    held = HostLiveLaunchObjects();
    FUZZ_CHECK(held.misuses == 0);
    return 0;
}
