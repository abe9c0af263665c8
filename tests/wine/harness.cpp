#include "harness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

extern char **environ;

namespace fs = std::filesystem;

namespace winetest {

namespace {

// Where the tools are; each can be overridden from the environment.
std::string Tool(const char *variable, const char *fallback)
{
    const char *value = getenv(variable);
    return value && *value ? value : fallback;
}

std::string FindInPath(const std::string &name)
{
    const char *path = getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        std::string candidate = folder + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return "";
}

struct SessionState {
    bool ready = false;
    std::string skipReason = "the session was not set up";
    std::string runDir, prefixDir, tmpDir, logDir;
    std::string wine64, wineserver, xvfb;
    std::string win64Exe = Tool("AUTORUN_WINE_EXE", AUTORUN_WIN64_EXE);
    std::string resDir = AUTORUN_RES_DIR;
    std::string display;
    pid_t xvfbPid = -1;
    Display *x = nullptr;
    Window focusTaker = 0;
    int screenWidth = 0, screenHeight = 0;
    int logCount = 0;
    std::map<std::string, std::string> locales;
};

SessionState S;

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Sleep(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

using Environment = std::map<std::string, std::string>;

// The environment every wine64 call on the prefix gets: one TMPDIR for all,
// so they all meet the same wineserver, and a fixed locale unless a launch
// asks for another.
Environment WineEnvironment()
{
    Environment env;
    for (char **entry = environ; *entry; entry++) {
        const char *equals = strchr(*entry, '=');
        if (equals)
            env[std::string(*entry, size_t(equals - *entry))] = equals + 1;
    }
    for (const char *name : {"WINELOADER", "WINESERVER", "WINEDLLOVERRIDES", "WINEPATH", "LANG", "LANGUAGE"})
        env.erase(name);
    for (auto it = env.begin(); it != env.end();)
        it = it->first.rfind("LC_", 0) == 0 ? env.erase(it) : std::next(it);
    env["WINEPREFIX"] = S.prefixDir;
    env["WINEDEBUG"] = "-all";
    env["TMPDIR"] = S.tmpDir;
    env["DISPLAY"] = S.display;
    env["LC_ALL"] = "C.UTF-8";
    return env;
}

std::string NewLogPath(const std::string &what)
{
    std::string name = what;
    for (char &c : name) {
        if (!isalnum((unsigned char)c))
            c = '_';
    }
    return S.logDir + "/" + std::to_string(++S.logCount) + "-" + name.substr(0, 40) + ".log";
}

// Starts a process with its output in a log file and stdin from /dev/null.
// It dies with the test program, so a crashed run leaves nothing behind.
pid_t Spawn(const std::vector<std::string> &argv, const Environment &env, const std::string &dir,
            const std::string &logPath, int keepFd = -1)
{
    std::vector<std::string> envStrings;
    for (const auto &[name, value] : env)
        envStrings.push_back(name + "=" + value);
    std::vector<char *> args, envp;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    for (std::string &entry : envStrings)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(127);
    int input = open("/dev/null", O_RDONLY);
    int output = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (input < 0 || output < 0 || dup2(input, 0) < 0 || dup2(output, 1) < 0 || dup2(output, 2) < 0)
        _exit(127);
    for (int fd = 3; fd < 1024; fd++) {
        if (fd != keepFd)
            close(fd);
    }
    if (!dir.empty() && chdir(dir.c_str()) != 0)
        _exit(127);
    execve(args[0], args.data(), envp.data());
    _exit(127);
}

// Exit code of a finished child, or -1 when it is still running at the
// timeout (it is then killed).
int WaitChild(pid_t pid, double timeoutSeconds)
{
    double end = Now() + timeoutSeconds;
    for (;;) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0)
            return -1;
        if (Now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        Sleep(0.005);
    }
}

std::string Tail(const std::string &path)
{
    std::optional<std::string> text = ReadFile(path);
    if (!text)
        return "";
    return text->size() > 2000 ? text->substr(text->size() - 2000) : *text;
}

int RunTool(const std::vector<std::string> &argv, const Environment &env, double timeoutSeconds,
            std::string *log = nullptr)
{
    std::string logPath = NewLogPath(fs::path(argv[0]).filename().string() + "-" + (argv.size() > 1 ? argv[1] : ""));
    pid_t pid = Spawn(argv, env, S.runDir, logPath);
    if (pid < 0)
        return -1;
    int code = WaitChild(pid, timeoutSeconds);
    if (log)
        *log = Tail(logPath);
    return code;
}

int IgnoreXErrors(Display *, XErrorEvent *)
{
    return 0;
}

bool StartXvfb(std::string *problem)
{
    int fds[2];
    if (pipe(fds) != 0) {
        *problem = "pipe failed";
        return false;
    }
    std::vector<std::string> argv = {S.xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                                     "-nolisten", "tcp", "-noreset"};
    S.xvfbPid = Spawn(argv, WineEnvironment(), S.runDir, S.runDir + "/xvfb.log", fds[1]);
    close(fds[1]);
    std::string number;
    double end = Now() + 15;
    while (Now() < end && number.find('\n') == std::string::npos) {
        pollfd wait = {fds[0], POLLIN, 0};
        if (poll(&wait, 1, 100) > 0) {
            char buffer[32];
            ssize_t got = read(fds[0], buffer, sizeof buffer);
            if (got <= 0)
                break;
            number.append(buffer, size_t(got));
        }
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        *problem = "Xvfb did not report a display: " + Tail(S.runDir + "/xvfb.log");
        return false;
    }
    S.display = ":" + number.substr(0, number.find('\n'));
    XSetErrorHandler(IgnoreXErrors);
    S.x = XOpenDisplay(S.display.c_str());
    if (!S.x) {
        *problem = "cannot open display " + S.display;
        return false;
    }
    int event, error, major, minor;
    if (!XTestQueryExtension(S.x, &event, &error, &major, &minor)) {
        *problem = "Xvfb has no XTest extension";
        return false;
    }
    Visual *visual = DefaultVisual(S.x, DefaultScreen(S.x));
    if (DefaultDepth(S.x, DefaultScreen(S.x)) != 24 || visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 ||
        visual->blue_mask != 0xFF) {
        *problem = "the display is not 24-bit RGB";
        return false;
    }
    S.screenWidth = DisplayWidth(S.x, DefaultScreen(S.x));
    S.screenHeight = DisplayHeight(S.x, DefaultScreen(S.x));
    XSetWindowAttributes attributes = {};
    attributes.override_redirect = True;
    S.focusTaker = XCreateWindow(S.x, DefaultRootWindow(S.x), 0, 0, 8, 8, 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWOverrideRedirect, &attributes);
    XMapWindow(S.x, S.focusTaker);
    XSync(S.x, False);
    return true;
}

// A prefix that behaves like Windows at 96 DPI: made headless, with Wine's
// bitmap fonts (without them "Helv" gets wider base units), and unmanaged
// windows, which without a window manager end at once and are exactly as
// large as the Windows window, frame included.
bool MakePrefix(std::string *problem)
{
    Environment headless = WineEnvironment();
    headless.erase("DISPLAY");
    std::string log;
    if (RunTool({S.wine64, "wineboot", "-i"}, headless, 120, &log) != 0) {
        *problem = "wineboot -i failed: " + log;
        return false;
    }
    RunTool({S.wineserver, "-w"}, headless, 60);
    fs::path fonts = fs::path(S.prefixDir) / "drive_c/windows/Fonts";
    std::error_code error;
    fs::create_directories(fonts, error);
    int copied = 0;
    for (const auto &entry : fs::directory_iterator("/usr/share/wine/fonts", error)) {
        if (entry.path().extension() == ".fon" &&
            fs::copy_file(entry.path(), fonts / entry.path().filename(), fs::copy_options::overwrite_existing, error))
            copied++;
    }
    if (copied == 0) {
        *problem = "no Wine bitmap fonts in /usr/share/wine/fonts (package fonts-wine)";
        return false;
    }
    // Persistent for a minute after the last program, so a run that dies
    // leaves no server behind for long; TearDown ends it at once.
    if (RunTool({S.wineserver, "-p60"}, WineEnvironment(), 30, &log) != 0) {
        *problem = "wineserver -p failed: " + log;
        return false;
    }
    if (RunWine({"reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/t", "REG_SZ", "/d", "N", "/f"}) !=
        0) {
        *problem = "cannot set the X11 driver's Managed value";
        return false;
    }
    return true;
}

}  // namespace

// Images -------------------------------------------------------------------

Image Image::Crop(Rect r) const
{
    Image part(r.width, r.height);
    for (int y = 0; y < r.height; y++) {
        for (int x = 0; x < r.width; x++)
            part.At(x, y) = At(r.x + x, r.y + y);
    }
    return part;
}

void Image::Paste(const Image &from, int x0, int y0)
{
    for (int y = 0; y < from.height; y++) {
        for (int x = 0; x < from.width; x++) {
            if (x0 + x >= 0 && x0 + x < width && y0 + y >= 0 && y0 + y < height)
                At(x0 + x, y0 + y) = from.At(x, y);
        }
    }
}

static uint32_t Le32(const std::string &d, size_t at)
{
    return uint32_t((unsigned char)d[at]) | uint32_t((unsigned char)d[at + 1]) << 8 |
           uint32_t((unsigned char)d[at + 2]) << 16 | uint32_t((unsigned char)d[at + 3]) << 24;
}

static uint16_t Le16(const std::string &d, size_t at)
{
    return uint16_t((unsigned char)d[at] | (unsigned char)d[at + 1] << 8);
}

Image LoadBmp(const std::string &path)
{
    std::optional<std::string> file = ReadFile(path);
    if (!file || file->size() < 54 || file->compare(0, 2, "BM") != 0) {
        ADD_FAILURE() << "not a bitmap file: " << path;
        return {};
    }
    const std::string &d = *file;
    uint32_t bitsAt = Le32(d, 10), headerSize = Le32(d, 14);
    int32_t width = int32_t(Le32(d, 18)), height = int32_t(Le32(d, 22));
    uint16_t bits = Le16(d, 28);
    uint32_t compression = Le32(d, 30), used = Le32(d, 46);
    bool bottomUp = height > 0;
    height = bottomUp ? height : -height;
    size_t stride = ((size_t(width) * bits + 31) / 32) * 4;
    size_t paletteAt = 14 + headerSize;
    size_t colours = bits <= 8 ? (used ? used : 1u << bits) : 0;
    if (compression != 0 || width <= 0 || height <= 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) ||
        paletteAt + colours * 4 > bitsAt || bitsAt + stride * size_t(height) > d.size()) {
        ADD_FAILURE() << "unsupported or truncated bitmap: " << path;
        return {};
    }
    std::vector<uint32_t> palette(colours);
    for (size_t i = 0; i < colours; i++)
        palette[i] = Le32(d, paletteAt + 4 * i) & 0xFFFFFF;
    Image image(width, height);
    for (int y = 0; y < height; y++) {
        size_t row = bitsAt + stride * size_t(bottomUp ? height - 1 - y : y);
        for (int x = 0; x < width; x++) {
            uint32_t rgb;
            if (bits <= 8) {
                size_t bit = size_t(x) * bits;
                unsigned byte = (unsigned char)d[row + bit / 8];
                unsigned index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= colours) {
                    ADD_FAILURE() << path << ": colour index " << index << " past the palette";
                    return {};
                }
                rgb = palette[index];
            } else {
                size_t at = row + size_t(x) * (bits / 8);
                rgb = uint32_t((unsigned char)d[at + 2]) << 16 | uint32_t((unsigned char)d[at + 1]) << 8 |
                      (unsigned char)d[at];
            }
            image.At(x, y) = rgb;
        }
    }
    return image;
}

