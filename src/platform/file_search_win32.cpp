#include "platform/file_search.h"

#include <windows.h>

#include <cstring>

#include "platform/paths.h"

void ForEachSearchResult(const std::string& directory, const std::string& pattern,
                         const std::function<void(const FoundFile&)>& visit) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((directory + kPathSeparator + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    struct Closer {
        HANDLE search;
        ~Closer() { FindClose(search); }
    } closer{search};
    do {
        if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) {
            continue;
        }
        visit(FoundFile{found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(search, &found));
}
