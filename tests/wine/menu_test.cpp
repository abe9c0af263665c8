// The menu window as a person sees it under Wine: where it stands, what each
// rectangle shows, how the pointer lights the buttons, which presses end it,
// and how the registry entry shows up while it runs.
#include "menu_screen.h"

namespace {

using namespace winetest;

const std::vector<Zone> &MenuZones()
{
    static const std::vector<Zone> zones = [] {
        std::vector<Zone> z;
        for (const Button &button : Buttons)
            z.push_back({button.name, {button.left, button.top, BUTTON_WIDTH, BUTTON_HEIGHT}});
        z.push_back({"background", {0, 0, CLIENT_WIDTH, CLIENT_HEIGHT}});
        return z;
    }();
    return zones;
}

void SetInstalled(bool installed)
{
    if (installed)
        ASSERT_TRUE(SetUninstallString(COMMAND));
    else
        ASSERT_TRUE(DeleteUninstallEntry());
}

class MenuWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_WINE();
        // A product beside the menu: a press that wrongly acted on an
        // unavailable Play would start it there and end the menu.
        static const std::string disc =
            MakeDisc("menu-disc", {{Win64BuildDir() + "/tests/wine/helpers/probe-gui.exe", "tervalon.com"}});
        ASSERT_TRUE(MapDrive('d', disc));
        launch_.unixDir = disc;
    }

    // Starts the menu from D:\ and waits for its first picture.
    void StartMenu(bool installed)
    {
        ASSERT_TRUE(menu_.Start(launch_));
        ASSERT_TRUE(menu_.WaitForWindow()) << "no window; the program said: " << menu_.Output();
        Expect(installed, NONE, "first picture");
    }

    Rect Client() const
    {
        Rect outer = menu_.Outer();
        return {outer.x + FRAME, outer.y + FRAME, CLIENT_WIDTH, CLIENT_HEIGHT};
    }

    void Expect(bool installed, int lit, const std::string &when)
    {
        // After a first failure the program is wrong anyway: fail the rest fast.
        double timeout = HasFailure() ? 0.3 : 3;
        EXPECT_EQ("", WaitForScreen(Client(), MenuPicture(installed, lit), MenuZones(), timeout))
            << when << ": expected " << Describe(installed, lit);
    }

    // The hit test measures from the outer window rectangle, so these are
    // window coordinates, not client ones.
    void PointAt(int px, int py)
    {
        MovePointer(menu_.Outer().x + px, menu_.Outer().y + py);
    }

    void PointAtButton(int button)
    {
        PointAt(Buttons[button].left + BUTTON_WIDTH / 2, Buttons[button].top + BUTTON_HEIGHT / 2);
    }

    void PointAtBackground()
    {
        PointAt(320, 200);
    }

    // Lights a button that is not the one about to be probed, so the probe's
    // own picture proves that its hit test has been handled.
    void LightOtherThan(int button, bool installed)
    {
        int other = button == EXIT ? INSTALL : EXIT;
        PointAtButton(other);
        Expect(installed, other, std::string("pointer on ") + Buttons[other].name);
    }

    Launch launch_;
    Program menu_;
};

TEST_F(MenuWindow, IsCentredWithTheWindowsSizeAt96Dpi)
{
    ASSERT_NO_FATAL_FAILURE(SetInstalled(false));
    ASSERT_NO_FATAL_FAILURE(StartMenu(false));
    Rect outer = menu_.Outer();
    EXPECT_EQ((ScreenWidth() - OUTER_WIDTH) / 2, outer.x);
    EXPECT_EQ((ScreenHeight() - OUTER_HEIGHT) / 2, outer.y);
    EXPECT_EQ(OUTER_WIDTH, outer.width);
    EXPECT_EQ(OUTER_HEIGHT, outer.height);

    // The picture lines up at (3,3) (StartMenu compared every client pixel);
    // the client ends at 632x478, so the frame's first column and row past it
    // do not carry on the background.
    Image window = Grab(outer);
    const Image &background = Picture("background.bmp");
    int sameColumn = 0, sameRow = 0;
    for (int y = 0; y < CLIENT_HEIGHT; y++)
        sameColumn += window.At(FRAME + CLIENT_WIDTH, FRAME + y) == background.At(CLIENT_WIDTH, y);
    for (int x = 0; x < CLIENT_WIDTH; x++)
        sameRow += window.At(FRAME + x, FRAME + CLIENT_HEIGHT) == background.At(x, CLIENT_HEIGHT);
    EXPECT_LT(sameColumn, CLIENT_HEIGHT) << "the background shows right of a 632-pixel client";
    EXPECT_LT(sameRow, CLIENT_WIDTH) << "the background shows below a 478-pixel client";
}

