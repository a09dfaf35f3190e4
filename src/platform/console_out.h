#pragma once
// Standard output as the player sees it. The texts are Shift-JIS (CP932) bytes; on a console
// that shows another character set they are converted for the screen, while a file or pipe
// gets the bytes exactly as they are.
#include <string>
#include <vector>

struct ConsolePiece {
    enum class Kind {
        Text,  // CP932 bytes: the program's own texts, digits and ASCII
        Path,  // a file name as this platform spells it (the ANSI code page on Windows)
    };
    Kind kind;
    std::string bytes;
};

// Writes the pieces to standard output, in text mode.
void WriteToConsole(const std::vector<ConsolePiece>& pieces);

// Puts everything written so far on the screen.
void FlushConsole();
