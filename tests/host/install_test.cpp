#include "install/install.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "substitute/substitute.h"

static const char *const KeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tervalon";
static const char *const WorkedExample = "C:\\WIN\\REMOVE.EXE -aC:\\GAMES\\DEMO\\REMOVE.LOG -bC:\\GAMES\\DEMO\\EXTRA.DLL";

static void ClearRecord()
{
    memset(&UninstallCommand, 0, sizeof UninstallCommand);
    memset(InstallDir, 0, sizeof InstallDir);
}

static void ExpectPieces(const char *program, const char *first, const char *second, const char *folder)
{
    EXPECT_STREQ(UninstallCommand.Program, program);
    EXPECT_STREQ(UninstallCommand.FirstOption, first);
    EXPECT_STREQ(UninstallCommand.SecondOption, second);
    EXPECT_STREQ(InstallDir, folder);
}

class InstallRecord : public testing::Test {
protected:
    void SetUp() override
    {
        HostReset();
        ClearRecord();
    }

    void TearDown() override
    {
        HostBalance live = HostLiveObjects();
        EXPECT_EQ(live.keys, 0) << "a registry key was left open";
        EXPECT_EQ(live.misuses, 0);
    }
};

TEST_F(InstallRecord, StatesFromTheRegistry)
{
    const std::string longest(256, 'x');
    const struct {
        const char *name;
        bool key;
        REGSAM granted;
        bool value;
        DWORD type;
        std::vector<BYTE> data;
        InstallState state;
        std::string text;
    } cases[] = {
        {"key absent", false, KEY_ALL_ACCESS, false, REG_SZ, {}, INSTALL_NONE, ""},
        {"value absent", true, KEY_ALL_ACCESS, false, REG_SZ, {}, INSTALL_NO_COMMAND, ""},
        {"string", true, KEY_ALL_ACCESS, true, REG_SZ, {'a', '-', 'b', 0}, INSTALL_FOUND, "a-b"},
        {"read-only rights", true, KEY_READ, true, REG_SZ, {'r', 0}, INSTALL_FOUND, "r"},
        {"query right alone", true, KEY_QUERY_VALUE, true, REG_SZ, {'q', 0}, INSTALL_FOUND, "q"},
        {"no query right", true, KEY_SET_VALUE, true, REG_SZ, {'q', 0}, INSTALL_NONE, ""},
        {"expandable, not expanded", true, KEY_ALL_ACCESS, true, REG_EXPAND_SZ,
         {'%', 'P', '%', '\\', 'x', 0}, INSTALL_FOUND, "%P%\\x"},
        {"binary, up to its first zero", true, KEY_ALL_ACCESS, true, REG_BINARY, {'b', 'i', 0, 'n'}, INSTALL_FOUND, "bi"},
        {"no data at all", true, KEY_ALL_ACCESS, true, REG_SZ, {}, INSTALL_FOUND, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        HostReset();
        ClearRecord();
        strcpy(UninstallCommand.Text, "stale");
        if (c.key)
            HostRegCreateKey(KeyPath, c.granted);
        if (c.value)
            HostRegSetValue(KeyPath, "UninstallString", c.type, c.data);
        EXPECT_EQ(QueryInstallState(), c.state);
        if (c.state == INSTALL_FOUND)
            EXPECT_EQ(std::string(UninstallCommand.Text), c.text);
        if (c.state == INSTALL_NONE)
            EXPECT_STREQ(UninstallCommand.Text, "stale") << "the text is left alone when the key does not open";
        EXPECT_EQ(HostLiveObjects().keys, 0);
        EXPECT_EQ(HostCallsOf(OP_RegCloseKey).size(), HostCallsOf(OP_RegOpenKeyExA).front().result == 0 ? 1u : 0u);
    }
}

TEST_F(InstallRecord, OpensForReadingOnlyAndOffers257Bytes)
{
    HostRegCreateKey(KeyPath, KEY_READ);
    HostRegSetString(KeyPath, "UninstallString", WorkedExample);
    ASSERT_EQ(QueryInstallState(), INSTALL_FOUND);
    std::vector<HostCall> opens = HostCallsOf(OP_RegOpenKeyExA);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].handle, (uintptr_t)HKEY_LOCAL_MACHINE);
    EXPECT_EQ(opens[0].text, UNINSTALL_KEY_PATH);
    EXPECT_EQ(opens[0].values[0], 0) << "options";
    EXPECT_EQ((REGSAM)opens[0].values[1], (REGSAM)KEY_QUERY_VALUE) << "read access only, in the default view";
    std::vector<HostCall> reads = HostCallsOf(OP_RegQueryValueExA);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].handle, opens[0].other);
    EXPECT_EQ(reads[0].text, "UninstallString");
    EXPECT_EQ(reads[0].values[0], 257);
    std::vector<HostCall> closes = HostCallsOf(OP_RegCloseKey);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].handle, opens[0].other);
}

