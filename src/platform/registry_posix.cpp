#include "platform/registry.h"

#include <cctype>
#include <fstream>
#include <vector>

#include "platform/wine_prefix_posix.h"

// Wine keeps HKEY_CURRENT_USER in $WINEPREFIX/user.reg, a text file of sections such as
//   [Software\\Quilmo\\Orvane] 1796985742
//   "InstallDir"="C:\\\x30b2\x30fc\x30e0\\Orvane"
// with C-like escapes, and \x naming one UTF-16 unit.

namespace {

void AppendUtf8(std::string& out, unsigned long codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Turns UTF-16 units into UTF-8, pairing surrogates; a lone surrogate becomes U+FFFD, as
// Windows' own conversion does.
class Utf16ToUtf8 {
public:
    explicit Utf16ToUtf8(std::string& out) : out_(out) {}
    ~Utf16ToUtf8() { Finish(); }
    void Unit(unsigned long unit) {
        if (unit >= 0xDC00 && unit <= 0xDFFF && high_ != 0) {
            AppendUtf8(out_, 0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00));
            high_ = 0;
            return;
        }
        Finish();
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            high_ = unit;
        } else {
            AppendUtf8(out_, unit >= 0xDC00 && unit <= 0xDFFF ? 0xFFFD : unit);
        }
    }
    void Finish() {
        if (high_ != 0) AppendUtf8(out_, 0xFFFD);
        high_ = 0;
    }

private:
    std::string& out_;
    unsigned long high_ = 0;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads an escaped text from text[pos] up to the unescaped terminator; leaves pos after it.
// Returns false when the terminator is missing.
bool Unescape(const std::string& text, std::size_t& pos, char terminator, std::string& out) {
    Utf16ToUtf8 units(out);
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == terminator) return true;
        if (c != '\\' || pos >= text.size()) {
            units.Finish();
            out += c;  // plain bytes are already UTF-8
            continue;
        }
        const char escaped = text[pos++];
        switch (escaped) {
            case 'n': units.Unit('\n'); break;
            case 'r': units.Unit('\r'); break;
            case 't': units.Unit('\t'); break;
            case '0': units.Unit(0); break;
            case 'x': {
                unsigned long unit = 0;
                int digits = 0;
                for (; digits < 4 && pos < text.size() && HexDigit(text[pos]) >= 0; ++digits) {
                    unit = unit * 16 + static_cast<unsigned long>(HexDigit(text[pos++]));
                }
                if (digits == 0) {
                    units.Unit('x');
                } else {
                    units.Unit(unit);
                }
                break;
            }
            default: units.Unit(static_cast<unsigned char>(escaped)); break;
        }
    }
    return false;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool StartsWith(const std::string& text, std::size_t pos, const char* prefix) {
    return text.compare(pos, std::char_traits<char>::length(prefix), prefix) == 0;
}

// Parses comma-separated hex bytes, as written after hex: and hex(N):.
bool ParseHexBytes(const std::string& text, std::size_t pos, std::vector<char>& bytes) {
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == ',' || c == ' ' || c == '\t' || c == '\r') {
            ++pos;
            continue;
        }
        if (pos + 1 >= text.size() || HexDigit(c) < 0 || HexDigit(text[pos + 1]) < 0) return false;
        bytes.push_back(static_cast<char>(HexDigit(c) * 16 + HexDigit(text[pos + 1])));
        pos += 2;
    }
    return true;
}

// The value written after '=' in user.reg: strings as UTF-8 text, other types as their bytes.
bool ParseValueData(const std::string& text, std::size_t pos, RegistryValue& value) {
    std::string string;
    if (StartsWith(text, pos, "\"") || StartsWith(text, pos, "str(")) {
        pos = text.find('"', pos);
        if (pos == std::string::npos) return false;
        ++pos;
        if (!Unescape(text, pos, '"', string)) return false;
        value.isText = true;
        value.bytes = string.substr(0, string.find('\0'));
        return true;
    }
    if (StartsWith(text, pos, "dword:")) {
        unsigned long number = 0;
        pos += 6;
        for (int i = 0; i < 8; ++i, ++pos) {
            if (pos >= text.size() || HexDigit(text[pos]) < 0) return false;
            number = number * 16 + static_cast<unsigned long>(HexDigit(text[pos]));
        }
        for (int i = 0; i < 4; ++i) value.bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
        return true;
    }
    if (!StartsWith(text, pos, "hex")) return false;
    const std::size_t colon = text.find(':', pos);
    if (colon == std::string::npos) return false;
    const std::string type = text.substr(pos, colon - pos);
    std::vector<char> raw;
    if (!ParseHexBytes(text, colon + 1, raw)) return false;
    // Strings stored as hex are UTF-16 in the hive.
    if (type == "hex(1)" || type == "hex(2)" || type == "hex(7)") {
        {
            Utf16ToUtf8 units(string);
            for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
                units.Unit(static_cast<unsigned char>(raw[i]) |
                           (static_cast<unsigned long>(static_cast<unsigned char>(raw[i + 1]))
                            << 8));
            }
        }
        value.isText = true;
        value.bytes = string.substr(0, string.find('\0'));
        return true;
    }
    value.bytes.assign(raw.begin(), raw.end());
    return true;
}

// Reads one logical line: hex data that Wine wraps continues after a trailing backslash.
bool ReadLogicalLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    std::string next;
    while (!line.empty() && line.back() == '\\' && std::getline(in, next)) {
        line.pop_back();
        const std::size_t start = next.find_first_not_of(" \t");
        line += start == std::string::npos ? std::string() : next.substr(start);
    }
    return true;
}

}  // namespace

RegistryValue QueryRegistryValue(const std::string& subkeyPath, const std::string& valueName) {
    RegistryValue value;
    std::ifstream hive(WinePrefix() + "/user.reg", std::ios::binary);
    if (!hive) return value;

    bool inKey = false;
    std::string line;
    while (ReadLogicalLine(hive, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, 1, "[") == 0) {
            std::size_t pos = 1;
            std::string key;
            inKey = Unescape(line, pos, ']', key) && EqualsIgnoringCase(key, subkeyPath);
            if (inKey) value.status = RegistryStatus::ValueNotRead;
            continue;
        }
        if (!inKey) continue;
        std::string name;
        std::size_t pos = 0;
        if (line.compare(0, 2, "@=") == 0) {
            pos = 1;
        } else if (line.compare(0, 1, "\"") != 0 || !Unescape(line, ++pos, '"', name) ||
                   line.compare(pos, 1, "=") != 0) {
            continue;
        }
        if (!EqualsIgnoringCase(name, valueName)) continue;
        RegistryValue parsed;
        if (ParseValueData(line, pos + 1, parsed)) {
            parsed.status = RegistryStatus::ValueRead;
            return parsed;
        }
        return value;
    }
    return value;
}
