// Wine's user.reg as Wine itself writes it, read by the native registry.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/registry.h"
#include "test_files.h"

namespace {

struct HiveCase {
    const char* name;
    std::string hive;
    RegistryStatus status;
    bool isText;
    std::string bytes;
};

std::string Hive(const std::string& key, const std::string& values) {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
           "#arch=win64\n\n[" + key + "] 1796985742\n#time=1dd8965fe3c38c8\n" + values + "\n";
}

TEST(QueryRegistryValue, ReadsWinesHive) {
    const HiveCase cases[] = {
        {"\\x escapes are UTF-16 units",
         Hive("Software\\\\Quilmo\\\\Orvane", "\"InstallDir\"=\"C:\\\\\\x30b2\\x30fc\\x30e0\\\\Orvane\"\n"),
         RegistryStatus::ValueRead, true, std::string("C:\\\xe3\x82\xb2\xe3\x83\xbc\xe3\x83\xa0\\Orvane", 19)},
        {"a surrogate pair is one character",
         Hive("Software\\\\Quilmo\\\\Orvane", "\"InstallDir\"=\"\\xd83d\\xde00\"\n"),
         RegistryStatus::ValueRead, true, "\xf0\x9f\x98\x80"},
        {"an \\x escape takes at most four digits",
         Hive("Software\\\\Quilmo\\\\Orvane", "\"InstallDir\"=\"\\x30b2a\"\n"),
         RegistryStatus::ValueRead, true, "\xe3\x82\xb2" "a"},
        {"quote, tab and line escapes",
         Hive("Software\\\\Quilmo\\\\Orvane", "\"InstallDir\"=\"a\\\"b\\tc\\nd\\re\"\n"),
         RegistryStatus::ValueRead, true, "a\"b\tc\nd\re"},
        {"key names compare without case",
         Hive("software\\\\QUILMO\\\\orvane", "\"installDIR\"=\"x\"\n"),
         RegistryStatus::ValueRead, true, "x"},
        {"another key of the same name's prefix is not the key",
         Hive("Software\\\\Quilmo\\\\Orvane2", "\"InstallDir\"=\"x\"\n"),
         RegistryStatus::KeyNotOpened, false, ""},
        {"hex(2) holds UTF-16 text",
         Hive("Software\\\\Quilmo\\\\Orvane", "\"InstallDir\"=hex(2):43,00,3a,00,b2,30,00,00\n"),
         RegistryStatus::ValueRead, true, "C:\xe3\x82\xb2"},
        {"hex lines continue after a backslash",
         Hive("Software\\\\Quilmo\\\\Orvane", "\"InstallDir\"=hex:41,42,\\\n  43,00\n"),
         RegistryStatus::ValueRead, false, std::string("ABC") + '\0'},
        {"a broken value cannot be read",
         Hive("Software\\\\Quilmo\\\\Orvane", "\"InstallDir\"=dword:12zz\n"),
         RegistryStatus::ValueNotRead, false, ""},
        {"an unterminated string cannot be read",
         Hive("Software\\\\Quilmo\\\\Orvane", "\"InstallDir\"=\"C:\\\\x\n"),
         RegistryStatus::ValueNotRead, false, ""},
        {"CRLF line ends", Hive("Software\\\\Quilmo\\\\Orvane", "\"InstallDir\"=\"C:\\\\x\"\r\n"),
         RegistryStatus::ValueRead, true, "C:\\x"},
    };
    for (const HiveCase& row : cases) {
        SCOPED_TRACE(row.name);
        testfiles::ScopedTempDir prefix;
        testfiles::WriteFile(prefix.path() / "user.reg", row.hive);
        setenv("WINEPREFIX", prefix.path().c_str(), 1);
        const RegistryValue value = QueryRegistryValue("Software\\Quilmo\\Orvane", "InstallDir");
        unsetenv("WINEPREFIX");
        EXPECT_EQ(value.status, row.status);
        EXPECT_EQ(value.isText, row.isText);
        EXPECT_EQ(value.bytes, row.bytes);
    }
}

TEST(QueryRegistryValue, WithoutAHiveTheKeyCannotBeOpened) {
    testfiles::ScopedTempDir prefix;
    setenv("WINEPREFIX", prefix.path().c_str(), 1);
    const RegistryValue query = QueryRegistryValue("Software\\Quilmo\\Orvane", "InstallDir");
    unsetenv("WINEPREFIX");
    EXPECT_EQ(query.status, RegistryStatus::KeyNotOpened);
}

}  // namespace
