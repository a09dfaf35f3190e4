// Faults of the disk and of the process while the real program corrects saves: full disks,
// failing reads, flushes, closes, links and renames, a kill at every step, and a power cut.
// Whatever happens, each save is either as it was or wholly corrected, the save as it was is
// in the save or its backup, and running the tool again ends in the normal result.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "console/say.h"
#include "console/texts.h"
#include "correction/save_stream.h"
#include "installation_layout.h"
#include "program_runner.h"
#include "save_fixtures.h"
#include "save_generator.h"
#include "test_files.h"

namespace {

using namespace runner;

struct SlotFixture {
    int slot;
    std::string original;
    std::string corrected;
};

std::string CorrectedBytes(const std::string& save) {
    testfiles::ScopedTempDir dir;
    testfiles::WriteFile(dir / "in", save);
    std::FILE* in = std::fopen((dir / "in").c_str(), "rb");
    std::FILE* out = std::fopen((dir / "out").c_str(), "wb");
    EXPECT_EQ(CorrectSaveStream(in, out), CorrectionResult::Corrected);
    std::fclose(in);
    std::fclose(out);
    return testfiles::ReadFile(dir / "out");
}

// Slot 0 is small; slot 1 takes several writes to copy, so a fault can strike in its middle.
const std::vector<SlotFixture>& Slots() {
    static const std::vector<SlotFixture> slots = [] {
        std::vector<SlotFixture> made;
        const std::string small = savefixtures::MakeSave(
            "$scriptFilename\tch01\n$lastScriptPointer\t812\n$flag\t1\nplain\n");
        SaveShape shape;
        shape.stateBytes = 3 << 20;  // several of the filter's large writes
        const std::string large = GenerateSave(shape);
        made.push_back({0, small, CorrectedBytes(small)});
        made.push_back({1, large, CorrectedBytes(large)});
        return made;
    }();
    return slots;
}

std::string SlotPath(const fs::path& dir, int slot, const char* extension) {
    return layout::SlotFile(dir, slot, extension).string();
}

void Populate(const fs::path& dir) {
    for (const SlotFixture& slot : Slots()) {
        testfiles::WriteFile(SlotPath(dir, slot.slot, "sav"), slot.original);
    }
    testfiles::WriteFile(dir / "a0.dat", "read");
}

bool Exists(const std::string& path) {
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

// The promise to the player, checked at any moment of a run.
void ExpectSavesSafe(const fs::path& dir) {
    for (const SlotFixture& slot : Slots()) {
        SCOPED_TRACE("slot " + std::to_string(slot.slot));
        const std::string save = SlotPath(dir, slot.slot, "sav");
        ASSERT_TRUE(Exists(save)) << "the save is gone";
        const std::string bytes = testfiles::ReadFile(save);
        EXPECT_TRUE(bytes == slot.original || bytes == slot.corrected)
            << "the save holds neither its own nor its corrected bytes (" << bytes.size() << ")";
        EXPECT_TRUE(bytes == slot.original ||
                    testfiles::ReadFile(SlotPath(dir, slot.slot, "old")) == slot.original)
            << "the save as it was is nowhere";
    }
}

Finished RunTool(const fs::path& output, const std::vector<std::string>& wrapper) {
    RunOptions options;
    options.wrapper = wrapper;
    // The closing request forgets keys typed before it is shown: its key comes after it.
    options.script = {{Said(texts::kPrompt), {"y"}}, {Said(texts::kPressAnyKey), {"k"}}};
    options.pause = std::chrono::milliseconds(0);
    return RunProgram(output, options);
}

bool CompletedNormally(const Finished& run) {
    const std::string end = Said(texts::kPressAnyKey) + Said(texts::kLineEnd);
    return run.finished && run.exitStatus == 0 && run.output.size() >= end.size() &&
           run.output.compare(run.output.size() - end.size(), end.size(), end) == 0;
}

// Running the tool again after any fault: every save corrected, its backup the save as it was
// before that run, no work file left.
void ExpectNormalRerun(const Installation& installation, const fs::path& scratch) {
    std::map<int, std::string> before;
    for (const SlotFixture& slot : Slots()) {
        before[slot.slot] = testfiles::ReadFile(SlotPath(installation.dir(), slot.slot, "sav"));
    }
    const Finished run = RunTool(scratch / "rerun", {});
    EXPECT_TRUE(CompletedNormally(run)) << run.output;
    for (const SlotFixture& slot : Slots()) {
        SCOPED_TRACE("after a second run, slot " + std::to_string(slot.slot));
        const fs::path& dir = installation.dir();
        EXPECT_TRUE(testfiles::ReadFile(SlotPath(dir, slot.slot, "sav")) == slot.corrected);
        EXPECT_TRUE(testfiles::ReadFile(SlotPath(dir, slot.slot, "old")) == before[slot.slot]);
        EXPECT_FALSE(Exists(SlotPath(dir, slot.slot, "tmp")));
    }
}

bool CommandWorks(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::string> Strace(const std::vector<std::string>& arguments) {
    std::vector<std::string> command = {"strace", "-f", "-qq", "-o", "/dev/null"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

// How many times the run makes `call` on `path`.
int CountCalls(const std::string& call, const std::string& pathOf) {
    Installation installation;
    Populate(installation.dir());
    installation.Register(true);
    testfiles::ScopedTempDir scratch;
    const std::string trace = scratch / "trace";
    RunTool(scratch / "out", {"strace", "-f", "-qq", "-o", trace, "-P",
                              SlotPath(installation.dir(), 1, pathOf.c_str()), "-e",
                              "trace=" + call});
    const std::string traced = testfiles::ReadFile(trace);
    int count = 0;
    for (std::size_t at = traced.find(call + "("); at != std::string::npos;
         at = traced.find(call + "(", at + 1)) {
        ++count;
    }
    return count;
}

int FailuresSoFar() {
    return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

class Faults : public testing::Test {
protected:
    void SetUp() override {
        ORVANE_REQUIRE_PROGRAM();
        // Every fault is set against a run that completes: without one, each faulty run would
        // only wait out its time limit, hundreds of times over in the kill sweep.
        Installation installation;
        Populate(installation.dir());
        installation.Register(true);
        testfiles::ScopedTempDir scratch;
        const Finished run = RunTool(scratch / "out", {});
        ASSERT_TRUE(CompletedNormally(run)) << "a run without faults does not complete:\n"
                                            << run.Describe();
    }
};

enum class SlotOutcome { Corrected, AsItWas };

struct FaultCase {
    const char* name;
    // The command line put before the program, given the installation directory.
    std::function<std::vector<std::string>(const fs::path&)> wrapper;
    SlotOutcome slot1;
    const char* message;  // what the player is told about slot 1, %s its file; or nullptr
    const char* messageFile;
};

TEST_F(Faults, InjectedFailuresNeverCostASave) {
    if (!CommandWorks("strace -o /dev/null true")) ORVANE_CANNOT_RUN("strace cannot trace here");
    const int writes = CountCalls("write", "tmp");
    ASSERT_GE(writes, 3) << "slot 1 must take several writes for a fault in its middle";
    const auto inject = [](const char* file, const std::string& fault) {
        return [=](const fs::path& dir) {
            return Strace({"-P", SlotPath(dir, 1, file), "-e", "inject=" + fault});
        };
    };
    const auto limitFileSize = [](bool ignoreSignal) {
        return [=](const fs::path&) {
            return std::vector<std::string>{
                "bash", "-c",
                std::string("ulimit -f 100; ") + (ignoreSignal ? "trap '' XFSZ; " : "") +
                    "exec \"$@\"",
                "bash"};
        };
    };
    const FaultCase cases[] = {
        {"disk full at the first write", inject("tmp", "write:error=ENOSPC:when=1"),
         SlotOutcome::AsItWas, texts::kCannotWrite, "tmp"},
        {"disk full at a middle write",
         inject("tmp", "write:error=ENOSPC:when=" + std::to_string(writes / 2 + 1)),
         SlotOutcome::AsItWas, texts::kCannotWrite, "tmp"},
        {"disk full at the last write",
         inject("tmp", "write:error=ENOSPC:when=" + std::to_string(writes)),
         SlotOutcome::AsItWas, texts::kCannotWrite, "tmp"},
        {"the flush to disk fails", inject("tmp", "fsync:error=EIO"), SlotOutcome::AsItWas,
         texts::kCannotWrite, "tmp"},
        {"the close fails", inject("tmp", "close:error=EIO"), SlotOutcome::AsItWas,
         texts::kCannotWrite, "tmp"},
        {"reading the save fails", inject("sav", "read:error=EIO"), SlotOutcome::AsItWas,
         texts::kCannotRead, "sav"},
        {"the save cannot be opened", inject("sav", "openat:error=EACCES"), SlotOutcome::AsItWas,
         texts::kCannotRead, "sav"},
        {"no hard links: the backup is a copy",
         [](const fs::path&) { return Strace({"-e", "inject=link:error=EPERM"}); },
         SlotOutcome::Corrected, nullptr, nullptr},
        {"the final rename fails",
         [](const fs::path&) { return Strace({"-e", "inject=rename:error=EACCES:when=2"}); },
         SlotOutcome::AsItWas, texts::kCannotReplace, "sav"},
        {"file-size limit, its signal ignored", limitFileSize(true), SlotOutcome::AsItWas,
         texts::kCannotWrite, "tmp"},
        {"file-size limit, its signal kills mid-copy", limitFileSize(false), SlotOutcome::AsItWas,
         nullptr, nullptr},
    };
    for (const FaultCase& row : cases) {
        SCOPED_TRACE(row.name);
        Installation installation;
        const fs::path& dir = installation.dir();
        Populate(dir);
        installation.Register(true);
        testfiles::ScopedTempDir scratch;
        const Finished run = RunTool(scratch / "out", row.wrapper(dir));
        ExpectSavesSafe(dir);
        const SlotFixture& slot1 = Slots()[1];
        const std::string save1 = testfiles::ReadFile(SlotPath(dir, 1, "sav"));
        EXPECT_TRUE(save1 == (row.slot1 == SlotOutcome::Corrected ? slot1.corrected
                                                                  : slot1.original));
        EXPECT_TRUE(testfiles::ReadFile(SlotPath(dir, 0, "sav")) == Slots()[0].corrected)
            << "slot 0 comes before the fault and is corrected";
        if (row.message != nullptr) {
            EXPECT_TRUE(CompletedNormally(run));
            EXPECT_NE(run.output.find(Said(FormatText(row.message,
                                                      SlotPath(dir, 1, row.messageFile).c_str())
                                               .c_str())),
                      std::string::npos)
                << run.output;
            EXPECT_FALSE(Exists(SlotPath(dir, 1, "tmp"))) << "a failed copy is left behind";
            // A backup name still linked to a save that stays in use would be no backup.
            EXPECT_FALSE(Exists(SlotPath(dir, 1, "old"))) << "a backup of a save left as it was";
        }
        if (row.slot1 == SlotOutcome::Corrected) {
            struct stat save, backup;
            ASSERT_EQ(stat(SlotPath(dir, 1, "sav").c_str(), &save), 0);
            ASSERT_EQ(stat(SlotPath(dir, 1, "old").c_str(), &backup), 0);
            EXPECT_NE(save.st_ino, backup.st_ino);
            EXPECT_EQ(testfiles::ReadFile(SlotPath(dir, 1, "old")), slot1.original);
        }
        ExpectNormalRerun(installation, scratch.path());
    }
}

// Kills the program at the Nth call of each kind that touches files, for every N the run
// reaches, and checks the saves after each kill and after running the tool again.
TEST_F(Faults, KillAtEveryStepNeverCostsASave) {
    if (!CommandWorks("strace -o /dev/null true")) ORVANE_CANNOT_RUN("strace cannot trace here");
    int killPoints = 0;
    int violations = 0;
    for (const char* call : {"openat", "write", "fsync", "close", "unlink", "link", "rename"}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(std::string(call) + " #" + std::to_string(n));
            Installation installation;
            Populate(installation.dir());
            installation.Register(true);
            testfiles::ScopedTempDir scratch;
            const Finished run = RunTool(
                scratch / "out",
                Strace({"-e", "inject=" + std::string(call) + ":signal=KILL:when=" +
                                  std::to_string(n)}));
            if (CompletedNormally(run)) break;  // the run never reached that call
            ASSERT_LT(n, 500) << "the sweep does not end";
            ++killPoints;
            const int failuresBefore = FailuresSoFar();
            ExpectSavesSafe(installation.dir());
            ExpectNormalRerun(installation, scratch.path());
            if (FailuresSoFar() != failuresBefore) ++violations;
        }
    }
    std::printf("kill sweep: %d kill points, %d with a violation\n", killPoints, violations);
    EXPECT_GT(killPoints, 20);
}

bool CanMount() { return geteuid() == 0 && CommandWorks("mount --version"); }

// A small file system of its own, unmounted when the test ends.
class Mounted {
public:
    Mounted(const std::string& type, const std::string& options, const std::string& source)
        : mounted_(mount(source.c_str(), point_.path().c_str(), type.c_str(), 0,
                         options.c_str()) == 0) {}
    ~Mounted() {
        if (mounted_) umount2(point_.path().c_str(), MNT_DETACH);
    }
    bool ok() const { return mounted_; }
    const fs::path& path() const { return point_.path(); }

private:
    testfiles::ScopedTempDir point_;
    bool mounted_;
};

TEST_F(Faults, ARealFullDiskLeavesTheSaveAsItWas) {
    if (!CanMount()) ORVANE_CANNOT_RUN("needs root to mount a small tmpfs");
    Mounted disk("tmpfs", "size=64k", "tmpfs");
    if (!disk.ok()) ORVANE_CANNOT_RUN("cannot mount tmpfs here");
    SaveShape shape;
    shape.stateBytes = 54 * 1024;  // the save fits, the save and its corrected copy do not
    const std::string save = GenerateSave(shape);
    testfiles::WriteFile(disk.path() / "scr004.sav", save);
    Installation installation(disk.path());
    installation.Register(true);
    testfiles::ScopedTempDir scratch;
    const Finished run = RunTool(scratch / "out", {});
    EXPECT_TRUE(CompletedNormally(run));
    EXPECT_NE(run.output.find(Said(
                  FormatText(texts::kCannotWrite, SlotPath(disk.path(), 4, "tmp").c_str()).c_str())),
              std::string::npos);
    EXPECT_TRUE(testfiles::ReadFile(disk.path() / "scr004.sav") == save);
    EXPECT_FALSE(Exists(SlotPath(disk.path(), 4, "tmp")));
    EXPECT_FALSE(Exists(SlotPath(disk.path(), 4, "old")));
}

struct PowerCutCase {
    const char* name;
    const char* mountOptions;
    std::chrono::seconds cutAfter;  // from the end of the run to the moment the image is copied
};

// A power cut after the run: the file system image is copied while still mounted, before the
// kernel writes its cached data back, and the copy is what a restart would find. Every
// corrected save must be there, put on the disk by the program's own flushes.
TEST_F(Faults, APowerCutAfterTheRunKeepsTheSaves) {
    if (!CanMount() || !CommandWorks("mkfs.ext4 -V")) ORVANE_CANNOT_RUN("needs root and mkfs.ext4");
    const PowerCutCase cases[] = {
        // commit=1 writes the metadata (the renames) to the journal within a second, while
        // delayed allocation keeps unflushed file data in memory far longer.
        {"unflushed data, renames journaled at once", "noauto_da_alloc,commit=1",
         std::chrono::seconds(3)},
        // commit=60 writes nothing to the journal unless the program flushes: the cut comes
        // right after the run, so the last replaces are there only if the program flushed them.
        {"nothing journaled but what the program flushes", "noauto_da_alloc,commit=60",
         std::chrono::seconds(0)},
    };
    for (const PowerCutCase& row : cases) {
        SCOPED_TRACE(row.name);
        testfiles::ScopedTempDir images;
        const std::string image = images / "disk.img";
        const std::string copy = images / "copy.img";
        ASSERT_TRUE(CommandWorks("truncate -s 16M " + image + " && mkfs.ext4 -q " + image));
        testfiles::ScopedTempDir point;
        if (!CommandWorks("mount -o loop," + std::string(row.mountOptions) + " " + image + " " +
                          point.path().string())) {
            ORVANE_CANNOT_RUN("cannot mount a loop device here");
        }
        {
            Installation installation(point.path());
            Populate(point.path());
            installation.Register(true);
            // The player's saves were on the disk long before the tool ran.
            ASSERT_TRUE(CommandWorks("sync -f " + point.path().string()));
            testfiles::ScopedTempDir scratch;
            EXPECT_TRUE(CompletedNormally(RunTool(scratch / "out", {})));
            std::this_thread::sleep_for(row.cutAfter);
            EXPECT_TRUE(CommandWorks("cp --sparse=always " + image + " " + copy));
        }
        CommandWorks("umount " + point.path().string());
        testfiles::ScopedTempDir restarted;
        ASSERT_TRUE(CommandWorks("mount -o loop " + copy + " " + restarted.path().string()));
        ExpectSavesSafe(restarted.path());
        for (const SlotFixture& slot : Slots()) {
            EXPECT_TRUE(testfiles::ReadFile(SlotPath(restarted.path(), slot.slot, "sav")) ==
                        slot.corrected)
                << "slot " << slot.slot << ": the corrected save did not reach the disk";
        }
        CommandWorks("umount " + restarted.path().string());
    }
}

}  // namespace
