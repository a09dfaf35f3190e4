#include "registry_fixture.h"

#include <gtest/gtest.h>
#include <windows.h>

struct RegistryFixture::State {
    std::string subkeyPath;
};

namespace {
void Set(const std::string& subkeyPath, const std::string& name, DWORD type, const void* data,
         std::size_t size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, subkeyPath.c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                             static_cast<DWORD>(size)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}
// A string value as Windows stores it: UTF-16 with its terminating zero.
void SetText(const std::string& subkeyPath, const std::string& name, DWORD type,
             const std::string& utf8) {
    std::wstring wide(static_cast<std::size_t>(
                          MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                              nullptr, 0)),
                      L'\0');
    if (!wide.empty()) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                            static_cast<int>(wide.size()));
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, subkeyPath.c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring wideName(name.begin(), name.end());
    EXPECT_EQ(RegSetValueExW(key, wideName.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(wide.c_str()),
                             static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(key);
}
}  // namespace

RegistryFixture::RegistryFixture(const std::string& subkeyPath) : state_(new State{subkeyPath}) {
    RegDeleteTreeA(HKEY_CURRENT_USER, subkeyPath.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, subkeyPath.c_str());
}

RegistryFixture::~RegistryFixture() {
    RegDeleteTreeA(HKEY_CURRENT_USER, state_->subkeyPath.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, state_->subkeyPath.c_str());
}

void RegistryFixture::CreateKey() {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, state_->subkeyPath.c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void RegistryFixture::SetString(const std::string& name, const std::string& text) {
    SetText(state_->subkeyPath, name, REG_SZ, text);
}

void RegistryFixture::SetExpandString(const std::string& name, const std::string& text) {
    SetText(state_->subkeyPath, name, REG_EXPAND_SZ, text);
}

void RegistryFixture::SetDword(const std::string& name, std::uint32_t value) {
    const DWORD dword = value;
    Set(state_->subkeyPath, name, REG_DWORD, &dword, sizeof dword);
}

void RegistryFixture::SetBinary(const std::string& name, const std::string& bytes) {
    Set(state_->subkeyPath, name, REG_BINARY, bytes.data(), bytes.size());
}

std::string RegistryFixture::prefix() const { return std::string(); }
