#include "platform/console_keys.h"

#include <deque>

#include "platform/console_key_events_win32.h"
#include "platform/key_codes.h"

namespace {

std::deque<int> pendingCodes;  // the key code after a lead, given on the next call

// The console's own input, whatever standard input is: a redirected input gives no answers.
HANDLE ConsoleInput() {
    static const HANDLE input =
        CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    return input;
}

// While a key is awaited Ctrl+C is a key like any other, not a signal that ends the program;
// the console's mode is as it was again afterwards.
class KeyMode {
public:
    explicit KeyMode(HANDLE input) : input_(input) {
        ok_ = GetConsoleMode(input_, &saved_) &&
              SetConsoleMode(input_, saved_ & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT |
                                                                  ENABLE_LINE_INPUT |
                                                                  ENABLE_ECHO_INPUT));
    }
    ~KeyMode() {
        if (ok_) SetConsoleMode(input_, saved_);
    }
    KeyMode(const KeyMode&) = delete;
    KeyMode& operator=(const KeyMode&) = delete;
    bool ok() const { return ok_; }

private:
    HANDLE input_;
    DWORD saved_ = 0;
    bool ok_ = false;
};

Modifier HeldModifier(DWORD state) {
    if ((state & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0) return Modifier::Alt;
    if ((state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0) return Modifier::Ctrl;
    if ((state & SHIFT_PRESSED) != 0) return Modifier::Shift;
    return Modifier::None;
}

bool IsModifierAlone(WORD virtualKey) {
    switch (virtualKey) {
        case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT:
        case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL:
        case VK_MENU: case VK_LMENU: case VK_RMENU:
        case VK_CAPITAL: case VK_NUMLOCK: case VK_SCROLL:
            return true;
        default: return false;
    }
}

std::vector<int> Codes(KeyCodes key) {
    if (key.lead == kNoKeyCodes.lead) return {};
    return {key.lead, key.code};
}

}  // namespace

std::vector<int> CodesOfKeyEvent(const KEY_EVENT_RECORD& key) {
    if (!key.bKeyDown || IsModifierAlone(key.wVirtualKeyCode)) return {};
    const Modifier modifier = HeldModifier(key.dwControlKeyState);
    const int scanCode = key.wVirtualScanCode;
    const wchar_t character = key.uChar.UnicodeChar;
    // AltGr is Ctrl and Alt together and types a character of its own.
    const bool altGr = (key.dwControlKeyState & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0 &&
                       (key.dwControlKeyState & RIGHT_ALT_PRESSED) != 0;
    if (character != 0 && modifier == Modifier::Alt && !altGr) return Codes(AltKeyCodes(scanCode));
    if (character != 0) return {character < 0x80 ? static_cast<int>(character) : kOtherCharacter};
    // Wine's console gives Escape without its character; Windows gives 27.
    if (key.wVirtualKeyCode == VK_ESCAPE) return {0x1B};
    if (key.wVirtualKeyCode >= VK_F1 && key.wVirtualKeyCode <= VK_F12) {
        return Codes(FunctionKeyCodes(key.wVirtualKeyCode - VK_F1 + 1, modifier));
    }
    const bool cursorPad = (key.dwControlKeyState & ENHANCED_KEY) != 0;
    return Codes(CursorKeyCodes(scanCode, modifier, cursorPad));
}

int ReadConsoleKey() {
    if (!pendingCodes.empty()) {
        const int code = pendingCodes.front();
        pendingCodes.pop_front();
        return code;
    }
    const HANDLE input = ConsoleInput();
    if (input == INVALID_HANDLE_VALUE) return kEndOfInput;
    // From the first question on, Ctrl+C never ends the program: between two reads, when the
    // console turns it into a signal, the signal is ignored.
    static const bool ignoringCtrlC = SetConsoleCtrlHandler(nullptr, TRUE) != 0;
    static_cast<void>(ignoringCtrlC);
    const KeyMode mode(input);
    if (!mode.ok()) return kEndOfInput;
    for (;;) {
        INPUT_RECORD record;
        DWORD read = 0;
        if (!ReadConsoleInputW(input, &record, 1, &read) || read != 1) return kEndOfInput;
        if (record.EventType != KEY_EVENT) continue;
        const std::vector<int> codes = CodesOfKeyEvent(record.Event.KeyEvent);
        if (codes.empty()) continue;
        pendingCodes.assign(codes.begin() + 1, codes.end());
        return codes.front();
    }
}

void DiscardTypedAhead() {
    pendingCodes.clear();
    const HANDLE input = ConsoleInput();
    if (input != INVALID_HANDLE_VALUE) FlushConsoleInputBuffer(input);
}
