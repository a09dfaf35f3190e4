#include "platform/registry.h"

#include <windows.h>

RegistryQuery QueryRegistryValue(RegistryRoot, const std::string& subkeyPath,
                                 const std::string& valueName, std::size_t bufferSize) {
    RegistryQuery query;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkeyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return query;
    }
    std::vector<char> buffer(bufferSize, '\0');
    DWORD size = static_cast<DWORD>(bufferSize);
    DWORD type = 0;
    const LONG result = RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer.data()), &size);
    RegCloseKey(key);
    query.status = RegistryStatus::ValueNotRead;
    if (result == ERROR_SUCCESS && size <= bufferSize) {
        buffer.resize(size);
        query.bytes = std::move(buffer);
        query.status = RegistryStatus::ValueRead;
    }
    return query;
}
