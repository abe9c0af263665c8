// Play, Install and Uninstall under Wine, with real child programs: copies of
// the probe stand in for setup.exe, the product and its uninstaller, and each
// writes down how it was started (module, command line, current directory,
// the "=D:" variable, its standard handles). The menu is driven as a person
// would: pointer onto a button, wait for it to light, press.
#include "menu_screen.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace {

using namespace winetest;
namespace fs = std::filesystem;

// The probes, built by the win64 preset: GUI and console subsystem.
std::string ProbeGui()
{
    return Win64BuildDir() + "/tests/wine/helpers/probe-gui.exe";
}

std::string ProbeConsole()
{
    return Win64BuildDir() + "/tests/wine/helpers/probe-console.exe";
}

// The pieces keep their trailing spaces, and the join adds one more.
const char *const UNINSTALL_LINE = "C:\\WIN\\REMOVE.EXE  -aC:\\GAMES\\DEMO\\REMOVE.LOG  -bC:\\GAMES\\DEMO\\EXTRA.DLL";

const char *const LANGUAGE_FOLDERS[] = {"Brazilian Portuguese", "Dutch", "English", "French", "German",
                                        "Italian", "Japanese", "LA Spanish", "Spanish", "Swedish"};

// Z: is the Unix root in every prefix.
std::string WindowsPath(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char &c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string Safe(std::string name)
{
    for (char &c : name) {
        if (!isalnum((unsigned char)c))
            c = '-';
    }
    return name;
}

// One probe's report file: "key=value" lines between "begin" and "end", one
// block per start.
struct Report {
    std::string text;
    int starts = 0, ends = 0;
    std::multimap<std::string, std::string> fields;

    bool Ended() const { return ends > 0 && ends == starts; }
    std::string Field(const std::string &key) const
    {
        auto it = fields.find(key);
        return it == fields.end() ? "(missing)" : it->second;
    }
    // The value of the per-drive variable "=X:", or "(none)"; several are joined by " | ".
    std::string DriveVariable(char drive) const
    {
        std::string prefix = std::string("=") + drive + ":=", found;
        auto [first, last] = fields.equal_range("drivevar");
        for (auto it = first; it != last; ++it) {
            if (it->second.rfind(prefix, 0) == 0)
                found += (found.empty() ? "" : " | ") + it->second.substr(prefix.size());
        }
        return found.empty() ? "(none)" : found;
    }
};

Report ParseReport(const std::string &text)
{
    Report report;
    report.text = text;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "begin")
            report.starts++;
        if (line == "end")
            report.ends++;
        size_t equals = line.find('=');
        if (equals != std::string::npos)
            report.fields.emplace(line.substr(0, equals), line.substr(equals + 1));
    }
    return report;
}

std::string ReadOr(const std::string &path, const std::string &fallback)
{
    return ReadFile(path).value_or(fallback);
}

// Field by field, what a started probe must have seen; "=X:" keys name the
// per-drive variable of drive X.
using Expected = std::vector<std::pair<std::string, std::string>>;

void ExpectReport(const Report &report, const Expected &expected)
{
    std::string wrong;
    if (report.starts != 1)
        wrong += "started " + std::to_string(report.starts) + " times\n";
    for (const auto &[key, value] : expected) {
        std::string seen = key.size() == 3 && key[0] == '=' && key[2] == ':' ? report.DriveVariable(key[1])
                                                                             : report.Field(key);
        if (seen != value)
            wrong += key + ": \"" + seen + "\" instead of \"" + value + "\"\n";
    }
    EXPECT_EQ("", wrong) << "the report:\n" << report.text;
}

std::string WithoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// What the Wine loader adds to its own environment when it re-executes itself.
const char *const LOADER_VARIABLES[] = {"WINELOADER=", "WINELOADERNOEXEC=", "WINEPRELOADRESERVE=",
                                        "WINESERVERSOCKET="};

