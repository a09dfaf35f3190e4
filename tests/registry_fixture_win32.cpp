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
    Set(state_->subkeyPath, name, REG_SZ, text.c_str(), text.size() + 1);
}

void RegistryFixture::SetExpandString(const std::string& name, const std::string& text) {
    Set(state_->subkeyPath, name, REG_EXPAND_SZ, text.c_str(), text.size() + 1);
}

void RegistryFixture::SetDword(const std::string& name, std::uint32_t value) {
    const DWORD dword = value;
    Set(state_->subkeyPath, name, REG_DWORD, &dword, sizeof dword);
}

void RegistryFixture::SetBinary(const std::string& name, const std::string& bytes) {
    Set(state_->subkeyPath, name, REG_BINARY, bytes.data(), bytes.size());
}

std::string RegistryFixture::prefix() const { return std::string(); }
