// The whole program, run as a player runs it, its output compared byte for byte and every file
// of the game folder checked afterwards.
//
// What Wine 8's console passes from a terminal to ReadConsoleInputW (measured with a probe that
// printed each key event): function keys, alone and with Shift, Ctrl or Alt (ESC O P,
// ESC [ 17 ; 2 ~, ESC [ 18 ; 3 ~); cursor keys in their ESC O form and with modifiers
// (ESC [ 1 ; 5 A, as Ctrl with no ENHANCED_KEY flag); Alt with a key (as Alt pressed, then the
// key with its character and LEFT_ALT_PRESSED); a kana or a full-width letter typed in UTF-8 (as
// one key event with the character and no virtual key); Enter. It does not pass: Ctrl+C (no
// event at all, and the program goes on), a cursor key as ESC [ A (a lone Escape, and the rest
// is lost), and a lone Escape (an Escape event without its character, after which the next key
// is lost). Wine's console also reads the terminal only when the program asks for a key, so a
// key typed before the program started is not yet in the console's buffer when the program
// discards typed-ahead keys, and answers the prompt; keys typed together with the answer are in
// the buffer and are discarded. Rows that need what Wine does not pass are native only.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "console/say.h"
#include "console/texts.h"
#include "installation_layout.h"
#include "platform/cp932.h"
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
    bool nativeOnly;  // keys Wine's console does not pass (see the top of this file)
    Registered registered;
    bool withConsole;
    std::vector<std::string> args;
    std::vector<std::string> typedAhead;  // before the program has said anything
    std::vector<std::string> atPrompt;
    std::vector<std::string> atEnd;
    std::string said;  // after the banner
    Files after;
};

std::string Confirmed() {
    return Said(texts::kNotice) + Said(texts::kPrompt) + Said(texts::kYes) +
           Said(texts::kPurgingReadHistory) + Said(texts::kCorrectingSaves) + SaidSlot(0) +
           SaidSlot(3) + Said(texts::kDone);
}

std::string Declined() { return Said(texts::kNotice) + Said(texts::kPrompt) + Said(texts::kNo); }

void WriteFiles(const fs::path& dir, const Files& files) {
    for (const auto& [name, bytes] : files) testfiles::WriteFile(dir / name, bytes);
}

std::string Ended(const std::string& said) {
    return Said(texts::kBanner) + said + Said(texts::kPressAnyKey) + Said(texts::kLineEnd);
}

