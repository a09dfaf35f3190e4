#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/install_dir.h"
#include "registry_fixture.h"

namespace {

const char kTestKey[] = "Software\\OrvaneSavefixTests\\Reader";
const char kUntouched[] = "(as it was)";

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
        {"bytes with a zero byte inside",
         [](RegistryFixture& r) { r.SetBinary("InstallDir", std::string("ab\0cd", 5)); }, "ab"},
    };
    for (const ReadCase& row : cases) {
        SCOPED_TRACE(row.name);
        RegistryFixture registry(kTestKey);
        row.prepare(registry);
        std::string destination = kUntouched;
        ReadRegistryString(RegistryRoot::CurrentUser, kTestKey, "InstallDir", destination);
        EXPECT_EQ(destination, row.expected);
    }
}

TEST(LookUpInstallDir, LeavesItEmptyWhenTheGameIsNotInstalled) {
    const ReadCase cases[] = {
        {"no key", [](RegistryFixture&) {}, ""},
        {"no value", [](RegistryFixture& r) { r.CreateKey(); }, ""},
        {"an empty value", [](RegistryFixture& r) { r.SetString("InstallDir", ""); }, ""},
    };
    for (const ReadCase& row : cases) {
        SCOPED_TRACE(row.name);
        RegistryFixture registry("Software\\Quilmo\\Orvane");
        row.prepare(registry);
        installDir.clear();
        LookUpInstallDir();
        EXPECT_EQ(installDir, row.expected);
    }
}

}  // namespace
