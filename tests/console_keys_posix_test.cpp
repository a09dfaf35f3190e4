// Keys typed into a real pseudo-terminal, read the way the program reads them.
#include "platform/console_keys.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

// A child process whose controlling terminal is a pseudo-terminal; it reads keys with
// ReadConsoleKey and sends each code back through a pipe.
class KeyReader {
public:
    KeyReader() {
        int codes[2];
        if (pipe(codes) != 0) return;
        pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
        if (pid_ == 0) {
            close(codes[0]);
            for (;;) {
                const int code = ReadConsoleKey();
                if (write(codes[1], &code, sizeof code) != sizeof code || code == kEndOfInput) {
                    _exit(0);
                }
            }
        }
        close(codes[1]);
        codes_ = codes[0];
    }
    ~KeyReader() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
        if (codes_ >= 0) close(codes_);
    }

    bool started() const { return pid_ > 0 && codes_ >= 0; }

    // Types keys once the child waits in raw mode, as a person at the keyboard would.
    bool Type(const std::string& keys) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        termios mode{};
        while (tcgetattr(master_, &mode) == 0 && (mode.c_lflag & ICANON) != 0) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return write(master_, keys.data(), keys.size()) == static_cast<ssize_t>(keys.size());
    }

    std::vector<int> Codes(std::size_t count) {
        std::vector<int> codes;
        while (codes.size() < count) {
            pollfd wait{codes_, POLLIN, 0};
            int code = 0;
            if (poll(&wait, 1, 10000) != 1 || read(codes_, &code, sizeof code) != sizeof code) break;
            codes.push_back(code);
        }
        return codes;
    }

private:
    pid_t pid_ = -1;
    int master_ = -1;
    int codes_ = -1;
};

struct KeyCase {
    const char* name;
    std::string typed;
    std::vector<int> codes;
};

TEST(ReadConsoleKey, GivesTheCodesOfAWindowsConsole) {
    const KeyCase cases[] = {
        {"a letter", "y", {'y'}},
        {"a capital", "N", {'N'}},
        {"Enter", "\r", {'\r'}},
        {"Ctrl+C arrives as a key", "\x03", {3}},
        {"Ctrl+Z arrives as a key", "\x1a", {26}},
        {"Ctrl+\\ arrives as a key", "\x1c", {28}},
        {"Up", "\x1b[A", {0xE0, 72}},
        {"Down", "\x1b[B", {0xE0, 80}},
        {"Right", "\x1b[C", {0xE0, 77}},
        {"Left", "\x1b[D", {0xE0, 75}},
        {"Home", "\x1b[H", {0xE0, 71}},
        {"End", "\x1bOF", {0xE0, 79}},
        {"Home as the Linux console sends it", "\x1b[1~", {0xE0, 71}},
        {"Insert", "\x1b[2~", {0xE0, 82}},
        {"Delete", "\x1b[3~", {0xE0, 83}},
        {"Page Up", "\x1b[5~", {0xE0, 73}},
        {"Page Down", "\x1b[6~", {0xE0, 81}},
        {"F1", "\x1bOP", {0, 59}},
        {"F4", "\x1bOS", {0, 62}},
        {"F5", "\x1b[15~", {0, 63}},
        {"F10", "\x1b[21~", {0, 68}},
        {"F11", "\x1b[23~", {0xE0, 133}},
        {"F12", "\x1b[24~", {0xE0, 134}},
        {"F2 on the Linux console", "\x1b[[B", {0, 60}},
        {"Ctrl+Up", "\x1b[1;5A", {0xE0, 141}},
        {"Shift+Up is Up", "\x1b[1;2A", {0xE0, 72}},
        {"Alt+Up", "\x1b[1;3A", {0, 152}},
        {"Ctrl+Delete", "\x1b[3;5~", {0xE0, 147}},
        {"Shift+F1", "\x1b[1;2P", {0, 84}},
        {"Shift+F6 gives the code of Y after its lead", "\x1b[17;2~", {0, 'Y'}},
        {"Ctrl+F6", "\x1b[17;5~", {0, 99}},
        {"Alt+F7 gives the code of n after its lead", "\x1b[18;3~", {0, 'n'}},
        {"Shift+F12", "\x1b[24;2~", {0xE0, 136}},
        {"Escape alone", "\x1b", {27}},
        {"Alt+x: a lead, then the key", "\x1bx", {0, 'x'}},
        {"Alt+2: a lead, then the key", "\x1b" "2", {0, '2'}},
        {"a kana is one key", "\xe3\x81\x82", {kOtherCharacter}},
        {"zu, whose CP932 form ends in Y's byte, is one key", "\xe3\x82\xba", {kOtherCharacter}},
        {"a full-width y is one key", "\xef\xbd\x99", {kOtherCharacter}},
        {"a character of four bytes is one key", "\xf0\x9f\x98\x80", {kOtherCharacter}},
    };
    KeyReader reader;
    ASSERT_TRUE(reader.started());
    for (const KeyCase& row : cases) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(reader.Type(row.typed));
        EXPECT_EQ(reader.Codes(row.codes.size()), row.codes);
    }
    // A key without a code is skipped: the next key is read as if it had not been pressed.
    ASSERT_TRUE(reader.Type("\x1b[99~"));
    ASSERT_TRUE(reader.Type("q"));
    EXPECT_EQ(reader.Codes(1), std::vector<int>{'q'});
}

TEST(ReadConsoleKey, WithoutATerminalGivesEndOfInputAtOnce) {
    int codes[2];
    ASSERT_EQ(pipe(codes), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        setsid();  // no controlling terminal from here on
        const int code = ReadConsoleKey();
        _exit(write(codes[1], &code, sizeof code) == sizeof code ? 0 : 1);
    }
    close(codes[1]);
    pollfd wait{codes[0], POLLIN, 0};
    int code = 0;
    ASSERT_EQ(poll(&wait, 1, 10000), 1);
    ASSERT_EQ(read(codes[0], &code, sizeof code), static_cast<ssize_t>(sizeof code));
    EXPECT_EQ(code, kEndOfInput);
    close(codes[0]);
    waitpid(pid, nullptr, 0);
}

}  // namespace