// The environment of a wine64 process that the harness started, less what
// the loader added: the environment the harness gives every call on the
// prefix (the same TMPDIR, display and prefix, so the same wineserver).
std::vector<std::string> WineEnvironmentOf(pid_t pid)
{
    std::vector<std::string> environment;
    std::string all = ReadOr("/proc/" + std::to_string(pid) + "/environ", "");
    for (size_t at = 0, end; at < all.size(); at = end + 1) {
        end = all.find('\0', at);
        if (end == std::string::npos)
            end = all.size();
        std::string entry = all.substr(at, end - at);
        bool loader = std::any_of(std::begin(LOADER_VARIABLES), std::end(LOADER_VARIABLES),
                                  [&](const char *variable) { return entry.rfind(variable, 0) == 0; });
        if (!loader)
            environment.push_back(entry);
    }
    bool wine = std::any_of(environment.begin(), environment.end(),
                            [](const std::string &entry) { return entry.rfind("WINEPREFIX=", 0) == 0; });
    if (!wine)
        ADD_FAILURE() << "no WINEPREFIX in the environment of process " << pid;
    return wine ? environment : std::vector<std::string>{};
}

// A wine64 process with standard input, output and error on three files of
// their own, which the harness's Program does not offer. It is ended by its
// pid if it still runs at the end.
class RedirectedProgram {
public:
    RedirectedProgram() = default;
    RedirectedProgram(const RedirectedProgram &) = delete;
    RedirectedProgram &operator=(const RedirectedProgram &) = delete;
    ~RedirectedProgram() { Kill(); }

    bool Start(const std::vector<std::string> &environment, const Launch &launch, const std::string &in,
               const std::string &out, const std::string &err)
    {
        // The loader as the harness finds it.
        const char *wine64 = getenv("AUTORUN_WINE64");
        std::string loader = wine64 && *wine64 ? wine64 : "/usr/lib/wine/wine64";
        std::vector<std::string> argv = {loader, launch.program};
        std::vector<char *> args, envp;
        for (std::string &arg : argv)
            args.push_back(arg.data());
        args.push_back(nullptr);
        std::vector<std::string> env = environment;
        for (const auto &[name, value] : launch.env) {
            auto same = [&](const std::string &entry) { return entry.rfind(name + "=", 0) == 0; };
            env.erase(std::remove_if(env.begin(), env.end(), same), env.end());
            env.push_back(name + "=" + value);
        }
        for (std::string &entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        MovePointer(0, 0);
        pid_t parent = getpid();
        pid_ = fork();
        if (pid_ != 0)
            return pid_ > 0;
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        int fds[3] = {open(in.c_str(), O_RDONLY), open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
                      open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)};
        for (int fd = 0; fd < 3; fd++) {
            if (fds[fd] < 0 || dup2(fds[fd], fd) < 0)
                _exit(127);
        }
        for (int fd = 3; fd < 1024; fd++)
            close(fd);
        if (chdir(launch.unixDir.c_str()) != 0)
            _exit(127);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }

    pid_t Pid() const { return pid_; }

