#include "platform/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/wine_prefix_posix.h"

const char kPathSeparator[] = "/";

namespace {

bool Exists(const std::string& path) {
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

// Wine opens a Windows path on a case-sensitive file system by taking each component as it
// stands or else the entry whose name differs only in case.
std::string FindComponent(const std::string& directory, const std::string& name) {
    if (Exists(directory + "/" + name)) return name;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(directory.empty() ? "/" : directory.c_str()),
                                           closedir);
    if (!dir) return name;
    while (const dirent* entry = readdir(dir.get())) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) return entry->d_name;
    }
    return name;
}

std::string DriveRoot(char letter) {
    const char lower = static_cast<char>(letter | 0x20);
    const std::string link = WinePrefix() + "/dosdevices/" + lower + ":";
    std::unique_ptr<char, void (*)(void*)> resolved(realpath(link.c_str(), nullptr), std::free);
    if (!resolved) return link;
    const std::string root = resolved.get();
    return root == "/" ? std::string() : root;
}

}  // namespace

std::string NativeInstallPath(const std::string& windowsPath) {
    std::string path;
    std::size_t pos = 0;
    const bool hasDrive = windowsPath.size() >= 2 && windowsPath[1] == ':' &&
                          ((windowsPath[0] | 0x20) >= 'a' && (windowsPath[0] | 0x20) <= 'z');
    if (hasDrive) {
        path = DriveRoot(windowsPath[0]);
        pos = 2;
    }
    while (pos <= windowsPath.size()) {
        std::size_t end = windowsPath.find_first_of("\\/", pos);
        if (end == std::string::npos) end = windowsPath.size();
        const std::string component = windowsPath.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            const std::size_t slash = path.rfind('/');
            if (slash != std::string::npos) path.erase(slash);
            continue;
        }
        path += "/" + FindComponent(path, component);
    }
    return path.empty() ? "/" : path;
}
