#include "platform/console_out.h"

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/cp932.h"

namespace {

// A terminal whose locale is UTF-8 gets UTF-8; anything else gets the bytes as they are.
bool TerminalIsUtf8() {
    static const bool utf8 = [] {
        if (!isatty(STDOUT_FILENO)) return false;
        const locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
        if (user == static_cast<locale_t>(0)) return false;
        const bool isUtf8 = std::strcmp(nl_langinfo_l(CODESET, user), "UTF-8") == 0;
        freelocale(user);
        return isUtf8;
    }();
    return utf8;
}

}  // namespace

void WriteToConsole(const std::vector<ConsolePiece>& pieces) {
    const bool toUtf8 = TerminalIsUtf8();
    for (const ConsolePiece& piece : pieces) {
        // A byte that is not CP932 is shown as a question mark.
        const bool convert = toUtf8 && piece.kind == ConsolePiece::Kind::Text;
        const std::string bytes = convert ? Utf8FromCp932(piece.bytes) : piece.bytes;
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    }
}

void FlushConsole() { std::fflush(stdout); }
