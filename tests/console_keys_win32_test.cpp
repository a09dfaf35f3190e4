// A Windows console's key events, made by the test, turned into the codes the dialogue reads.
#include <gtest/gtest.h>

#include <vector>

#include "platform/console_key_events_win32.h"
#include "platform/console_keys.h"

namespace {

struct KeyEventCase {
    const char* name;
    BOOL down;
    WORD virtualKey;
    WORD scanCode;
    wchar_t character;
    DWORD state;  // the modifiers held, and ENHANCED_KEY for the cursor pad
    std::vector<int> codes;
};

TEST(CodesOfKeyEvent, GivesWhatTheCRuntimesGetchGives) {
    const KeyEventCase cases[] = {
        {"a letter", TRUE, 'Y', 0x15, L'y', 0, {'y'}},
        {"a capital", TRUE, 'N', 0x31, L'N', SHIFT_PRESSED, {'N'}},
        {"a key released gives nothing", FALSE, 'Y', 0x15, L'y', 0, {}},
        {"Shift alone gives nothing", TRUE, VK_SHIFT, 0x2A, 0, SHIFT_PRESSED, {}},
        {"Ctrl alone gives nothing", TRUE, VK_CONTROL, 0x1D, 0, LEFT_CTRL_PRESSED, {}},
        {"Alt alone gives nothing", TRUE, VK_MENU, 0x38, 0, LEFT_ALT_PRESSED, {}},
        {"Caps Lock gives nothing", TRUE, VK_CAPITAL, 0x3A, 0, CAPSLOCK_ON, {}},
        {"Num Lock gives nothing", TRUE, VK_NUMLOCK, 0x45, 0, NUMLOCK_ON | ENHANCED_KEY, {}},
        {"Ctrl+C is the code 3", TRUE, 'C', 0x2E, 3, LEFT_CTRL_PRESSED, {3}},
        {"Escape", TRUE, VK_ESCAPE, 0x01, 27, 0, {27}},
        {"Enter", TRUE, VK_RETURN, 0x1C, L'\r', 0, {'\r'}},
        {"a kana is one code, never an answer", TRUE, VK_PROCESSKEY, 0, L'ズ', 0, {kOtherCharacter}},
        {"a full-width y is one code", TRUE, VK_PROCESSKEY, 0, L'ｙ', 0, {kOtherCharacter}},
        {"a character typed with AltGr is itself", TRUE, 'Q', 0x10, L'@',
         LEFT_CTRL_PRESSED | RIGHT_ALT_PRESSED, {'@'}},
        {"Alt+2: a lead, then the code of y", TRUE, '2', 0x03, L'2', LEFT_ALT_PRESSED, {0, 'y'}},
        {"Alt+Y: a lead, then its scan code", TRUE, 'Y', 0x15, L'y', LEFT_ALT_PRESSED, {0, 0x15}},
        {"F1", TRUE, VK_F1, 0x3B, 0, 0, {0, 59}},
        {"Shift+F6: a lead, then the code of Y", TRUE, VK_F6, 0x40, 0, SHIFT_PRESSED, {0, 'Y'}},
        {"Ctrl+F6", TRUE, VK_F6, 0x40, 0, RIGHT_CTRL_PRESSED, {0, 99}},
        {"Alt+F7: a lead, then the code of n", TRUE, VK_F7, 0x41, 0, LEFT_ALT_PRESSED, {0, 'n'}},
        {"F11", TRUE, VK_F11, 0x57, 0, 0, {0xE0, 133}},
        {"Shift+F12", TRUE, VK_F12, 0x58, 0, SHIFT_PRESSED, {0xE0, 136}},
        {"Up on the cursor pad", TRUE, VK_UP, 0x48, 0, ENHANCED_KEY, {0xE0, 72}},
        {"Up on the number pad", TRUE, VK_UP, 0x48, 0, 0, {0, 72}},
        {"Ctrl+Up", TRUE, VK_UP, 0x48, 0, ENHANCED_KEY | LEFT_CTRL_PRESSED, {0xE0, 141}},
        {"Alt+Delete", TRUE, VK_DELETE, 0x53, 0, ENHANCED_KEY | LEFT_ALT_PRESSED, {0, 163}},
        {"a key Windows gives no code for", TRUE, VK_LWIN, 0x5B, 0, ENHANCED_KEY, {}},
    };
    for (const KeyEventCase& row : cases) {
        SCOPED_TRACE(row.name);
        KEY_EVENT_RECORD key{};
        key.bKeyDown = row.down;
        key.wRepeatCount = 1;
        key.wVirtualKeyCode = row.virtualKey;
        key.wVirtualScanCode = row.scanCode;
        key.uChar.UnicodeChar = row.character;
        key.dwControlKeyState = row.state;
        EXPECT_EQ(CodesOfKeyEvent(key), row.codes);
    }
}

}  // namespace
