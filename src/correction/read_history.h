#pragma once
// The game's read-text history: the files that tell it which lines the player has seen.
#include <string>

// Deletes every file of installDir (not its subdirectories) whose own name matches pattern
// under Windows' wildcard rules: '?' one character, '*' any run of characters, ASCII letters
// compared without case. The decision is the same on every platform: Windows' own search
// would also offer names whose 8.3 short name matches. Directories, and files that cannot be
// deleted, stay silently. installDir ends in a path separator.
void DeleteMatchingFiles(const std::string& installDir, const std::string& pattern);

// The names of the read-history files.
constexpr char kReadHistoryPattern[] = "?0*.dat";

// Announces the reset and deletes the read-history files, kReadHistoryPattern.
void PurgeReadHistory(const std::string& installDir);

// True if name matches pattern under the rules above.
bool MatchesWildcard(const std::string& name, const std::string& pattern);
