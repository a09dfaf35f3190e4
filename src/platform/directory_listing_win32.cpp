#include "platform/directory_listing.h"

#include <windows.h>

#include "platform/wide_win32.h"

std::vector<DirectoryEntry> ListDirectory(const std::string& directory) {
    std::vector<DirectoryEntry> entries;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Wide(directory + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back({Utf8(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}
