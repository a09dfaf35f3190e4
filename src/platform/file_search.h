#pragma once
// The platform's search of one directory for a wildcard pattern.
#include <functional>
#include <string>

struct FoundFile {
    std::string name;  // the entry's own (long) name, without its directory
    bool isDirectory = false;
};

// Calls visit for the entries of directory that the platform's search for pattern offers,
// while the search is open, and closes it on every path. The offer is wider than the pattern:
// Windows also matches 8.3 short names, and elsewhere every entry is offered, so callers check
// each name themselves. The entries "." and ".." are never offered.
void ForEachSearchResult(const std::string& directory, const std::string& pattern,
                         const std::function<void(const FoundFile&)>& visit);
