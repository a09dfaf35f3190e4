#pragma once
// Read-only access to the current user's registry, HKEY_CURRENT_USER: the real one on Windows,
// Wine's user.reg elsewhere, so that a game installed under Wine is found by the native tool too.
#include <string>

enum class RegistryStatus {
    KeyNotOpened,  // the key does not exist or cannot be opened for reading
    ValueNotRead,  // the key opened, but the value is absent or unreadable
    ValueRead,
};

struct RegistryValue {
    RegistryStatus status = RegistryStatus::KeyNotOpened;
    // A string value (plain, expandable or multi-string) is text: its UTF-8, up to its first
    // zero character. Any other type is raw bytes, exactly as stored.
    bool isText = false;
    std::string bytes;
};

// Opens subkeyPath under HKEY_CURRENT_USER with read access, reads valueName whole, whatever
// its size, and closes the key. Never writes to the registry.
RegistryValue QueryRegistryValue(const std::string& subkeyPath, const std::string& valueName);