TEST_F(MenuWindow, ShowsThePicturesOfTheInstallationState)
{
    const struct {
        const char *name;
        std::function<bool()> arrange;
        bool installed;
    } cases[] = {
        {"no entry", [] { return DeleteUninstallEntry(); }, false},
        {"entry in the 32-bit view", [] { return SetUninstallString(COMMAND); }, true},
        {"key without the value",
         [] { return DeleteUninstallEntry() && RegAddKey(UninstallKey, RegistryView::Bits32); }, false},
        {"entry only in the 64-bit view",
         [] { return DeleteUninstallEntry() && SetUninstallString(COMMAND, RegistryView::Bits64); }, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.arrange());
        ASSERT_NO_FATAL_FAILURE(StartMenu(c.installed));
        menu_.Kill();
    }
    EXPECT_TRUE(DeleteUninstallEntry(RegistryView::Bits64));
}

TEST_F(MenuWindow, HoverLightsOnlyTheAvailableButtonUnderThePointer)
{
    for (bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "installed" : "not installed");
        ASSERT_NO_FATAL_FAILURE(SetInstalled(installed));
        ASSERT_NO_FATAL_FAILURE(StartMenu(installed));
        for (int b = 0; b < BUTTON_COUNT; b++) {
            SCOPED_TRACE(Buttons[b].name);
            LightOtherThan(b, installed);
            PointAtButton(b);
            Expect(installed, Available(b, installed) ? b : NONE, "pointer on the button");
            PointAtBackground();
            Expect(installed, NONE, "pointer on the background");
        }
        // The gap between Play and Install is background too.
        LightOtherThan(PLAY, installed);
        PointAt(160, 394);
        Expect(installed, NONE, "pointer between Play and Install");
        menu_.Kill();
    }
}

TEST_F(MenuWindow, DrawsNothingOnAnUnavailablePlay)
{
    ASSERT_NO_FATAL_FAILURE(SetInstalled(false));
    ASSERT_NO_FATAL_FAILURE(StartMenu(false));
    LightOtherThan(PLAY, false);
    // Paint over Play behind Wine's back: only a draw by the program there
    // could bring its picture back.
    const uint32_t mark = 0xFF00FF;
    Rect play = {FRAME + Buttons[PLAY].left, FRAME + Buttons[PLAY].top, BUTTON_WIDTH, BUTTON_HEIGHT};
    FillOnWindow(menu_.Window(), play, mark);
    PointAtButton(PLAY);
    Rect exit = {Client().x + Buttons[EXIT].left, Client().y + Buttons[EXIT].top, BUTTON_WIDTH, BUTTON_HEIGHT};
    ASSERT_EQ("", WaitForScreen(exit, Picture("exit.bmp"))) << "Exit is not drawn plain again";
    Rect onScreen = {menu_.Outer().x + play.x, menu_.Outer().y + play.y, play.width, play.height};
    EXPECT_EQ("", DescribeDifference(Grab(onScreen), Image(BUTTON_WIDTH, BUTTON_HEIGHT, mark)))
        << "something was drawn on the unavailable Play";
}

TEST_F(MenuWindow, HitZonesAreMeasuredFromTheOuterWindowRectangle)
{
    // Edges of each zone in window coordinates, with the picture's left and
    // top as origin: the strict comparisons leave the zone's first column
    // and row, and the ones just past it, outside.
    const int MIDDLE = -1;
    const struct {
        const char *where;
        int dx, dy;
        bool inside;
    } probes[] = {
        {"left edge", 0, MIDDLE, false},   {"first column in", 1, MIDDLE, true},
        {"last column in", 127, MIDDLE, true}, {"right edge", 128, MIDDLE, false},
        {"top edge", MIDDLE, 0, false},    {"first row in", MIDDLE, 1, true},
        {"last row in", MIDDLE, 95, true}, {"bottom edge", MIDDLE, 96, false},
    };
    ASSERT_NO_FATAL_FAILURE(SetInstalled(true));
    ASSERT_NO_FATAL_FAILURE(StartMenu(true));
    for (int b = 0; b < BUTTON_COUNT; b++) {
        for (const auto &p : probes) {
            SCOPED_TRACE(std::string(Buttons[b].name) + ", " + p.where);
            LightOtherThan(b, true);
            int px = Buttons[b].left + (p.dx == MIDDLE ? BUTTON_WIDTH / 2 : p.dx);
            int py = Buttons[b].top + (p.dy == MIDDLE ? BUTTON_HEIGHT / 2 : p.dy);
            PointAt(px, py);
            Expect(true, p.inside ? b : NONE,
                   "pointer at window (" + std::to_string(px) + "," + std::to_string(py) + ")");
        }
    }
}

