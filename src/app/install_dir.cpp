#include "app/install_dir.h"

#include <algorithm>

#include "platform/paths.h"

std::string installDir;

namespace {
constexpr std::size_t kValueBufferSize = 1024;
}

void ReadRegistryString(RegistryRoot root, const std::string& subkeyPath,
                        const std::string& valueName, std::string& destination) {
    const RegistryQuery query = QueryRegistryValue(root, subkeyPath, valueName, kValueBufferSize);
    switch (query.status) {
        case RegistryStatus::KeyNotOpened: return;
        case RegistryStatus::ValueNotRead: destination.clear(); return;
        case RegistryStatus::ValueRead: {
            // A value that fills the whole buffer has no zero byte to end it: it ends with
            // the buffer.
            const auto end = std::find(query.bytes.begin(), query.bytes.end(), '\0');
            destination.assign(query.bytes.begin(), end);
            return;
        }
    }
}

void LookUpInstallDir() {
    ReadRegistryString(RegistryRoot::CurrentUser, "Software\\Quilmo\\Orvane", "InstallDir",
                       installDir);
    if (installDir.empty()) return;
    // The separator is added even after one the value already ends in: doubled separators
    // name the same directory.
    installDir = NativeInstallPath(installDir) + kPathSeparator;
}
