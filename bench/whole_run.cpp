// Whole runs of the real program over a large installation, against the least any tool that
// keeps saves safe must do: copy each save to a work file, flush it to disk and rename it
// into place. Also the peak memory of runs with very large saves.
//   whole_run PROGRAM ratio [SAVES [KIB_EACH [ROUNDS]]]
//   whole_run PROGRAM memory
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "installation_layout.h"
#include "save_generator.h"

namespace {

using Clock = std::chrono::steady_clock;

void Fail(const std::string& what) {
    std::fprintf(stderr, "whole_run: %s\n", what.c_str());
    std::exit(1);
}

std::string SlotName(const std::string& dir, int slot, const char* extension) {
    return layout::SlotFile(dir, slot, extension).string();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
        std::fclose(out) != 0) {
        Fail("cannot write " + path);
    }
}

// A Wine-style prefix whose registry names dir as the game's folder.
std::string MakeInstallation(const std::string& root) {
    const std::string prefix = root + "/prefix";
    const std::string game = root + "/game";
    mkdir(game.c_str(), 0755);
    if (!layout::WriteWinePrefix(prefix, {layout::GameKey(layout::WindowsPath(game))})) {
        Fail("cannot lay out the Wine prefix " + prefix);
    }
    setenv("WINEPREFIX", prefix.c_str(), 1);
    return game;
}

void RemoveSlotFiles(const std::string& game, int saves) {
    for (int slot = 0; slot < saves; ++slot) {
        for (const char* extension : {"sav", "old", "tmp"}) {
            unlink(SlotName(game, slot, extension).c_str());
        }
    }
}

void WriteSaves(const std::string& game, const std::vector<std::string>& saves) {
    for (std::size_t slot = 0; slot < saves.size(); ++slot) {
        WriteFile(SlotName(game, static_cast<int>(slot), "sav"), saves[slot]);
    }
    sync();  // the player's saves were on disk before the tool ran
}

struct Measured {
    double seconds;
    long peakKiB;
    double cpuSeconds;  // user and system time
};

double CpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the program in a pseudo-terminal and answers y, then any key.
Measured RunProgram(const std::string& program) {
    int master = -1;
    const auto start = Clock::now();
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0) Fail("forkpty failed");
    // Answer once the program reads keys, that is once the terminal is in raw mode.
    const auto readingKeys = [master] {
        termios mode{};
        return tcgetattr(master, &mode) == 0 && (mode.c_lflag & ICANON) == 0;
    };
    while (!readingKeys()) std::this_thread::sleep_for(std::chrono::microseconds(200));
    if (write(master, "y", 1) != 1) Fail("cannot type");
    // The closing request forgets keys typed before it: a key goes whenever the program reads
    // keys, until it ends (one typed just after the y is discarded, the next one counts).
    int status = 0;
    rusage usage{};
    char drain[4096];
    bool reaped = false;
    while (!(reaped = wait4(pid, &status, WNOHANG, &usage) == pid)) {
        if (readingKeys() && write(master, "k", 1) != 1) break;
        pollfd wait{master, POLLIN, 0};
        if (poll(&wait, 1, 1) == 1 && read(master, drain, sizeof drain) < 0) break;
    }
    if (!reaped && wait4(pid, &status, 0, &usage) != pid) Fail("lost the program");
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    close(master);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail("the program failed");
    return {seconds, usage.ru_maxrss, CpuSeconds(usage)};
}

// The baseline: what keeping a save safe costs at the least.
Measured RunBaseline(const std::string& game, int saves) {
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = Clock::now();
    std::vector<char> buffer(64 * 1024);
    const int dir = open(game.c_str(), O_RDONLY | O_DIRECTORY);
    for (int slot = 0; slot < saves; ++slot) {
        const std::string save = SlotName(game, slot, "sav");
        const std::string work = SlotName(game, slot, "tmp");
        std::FILE* in = std::fopen(save.c_str(), "rb");
        std::FILE* out = std::fopen(work.c_str(), "wb");
        if (in == nullptr || out == nullptr) Fail("baseline cannot open " + save);
        std::size_t got = 0;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
            if (std::fwrite(buffer.data(), 1, got, out) != got) Fail("baseline cannot write");
        }
        std::fclose(in);
        if (std::fflush(out) != 0 || fsync(fileno(out)) != 0 || std::fclose(out) != 0 ||
            rename(work.c_str(), save.c_str()) != 0 || fsync(dir) != 0) {
            Fail("baseline cannot commit " + save);
        }
    }
    close(dir);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    return {seconds, 0, CpuSeconds(after) - CpuSeconds(before)};
}

std::string TempRoot() {
    char pattern[] = "/tmp/orvane-whole-run-XXXXXX";
    if (mkdtemp(pattern) == nullptr) Fail("cannot make a temporary directory");
    return pattern;
}

