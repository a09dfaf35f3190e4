#pragma once
// Runs the real program as a player does: a pseudo-terminal for its console, keys typed into
// it, standard output sent to a file. ORVANE_PROGRAM names the program; with ORVANE_WINE set
// (the Wine loader to use) it is a Windows program, run under Wine.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "test_files.h"

namespace runner {

namespace fs = testfiles::fs;

// An environment variable's value; empty when it is not set.
std::string Variable(const char* name);

// The Wine loader the Windows program runs under (ORVANE_WINE); empty: the native program.
std::string WineLoader();
bool UnderWine();
std::string ProgramPath();

// True when run by CI, where a test that cannot run is a failure, not a skip.
bool InCi();

// Runs a command with no input and no output; gives its exit status (-1: killed).
int RunQuietly(const std::vector<std::string>& argv);

// A test that cannot run where it is: skipped, but failed in CI.
#define ORVANE_CANNOT_RUN(reason)                                 \
    do {                                                          \
        if (::runner::InCi()) FAIL() << (reason) << " (in CI)";   \
        GTEST_SKIP() << (reason);                                 \
    } while (0)

// Skips (fails in CI) the calling test when the program to run is missing.
#define ORVANE_REQUIRE_PROGRAM()                                                          \
    do {                                                                                  \
        if (::runner::ProgramPath().empty() || !::runner::fs::exists(::runner::ProgramPath())) \
            ORVANE_CANNOT_RUN("no program at ORVANE_PROGRAM=" + ::runner::ProgramPath());  \
    } while (0)

// Under Wine every test shares the run's throwaway prefix, with its server kept running.
class WineEnvironment : public testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
    // The prefix's own folder for the current user's local application data, natively.
    static fs::path LocalAppData();
};

// The game's installation as the registry names it.
class Installation {
public:
    // The game folder is a new temporary directory, or gameDir where the test needs a
    // particular file system or name.
    explicit Installation(const fs::path& gameDir = fs::path());
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    const fs::path& dir() const { return gameDir_.empty() ? dir_.path() : gameDir_; }

    // Records the installation directory in the registry, or no key at all. With `within`,
    // the registry names that folder inside the game folder instead, which may not exist: a
    // game that was moved or uninstalled.
    void Register(bool installed, const std::string& within = "");

private:
    fs::path gameDir_;
    testfiles::ScopedTempDir prefix_;
    testfiles::ScopedTempDir dir_;
};

// A text as the program writes it to a file: CRLF line ends from the Windows program.
std::string Said(const std::string& text);
std::string SaidSlot(int slot);

struct Finished {
    std::string output;
    std::string screen;     // what the program and the console wrote to the terminal
    std::string errors;     // its standard error (Wine's own complaints land here)
    int exitStatus = -1;    // -1: killed by a signal
    bool finished = false;  // false: it was still running at its time limit
    std::string neverSaid;  // a text the script waited for in vain
    bool endedBeforeKeys = false;  // the program ended before keys meant for it were typed

    // The run so far, for a failure message.
    std::string Describe() const;
};

// Keys typed at one moment: after the output holds `after` and the console reads keys; with
// `after` empty, at once, before the program has said anything.
struct Keys {
    std::string after;
    std::vector<std::string> presses;
};

struct RunOptions {
    std::vector<Keys> script;
    bool withConsole = true;
    std::vector<std::string> args;         // after the program's name
    std::vector<std::string> wrapper;      // before it: a tracer, or a shell that sets limits
    std::vector<std::string> environment;  // NAME=VALUE for the program
    bool outputToTerminal = false;         // standard output on the console, not in the file
    // Between presses, so that each arrives as a key of its own (Wine's console needs time).
    std::chrono::milliseconds pause{150};
    // A run that takes longer fails, with the screen so far.
    std::chrono::seconds timeLimit{30};
};

// Runs the program once; standard output goes to the file output.
Finished RunProgram(const fs::path& output, const RunOptions& options);

}  // namespace runner