    std::optional<int> WaitExit(double timeoutSeconds)
    {
        int status = 0;
        bool ended = WaitUntil([&] { return pid_ <= 0 || waitpid(pid_, &status, WNOHANG) == pid_; }, timeoutSeconds,
                               0.005);
        if (!ended || pid_ <= 0)
            return std::nullopt;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    void Kill()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
};

class Launching : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_WINE();
        for (const std::string &probe : {ProbeGui(), ProbeConsole()}) {
            ASSERT_TRUE(fs::exists(probe)) << probe << " is missing: build it with `cmake --build --preset win64`";
        }
    }

    void TearDown() override
    {
        if (menu_.Running()) {
            menu_.Kill();
            ADD_FAILURE() << "the menu was still running at the end; it said: " << menu_.Output();
        }
        if (registered_) {
            EXPECT_TRUE(DeleteUninstallEntry());
        }
        if (productFiles_) {
            std::error_code error;
            fs::remove_all(PrefixDir() + "/drive_c/GAMES", error);
            fs::remove_all(PrefixDir() + "/drive_c/WIN", error);
        }
    }

    // A fresh folder for the probes' reports, handed to them through the
    // menu's environment.
    void NewReports(const std::string &name)
    {
        reports_ = MakeFolder("reports-" + Safe(name));
        SetEnv("PROBE_REPORTS", WindowsPath(reports_));
    }

    void SetEnv(const std::string &name, const std::string &value)
    {
        for (auto &entry : launch_.env) {
            if (entry.first == name) {
                entry.second = value;
                return;
            }
        }
        launch_.env.emplace_back(name, value);
    }

    std::string ReportPath(const std::string &program) const { return reports_ + "/" + program + ".txt"; }

    // The report of a probe once it has ended.
    Report WaitForReport(const std::string &program)
    {
        double timeoutSeconds = HasFailure() ? 1 : 10;
        Report report;
        bool ended = WaitUntil(
            [&] {
                report = ParseReport(ReadOr(ReportPath(program), ""));
                return report.Ended();
            },
            timeoutSeconds, 0.01);
        EXPECT_TRUE(ended) << program << " did not report its end; report so far:\n"
                           << report.text << "\nthe menu said: " << menu_.Output();
        return report;
    }

    // The product installed in C:\GAMES\DEMO with its uninstaller in C:\WIN,
    // and its entry in the registry, as the worked example describes it.
    void InstallProduct()
    {
        std::string drive = PrefixDir() + "/drive_c";
        productFiles_ = true;
        ASSERT_TRUE(CopyFile(ProbeGui(), drive + "/GAMES/DEMO/tervalon.com"));
        ASSERT_TRUE(CopyFile(ProbeGui(), drive + "/GAMES/DEMO/tervalon.exe"));
        ASSERT_TRUE(CopyFile(ProbeGui(), drive + "/WIN/REMOVE.EXE"));
        registered_ = true;
        ASSERT_TRUE(SetUninstallString(COMMAND));
    }

    void RemoveProductEntry()
    {
        ASSERT_TRUE(DeleteUninstallEntry());
    }

    // Starts the menu and waits for its first picture.
    void StartMenu(bool installed)
    {
        ASSERT_TRUE(menu_.Start(launch_));
        ASSERT_TRUE(menu_.WaitForWindow()) << "no window; the program said: " << menu_.Output();
        outer_ = menu_.Outer();
        Expect(installed, NONE, "first picture");
    }

    Rect Client() const { return {outer_.x + FRAME, outer_.y + FRAME, CLIENT_WIDTH, CLIENT_HEIGHT}; }

    Rect ButtonOnScreen(int button) const
    {
        return {Client().x + Buttons[button].left, Client().y + Buttons[button].top, BUTTON_WIDTH, BUTTON_HEIGHT};
    }

    void Expect(bool installed, int lit, const std::string &when)
    {
        double timeout = HasFailure() ? 0.3 : 3;
        EXPECT_EQ("", WaitForScreen(Client(), MenuPicture(installed, lit), {}, timeout))
            << when << ": expected " << Describe(installed, lit);
    }

    // Hit zones are measured from the outer window rectangle.
    void PointAt(int px, int py) { MovePointer(outer_.x + px, outer_.y + py); }

    void PointAtButton(int button, int offset = 0)
    {
        PointAt(FRAME + Buttons[button].left + BUTTON_WIDTH / 2 + offset,
                FRAME + Buttons[button].top + BUTTON_HEIGHT / 2);
    }

    // Pointer onto the button; once it lights up, the left button pressed.
    void Press(int button)
    {
        PointAtButton(button);
        ASSERT_EQ("", WaitForScreen(ButtonOnScreen(button), Picture(Buttons[button].highlighted)))
            << Buttons[button].name << " does not light up under the pointer";
        Click(1);
    }

    // A successful Play or Install ends the menu with 0 at once.
    void ExpectMenuEnds(const std::string &after)
    {
        std::optional<int> code = menu_.WaitExit(HasFailure() ? 1 : 5);
        ASSERT_TRUE(code.has_value()) << "the menu still runs after " << after;
        EXPECT_EQ(0, *code) << "exit code after " << after;
    }

    Launch launch_;
    Program menu_;
    Rect outer_;
    std::string reports_;
    bool registered_ = false;
    bool productFiles_ = false;
    std::vector<std::string> environment_;
};

