#include "correction/game_files.h"

#include <cctype>

#include "correction/read_history.h"
#include "platform/directory_listing.h"

namespace {

// scrNNN.sav for a slot 0 to 255, letters in any case as Windows names them.
bool IsSaveName(const std::string& name) {
    if (name.size() != 10 || !MatchesWildcard(name, "scr???.sav")) return false;
    int slot = 0;
    for (std::size_t i = 3; i < 6; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
        slot = slot * 10 + (name[i] - '0');
    }
    return slot <= 255;
}

}  // namespace

bool HoldsGameFiles(const std::string& directory) {
    for (const DirectoryEntry& entry : ListDirectory(directory)) {
        if (entry.isDirectory) continue;
        if (IsSaveName(entry.name) || MatchesWildcard(entry.name, kReadHistoryPattern)) {
            return true;
        }
    }
    return false;
}