Image LoadResBmp(const std::string &name)
{
    return LoadBmp(S.resDir + "/" + name);
}

void SavePpm(const Image &image, const std::string &path)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width << " " << image.height << "\n255\n";
    for (uint32_t rgb : image.pixels) {
        char px[3] = {char(rgb >> 16), char(rgb >> 8), char(rgb)};
        out.write(px, 3);
    }
}

static std::string Hex(uint32_t rgb)
{
    char text[16];
    snprintf(text, sizeof text, "%06X", rgb & 0xFFFFFF);
    return text;
}

std::string DescribeDifference(const Image &actual, const Image &expected, const std::vector<Zone> &zones)
{
    if (actual.width != expected.width || actual.height != expected.height)
        return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) + " instead of " +
               std::to_string(expected.width) + "x" + std::to_string(expected.height);
    struct Tally {
        int differ = 0, total = 0, firstX = 0, firstY = 0;
        uint32_t got = 0, want = 0;
    };
    std::vector<Tally> tallies(zones.size() + 1);
    for (int y = 0; y < actual.height; y++) {
        for (int x = 0; x < actual.width; x++) {
            size_t zone = 0;
            while (zone < zones.size() && !zones[zone].rect.Contains(x, y))
                zone++;
            Tally &t = tallies[zone];
            t.total++;
            if (actual.At(x, y) != expected.At(x, y) && t.differ++ == 0) {
                t.firstX = x;
                t.firstY = y;
                t.got = actual.At(x, y);
                t.want = expected.At(x, y);
            }
        }
    }
    std::string text;
    for (size_t zone = 0; zone < tallies.size(); zone++) {
        const Tally &t = tallies[zone];
        if (t.differ == 0)
            continue;
        text += (text.empty() ? "" : "; ") + (zone < zones.size() ? zones[zone].name : std::string("rest")) + ": " +
                std::to_string(t.differ) + " of " + std::to_string(t.total) + " pixels differ, first at (" +
                std::to_string(t.firstX) + "," + std::to_string(t.firstY) + ") " + Hex(t.got) + " instead of " +
                Hex(t.want);
    }
    return text;
}

