// orvane-savefix: resets the read-text history of an installed Orvane and rewinds every save
// slot to the start of its chapter, keeping each save as it was as a backup.
#include "app/install_dir.h"
#include "console/say.h"
#include "console/texts.h"
#include "correction/game_files.h"
#include "correction/read_history.h"
#include "correction/save_slots.h"
#include "platform/console_keys.h"
#include "platform/virtual_store.h"

namespace {

// Puts what was said on the screen and forgets keys pressed before it got there: a key counts
// only when it was pressed after its question was asked.
void AskNow() {
    ShowSaid();
    DiscardTypedAhead();
}

bool IsLead(int code) { return code == 0 || code == 0xE0; }

int FoldToUpper(int code) { return code >= 'a' && code <= 'z' ? code - 'a' + 'A' : code; }

// Waits for y or n, ignoring every other key. A key without a character comes as a lead and a
// code of its own, and that code is never an answer (Shift+F6 gives 0 and 'Y'). Without a
// console there is nobody to say yes, so the answer is no.
bool UserConfirms() {
    AskNow();
    for (;;) {
        const int code = ReadConsoleKey();
        if (IsLead(code)) {
            ReadConsoleKey();
            continue;
        }
        const int answer = FoldToUpper(code);
        if (answer == 'Y') return true;
        if (answer == 'N' || answer == kEndOfInput) return false;
    }
}

}  // namespace

int main() {
    Say(texts::kBanner);
    const std::string installDir = LookUpInstallDir();
    // A game kept in the VirtualStore reads its saves there, where this program, started
    // otherwise than the game (as administrator, say), cannot see them: correcting the folder
    // it does see would change nothing the game reads.
    const std::string hiddenStore = installDir.empty() ? "" : HiddenVirtualStore(installDir);
    if (installDir.empty()) {
        Say(texts::kNotInstalled);
    } else if (!hiddenStore.empty() && HoldsGameFiles(hiddenStore)) {
        Say(texts::kGameFilesElsewhere, hiddenStore);
    } else {
        Say(texts::kNotice);
        Say(texts::kPrompt);
        if (UserConfirms()) {
            Say(texts::kYes);
            PurgeReadHistory(installDir);
            CorrectSaveSlots(installDir);
            Say(texts::kDone);
        } else {
            Say(texts::kNo);
        }
    }
    Say(texts::kPressAnyKey);
    AskNow();
    ReadConsoleKey();
    Say(texts::kLineEnd);
    return 0;
}
