#pragma once
// A registry the tests may write: under Wine or Windows a key of HKEY_CURRENT_USER (the test
// runs use a throwaway Wine prefix), natively a user.reg in a throwaway $WINEPREFIX.
#include <cstdint>
#include <memory>
#include <string>

class RegistryFixture {
public:
    // Starts with subkeyPath absent.
    explicit RegistryFixture(const std::string& subkeyPath);
    ~RegistryFixture();
    RegistryFixture(const RegistryFixture&) = delete;
    RegistryFixture& operator=(const RegistryFixture&) = delete;

    void CreateKey();
    void SetString(const std::string& name, const std::string& text);
    void SetExpandString(const std::string& name, const std::string& text);
    void SetDword(const std::string& name, std::uint32_t value);
    void SetBinary(const std::string& name, const std::string& bytes);

    // Natively: the throwaway prefix, where the test may add dosdevices and drives.
    std::string prefix() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};