// Session ------------------------------------------------------------------

bool Ready()
{
    return S.ready;
}

const std::string &SkipReason()
{
    return S.skipReason;
}

const std::string &RunDir()
{
    return S.runDir;
}

const std::string &PrefixDir()
{
    return S.prefixDir;
}

const std::string &Win64Exe()
{
    return S.win64Exe;
}

const std::string &Win64BuildDir()
{
    static const std::string dir = AUTORUN_WIN64_BUILD_DIR;
    return dir;
}

const std::string &ResDir()
{
    return S.resDir;
}

int ScreenWidth()
{
    return S.screenWidth;
}

int ScreenHeight()
{
    return S.screenHeight;
}

void Session::SetUp()
{
    S.wine64 = Tool("AUTORUN_WINE64", "/usr/lib/wine/wine64");
    S.wineserver = Tool("AUTORUN_WINESERVER", "/usr/lib/wine/wineserver");
    S.xvfb = FindInPath("Xvfb");
    std::string missing;
    if (access(S.wine64.c_str(), X_OK) != 0 || access(S.wineserver.c_str(), X_OK) != 0)
        missing = "wine64 is not installed (" + S.wine64 + ", " + S.wineserver + ")";
    else if (S.xvfb.empty())
        missing = "Xvfb is not installed";
    if (!missing.empty()) {
        S.skipReason = missing;
        // ctest turns this line into a skip of the whole suite.
        printf("WINE SUITE SKIPPED: %s\n", missing.c_str());
        return;
    }
    S.skipReason = "the Wine session could not be set up (see the failure above)";
    if (access(S.win64Exe.c_str(), R_OK) != 0) {
        ADD_FAILURE() << S.win64Exe << " is missing: build it first with "
                      << "`cmake --preset win64 && cmake --build --preset win64`";
        return;
    }
    std::string pattern = (fs::temp_directory_path() / "autorun-wine.XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        ADD_FAILURE() << "mkdtemp failed";
        return;
    }
    S.runDir = pattern;
    S.prefixDir = S.runDir + "/prefix";
    S.tmpDir = S.runDir + "/tmp";
    S.logDir = S.runDir + "/logs";
    fs::create_directories(S.tmpDir);
    fs::create_directories(S.logDir);
    double start = Now();
    std::string problem;
    if (!StartXvfb(&problem) || !MakePrefix(&problem)) {
        ADD_FAILURE() << problem;
        return;
    }
    printf("Wine session ready in %.1f s: display %s, prefix %s\n", Now() - start, S.display.c_str(),
           S.prefixDir.c_str());
    fflush(stdout);
    S.ready = true;
}

