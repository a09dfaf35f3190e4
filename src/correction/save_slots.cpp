#include "correction/save_slots.h"

#include "console/say.h"
#include "console/texts.h"
#include "correction/save_stream.h"
#include "platform/files.h"

namespace {

constexpr int kSlotCount = 256;

std::string SlotFileName(const std::string& installDir, int slot, const char* extension) {
    return FormatText("%sscr%03d.%s", installDir.c_str(), slot, extension);
}

// Puts the corrected work file in the save's place, keeping the save as the backup. The save's
// own name is never without a whole save: the backup is a second name for the save, and the
// corrected file then takes the save's name in one step.
void CommitCorrectedSave(const std::string& save, const std::string& work,
                         const std::string& backup) {
    RemoveFile(backup);  // the backup of an earlier run gives way; if it cannot, linking fails
    bool backupSharesSave = false;
    switch (LinkFile(save, backup)) {
        case LinkResult::Linked: backupSharesSave = true; break;
        case LinkResult::Unsupported:
            if (CopyFileNoReplace(save, backup)) break;
            [[fallthrough]];
        case LinkResult::DestinationExists:
        case LinkResult::Failed:
            RemoveFile(work);
            Say(texts::kCannotReplace, save);
            return;
    }
    if (!MoveIntoPlace(work, save)) {
        RemoveFile(work);
        // A second name of a save that stays in use is no backup: the game rewrites it in place.
        if (backupSharesSave) RemoveFile(backup);
        Say(texts::kCannotReplace, save);
    }
}

void ReportFailedCopy(CorrectionResult result, const std::string& save, const std::string& work) {
    switch (result) {
        case CorrectionResult::Damaged: Say(texts::kSaveDamaged, save); return;
        case CorrectionResult::ReadFailed: Say(texts::kCannotRead, save); return;
        case CorrectionResult::WriteFailed:
        case CorrectionResult::Corrected: Say(texts::kCannotWrite, work); return;
    }
}

void CorrectSlot(const std::string& installDir, int slot) {
    const std::string save = SlotFileName(installDir, slot, "sav");
    const std::string work = SlotFileName(installDir, slot, "tmp");
    const std::string backup = SlotFileName(installDir, slot, "old");

    std::FILE* saveStream = nullptr;
    switch (OpenForReading(save, saveStream)) {
        case OpenResult::Missing: return;  // an empty slot
        case OpenResult::Failed: Say(texts::kCannotRead, save); return;
        case OpenResult::Opened: break;
    }
    // Windows refuses to replace a read-only save; better to say so before anything is written.
    if (IsReadOnly(save)) {
        std::fclose(saveStream);
        Say(texts::kCannotReplace, save);
        return;
    }
    // A work file left by a run that stopped goes first; the new one is always created afresh,
    // so that a link of that name can never send the corrected save elsewhere.
    RemoveFile(work);
    std::FILE* workStream = CreateNewFile(work);
    if (workStream == nullptr) {
        std::fclose(saveStream);
        Say(texts::kCannotCreate, work);
        return;
    }
    Say(texts::kCorrectingSlot, slot);
    const CorrectionResult result = CorrectSaveStream(saveStream, workStream);
    std::fclose(saveStream);  // only read from: nothing of the player's can be lost here
    const bool workComplete = CloseDurably(workStream);
    if (result != CorrectionResult::Corrected || !workComplete) {
        RemoveFile(work);
        ReportFailedCopy(result, save, work);
        return;
    }
    CommitCorrectedSave(save, work, backup);
}

}  // namespace

void CorrectSaveSlots(const std::string& installDir) {
    Say(texts::kCorrectingSaves);
    for (int slot = 0; slot < kSlotCount; ++slot) CorrectSlot(installDir, slot);
    // The replaces reach the disk here, together; until then each save's name still holds the
    // save as it was, and its backup is already on disk. A failed flush costs nothing more.
    FlushDirectory(installDir);
}
