#include "platform/registry.h"

#include <windows.h>

#include <vector>

#include "platform/wide_win32.h"

RegistryValue QueryRegistryValue(const std::string& subkeyPath, const std::string& valueName) {
    RegistryValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(subkeyPath).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return value;
    }
    value.status = RegistryStatus::ValueNotRead;
    const std::wstring name = Wide(valueName);
    std::vector<BYTE> data(1024);
    DWORD type = 0;
    LONG result = ERROR_MORE_DATA;
    // The value may grow between the size query and the read: ask again until it fits.
    for (int attempt = 0; attempt < 4 && result == ERROR_MORE_DATA; ++attempt) {
        DWORD size = static_cast<DWORD>(data.size());
        result = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        if (result == ERROR_MORE_DATA) {
            data.resize(size + 2);
        } else {
            data.resize(size);
        }
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return value;
    value.status = RegistryStatus::ValueRead;
    value.isText = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    if (!value.isText) {
        value.bytes.assign(data.begin(), data.end());
        return value;
    }
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) CopyMemory(&text[0], data.data(), text.size() * sizeof(wchar_t));
    text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
    value.bytes = Utf8(text);
    return value;
}
