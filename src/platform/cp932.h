#pragma once
// Shift-JIS as Japanese Windows has it (code page 932): the encoding of the program's texts and
// of everything the game's players type and see. Paths and registry text are UTF-8 inside the
// program; these turn one into the other.
#include <string>

// The CP932 bytes of a UTF-8 text; a character CP932 lacks becomes '?'.
std::string Cp932FromUtf8(const std::string& utf8);

// The UTF-8 of CP932 bytes; a byte that is no CP932 character becomes '?'.
std::string Utf8FromCp932(const std::string& cp932);
