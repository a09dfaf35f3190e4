#include "registry_fixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>

#include "installation_layout.h"
#include "test_files.h"

struct RegistryFixture::State {
    std::string subkeyPath;
    testfiles::ScopedTempDir prefix;
    std::string oldPrefix;
    bool hadPrefix = false;
    bool keyExists = false;
    std::map<std::string, std::string> values;  // name -> what follows '='

    // The wanted key sits between keys that hold the same value name, as in a real hive.
    void Save() const {
        std::vector<layout::HiveKey> keys = {
            {"Software\\Other", {{"InstallDir", layout::HiveString("C:\\Wrong")}}}};
        if (keyExists) {
            keys.push_back({subkeyPath, {}});
            for (const auto& [name, data] : values) keys.back().values.push_back({name, data});
        }
        keys.push_back({"Software\\Zzz", {{"InstallDir", layout::HiveString("C:\\AlsoWrong")}}});
        testfiles::WriteFile(prefix.path() / "user.reg", layout::UserReg(keys));
    }
    void Set(const std::string& name, const std::string& data) {
        keyExists = true;
        values[name] = data;
        Save();
    }
};

RegistryFixture::RegistryFixture(const std::string& subkeyPath) : state_(new State) {
    state_->subkeyPath = subkeyPath;
    if (const char* old = getenv("WINEPREFIX")) {
        state_->hadPrefix = true;
        state_->oldPrefix = old;
    }
    setenv("WINEPREFIX", state_->prefix.path().c_str(), 1);
    state_->Save();
}

RegistryFixture::~RegistryFixture() {
    if (state_->hadPrefix) {
        setenv("WINEPREFIX", state_->oldPrefix.c_str(), 1);
    } else {
        unsetenv("WINEPREFIX");
    }
}

void RegistryFixture::CreateKey() {
    state_->keyExists = true;
    state_->Save();
}

void RegistryFixture::SetString(const std::string& name, const std::string& text) {
    state_->Set(name, layout::HiveString(text));
}

void RegistryFixture::SetExpandString(const std::string& name, const std::string& text) {
    state_->Set(name, layout::HiveExpandString(text));
}

void RegistryFixture::SetDword(const std::string& name, std::uint32_t value) {
    state_->Set(name, layout::HiveDword(value));
}

void RegistryFixture::SetBinary(const std::string& name, const std::string& bytes) {
    state_->Set(name, layout::HiveBinary(bytes));
}

std::string RegistryFixture::prefix() const { return state_->prefix.path().string(); }
