#pragma once
// Standard output as the player sees it. The program's texts are Shift-JIS (CP932) bytes and
// paths are UTF-8; on a console both are shown in the console's own character set, while a
// file or pipe gets the texts' bytes exactly as they are.
#include <string>
#include <vector>

struct ConsolePiece {
    enum class Kind {
        Text,  // CP932 bytes: the program's own texts, digits and ASCII
        Path,  // a file's path, UTF-8
    };
    Kind kind;
    std::string bytes;
};

// Writes the pieces to standard output, in text mode.
void WriteToConsole(const std::vector<ConsolePiece>& pieces);

// Puts everything written so far on the screen.
void FlushConsole();
