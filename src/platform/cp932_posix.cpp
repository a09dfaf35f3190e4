#include "platform/cp932.h"

#include <iconv.h>

namespace {

std::size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Converts with iconv, putting '?' in place of whatever the other side cannot hold.
std::string Convert(const char* to, const char* from, const std::string& text, bool fromUtf8) {
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out(text.size() * 3 + 4, '\0');  // 3 output bytes an input byte at the most
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* at = &out[0];
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &at, &outLeft) != static_cast<std::size_t>(-1)) break;
        std::size_t skip = fromUtf8 ? Utf8Length(static_cast<unsigned char>(*in)) : 1;
        if (skip > inLeft) skip = inLeft;
        *at++ = '?';
        --outLeft;
        in += skip;
        inLeft -= skip;
    }
    iconv_close(converter);
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::string Cp932FromUtf8(const std::string& utf8) {
    return Convert("CP932", "UTF-8", utf8, true);
}

std::string Utf8FromCp932(const std::string& cp932) {
    return Convert("UTF-8", "CP932", cp932, false);
}
