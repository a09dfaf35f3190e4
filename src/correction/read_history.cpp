#include "correction/read_history.h"

#include "app/console_text.h"
#include "app/install_dir.h"
#include "app/texts.h"
#include "platform/file_search.h"
#include "platform/files.h"
#include "platform/paths.h"

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

void DeleteMatchingFiles(const std::string& pattern) {
    ForEachSearchResult(installDir, pattern, [&pattern](const FoundFile& found) {
        // Windows' search also offers files whose 8.3 short name matches (x0.data as X0~1.DAT)
        // and directories: only a file whose own name matches is read history.
        if (found.isDirectory || !MatchesWildcard(found.name, pattern)) return;
        RemoveFile(installDir + kPathSeparator + found.name);
    });
}

void PurgeReadHistory() {
    Say(texts::kPurgingReadHistory);
    DeleteMatchingFiles("?0*.dat");
}
