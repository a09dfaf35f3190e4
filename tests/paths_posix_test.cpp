// The registry's Windows path turned into this machine's path, as Wine would open it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "app/install_dir.h"
#include "platform/paths.h"
#include "registry_fixture.h"
#include "test_files.h"

namespace {

struct PathCase {
    const char* name;
    std::string value;     // %g stands for the game directory as Z: names it
    std::string expected;  // %p stands for the prefix, %g for the game directory's real path
    bool exists;           // whether the lookup finds a folder there
};

std::string Fill(std::string text, const std::string& pattern, const std::string& with) {
    for (std::size_t at = text.find(pattern); at != std::string::npos;
         at = text.find(pattern, at + with.size())) {
        text.replace(at, pattern.size(), with);
    }
    return text;
}

TEST(LookUpInstallDir, FindsTheDirectoryThroughWinesDrives) {
    const PathCase cases[] = {
        {"drive Z: is the root", "Z:%g", "%g", true},
        {"a trailing separator is not doubled", "Z:%g\\", "%g", true},
        {"components match without case", "z:%G", "%g", true},
        {"drive C: is the prefix's drive_c", "C:\\Program Files\\Quilmo\\ORVANE",
         "%p/drive_c/Program Files/Quilmo/Orvane", true},
        {"a missing component is kept as written", "C:\\Games\\Missing",
         "%p/drive_c/Games/Missing", false},
        {"a drive Wine does not have", "Q:\\Games", "%p/dosdevices/q:/Games", false},
    };
    for (const PathCase& row : cases) {
        SCOPED_TRACE(row.name);
        RegistryFixture registry("Software\\Quilmo\\Orvane");
        const std::string prefix = registry.prefix();
        testfiles::fs::create_directories(prefix + "/dosdevices");
        testfiles::fs::create_directories(prefix + "/drive_c/Program Files/Quilmo/Orvane");
        testfiles::fs::create_directories(prefix + "/drive_c/Games");
        ASSERT_EQ(symlink("../drive_c", (prefix + "/dosdevices/c:").c_str()), 0);
        ASSERT_EQ(symlink("/", (prefix + "/dosdevices/z:").c_str()), 0);
        testfiles::ScopedTempDir game;
        testfiles::fs::create_directory(game.path() / "Game");
        const std::string gamePath = testfiles::fs::canonical(game.path() / "Game").string();
        std::string windowsGame = gamePath;
        for (char& c : windowsGame) c = c == '/' ? '\\' : c;
        std::string upperGame = windowsGame.substr(0, windowsGame.size() - 4) + "GAME";

        const std::string value = Fill(Fill(row.value, "%g", windowsGame), "%G", upperGame);
        registry.SetString("InstallDir", value);
        const std::string realPrefix = testfiles::fs::canonical(prefix).string();
        const std::string expected = Fill(Fill(row.expected, "%g", gamePath), "%p", realPrefix);
        EXPECT_EQ(NativeInstallPath(value), expected);
        // The lookup adds the separator, and gives nothing for a folder that is not there.
        EXPECT_EQ(LookUpInstallDir(), row.exists ? expected + "/" : "");
    }
}

}  // namespace
