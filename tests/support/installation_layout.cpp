#include "installation_layout.h"

#include <cstdio>
#include <fstream>

namespace layout {

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

// The next character of a UTF-8 text; a byte that starts no character stands for itself.
unsigned long NextCodePoint(const std::string& text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || at + length > text.size()) return byte(at++);
    unsigned long codePoint = lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
    at += length;
    return codePoint;
}

// Text as Wine writes it between quotes: backslash and quote escaped, and every character
// outside printable ASCII as \x and its UTF-16 units.
std::string Escape(const std::string& utf8) {
    std::string out;
    for (std::size_t at = 0; at < utf8.size();) {
        const unsigned long c = NextCodePoint(utf8, at);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c >= 0x10000) {
            out += "\\x" + Hex(static_cast<unsigned>(0xD800 + ((c - 0x10000) >> 10)), 4);
            out += "\\x" + Hex(static_cast<unsigned>(0xDC00 + ((c - 0x10000) & 0x3FF)), 4);
        } else {
            out += "\\x" + Hex(static_cast<unsigned>(c), 4);
        }
    }
    return out;
}

bool Write(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

std::string SlotFileName(int slot, const std::string& extension) {
    char name[16];
    std::snprintf(name, sizeof name, "scr%03d.", slot);
    return name + extension;
}

fs::path SlotFile(const fs::path& folder, int slot, const std::string& extension) {
    return folder / SlotFileName(slot, extension);
}

std::string WindowsPath(const fs::path& folder) {
    std::string path = "Z:" + fs::absolute(folder).lexically_normal().string();
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
}

std::string HiveString(const std::string& utf8) { return "\"" + Escape(utf8) + "\""; }

std::string HiveExpandString(const std::string& utf8) {
    return "str(2):\"" + Escape(utf8) + "\"";
}

std::string HiveDword(std::uint32_t value) { return "dword:" + Hex(value, 8); }

std::string HiveBinary(const std::string& bytes) {
    std::string out = "hex:";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) out += ',';
        if (i > 0 && i % 24 == 0) out += "\\\n  ";  // Wine wraps long hex data this way
        out += Hex(static_cast<unsigned char>(bytes[i]), 2);
    }
    return out;
}

std::string UserReg(const std::vector<HiveKey>& keys) {
    std::string hive =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
        "#arch=win64\n";
    for (const HiveKey& key : keys) {
        hive += "\n[" + Escape(key.path) + "] 1796985742\n#time=1dd8965fe3c38c8\n";
        for (const HiveValue& value : key.values) {
            hive += "\"" + Escape(value.name) + "\"=" + value.data + "\n";
        }
    }
    return hive;
}

HiveKey GameKey(const std::string& windowsPath) {
    return {"Software\\Quilmo\\Orvane", {{"InstallDir", HiveString(windowsPath)}}};
}

bool WriteWinePrefix(const fs::path& prefix, const std::vector<HiveKey>& keys) {
    std::error_code error;
    fs::create_directories(prefix / "dosdevices", error);
    fs::remove(prefix / "dosdevices" / "z:", error);
    fs::create_symlink("/", prefix / "dosdevices" / "z:", error);
    return !error && Write(prefix / "user.reg", UserReg(keys));
}

}  // namespace layout