TEST_F(Launching, InstallStartsTheSetupOfTheUserLanguage)
{
    // Every folder has its setup, so only the module tells which one started.
    std::vector<DiscFile> files;
    for (const char *folder : LANGUAGE_FOLDERS)
        files.push_back({ProbeGui(), std::string(folder) + "/setup.exe"});
    const std::string disc = MakeDisc("launch-languages", files);
    ASSERT_TRUE(MapDrive('d', disc));
    RemoveProductEntry();
    launch_.unixDir = disc;
    // The setup's own exit code must not become the menu's.
    SetEnv("PROBE_EXIT", "7");

    const struct {
        const char *locale;
        const char *folder;
    } cases[] = {
        {"de_DE.UTF-8", "German"},
        {"es_ES.UTF-8", "Spanish"},
        {"es_MX.UTF-8", "LA Spanish"},
        {"pt_BR.UTF-8", "Brazilian Portuguese"},
        {"pt_PT.UTF-8", "Brazilian Portuguese"},
        {"ja_JP.UTF-8", "English"},
        {"en_US.UTF-8", "English"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.locale);
        std::string locales = BuildLocale(c.locale);
        ASSERT_FALSE(locales.empty());
        SetEnv("LC_ALL", c.locale);
        SetEnv("LOCPATH", locales);
        NewReports(std::string("language-") + c.locale);
        StartMenu(false);
        Press(INSTALL);
        ExpectMenuEnds("Install");
        std::string folder = std::string("D:\\") + c.folder;
        ExpectReport(WaitForReport("setup.exe"), {{"module", folder + "\\setup.exe"},
                                                  {"cmdline", "setup.exe"},
                                                  {"cwd", folder},
                                                  {"=D:", folder},
                                                  {"argc", "1"},
                                                  {"argv0", "setup.exe"},
                                                  {"stdout", "ok"},
                                                  {"exit", "7"}});
        // The setup wrote through the standard output it inherited.
        EXPECT_NE(std::string::npos, menu_.Output().find("stdout of setup.exe")) << menu_.Output();
    }
}

TEST_F(Launching, InstallUsesTheFolderBesideTheMenuWhereverItIsStarted)
{
    const struct {
        const char *name;
        std::string menuFolder;   // on D:, "" for the root
        std::vector<DiscFile> files;
        bool startInDrive;   // else in a folder of Z:
        const char *folder;
    } cases[] = {
        // Started from elsewhere: the folder comes from the menu's own path.
        {"root of D:", "", {{ProbeGui(), "English/setup.exe"}}, false, "D:\\English"},
        // A setup in the drive's own English folder must not be taken.
        {"sub-folder of D:",
         "Menu",
         {{ProbeGui(), "English/setup.exe"}, {ProbeGui(), "Menu/English/setup.exe"}},
         true,
         "D:\\Menu\\English"},
    };
    RemoveProductEntry();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string drive = MakeFolder("launch-" + Safe(c.name));
        std::string menuPath = c.menuFolder.empty() ? "autorun.exe" : c.menuFolder + "/autorun.exe";
        ASSERT_TRUE(CopyFile(Win64Exe(), drive + "/" + menuPath));
        for (const DiscFile &file : c.files) {
            ASSERT_TRUE(CopyFile(file.from, drive + "/" + file.to));
        }
        ASSERT_TRUE(MapDrive('d', drive));
        launch_.program = "D:\\" + (c.menuFolder.empty() ? "" : c.menuFolder + "\\") + "autorun.exe";
        launch_.unixDir = c.startInDrive ? drive : RunDir();
        NewReports(c.name);
        StartMenu(false);
        Press(INSTALL);
        ExpectMenuEnds("Install");
        std::string folder = c.folder;
        ExpectReport(WaitForReport("setup.exe"), {{"module", folder + "\\setup.exe"},
                                                  {"cmdline", "setup.exe"},
                                                  {"cwd", folder},
                                                  {"=D:", folder}});
    }
}

