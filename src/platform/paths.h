#pragma once
// How this platform names files: the separator put between a directory and a file name, and
// how the Windows path the game's installer recorded becomes a path this program can open.
#include <string>

extern const char kPathSeparator[];

// The directory that the registry's Windows path names, as this platform spells it; the path
// itself on Windows. No separator is added at the end.
std::string NativeInstallPath(const std::string& windowsPath);
