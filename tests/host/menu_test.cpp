#include "menu/menu.h"

#include <gtest/gtest.h>
#include <string.h>

#include "launcher/launcher.h"
#include "substitute/substitute.h"

// The program's own start value, read before any test can change it.
static const int StartHoverSlot = HoverSlot;

static const char *const KeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tervalon";
static const RECT Outer = {193, 142, 831, 626};

// A hit-test lParam for a point given relative to the outer window rectangle.
static LPARAM PointerAt(int px, int py)
{
    return (LPARAM)(((DWORD)(Outer.top + py) << 16) | (DWORD)(Outer.left + px));
}

struct Draw {
    int id;
    int slot;
};

static void ExpectDraws(const std::vector<Draw> &expected)
{
    std::vector<HostDraw> draws = HostDraws();
    ASSERT_EQ(draws.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        SCOPED_TRACE(testing::Message() << "draw " << i);
        const MenuSlot &slot = MenuSlots[expected[i].slot];
        EXPECT_EQ(draws[i].bitmapId, expected[i].id);
        EXPECT_EQ(draws[i].left, slot.left);
        EXPECT_EQ(draws[i].top, slot.top);
        EXPECT_EQ(draws[i].width, slot.width);
        EXPECT_EQ(draws[i].height, slot.height);
    }
}

class Menu : public testing::Test {
protected:
    void SetUp() override
    {
        HostReset();
        HostSetWindowRect(Outer);
        AppInstance = (HINSTANCE)(uintptr_t)0x400000;
        HoverSlot = SLOT_NONE;
        CurrentInstallState = INSTALL_NONE;
        window = HostWindow();
    }

    void TearDown() override
    {
        HostBalance live = HostLiveObjects();
        EXPECT_EQ(live.keys, 0);
        EXPECT_EQ(live.windowDcs, 0);
        EXPECT_EQ(live.memoryDcs, 0);
        EXPECT_EQ(live.bitmaps, 0);
        EXPECT_EQ(live.misuses, 0);
    }

    void Install(bool installed)
    {
        if (installed) {
            HostRegCreateKey(KeyPath);
            HostRegSetString(KeyPath, "UninstallString", "C:\\WIN\\REMOVE.EXE -aC:\\GAMES\\DEMO\\R.LOG -bX");
        } else {
            HostRegDeleteKey(KeyPath);
        }
    }

    INT_PTR Send(UINT message, LPARAM lParam = 0, WPARAM wParam = 0)
    {
        return MenuDialogProc(window, message, wParam, lParam);
    }

    HWND window;
};

TEST_F(Menu, SlotTableRows)
{
    const MenuSlot expected[SLOT_COUNT] = {
        {16, 346, 128, 96, 117, 118, 121}, {176, 346, 128, 96, 120, 120, 122}, {336, 346, 128, 96, 124, 123, 125},
        {488, 346, 128, 96, 126, 126, 128}, {0, 0, 640, 480, 110, 0, 0},
    };
    for (int slot = 0; slot < SLOT_COUNT; slot++) {
        SCOPED_TRACE(testing::Message() << "slot " << slot);
        const MenuSlot &row = MenuSlots[slot];
        EXPECT_EQ(row.left, expected[slot].left);
        EXPECT_EQ(row.top, expected[slot].top);
        EXPECT_EQ(row.width, expected[slot].width);
        EXPECT_EQ(row.height, expected[slot].height);
        EXPECT_EQ(row.unavailable, expected[slot].unavailable);
        EXPECT_EQ(row.normal, expected[slot].normal);
        EXPECT_EQ(row.highlighted, expected[slot].highlighted);
    }
}

TEST_F(Menu, RepaintDrawsBackgroundThenButtonsForTheState)
{
    const struct {
        bool installed;
        InstallState state;
        int play;
        int uninstall;
    } cases[] = {
        {false, INSTALL_NONE, 117, 124},
        {true, INSTALL_FOUND, 118, 123},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.installed ? "installed" : "not installed");
        Install(c.installed);
        HoverSlot = SLOT_EXIT;
        HostClearCalls();
        EXPECT_EQ(Send(WM_PAINT), FALSE);
        EXPECT_EQ(CurrentInstallState, c.state);
        ExpectDraws({{110, SLOT_BACKGROUND}, {120, SLOT_INSTALL}, {126, SLOT_EXIT}, {c.play, SLOT_PLAY},
                     {c.uninstall, SLOT_UNINSTALL}});
        EXPECT_EQ(HoverSlot, SLOT_EXIT) << "a repaint leaves the hover slot alone";
        // The registry is read first, afresh.
        ASSERT_FALSE(HostCalls().empty());
        EXPECT_EQ(HostCalls().front().op, OP_RegOpenKeyExA);
    }
}

