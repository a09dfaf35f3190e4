#pragma once
// Where the game is installed, as its installer recorded it in the current user's registry.
#include <string>

#include "platform/registry.h"

// The installation directory followed by one added path separator, so that a file name
// appended to it names a file in that directory. Empty means the game is not installed.
// Written once, by LookUpInstallDir.
extern std::string installDir;

// Reads the value valueName of the key subkeyPath under root into destination, as text up to
// its first zero byte, taking at most 1024 bytes. Leaves destination as it was when the key
// cannot be opened; empties it when the key opens but the value cannot be read (absent, or
// larger than 1024 bytes). The value's type is not examined.
void ReadRegistryString(RegistryRoot root, const std::string& subkeyPath,
                        const std::string& valueName, std::string& destination);

// Fills installDir from HKEY_CURRENT_USER\Software\Quilmo\Orvane, value InstallDir, and adds
// the separator; leaves it empty when the game is not installed.
void LookUpInstallDir();
