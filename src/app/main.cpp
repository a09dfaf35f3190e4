// orvane-savefix: resets the read-text history of an installed Orvane and rewinds every save
// slot to the start of its chapter, keeping each save as it was as a backup.
#include "app/install_dir.h"
#include "console/say.h"
#include "console/texts.h"
#include "correction/read_history.h"
#include "correction/save_slots.h"
#include "platform/console_keys.h"

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
    const std::string installDir = LookUpInstallDir();
    if (installDir.empty()) {
        Say(texts::kNotInstalled);
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
    WaitForKey();
    Say(texts::kLineEnd);
    return 0;
}