TEST_F(Menu, ValueMissingDrawsAsNotInstalled)
{
    HostRegCreateKey(KeyPath);
    Send(WM_INITDIALOG);
    EXPECT_EQ(CurrentInstallState, INSTALL_NO_COMMAND);
    ExpectDraws({{110, SLOT_BACKGROUND}, {120, SLOT_INSTALL}, {126, SLOT_EXIT}, {117, SLOT_PLAY}, {124, SLOT_UNINSTALL}});
}

TEST_F(Menu, OneDrawLoadsCopiesAndFreesInOrder)
{
    DrawSlotBitmap(window, 125, SLOT_UNINSTALL);
    const std::vector<HostCall> &calls = HostCalls();
    const HostOp order[] = {OP_GetDC, OP_LoadBitmapA, OP_CreateCompatibleDC, OP_SelectObject,
                            OP_BitBlt, OP_DeleteDC, OP_ReleaseDC, OP_DeleteObject};
    ASSERT_EQ(calls.size(), sizeof order / sizeof order[0]);
    for (size_t i = 0; i < calls.size(); i++)
        EXPECT_EQ(calls[i].op, order[i]) << "call " << i;
    uintptr_t windowDc = calls[0].result, bitmap = calls[1].result, memoryDc = calls[2].result;
    EXPECT_EQ(calls[0].handle, (uintptr_t)window);
    EXPECT_EQ(calls[1].handle, (uintptr_t)AppInstance);
    EXPECT_EQ(calls[1].values[0], 125);
    EXPECT_EQ(calls[2].handle, windowDc);
    EXPECT_EQ(calls[3].handle, memoryDc);
    EXPECT_EQ(calls[3].other, bitmap);
    EXPECT_EQ(calls[4].handle, windowDc);
    EXPECT_EQ(calls[4].other, memoryDc);
    const int blit[] = {125, 336, 346, 128, 96, 0, 0, (int)SRCCOPY};
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(calls[4].values[i], blit[i]) << "blit value " << i;
    EXPECT_EQ(calls[5].handle, memoryDc);
    EXPECT_EQ(calls[6].handle, (uintptr_t)window);
    EXPECT_EQ(calls[6].other, windowDc);
    EXPECT_EQ(calls[7].handle, bitmap);
}

TEST_F(Menu, FailingDrawCallsLeakNothing)
{
    const HostOp failing[] = {OP_GetDC, OP_LoadBitmapA, OP_CreateCompatibleDC, OP_SelectObject, OP_BitBlt};
    for (HostOp op : failing) {
        SCOPED_TRACE(testing::Message() << "failing op " << op);
        HostReset();
        HostFail(op, ERROR_NOT_ENOUGH_MEMORY);
        DrawSlotBitmap(window, 110, SLOT_BACKGROUND);
        HostBalance live = HostLiveObjects();
        EXPECT_EQ(live.windowDcs + live.memoryDcs + live.bitmaps, 0);
    }
    HostReset();
}

