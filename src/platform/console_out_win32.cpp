#include "platform/console_out.h"

#include <windows.h>

#include <cstdio>

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

void AppendWide(std::wstring& text, const std::string& bytes, UINT codePage) {
    if (bytes.empty()) return;
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return;
    const std::size_t at = text.size();
    text.resize(at + static_cast<std::size_t>(length));
    MultiByteToWideChar(codePage, 0, bytes.data(), size, &text[at], length);
}

}  // namespace

void WriteToConsole(const std::vector<ConsolePiece>& pieces) {
    const HANDLE console = ConsoleHandle();
    if (console == nullptr) {
        for (const ConsolePiece& piece : pieces) {
            std::fwrite(piece.bytes.data(), 1, piece.bytes.size(), stdout);
        }
        return;
    }
    std::wstring text;
    for (const ConsolePiece& piece : pieces) {
        AppendWide(text, piece.bytes, piece.kind == ConsolePiece::Kind::Text ? 932 : CP_ACP);
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
