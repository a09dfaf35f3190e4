// Whether the game may read its files from a VirtualStore this program does not see, and what
// in such a folder counts as the game's files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "correction/game_files.h"
#include "platform/paths.h"
#include "platform/virtual_store.h"
#include "test_files.h"

namespace {

struct TokenCase {
    const char* name;
    TokenState token;
    bool misses;
};

TEST(MissesVirtualStore, OnlyAProcessNotVirtualizedUnderUac) {
    const TokenCase cases[] = {
        {"run as administrator (and every program under Wine)", {false, 2}, true},
        {"64-bit, or with a manifest, not elevated", {false, 3}, true},
        {"32-bit without a manifest, not elevated: sees what the game sees", {true, 3}, false},
        {"UAC off: the game is not virtualized either", {false, 1}, false},
    };
    for (const TokenCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MissesVirtualStore(row.token), row.misses);
    }
}

struct FolderCase {
    const char* name;
    std::vector<std::string> files;
    std::vector<std::string> directories;
    bool holdsGameFiles;
};

TEST(HoldsGameFiles, SavesAndReadHistoryOnly) {
    const FolderCase cases[] = {
        {"empty", {}, {}, false},
        {"a save", {"scr000.sav"}, {}, true},
        {"the last slot, in capitals", {"SCR255.SAV"}, {}, true},
        {"a read-history file", {"r0123.dat"}, {}, true},
        {"backups, work files and other files are not enough",
         {"scr000.old", "scr000.tmp", "scr256.sav", "scr1.sav", "config.dat", "a1.dat"}, {}, false},
        {"a directory named like a save is none", {}, {"scr001.sav", "a0.dat"}, false},
    };
    for (const FolderCase& row : cases) {
        SCOPED_TRACE(row.name);
        testfiles::ScopedTempDir dir;
        for (const std::string& name : row.files) testfiles::WriteFile(dir.path() / name, "x");
        for (const std::string& name : row.directories) {
            testfiles::fs::create_directory(dir.path() / name);
        }
        EXPECT_EQ(HoldsGameFiles(dir.path().string() + kPathSeparator), row.holdsGameFiles);
    }
}

}  // namespace