// Points relative to the outer rectangle, on and just inside each edge.
TEST_F(Menu, HitTestEdgesOfEveryButton)
{
    for (bool installed : {false, true}) {
        Install(installed);
        Send(WM_ACTIVATE);
        for (int slot = 0; slot < BUTTON_COUNT; slot++) {
            const MenuSlot &r = MenuSlots[slot];
            bool usable = installed || slot == SLOT_INSTALL || slot == SLOT_EXIT;
            int midX = r.left + r.width / 2, midY = r.top + r.height / 2;
            const struct {
                int px, py;
                bool inside;
            } points[] = {
                {r.left, midY, false},          {r.left + 1, midY, true},
                {r.left + r.width - 1, midY, true}, {r.left + r.width, midY, false},
                {midX, r.top, false},           {midX, r.top + 1, true},
                {midX, r.top + r.height - 1, true}, {midX, r.top + r.height, false},
                {r.left + 1, r.top + 1, true},  {r.left + r.width - 1, r.top + r.height - 1, true},
            };
            for (const auto &p : points) {
                SCOPED_TRACE(testing::Message() << (installed ? "installed" : "not installed") << ", slot " << slot
                                                << ", point " << p.px << "," << p.py);
                HoverSlot = SLOT_PLAY;
                HostClearCalls();
                EXPECT_EQ(Send(WM_NCHITTEST, PointerAt(p.px, p.py)), FALSE);
                bool lit = p.inside && usable;
                EXPECT_EQ(HoverSlot, lit ? slot : SLOT_NONE);
                EXPECT_EQ(PointInSlot(slot, p.px, p.py), p.inside);
                std::vector<Draw> expected;
                for (int other = 0; other < BUTTON_COUNT; other++) {
                    bool otherUsable = installed || other == SLOT_INSTALL || other == SLOT_EXIT;
                    if (other == slot && p.inside) {
                        if (lit)
                            expected.push_back({MenuSlots[other].highlighted, other});
                    } else {
                        expected.push_back({otherUsable ? MenuSlots[other].normal : MenuSlots[other].unavailable, other});
                    }
                }
                ExpectDraws(expected);
            }
        }
    }
}

