#include "actions/launch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launch_balance.h"
#include "substitute/substitute.h"

namespace {

enum Service { SPAWN, START };

const char *ServiceName(Service service)
{
    return service == SPAWN ? "SpawnAndWait" : "StartAndExit";
}

struct PathError {
    const char *path;
    DWORD error;
};

// One folder tree: programs, plain files, folders and failing paths.
struct World {
    std::vector<std::string> programs;
    std::vector<std::string> files;
    std::vector<std::string> folders;
    std::vector<PathError> errors;
};

void Build(const World &world)
{
    HostAddFolder("C:\\WORK");
    HostSetCurrentDirectory("C:\\WORK");
    for (const std::string &path : world.programs)
        HostAddProgram(path);
    for (const std::string &path : world.files)
        HostAddFile(path);
    for (const std::string &path : world.folders)
        HostAddFolder(path);
    for (const PathError &error : world.errors)
        HostSetPathError(error.path, error.error);
}

// The candidates tested for existence, in order.
std::vector<std::string> Probed()
{
    std::vector<std::string> texts;
    for (const HostCall &call : HostCallsOf(OP_GetFileAttributesA))
        texts.push_back(call.text);
    return texts;
}

std::string Started()
{
    std::vector<HostStart> started = HostStarted();
    return started.empty() ? "" : started.back().application;
}

int SpawnWith(const char *name, const std::vector<const char *> &a)
{
    switch (a.size()) {
    case 0: return SpawnAndWait(SPAWN_WAIT, name, ARGUMENTS_END);
    case 1: return SpawnAndWait(SPAWN_WAIT, name, a[0], ARGUMENTS_END);
    case 2: return SpawnAndWait(SPAWN_WAIT, name, a[0], a[1], ARGUMENTS_END);
    case 3: return SpawnAndWait(SPAWN_WAIT, name, a[0], a[1], a[2], ARGUMENTS_END);
    default: return SpawnAndWait(SPAWN_WAIT, name, a[0], a[1], a[2], a[3], ARGUMENTS_END);
    }
}

// Runs one service with the name as its only argument. For StartAndExit
// the result is 0 when the launcher ended with code 0, else what it returned.
int RunService(Service service, const char *name)
{
    if (service == SPAWN)
        return SpawnAndWait(SPAWN_WAIT, name, name, ARGUMENTS_END);
    int result = 1234;
    HostExit exit = HostRunUntilExit([&] { result = StartAndExit(name, name, ARGUMENTS_END); });
    if (exit.exited)
        return exit.code == 0 ? 0 : 5678;
    return result;
}

class Launch : public testing::Test {
protected:
    void SetUp() override { HostReset(); }
};

TEST_F(Launch, NameIsTriedInTheCurrentDirectoryWithTheExtensionsInOrder)
{
    const struct {
        const char *name;
        World world;
        std::vector<std::string> probed;
        const char *attempted;  // handed to CreateProcessA, or null
        bool starts;
    } cases[] = {
        {"tervalon", {{"tervalon.com", "tervalon.exe"}, {}, {}, {}}, {".\\tervalon.com"}, ".\\tervalon.com", true},
        {"tervalon", {{"tervalon.exe"}, {}, {}, {}}, {".\\tervalon.com", ".\\tervalon.exe"}, ".\\tervalon.exe", true},
        {"tervalon",
         {{"tervalon.cmd"}, {}, {}, {}},
         {".\\tervalon.com", ".\\tervalon.exe", ".\\tervalon.bat", ".\\tervalon.cmd"},
         ".\\tervalon.cmd",
         true},
        {"tervalon", {}, {".\\tervalon.com", ".\\tervalon.exe", ".\\tervalon.bat", ".\\tervalon.cmd"}, nullptr, false},
        {"setup.exe", {{"setup.exe"}, {}, {}, {}}, {".\\setup.exe"}, ".\\setup.exe", true},
        // An extension is never added to a name that has one.
        {"setup.exe", {{"setup.exe.com", "setup.exe.exe"}, {}, {}, {}}, {".\\setup.exe"}, nullptr, false},
        // A "." in a folder part is no extension.
        {"app.dir\\run",
         {{"app.dir\\run.exe"}, {}, {}, {}},
         {"app.dir\\run.com", "app.dir\\run.exe"},
         "app.dir\\run.exe",
         true},
        {"C:\\WORK\\v1.2\\setup",
         {{"C:\\WORK\\v1.2\\setup.exe"}, {}, {}, {}},
         {"C:\\WORK\\v1.2\\setup.com", "C:\\WORK\\v1.2\\setup.exe"},
         "C:\\WORK\\v1.2\\setup.exe",
         true},
        {"tools/run.bat", {{"tools\\run.bat"}, {}, {}, {}}, {"tools/run.bat"}, "tools/run.bat", true},
        // After a drive prefix there is no ".\" to add.
        {"C:run", {{"run.bat"}, {}, {}, {}}, {"C:run.com", "C:run.exe", "C:run.bat"}, "C:run.bat", true},
        // Without a separator the last component begins after the first ":".
        {"C:v1.2:run", {{"v1.2:run.exe"}, {}, {}, {}}, {"C:v1.2:run"}, nullptr, false},
        // Whatever exists is started, even a folder; later extensions are not tried.
        {"tools", {{"tools.exe"}, {}, {"tools.com"}, {}}, {".\\tools.com"}, ".\\tools.com", false},
        {"readme.txt", {{}, {"readme.txt"}, {}, {}}, {".\\readme.txt"}, ".\\readme.txt", false},
    };
    for (Service service : {SPAWN, START}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(testing::Message() << ServiceName(service) << " \"" << c.name << "\"");
            HostReset();
            Build(c.world);
            int result = RunService(service, c.name);
            EXPECT_EQ(Probed(), c.probed);
            std::vector<HostCall> attempts = HostCallsOf(OP_CreateProcessA);
            if (c.attempted != nullptr) {
                ASSERT_EQ(attempts.size(), 1u);
                EXPECT_EQ(attempts[0].text, c.attempted);
                // The command line comes from the arguments, not from the resolution.
                EXPECT_EQ(HostStarts()[0].commandLine, c.name);
            } else {
                EXPECT_TRUE(attempts.empty());
            }
            EXPECT_EQ(result, c.starts ? 0 : -1);
            if (!c.starts || service == SPAWN)
                ExpectNothingHeld();
        }
    }
}

