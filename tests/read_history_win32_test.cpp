// Windows keeps a read-only file from being deleted; the purge leaves it and goes on.
#include <gtest/gtest.h>
#include <windows.h>

#include "correction/read_history.h"
#include "platform/paths.h"
#include "test_files.h"

namespace {

TEST(PurgeReadHistory, LeavesAReadOnlyFileAndDeletesTheOthers) {
    testfiles::ScopedTempDir dir;
    for (const char* name : {"b0.dat", "c0.dat", "d0.dat"}) {
        testfiles::WriteFile(dir.path() / name, "read");
    }
    ASSERT_TRUE(SetFileAttributesA((dir / "c0.dat").c_str(), FILE_ATTRIBUTE_READONLY));
    testing::internal::CaptureStdout();
    PurgeReadHistory(dir.path().string() + kPathSeparator);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(testfiles::DirectoryContents(dir.path()),
              (std::map<std::string, std::string>{{"c0.dat", "read"}}));
    SetFileAttributesA((dir / "c0.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