TEST_F(Menu, HitTestDrawSequences)
{
    const struct {
        const char *name;
        bool installed;
        int px, py;
        int hover;
        std::vector<Draw> draws;
    } cases[] = {
        {"installed, on Uninstall", true, 400, 390, SLOT_UNINSTALL,
         {{118, SLOT_PLAY}, {120, SLOT_INSTALL}, {125, SLOT_UNINSTALL}, {126, SLOT_EXIT}}},
        {"not installed, on Play: Play is not drawn", false, 80, 390, SLOT_NONE,
         {{120, SLOT_INSTALL}, {124, SLOT_UNINSTALL}, {126, SLOT_EXIT}}},
        {"not installed, on Exit", false, 550, 390, SLOT_EXIT,
         {{117, SLOT_PLAY}, {120, SLOT_INSTALL}, {124, SLOT_UNINSTALL}, {128, SLOT_EXIT}}},
        {"installed, in the gap after Play", true, 160, 390, SLOT_NONE,
         {{118, SLOT_PLAY}, {120, SLOT_INSTALL}, {123, SLOT_UNINSTALL}, {126, SLOT_EXIT}}},
        {"installed, above the buttons", true, 80, 100, SLOT_NONE,
         {{118, SLOT_PLAY}, {120, SLOT_INSTALL}, {123, SLOT_UNINSTALL}, {126, SLOT_EXIT}}},
        {"not installed, on Install", false, 240, 390, SLOT_INSTALL,
         {{117, SLOT_PLAY}, {122, SLOT_INSTALL}, {124, SLOT_UNINSTALL}, {126, SLOT_EXIT}}},
        {"installed, on Play", true, 80, 390, SLOT_PLAY,
         {{121, SLOT_PLAY}, {120, SLOT_INSTALL}, {123, SLOT_UNINSTALL}, {126, SLOT_EXIT}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Install(c.installed);
        Send(WM_SETFOCUS);
        HostClearCalls();
        Send(WM_NCHITTEST, PointerAt(c.px, c.py));
        EXPECT_EQ(HoverSlot, c.hover);
        ExpectDraws(c.draws);
        EXPECT_TRUE(HostCallsOf(OP_RegOpenKeyExA).empty()) << "the hit test does not read the registry";
    }
}

TEST_F(Menu, HitTestMeasuresFromTheOuterRectangleWhereverTheWindowIs)
{
    const RECT moved = {0, 0, 638, 484};
    HostSetWindowRect(moved);
    Send(WM_PAINT);
    // Window at the screen origin: screen (489, 347) lies just inside Exit, (488, 347) on its edge.
    Send(WM_NCHITTEST, (LPARAM)((347u << 16) | 489u));
    EXPECT_EQ(HoverSlot, SLOT_EXIT);
    Send(WM_NCHITTEST, (LPARAM)((347u << 16) | 488u));
    EXPECT_EQ(HoverSlot, SLOT_NONE);
    // Each half is unsigned: coordinates past 32767 are not negative.
    const RECT far = {40000, 40000, 40638, 40484};
    HostSetWindowRect(far);
    Send(WM_NCHITTEST, (LPARAM)((40390u << 16) | 40550u));
    EXPECT_EQ(HoverSlot, SLOT_EXIT);
}

TEST_F(Menu, RepaintWhileOnAButtonShowsItPlain)
{
    Install(true);
    Send(WM_PAINT);
    Send(WM_NCHITTEST, PointerAt(240, 390));
    ASSERT_EQ(HoverSlot, SLOT_INSTALL);
    HostClearCalls();
    Send(WM_ACTIVATE, 0, 0);  // deactivation repaints like activation
    ExpectDraws({{110, SLOT_BACKGROUND}, {120, SLOT_INSTALL}, {126, SLOT_EXIT}, {118, SLOT_PLAY}, {123, SLOT_UNINSTALL}});
}

TEST_F(Menu, EveryMessageAnswersFalseAndOnlyListedOnesAct)
{
    const struct {
        UINT message;
        bool repaints;
    } messages[] = {
        {WM_ACTIVATE, true},       {WM_SETFOCUS, true},       {WM_PAINT, true},        {WM_INITDIALOG, true},
        {WM_KILLFOCUS, false},     {WM_CLOSE, false},         {WM_ERASEBKGND, false},  {WM_COMMAND, false},
        {WM_SYSCOMMAND, false},    {WM_KEYDOWN, false},       {WM_MOUSEMOVE, false},   {WM_LBUTTONUP, false},
        {WM_LBUTTONDBLCLK, false}, {WM_RBUTTONUP, false},     {WM_RBUTTONDBLCLK, false}, {WM_MBUTTONUP, false},
        {WM_MBUTTONDBLCLK, false}, {0, false},                {0x7FFF, false},         {0xFFFFFFFFu, false},
    };
    Install(true);
    for (const auto &m : messages) {
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << m.message);
        // With the pointer on Exit, an acting message would show.
        Send(WM_NCHITTEST, PointerAt(550, 390));
        HostClearCalls();
        EXPECT_EQ(Send(m.message, PointerAt(550, 390), 2), FALSE);
        EXPECT_FALSE(HostDialogEnded());
        EXPECT_EQ(HoverSlot, SLOT_EXIT);
        if (m.repaints)
            EXPECT_EQ(HostDraws().size(), 5u);
        else
            EXPECT_TRUE(HostCalls().empty());
    }
}

TEST_F(Menu, PressesOnExitEndTheDialogWithZero)
{
    for (UINT press : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        SCOPED_TRACE(testing::Message() << "press 0x" << std::hex << press);
        HostReset();
        HostSetWindowRect(Outer);
        Send(WM_INITDIALOG);
        Send(WM_NCHITTEST, PointerAt(600, 430));
        HostClearCalls();
        EXPECT_EQ(Send(press, 0), FALSE);
        std::vector<HostCall> ends = HostCallsOf(OP_EndDialog);
        ASSERT_EQ(ends.size(), 1u);
        EXPECT_EQ(ends[0].handle, (uintptr_t)window);
        EXPECT_EQ(ends[0].values[0], 0);
    }
}

TEST_F(Menu, PressesOverNothingOrAnUnavailableButtonDoNothing)
{
    const struct {
        const char *name;
        bool installed;
        int px, py;
    } cases[] = {
        {"background", true, 300, 100},
        {"gap between Uninstall and Exit", true, 475, 390},
        {"Exit's own left edge", true, 488, 390},
        {"unavailable Play", false, 80, 390},
        {"unavailable Uninstall", false, 400, 390},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Install(c.installed);
        Send(WM_PAINT);
        Send(WM_NCHITTEST, PointerAt(c.px, c.py));
        HostClearCalls();
        for (UINT press : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN})
            EXPECT_EQ(Send(press, 0), FALSE);
        EXPECT_TRUE(HostCalls().empty());
        EXPECT_FALSE(HostDialogEnded());
    }
}

TEST_F(Menu, PressBeforeAnyHitTestDoesNothing)
{
    EXPECT_EQ(StartHoverSlot, SLOT_NONE) << "slot 0 is Play";
    HoverSlot = StartHoverSlot;
    Install(true);
    Send(WM_INITDIALOG);
    HostClearCalls();
    Send(WM_LBUTTONDOWN);
    EXPECT_TRUE(HostCalls().empty());
}

