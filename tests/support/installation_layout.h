#pragma once
// Lays out a game installation the way Wine keeps one: a prefix whose user.reg names the game
// folder, and the folder's slot files. Used by the tests, the demo and the benchmarks, so that
// there is one writer of Wine's registry format and one spelling of the slot names.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace layout {

namespace fs = std::filesystem;

// "scr007.sav": a slot's file name with the given extension.
std::string SlotFileName(int slot, const std::string& extension);

// The slot's file in folder.
fs::path SlotFile(const fs::path& folder, int slot, const std::string& extension);

// The folder as a Windows program under Wine names it through drive Z:, "Z:\tmp\Orvane".
std::string WindowsPath(const fs::path& folder);

// What follows '=' in user.reg for a value of each type, escaped as Wine writes it.
std::string HiveString(const std::string& utf8);
std::string HiveExpandString(const std::string& utf8);
std::string HiveDword(std::uint32_t value);
std::string HiveBinary(const std::string& bytes);

struct HiveValue {
    std::string name;
    std::string data;  // one of the Hive* forms above
};

struct HiveKey {
    std::string path;  // "Software\Quilmo\Orvane"
    std::vector<HiveValue> values;
};

// A whole user.reg holding these keys.
std::string UserReg(const std::vector<HiveKey>& keys);

// The game's key, naming windowsPath as the installation directory.
HiveKey GameKey(const std::string& windowsPath);

// Makes prefix a Wine prefix for the native program: drive Z: for the root, and a user.reg
// holding keys. False if a file cannot be written.
bool WriteWinePrefix(const fs::path& prefix, const std::vector<HiveKey>& keys);

}  // namespace layout