TEST(Program, RunsTheDialogue) {
    ORVANE_REQUIRE_PROGRAM();
    const std::string confirmed = Confirmed();
    const std::string declined = Declined();
    const DialogueCase cases[] = {
        {"y confirms; other keys at the prompt change nothing", false, Registered::Installed, true,
         {}, {}, {"x", "1", " ", "\r", "\x1bOA", "y"}, {"k"}, confirmed, kCorrected},
        {"Y confirms", false, Registered::Installed, true, {}, {}, {"Y"}, {"\r"}, confirmed,
         kCorrected},
        {"n declines and touches nothing", false, Registered::Installed, true, {}, {}, {"n"}, {"k"},
         declined, kInstalled},
        {"N declines; arguments are ignored", false, Registered::Installed, true, {"--force", "y"},
         {}, {"N"}, {" "}, declined, kInstalled},
        {"not installed: no notice, no prompt", false, Registered::NotInstalled, true, {}, {}, {},
         {"k"}, Said(texts::kNotInstalled), kInstalled},
        {"a registered folder that is gone: not installed", false, Registered::FolderGone, true,
         {}, {}, {}, {"k"}, Said(texts::kNotInstalled), kInstalled},
        {"no console: the answer is no and the program ends", false, Registered::Installed, false,
         {}, {}, {}, {}, declined, kInstalled},
        {"function keys and Ctrl+C at the prompt change nothing", false, Registered::Installed,
         true, {}, {}, {"\x1bOP", "\x1b[21~", "\x1b[24~", "\x03", "\x1a", "y"}, {"k"}, confirmed,
         kCorrected},
        {"Shift+F6, Alt+2 and Alt+F7, whose second codes are Y, y and n, change nothing", false,
         Registered::Installed, true, {}, {}, {"\x1b[17;2~", "\x1b" "2", "\x1b[18;3~", "y"}, {"k"},
         confirmed, kCorrected},
        {"Alt+y and Alt+n change nothing", false, Registered::Installed, true, {}, {},
         {"\x1by", "\x1bn", "n"}, {"k"}, declined, kInstalled},
        {"a kana (zu) and a full-width y change nothing", false, Registered::Installed, true, {},
         {}, {"\xe3\x82\xba", "\xef\xbd\x99", "n"}, {"k"}, declined, kInstalled},
        {"a y typed before the prompt is shown does not answer it", true, Registered::Installed,
         true, {}, {"y"}, {"n"}, {"k"}, declined, kInstalled},
        {"keys pressed while the correction runs do not answer the closing request", false,
         Registered::Installed, true, {}, {}, {"yy\r"}, {"k"}, confirmed, kCorrected},
        {"Escape and cursor keys as ESC [ at the prompt change nothing", true,
         Registered::Installed, true, {}, {}, {"\x1b", "\x1b[A", "\x1b[1;5A", "y"}, {"k"},
         confirmed, kCorrected},
        {"Ctrl+C at the closing request ends the program like any key", true,
         Registered::Installed, true, {}, {}, {"n"}, {"\x03"}, declined, kInstalled},
        {"Escape at the closing request ends the program", true, Registered::NotInstalled, true,
         {}, {}, {}, {"\x1b"}, Said(texts::kNotInstalled), kInstalled},
    };
    for (const DialogueCase& row : cases) {
        if (row.nativeOnly && UnderWine()) continue;
        SCOPED_TRACE(row.name);
        Installation installation;
        WriteFiles(installation.dir(), kInstalled);
        installation.Register(row.registered != Registered::NotInstalled,
                              row.registered == Registered::FolderGone ? "\\Gone" : "");
        testfiles::ScopedTempDir outputDir;
        RunOptions options;
        if (!row.typedAhead.empty()) options.script.push_back({"", row.typedAhead});
        if (!row.atPrompt.empty()) options.script.push_back({Said(texts::kPrompt), row.atPrompt});
        if (!row.atEnd.empty()) options.script.push_back({Said(texts::kPressAnyKey), row.atEnd});
        options.withConsole = row.withConsole;
        options.args = row.args;
        const Finished run = RunProgram(outputDir.path() / "stdout", options);
        // A run that never ends waits out its time limit: the rows after it would too.
        ASSERT_TRUE(run.finished) << run.Describe();
        EXPECT_FALSE(run.endedBeforeKeys) << run.Describe();
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.output, Ended(row.said)) << run.Describe();
        EXPECT_EQ(testfiles::DirectoryContents(installation.dir()), row.after);
    }
}

// A file's path as the program writes it to a file: the Windows program names it through
// drive Z: in CP932, the native one as it is.
std::string PathSaid(const fs::path& dir, const std::string& name) {
    if (!UnderWine()) return (dir / name).string();
    return Cp932FromUtf8(layout::WindowsPath(fs::canonical(dir)) + "\\" + name);
}