TEST_F(Launching, InstallFindsSetupAlongPathWhenTheLanguageFolderIsMissing)
{
    // No English folder; the German one must not stand in for it.
    const std::string disc = MakeDisc("launch-path", {{ProbeGui(), "bin/setup.exe"}, {ProbeGui(), "German/setup.exe"}});
    ASSERT_TRUE(MapDrive('d', disc));
    RemoveProductEntry();
    launch_.unixDir = disc;
    SetEnv("LC_ALL", "en_US.UTF-8");
    SetEnv("LOCPATH", BuildLocale("en_US.UTF-8"));
    SetEnv("WINEPATH", "D:\\bin");
    NewReports("path");
    StartMenu(false);
    Press(INSTALL);
    ExpectMenuEnds("Install");
    // The change into the missing folder failed: it starts where the menu was started.
    ExpectReport(WaitForReport("setup.exe"),
                 {{"module", "D:\\bin\\setup.exe"}, {"cmdline", "setup.exe"}, {"cwd", "D:\\"}, {"argc", "1"}});
}

TEST_F(Launching, InstallWithoutAnySetupKeepsTheMenuAndRepaintsIt)
{
    // The menu in D:\Menu, started from D:\, with no language folder at all.
    const std::string drive = MakeFolder("launch-nosetup");
    ASSERT_TRUE(CopyFile(Win64Exe(), drive + "/Menu/autorun.exe"));
    ASSERT_TRUE(MapDrive('d', drive));
    InstallProduct();
    launch_.program = "D:\\Menu\\autorun.exe";
    launch_.unixDir = drive;
    NewReports("nosetup");
    StartMenu(true);

    // An inactive menu would be repainted by the activation a press brings.
    ASSERT_TRUE(WaitUntil([&] { return FocusWindow() == menu_.Window(); }, 2))
        << "the menu does not hold the focus; it is on " << FocusWindow();

    // Mark the title behind Wine's back: only a repaint of the whole picture
    // brings it back, as hit tests redraw the buttons alone. A press on the
    // background, which starts nothing, must leave the mark.
    const Rect patch = {FRAME + 180, FRAME + 140, 280, 120};
    const uint32_t mark = 0xFF00FF;
    const Rect patchOnScreen = {outer_.x + patch.x, outer_.y + patch.y, patch.width, patch.height};
    // Wine may still deliver a late activation with the first press, so the
    // press is repeated until one leaves the mark.
    std::string control;
    for (int attempt = 0; attempt < 3; attempt++) {
        FillOnWindow(menu_.Window(), patch, mark);
        PointAt(320, 300);
        Click(1);
        PointAtButton(EXIT);
        ASSERT_EQ("", WaitForScreen(ButtonOnScreen(EXIT), Picture("exit_hot.bmp")));
        control = DescribeDifference(Grab(patchOnScreen), Image(patch.width, patch.height, mark));
        if (control.empty())
            break;
    }
    ASSERT_EQ("", control) << "every press on the background repainted the menu";

    Press(INSTALL);
    Image background = Picture("background.bmp").Crop({patch.x - FRAME, patch.y - FRAME, patch.width, patch.height});
    EXPECT_EQ("", WaitForScreen(patchOnScreen, background)) << "no repaint after the failed Install";
    PointAtButton(EXIT);
    Expect(true, EXIT, "pointer on Exit after the failed Install");
    ASSERT_TRUE(menu_.Running()) << "the menu ended although nothing was started";

    // The failed Install changed back to the menu's folder, where the
    // uninstaller now starts.
    Press(UNINSTALL);
    ExpectReport(WaitForReport("REMOVE.EXE"), {{"cmdline", UNINSTALL_LINE}, {"cwd", "D:\\Menu"}});
    EXPECT_FALSE(fs::exists(ReportPath("setup.exe")));
    PointAtButton(EXIT);
    Expect(true, EXIT, "pointer on Exit after Uninstall");
    Click(1);
    ExpectMenuEnds("Exit");
}

