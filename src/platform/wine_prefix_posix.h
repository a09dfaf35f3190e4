#pragma once
// Where Wine keeps the current user's registry and drive letters: $WINEPREFIX, or ~/.wine as
// Wine itself defaults to.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

inline std::string WinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') {
        return prefix;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : "";
    }
    return std::string(home) + "/.wine";
}
