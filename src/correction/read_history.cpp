#include "correction/read_history.h"

#include "console/say.h"
#include "console/texts.h"
#include "platform/directory_listing.h"
#include "platform/files.h"

namespace {

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
    // Greedy matching that backs up to the last '*': linear in practice, never recursive.
    std::size_t n = 0, p = 0;
    std::size_t starPattern = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starPattern != std::string::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

void DeleteMatchingFiles(const std::string& installDir, const std::string& pattern) {
    for (const DirectoryEntry& entry : ListDirectory(installDir)) {
        if (entry.isDirectory || !MatchesWildcard(entry.name, pattern)) continue;
        RemoveFile(installDir + entry.name);
    }
}

void PurgeReadHistory(const std::string& installDir) {
    Say(texts::kPurgingReadHistory);
    DeleteMatchingFiles(installDir, kReadHistoryPattern);
}