TEST_F(Launching, PlayStartsTervalonComInTheInstallationFolder)
{
    const std::string disc = MakeDisc("launch-play");
    ASSERT_TRUE(MapDrive('d', disc));
    InstallProduct();
    launch_.unixDir = disc;
    NewReports("play");
    StartMenu(true);
    Press(PLAY);
    ExpectMenuEnds("Play");
    ExpectReport(WaitForReport("tervalon.com"), {{"module", "C:\\GAMES\\DEMO\\tervalon.com"},
                                                 {"cmdline", "tervalon"},
                                                 {"cwd", "C:\\GAMES\\DEMO"},
                                                 {"=C:", "C:\\GAMES\\DEMO"},
                                                 {"argc", "1"},
                                                 {"argv0", "tervalon"},
                                                 {"stdout", "ok"}});
    EXPECT_FALSE(fs::exists(ReportPath("tervalon.exe"))) << "tervalon.exe was started too";
}

TEST_F(Launching, UninstallRunsTheCommandAndWaitsForItsEnd)
{
    const std::string disc = MakeDisc("launch-uninstall");
    ASSERT_TRUE(MapDrive('d', disc));
    InstallProduct();
    launch_.unixDir = disc;
    NewReports("uninstall");
    SetEnv("PROBE_DELETE_ENTRY", "1");
    SetEnv("PROBE_SLEEP_MS", "1500");
    SetEnv("PROBE_EXIT", "3");
    StartMenu(true);
    Press(UNINSTALL);

    // The uninstaller has removed the entry and now lingers. The menu must
    // neither light Exit under the pointer nor show the new state until it
    // has ended. Each screen is taken before the report is read, so a change
    // seen while the report is still open happened during the wait.
    ASSERT_TRUE(WaitUntil([&] { return ParseReport(ReadOr(ReportPath("REMOVE.EXE"), "")).Field("sleep") == "1500"; },
                          10, 0.01))
        << "the uninstaller did not start; the menu said: " << menu_.Output();
    const Image waiting = MenuPicture(true, UNINSTALL);
    PointAtButton(EXIT);
    int looks = 0;
    bool ended = WaitUntil(
        [&] {
            Image shot = Grab(Client());
            if (ParseReport(ReadOr(ReportPath("REMOVE.EXE"), "")).Ended())
                return true;
            looks++;
            EXPECT_EQ("", DescribeDifference(shot, waiting)) << "the menu reacted while the uninstaller ran";
            return shot.pixels != waiting.pixels;
        },
        10, 0.02);
    ASSERT_TRUE(ended) << "the uninstaller did not end";
    EXPECT_GT(looks, 10) << "too few looks at the screen while the uninstaller ran";

    Report report = WaitForReport("REMOVE.EXE");
    ExpectReport(report, {{"module", "C:\\WIN\\REMOVE.EXE"},
                          {"cmdline", UNINSTALL_LINE},
                          {"cwd", "D:\\"},
                          {"argc", "3"},
                          {"argv0", "C:\\WIN\\REMOVE.EXE"},
                          {"argv1", "-aC:\\GAMES\\DEMO\\REMOVE.LOG"},
                          {"argv2", "-bC:\\GAMES\\DEMO\\EXTRA.DLL"},
                          {"stdout", "ok"},
                          {"deleted", "0"},
                          {"exit", "3"}});
    registered_ = report.Field("deleted") != "0";

    // Then the repaint reads the registry afresh: Play and Uninstall are
    // unavailable, and a press on Play starts nothing.
    PointAtButton(EXIT, 5);
    Expect(false, EXIT, "after the uninstaller ended");
    PointAtButton(PLAY);
    Expect(false, NONE, "pointer on the unavailable Play");
    Click(1);
    // Input is handled in order: once Install lights up, the press is past.
    PointAtButton(INSTALL);
    Expect(false, INSTALL, "pointer on Install after the press on Play");
    EXPECT_TRUE(menu_.Running()) << "the press on Play ended the menu";
    EXPECT_FALSE(fs::exists(ReportPath("tervalon.com")) || fs::exists(ReportPath("tervalon.exe")))
        << "the press on the unavailable Play started the product";
    // The pieces of the removed entry are still held; a press on the
    // unavailable Uninstall must not run them again.
    PointAtButton(UNINSTALL);
    Expect(false, NONE, "pointer on the unavailable Uninstall");
    Click(1);
    PointAtButton(INSTALL);
    Expect(false, INSTALL, "pointer on Install after the press on Uninstall");
    std::string removals = ReadOr(ReportPath("REMOVE.EXE"), "");
    size_t starts = 0;
    for (size_t at = removals.find("begin"); at != std::string::npos; at = removals.find("begin", at + 1))
        starts++;
    EXPECT_EQ(starts, 1u) << "the press on the unavailable Uninstall ran the uninstaller again";
    PointAtButton(EXIT);
    Expect(false, EXIT, "pointer on Exit");
    Click(1);
    ExpectMenuEnds("Exit");
}

