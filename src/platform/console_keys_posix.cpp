#include "platform/console_keys.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <string>

// A terminal sends cursor and function keys as escape sequences; they are turned into the two
// codes a Windows console gives for the same keys, so the dialogue sees one kind of input.

namespace {

std::deque<int> pendingCodes;

// How long the rest of an escape sequence may take to follow its Escape byte.
constexpr int kSequenceWaitMs = 50;

struct KeyCodes {
    int lead;
    int code;
};

constexpr KeyCodes kNoKey{-1, -1};
constexpr int kArrowLead = 0xE0;

class RawTerminal {
public:
    RawTerminal() {
        fd_ = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0 || tcgetattr(fd_, &saved_) != 0) return;
        termios raw = saved_;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG | IEXTEN));
        raw.c_iflag &= static_cast<tcflag_t>(~(IXON | ICRNL | INLCR | IGNCR | ISTRIP));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        raw_ = tcsetattr(fd_, TCSANOW, &raw) == 0;
    }
    ~RawTerminal() {
        if (raw_) tcsetattr(fd_, TCSANOW, &saved_);
        if (fd_ >= 0) close(fd_);
    }
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

    bool ready() const { return raw_; }

    // One byte, waiting as long as it takes (timeoutMs < 0) or at most timeoutMs.
    int ReadByte(int timeoutMs) {
        pollfd wait{fd_, POLLIN, 0};
        for (;;) {
            const int polled = poll(&wait, 1, timeoutMs);
            if (polled < 0 && errno == EINTR) continue;
            if (polled <= 0) return kEndOfInput;
            unsigned char byte = 0;
            const ssize_t got = read(fd_, &byte, 1);
            if (got < 0 && errno == EINTR) continue;
            return got == 1 ? byte : kEndOfInput;
        }
    }

private:
    int fd_ = -1;
    bool raw_ = false;
    termios saved_{};
};

KeyCodes TildeKey(int number) {
    switch (number) {
        case 1: case 7: return {kArrowLead, 71};   // Home
        case 4: case 8: return {kArrowLead, 79};   // End
        case 2: return {kArrowLead, 82};           // Insert
        case 3: return {kArrowLead, 83};           // Delete
        case 5: return {kArrowLead, 73};           // Page Up
        case 6: return {kArrowLead, 81};           // Page Down
        case 11: case 12: case 13: case 14: case 15: return {0, 59 + number - 11};  // F1-F5
        case 17: case 18: case 19: case 20: case 21: return {0, 64 + number - 17};  // F6-F10
        case 23: return {kArrowLead, 133};         // F11
        case 24: return {kArrowLead, 134};         // F12
        default: return kNoKey;
    }
}

KeyCodes LetterKey(int letter) {
    switch (letter) {
        case 'A': return {kArrowLead, 72};  // Up
        case 'B': return {kArrowLead, 80};  // Down
        case 'C': return {kArrowLead, 77};  // Right
        case 'D': return {kArrowLead, 75};  // Left
        case 'H': return {kArrowLead, 71};  // Home
        case 'F': return {kArrowLead, 79};  // End
        case 'P': case 'Q': case 'R': case 'S': return {0, 59 + letter - 'P'};  // F1-F4
        default: return kNoKey;
    }
}

// Reads the rest of a sequence after Escape: "[" or "O", parameters, and a final byte.
KeyCodes ReadSequence(RawTerminal& terminal, int introducer) {
    std::string parameters;
    int byte = terminal.ReadByte(kSequenceWaitMs);
    if (introducer == '[' && byte == '[') {  // the Linux console's F1-F5: ESC [ [ A..E
        byte = terminal.ReadByte(kSequenceWaitMs);
        return byte >= 'A' && byte <= 'E' ? KeyCodes{0, 59 + byte - 'A'} : kNoKey;
    }
    while (byte >= 0x20 && byte <= 0x3F) {
        parameters += static_cast<char>(byte);
        byte = terminal.ReadByte(kSequenceWaitMs);
    }
    if (byte == kEndOfInput) return kNoKey;
    if (byte == '~') {
        const std::string number = parameters.substr(0, parameters.find(';'));
        if (number.empty() || number.size() > 2 ||
            number.find_first_not_of("0123456789") != std::string::npos) {
            return kNoKey;
        }
        return TildeKey(std::atoi(number.c_str()));
    }
    return LetterKey(byte);
}

}  // namespace

int ReadConsoleKey() {
    if (!pendingCodes.empty()) {
        const int code = pendingCodes.front();
        pendingCodes.pop_front();
        return code;
    }
    RawTerminal terminal;
    if (!terminal.ready()) return kEndOfInput;
    for (;;) {
        const int byte = terminal.ReadByte(-1);
        if (byte != 0x1B) return byte;
        const int next = terminal.ReadByte(kSequenceWaitMs);
        if (next == kEndOfInput) return 0x1B;  // Escape on its own
        if (next != '[' && next != 'O') {
            pendingCodes.push_back(next);  // Alt with a key: Escape, then the key itself
            return 0x1B;
        }
        const KeyCodes key = ReadSequence(terminal, next);
        if (key.lead == kNoKey.lead) continue;  // a key Windows gives no code for
        pendingCodes.push_back(key.code);
        return key.lead;
    }
}
