#include "platform/key_codes.h"

namespace {

constexpr int kExtendedLead = 0xE0;

int Index(Modifier modifier) { return static_cast<int>(modifier); }

}  // namespace

KeyCodes FunctionKeyCodes(int number, Modifier modifier) {
    if (number >= 1 && number <= 10) {
        static const int kFirst[] = {59, 84, 94, 104};  // F1 plain, with Shift, Ctrl, Alt
        return {0, kFirst[Index(modifier)] + number - 1};
    }
    if (number == 11 || number == 12) {
        static const int kF11[] = {133, 135, 137, 139};
        return {kExtendedLead, kF11[Index(modifier)] + number - 11};
    }
    return kNoKeyCodes;
}

KeyCodes CursorKeyCodes(int scanCode, Modifier modifier, bool cursorPad) {
    struct CursorKey {
        int scanCode;
        int withCtrl;
    };
    static const CursorKey kKeys[] = {{71, 119}, {72, 141}, {73, 134}, {75, 115}, {77, 116},
                                      {79, 117}, {80, 145}, {81, 118}, {82, 146}, {83, 147}};
    const int lead = cursorPad ? kExtendedLead : 0;
    for (const CursorKey& key : kKeys) {
        if (key.scanCode != scanCode) continue;
        switch (modifier) {
            case Modifier::None:
            case Modifier::Shift: return {lead, scanCode};
            case Modifier::Ctrl: return {lead, key.withCtrl};
            case Modifier::Alt: return {0, scanCode + 80};
        }
    }
    return kNoKeyCodes;
}

KeyCodes AltKeyCodes(int scanCode) {
    // The digit row and its two neighbours (scan codes 2 to 13) have codes of their own.
    return {0, scanCode >= 2 && scanCode <= 13 ? scanCode + 118 : scanCode};
}
