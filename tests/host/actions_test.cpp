#include "actions/actions.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "install/install.h"
#include "launcher/launcher.h"
#include "menu/menu.h"
#include "launch_balance.h"
#include "substitute/substitute.h"

namespace {

const char *const COMMAND = "C:\\WIN\\REMOVE.EXE -aC:\\GAMES\\DEMO\\REMOVE.LOG -bC:\\GAMES\\DEMO\\EXTRA.DLL";

std::vector<std::string> DirectoryChanges()
{
    std::vector<std::string> texts;
    for (const HostCall &call : HostCallsOf(OP_SetCurrentDirectoryA))
        texts.push_back(call.text);
    return texts;
}

std::vector<int> DrawnPictures()
{
    std::vector<int> ids;
    for (const HostDraw &draw : HostDraws())
        ids.push_back(draw.bitmapId);
    return ids;
}

// Position of the first recorded call of op, or -1.
int FirstCall(HostOp op)
{
    const std::vector<HostCall> &calls = HostCalls();
    for (size_t i = 0; i < calls.size(); i++) {
        if (calls[i].op == op)
            return (int)i;
    }
    return -1;
}

int LastCall(HostOp op)
{
    const std::vector<HostCall> &calls = HostCalls();
    for (size_t i = calls.size(); i > 0; i--) {
        if (calls[i - 1].op == op)
            return (int)i - 1;
    }
    return -1;
}

HostExit Press(int slot)
{
    return HostRunUntilExit([slot] { RunMenuAction(HostWindow(), slot); });
}

// The module the substitute's bitmaps are loaded from.
const HINSTANCE MODULE_INSTANCE = (HINSTANCE)(uintptr_t)0x400000;

const std::vector<int> INSTALLED_REPAINT = {110, 120, 126, 118, 123};
const std::vector<int> REMOVED_REPAINT = {110, 120, 126, 117, 124};

// The product installed in C:\GAMES\DEMO\, the disc in D:\DISC, the
// launcher started in C:\WORK.
class Actions : public testing::Test {
protected:
    void SetUp() override
    {
        HostReset();
        AppInstance = MODULE_INSTANCE;
        HostRegSetString(UNINSTALL_KEY_PATH, UNINSTALL_VALUE_NAME, COMMAND);
        ASSERT_EQ(QueryInstallState(), INSTALL_FOUND);
        ASSERT_STREQ(InstallDir, "C:\\GAMES\\DEMO\\");
        strcpy(LauncherDir, "D:\\DISC");
        CurrentLanguage = 2;
        HostAddFolder("C:\\WORK");
        HostAddFolder("D:\\DISC");
        HostSetCurrentDirectory("C:\\WORK");
        HostClearCalls();
    }
};

TEST_F(Actions, PlayStartsTheProductInTheInstallFolderAndEnds)
{
    HostAddProgram("C:\\GAMES\\DEMO\\tervalon.exe");
    HostExit exit = Press(SLOT_PLAY);
    EXPECT_TRUE(exit.exited);
    EXPECT_EQ(exit.code, 0u);
    EXPECT_EQ(DirectoryChanges(), std::vector<std::string>{"C:\\GAMES\\DEMO\\"});
    ASSERT_EQ(HostStarted().size(), 1u);
    HostStart start = HostStarted()[0];
    EXPECT_EQ(start.application, ".\\tervalon.exe");
    EXPECT_EQ(start.commandLine, "tervalon");
    EXPECT_EQ(start.directory, "C:\\GAMES\\DEMO");
    EXPECT_TRUE(DrawnPictures().empty());
}

TEST_F(Actions, PlayThatCannotStartGoesBackWithoutARepaint)
{
    const struct {
        const char *what;
        bool folder;
    } cases[] = {{"file missing", true}, {"folder removed", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        if (c.folder)
            HostAddFolder("C:\\GAMES\\DEMO");
        HostExit exit = Press(SLOT_PLAY);
        EXPECT_FALSE(exit.exited);
        EXPECT_EQ(DirectoryChanges(), (std::vector<std::string>{"C:\\GAMES\\DEMO\\", "D:\\DISC"}));
        EXPECT_EQ(HostCurrentDirectory(), "D:\\DISC");
        EXPECT_TRUE(HostStarted().empty());
        EXPECT_TRUE(DrawnPictures().empty());
        ExpectNothingHeld();
    }
}

TEST_F(Actions, InstallStartsSetupInTheLanguageFolder)
{
    const struct {
        int language;
        const char *launcherDir;
        const char *folder;
    } cases[] = {
        {2, "D:\\DISC", "D:\\DISC\\English"},
        {0, "D:\\DISC", "D:\\DISC\\Brazilian Portuguese"},
        {7, "D:", "D:\\LA Spanish"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.folder);
        SetUp();
        strcpy(LauncherDir, c.launcherDir);
        CurrentLanguage = c.language;
        HostAddProgram(std::string(c.folder) + "\\setup.exe");
        HostExit exit = Press(SLOT_INSTALL);
        EXPECT_TRUE(exit.exited);
        EXPECT_EQ(exit.code, 0u);
        EXPECT_EQ(DirectoryChanges(), std::vector<std::string>{c.folder});
        ASSERT_EQ(HostStarted().size(), 1u);
        HostStart start = HostStarted()[0];
        EXPECT_EQ(start.application, ".\\setup.exe");
        EXPECT_EQ(start.commandLine, "setup.exe");
        EXPECT_EQ(start.directory, c.folder);
        EXPECT_STREQ(ActionBuffer, "setup.exe");
        EXPECT_TRUE(DrawnPictures().empty());
    }
}

TEST_F(Actions, InstallThatCannotStartGoesBackAndRepaints)
{
    const struct {
        const char *what;
        const char *launcherDir;
        const char *folder;  // made to exist, or null
        std::vector<std::string> changes;
        const char *finalDirectory;
    } cases[] = {
        {"language folder missing", "D:\\DISC", nullptr, {"D:\\DISC\\English", "D:\\DISC"}, "D:\\DISC"},
        {"setup missing", "D:\\DISC", "D:\\DISC\\English", {"D:\\DISC\\English", "D:\\DISC"}, "D:\\DISC"},
        // "D:" is the drive's current directory: the change back stays in the language folder.
        {"launcher at a drive root", "D:", "D:\\English", {"D:\\English", "D:"}, "D:\\English"},
        // The folder of that name at the root of the current drive.
        {"empty launcher folder", "", "C:\\English", {"\\English", ""}, "C:\\English"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        strcpy(LauncherDir, c.launcherDir);
        if (c.folder != nullptr)
            HostAddFolder(c.folder);
        HostExit exit = Press(SLOT_INSTALL);
        EXPECT_FALSE(exit.exited);
        EXPECT_EQ(DirectoryChanges(), c.changes);
        EXPECT_EQ(HostCurrentDirectory(), c.finalDirectory);
        EXPECT_TRUE(HostStarted().empty());
        EXPECT_EQ(DrawnPictures(), INSTALLED_REPAINT);
        EXPECT_LT(LastCall(OP_SetCurrentDirectoryA), FirstCall(OP_BitBlt));
        ExpectNothingHeld();
    }
}

TEST_F(Actions, InstallLooksInTheUnchangedDirectoryWhenTheLanguageFolderIsMissing)
{
    HostAddProgram("C:\\WORK\\setup.exe");
    HostExit exit = Press(SLOT_INSTALL);
    EXPECT_TRUE(exit.exited);
    ASSERT_EQ(HostStarted().size(), 1u);
    EXPECT_EQ(HostStarted()[0].application, ".\\setup.exe");
    EXPECT_EQ(HostStarted()[0].directory, "C:\\WORK");
}

TEST_F(Actions, InstallRefusesALauncherFolderTooLongForTheBuffer)
{
    const struct {
        size_t length;
        int language;
        bool acts;
    } cases[] = {
        // "Brazilian Portuguese" has 20 characters: 242 + 1 + 20 and the zero fill 264 bytes.
        {242, 0, true},
        {243, 0, false},
        {255, 2, true},
        {256, 2, false},
        {259, 2, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "LauncherDir of " << c.length << " characters, language " << c.language);
        SetUp();
        std::string launcherDir = "D:\\" + std::string(c.length - 3, 'd');
        strcpy(LauncherDir, launcherDir.c_str());
        CurrentLanguage = c.language;
        memset(ActionBuffer, 0x5A, sizeof ActionBuffer);
        HostExit exit = Press(SLOT_INSTALL);
        EXPECT_FALSE(exit.exited);
        if (c.acts) {
            std::string folder = launcherDir + "\\" + InstallFolderNames[c.language];
            EXPECT_EQ(DirectoryChanges(), (std::vector<std::string>{folder, launcherDir}));
            EXPECT_EQ(DrawnPictures(), INSTALLED_REPAINT);
        } else {
            // Nothing at all: no directory change, no search, no repaint.
            EXPECT_TRUE(HostCalls().empty());
            EXPECT_EQ(ActionBuffer[0], 0x5A);
            EXPECT_EQ(ActionBuffer[ACTION_BUFFER_SIZE - 1], 0x5A);
        }
        ExpectNothingHeld();
    }
}

TEST_F(Actions, UninstallRunsTheCommandWaitsAndRepaints)
{
    // The uninstaller removes the product's entry while it runs.
    HostAddProgram("C:\\WIN\\REMOVE.EXE",
                   HostProgram{0, 0, 0, [] { HostRegDeleteKey(UNINSTALL_KEY_PATH); }});
    HostExit exit = Press(SLOT_UNINSTALL);
    EXPECT_FALSE(exit.exited);
    EXPECT_TRUE(DirectoryChanges().empty());
    ASSERT_EQ(HostStarted().size(), 1u);
    HostStart start = HostStarted()[0];
    // The pieces keep their trailing spaces: two spaces between them.
    EXPECT_EQ(start.application, "C:\\WIN\\REMOVE.EXE ");
    EXPECT_EQ(start.commandLine, "C:\\WIN\\REMOVE.EXE  -aC:\\GAMES\\DEMO\\REMOVE.LOG  -bC:\\GAMES\\DEMO\\EXTRA.DLL");
    EXPECT_EQ(start.directory, "C:\\WORK");
    int wait = FirstCall(OP_WaitForSingleObject);
    ASSERT_GE(wait, 0);
    EXPECT_LT(wait, FirstCall(OP_BitBlt));
    EXPECT_EQ(DrawnPictures(), REMOVED_REPAINT);
    ExpectNothingHeld();
}

TEST_F(Actions, UninstallThatCannotStartRepaintsAtOnce)
{
    HostExit exit = Press(SLOT_UNINSTALL);
    EXPECT_FALSE(exit.exited);
    EXPECT_TRUE(HostStarted().empty());
    EXPECT_TRUE(DirectoryChanges().empty());
    EXPECT_EQ(DrawnPictures(), INSTALLED_REPAINT);
    ExpectNothingHeld();
}

TEST_F(Actions, UninstallStartsInTheDirectoryAFailedPlayLeft)
{
    HostAddProgram("C:\\WIN\\REMOVE.EXE");
    Press(SLOT_PLAY);
    HostClearCalls();
    Press(SLOT_UNINSTALL);
    ASSERT_EQ(HostStarted().size(), 1u);
    EXPECT_EQ(HostStarted()[0].directory, "D:\\DISC");
    EXPECT_TRUE(DirectoryChanges().empty());
}

}  // namespace
