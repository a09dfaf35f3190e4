#include <gtest/gtest.h>

#include "app/install_dir.h"
#include "registry_fixture.h"

namespace {

struct InstallDirCase {
    const char* name;
    const char* value;
    const char* expected;
};

TEST(LookUpInstallDir, AddsOneSeparator) {
    const InstallDirCase cases[] = {
        {"a plain directory", "D:\\Games\\Story", "D:\\Games\\Story\\"},
        {"a value that already ends in a separator gets a second one", "D:\\Games\\Story\\",
         "D:\\Games\\Story\\\\"},
        {"non-ASCII names pass as the ANSI code page has them", "C:\\Games\\Orvane\x82\xa0",
         "C:\\Games\\Orvane\x82\xa0\\"},
    };
    for (const InstallDirCase& row : cases) {
        SCOPED_TRACE(row.name);
        RegistryFixture registry("Software\\Quilmo\\Orvane");
        registry.SetString("InstallDir", row.value);
        installDir.clear();
        LookUpInstallDir();
        EXPECT_EQ(installDir, row.expected);
    }
}

}  // namespace
