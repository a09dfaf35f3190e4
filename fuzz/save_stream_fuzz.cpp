// Fuzzes the save filter with arbitrary bytes and checks it against a plain, line-by-line
// model of the rules: header and block unchanged, each state line kept, dropped or replaced
// whole, in order; damaged saves recognised; a second correction changes nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "correction/save_stream.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

bool StartsWith(const std::string& line, const char* prefix) {
    return line.compare(0, std::strlen(prefix), prefix) == 0;
}

// What the corrected save must be, computed the slow and obvious way; false if it is damaged.
bool Model(const std::string& save, std::string& corrected) {
    const std::size_t zero = save.find('\0');
    if (zero == std::string::npos || save.size() < zero + 1 + 400) return false;
    corrected = save.substr(0, zero + 1 + 400);
    for (std::size_t at = zero + 1 + 400; at < save.size();) {
        std::size_t end = save.find('\n', at);
        end = end == std::string::npos ? save.size() : end + 1;
        const std::string line = save.substr(at, end - at);
        at = end;
        if (StartsWith(line, "$lastScriptPointer\t")) {
            corrected += "$lastScriptPointer\t4\n";
        } else if (StartsWith(line, "$scriptFilename\t") || StartsWith(line, "$stackPointer\t") ||
                   (line[0] != '$' && line[0] != '_')) {
            corrected += line;
        }
    }
    return true;
}

CorrectionResult Correct(const std::string& save, std::string& out) {
    std::FILE* in = save.empty() ? std::fopen("/dev/null", "rb")
                                 : fmemopen(const_cast<char*>(save.data()), save.size(), "rb");
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* work = open_memstream(&buffer, &size);
    Check(in != nullptr && work != nullptr, "streams open");
    const CorrectionResult result = CorrectSaveStream(in, work);
    std::fclose(in);
    std::fclose(work);
    out.assign(buffer, size);
    std::free(buffer);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string save(reinterpret_cast<const char*>(data), size);
    std::string expected;
    const bool whole = Model(save, expected);
    std::string once;
    const CorrectionResult result = Correct(save, once);
    Check(result == (whole ? CorrectionResult::Corrected : CorrectionResult::Damaged),
          "damaged saves, and only they, are reported damaged");
    if (!whole) return 0;
    Check(once == expected, "the corrected save follows the rules line by line");
    std::string twice;
    Check(Correct(once, twice) == CorrectionResult::Corrected && twice == once,
          "correcting a corrected save changes nothing");
    return 0;
}