TEST_F(InstallRecord, TextOf256CharactersFitsAnd257DoNot)
{
    HostRegCreateKey(KeyPath);
    HostRegSetString(KeyPath, "UninstallString", std::string(256, 'y'));
    EXPECT_EQ(QueryInstallState(), INSTALL_FOUND);
    EXPECT_EQ(strlen(UninstallCommand.Text), 256u);
    HostRegSetString(KeyPath, "UninstallString", std::string(257, 'z'));
    EXPECT_EQ(QueryInstallState(), INSTALL_NO_COMMAND);
    // Each read is offered the full 257 bytes again.
    for (const HostCall &read : HostCallsOf(OP_RegQueryValueExA))
        EXPECT_EQ(read.values[0], 257);
}

TEST_F(InstallRecord, PiecesOutliveLaterFailures)
{
    HostRegCreateKey(KeyPath);
    HostRegSetString(KeyPath, "UninstallString", WorkedExample);
    ASSERT_EQ(QueryInstallState(), INSTALL_FOUND);
    HostRegDeleteValue(KeyPath, "UninstallString");
    EXPECT_EQ(QueryInstallState(), INSTALL_NO_COMMAND);
    ExpectPieces("C:\\WIN\\REMOVE.EXE ", "-aC:\\GAMES\\DEMO\\REMOVE.LOG ", "-bC:\\GAMES\\DEMO\\EXTRA.DLL", "C:\\GAMES\\DEMO\\");
    HostRegDeleteKey(KeyPath);
    EXPECT_EQ(QueryInstallState(), INSTALL_NONE);
    ExpectPieces("C:\\WIN\\REMOVE.EXE ", "-aC:\\GAMES\\DEMO\\REMOVE.LOG ", "-bC:\\GAMES\\DEMO\\EXTRA.DLL", "C:\\GAMES\\DEMO\\");
}

TEST_F(InstallRecord, FailingReadOrCloseStillClosesOrIgnores)
{
    HostRegCreateKey(KeyPath);
    HostRegSetString(KeyPath, "UninstallString", WorkedExample);
    HostFail(OP_RegQueryValueExA, ERROR_ACCESS_DENIED);
    EXPECT_EQ(QueryInstallState(), INSTALL_NO_COMMAND);
    EXPECT_EQ(HostCallsOf(OP_RegCloseKey).size(), 1u);
    HostHeal(OP_RegQueryValueExA);
    HostFail(OP_RegOpenKeyExA, ERROR_ACCESS_DENIED);
    EXPECT_EQ(QueryInstallState(), INSTALL_NONE);
    EXPECT_EQ(HostCallsOf(OP_RegCloseKey).size(), 1u) << "a key that did not open is not closed";
}

TEST_F(InstallRecord, ManyRefreshesLeaveNoKeyOpen)
{
    HostRegCreateKey(KeyPath);
    for (int i = 0; i < 1000; i++) {
        if (i % 3 == 0)
            HostRegSetString(KeyPath, "UninstallString", WorkedExample);
        if (i % 3 == 1)
            HostRegDeleteValue(KeyPath, "UninstallString");
        QueryInstallState();
    }
    EXPECT_EQ(HostCallsOf(OP_RegOpenKeyExA).size(), 1000u);
    EXPECT_EQ(HostCallsOf(OP_RegCloseKey).size(), 1000u);
}

