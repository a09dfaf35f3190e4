// The file operations a rewrite is made of, on this platform's real file system.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "test_files.h"

namespace {

namespace fs = testfiles::fs;

const fs::perms kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

struct CopyCase {
    const char* name;
    std::function<void(const fs::path& dir)> prepare;
    bool copied;
    std::string backupAfter;  // "" : no file of that name afterwards
};

// Where hard links are refused (FAT volumes), the backup is a copy. It must be an ordinary file
// whatever the save's attributes: a read-only copy could be neither flushed nor removed.
TEST(CopyFileNoReplace, MakesAnOrdinaryFlushedCopyOrNothing) {
    const CopyCase cases[] = {
        {"a save", [](const fs::path& dir) { testfiles::WriteFile(dir / "scr000.sav", "save"); },
         true, "save"},
        {"a read-only save gives a copy that is not read-only",
         [](const fs::path& dir) {
             testfiles::WriteFile(dir / "scr000.sav", "save");
             fs::permissions(dir / "scr000.sav", kReadOnly);
         },
         true, "save"},
        {"an existing backup is left as it is",
         [](const fs::path& dir) {
             testfiles::WriteFile(dir / "scr000.sav", "save");
             testfiles::WriteFile(dir / "scr000.old", "older");
         },
         false, "older"},
        {"no save: nothing is made", [](const fs::path&) {}, false, ""},
    };
    for (const CopyCase& row : cases) {
        SCOPED_TRACE(row.name);
        testfiles::ScopedTempDir dir;
        row.prepare(dir.path());
        EXPECT_EQ(CopyFileNoReplace(dir / "scr000.sav", dir / "scr000.old"), row.copied);
        if (row.backupAfter.empty()) {
            EXPECT_FALSE(fs::exists(dir.path() / "scr000.old"));
            continue;
        }
        EXPECT_EQ(testfiles::ReadFile(dir.path() / "scr000.old"), row.backupAfter);
        if (row.copied) {
            EXPECT_FALSE(IsReadOnly(dir / "scr000.old"));
            EXPECT_TRUE(RemoveFile(dir / "scr000.old"));
        }
    }
}

struct OpenCase {
    const char* name;
    std::function<void(const fs::path& save)> prepare;
    OpenResult expected;
};

TEST(OpenForReading, TellsAMissingSaveFromOneThatIsNoFile) {
    const OpenCase cases[] = {
        {"a save", [](const fs::path& save) { testfiles::WriteFile(save, "save"); },
         OpenResult::Opened},
        {"no save", [](const fs::path&) {}, OpenResult::Missing},
        {"a directory is no save", [](const fs::path& save) { fs::create_directory(save); },
         OpenResult::Missing},
        {"a read-only save opens", [](const fs::path& save) {
             testfiles::WriteFile(save, "save");
             fs::permissions(save, kReadOnly);
         },
         OpenResult::Opened},
    };
    for (const OpenCase& row : cases) {
        SCOPED_TRACE(row.name);
        testfiles::ScopedTempDir dir;
        row.prepare(dir.path() / "scr000.sav");
        std::FILE* stream = nullptr;
        EXPECT_EQ(OpenForReading(dir / "scr000.sav", stream), row.expected);
        EXPECT_EQ(stream != nullptr, row.expected == OpenResult::Opened);
        if (stream != nullptr) std::fclose(stream);
    }
}

TEST(CreateNewFile, NeverOpensWhatIsAlreadyThere) {
    testfiles::ScopedTempDir dir;
    std::FILE* created = CreateNewFile(dir / "scr000.tmp");
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(CloseDurably(created));
    testfiles::WriteFile(dir.path() / "scr000.tmp", "someone's");
    EXPECT_EQ(CreateNewFile(dir / "scr000.tmp"), nullptr);
    EXPECT_EQ(testfiles::ReadFile(dir.path() / "scr000.tmp"), "someone's");
    // A link of that name, planted after the program removed a stale work file, is not
    // followed. (Where the platform's tests cannot make a link, this part has nothing to do.)
    std::error_code linkRefused;
    testfiles::WriteFile(dir.path() / "elsewhere", "someone's");
    fs::create_symlink("elsewhere", dir.path() / "scr001.tmp", linkRefused);
    if (!linkRefused) {
        EXPECT_EQ(CreateNewFile(dir / "scr001.tmp"), nullptr);
        EXPECT_EQ(testfiles::ReadFile(dir.path() / "elsewhere"), "someone's");
    }
}

struct RemoveCase {
    const char* name;
    std::function<void(const fs::path& file)> prepare;
    bool removed;
};

TEST(RemoveFile, RemovesFilesOnly) {
    const RemoveCase cases[] = {
        {"a file", [](const fs::path& file) { testfiles::WriteFile(file, "x"); }, true},
        {"nothing there counts as gone", [](const fs::path&) {}, true},
        {"never a directory", [](const fs::path& file) { fs::create_directory(file); }, false},
    };
    for (const RemoveCase& row : cases) {
        SCOPED_TRACE(row.name);
        testfiles::ScopedTempDir dir;
        row.prepare(dir.path() / "scr000.old");
        EXPECT_EQ(RemoveFile(dir / "scr000.old"), row.removed);
        EXPECT_EQ(fs::exists(dir.path() / "scr000.old"), !row.removed);
        // The folder holds nothing else: no file of the program's own is left behind.
        EXPECT_EQ(testfiles::DirectoryContents(dir.path()).size(), row.removed ? 0u : 1u);
    }
}

}  // namespace
