#pragma once
// Small saves made by hand: a header string, the 400-byte fixed block, a state text.
#include <string>

namespace savefixtures {

// Bytes that would derail a filter reading the header or block as lines: zeros, line feeds,
// and entry names.
inline std::string FixedBlock() {
    std::string block = "\n$lastScriptPointer\t9\n_x\n";
    block += std::string("\0\0\0\0", 4);
    while (block.size() < 400) block += static_cast<char>(block.size() * 7 % 256);
    return block;
}

inline std::string Header() { return std::string("ORVANE\n$flag\t1\n\x82\xa0", 17) + '\0'; }

inline std::string MakeSave(const std::string& state) { return Header() + FixedBlock() + state; }

}  // namespace savefixtures