TEST_F(Launch, DoubleByteCharactersAreSteppedWhole)
{
    // 0x95 0x5C is one character in code page 932, whose trail byte is a
    // backslash; in 1252 the same bytes are a character and a separator.
    const struct {
        int codePage;
        std::vector<std::string> probed;
    } cases[] = {
        {932,
         {".\\\x95\x5Cx.com", ".\\\x95\x5Cx.exe", ".\\\x95\x5Cx.bat", ".\\\x95\x5Cx.cmd",
          // The entry's last character is double-byte: a backslash is added.
          "C:\\\x95\x5C\\\x95\x5Cx.com", "C:\\\x95\x5C\\\x95\x5Cx.exe"}},
        // Not bare here, so StartAndExit searches no "PATH".
        {1252, {"\x95\\x.com", "\x95\\x.exe", "\x95\\x.bat", "\x95\\x.cmd"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "code page " << c.codePage);
        HostReset();
        HostSetCodePage(c.codePage);
        Build({});
        HostAddProgram("C:\\\x95\x5C\\\x95\x5Cx.exe");
        HostSetEnvironment("PATH", "C:\\\x95\x5C");
        RunService(START, "\x95\x5Cx");
        EXPECT_EQ(Probed(), c.probed);
    }
}

TEST_F(Launch, PathIsSearchedByEachServicesOwnRules)
{
    const char *unset = nullptr;
    const struct {
        Service service;
        const char *path;  // null: no "PATH" variable
        const char *name;
        World world;
        std::vector<std::string> probed;
        const char *started;
    } cases[] = {
        {START, "C:\\A;C:\\B", "setup.exe", {{"C:\\B\\setup.exe"}, {}, {"C:\\A"}, {}},
         {".\\setup.exe", "C:\\A\\setup.exe", "C:\\B\\setup.exe"}, "C:\\B\\setup.exe"},
        {SPAWN, "C:\\A;C:\\B", "setup.exe", {{"C:\\B\\setup.exe"}, {}, {"C:\\A"}, {}},
         {".\\setup.exe", "C:\\A\\setup.exe", "C:\\B\\setup.exe"}, "C:\\B\\setup.exe"},
        // An entry that ends with a separator gets no backslash.
        {START, "C:/BIN/", "setup.exe", {{"C:\\BIN\\setup.exe"}, {}, {}, {}},
         {".\\setup.exe", "C:/BIN/setup.exe"}, "C:/BIN/setup.exe"},
        {SPAWN, "C:\\BIN\\", "setup.exe", {{"C:\\BIN\\setup.exe"}, {}, {}, {}},
         {".\\setup.exe", "C:\\BIN\\setup.exe"}, "C:\\BIN\\setup.exe"},
        // Quotes enclose a ";" for SpawnAndWait only.
        {SPAWN, "\"C:\\X;Y\";C:\\B", "setup.exe", {{"C:\\X;Y\\setup.exe", "C:\\B\\setup.exe"}, {}, {}, {}},
         {".\\setup.exe", "C:\\X;Y\\setup.exe"}, "C:\\X;Y\\setup.exe"},
        {SPAWN, "C:\\\"X;\"Y\"\";C:\\B", "setup.exe", {{"C:\\X;Y\\setup.exe"}, {}, {}, {}},
         {".\\setup.exe", "C:\\X;Y\\setup.exe"}, "C:\\X;Y\\setup.exe"},
        {START, "\"C:\\X;Y\";C:\\B", "setup.exe", {{"C:\\X;Y\\setup.exe", "C:\\B\\setup.exe"}, {}, {}, {}},
         {".\\setup.exe", "\"C:\\X\\setup.exe", "Y\"\\setup.exe", "C:\\B\\setup.exe"}, "C:\\B\\setup.exe"},
        // Runs of ";" and empty entries contribute nothing to either search.
        {SPAWN, ";;C:\\A;;;C:\\B;", "setup.exe", {{"C:\\B\\setup.exe"}, {}, {"C:\\A"}, {}},
         {".\\setup.exe", "C:\\A\\setup.exe", "C:\\B\\setup.exe"}, "C:\\B\\setup.exe"},
        {START, ";;C:\\A;;;C:\\B;", "setup.exe", {{"C:\\B\\setup.exe"}, {}, {"C:\\A"}, {}},
         {".\\setup.exe", "C:\\A\\setup.exe", "C:\\B\\setup.exe"}, "C:\\B\\setup.exe"},
        {START, ";C:\\A;;C:\\B;", "setup.exe", {{}, {}, {"C:\\A", "C:\\B"}, {}},
         {".\\setup.exe", "C:\\A\\setup.exe", "C:\\B\\setup.exe"}, nullptr},
        {START, "", "setup.exe", {{"C:\\B\\setup.exe"}, {}, {}, {}}, {".\\setup.exe"}, nullptr},
        {SPAWN, "", "setup.exe", {{"C:\\B\\setup.exe"}, {}, {}, {}}, {".\\setup.exe"}, nullptr},
        {START, ";;", "setup.exe", {{"C:\\B\\setup.exe"}, {}, {}, {}}, {".\\setup.exe"}, nullptr},
        {START, unset, "setup.exe", {{"C:\\B\\setup.exe"}, {}, {}, {}}, {".\\setup.exe"}, nullptr},
        {SPAWN, unset, "setup.exe", {{"C:\\B\\setup.exe"}, {}, {}, {}}, {".\\setup.exe"}, nullptr},
        // An empty quoted run ends the SpawnAndWait search; for StartAndExit it is text.
        {SPAWN, "\"\";C:\\B", "setup.exe", {{"C:\\B\\setup.exe"}, {}, {}, {}}, {".\\setup.exe"}, nullptr},
        {START, "\"\";C:\\B", "setup.exe", {{"C:\\B\\setup.exe"}, {}, {}, {}},
         {".\\setup.exe", "\"\"\\setup.exe", "C:\\B\\setup.exe"}, "C:\\B\\setup.exe"},
        // StartAndExit searches only for a bare name.
        {START, "C:\\B", "dir\\setup.exe", {{"C:\\B\\dir\\setup.exe"}, {}, {}, {}}, {"dir\\setup.exe"}, nullptr},
        {START, "C:\\B", "dir/setup.exe", {{"C:\\B\\dir\\setup.exe"}, {}, {}, {}}, {"dir/setup.exe"}, nullptr},
        {START, "C:\\B", "C:setup.exe", {{"C:\\B\\setup.exe"}, {}, {}, {}}, {"C:setup.exe"}, nullptr},
        // SpawnAndWait joins every entry with the whole name, unless it holds a "/".
        {SPAWN, "D:\\BIN;C:\\B", "C:\\WIN\\REMOVE.EXE", {{}, {}, {"C:\\B"}, {}},
         {"C:\\WIN\\REMOVE.EXE", "D:\\BIN\\C:\\WIN\\REMOVE.EXE", "C:\\B\\C:\\WIN\\REMOVE.EXE"}, nullptr},
        {SPAWN, "C:\\", "WIN\\REMOVE.EXE", {{"C:\\WIN\\REMOVE.EXE"}, {}, {}, {}},
         {"WIN\\REMOVE.EXE", "C:\\WIN\\REMOVE.EXE"}, "C:\\WIN\\REMOVE.EXE"},
        {SPAWN, "C:\\", "WIN/REMOVE.EXE", {{"C:\\WIN\\REMOVE.EXE"}, {}, {}, {}}, {"WIN/REMOVE.EXE"}, nullptr},
        // A failure that is not a not-found one ends the search...
        {START, "C:\\B", "setup.exe", {{"C:\\B\\setup.exe"}, {"C:\\WORK\\setup.exe"}, {}, {}},
         {".\\setup.exe"}, nullptr},
        {SPAWN, "C:\\A;C:\\B", "setup.exe", {{"C:\\B\\setup.exe"}, {}, {"C:\\A\\setup.exe"}, {}},
         {".\\setup.exe", "C:\\A\\setup.exe"}, nullptr},
        {START, "C:\\A;C:\\B", "setup.exe",
         {{"C:\\B\\setup.exe"}, {}, {"C:\\A"}, {{"C:\\A\\setup.exe", ERROR_ACCESS_DENIED}}},
         {".\\setup.exe", "C:\\A\\setup.exe"}, nullptr},
        // ...except on a network candidate: two leading separators of either kind.
        {START, "\\\\srv\\share;C:\\B", "setup.exe",
         {{"C:\\B\\setup.exe"}, {}, {"\\\\srv\\share"}, {{"\\\\srv\\share\\setup.exe", ERROR_ACCESS_DENIED}}},
         {".\\setup.exe", "\\\\srv\\share\\setup.exe", "C:\\B\\setup.exe"}, "C:\\B\\setup.exe"},
        {SPAWN, "\\\\srv\\share;C:\\B", "setup.exe",
         {{"C:\\B\\setup.exe"}, {}, {"\\\\srv\\share"}, {{"\\\\srv\\share\\setup.exe", ERROR_ACCESS_DENIED}}},
         {".\\setup.exe", "\\\\srv\\share\\setup.exe", "C:\\B\\setup.exe"}, "C:\\B\\setup.exe"},
        {SPAWN, "//srv/share;C:\\B", "setup.exe", {{"C:\\B\\setup.exe"}, {"\\\\srv\\share\\setup.exe"}, {}, {}},
         {".\\setup.exe", "//srv/share\\setup.exe", "C:\\B\\setup.exe"}, "C:\\B\\setup.exe"},
        {START, "\\/srv/share;C:\\B", "setup.exe", {{"C:\\B\\setup.exe"}, {"\\\\srv\\share\\setup.exe"}, {}, {}},
         {".\\setup.exe", "\\/srv/share\\setup.exe", "C:\\B\\setup.exe"}, "C:\\B\\setup.exe"},
        // An unknown share is not found at all.
        {START, "\\\\none\\share;C:\\B", "setup.exe", {{"C:\\B\\setup.exe"}, {}, {}, {}},
         {".\\setup.exe", "\\\\none\\share\\setup.exe", "C:\\B\\setup.exe"}, "C:\\B\\setup.exe"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << ServiceName(c.service) << " PATH=" << (c.path ? c.path : "(none)")
                                        << " name " << c.name);
        HostReset();
        Build(c.world);
        if (c.path != nullptr)
            HostSetEnvironment("Path", c.path);
        int result = RunService(c.service, c.name);
        EXPECT_EQ(Probed(), c.probed);
        EXPECT_EQ(Started(), c.started != nullptr ? c.started : "");
        EXPECT_EQ(result, c.started != nullptr ? 0 : -1);
        if (c.started == nullptr || c.service == SPAWN)
            ExpectNothingHeld();
    }
}

TEST_F(Launch, OnlyNotFoundFailuresLetTheSearchGoOn)
{
    const struct {
        DWORD error;
        bool notFound;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, true}, {ERROR_PATH_NOT_FOUND, true}, {ERROR_INVALID_DRIVE, true},
        {ERROR_NO_MORE_FILES, true},  {ERROR_BAD_NETPATH, true},    {ERROR_BAD_NET_NAME, true},
        {ERROR_BAD_PATHNAME, true},   {ERROR_FILENAME_EXCED_RANGE, true},
        {ERROR_ACCESS_DENIED, false}, {21 /* ERROR_NOT_READY */, false}, {ERROR_INVALID_PARAMETER, false},
        {ERROR_BAD_EXE_FORMAT, false}, {ERROR_SUCCESS, false},
    };
    for (Service service : {SPAWN, START}) {
        for (const auto &c : cases) {
            // The failure at the current directory and at the first "PATH" entry.
            for (const char *failing : {"C:\\WORK\\setup.exe", "C:\\A\\setup.exe"}) {
                SCOPED_TRACE(testing::Message() << ServiceName(service) << " error " << c.error << " at " << failing);
                HostReset();
                Build({{"C:\\B\\setup.exe"}, {}, {"C:\\A"}, {}});
                HostSetEnvironment("PATH", "C:\\A;C:\\B");
                HostSetPathError(failing, c.error);
                EXPECT_EQ(RunService(service, "setup.exe"), c.notFound ? 0 : -1);
                EXPECT_EQ(Started(), c.notFound ? "C:\\B\\setup.exe" : "");
            }
        }
    }
}

