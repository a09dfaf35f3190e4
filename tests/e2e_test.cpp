// The whole program, run as a player runs it: a pseudo-terminal for its console, keys typed
// into it, and standard output sent to a file and compared byte for byte. ORVANE_PROGRAM names
// the program; with ORVANE_UNDER_WINE set it is the Windows program, run under Wine.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/console_text.h"
#include "app/texts.h"
#include "save_fixtures.h"
#include "test_files.h"

namespace {

namespace fs = testfiles::fs;
using Files = std::map<std::string, std::string>;
using Clock = std::chrono::steady_clock;

bool UnderWine() { return std::getenv("ORVANE_UNDER_WINE") != nullptr; }

std::string ProgramPath() {
    const char* program = std::getenv("ORVANE_PROGRAM");
    return program != nullptr ? program : "";
}

int RunQuietly(const std::vector<std::string>& argv) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Under Wine every test shares one throwaway prefix, with its server kept running.
class WineEnvironment : public testing::Environment {
public:
    void SetUp() override {
        if (!UnderWine()) return;
        prefix_ = std::make_unique<testfiles::ScopedTempDir>();
        setenv("WINEPREFIX", prefix_->path().c_str(), 1);
        RunQuietly({"wineserver", "-p"});
        RunQuietly({"wineboot", "-i"});
    }
    void TearDown() override {
        if (!UnderWine()) return;
        RunQuietly({"wineserver", "-k"});
        prefix_.reset();
    }

private:
    std::unique_ptr<testfiles::ScopedTempDir> prefix_;
};

const testing::Environment* const kWine = testing::AddGlobalTestEnvironment(new WineEnvironment);

// The game's installation as the registry names it.
class Installation {
public:
    Installation() {
        if (!UnderWine()) {
            setenv("WINEPREFIX", prefix_.path().c_str(), 1);
            fs::create_directories(prefix_.path() / "dosdevices");
            fs::create_symlink("/", prefix_.path() / "dosdevices" / "z:");
        }
    }
    ~Installation() {
        if (!UnderWine()) unsetenv("WINEPREFIX");
    }
    const fs::path& dir() const { return dir_.path(); }

