#include <gtest/gtest.h>

#include "app/install_dir.h"
#include "registry_fixture.h"
#include "test_files.h"

namespace {

struct InstallDirCase {
    const char* name;
    const char* folder;  // made inside a temporary folder; the registry names it
    const char* suffix;  // added to the value after the folder's path
    const char* added;   // what the lookup adds after the value
};

TEST(LookUpInstallDir, AddsOneSeparator) {
    const InstallDirCase cases[] = {
        {"a plain directory", "Story", "", "\\"},
        {"a value that already ends in a separator gets a second one", "Story", "\\", "\\"},
        {"a Japanese folder name, whatever the ANSI code page", "ゲーム\\オルヴァン", "", "\\"},
    };
    for (const InstallDirCase& row : cases) {
        SCOPED_TRACE(row.name);
        testfiles::ScopedTempDir dir;
        const testfiles::fs::path folder = dir.path() / testfiles::fs::u8path(row.folder);
        testfiles::fs::create_directories(folder);
        const std::string value = folder.u8string() + row.suffix;
        RegistryFixture registry("Software\\Quilmo\\Orvane");
        registry.SetString("InstallDir", value);
        EXPECT_EQ(LookUpInstallDir(), value + row.added);
    }
}

}  // namespace
