#pragma once
// Read-only access to the current user's registry: the real one on Windows, Wine's user.reg
// elsewhere, so that a game installed under Wine is found by the native tool too.
#include <cstddef>
#include <string>
#include <vector>

enum class RegistryRoot { CurrentUser };

enum class RegistryStatus {
    KeyNotOpened,  // the key does not exist or cannot be opened for reading
    ValueNotRead,  // the key opened, but the value is absent, larger than the buffer, or unreadable
    ValueRead,
};

struct RegistryQuery {
    RegistryStatus status = RegistryStatus::KeyNotOpened;
    // What RegQueryValueExA puts in a buffer of the requested size: for a string value its
    // text and terminating zero (UTF-8 outside Windows), for other types the raw bytes.
    std::vector<char> bytes;
};

// Opens subkeyPath under root with read access, queries valueName into a buffer of bufferSize
// bytes and closes the key. Never writes to the registry.
RegistryQuery QueryRegistryValue(RegistryRoot root, const std::string& subkeyPath,
                                 const std::string& valueName, std::size_t bufferSize);
