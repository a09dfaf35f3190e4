#pragma once
// Where the game is installed, as its installer recorded it in the current user's registry.
#include <string>

// Reads the value valueName of the key subkeyPath under HKEY_CURRENT_USER into destination, as
// UTF-8 text up to its first zero byte. Judged as a Japanese system's ANSI query judges it: the
// value may take at most 1024 bytes (a string as its CP932 bytes with their zero byte), and a
// value of another type is taken as CP932 bytes, whatever its type. Leaves destination as it
// was when the key cannot be opened; empties it when the key opens but the value cannot be read
// (absent, or larger than 1024 bytes).
void ReadRegistryString(const std::string& subkeyPath, const std::string& valueName,
                        std::string& destination);

// The installation directory from HKEY_CURRENT_USER\Software\Quilmo\Orvane, value InstallDir,
// as this platform spells it, followed by one added path separator; empty when the game is not
// installed: no key, no value, an empty value, or a value that names no folder.
std::string LookUpInstallDir();
