#include "registry_fixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <map>

#include "test_files.h"

namespace {

// Text as Wine writes it: backslash and quote escaped, control characters as \x units.
std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char unit[8];
            std::snprintf(unit, sizeof unit, "\\x%04x", static_cast<unsigned char>(c));
            out += unit;
        } else {
            out += c;
        }
    }
    return out;
}

std::string HexBytes(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(bytes[i]));
        if (i > 0) out += ',';
        if (i > 0 && i % 24 == 0) out += "\\\n  ";  // Wine wraps long hex data this way
        out += hex;
    }
    return out;
}

}  // namespace

struct RegistryFixture::State {
    std::string subkeyPath;
    testfiles::ScopedTempDir prefix;
    std::string oldPrefix;
    bool hadPrefix = false;
    bool keyExists = false;
    std::map<std::string, std::string> values;  // name -> what follows '='

    // The wanted key sits between keys that hold the same value name, as in a real hive.
    void Save() const {
        std::string hive =
            "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
            "#arch=win64\n\n[Software\\\\Other] 1700000000\n\"InstallDir\"=\"C:\\\\Wrong\"\n\n";
        if (keyExists) {
            hive += "[" + Escape(subkeyPath) + "] 1796985742\n#time=1dd8965fe3c38c8\n";
            for (const auto& [name, data] : values) hive += "\"" + Escape(name) + "\"=" + data + "\n";
            hive += "\n";
        }
        hive += "[Software\\\\Zzz] 1700000000\n\"InstallDir\"=\"C:\\\\AlsoWrong\"\n";
        testfiles::WriteFile(prefix.path() / "user.reg", hive);
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
    state_->Set(name, "\"" + Escape(text) + "\"");
}

void RegistryFixture::SetExpandString(const std::string& name, const std::string& text) {
    state_->Set(name, "str(2):\"" + Escape(text) + "\"");
}

void RegistryFixture::SetDword(const std::string& name, std::uint32_t value) {
    char data[16];
    std::snprintf(data, sizeof data, "dword:%08x", static_cast<unsigned>(value));
    state_->Set(name, data);
}

void RegistryFixture::SetBinary(const std::string& name, const std::string& bytes) {
    state_->Set(name, "hex:" + HexBytes(bytes));
}

std::string RegistryFixture::prefix() const { return state_->prefix.path().string(); }