void Session::TearDown()
{
    S.ready = false;
    if (!S.prefixDir.empty() && fs::exists(S.prefixDir))
        RunTool({S.wineserver, "-k"}, WineEnvironment(), 15);
    if (S.x) {
        XCloseDisplay(S.x);
        S.x = nullptr;
    }
    if (S.xvfbPid > 0) {
        kill(S.xvfbPid, SIGTERM);
        if (WaitChild(S.xvfbPid, 5) < 0)
            kill(S.xvfbPid, SIGKILL);
        S.xvfbPid = -1;
    }
    if (S.runDir.empty())
        return;
    if (getenv("AUTORUN_WINE_KEEP")) {
        printf("Wine run folder kept: %s\n", S.runDir.c_str());
        return;
    }
    std::error_code error;
    fs::remove_all(S.runDir, error);   // symlinks (dosdevices) are removed, not followed
}

// Files and drives ---------------------------------------------------------

std::string MakeFolder(const std::string &name)
{
    fs::path folder = fs::path(S.runDir) / name;
    std::error_code error;
    fs::remove_all(folder, error);
    fs::create_directories(folder, error);
    return folder.string();
}

bool CopyFile(const std::string &from, const std::string &to)
{
    std::error_code error;
    fs::create_directories(fs::path(to).parent_path(), error);
    return fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
}

