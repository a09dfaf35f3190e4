// The whole program, run as a player runs it, its output compared byte for byte.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "console/say.h"
#include "console/texts.h"
#include "installation_layout.h"
#include "program_runner.h"
#include "save_fixtures.h"
#include "test_files.h"

namespace {

using namespace runner;
using Files = std::map<std::string, std::string>;

const testing::Environment* const kWine = testing::AddGlobalTestEnvironment(new WineEnvironment);

const std::string kSave = savefixtures::MakeSave(
    "$scriptFilename\tch02.s\n$stackPointer\t1\n$lastScriptPointer\t5120\n$flag\t1\n_t\nplain\n");
const std::string kSaveCorrected = savefixtures::MakeSave(
    "$scriptFilename\tch02.s\n$stackPointer\t1\n$lastScriptPointer\t4\nplain\n");
const std::string kSave2 = savefixtures::MakeSave("$lastScriptPointer\t9\r\n$scriptFilename\tb\r\n");
const std::string kSave2Corrected = savefixtures::MakeSave("$lastScriptPointer\t4\n$scriptFilename\tb\r\n");

const Files kInstalled = {{"scr000.sav", kSave}, {"scr003.sav", kSave2}, {"a0.dat", "read"},
                          {"S01.DAT", "read"}, {"a0.data", "kept"}, {"game.exe", "MZ"}};
const Files kCorrected = {{"scr000.sav", kSaveCorrected}, {"scr000.old", kSave},
                          {"scr003.sav", kSave2Corrected}, {"scr003.old", kSave2},
                          {"a0.data", "kept"}, {"game.exe", "MZ"}};

enum class Registered { Installed, NotInstalled, FolderGone };

struct DialogueCase {
    const char* name;
    bool nativeOnly;  // Wine's console passes no Escape, function keys or Ctrl+C to the program
    Registered registered;
    bool withConsole;
    std::vector<std::string> args;
    std::vector<std::string> atPrompt;
    std::vector<std::string> atEnd;
    std::string said;  // after the banner
    Files after;
};

TEST(Program, RunsTheDialogue) {
    ORVANE_REQUIRE_PROGRAM();
    const std::string confirmed = Said(texts::kNotice) + Said(texts::kPrompt) +
                                  Said(texts::kYes) + Said(texts::kPurgingReadHistory) +
                                  Said(texts::kCorrectingSaves) + SaidSlot(0) + SaidSlot(3) +
                                  Said(texts::kDone);
    const std::string declined = Said(texts::kNotice) + Said(texts::kPrompt) + Said(texts::kNo);
    const DialogueCase cases[] = {
        {"y confirms; other keys at the prompt change nothing", false, Registered::Installed, true, {},
         {"x", "1", " ", "\r", "\x1b[A", "y"}, {"k"}, confirmed, kCorrected},
        {"Y confirms", false, Registered::Installed, true, {}, {"Y"}, {"\r"}, confirmed, kCorrected},
        {"n declines and touches nothing", false, Registered::Installed, true, {}, {"n"}, {"k"}, declined,
         kInstalled},
        {"N declines; arguments are ignored", false, Registered::Installed, true, {"--force", "y"}, {"N"}, {" "},
         declined, kInstalled},
        {"not installed: no notice, no prompt", false, Registered::NotInstalled, true, {}, {}, {"k"},
         Said(texts::kNotInstalled), kInstalled},
        {"a registered folder that is gone: not installed", false, Registered::FolderGone, true,
         {}, {}, {"k"}, Said(texts::kNotInstalled), kInstalled},
        {"no console: the answer is no and the program ends", false, Registered::Installed, false, {}, {}, {},
         declined, kInstalled},
        {"Escape, function keys and Ctrl+C at the prompt change nothing", true, Registered::Installed, true, {},
         {"\x1b", "\x1bOP", "\x1b[21~", "\x1b[24~", "\x03", "\x1a", "y"}, {"k"}, confirmed,
         kCorrected},
        {"Ctrl+C at the closing request ends the program like any key", true, Registered::Installed, true, {},
         {"n"}, {"\x03"}, declined, kInstalled},
        {"Escape at the closing request ends the program", true, Registered::NotInstalled, true, {}, {}, {"\x1b"},
         Said(texts::kNotInstalled), kInstalled},
    };
    for (const DialogueCase& row : cases) {
        if (row.nativeOnly && UnderWine()) continue;
        SCOPED_TRACE(row.name);
        Installation installation;
        for (const auto& [name, bytes] : kInstalled) {
            testfiles::WriteFile(installation.dir() / name, bytes);
        }
        installation.Register(row.registered != Registered::NotInstalled,
                              row.registered == Registered::FolderGone ? "\\Gone" : "");
        testfiles::ScopedTempDir outputDir;
        RunOptions options;
        if (!row.atPrompt.empty()) options.script.push_back({Said(texts::kPrompt), row.atPrompt});
        if (!row.atEnd.empty()) options.script.push_back({Said(texts::kPressAnyKey), row.atEnd});
        options.withConsole = row.withConsole;
        options.args = row.args;
        const Finished run = RunProgram(outputDir.path() / "stdout", options);
        EXPECT_TRUE(run.finished) << run.Describe();
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.output, Said(texts::kBanner) + row.said + Said(texts::kPressAnyKey) +
                                  Said(texts::kLineEnd));
        EXPECT_EQ(testfiles::DirectoryContents(installation.dir()), row.after);
    }
}

// On a terminal the texts must be readable: UTF-8 where the locale is UTF-8 (natively, and
// under Wine, whose console shows the program's Unicode in the terminal's character set).
TEST(Program, ShowsJapaneseOnAUtf8Terminal) {
    ORVANE_REQUIRE_PROGRAM();
    Installation installation;
    testfiles::WriteFile(layout::SlotFile(installation.dir(), 0, "sav"), kSave);
    installation.Register(true);
    testfiles::ScopedTempDir outputDir;
    RunOptions options;
    options.outputToTerminal = true;
    options.environment = {"LANG=C.UTF-8", "LC_ALL=C.UTF-8"};
    // Wine's console draws the prompt's last space as a cursor movement.
    const std::string prompt = "処理を開始してよろしいですか？　(y/n)";
    options.script = {{prompt, {"n"}}, {"何かキーを押してください.", {"k"}}};
    const Finished run = RunProgram(outputDir.path() / "stdout", options);
    EXPECT_TRUE(run.finished) << run.Describe();
    EXPECT_EQ(run.exitStatus, 0);
    for (const char* text : {"Orvane -Selvanna- セーブデータ補正プログラム Ver.1.00",
                             "既読情報はすべて初期化され、それぞれのセーブデータは章の先頭まで巻き戻されます。",
                             "処理を開始してよろしいですか？　(y/n)", "No", "何かキーを押してください."}) {
        EXPECT_NE(run.screen.find(text), std::string::npos) << "not on the screen: " << text;
    }
    EXPECT_EQ(run.screen.find(Said(texts::kBanner).substr(20, 6)), std::string::npos)
        << "Shift-JIS bytes reached the UTF-8 terminal";
}

}  // namespace
