#include "platform/paths.h"

const char kPathSeparator[] = "\\";

std::string NativeInstallPath(const std::string& windowsPath) { return windowsPath; }