// Another program holding a file open without sharing it, for as long as the object lives.
class HeldOpen {
public:
    explicit HeldOpen(const fs::path& file) {
        const std::string helper = Variable("ORVANE_HOLD_FILE");
        pid_ = fork();
        if (pid_ == 0) {
            const int null = open("/dev/null", O_RDWR);
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            // Wine's loader starts itself again by the name it was given.
            const std::string loader = WineLoader();
            execl(loader.c_str(), loader.c_str(), helper.c_str(),
                  layout::WindowsPath(file).c_str(), layout::WindowsPath(marker_.path() / "held").c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int waited = 0; waited < 300 && !fs::exists(marker_.path() / "held"); ++waited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        holding_ = fs::exists(marker_.path() / "held");
    }
    ~HeldOpen() {
        std::error_code ignored;
        fs::remove(marker_.path() / "held", ignored);
        int status = 0;
        for (int waited = 0; waited < 100 && waitpid(pid_, &status, WNOHANG) == 0; ++waited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool holding() const { return holding_; }

private:
    testfiles::ScopedTempDir marker_;
    pid_t pid_ = -1;
    bool holding_ = false;
};

struct FilesCase {
    const char* name;
    bool wineOnly;
    std::string folder;  // the game folder's name, inside a temporary folder
    std::string lang;    // the locale: under Wine it sets the ANSI code page
    bool asks;           // the run reaches the prompt, which is answered y
    // Prepares the folder (and the prefix) before the run; may keep something alive through it.
    std::function<std::shared_ptr<void>(const fs::path& dir)> prepare;
    // What the run says after the banner; given the game folder.
    std::function<std::string(const fs::path& dir)> said;
    Files after;
    // A VirtualStore twin's files after the run, if the row makes one.
    Files twinAfter;
};

// The folder where Windows keeps a virtualized game's own files, in the Wine prefix.
fs::path TwinOf(const fs::path& dir) {
    const std::string path = fs::canonical(dir).string();
    return WineEnvironment::LocalAppData() / "VirtualStore" / path.substr(1);
}

std::string CorrectionSaid(const std::string& slotLines) {
    return Said(texts::kNotice) + Said(texts::kPrompt) + Said(texts::kYes) +
           Said(texts::kPurgingReadHistory) + Said(texts::kCorrectingSaves) + slotLines +
           Said(texts::kDone);
}

TEST(Program, CorrectsTheFilesTheGameUses) {
    ORVANE_REQUIRE_PROGRAM();
    Files readOnlyAfter = kCorrected;
    readOnlyAfter["scr003.sav"] = kSave2;
    readOnlyAfter.erase("scr003.old");
    Files heldAfter = kCorrected;
    heldAfter["scr000.sav"] = kSave;
    heldAfter.erase("scr000.old");
    Files linkAfter = kCorrected;
    linkAfter["elsewhere.dat"] = "not a save";
    Files fifoAfter = kCorrected;
    fifoAfter["scr005.sav"] = "<other>";
    Files damagedAfter = kCorrected;
    damagedAfter["scr005.sav"] = "damaged";
    const auto damaged = [](const fs::path& dir) {
        testfiles::WriteFile(dir / "scr005.sav", "damaged");
        return std::shared_ptr<void>();
    };
    const auto saidDamaged = [](const fs::path& dir) {
        return CorrectionSaid(SaidSlot(0) + SaidSlot(3) + SaidSlot(5) +
                              Said(FormatText(texts::kSaveDamaged, PathSaid(dir, "scr005.sav").c_str())));
    };
    const FilesCase cases[] = {
        {"a Japanese folder with the ANSI code page at 1252", false, "ゲーム/オルヴァン",
         "C.UTF-8", true, damaged, saidDamaged, damagedAfter, {}},
        {"a Japanese folder with the ANSI code page at 932", false, "ゲーム/オルヴァン",
         "ja_JP.UTF-8", true, damaged, saidDamaged, damagedAfter, {}},
        {"a read-only save is reported and left as it is", false, "Orvane", "C.UTF-8", true,
         [](const fs::path& dir) {
             fs::permissions(dir / "scr003.sav", fs::perms::owner_read | fs::perms::group_read |
                                                     fs::perms::others_read);
             return std::shared_ptr<void>();
         },
         [](const fs::path& dir) {
             return CorrectionSaid(SaidSlot(0) + Said(FormatText(texts::kCannotReplace,
                                                                 PathSaid(dir, "scr003.sav").c_str())));
         },
         readOnlyAfter, {}},
        {"a stale work file that links elsewhere: the file it names is left alone", false,
         "Orvane", "C.UTF-8", true,
         [](const fs::path& dir) {
             testfiles::WriteFile(dir / "elsewhere.dat", "not a save");
             fs::create_symlink("elsewhere.dat", dir / "scr003.tmp");
             return std::shared_ptr<void>();
         },
         [](const fs::path&) { return CorrectionSaid(SaidSlot(0) + SaidSlot(3)); }, linkAfter,
         {}},
        {"a FIFO named like a save is an empty slot, and the run does not hang", false, "Orvane",
         "C.UTF-8", true,
         [](const fs::path& dir) {
             EXPECT_EQ(mkfifo((dir / "scr005.sav").c_str(), 0644), 0);
             return std::shared_ptr<void>();
         },
         [](const fs::path&) { return CorrectionSaid(SaidSlot(0) + SaidSlot(3)); }, fifoAfter,
         {}},
        {"a save another program holds open is reported and left as it is", true, "Orvane",
         "C.UTF-8", true,
         [](const fs::path& dir) {
             auto held = std::make_shared<HeldOpen>(dir / "scr000.sav");
             EXPECT_TRUE(held->holding()) << "the helper could not hold the save open";
             return std::shared_ptr<void>(held);
         },
         [](const fs::path& dir) {
             return CorrectionSaid(Said(FormatText(texts::kCannotRead,
                                                   PathSaid(dir, "scr000.sav").c_str())) +
                                   SaidSlot(3));
         },
         heldAfter, {}},
        {"a VirtualStore twin without the game's files: the run is normal", true, "Orvane",
         "C.UTF-8", true,
         [](const fs::path& dir) {
             fs::create_directories(TwinOf(dir));
             testfiles::WriteFile(TwinOf(dir) / "config.dat", "settings");
             return std::shared_ptr<void>();
         },
         [](const fs::path&) { return CorrectionSaid(SaidSlot(0) + SaidSlot(3)); }, kCorrected,
         {{"config.dat", "settings"}}},
        // Under Wine the program never sees the game's VirtualStore the way a virtualized game
        // does (its token: not virtualized, elevation type full): where the twin holds the
        // game's files, nothing is changed in either folder.
        {"a VirtualStore twin with the game's files: nothing changes, the player is told where",
         true, "Orvane", "C.UTF-8", false,
         [](const fs::path& dir) {
             fs::create_directories(TwinOf(dir));
             WriteFiles(TwinOf(dir), {{"scr000.sav", kSave2}, {"a0.dat", "read"}});
             return std::shared_ptr<void>();
         },
         [](const fs::path& dir) {
             // LOCALAPPDATA as Wine sets it, C:\users\<user>\AppData\Local.
             const std::string user =
                 WineEnvironment::LocalAppData().parent_path().parent_path().filename();
             const std::string twin = "C:\\users\\" + user + "\\AppData\\Local\\VirtualStore" +
                                      layout::WindowsPath(fs::canonical(dir)).substr(2);
             return Said(FormatText(texts::kGameFilesElsewhere, Cp932FromUtf8(twin).c_str()));
         },
         kInstalled, {{"scr000.sav", kSave2}, {"a0.dat", "read"}}},
    };
    for (const FilesCase& row : cases) {
        if (row.wineOnly && !UnderWine()) continue;
        SCOPED_TRACE(row.name);
        testfiles::ScopedTempDir parent;
        const fs::path dir = parent.path() / fs::u8path(row.folder);
        fs::create_directories(dir);
        Installation installation(dir);
        WriteFiles(dir, kInstalled);
        installation.Register(true);
        const std::shared_ptr<void> alive = row.prepare(dir);
        testfiles::ScopedTempDir outputDir;
        RunOptions options;
        options.environment = {"LANG=" + row.lang, "LC_ALL=" + row.lang};
        if (row.asks) options.script.push_back({Said(texts::kPrompt), {"y"}});
        options.script.push_back({Said(texts::kPressAnyKey), {"k"}});
        const Finished run = RunProgram(outputDir.path() / "stdout", options);
        // A run that never ends waits out its time limit: the rows after it would too.
        ASSERT_TRUE(run.finished) << run.Describe();
        EXPECT_EQ(run.output, Ended(row.said(dir))) << run.Describe();
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(testfiles::DirectoryContents(dir), row.after);
        if (!row.twinAfter.empty()) {
            EXPECT_EQ(testfiles::DirectoryContents(TwinOf(dir)), row.twinAfter);
        }
        std::error_code ignored;
        fs::remove_all(WineEnvironment::LocalAppData() / "VirtualStore", ignored);
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