bool WriteFile(const std::string &path, const std::string &content)
{
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    std::ofstream out(path, std::ios::binary);
    out << content;
    return bool(out);
}

std::optional<std::string> ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::optional<std::string> WaitForFile(const std::string &path, double timeoutSeconds)
{
    std::optional<std::string> content;
    WaitUntil(
        [&] {
            std::optional<std::string> now = ReadFile(path);
            bool steady = now && content && *now == *content;
            content = now;
            return steady;
        },
        timeoutSeconds, 0.02);
    return content;
}

std::string MakeDisc(const std::string &name, const std::vector<DiscFile> &extra)
{
    std::string disc = MakeFolder(name);
    if (!CopyFile(S.win64Exe, disc + "/autorun.exe"))
        ADD_FAILURE() << "cannot copy " << S.win64Exe << " to " << disc;
    for (const DiscFile &file : extra) {
        if (!CopyFile(file.from, disc + "/" + file.to))
            ADD_FAILURE() << "cannot copy " << file.from << " to " << disc << "/" << file.to;
    }
    return disc;
}

static std::string DrivePath(char letter)
{
    return S.prefixDir + "/dosdevices/" + char(tolower((unsigned char)letter)) + ":";
}

bool MapDrive(char letter, const std::string &unixDir)
{
    UnmapDrive(letter);
    std::error_code error;
    fs::create_directory_symlink(unixDir, DrivePath(letter), error);
    return !error;
}

