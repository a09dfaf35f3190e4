#pragma once
// The two codes a Windows console program reads for a key without a character: a lead of 0 or
// 0xE0, then the key's code, which depends on the modifier held. Both key readers take them
// from here, so a terminal's keys give what Windows gives for the same keys.

enum class Modifier { None, Shift, Ctrl, Alt };  // Alt counts before Ctrl, Ctrl before Shift

struct KeyCodes {
    int lead;  // 0 or 0xE0; -1: the key gives no codes
    int code;
};

constexpr KeyCodes kNoKeyCodes{-1, -1};

// F1 to F12.
KeyCodes FunctionKeyCodes(int number, Modifier modifier);

// Home, Up, Page Up, Left, Right, End, Down, Page Down, Insert and Delete, by the scan code
// that names them (71 to 83); on the cursor pad, or on the number pad with Num Lock off.
KeyCodes CursorKeyCodes(int scanCode, Modifier modifier, bool cursorPad);

// A character key held with Alt, by its scan code: 0 and the Alt code.
KeyCodes AltKeyCodes(int scanCode);
