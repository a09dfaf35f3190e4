#include "program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "console/say.h"
#include "console/texts.h"
#include "installation_layout.h"

namespace runner {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Exec(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

}  // namespace

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string WineLoader() { return Variable("ORVANE_WINE"); }
bool UnderWine() { return !WineLoader().empty(); }
std::string ProgramPath() { return Variable("ORVANE_PROGRAM"); }
bool InCi() { return Variable("CI") == "true"; }

int RunQuietly(const std::vector<std::string>& argv) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        Exec(argv);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The prefix is made afresh for the run by under-wine.sh; a server kept running makes each
// start of the program quick.
void WineEnvironment::SetUp() {
    if (UnderWine()) RunQuietly({"wineserver", "-p"});
}

void WineEnvironment::TearDown() {
    if (UnderWine()) RunQuietly({"wineserver", "-k"});
}

fs::path WineEnvironment::LocalAppData() {
    const passwd* user = getpwuid(getuid());
    return fs::path(Variable("WINEPREFIX")) / "drive_c" / "users" /
           (user != nullptr ? user->pw_name : "root") / "AppData" / "Local";
}

Installation::Installation(const fs::path& gameDir) : gameDir_(gameDir) {
    if (!UnderWine()) setenv("WINEPREFIX", prefix_.path().c_str(), 1);
}

Installation::~Installation() {
    if (!UnderWine()) unsetenv("WINEPREFIX");
}

void Installation::Register(bool installed, const std::string& within) {
    const std::string windowsPath = layout::WindowsPath(fs::canonical(dir())) + within;
    if (UnderWine()) {
        RunQuietly({WineLoader(), "reg", "delete", "HKCU\\Software\\Quilmo\\Orvane", "/f"});
        if (installed) {
            // Wine's reg.exe has been seen to fail once in a while just after the program of
            // the previous row ended (once in a CI run, never in 60 runs in a row): tried again.
            int status = -1;
            for (int attempt = 0; attempt < 3 && status != 0; ++attempt) {
                if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(500));
                status = RunQuietly({WineLoader(), "reg", "add", "HKCU\\Software\\Quilmo\\Orvane",
                                     "/v", "InstallDir", "/d", windowsPath, "/f"});
            }
            ASSERT_EQ(status, 0) << "Wine's reg.exe could not record the installation";
        }
        return;
    }
    std::vector<layout::HiveKey> keys;
    if (installed) keys.push_back(layout::GameKey(windowsPath));
    ASSERT_TRUE(layout::WriteWinePrefix(prefix_.path(), keys));
}

std::string Said(const std::string& text) {
    if (!UnderWine()) return text;
    std::string crlf;  // the Windows program's stdout is in text mode
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

std::string SaidSlot(int slot) { return Said(FormatText(texts::kCorrectingSlot, slot)); }

std::string Finished::Describe() const {
    std::string text = finished ? "" : "the run did not end within its time limit\n";
    if (!neverSaid.empty()) text += "never said: " + neverSaid + "\n";
    if (endedBeforeKeys) text += "it ended before all its keys were typed\n";
    return text + "screen so far:\n" + screen + "\noutput so far:\n" + output +
           "\nstandard error:\n" + errors;
}

namespace {

class Terminal {
public:
    Terminal(const fs::path& output, const RunOptions& options)
        : output_(output), options_(options), deadline_(Clock::now() + options.timeLimit) {}

    Finished Start() {
        std::vector<std::string> argv = options_.wrapper;
        if (UnderWine()) argv.push_back(WineLoader());
        argv.push_back(ProgramPath());
        argv.insert(argv.end(), options_.args.begin(), options_.args.end());
        // Keys typed before the program starts wait in the terminal for it.
        pid_ = options_.withConsole ? forkpty(&master_, nullptr, nullptr, nullptr) : fork();
        if (pid_ == 0) StartProgram(argv);
        std::atomic<bool> done{false};
        std::thread drain;
        if (options_.withConsole) drain = std::thread([&] { Drain(done); });
        Finished run;
        for (const Keys& keys : options_.script) {
            if (!WaitForOutput(keys.after)) {
                run.neverSaid = keys.after;
                break;
            }
            for (const std::string& press : keys.presses) {
                if (!keys.after.empty()) WaitForKeyRead();
                if (Exited()) run.endedBeforeKeys = true;
                if (write(master_, press.data(), press.size()) < 0) break;
                std::this_thread::sleep_for(options_.pause);
            }
        }
        run.finished = WaitForExit();
        run.exitStatus = exitStatus_;
        if (!run.finished) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        done = true;
        if (drain.joinable()) drain.join();
        if (master_ >= 0) close(master_);
        run.output = testfiles::ReadFile(output_);
        run.errors = testfiles::ReadFile(ErrorsFile());
        run.screen = screen_;
        return run;
    }

private:
    [[noreturn]] void StartProgram(const std::vector<std::string>& argv) {
        if (!options_.withConsole) setsid();  // no console at all
        const int out = open(output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = open("/dev/null", O_RDWR);
        const int errors = open(ErrorsFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (!options_.outputToTerminal) dup2(out, 1);
        dup2(errors, 2);
        if (!options_.withConsole) dup2(null, 0);
        for (const std::string& variable : options_.environment) {
            putenv(const_cast<char*>(variable.c_str()));
        }
        Exec(argv);
    }

    std::string ErrorsFile() const { return output_.string() + ".stderr"; }

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

    // False when the program ended, or its time ran out, before it said `text` (in the
    // output file, or on the terminal).
    bool WaitForOutput(const std::string& text) {
        while (!Said(text)) {
            if (Exited() || Clock::now() > deadline_) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    // The native program switches the terminal to raw mode while it waits for a key; Wine's
    // console does so once. Either way a key typed now arrives as a key. A moment more lets a
    // program that would wrongly end at once do so before the key is typed.
    void WaitForKeyRead() {
        const auto until = std::min(deadline_, Clock::now() + std::chrono::seconds(UnderWine() ? 2 : 10));
        termios mode{};
        while (tcgetattr(master_, &mode) == 0 && (mode.c_lflag & ICANON) != 0 &&
               Clock::now() < until && !Exited()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(UnderWine() ? 100 : 20));
    }

    bool WaitForExit() {
        while (!Exited()) {
            if (Clock::now() > deadline_) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    fs::path output_;
    const RunOptions& options_;
    Clock::time_point deadline_;
    std::mutex screenLock_;
    std::string screen_;
    int master_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
    int exitStatus_ = -1;
};

}  // namespace

Finished RunProgram(const fs::path& output, const RunOptions& options) {
    Finished run = Terminal(output, options).Start();
    // The program always ends with 0, and says its first texts before it touches anything: a
    // Wine process that ended otherwise without a byte of output never reached the program.
    // Seen twice in CI runs on a loaded machine, never alone; it is started once more.
    if (UnderWine() && run.finished && run.exitStatus != 0 && run.output.empty()) {
        std::printf("Wine did not start the program (exit %d), started again; its errors:\n%s\n",
                    run.exitStatus, run.errors.c_str());
        run = Terminal(output, options).Start();
    }
    return run;
}

}  // namespace runner