    // Records the installation directory in the registry, or no key at all.
    void Register(bool installed) {
        std::string windowsPath = "Z:" + fs::canonical(dir_.path()).string();
        for (char& c : windowsPath) c = c == '/' ? '\\' : c;
        if (UnderWine()) {
            RunQuietly({"wine", "reg", "delete", "HKCU\\Software\\Quilmo\\Orvane", "/f"});
            if (installed) {
                ASSERT_EQ(RunQuietly({"wine", "reg", "add", "HKCU\\Software\\Quilmo\\Orvane", "/v",
                                      "InstallDir", "/d", windowsPath, "/f"}),
                          0);
            }
            return;
        }
        std::string hive = "WINE REGISTRY Version 2\n\n#arch=win64\n\n";
        if (installed) {
            std::string escaped;
            for (char c : windowsPath) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
            hive += "[Software\\\\Quilmo\\\\Orvane] 1796985742\n\"InstallDir\"=\"" + escaped + "\"\n";
        }
        testfiles::WriteFile(prefix_.path() / "user.reg", hive);
    }

private:
    testfiles::ScopedTempDir prefix_;
    testfiles::ScopedTempDir dir_;
};

std::string Said(const char* text) {
    std::string said = FormatText("%s", text);
    if (!UnderWine()) return said;
    std::string crlf;  // the Windows program's stdout is in text mode
    for (char c : said) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

std::string SaidSlot(int slot) { return Said(FormatText(texts::kCorrectingSlot, slot).c_str()); }

struct Finished {
    std::string output;
    int exitStatus = -1;
    bool finished = false;
};

// Keys typed at one moment: after the output holds `after`, once the console reads keys.
struct Keys {
    std::string after;
    std::vector<std::string> presses;
};

class Terminal {
public:
    explicit Terminal(const fs::path& output) : output_(output) {}

    Finished Start(const std::vector<Keys>& script, bool withConsole,
              const std::vector<std::string>& extraArgs) {
        std::vector<std::string> argv;
        if (UnderWine()) argv.push_back("wine");
        argv.push_back(ProgramPath());
        argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
        pid_t pid = withConsole ? forkpty(&master_, nullptr, nullptr, nullptr) : fork();
        if (pid == 0) Exec(argv, withConsole);
        std::atomic<bool> done{false};
        std::thread drain;
        if (withConsole) drain = std::thread([&] { Drain(done); });
        Finished run;
        bool typed = true;
        for (const Keys& keys : script) {
            if (!(typed = WaitForOutput(keys.after))) break;
            for (const std::string& press : keys.presses) {
                WaitForRawMode();
                if (write(master_, press.data(), press.size()) < 0) typed = false;
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
            }
        }
        run.finished = typed && Wait(pid, run.exitStatus);
        if (!run.finished) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        done = true;
        if (drain.joinable()) drain.join();
        if (master_ >= 0) close(master_);
        run.output = testfiles::ReadFile(output_);
        return run;
    }

private:
    [[noreturn]] void Exec(const std::vector<std::string>& argv, bool withConsole) {
        if (!withConsole) setsid();  // no console at all
        const int out = open(output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = open("/dev/null", O_RDWR);
        dup2(out, 1);
        dup2(null, 2);
        if (!withConsole) dup2(null, 0);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }

    void Drain(std::atomic<bool>& done) {
        char buffer[4096];
        while (!done) {
            pollfd wait{master_, POLLIN, 0};
            if (poll(&wait, 1, 50) == 1 && read(master_, buffer, sizeof buffer) <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
    }

    bool WaitForOutput(const std::string& text) {
        const auto deadline = Clock::now() + std::chrono::seconds(60);
        while (testfiles::ReadFile(output_).find(text) == std::string::npos) {
            if (Clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    // The native program switches the terminal to raw mode while it waits for a key; Wine's
    // console does so once. Either way a key typed now arrives as a key.
    void WaitForRawMode() {
        const auto deadline = Clock::now() + std::chrono::seconds(UnderWine() ? 2 : 10);
        termios mode{};
        while (tcgetattr(master_, &mode) == 0 && (mode.c_lflag & ICANON) != 0 &&
               Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    static bool Wait(pid_t pid, int& exitStatus) {
        const auto deadline = Clock::now() + std::chrono::seconds(60);
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return true;
    }

    fs::path output_;
    int master_ = -1;
};

const std::string kSave = savefixtures::MakeSave(
    "$scriptFilename\tch02.s\n$stackPointer\t1\n$lastScriptPointer\t5120\n$flag\t1\n_t\nplain\n");
const std::string kSaveCorrected = savefixtures::MakeSave(
    "$scriptFilename\tch02.s\n$stackPointer\t1\n$lastScriptPointer\t4\nplain\n");
const std::string kSave2 = savefixtures::MakeSave("$lastScriptPointer\t9\r\n$scriptFilename\tb\r\n");
const std::string kSave2Corrected = savefixtures::MakeSave("$lastScriptPointer\t4\n$scriptFilename\tb\r\n");

const Files kInstalled = {{"scr000.sav", kSave}, {"scr003.sav", kSave2}, {"a0.dat", "read"},
                          {"S01.DAT", "read"}, {"a0.data", "kept"}, {"game.exe", "MZ"}};
const Files kCorrected = {{"scr000.sav", kSaveCorrected}, {"scr000.old", kSave},
                          {"scr003.sav", kSave2Corrected}, {"scr003.old", kSave2},
                          {"a0.data", "kept"}, {"game.exe", "MZ"}};

struct DialogueCase {
    const char* name;
    bool nativeOnly;  // Wine's console passes no Escape, function keys or Ctrl+C to the program
    bool installed;
    bool withConsole;
    std::vector<std::string> args;
    std::vector<std::string> atPrompt;
    std::vector<std::string> atEnd;
    std::string said;  // after the banner
    Files after;
};

TEST(Program, RunsTheDialogue) {
    if (ProgramPath().empty() || !fs::exists(ProgramPath())) {
        GTEST_SKIP() << "no program at ORVANE_PROGRAM=" << ProgramPath();
    }
    const std::string confirmed = Said(texts::kNotice) + Said(texts::kPrompt) +
                                  Said(texts::kYes) + Said(texts::kPurgingReadHistory) +
                                  Said(texts::kCorrectingSaves) + SaidSlot(0) + SaidSlot(3) +
                                  Said(texts::kDone);
    const std::string declined = Said(texts::kNotice) + Said(texts::kPrompt) + Said(texts::kNo);
    const DialogueCase cases[] = {
        {"y confirms; other keys at the prompt change nothing", false, true, true, {},
         {"x", "1", " ", "\r", "\x1b[A", "y"}, {"k"}, confirmed, kCorrected},
        {"Y confirms", false, true, true, {}, {"Y"}, {"\r"}, confirmed, kCorrected},
        {"n declines and touches nothing", false, true, true, {}, {"n"}, {"k"}, declined,
         kInstalled},
        {"N declines; arguments are ignored", false, true, true, {"--force", "y"}, {"N"}, {" "},
         declined, kInstalled},
        {"not installed: no notice, no prompt", false, false, true, {}, {}, {"k"},
         Said(texts::kNotInstalled), kInstalled},
        {"no console: the answer is no and the program ends", false, true, false, {}, {}, {},
         declined, kInstalled},
        {"Escape, function keys and Ctrl+C at the prompt change nothing", true, true, true, {},
         {"\x1b", "\x1bOP", "\x1b[21~", "\x1b[24~", "\x03", "\x1a", "y"}, {"k"}, confirmed,
         kCorrected},
        {"Ctrl+C at the closing request ends the program like any key", true, true, true, {},
         {"n"}, {"\x03"}, declined, kInstalled},
        {"Escape at the closing request ends the program", true, false, true, {}, {}, {"\x1b"},
         Said(texts::kNotInstalled), kInstalled},
    };
    for (const DialogueCase& row : cases) {
        if (row.nativeOnly && UnderWine()) continue;
        SCOPED_TRACE(row.name);
        Installation installation;
        for (const auto& [name, bytes] : kInstalled) {
            testfiles::WriteFile(installation.dir() / name, bytes);
        }
        installation.Register(row.installed);
        testfiles::ScopedTempDir outputDir;
        Terminal terminal(outputDir.path() / "stdout");
        std::vector<Keys> script;
        if (!row.atPrompt.empty()) script.push_back({Said(texts::kPrompt), row.atPrompt});
        if (!row.atEnd.empty()) script.push_back({Said(texts::kPressAnyKey), row.atEnd});
        const Finished run = terminal.Start(script, row.withConsole, row.args);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.output, Said(texts::kBanner) + row.said + Said(texts::kPressAnyKey) +
                                  Said(texts::kLineEnd));
        EXPECT_EQ(testfiles::DirectoryContents(installation.dir()), row.after);
    }
}

}  // namespace