TEST_F(Launching, StandardHandlesReachTheSetupThroughTheMenu)
{
    // The menu's standard input, output and error are three files, handed to
    // wine64 below Wine. A console setup gets a console window of its own
    // (as on Windows), so its C runtime writes to the menu's files and reads
    // the menu's input only through the handle table that the menu passes in
    // the startup record. Started through cmd instead, the console setup got
    // the files even from a menu that passed no table; hence wine64 is
    // started here directly.
    const std::string input = "typed for the setup";
    const struct {
        const char *name;
        std::string probe;
        bool readsInput;
    } cases[] = {{"console setup", ProbeConsole(), true}, {"GUI setup", ProbeGui(), false}};
    RemoveProductEntry();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string disc = MakeDisc("launch-" + Safe(c.name), {{c.probe, "English/setup.exe"}});
        ASSERT_TRUE(MapDrive('d', disc));
        NewReports(c.name);
        launch_.unixDir = disc;
        if (environment_.empty()) {
            StartMenu(false);
            environment_ = WineEnvironmentOf(menu_.Pid());
            menu_.Kill();
            ASSERT_FALSE(environment_.empty());
        }
        const std::string in = reports_ + "/menu-in.txt", out = reports_ + "/menu-out.txt",
                          err = reports_ + "/menu-err.txt";
        ASSERT_TRUE(WriteFile(in, input + "\r\n"));
        RedirectedProgram menu;
        ASSERT_TRUE(menu.Start(environment_, launch_, in, out, err));
        std::optional<std::pair<unsigned long, Rect>> window;
        ASSERT_TRUE(WaitUntil([&] { return (window = FindWindowOf(menu.Pid())).has_value(); }, 10, 0.01))
            << "no window";
        outer_ = window->second;
        Expect(false, NONE, "first picture");
        Press(INSTALL);
        std::optional<int> code = menu.WaitExit(5);
        ASSERT_TRUE(code.has_value()) << "the menu still runs after Install";
        EXPECT_EQ(0, *code);
        Report report = WaitForReport("setup.exe");
        Expected expected = {{"cmdline", "setup.exe"}, {"cwd", "D:\\English"}, {"stdout", "ok"}};
        if (c.readsInput)
            expected.push_back({"stdin", input});
        ExpectReport(report, expected);
        EXPECT_EQ("stdout of setup.exe\n", WithoutCarriageReturns(ReadOr(out, "(no file)")))
            << "the menu's standard output";
        EXPECT_EQ("stderr of setup.exe\n", WithoutCarriageReturns(ReadOr(err, "(no file)")))
            << "the menu's standard error";
    }
}

}  // namespace