TEST_F(Menu, DialogRunsUntilExitIsPressed)
{
    HostSetModulePath("D:\\autorun.exe");
    HostQueueMessage(WM_PAINT, 0, 0);
    HostQueueMessage(WM_NCHITTEST, 0, PointerAt(80, 390));
    HostQueueMessage(WM_LBUTTONDOWN, 0, 0);
    HostQueueMessage(WM_CLOSE, 0, 0);
    HostQueueMessage(WM_COMMAND, 2, 0);
    HostQueueMessage(WM_NCHITTEST, 0, PointerAt(550, 390));
    HostQueueMessage(WM_MBUTTONDOWN, 0, 0);
    HostQueueMessage(WM_PAINT, 0, 0);
    EXPECT_EQ(WinMain(AppInstance, nullptr, nullptr, 0), 0);
    EXPECT_TRUE(HostDialogEnded());
    EXPECT_EQ(HostDialogResult(), 0);
    // Initialisation and the first paint repaint; the trailing paint never arrives.
    EXPECT_EQ(HostCallsOf(OP_RegOpenKeyExA).size(), 2u);
}

// Deterministic noise over the handled and unhandled messages, with the
// registry entry coming and going: nothing may be left acquired.
TEST_F(Menu, TenThousandMixedMessagesLeaveEverythingReleased)
{
    const UINT messages[] = {WM_ACTIVATE, WM_SETFOCUS, WM_PAINT, WM_NCHITTEST, WM_NCHITTEST, WM_NCHITTEST,
                             WM_INITDIALOG, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_CLOSE, WM_COMMAND,
                             WM_MOUSEMOVE, WM_LBUTTONUP, WM_ERASEBKGND};
    const size_t count = sizeof messages / sizeof messages[0];
    uint32_t seed = 12345;
    int draws = 0;
    for (int i = 0; i < 10000; i++) {
        seed = seed * 1103515245u + 12345u;
        if ((seed >> 24) % 50 == 0)
            Install(((seed >> 8) & 1) != 0);
        UINT message = messages[(seed >> 16) % count];
        int px = (int)((seed >> 4) % 700), py = (int)((seed >> 12) % 520);
        EXPECT_EQ(Send(message, PointerAt(px, py)), FALSE);
        ASSERT_GE(HoverSlot, SLOT_NONE);
        ASSERT_LT(HoverSlot, BUTTON_COUNT);
        draws += (int)HostDraws().size();
        HostClearCalls();
    }
    EXPECT_GT(draws, 10000);
    HostLaunchBalance launch = HostLiveLaunchObjects();
    EXPECT_EQ(launch.heapBlocks, 0);
    EXPECT_EQ(launch.processes + launch.threads, 0);
    EXPECT_EQ(launch.misuses, 0);
}

// A press goes to the action of the button the hit test found: each one's
// first step tells which ran.
TEST_F(Menu, PressRunsTheActionOfTheButtonUnderThePointer)
{
    const struct {
        const char *name;
        int px, py;
        HostOp firstOp;
        const char *firstText;
    } cases[] = {
        {"Play", 80, 390, OP_SetCurrentDirectoryA, "C:\\GAMES\\DEMO\\"},
        {"Install", 240, 390, OP_SetCurrentDirectoryA, "D:\\DISC\\English"},
        {"Uninstall", 400, 390, OP_GetFileAttributesA, "C:\\WIN\\REMOVE.EXE "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        HostReset();
        HostSetWindowRect(Outer);
        Install(true);
        strcpy(LauncherDir, "D:\\DISC");
        CurrentLanguage = 2;
        Send(WM_INITDIALOG);
        Send(WM_NCHITTEST, PointerAt(c.px, c.py));
        HostClearCalls();
        HostRunUntilExit([this] { Send(WM_RBUTTONDOWN); });
        const HostCall *first = nullptr;
        for (const HostCall &call : HostCalls()) {
            if (call.op == OP_SetCurrentDirectoryA || call.op == OP_GetFileAttributesA) {
                first = &call;
                break;
            }
        }
        ASSERT_NE(first, nullptr) << "the press started no action";
        EXPECT_EQ(first->op, c.firstOp);
        EXPECT_EQ(first->text, c.firstText);
    }
}
