#pragma once
// Runs the real program as a player does: a pseudo-terminal for its console, keys typed into
// it, standard output sent to a file. ORVANE_PROGRAM names the program; with ORVANE_UNDER_WINE
// set it is the Windows program, run under Wine.
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
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/console_text.h"
#include "test_files.h"

namespace runner {

namespace fs = testfiles::fs;
using Clock = std::chrono::steady_clock;

inline bool UnderWine() { return std::getenv("ORVANE_UNDER_WINE") != nullptr; }

inline std::string ProgramPath() {
    const char* program = std::getenv("ORVANE_PROGRAM");
    return program != nullptr ? program : "";
}

inline int RunQuietly(const std::vector<std::string>& argv) {
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

// The game's installation as the registry names it.
class Installation {
public:
    // The game folder is a new temporary directory, or gameDir where the test needs a
    // particular file system.
    explicit Installation(const fs::path& gameDir = fs::path()) : gameDir_(gameDir) {
        if (!UnderWine()) {
            setenv("WINEPREFIX", prefix_.path().c_str(), 1);
            fs::create_directories(prefix_.path() / "dosdevices");
            fs::create_symlink("/", prefix_.path() / "dosdevices" / "z:");
        }
    }
    ~Installation() {
        if (!UnderWine()) unsetenv("WINEPREFIX");
    }
    const fs::path& dir() const { return gameDir_.empty() ? dir_.path() : gameDir_; }

    // Records the installation directory in the registry, or no key at all.
    // With `within`, the registry names that folder inside the game folder instead, which may
    // not exist: a game that was moved or uninstalled.
    void Register(bool installed, const std::string& within = "") {
        std::string windowsPath = "Z:" + fs::canonical(dir()).string() + within;
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
    fs::path gameDir_;
    testfiles::ScopedTempDir prefix_;
    testfiles::ScopedTempDir dir_;
};

inline std::string Said(const char* text) {
    std::string said = FormatText("%s", text);
    if (!UnderWine()) return said;
    std::string crlf;  // the Windows program's stdout is in text mode
    for (char c : said) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

inline std::string SaidSlot(int slot) { return Said(FormatText(texts::kCorrectingSlot, slot).c_str()); }

struct Finished {
    std::string output;
    std::string screen;  // what the program and the console wrote to the terminal
    int exitStatus = -1;  // -1: killed by a signal
    bool finished = false;  // false: it was still running at the deadline
};

// Keys typed at one moment: after the output holds `after`, once the console reads keys.
struct Keys {
    std::string after;
    std::vector<std::string> presses;
};

struct RunOptions {
    std::vector<Keys> script;
    bool withConsole = true;
    std::vector<std::string> args;     // after the program's name
    std::vector<std::string> wrapper;  // before it: a tracer, or a shell that sets limits
    std::vector<std::string> environment;  // NAME=VALUE for the program
    bool outputToTerminal = false;          // standard output on the console, not in the file
    // Between presses, so that each arrives as a key of its own (Wine's console needs time).
    std::chrono::milliseconds pause{150};
};

class Terminal {
public:
    explicit Terminal(const fs::path& output) : output_(output) {}

    Finished Start(const RunOptions& options) {
        std::vector<std::string> argv = options.wrapper;
        if (UnderWine()) argv.push_back("wine");
        argv.push_back(ProgramPath());
        argv.insert(argv.end(), options.args.begin(), options.args.end());
        pid_ = options.withConsole ? forkpty(&master_, nullptr, nullptr, nullptr) : fork();
        if (pid_ == 0) Exec(argv, options);
        std::atomic<bool> done{false};
        std::thread drain;
        if (options.withConsole) drain = std::thread([&] { Drain(done); });
        for (const Keys& keys : options.script) {
            if (!WaitForOutput(keys.after)) break;
            for (const std::string& press : keys.presses) {
                WaitForRawMode();
                if (write(master_, press.data(), press.size()) < 0) break;
                std::this_thread::sleep_for(options.pause);
            }
        }
        Finished run;
        run.finished = WaitForExit(Clock::now() + std::chrono::seconds(60));
        run.exitStatus = exitStatus_;
        if (!run.finished) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        done = true;
        if (drain.joinable()) drain.join();
        if (master_ >= 0) close(master_);
        run.output = testfiles::ReadFile(output_);
        run.screen = screen_;
        return run;
    }

private:
    [[noreturn]] void Exec(const std::vector<std::string>& argv, const RunOptions& options) {
        if (!options.withConsole) setsid();  // no console at all
        const int out = open(output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = open("/dev/null", O_RDWR);
        if (!options.outputToTerminal) dup2(out, 1);
        dup2(null, 2);
        if (!options.withConsole) dup2(null, 0);
        for (const std::string& variable : options.environment) {
            putenv(const_cast<char*>(variable.c_str()));
        }
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
            if (poll(&wait, 1, 50) != 1) continue;
            const ssize_t got = read(master_, buffer, sizeof buffer);
            if (got > 0) {
                std::lock_guard<std::mutex> lock(screenLock_);
                screen_.append(buffer, static_cast<std::size_t>(got));
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
    }

    bool Exited() {
        if (exited_) return true;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
        exited_ = true;
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return true;
    }

    bool Said(const std::string& text) {
        if (testfiles::ReadFile(output_).find(text) != std::string::npos) return true;
        std::lock_guard<std::mutex> lock(screenLock_);
        return screen_.find(text) != std::string::npos;
    }

    // False when the program ended, or took too long, before it said `text` (in the output
    // file, or on the terminal).
    bool WaitForOutput(const std::string& text) {
        const auto deadline = Clock::now() + std::chrono::seconds(60);
        while (!Said(text)) {
            if (Exited() || Clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    // The native program switches the terminal to raw mode while it waits for a key; Wine's
    // console does so once. Either way a key typed now arrives as a key.
    void WaitForRawMode() {
        const auto deadline = Clock::now() + std::chrono::seconds(UnderWine() ? 2 : 10);
        termios mode{};
        while (tcgetattr(master_, &mode) == 0 && (mode.c_lflag & ICANON) != 0 &&
               Clock::now() < deadline && !Exited()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    bool WaitForExit(Clock::time_point deadline) {
        while (!Exited()) {
            if (Clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    fs::path output_;
    std::mutex screenLock_;
    std::string screen_;
    int master_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
    int exitStatus_ = -1;
};

}  // namespace runner
