#include "console/say.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/console_out.h"

namespace {

std::string FormatList(const char* format, std::va_list arguments) {
    std::va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length <= 0) return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, arguments);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The text around a format's one placeholder, and what stands in its place. A path keeps its
// own encoding, so that a console can show both it and the text.
void SayWith(const char* format, const char* placeholder, ConsolePiece value) {
    const char* at = std::strstr(format, placeholder);
    if (at == nullptr) {
        Say(format);
        return;
    }
    const std::string before(format, at);
    const std::string after(at + std::strlen(placeholder));
    WriteToConsole({{ConsolePiece::Kind::Text, before},
                    std::move(value),
                    {ConsolePiece::Kind::Text, after}});
}

}  // namespace

std::string FormatText(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::string text = FormatList(format, arguments);
    va_end(arguments);
    return text;
}

void Say(const char* text) { WriteToConsole({{ConsolePiece::Kind::Text, text}}); }

void Say(const char* format, const std::string& path) {
    SayWith(format, "%s", {ConsolePiece::Kind::Path, path});
}

void Say(const char* format, int number) {
    SayWith(format, "%d", {ConsolePiece::Kind::Text, std::to_string(number)});
}

void ShowSaid() { FlushConsole(); }