TEST_F(MenuWindow, EachMouseButtonOnExitEndsWithCodeZero)
{
    const struct {
        const char *name;
        int button;
        bool installed;
    } presses[] = {{"left", 1, false}, {"middle", 2, true}, {"right", 3, false}};
    for (const auto &press : presses) {
        SCOPED_TRACE(press.name);
        ASSERT_NO_FATAL_FAILURE(SetInstalled(press.installed));
        ASSERT_NO_FATAL_FAILURE(StartMenu(press.installed));
        PointAtButton(EXIT);
        Expect(press.installed, EXIT, "pointer on Exit");
        Click(press.button);
        EXPECT_EQ(std::optional<int>(0), menu_.WaitExit(5));
    }
}

TEST_F(MenuWindow, KeysAndPressesElsewhereLeaveItRunning)
{
    ASSERT_NO_FATAL_FAILURE(SetInstalled(false));
    ASSERT_NO_FATAL_FAILURE(StartMenu(false));
    bool focused = WaitUntil([&] { return FocusWindow() == menu_.Window(); }, 2);
    ASSERT_TRUE(focused) << "the menu does not have the keyboard; focus on " << FocusWindow();
    const struct {
        const char *name;
        std::function<void()> act;
    } actions[] = {
        {"Escape", [] { PressKey("Escape"); }},
        {"Alt+F4", [] { PressKey("F4", {"Alt_L"}); }},
        {"left press on the background", [this] { PointAtBackground(); Click(1); }},
        {"middle press on the background", [this] { PointAtBackground(); Click(2); }},
        {"right press on the background", [this] { PointAtBackground(); Click(3); }},
        {"press between Play and Install", [this] { PointAt(160, 394); Click(1); }},
        {"press on the unavailable Play", [this] { PointAtButton(PLAY); Click(1); }},
        {"press on the unavailable Uninstall", [this] { PointAtButton(UNINSTALL); Click(1); }},
    };
    for (const auto &action : actions) {
        SCOPED_TRACE(action.name);
        LightOtherThan(INSTALL, false);
        action.act();
        // Input is handled in order: once Install lights up, the action
        // before it has been handled too.
        PointAtButton(INSTALL);
        Expect(false, INSTALL, "pointer on Install after the action");
        EXPECT_FALSE(menu_.WaitExit(0.1).has_value()) << "the menu ended";
    }
    PointAtButton(EXIT);
    Expect(false, EXIT, "pointer on Exit");
    Click(1);
    EXPECT_EQ(std::optional<int>(0), menu_.WaitExit(5));
}

TEST_F(MenuWindow, RegistryChangesShowAtTheNextRepaint)
{
    ASSERT_NO_FATAL_FAILURE(SetInstalled(false));
    ASSERT_NO_FATAL_FAILURE(StartMenu(false));
    ASSERT_NO_FATAL_FAILURE(SetInstalled(true));
    // A hit test draws from the state of the last repaint.
    LightOtherThan(PLAY, false);
    PointAtButton(PLAY);
    Expect(false, NONE, "entry added, pointer on Play, no repaint yet");

    // Losing the activation repaints, even with the pointer on a button.
    PointAtButton(EXIT);
    Expect(false, EXIT, "pointer on Exit");
    TakeActivation();
    Expect(true, NONE, "activation lost, pointer still on Exit");

    ASSERT_NO_FATAL_FAILURE(SetInstalled(false));
    GiveActivation(menu_.Window());
    Expect(false, NONE, "entry removed, activation given back");

    ASSERT_NO_FATAL_FAILURE(SetInstalled(true));
    TakeActivation();
    Expect(true, NONE, "entry added again, activation lost");
    GiveActivation(menu_.Window());
    PointAtButton(PLAY);
    Expect(true, PLAY, "activation given back, pointer on Play");
    ASSERT_NO_FATAL_FAILURE(SetInstalled(false));
}

}  // namespace
