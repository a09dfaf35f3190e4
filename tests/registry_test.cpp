#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/install_dir.h"
#include "registry_fixture.h"

namespace {

const char kTestKey[] = "Software\\OrvaneSavefixTests\\Reader";
const char kUntouched[] = "(as it was)";

std::string Repeat(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

struct ReadCase {
    const char* name;
    std::function<void(RegistryFixture&)> prepare;
    std::string expected;
};

TEST(ReadRegistryString, ReadsTheValueAsTextUpToItsFirstZeroByte) {
    const std::string fits(1023, 'p');  // with its zero byte, exactly the 1024-byte buffer
    const std::string fullBuffer(1024, 'b');
    const ReadCase cases[] = {
        {"a string", [](RegistryFixture& r) { r.SetString("InstallDir", "D:\\Games\\Story"); },
         "D:\\Games\\Story"},
        {"value names compare without case",
         [](RegistryFixture& r) { r.SetString("installdir", "C:\\x"); }, "C:\\x"},
        {"an expandable string is not expanded",
         [](RegistryFixture& r) { r.SetExpandString("InstallDir", "%TEMP%\\Orvane"); },
         "%TEMP%\\Orvane"},
        {"an empty string", [](RegistryFixture& r) { r.SetString("InstallDir", ""); }, ""},
        {"a key without the value",
         [](RegistryFixture& r) { r.SetString("Other", "C:\\x"); }, ""},
        {"an empty key", [](RegistryFixture& r) { r.CreateKey(); }, ""},
        {"no key", [](RegistryFixture&) {}, kUntouched},
        {"a string that just fits", [&](RegistryFixture& r) { r.SetString("InstallDir", fits); },
         fits},
        {"a string one byte too long",
         [&](RegistryFixture& r) { r.SetString("InstallDir", fits + "p"); }, ""},
        {"a number is read as bytes",
         [](RegistryFixture& r) { r.SetDword("InstallDir", 0x00434241); }, "ABC"},
        {"the number 0", [](RegistryFixture& r) { r.SetDword("InstallDir", 0); }, ""},
        {"bytes that fill the buffer without a zero byte",
         [&](RegistryFixture& r) { r.SetBinary("InstallDir", fullBuffer); }, fullBuffer},
        {"bytes that overflow the buffer",
         [&](RegistryFixture& r) { r.SetBinary("InstallDir", fullBuffer + "b"); }, ""},
        {"a Japanese string is measured in CP932: 511 kana and the zero byte fit",
         [](RegistryFixture& r) { r.SetString("InstallDir", Repeat("ゲ", 511)); },
         Repeat("ゲ", 511)},
        {"512 kana take 1025 bytes in CP932: too long",
         [](RegistryFixture& r) { r.SetString("InstallDir", Repeat("ゲ", 512)); }, ""},
        {"bytes are CP932", [](RegistryFixture& r) { r.SetBinary("InstallDir", "C:\\\x83\x51"); },
         "C:\\ゲ"},
        {"bytes with a zero byte inside",
         [](RegistryFixture& r) { r.SetBinary("InstallDir", std::string("ab\0cd", 5)); }, "ab"},
    };
    for (const ReadCase& row : cases) {
        SCOPED_TRACE(row.name);
        RegistryFixture registry(kTestKey);
        row.prepare(registry);
        std::string destination = kUntouched;
        ReadRegistryString(kTestKey, "InstallDir", destination);
        EXPECT_EQ(destination, row.expected);
    }
}

TEST(LookUpInstallDir, LeavesItEmptyWhenTheGameIsNotInstalled) {
    const ReadCase cases[] = {
        {"no key", [](RegistryFixture&) {}, ""},
        {"no value", [](RegistryFixture& r) { r.CreateKey(); }, ""},
        {"an empty value", [](RegistryFixture& r) { r.SetString("InstallDir", ""); }, ""},
        {"a value naming no folder",
         [](RegistryFixture& r) { r.SetString("InstallDir", "C:\\No\\Such\\Folder"); }, ""},
    };
    for (const ReadCase& row : cases) {
        SCOPED_TRACE(row.name);
        RegistryFixture registry("Software\\Quilmo\\Orvane");
        row.prepare(registry);
        EXPECT_EQ(LookUpInstallDir(), row.expected);
    }
}

}  // namespace