void UnmapDrive(char letter)
{
    std::error_code error;
    fs::remove(DrivePath(letter), error);
}

std::string BuildLocale(const std::string &name)
{
    auto known = S.locales.find(name);
    if (known != S.locales.end())
        return known->second;
    std::string folder = S.runDir + "/locales";
    std::string input = name.substr(0, name.find('.'));
    std::string charmap = name.find('.') == std::string::npos ? "UTF-8" : name.substr(name.find('.') + 1);
    fs::create_directories(folder);
    std::string localedef = FindInPath("localedef");
    std::string log;
    int code = localedef.empty() ? -1
                                 : RunTool({localedef, "-i", input, "-f", charmap, folder + "/" + name},
                                           WineEnvironment(), 60, &log);
    // localedef answers 1 for warnings while still writing the locale.
    bool built = (code == 0 || code == 1) && fs::exists(folder + "/" + name);
    if (!built)
        ADD_FAILURE() << "localedef " << name << " failed: " << log;
    S.locales[name] = built ? folder : "";
    return S.locales[name];
}

// Programs -----------------------------------------------------------------

static std::vector<std::string> WineCommand(const Launch &launch)
{
    std::vector<std::string> argv = {S.wine64, launch.program};
    argv.insert(argv.end(), launch.args.begin(), launch.args.end());
    return argv;
}

static Environment LaunchEnvironment(const Launch &launch)
{
    Environment env = WineEnvironment();
    for (const auto &[name, value] : launch.env)
        env[name] = value;
    for (const std::string &name : launch.unsetEnv)
        env.erase(name);
    return env;
}

Program::~Program()
{
    Kill();
}

bool Program::Start(const Launch &launch)
{
    Kill();
    MovePointer(0, 0);
    log_ = NewLogPath(launch.program);
    pid_ = Spawn(WineCommand(launch), LaunchEnvironment(launch), launch.unixDir.empty() ? S.runDir : launch.unixDir,
                 log_);
    reaped_ = false;
    window_ = 0;
    outer_ = {};
    return pid_ > 0;
}

bool Program::WaitForWindow(double timeoutSeconds)
{
    std::optional<std::pair<unsigned long, Rect>> found;
    WaitUntil([&] { return (found = FindWindowOf(pid_)).has_value() || !Running(); }, timeoutSeconds, 0.01);
    if (!found)
        return false;
    window_ = found->first;
    outer_ = found->second;
    return true;
}

bool Program::Running()
{
    if (pid_ <= 0 || reaped_)
        return false;
    pid_t done = waitpid(pid_, &status_, WNOHANG);
    if (done == pid_ || done < 0)
        reaped_ = true;
    return !reaped_;
}

std::optional<int> Program::WaitExit(double timeoutSeconds)
{
    if (pid_ <= 0)
        return std::nullopt;
    if (!WaitUntil([&] { return !Running(); }, timeoutSeconds, 0.005))
        return std::nullopt;
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
}

void Program::Kill()
{
    if (Running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
        reaped_ = true;
    }
}

std::string Program::Output() const
{
    return log_.empty() ? "" : ReadFile(log_).value_or("");
}

int RunWine(const Launch &launch, double timeoutSeconds)
{
    std::string logPath = NewLogPath(launch.program);
    pid_t pid = Spawn(WineCommand(launch), LaunchEnvironment(launch),
                      launch.unixDir.empty() ? S.runDir : launch.unixDir, logPath);
    return pid < 0 ? -1 : WaitChild(pid, timeoutSeconds);
}

int RunWine(const std::vector<std::string> &commandLine, double timeoutSeconds)
{
    Launch launch;
    launch.program = commandLine.at(0);
    launch.args.assign(commandLine.begin() + 1, commandLine.end());
    return RunWine(launch, timeoutSeconds);
}

