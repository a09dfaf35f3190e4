#pragma once
// Saves made up by our own code, shaped like the game's: a header string, the 400-byte fixed
// block, and a state text of mostly short lines of every kind the correction tells apart.
#include <cstddef>
#include <cstdint>
#include <string>

struct SaveShape {
    std::size_t stateBytes = 2048;  // the state text grows to at least this size
    std::uint32_t seed = 1;
    bool crlf = false;              // line ends of a save edited on Windows
    std::size_t longLineBytes = 0;  // adds one state line of this length (0: none)
};

std::string GenerateSave(const SaveShape& shape);
