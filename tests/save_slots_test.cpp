#include "correction/save_slots.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "console/say.h"
#include "console/texts.h"
#include "platform/paths.h"
#include "save_fixtures.h"
#include "test_files.h"

namespace {

using savefixtures::MakeSave;
using Files = std::map<std::string, std::string>;

const std::string kDirectory = "<dir>";  // in a Files map: a directory (holding one file)

const std::string kOriginal = MakeSave("$scriptFilename\tch01\n$lastScriptPointer\t812\n$f\t1\n");
const std::string kCorrected = MakeSave("$scriptFilename\tch01\n$lastScriptPointer\t4\n");
const std::string kOther = MakeSave("_a\nplain\n$lastScriptPointer\t5\r\n");
const std::string kOtherCorrected = MakeSave("plain\n$lastScriptPointer\t4\n");

void Populate(const testfiles::ScopedTempDir& dir, const Files& files) {
    for (const auto& [name, bytes] : files) {
        if (bytes == kDirectory) {
            testfiles::fs::create_directory(dir.path() / name);
            testfiles::WriteFile(dir.path() / name / "inside", "x");
        } else {
            testfiles::WriteFile(dir.path() / name, bytes);
        }
    }
}

std::string Slot(int slot) { return FormatText(texts::kCorrectingSlot, slot); }

std::string WithInstallDir(std::string text, const std::string& dir) {
    for (std::size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at)) {
        text.replace(at, 2, dir);
        at += dir.size();
    }
    return text;
}

std::string RunCorrection(const testfiles::ScopedTempDir& dir) {
    testing::internal::CaptureStdout();
    CorrectSaveSlots(dir.path().string() + kPathSeparator);
    return testing::internal::GetCapturedStdout();
}

struct SlotCase {
    const char* name;
    Files before;
    // What the run says after its heading; %s stands for the installation directory.
    std::string said;
    Files after;
};

TEST(CorrectSaveSlots, CorrectsEverySlotAndKeepsBackups) {
    const SlotCase cases[] = {
        {"no saves", {{"other.dat", "x"}}, "", {{"other.dat", "x"}}},
        {"slots 0, 7 and 255, in that order",
         {{"scr000.sav", kOriginal}, {"scr007.sav", kOther}, {"scr255.sav", kOriginal}},
         Slot(0) + Slot(7) + Slot(255),
         {{"scr000.sav", kCorrected}, {"scr000.old", kOriginal},
          {"scr007.sav", kOtherCorrected}, {"scr007.old", kOther},
          {"scr255.sav", kCorrected}, {"scr255.old", kOriginal}}},
        {"slot numbers past 255 and other names are not saves",
         {{"scr256.sav", kOriginal}, {"scr1.sav", kOriginal}, {"SCR001.SAV.bak", kOriginal}},
         "",
         {{"scr256.sav", kOriginal}, {"scr1.sav", kOriginal}, {"SCR001.SAV.bak", kOriginal}}},
        {"a stale work file is overwritten",
         {{"scr003.sav", kOriginal}, {"scr003.tmp", "half a save from a run that stopped"}},
         Slot(3), {{"scr003.sav", kCorrected}, {"scr003.old", kOriginal}}},
        {"an earlier backup gives way to the save as it was",
         {{"scr001.sav", kOther}, {"scr001.old", "backup of an earlier run"}},
         Slot(1), {{"scr001.sav", kOtherCorrected}, {"scr001.old", kOther}}},
        {"a backup that cannot be removed leaves the save as it was",
         {{"scr002.sav", kOriginal}, {"scr002.old", kDirectory}, {"scr009.sav", kOther}},
         Slot(2) + FormatText(texts::kCannotReplace, "%sscr002.sav") + Slot(9),
         {{"scr002.sav", kOriginal}, {"scr002.old", kDirectory},
          {"scr009.sav", kOtherCorrected}, {"scr009.old", kOther}}},
        {"a work file that cannot be created leaves the save as it was",
         {{"scr004.sav", kOriginal}, {"scr004.tmp", kDirectory}, {"scr004.old", "kept"}},
         FormatText(texts::kCannotCreate, "%sscr004.tmp"),
         {{"scr004.sav", kOriginal}, {"scr004.tmp", kDirectory}, {"scr004.old", "kept"}}},
        {"damaged saves are left as they were, later slots go on",
         {{"scr005.sav", "no header end"}, {"scr005.old", "kept"}, {"scr006.sav", ""},
          {"scr008.sav", savefixtures::Header() + "short block"}, {"scr010.sav", kOriginal}},
         Slot(5) + FormatText(texts::kSaveDamaged, "%sscr005.sav") + Slot(6) +
             FormatText(texts::kSaveDamaged, "%sscr006.sav") + Slot(8) +
             FormatText(texts::kSaveDamaged, "%sscr008.sav") + Slot(10),
         {{"scr005.sav", "no header end"}, {"scr005.old", "kept"}, {"scr006.sav", ""},
          {"scr008.sav", savefixtures::Header() + "short block"},
          {"scr010.sav", kCorrected}, {"scr010.old", kOriginal}}},
        {"a directory named like a save is not a save",
         {{"scr011.sav", kDirectory}}, "", {{"scr011.sav", kDirectory}}},
    };
    for (const SlotCase& row : cases) {
        SCOPED_TRACE(row.name);
        testfiles::ScopedTempDir dir;
        Populate(dir, row.before);
        const std::string said = RunCorrection(dir);
        const std::string expected =
            FormatText("%s", texts::kCorrectingSaves) +
            WithInstallDir(row.said, dir.path().string() + kPathSeparator);
        EXPECT_EQ(said, expected);
        EXPECT_EQ(testfiles::DirectoryContents(dir.path()), row.after);
    }
}

TEST(CorrectSaveSlots, SecondRunKeepsTheOnceCorrectedSaveAsBackup) {
    testfiles::ScopedTempDir dir;
    Populate(dir, {{"scr012.sav", kOriginal}});
    RunCorrection(dir);
    EXPECT_EQ(RunCorrection(dir), FormatText("%s", texts::kCorrectingSaves) + Slot(12));
    EXPECT_EQ(testfiles::DirectoryContents(dir.path()),
              (Files{{"scr012.sav", kCorrected}, {"scr012.old", kCorrected}}));
}

}  // namespace