void RemoveTree(const std::string& root) {
    std::system(("rm -rf '" + root + "'").c_str());
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The saves are made once, kept on disk, and copied into the game folder before each run, so
// that this process stays small: a child's peak memory counts what it shared before exec.
void CopySaves(const std::string& from, const std::string& to, int saves) {
    for (int slot = 0; slot < saves; ++slot) {
        std::filesystem::copy_file(SlotName(from, slot, "sav"), SlotName(to, slot, "sav"),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    sync();  // the player's saves were on disk before the tool ran
}

int Ratio(const std::string& program, int saveCount, std::size_t kibEach, int rounds) {
    const std::string root = TempRoot();
    const std::string game = MakeInstallation(root);
    const std::string pristine = root + "/pristine";
    mkdir(pristine.c_str(), 0755);
    for (int slot = 0; slot < saveCount; ++slot) {
        SaveShape shape;
        shape.stateBytes = kibEach << 10;
        shape.seed = static_cast<unsigned>(slot + 1);
        WriteFile(SlotName(pristine, slot, "sav"), GenerateSave(shape));
    }
    // The baseline works on a folder of its own, so that both sides' saves can be laid out
    // before either runs: deleting a gigabyte just before a run charges the file system's
    // clean-up to that run. The order alternates between rounds.
    const std::string baselineDir = root + "/baseline";
    mkdir(baselineDir.c_str(), 0755);
    std::vector<double> program_s, baseline_s, ratios;
    for (int round = 0; round < rounds; ++round) {
        RemoveSlotFiles(game, saveCount);
        RemoveSlotFiles(baselineDir, saveCount);
        sync();
        CopySaves(pristine, game, saveCount);
        CopySaves(pristine, baselineDir, saveCount);
        Measured baseline{}, run{};
        for (int side = 0; side < 2; ++side) {
            if ((side + round) % 2 == 0) {
                baseline = RunBaseline(baselineDir, saveCount);
            } else {
                run = RunProgram(program);
            }
            sync();
        }
        program_s.push_back(run.seconds);
        baseline_s.push_back(baseline.seconds);
        ratios.push_back(run.seconds / baseline.seconds);
        std::printf("round %d: program %.3f s (CPU %.3f s), baseline %.3f s (CPU %.3f s), "
                    "ratio %.2f, program peak RSS %ld KiB\n",
                    round + 1, run.seconds, run.cpuSeconds, baseline.seconds, baseline.cpuSeconds,
                    run.seconds / baseline.seconds, run.peakKiB);
    }
    std::printf("whole run, %d saves of %zu KiB: program median %.3f s, baseline median %.3f s, "
                "median ratio %.2f\n",
                saveCount, kibEach, Median(program_s), Median(baseline_s), Median(ratios));
    RemoveTree(root);
    return 0;
}

int Memory(const std::string& program) {
    {
        const std::string root = TempRoot();
        const std::string game = MakeInstallation(root);
        SaveShape shape;
        shape.stateBytes = 0;
        shape.longLineBytes = 256u << 20;  // one state line of 256 MiB
        WriteSaves(game, {GenerateSave(shape)});
        const Measured run = RunProgram(program);
        std::printf("peak RSS, one save with a 256 MiB state line: %ld KiB (goal < 8192)\n",
                    run.peakKiB);
        RemoveTree(root);
    }
    {
        const std::string root = TempRoot();
        const std::string game = MakeInstallation(root);
        for (int slot = 0; slot < 256; ++slot) {
            SaveShape shape;
            shape.stateBytes = 4u << 20;
            shape.seed = static_cast<unsigned>(slot + 1);
            WriteFile(SlotName(game, slot, "sav"), GenerateSave(shape));
        }
        sync();
        const Measured run = RunProgram(program);
        std::printf("peak RSS, 256 saves of 4 MiB: %ld KiB (goal < 8192)\n", run.peakKiB);
        RemoveTree(root);
    }
    return 0;
}

// Leaves an installation behind for profiling the program by hand:
//   whole_run prepare DIR SAVES KIB_EACH   then   WINEPREFIX=DIR/prefix orvane-savefix
int Prepare(const std::string& root, int saveCount, std::size_t kibEach) {
    mkdir(root.c_str(), 0755);
    const std::string game = MakeInstallation(root);
    for (int slot = 0; slot < saveCount; ++slot) {
        SaveShape shape;
        shape.stateBytes = kibEach << 10;
        shape.seed = static_cast<unsigned>(slot + 1);
        WriteFile(SlotName(game, slot, "sav"), GenerateSave(shape));
    }
    sync();
    std::printf("%s\n", game.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[2], "ratio") == 0) {
        return Ratio(argv[1], argc > 3 ? std::atoi(argv[3]) : 256,
                     argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 4096, argc > 5 ? std::atoi(argv[5]) : 3);
    }
    if (argc == 3 && std::strcmp(argv[2], "memory") == 0) return Memory(argv[1]);
    if (argc == 5 && std::strcmp(argv[1], "prepare") == 0) return Prepare(argv[2], std::atoi(argv[3]), std::strtoul(argv[4], nullptr, 10));
    std::fprintf(stderr, "usage: whole_run PROGRAM ratio [SAVES [KIB_EACH [ROUNDS]]] | "
                         "whole_run PROGRAM memory | whole_run prepare DIR SAVES KIB_EACH\n");
    return 2;
}