// The topmost visible top-level window that passes the test.
static std::optional<std::pair<unsigned long, Rect>> FindTopWindow(const std::function<bool(Window)> &wanted)
{
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!S.x || !XQueryTree(S.x, DefaultRootWindow(S.x), &root, &parent, &children, &count))
        return std::nullopt;
    std::optional<std::pair<unsigned long, Rect>> found;
    for (unsigned i = count; i-- > 0 && !found;) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(S.x, children[i], &attributes) && attributes.map_state == IsViewable &&
            attributes.width > 1 && attributes.height > 1 && wanted(children[i]))
            found = {{children[i], Rect{attributes.x, attributes.y, attributes.width, attributes.height}}};
    }
    if (children)
        XFree(children);
    return found;
}

std::optional<std::pair<unsigned long, Rect>> FindWindowOf(pid_t pid)
{
    Atom pidAtom = XInternAtom(S.x, "_NET_WM_PID", False);
    return FindTopWindow([&](Window window) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char *data = nullptr;
        bool match = XGetWindowProperty(S.x, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                                        &after, &data) == Success &&
                     data && items == 1 && format == 32 && pid_t(*(unsigned long *)data) == pid;
        if (data)
            XFree(data);
        return match;
    });
}

std::optional<std::pair<unsigned long, Rect>> FindWindowOfClass(const std::string &name)
{
    return FindTopWindow([&](Window window) {
        XClassHint hint = {};
        if (!XGetClassHint(S.x, window, &hint))
            return false;
        bool match = hint.res_name && strcasecmp(hint.res_name, name.c_str()) == 0;
        XFree(hint.res_name);
        XFree(hint.res_class);
        return match;
    });
}

// Registry -----------------------------------------------------------------

const char *const UninstallKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tervalon";

static const char *ViewSwitch(RegistryView view)
{
    return view == RegistryView::Bits32 ? "/reg:32" : "/reg:64";
}

bool RegAddValue(const std::string &key, const std::string &name, const std::string &type, const std::string &data,
                 RegistryView view)
{
    return RunWine({"reg", "add", key, "/v", name, "/t", type, "/d", data, "/f", ViewSwitch(view)}) == 0;
}

bool RegAddKey(const std::string &key, RegistryView view)
{
    return RunWine({"reg", "add", key, "/f", ViewSwitch(view)}) == 0;
}

bool RegDeleteKey(const std::string &key, RegistryView view)
{
    if (RunWine({"reg", "delete", key, "/f", ViewSwitch(view)}) == 0)
        return true;
    return RunWine({"reg", "query", key, ViewSwitch(view)}) != 0;
}

bool SetUninstallString(const std::string &command, RegistryView view)
{
    return RegAddValue(UninstallKey, "UninstallString", "REG_SZ", command, view);
}

bool DeleteUninstallEntry(RegistryView view)
{
    return RegDeleteKey(UninstallKey, view);
}

// Input and screen ---------------------------------------------------------

void MovePointer(int x, int y)
{
    XTestFakeMotionEvent(S.x, DefaultScreen(S.x), x, y, CurrentTime);
    XSync(S.x, False);
}

void ButtonDown(int button)
{
    XTestFakeButtonEvent(S.x, unsigned(button), True, CurrentTime);
    XSync(S.x, False);
}

void ButtonUp(int button)
{
    XTestFakeButtonEvent(S.x, unsigned(button), False, CurrentTime);
    XSync(S.x, False);
}

void Click(int button)
{
    ButtonDown(button);
    ButtonUp(button);
}

static KeyCode Key(const std::string &name)
{
    KeySym sym = XStringToKeysym(name.c_str());
    KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(S.x, sym);
    if (code == 0)
        ADD_FAILURE() << "no key " << name << " on the display's keyboard";
    return code;
}

