#include "correction/read_history.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "console/say.h"
#include "console/texts.h"
#include "platform/paths.h"
#include "test_files.h"

namespace {

struct WildcardCase {
    const char* name;
    const char* pattern;
    const char* file;
    bool matches;
};

TEST(MatchesWildcard, FollowsWindowsRules) {
    const WildcardCase cases[] = {
        {"history file", "?0*.dat", "a0.dat", true},
        {"star takes a run", "?0*.dat", "r0123.dat", true},
        {"case does not matter", "?0*.dat", "S01.DAT", true},
        {"mixed case", "?0*.dat", "Q0.Dat", true},
        {"digit first", "?0*.dat", "0a.dat", false},
        {"wrong digit", "?0*.dat", "a1.dat", false},
        {"other extension", "?0*.dat", "a0.sav", false},
        {"longer extension", "?0*.dat", "a0.data", false},
        {"extension with a tail", "?0*.dat", "A0.Dat2", false},
        {"question mark is one character", "?0*.dat", "ab0.dat", false},
        {"question mark is never none", "?0*.dat", "0.dat", false},
        {"save file", "?0*.dat", "scr000.sav", false},
        {"star backs up", "*a*b", "xaab", true},
        {"star at the end", "a*", "a", true},
        {"empty name", "?0*.dat", "", false},
        {"non-ASCII bytes compare exactly", "?0*.dat", "\x82\xa0" "0.dat", false},
    };
    for (const WildcardCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MatchesWildcard(row.file, row.pattern), row.matches);
    }
}

TEST(PurgeReadHistory, DeletesOnlyReadHistoryFiles) {
    testfiles::ScopedTempDir dir;
    const char* deleted[] = {"a0.dat", "r0123.dat", "S01.DAT", "Q0.Dat"};
    const char* kept[] = {"0a.dat", "a1.dat", "a0.sav", "a0.data", "A0.Dat2", "ab0.dat",
                          "scr000.sav", "scr000.tmp", "scr000.old", "x0~1.dat.txt"};
    for (const char* name : deleted) testfiles::WriteFile(dir.path() / name, "read");
    for (const char* name : kept) testfiles::WriteFile(dir.path() / name, name);
    testfiles::fs::create_directory(dir.path() / "b0.dat");
    testfiles::fs::create_directory(dir.path() / "sub");
    testfiles::WriteFile(dir.path() / "sub" / "c0.dat", "read");

    testing::internal::CaptureStdout();
    PurgeReadHistory(dir.path().string() + kPathSeparator);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), texts::kPurgingReadHistory);

    std::map<std::string, std::string> expected;
    for (const char* name : kept) expected[name] = name;
    expected["b0.dat"] = "<dir>";
    expected["sub"] = "<dir>";
    EXPECT_EQ(testfiles::DirectoryContents(dir.path()), expected);
    EXPECT_TRUE(testfiles::fs::exists(dir.path() / "sub" / "c0.dat"));
}

TEST(PurgeReadHistory, SaysOnlyItsHeadingWhenThereIsNothingToDelete) {
    testfiles::ScopedTempDir dir;
    testfiles::WriteFile(dir.path() / "scr001.sav", "save");
    testing::internal::CaptureStdout();
    PurgeReadHistory(dir.path().string() + kPathSeparator);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), texts::kPurgingReadHistory);
    EXPECT_EQ(testfiles::DirectoryContents(dir.path()),
              (std::map<std::string, std::string>{{"scr001.sav", "save"}}));
}

}  // namespace
