#include "app/install_dir.h"

#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"

namespace {
constexpr std::size_t kValueBufferSize = 1024;
}

void ReadRegistryString(const std::string& subkeyPath, const std::string& valueName,
                        std::string& destination) {
    const RegistryValue value = QueryRegistryValue(subkeyPath, valueName);
    switch (value.status) {
        case RegistryStatus::KeyNotOpened: return;
        case RegistryStatus::ValueNotRead: destination.clear(); return;
        case RegistryStatus::ValueRead: break;
    }
    if (value.isText) {
        const bool fits = Cp932FromUtf8(value.bytes).size() + 1 <= kValueBufferSize;
        destination = fits ? value.bytes : std::string();
        return;
    }
    if (value.bytes.size() > kValueBufferSize) {
        destination.clear();
        return;
    }
    // A value that fills the whole buffer has no zero byte to end it: it ends with the buffer.
    destination = Utf8FromCp932(value.bytes.substr(0, value.bytes.find('\0')));
}

std::string LookUpInstallDir() {
    std::string registered;
    ReadRegistryString("Software\\Quilmo\\Orvane", "InstallDir", registered);
    if (registered.empty()) return registered;
    const std::string installDir = NativeInstallPath(registered);
    // A value left behind by an uninstalled or moved game names no folder: nothing to correct.
    if (!IsDirectory(installDir)) return std::string();
    // The separator is added even after one the value already ends in: doubled separators
    // name the same directory.
    return installDir + kPathSeparator;
}
