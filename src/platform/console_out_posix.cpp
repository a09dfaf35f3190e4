#include "platform/console_out.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

// A terminal whose locale is UTF-8 gets UTF-8; anything else gets the bytes as they are.
iconv_t Converter() {
    static const iconv_t converter = [] {
        const iconv_t none = reinterpret_cast<iconv_t>(-1);
        if (!isatty(STDOUT_FILENO)) return none;
        const locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
        if (user == static_cast<locale_t>(0)) return none;
        const bool utf8 = std::strcmp(nl_langinfo_l(CODESET, user), "UTF-8") == 0;
        freelocale(user);
        return utf8 ? iconv_open("UTF-8", "CP932") : none;
    }();
    return converter;
}

std::string ToUtf8(iconv_t converter, const std::string& cp932) {
    std::string utf8(cp932.size() * 3 + 4, '\0');  // CP932 takes at most 3 UTF-8 bytes a byte
    char* in = const_cast<char*>(cp932.data());
    std::size_t inLeft = cp932.size();
    char* out = &utf8[0];
    std::size_t outLeft = utf8.size();
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) break;
        *out++ = '?';  // a byte that is not CP932 is shown as a question mark
        --outLeft;
        ++in;
        --inLeft;
    }
    utf8.resize(utf8.size() - outLeft);
    return utf8;
}

}  // namespace

void WriteToConsole(const std::vector<ConsolePiece>& pieces) {
    const iconv_t converter = Converter();
    for (const ConsolePiece& piece : pieces) {
        const bool convert = piece.kind == ConsolePiece::Kind::Text &&
                             converter != reinterpret_cast<iconv_t>(-1);
        const std::string bytes = convert ? ToUtf8(converter, piece.bytes) : piece.bytes;
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    }
}

void FlushConsole() { std::fflush(stdout); }
