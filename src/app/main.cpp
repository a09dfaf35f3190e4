// orvane-savefix: resets the read-text history of an installed Orvane and rewinds every save
// slot to the start of its chapter, keeping each save as it was as a backup.
#include "app/console_text.h"
#include "app/install_dir.h"
#include "app/texts.h"
#include "correction/read_history.h"
#include "correction/save_slots.h"
#include "platform/console_keys.h"
#include "platform/files.h"

namespace {

int WaitForKey() {
    ShowSaid();
    return ReadConsoleKey();
}

int FoldToUpper(int code) { return code >= 'a' && code <= 'z' ? code - 'a' + 'A' : code; }

// Waits for y or n, ignoring every other key. Without a console there is nobody to say yes,
// so the answer is no.
bool UserConfirms() {
    for (;;) {
        const int answer = FoldToUpper(WaitForKey());
        if (answer == 'Y') return true;
        if (answer == 'N' || answer == kEndOfInput) return false;
    }
}

}  // namespace

int main() {
    Say(texts::kBanner);
    LookUpInstallDir();
    // A value left behind by an uninstalled or moved game names no folder: nothing to correct.
    if (!installDir.empty() && !IsDirectory(installDir)) installDir.clear();
    if (installDir.empty()) {
        Say(texts::kNotInstalled);
    } else {
        Say(texts::kNotice);
        Say(texts::kPrompt);
        if (UserConfirms()) {
            Say(texts::kYes);
            PurgeReadHistory();
            CorrectSaveSlots();
            Say(texts::kDone);
        } else {
            Say(texts::kNo);
        }
    }
    Say(texts::kPressAnyKey);
    WaitForKey();
    Say(texts::kLineEnd);
    return 0;
}