void PressKey(const std::string &keysym, const std::vector<std::string> &modifiers)
{
    for (const std::string &modifier : modifiers)
        XTestFakeKeyEvent(S.x, Key(modifier), True, CurrentTime);
    XTestFakeKeyEvent(S.x, Key(keysym), True, CurrentTime);
    XTestFakeKeyEvent(S.x, Key(keysym), False, CurrentTime);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
        XTestFakeKeyEvent(S.x, Key(*it), False, CurrentTime);
    XSync(S.x, False);
}

unsigned long FocusWindow()
{
    Window focus = 0;
    int revert;
    XGetInputFocus(S.x, &focus, &revert);
    return focus;
}

void TakeActivation()
{
    XRaiseWindow(S.x, S.focusTaker);
    XSetInputFocus(S.x, S.focusTaker, RevertToPointerRoot, CurrentTime);
    XSync(S.x, False);
}

void GiveActivation(unsigned long window)
{
    XSetInputFocus(S.x, window, RevertToPointerRoot, CurrentTime);
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(S.x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(S.x, "WM_TAKE_FOCUS", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(S.x, window, False, NoEventMask, &event);
    XSync(S.x, False);
}

void FillOnWindow(unsigned long window, Rect rect, uint32_t rgb)
{
    GC gc = XCreateGC(S.x, window, 0, nullptr);
    XSetForeground(S.x, gc, rgb);
    XFillRectangle(S.x, window, gc, rect.x, rect.y, unsigned(rect.width), unsigned(rect.height));
    XFreeGC(S.x, gc);
    XSync(S.x, False);
}

Image Grab(Rect r)
{
    XImage *shot = XGetImage(S.x, DefaultRootWindow(S.x), r.x, r.y, unsigned(r.width), unsigned(r.height), AllPlanes,
                             ZPixmap);
    if (!shot) {
        ADD_FAILURE() << "XGetImage failed for " << r.width << "x" << r.height << "+" << r.x << "+" << r.y;
        return {};
    }
    Image image(r.width, r.height);
    for (int y = 0; y < r.height; y++) {
        if (shot->bits_per_pixel == 32 && shot->byte_order == LSBFirst) {
            const uint32_t *row = reinterpret_cast<const uint32_t *>(shot->data + size_t(y) * shot->bytes_per_line);
            for (int x = 0; x < r.width; x++)
                image.At(x, y) = row[x] & 0xFFFFFF;
        } else {
            for (int x = 0; x < r.width; x++)
                image.At(x, y) = uint32_t(XGetPixel(shot, x, y)) & 0xFFFFFF;
        }
    }
    XDestroyImage(shot);
    return image;
}

bool WaitUntil(const std::function<bool()> &done, double timeoutSeconds, double pollSeconds)
{
    double end = Now() + timeoutSeconds;
    for (;;) {
        if (done())
            return true;
        if (Now() > end)
            return false;
        Sleep(pollSeconds);
    }
}

std::string WaitForScreen(Rect screenRect, const Image &expected, const std::vector<Zone> &zones,
                          double timeoutSeconds)
{
    Image shot;
    if (WaitUntil([&] { return (shot = Grab(screenRect)).pixels == expected.pixels; }, timeoutSeconds))
        return "";
    std::string difference = DescribeDifference(shot, expected, zones);
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "session";
    for (char &c : name) {
        if (!isalnum((unsigned char)c) && c != '.')
            c = '_';
    }
    static int failures = 0;
    std::string base = std::string(AUTORUN_WINE_FAILURE_DIR) + "/" + name + "-" + std::to_string(++failures);
    std::error_code error;
    fs::create_directories(AUTORUN_WINE_FAILURE_DIR, error);
    SavePpm(shot, base + "-screen.ppm");
    SavePpm(expected, base + "-expected.ppm");
    return difference + " (screen and expected picture saved as " + base + "-*.ppm)";
}

}  // namespace winetest
