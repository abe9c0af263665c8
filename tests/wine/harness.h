// End-to-end harness: runs the real 64-bit autorun.exe under wine64 on a
// private Xvfb display, drives it with XTest and reads the screen back.
//
// One session per test program (main.cpp registers it): the display, the
// prefix and a persistent wineserver are made before the first case and
// shut down after the last; everything lives in one scratch folder that is
// removed at the end (kept when AUTORUN_WINE_KEEP is set). Cases begin with
// REQUIRE_WINE(), which skips with the reason when wine64 or Xvfb is missing.
#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace winetest {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

// 0xRRGGBB pixels, rows top-down.
struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    Image() = default;
    Image(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    uint32_t &At(int x, int y) { return pixels[size_t(y) * width + x]; }
    bool Empty() const { return pixels.empty(); }
    Image Crop(Rect r) const;               // r must lie inside
    void Paste(const Image &from, int x, int y);  // clipped to this image
};

// Windows bitmap files: BI_RGB with 1, 4, 8, 24 or 32 bits per pixel, either
// row order. An unreadable file gives an empty image and a test failure.
Image LoadBmp(const std::string &path);
// A picture of the program's res/ folder, e.g. LoadResBmp("play_hot.bmp").
Image LoadResBmp(const std::string &name);
void SavePpm(const Image &image, const std::string &path);

// Named parts of a picture, used to say where two pictures differ. A pixel
// belongs to the first zone that contains it; pixels in none are "rest".
struct Zone {
    std::string name;
    Rect rect;
};
// "" when equal; otherwise, per zone, how many pixels differ and the first.
std::string DescribeDifference(const Image &actual, const Image &expected, const std::vector<Zone> &zones = {});

// Session ------------------------------------------------------------------

bool Ready();
const std::string &SkipReason();
#define REQUIRE_WINE()                                                   \
    do {                                                                 \
        if (!::winetest::Ready())                                        \
            GTEST_SKIP() << "Wine test skipped: " << ::winetest::SkipReason(); \
    } while (0)

const std::string &RunDir();        // the scratch folder of this run
const std::string &PrefixDir();     // WINEPREFIX
const std::string &Win64Exe();      // build/win64/autorun.exe, or $AUTORUN_WINE_EXE
const std::string &Win64BuildDir(); // build/win64, where the helper programs are built too
const std::string &ResDir();        // the program's res/
int ScreenWidth();
int ScreenHeight();

// Made by main.cpp; sets everything up once and tears it down at the end.
class Session : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

// Files and drives ---------------------------------------------------------

// A new empty folder under the run folder (its Unix path).
std::string MakeFolder(const std::string &name);
bool CopyFile(const std::string &from, const std::string &to);
bool WriteFile(const std::string &path, const std::string &content);
std::optional<std::string> ReadFile(const std::string &path);
// Waits until the file exists and stops growing; its content, or nothing.
std::optional<std::string> WaitForFile(const std::string &path, double timeoutSeconds = 5);

struct DiscFile {
    std::string from;    // Unix path of the source
    std::string to;      // path inside the disc folder, '/' separated
};
// A disc folder holding autorun.exe and the extra files; its Unix path.
std::string MakeDisc(const std::string &name, const std::vector<DiscFile> &extra = {});
// Points a drive letter of the prefix at a Unix folder (dosdevices link).
bool MapDrive(char letter, const std::string &unixDir);
void UnmapDrive(char letter);
// A locale built with localedef into the run folder, once per run; returns
// the folder to give as LOCPATH ("" on failure). Name as "ja_JP.UTF-8".
std::string BuildLocale(const std::string &name);

// Programs -----------------------------------------------------------------

