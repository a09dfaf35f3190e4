#include "platform/virtual_store.h"

// Neither Linux nor Wine keeps a VirtualStore: what the game writes is where it wrote it.
std::string HiddenVirtualStore(const std::string&) { return std::string(); }
