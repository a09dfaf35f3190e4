#include "platform/console_keys.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "platform/key_codes.h"

// A terminal sends cursor and function keys as escape sequences; they are turned into the two
// codes a Windows console gives for the same keys, so the dialogue sees one kind of input.

namespace {

std::deque<int> pendingCodes;

// How long the rest of an escape sequence may take to follow its Escape byte.
constexpr int kSequenceWaitMs = 50;

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

// xterm adds the modifiers held as a second parameter, 1 + Shift 1, Alt 2, Ctrl 4.
Modifier ModifierOf(int parameter) {
    const int held = parameter > 1 ? parameter - 1 : 0;
    if ((held & 2) != 0) return Modifier::Alt;
    if ((held & 4) != 0) return Modifier::Ctrl;
    if ((held & 1) != 0) return Modifier::Shift;
    return Modifier::None;
}

KeyCodes TildeKey(int number, Modifier modifier) {
    switch (number) {
        case 1: case 7: return CursorKeyCodes(71, modifier, true);  // Home
        case 4: case 8: return CursorKeyCodes(79, modifier, true);  // End
        case 2: return CursorKeyCodes(82, modifier, true);          // Insert
        case 3: return CursorKeyCodes(83, modifier, true);          // Delete
        case 5: return CursorKeyCodes(73, modifier, true);          // Page Up
        case 6: return CursorKeyCodes(81, modifier, true);          // Page Down
        case 11: case 12: case 13: case 14: case 15:
            return FunctionKeyCodes(number - 10, modifier);         // F1-F5
        case 17: case 18: case 19: case 20: case 21:
            return FunctionKeyCodes(number - 11, modifier);         // F6-F10
        case 23: case 24: return FunctionKeyCodes(number - 12, modifier);  // F11, F12
        default: return kNoKeyCodes;
    }
}

KeyCodes LetterKey(int letter, Modifier modifier) {
    switch (letter) {
        case 'A': return CursorKeyCodes(72, modifier, true);  // Up
        case 'B': return CursorKeyCodes(80, modifier, true);  // Down
        case 'C': return CursorKeyCodes(77, modifier, true);  // Right
        case 'D': return CursorKeyCodes(75, modifier, true);  // Left
        case 'H': return CursorKeyCodes(71, modifier, true);  // Home
        case 'F': return CursorKeyCodes(79, modifier, true);  // End
        case 'P': case 'Q': case 'R': case 'S':
            return FunctionKeyCodes(letter - 'P' + 1, modifier);  // F1-F4
        default: return kNoKeyCodes;
    }
}

// The numbers of a sequence's parameters, "17;2" -> {17, 2}; none if one is not a number.
std::vector<int> Numbers(const std::string& parameters) {
    std::vector<int> numbers;
    std::size_t at = 0;
    while (at <= parameters.size()) {
        std::size_t end = parameters.find(';', at);
        if (end == std::string::npos) end = parameters.size();
        const std::string number = parameters.substr(at, end - at);
        if (number.empty() || number.size() > 3 ||
            number.find_first_not_of("0123456789") != std::string::npos) {
            return {};
        }
        numbers.push_back(std::atoi(number.c_str()));
        at = end + 1;
    }
    return numbers;
}

// Reads the rest of a sequence after Escape: "[" or "O", parameters, and a final byte.
KeyCodes ReadSequence(RawTerminal& terminal, int introducer) {
    std::string parameters;
    int byte = terminal.ReadByte(kSequenceWaitMs);
    if (introducer == '[' && byte == '[') {  // the Linux console's F1-F5: ESC [ [ A..E
        byte = terminal.ReadByte(kSequenceWaitMs);
        return byte >= 'A' && byte <= 'E' ? FunctionKeyCodes(byte - 'A' + 1, Modifier::None)
                                          : kNoKeyCodes;
    }
    while (byte >= 0x20 && byte <= 0x3F) {
        parameters += static_cast<char>(byte);
        byte = terminal.ReadByte(kSequenceWaitMs);
    }
    if (byte == kEndOfInput) return kNoKeyCodes;
    const std::vector<int> numbers = parameters.empty() ? std::vector<int>{1} : Numbers(parameters);
    if (numbers.empty()) return kNoKeyCodes;
    const Modifier modifier = ModifierOf(numbers.size() > 1 ? numbers[1] : 1);
    return byte == '~' ? TildeKey(numbers[0], modifier) : LetterKey(byte, modifier);
}

// A UTF-8 character of more than one byte is one key: its lead byte says how many follow.
int ReadCharacterRest(RawTerminal& terminal, int lead) {
    const int following = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    for (int i = 0; i < following; ++i) {
        const int byte = terminal.ReadByte(kSequenceWaitMs);
        if (byte == kEndOfInput || (byte & 0xC0) != 0x80) break;
    }
    return kOtherCharacter;
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
        if (byte >= 0xC0 && byte != kEndOfInput) return ReadCharacterRest(terminal, byte);
        if (byte >= 0x80) return kOtherCharacter;  // a stray byte of a broken character
        if (byte != 0x1B) return byte;
        const int next = terminal.ReadByte(kSequenceWaitMs);
        if (next == kEndOfInput) return 0x1B;  // Escape on its own
        if (next != '[' && next != 'O') {
            // Alt with a key: a Windows console gives 0 and a code of the key's own, so the
            // character typed with Alt never stands for itself.
            pendingCodes.push_back(next >= 0xC0   ? ReadCharacterRest(terminal, next)
                                   : next >= 0x80 ? kOtherCharacter
                                                  : next);
            return 0;
        }
        const KeyCodes key = ReadSequence(terminal, next);
        if (key.lead == kNoKeyCodes.lead) continue;  // a key Windows gives no code for
        pendingCodes.push_back(key.code);
        return key.lead;
    }
}

void DiscardTypedAhead() {
    pendingCodes.clear();
    const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return;
    tcflush(fd, TCIFLUSH);
    close(fd);
}