// Every wine64 call gets WINEPREFIX, WINEDEBUG=-all, the run's TMPDIR and
// DISPLAY, and LC_ALL=C.UTF-8 with the caller's LANG and LC_* removed;
// env and unsetEnv change that per launch.
struct Launch {
    std::string program = "D:\\autorun.exe";  // as given to wine64: Windows or Unix path, or a builtin
    std::vector<std::string> args;
    std::string unixDir;                       // working directory; "" keeps the run folder
    std::vector<std::pair<std::string, std::string>> env;  // set or override (LC_ALL, LOCPATH, WINEPATH...)
    std::vector<std::string> unsetEnv;
};

// One wine64 process started by the test. The destructor ends it (by its
// pid) if it is still running.
class Program {
public:
    Program() = default;
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;
    ~Program();

    // Parks the pointer at (0,0), then starts wine64 with the launch.
    bool Start(const Launch &launch);
    pid_t Pid() const { return pid_; }
    // The visible top-level X window of this process; false on timeout.
    bool WaitForWindow(double timeoutSeconds = 10);
    unsigned long Window() const { return window_; }
    Rect Outer() const { return outer_; }   // screen rectangle of that window
    bool Running();
    // The exit code, or nothing when it is still running at the timeout.
    std::optional<int> WaitExit(double timeoutSeconds);
    void Kill();
    std::string Output() const;   // what it wrote to stdout and stderr

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    unsigned long window_ = 0;
    Rect outer_;
    std::string log_;
};

// Runs wine64 with the launch to its end: its exit code, -1 on timeout (then
// it is killed) or failure to start.
int RunWine(const Launch &launch, double timeoutSeconds = 30);
// Shorthand for a builtin such as "reg" or "cmd" with arguments.
int RunWine(const std::vector<std::string> &commandLine, double timeoutSeconds = 30);

// The topmost visible top-level window whose _NET_WM_PID is pid, or whose
// class name is that of the program file ("autorun.exe", as Wine names it).
std::optional<std::pair<unsigned long, Rect>> FindWindowOf(pid_t pid);
std::optional<std::pair<unsigned long, Rect>> FindWindowOfClass(const std::string &name);

// Registry -----------------------------------------------------------------

enum class RegistryView { Bits32, Bits64 };
extern const char *const UninstallKey;   // HKLM\...\Uninstall\Tervalon, as reg.exe takes it
bool RegAddValue(const std::string &key, const std::string &name, const std::string &type, const std::string &data,
                 RegistryView view);
bool RegAddKey(const std::string &key, RegistryView view);
bool RegDeleteKey(const std::string &key, RegistryView view);   // true when gone afterwards
bool SetUninstallString(const std::string &command, RegistryView view = RegistryView::Bits32);
bool DeleteUninstallEntry(RegistryView view = RegistryView::Bits32);

// Input and screen ---------------------------------------------------------

void MovePointer(int x, int y);
void ButtonDown(int button);
void ButtonUp(int button);
void Click(int button);              // down and up where the pointer is
// A key by its X keysym name ("Escape", "F4", "Return"), with modifiers held
// around it ({"Alt_L"}).
void PressKey(const std::string &keysym, const std::vector<std::string> &modifiers = {});
unsigned long FocusWindow();         // the X input focus
// The harness's own window takes the input focus, so Wine deactivates its
// windows; GiveActivation hands it to a window again the way a window
// manager does (focus and WM_TAKE_FOCUS).
void TakeActivation();
void GiveActivation(unsigned long window);
// Draws a filled rectangle straight onto an X window, behind Wine's back.
void FillOnWindow(unsigned long window, Rect rect, uint32_t rgb);

Image Grab(Rect screenRect);
// Polls every few milliseconds until done() holds; false at the timeout.
bool WaitUntil(const std::function<bool()> &done, double timeoutSeconds, double pollSeconds = 0.003);
// Polls the screen rectangle until it equals expected. "" on success, else
// the last difference; the last screen and the expected picture are then
// saved as PPM files in the failure folder, named after the current test.
std::string WaitForScreen(Rect screenRect, const Image &expected, const std::vector<Zone> &zones = {},
                          double timeoutSeconds = 3);

}  // namespace winetest