TEST_F(Launch, PathEntriesAreLimitedByLength)
{
    // A folder of the given length without a final separator.
    auto folder = [](size_t length) { return "C:\\" + std::string(length - 3, 'f'); };
    auto extended = [](const std::string &stem) {
        return std::vector<std::string>{stem + ".com", stem + ".exe", stem + ".bat", stem + ".cmd"};
    };
    auto join = [](std::vector<std::vector<std::string>> parts) {
        std::vector<std::string> all;
        for (const auto &part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const std::string e249 = folder(249), e250 = folder(250), e257 = folder(257), e258 = folder(258);
    const std::string e258sep = folder(257) + "\\";
    const std::vector<std::string> first = extended(".\\a");
    const std::vector<std::string> atB = {"C:\\B\\a.com", "C:\\B\\a.exe"};
    const struct {
        Service service;
        std::string path;
        const char *name;
        std::vector<std::string> probed;
        bool starts;
    } cases[] = {
        // 250 characters, a backslash and "setup.exe" make 260: the search ends.
        {START, e250 + ";C:\\B", "setup.exe", {".\\setup.exe"}, false},
        {SPAWN, e250 + ";C:\\B", "setup.exe", {".\\setup.exe"}, false},
        {START, e249 + ";C:\\B", "setup.exe", {".\\setup.exe", e249 + "\\setup.exe", "C:\\B\\setup.exe"}, true},
        {SPAWN, e249 + ";C:\\B", "setup.exe", {".\\setup.exe", e249 + "\\setup.exe", "C:\\B\\setup.exe"}, true},
        // SpawnAndWait: an entry that reaches 258 characters ends the search.
        {SPAWN, e257 + ";C:\\B", "a", join({first, extended(e257 + "\\a"), atB}), true},
        {SPAWN, e258 + ";C:\\B", "a", first, false},
        {SPAWN, e258sep + "XY;C:\\B", "a", first, false},
        {SPAWN, e258sep + ";C:\\B", "a", first, false},
        // StartAndExit cuts after 258 and reads on one character after the cut.
        {START, e258sep + "XY;C:\\B", "a", join({first, extended(e258sep + "a"), extended("Y\\a"), atB}), true},
        {START, e258sep + ";C:\\B", "a", join({first, extended(e258sep + "a"), atB}), true},
        {START, e258sep + "X", "a", join({first, extended(e258sep + "a")}), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << ServiceName(c.service) << " PATH of " << c.path.size() << " characters, "
                                        << c.path.substr(c.path.size() > 8 ? c.path.size() - 8 : 0));
        HostReset();
        Build({{"C:\\B\\setup.exe", "C:\\B\\a.exe"}, {}, {}, {}});
        HostSetEnvironment("PATH", c.path);
        EXPECT_EQ(RunService(c.service, c.name), c.starts ? 0 : -1);
        EXPECT_EQ(Probed(), c.probed);
        if (!c.starts || c.service == SPAWN)
            ExpectNothingHeld();
    }
}

TEST_F(Launch, CommandLineJoinsTheArgumentsWithSingleSpaces)
{
    const struct {
        std::vector<const char *> arguments;
        const char *commandLine;
    } cases[] = {
        {{"tervalon"}, "tervalon"},
        {{"C:\\WIN\\REMOVE.EXE ", "-aC:\\GAMES\\DEMO\\REMOVE.LOG ", "-bC:\\GAMES\\DEMO\\EXTRA.DLL"},
         "C:\\WIN\\REMOVE.EXE  -aC:\\GAMES\\DEMO\\REMOVE.LOG  -bC:\\GAMES\\DEMO\\EXTRA.DLL"},
        {{"x", ""}, "x"},
        {{"x", "a", ""}, "x a "},
        {{"x", "", ""}, "x  "},
        {{"x", "", "a"}, "x  a"},
        {{"", "a"}, ""},
        {{}, ""},
        {{"\"quoted name\"", "a b", "\"c\""}, "\"quoted name\" a b \"c\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "expected [" << c.commandLine << "]");
        HostReset();
        Build({{"C:\\WORK\\prog.exe"}, {}, {}, {}});
        EXPECT_EQ(SpawnWith("prog.exe", c.arguments), 0);
        ASSERT_EQ(HostStarted().size(), 1u);
        const HostStart start = HostStarted()[0];
        EXPECT_EQ(start.commandLine, c.commandLine);
        EXPECT_TRUE(start.commandLineInHeap);
        EXPECT_TRUE(start.inheritHandles);
        EXPECT_EQ(start.creationFlags, 0u);
        EXPECT_TRUE(start.securityNull);
        EXPECT_TRUE(start.environmentNull);
        EXPECT_TRUE(start.directoryNull);
        EXPECT_EQ(start.directory, "C:\\WORK");
        EXPECT_EQ(start.startupSize, sizeof(STARTUPINFOA));
        EXPECT_TRUE(start.startupOthersZero);
        ExpectNothingHeld();
    }
}

TEST_F(Launch, ChangeDirectoryKeepsThePerDriveVariable)
{
    const char *none = nullptr;
    const struct {
        const char *path;
        HostOp failing;
        int result;
        const char *current;
        const char *variable;  // the one variable set, or null
        const char *value;
        const char *reported = nullptr;  // how the system spells the directory, if not as made
    } cases[] = {
        {"C:\\GAMES\\DEMO", OP_COUNT, 0, "C:\\GAMES\\DEMO", "=C:", "C:\\GAMES\\DEMO"},
        // Named by the upper-case letter, valued as the system reports the directory.
        {"c:\\games\\demo", OP_COUNT, 0, "c:\\games\\demo", "=C:", "c:\\games\\demo"},
        {"..\\GAMES\\.\\DEMO\\", OP_COUNT, 0, "C:\\GAMES\\DEMO", "=C:", "C:\\GAMES\\DEMO"},
        {"d:\\", OP_COUNT, 0, "d:\\", "=D:", "d:\\"},
        // "D:" alone is that drive's current directory.
        {"D:", OP_COUNT, 0, "D:\\TOOLS", "=D:", "D:\\TOOLS"},
        {"\\\\srv\\share\\dir", OP_COUNT, 0, "\\\\srv\\share\\dir", none, none},
        {"//srv/share/dir", OP_COUNT, 0, "\\\\srv\\share\\dir", none, none},
        {"//srv/share/dir", OP_COUNT, 0, "\\\\srv\\share\\dir", none, none, "//srv/share/dir"},
        // A backslash and a "/" make no network path.
        {"//srv/share/dir", OP_COUNT, 0, "\\\\srv\\share\\dir", "=\\:", "\\/srv/share/dir", "\\/srv/share/dir"},
        {"C:\\GAMES\\DEMO", OP_COUNT, 0, "C:\\GAMES\\DEMO", "=C:", "c:/games/demo", "c:/games/demo"},
        {"C:\\MISSING", OP_COUNT, -1, "C:\\WORK", none, none},
        {"C:\\GAMES\\DEMO", OP_SetCurrentDirectoryA, -1, "C:\\WORK", none, none},
        // The directory has changed, but its variable is not brought up to date.
        {"C:\\GAMES\\DEMO", OP_GetCurrentDirectoryA, -1, "C:\\GAMES\\DEMO", none, none},
        {"C:\\GAMES\\DEMO", OP_SetEnvironmentVariableA, -1, "C:\\GAMES\\DEMO", none, none},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.path << " failing op " << c.failing);
        HostReset();
        Build({{}, {}, {"C:\\GAMES\\DEMO", "D:\\TOOLS", "\\\\srv\\share\\dir"}, {}});
        HostSetEnvironment("=D:", "D:\\TOOLS");
        HostClearCalls();
        if (c.failing != OP_COUNT)
            HostFail(c.failing, ERROR_ACCESS_DENIED);
        if (c.reported != nullptr)
            HostReportDirectory(c.reported);
        EXPECT_EQ(ChangeDirectory(c.path), c.result);
        EXPECT_EQ(HostCurrentDirectory(), c.current);
        std::vector<HostCall> sets = HostCallsOf(OP_SetEnvironmentVariableA);
        if (c.variable == nullptr) {
            EXPECT_TRUE(c.failing == OP_SetEnvironmentVariableA || sets.empty());
            std::string value;
            EXPECT_FALSE(HostGetEnvironment("=C:", &value));
        } else {
            ASSERT_EQ(sets.size(), 1u);
            EXPECT_EQ(sets[0].text, c.variable);
            std::string value;
            ASSERT_TRUE(HostGetEnvironment(c.variable, &value));
            EXPECT_EQ(value, c.value);
        }
        ExpectNothingHeld();
    }
}

TEST_F(Launch, StartedProgramsInheritTheDirectoryAndItsVariable)
{
    Build({{"C:\\GAMES\\DEMO\\prog.exe"}, {}, {}, {}});
    ASSERT_EQ(ChangeDirectory("c:\\games\\demo"), 0);
    EXPECT_EQ(SpawnAndWait(SPAWN_WAIT, "prog", "prog", ARGUMENTS_END), 0);
    ASSERT_EQ(HostStarted().size(), 1u);
    const HostStart start = HostStarted()[0];
    EXPECT_EQ(start.directory, "c:\\games\\demo");
    bool found = false;
    for (const HostEnvironmentEntry &entry : start.environment)
        found = found || (entry.name == "=C:" && entry.value == "c:\\games\\demo");
    EXPECT_TRUE(found);
}

// The expected table for three entries: count, flags, handle-sized handles.
std::vector<BYTE> Table(const BYTE flags[3], const uintptr_t handles[3])
{
    std::vector<BYTE> bytes = {3, 0, 0, 0, flags[0], flags[1], flags[2]};
    for (int i = 0; i < 3; i++) {
        for (size_t b = 0; b < HANDLE_ENTRY_SIZE; b++)
            bytes.push_back((BYTE)(handles[i] >> (8 * b)));
    }
    return bytes;
}

TEST_F(Launch, StandardHandlesTravelInTheStartupRecord)
{
    const uintptr_t none = (uintptr_t)-1;
    const struct {
        const char *what;
        bool hasHandle;
        HANDLE handle;
        DWORD type;
        BYTE flag;
        bool passed;
    } cases[] = {
        {"no handle", false, nullptr, FILE_TYPE_UNKNOWN, 0xC1, false},
        {"invalid handle", false, INVALID_HANDLE_VALUE, FILE_TYPE_UNKNOWN, 0xC1, false},
        {"handle of unknown type", true, nullptr, FILE_TYPE_UNKNOWN, 0xC1, false},
        {"disk file", true, nullptr, FILE_TYPE_DISK, 0x81, true},
        {"character device", true, nullptr, FILE_TYPE_CHAR, 0xC1, true},
        {"pipe", true, nullptr, FILE_TYPE_PIPE, 0x89, true},
        {"remote disk file", true, nullptr, 0x8000 | FILE_TYPE_DISK, 0x81, true},
    };
    const DWORD streams[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        HostReset();
        Build({{"C:\\WORK\\prog.exe"}, {}, {}, {}});
        BYTE flags[3];
        uintptr_t handles[3];
        for (int i = 0; i < 3; i++) {
            // Handles above 32 bits show that the 64-bit entries are whole.
            HANDLE handle = c.hasHandle ? (HANDLE)(uintptr_t)(0x1234567800000010ull + 4 * i) : c.handle;
            HostSetStdHandle(streams[i], handle, c.type);
            flags[i] = c.flag;
            handles[i] = c.passed ? (uintptr_t)handle : none;
        }
        EXPECT_EQ(SpawnAndWait(SPAWN_WAIT, "prog", "prog", ARGUMENTS_END), 0);
        ASSERT_EQ(HostStarted().size(), 1u);
        EXPECT_EQ(HostStarted()[0].reserved2, Table(flags, handles));
        EXPECT_EQ(HostStarted()[0].reserved2.size(), HANDLE_ENTRY_SIZE == 4 ? 19u : 31u);
        ExpectNothingHeld();
    }
}

TEST_F(Launch, MixedStandardHandles)
{
    Build({{"C:\\WORK\\prog.exe"}, {}, {}, {}});
    HostSetStdHandle(STD_INPUT_HANDLE, nullptr, FILE_TYPE_UNKNOWN);
    HostSetStdHandle(STD_OUTPUT_HANDLE, (HANDLE)(uintptr_t)0x1234, FILE_TYPE_PIPE);
    HostSetStdHandle(STD_ERROR_HANDLE, (HANDLE)(uintptr_t)0x5678, FILE_TYPE_CHAR);
    EXPECT_EQ(SpawnAndWait(SPAWN_WAIT, "prog", "prog", ARGUMENTS_END), 0);
    const BYTE flags[3] = {0xC1, 0x89, 0xC1};
    const uintptr_t handles[3] = {(uintptr_t)-1, 0x1234, 0x5678};
    ASSERT_EQ(HostStarted().size(), 1u);
    EXPECT_EQ(HostStarted()[0].reserved2, Table(flags, handles));
}

TEST_F(Launch, ATableOfMoreThanThreeEntriesIsPassedOn)
{
    std::vector<BYTE> five = {5, 0, 0, 0, 0xC1, 0x89, 0xC1, 0x01, 0x09};
    for (int i = 0; i < 5; i++) {
        for (size_t b = 0; b < HANDLE_ENTRY_SIZE; b++)
            five.push_back((BYTE)(i * 16 + b));
    }
    std::vector<BYTE> three = five;
    three[0] = 3;
    const struct {
        const char *what;
        std::vector<BYTE> inherited;
        bool passedOn;
    } cases[] = {
        {"five entries", five, true},
        {"three entries", three, false},
        {"too short for a count", {9, 0}, false},
        {"a negative count", {0xFF, 0xFF, 0xFF, 0xFF}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        HostReset();
        Build({{"C:\\WORK\\prog.exe"}, {}, {}, {}});
        HostSetInheritedTable(c.inherited);
        EXPECT_EQ(SpawnAndWait(SPAWN_WAIT, "prog", "prog", ARGUMENTS_END), 0);
        ASSERT_EQ(HostStarted().size(), 1u);
        const HostStart start = HostStarted()[0];
        if (c.passedOn) {
            EXPECT_EQ(start.reserved2Pointer, HostInheritedTable());
            EXPECT_EQ(start.reserved2, c.inherited);
        } else {
            const BYTE flags[3] = {0xC1, 0xC1, 0xC1};
            const uintptr_t handles[3] = {(uintptr_t)-1, (uintptr_t)-1, (uintptr_t)-1};
            EXPECT_NE(start.reserved2Pointer, HostInheritedTable());
            EXPECT_EQ(start.reserved2, Table(flags, handles));
        }
        ExpectNothingHeld();
    }
}

TEST_F(Launch, SpawnAndWaitReturnsTheExitCodeAndClosesBothHandles)
{
    const struct {
        DWORD exitCode;
        int result;
    } cases[] = {{3, 3}, {0, 0}, {0xFFFFFFFFu, -1}, {0x80000000u, INT32_MIN}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "exit code " << c.exitCode);
        HostReset();
        Build({});
        HostAddProgram("C:\\WORK\\prog.exe", HostProgram{c.exitCode, 0, 0, {}});
        EXPECT_EQ(SpawnAndWait(SPAWN_WAIT, "prog", "prog", ARGUMENTS_END), c.result);
        std::vector<HostCall> creates = HostCallsOf(OP_CreateProcessA);
        std::vector<HostCall> waits = HostCallsOf(OP_WaitForSingleObject);
        std::vector<HostCall> closes = HostCallsOf(OP_CloseHandle);
        ASSERT_EQ(creates.size(), 1u);
        ASSERT_EQ(waits.size(), 1u);
        EXPECT_EQ(waits[0].handle, creates[0].other);
        EXPECT_EQ((DWORD)waits[0].values[0], INFINITE);
        // The process first, then its thread.
        ASSERT_EQ(closes.size(), 2u);
        EXPECT_EQ(closes[0].handle, creates[0].other);
        ExpectNothingHeld();
    }
}

TEST_F(Launch, SpawnAndWaitKnowsOnlyTheWaitMode)
{
    Build({{"C:\\WORK\\prog.exe"}, {}, {}, {}});
    EXPECT_EQ(SpawnAndWait(1, "prog", "prog", ARGUMENTS_END), -1);
    EXPECT_TRUE(HostCalls().empty());
}

TEST_F(Launch, StartAndExitEndsTheLauncherWithCodeZero)
{
    Build({});
    HostAddProgram("C:\\WORK\\setup.exe", HostProgram{9, 0, 0, {}});
    int result = 1234;
    HostExit exit = HostRunUntilExit([&] { result = StartAndExit("setup.exe", "setup.exe", ARGUMENTS_END); });
    EXPECT_TRUE(exit.exited);
    EXPECT_EQ(exit.code, 0u);
    EXPECT_EQ(result, 1234);
    EXPECT_EQ(Started(), ".\\setup.exe");
    // Nothing is waited for or closed on the way out.
    EXPECT_TRUE(HostCallsOf(OP_WaitForSingleObject).empty());
    EXPECT_TRUE(HostCallsOf(OP_CloseHandle).empty());
    ASSERT_EQ(HostCallsOf(OP_ExitProcess).size(), 1u);
    EXPECT_EQ(HostCalls().back().op, OP_ExitProcess);

    HostReset();
    Build({});
    exit = HostRunUntilExit([&] { result = StartAndExit("setup.exe", "setup.exe", ARGUMENTS_END); });
    EXPECT_FALSE(exit.exited);
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(HostCallsOf(OP_ExitProcess).empty());
    ExpectNothingHeld();
}

TEST_F(Launch, ElevationGoesThroughTheShell)
{
    const struct {
        Service service;
        DWORD createError;
        DWORD shellError;
        int result;        // SpawnAndWait's result; StartAndExit: 0 when it ended the launcher
        bool shellAsked;
    } cases[] = {
        {SPAWN, ERROR_ELEVATION_REQUIRED, 0, 7, true},
        {START, ERROR_ELEVATION_REQUIRED, 0, 0, true},
        // A declined consent is a failed start, and the search ends there.
        {SPAWN, ERROR_ELEVATION_REQUIRED, ERROR_CANCELLED, -1, true},
        {START, ERROR_ELEVATION_REQUIRED, ERROR_CANCELLED, -1, true},
        {SPAWN, ERROR_ACCESS_DENIED, 0, -1, false},
        {START, ERROR_BAD_EXE_FORMAT, 0, -1, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << ServiceName(c.service) << " create error " << c.createError
                                        << " shell error " << c.shellError);
        HostReset();
        Build({{"C:\\B\\setup.exe"}, {}, {}, {}});
        HostAddProgram("C:\\WORK\\setup.exe", HostProgram{7, c.createError, c.shellError, {}});
        HostSetEnvironment("PATH", "C:\\B");
        int result = 1234;
        if (c.service == SPAWN) {
            result = SpawnAndWait(SPAWN_WAIT, "setup.exe", "setup.exe", "/quiet ", "", "x", ARGUMENTS_END);
        } else {
            HostExit exit = HostRunUntilExit(
                [&] { result = StartAndExit("setup.exe", "setup.exe", "/quiet ", "", "x", ARGUMENTS_END); });
            if (exit.exited)
                result = exit.code == 0 ? 0 : 5678;
        }
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Probed(), std::vector<std::string>{".\\setup.exe"});
        const std::vector<HostStart> &starts = HostStarts();
        ASSERT_EQ(starts.size(), c.shellAsked ? 2u : 1u);
        EXPECT_FALSE(starts[0].viaShell);
        if (c.shellAsked) {
            const HostStart &shell = starts[1];
            EXPECT_TRUE(shell.viaShell);
            EXPECT_EQ(shell.application, ".\\setup.exe");
            EXPECT_EQ(shell.commandLine, "/quiet   x");
            EXPECT_EQ(shell.directory, "C:\\WORK");
            EXPECT_FALSE(shell.directoryNull);
            EXPECT_EQ(shell.shellMask, SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI);
            EXPECT_EQ(shell.startupSize, sizeof(SHELLEXECUTEINFOA));
            EXPECT_EQ(shell.shellShow, SW_SHOWNORMAL);
            if (c.service == SPAWN && c.shellError == 0) {
                std::vector<HostCall> waits = HostCallsOf(OP_WaitForSingleObject);
                std::vector<HostCall> closes = HostCallsOf(OP_CloseHandle);
                ASSERT_EQ(waits.size(), 1u);
                ASSERT_EQ(closes.size(), 1u);
                EXPECT_EQ(waits[0].handle, HostCallsOf(OP_ShellExecuteExA)[0].other);
                EXPECT_EQ(closes[0].handle, waits[0].handle);
            }
        }
        if (c.service == SPAWN || c.result != 0)
            ExpectNothingHeld();
    }
}

TEST_F(Launch, ElevatedStartWithoutParameters)
{
    Build({});
    HostAddProgram("C:\\WORK\\setup.exe", HostProgram{0, ERROR_ELEVATION_REQUIRED, 0, {}});
    HostExit exit = HostRunUntilExit([] { StartAndExit("setup.exe", "setup.exe", ARGUMENTS_END); });
    EXPECT_TRUE(exit.exited);
    EXPECT_EQ(exit.code, 0u);
    ASSERT_EQ(HostStarted().size(), 1u);
    EXPECT_TRUE(HostStarted()[0].viaShell);
    EXPECT_EQ(HostStarted()[0].commandLine, "");
}

TEST_F(Launch, EveryFailedAllocationFailsTheStartAndLeavesNothing)
{
    // A search that needs every kind of working copy: "PATH", the candidate
    // buffer, the names, the command line and the handle table.
    auto world = [] {
        HostReset();
        Build({{"C:\\B\\setup.exe"}, {}, {"C:\\A"}, {}});
        HostSetEnvironment("PATH", "C:\\A;C:\\B");
    };
    world();
    ASSERT_EQ(SpawnAndWait(SPAWN_WAIT, "setup.exe", "setup.exe", "-a", ARGUMENTS_END), 0);
    size_t allocations = HostCallsOf(OP_HeapAlloc).size();
    ASSERT_GE(allocations, 5u);
    for (Service service : {SPAWN, START}) {
        for (size_t allowed = 0; allowed < allocations; allowed++) {
            SCOPED_TRACE(testing::Message() << ServiceName(service) << " with " << allowed << " allocations");
            world();
            HostFailHeapAfter((int)allowed);
            EXPECT_EQ(RunService(service, "setup.exe"), -1);
            EXPECT_TRUE(HostStarted().empty());
            ExpectNothingHeld();
        }
    }
}

}  // namespace
