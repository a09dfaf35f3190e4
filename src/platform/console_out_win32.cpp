#include "platform/console_out.h"

#include <windows.h>

#include <cstdio>

#include "platform/cp932.h"
#include "platform/wide_win32.h"

namespace {

// A console shows Unicode whatever its code page; a file or pipe is left the bytes.
HANDLE ConsoleHandle() {
    static const HANDLE console = [] {
        const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD mode = 0;
        return out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode) ? out : nullptr;
    }();
    return console;
}

}  // namespace

void WriteToConsole(const std::vector<ConsolePiece>& pieces) {
    const HANDLE console = ConsoleHandle();
    if (console == nullptr) {
        // A file or pipe gets CP932 throughout, the path too, as a Japanese system would.
        for (const ConsolePiece& piece : pieces) {
            const std::string bytes = piece.kind == ConsolePiece::Kind::Text
                                          ? piece.bytes
                                          : Cp932FromUtf8(piece.bytes);
            std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        }
        return;
    }
    std::wstring text;
    for (const ConsolePiece& piece : pieces) {
        text += WideFrom(piece.bytes, piece.kind == ConsolePiece::Kind::Text ? 932 : CP_UTF8);
    }
    std::wstring lines;  // the console's own line end, as text mode would give
    for (const wchar_t c : text) {
        if (c == L'\n') lines += L'\r';
        lines += c;
    }
    std::fflush(stdout);
    DWORD written = 0;
    WriteConsoleW(console, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
}

void FlushConsole() { std::fflush(stdout); }
