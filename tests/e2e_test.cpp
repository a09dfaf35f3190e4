// The whole program, run as a player runs it, its output compared byte for byte.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/console_text.h"
#include "app/texts.h"
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

struct DialogueCase {
    const char* name;
    bool nativeOnly;  // Wine's console passes no Escape, function keys or Ctrl+C to the program
    bool installed;
    bool withConsole;
    std::vector<std::string> args;
    std::vector<std::string> atPrompt;
    std::vector<std::string> atEnd;
    std::string said;  // after the banner
    Files after;
};

TEST(Program, RunsTheDialogue) {
    if (ProgramPath().empty() || !fs::exists(ProgramPath())) {
        GTEST_SKIP() << "no program at ORVANE_PROGRAM=" << ProgramPath();
    }
    const std::string confirmed = Said(texts::kNotice) + Said(texts::kPrompt) +
                                  Said(texts::kYes) + Said(texts::kPurgingReadHistory) +
                                  Said(texts::kCorrectingSaves) + SaidSlot(0) + SaidSlot(3) +
                                  Said(texts::kDone);
    const std::string declined = Said(texts::kNotice) + Said(texts::kPrompt) + Said(texts::kNo);
    const DialogueCase cases[] = {
        {"y confirms; other keys at the prompt change nothing", false, true, true, {},
         {"x", "1", " ", "\r", "\x1b[A", "y"}, {"k"}, confirmed, kCorrected},
        {"Y confirms", false, true, true, {}, {"Y"}, {"\r"}, confirmed, kCorrected},
        {"n declines and touches nothing", false, true, true, {}, {"n"}, {"k"}, declined,
         kInstalled},
        {"N declines; arguments are ignored", false, true, true, {"--force", "y"}, {"N"}, {" "},
         declined, kInstalled},
        {"not installed: no notice, no prompt", false, false, true, {}, {}, {"k"},
         Said(texts::kNotInstalled), kInstalled},
        {"no console: the answer is no and the program ends", false, true, false, {}, {}, {},
         declined, kInstalled},
        {"Escape, function keys and Ctrl+C at the prompt change nothing", true, true, true, {},
         {"\x1b", "\x1bOP", "\x1b[21~", "\x1b[24~", "\x03", "\x1a", "y"}, {"k"}, confirmed,
         kCorrected},
        {"Ctrl+C at the closing request ends the program like any key", true, true, true, {},
         {"n"}, {"\x03"}, declined, kInstalled},
        {"Escape at the closing request ends the program", true, false, true, {}, {}, {"\x1b"},
         Said(texts::kNotInstalled), kInstalled},
    };
    for (const DialogueCase& row : cases) {
        if (row.nativeOnly && UnderWine()) continue;
        SCOPED_TRACE(row.name);
        Installation installation;
        for (const auto& [name, bytes] : kInstalled) {
            testfiles::WriteFile(installation.dir() / name, bytes);
        }
        installation.Register(row.installed);
        testfiles::ScopedTempDir outputDir;
        Terminal terminal(outputDir.path() / "stdout");
        RunOptions options;
        if (!row.atPrompt.empty()) options.script.push_back({Said(texts::kPrompt), row.atPrompt});
        if (!row.atEnd.empty()) options.script.push_back({Said(texts::kPressAnyKey), row.atEnd});
        options.withConsole = row.withConsole;
        options.args = row.args;
        const Finished run = terminal.Start(options);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.output, Said(texts::kBanner) + row.said + Said(texts::kPressAnyKey) +
                                  Said(texts::kLineEnd));
        EXPECT_EQ(testfiles::DirectoryContents(installation.dir()), row.after);
    }
}

}  // namespace
