#include "platform/directory_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>

std::vector<DirectoryEntry> ListDirectory(const std::string& directory) {
    std::vector<DirectoryEntry> entries;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(directory.c_str()), closedir);
    if (!dir) return entries;
    while (const dirent* entry = readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        struct stat status;
        const bool isDirectory = fstatat(dirfd(dir.get()), entry->d_name, &status,
                                         AT_SYMLINK_NOFOLLOW) == 0 &&
                                 S_ISDIR(status.st_mode);
        entries.push_back({entry->d_name, isDirectory});
    }
    return entries;
}
