#pragma once
// Windows' UAC virtualization: an old 32-bit game without a manifest that writes under Program
// Files has its writes sent to %LOCALAPPDATA%\VirtualStore\<the folder without its drive>, and
// sees that folder merged over the real one. A program that is not virtualized (64-bit,
// elevated, or with a manifest) sees only the real folder, and would correct files the game no
// longer reads.
#include <string>

// The process token, as far as virtualization goes.
struct TokenState {
    bool virtualized;   // TokenVirtualizationEnabled
    int elevationType;  // TokenElevationType: 1 default (UAC off), 2 full, 3 limited
};

// True when the game may see files this process does not: this process is not virtualized and
// UAC is on. With UAC off no program is virtualized, the game neither.
inline bool MissesVirtualStore(const TokenState& token) {
    return !token.virtualized && token.elevationType != 1;
}

// The VirtualStore folder of installDir (which ends in a separator), without a separator at
// its end, when it exists and this process misses it; empty otherwise, and always outside
// Windows.
std::string HiddenVirtualStore(const std::string& installDir);