TEST(UninstallParse, PiecesAndFolder)
{
    const struct {
        const char *text;
        const char *program;
        const char *first;
        const char *second;
        const char *folder;
    } cases[] = {
        {WorkedExample, "C:\\WIN\\REMOVE.EXE ", "-aC:\\GAMES\\DEMO\\REMOVE.LOG ", "-bC:\\GAMES\\DEMO\\EXTRA.DLL",
         "C:\\GAMES\\DEMO\\"},
        {"\"C:\\WIN\\REMOVE.EXE\" -a\"C:\\GAMES\\DEMO\\REMOVE.LOG\" -b\"C:\\X.DLL\"", "\"C:\\WIN\\REMOVE.EXE\" ",
         "-a\"C:\\GAMES\\DEMO\\REMOVE.LOG\" ", "-b\"C:\\X.DLL\"", "C:\\GAMES\\DEMO\\"},
        {"C:\\WIN\\REMOVE.EXE -aC:\\G\\R.LOG -bX -cY", "C:\\WIN\\REMOVE.EXE ", "-aC:\\G\\R.LOG ", "-bX -cY", "C:\\G\\"},
        {"C:\\WIN\\REMOVE.EXE -aC:\\MY-GAMES\\DEMO\\R.LOG -bX", "C:\\WIN\\REMOVE.EXE ", "-aC:\\MY",
         "-GAMES\\DEMO\\R.LOG -bX", "C:\\"},
        // The first option then holds no ":" and names no folder.
        {"C:\\MY-APPS\\REMOVE.EXE -aC:\\G\\R.LOG -bX", "C:\\MY", "-APPS\\REMOVE.EXE ", "-aC:\\G\\R.LOG -bX", ""},
        {"-aC:\\G\\R.LOG -bX", "", "-aC:\\G\\R.LOG ", "-bX", "C:\\G\\"},
        {"R.EXE -aC:\\G\\R.LOG -", "R.EXE ", "-aC:\\G\\R.LOG ", "-", "C:\\G\\"},
        {"R.EXE -:\\GAMES\\DEMO\\R.LOG -b", "R.EXE ", "-:\\GAMES\\DEMO\\R.LOG ", "-b", "-:\\GAMES\\DEMO\\"},
        {"R.EXE -aC:R.LOG -b", "R.EXE ", "-aC:R.LOG ", "-b", "C"},
        {"R.EXE -a\\\\server\\share\\R.LOG -b", "R.EXE ", "-a\\\\server\\share\\R.LOG ", "-b", ""},
        // Fewer than two "-": the missing pieces are empty.
        {"C:\\WIN\\REMOVE.EXE", "C:\\WIN\\REMOVE.EXE", "", "", ""},
        {"C:\\WIN\\REMOVE.EXE -aC:\\G\\R.LOG", "C:\\WIN\\REMOVE.EXE ", "-aC:\\G\\R.LOG", "", "C:\\G\\"},
        {"", "", "", "", ""},
        {"-", "", "-", "", ""},
        {"--", "", "-", "-", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        ClearRecord();
        strcpy(InstallDir, "previous");
        strcpy(UninstallCommand.Text, c.text);
        ParseUninstallCommand();
        ExpectPieces(c.program, c.first, c.second, c.folder);
    }
}

TEST(UninstallParse, PiecesOfAFull257ByteTextAreCutToTheirStorage)
{
    const struct {
        const char *name;
        std::string text;
        size_t program, first, second, folder;
    } cases[] = {
        {"program only", std::string(257, 'p'), 255, 0, 0, 0},
        {"first option", "-" + std::string(256, 'f'), 0, 255, 0, 0},
        {"second option", "--" + std::string(255, 's'), 0, 1, 255, 0},
        {"folder", "-C:" + std::string(254, '\\'), 0, 255, 0, 254},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        HostReset();
        ClearRecord();
        HostRegCreateKey(KeyPath);
        // Binary data with no zero byte fills all 257 bytes offered.
        HostRegSetValue(KeyPath, "UninstallString", REG_BINARY, std::vector<BYTE>(c.text.begin(), c.text.end()));
        ASSERT_EQ(QueryInstallState(), INSTALL_FOUND);
        EXPECT_EQ(strlen(UninstallCommand.Text), 257u);
        EXPECT_EQ(strlen(UninstallCommand.Program), c.program);
        EXPECT_EQ(strlen(UninstallCommand.FirstOption), c.first);
        EXPECT_EQ(strlen(UninstallCommand.SecondOption), c.second);
        EXPECT_EQ(strlen(InstallDir), c.folder);
        std::string joined = std::string(UninstallCommand.Program) + UninstallCommand.FirstOption + UninstallCommand.SecondOption;
        EXPECT_EQ(joined, c.text.substr(0, joined.size())) << "pieces are cut, never shifted";
    }
}
