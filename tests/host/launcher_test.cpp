#include "launcher/launcher.h"

#include <gtest/gtest.h>
#include <string.h>

#include "substitute/substitute.h"

TEST(Language, EveryIdentifierPicksItsFolder)
{
    const struct {
        LANGID id;
        const char *folder;
    } cases[] = {
        {0x0407, "German"},  {0x0807, "German"},     {0x0C0A, "Spanish"},  {0x040A, "LA Spanish"},
        {0x080A, "LA Spanish"}, {0x100A, "LA Spanish"}, {0x040C, "French"}, {0x080C, "French"},
        {0x0410, "Italian"}, {0x0810, "Italian"},    {0x0413, "Dutch"},    {0x0813, "Dutch"},
        {0x0416, "Brazilian Portuguese"}, {0x0816, "Brazilian Portuguese"}, {0x041D, "Swedish"},
        {0x081D, "Swedish"}, {0x0409, "English"},    {0x0809, "English"},  {0x0411, "English"},
        {0x0419, "English"}, {0x0000, "English"},    {0xFFFF, "English"},  {0x0407 | 0xFC00, "German"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "language 0x" << std::hex << c.id);
        HostReset();
        HostSetLanguage(c.id);
        CurrentLanguage = -1;
        SelectLanguage();
        ASSERT_GE(CurrentLanguage, 0);
        ASSERT_LT(CurrentLanguage, LANGUAGE_COUNT);
        EXPECT_STREQ(InstallFolderNames[CurrentLanguage], c.folder);
        EXPECT_NE(CurrentLanguage, 6);
    }
}

TEST(Language, TableHasTheTenFoldersInOrder)
{
    const char *expected[LANGUAGE_COUNT] = {"Brazilian Portuguese", "Dutch", "English", "French", "German",
                                            "Italian", "Japanese", "LA Spanish", "Spanish", "Swedish"};
    for (int i = 0; i < LANGUAGE_COUNT; i++)
        EXPECT_STREQ(InstallFolderNames[i], expected[i]) << "row " << i;
}

static const HINSTANCE TestInstance = (HINSTANCE)(uintptr_t)0x400000;

TEST(Startup, LauncherDirIsTheFolderOfTheModule)
{
    const struct {
        int codePage;
        std::string module;
        std::string folder;
    } cases[] = {
        {1252, "D:\\GAMES\\DISC\\autorun.exe", "D:\\GAMES\\DISC"},
        {1252, "D:\\autorun.exe", "D:"},
        {1252, "D:\\disc/sub\\x/autorun.exe", "D:\\disc/sub\\x"},
        {1252, "D:/disc\\autorun.exe", "D:/disc"},
        {1252, "\\\\server\\share\\autorun.exe", "\\\\server\\share"},
        {1252, "autorun.exe", ""},
        {1252, "", ""},
        // 0x95 0x5C is one character in code page 932; its trail byte is no separator.
        {932, "D:\\\x95\\\\autorun.exe", "D:\\\x95\\"},
        {932, "D:\\\x95\\autorun.exe", "D:"},
        {932, "D:\\x\x95\\", "D:"},
        // The same bytes in code page 1252 are two characters, and the second cuts.
        {1252, "D:\\\x95\\autorun.exe", "D:\\\x95"},
        {1252, "D:\\x\x95\\", "D:\\x\x95"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "code page " << c.codePage << ", module \"" << c.module << "\"");
        HostReset();
        HostSetCodePage(c.codePage);
        HostSetModulePath(c.module);
        memset(LauncherDir, 0, sizeof LauncherDir);
        EXPECT_EQ(WinMain(TestInstance, nullptr, (LPSTR) "ignored", 5), 0);
        EXPECT_EQ(std::string(LauncherDir), c.folder);
        EXPECT_EQ(AppInstance, TestInstance);
    }
}

TEST(Startup, ModulePathOfMaximumLengthStaysInsideLauncherDir)
{
    HostReset();
    HostSetModulePath("C:" + std::string(300, 'a'));
    memset(LauncherDir, 0x7F, sizeof LauncherDir);
    WinMain(TestInstance, nullptr, nullptr, 0);
    // No separator in what fits, so nothing is left of it, and the walk stayed within the buffer.
    EXPECT_STREQ(LauncherDir, "");
    HostSetModulePath("C:\\" + std::string(300, 'a'));
    memset(LauncherDir, 0x7F, sizeof LauncherDir);
    WinMain(TestInstance, nullptr, nullptr, 0);
    EXPECT_STREQ(LauncherDir, "C:");
}

TEST(Startup, FailingModuleQueryLeavesLauncherDirEmpty)
{
    HostReset();
    HostFail(OP_GetModuleFileNameA, ERROR_INVALID_HANDLE);
    LauncherDir[0] = '\0';
    EXPECT_EQ(WinMain(TestInstance, nullptr, nullptr, 0), 0);
    EXPECT_STREQ(LauncherDir, "");
}

TEST(Startup, RunsTheMenuDialogAfterSettingEveryGlobal)
{
    HostReset();
    HostSetModulePath("E:\\autorun.exe");
    HostSetLanguage(0x0C0A);
    EXPECT_EQ(WinMain(TestInstance, nullptr, nullptr, 0), 0);
    std::vector<HostCall> dialogs = HostCallsOf(OP_DialogBoxParamA);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].handle, (uintptr_t)TestInstance);
    EXPECT_EQ(dialogs[0].text, "DLG_MASTER");
    EXPECT_EQ(dialogs[0].other, 0u) << "the menu has no owner window";
    EXPECT_EQ(dialogs[0].values[0], 0) << "initialisation value";
    EXPECT_EQ(CurrentLanguage, 8);

    // Everything the dialog needs is in place before it is created.
    const std::vector<HostCall> &calls = HostCalls();
    size_t module = 0, language = 0, dialog = 0;
    for (size_t i = 0; i < calls.size(); i++) {
        if (calls[i].op == OP_GetModuleFileNameA) module = i;
        if (calls[i].op == OP_GetUserDefaultLangID) language = i;
        if (calls[i].op == OP_DialogBoxParamA) dialog = i;
    }
    EXPECT_LT(module, language);
    EXPECT_LT(language, dialog);
    std::vector<HostCall> modules = HostCallsOf(OP_GetModuleFileNameA);
    ASSERT_EQ(modules.size(), 1u);
    EXPECT_EQ(modules[0].handle, (uintptr_t)TestInstance);
    EXPECT_EQ(modules[0].values[0], MAX_PATH);
}

TEST(Startup, ReturnsZeroWhateverTheDialogGives)
{
    HostReset();
    HostFail(OP_DialogBoxParamA, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WinMain(TestInstance, nullptr, nullptr, 0), 0);
}
