#include "correction/save_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "save_fixtures.h"
#include "test_files.h"

namespace {

using savefixtures::MakeSave;
using std::string;

struct Corrected {
    CorrectionResult result;
    string bytes;
};

Corrected Correct(const testfiles::ScopedTempDir& dir, const string& save) {
    testfiles::WriteFile(dir / "in.sav", save);
    std::FILE* in = std::fopen((dir / "in.sav").c_str(), "rb");
    std::FILE* out = std::fopen((dir / "out.tmp").c_str(), "wb");
    EXPECT_TRUE(in != nullptr && out != nullptr);
    const CorrectionResult result = CorrectSaveStream(in, out);
    std::fclose(in);
    std::fclose(out);
    return {result, testfiles::ReadFile(dir.path() / "out.tmp")};
}

// A state text whose line starting at its `at`-th byte after the plain filler is `line`, so
// that `line` can be put across the filter's 64 KiB reads.
string LineAt(std::size_t offset, const string& line) {
    const std::size_t before = MakeSave("").size();
    const std::size_t filler = offset - before - 1;
    return string(filler, 'f') + "\n" + line;
}

// A literal's bytes, zero bytes included.
template <std::size_t N>
string Bytes(const char (&literal)[N]) {
    return string(literal, N - 1);
}

struct FilterCase {
    const char* name;
    string state;
    string expected;
};

TEST(CorrectSaveStream, FiltersStateLines) {
    const string longName(100000, 'n');
    const FilterCase cases[] = {
        {"known entries kept, position rewound",
         "$scriptFilename\tch03.s\n$stackPointer\t2\n$lastScriptPointer\t1234\n",
         "$scriptFilename\tch03.s\n$stackPointer\t2\n$lastScriptPointer\t4\n"},
        {"other named entries and underscore lines dropped, plain lines kept in order",
         "a\n$flag\t1\n_tmp\t3\nb\n$scriptFilename\tx\n_\n\nc\n",
         "a\nb\n$scriptFilename\tx\n\nc\n"},
        {"carriage returns stay with kept lines; the replacement ends in a lone line feed",
         "$scriptFilename\ta\r\n$lastScriptPointer\t99\r\n\r\nx\r\n$f\r\n",
         "$scriptFilename\ta\r\n$lastScriptPointer\t4\n\r\nx\r\n"},
        {"near-miss names are dropped",
         "$stackPointer 5\n$LastScriptPointer\t9\n$lastScriptPointer\n$scriptFilename\n"
         "$stackPointerX\t1\n$\nkeep\n",
         "keep\n"},
        {"a last kept line without a line feed stays without one", "x\n$stackPointer\t7",
         "x\n$stackPointer\t7"},
        {"a last replaced line without a line feed gains one", "$lastScriptPointer\t12",
         "$lastScriptPointer\t4\n"},
        {"the bare prefix is replaced", "$lastScriptPointer\t", "$lastScriptPointer\t4\n"},
        {"a last line cut inside a known name is dropped", "keep\n$lastScr", "keep\n"},
        {"zero bytes in kept lines are copied",
         Bytes("a\0b\n\0\n$stackPointer\t\0x\n$\0\n"), Bytes("a\0b\n\0\n$stackPointer\t\0x\n")},
        {"an empty state text", "", ""},
        {"a long kept line is kept whole", "$scriptFilename\t" + longName + "\n",
         "$scriptFilename\t" + longName + "\n"},
        {"a long plain line keeps a tail that looks like an entry",
         string(255, 'a') + "_tail\n" + string(254, 'a') + "$flag\t1\n",
         string(255, 'a') + "_tail\n" + string(254, 'a') + "$flag\t1\n"},
        {"a long dropped line leaves no tail",
         "$flag" + string(250, 'b') + "plain tail\n" + "_u" + string(253, 'c') +
             "$lastScriptPointer\t8\nend\n",
         "end\n"},
        {"a long replaced line is replaced whole",
         "$lastScriptPointer\t" + string(300, '9') + "$scriptFilename\t\n",
         "$lastScriptPointer\t4\n"},
        {"an entry across the 64 KiB read boundary is judged whole",
         LineAt(65536 - 5, "$lastScriptPointer\t77\nafter\n"),
         LineAt(65536 - 5, "$lastScriptPointer\t4\nafter\n")},
        {"a kept line across the read boundary",
         LineAt(65536 - 3, "$stackPointer\t3\n"), LineAt(65536 - 3, "$stackPointer\t3\n")},
        {"a dropped line across the read boundary",
         LineAt(65536 - 1, "$x" + string(70000, 'd') + "\nz\n"), LineAt(65536 - 1, "z\n")},
        {"an underscore line across the read boundary is dropped",
         LineAt(65536 - 2, "_t" + string(10, 'u') + "\nz\n"), LineAt(65536 - 2, "z\n")},
        {"an underscore line whose first byte ends a read is dropped",
         LineAt(65536 - 1, "_x\nz\n"), LineAt(65536 - 1, "z\n")},
        {"an underscore line that starts a read is dropped", LineAt(65536, "_y\nz\n"),
         LineAt(65536, "z\n")},
        {"a named entry across the read boundary is dropped",
         LineAt(65536 - 4, "$flag\t1\nz\n"), LineAt(65536 - 4, "z\n")},
        {"a named entry that starts a read is dropped", LineAt(65536, "$flag\t1\nz\n"),
         LineAt(65536, "z\n")},
        {"a near-miss of a known name across the read boundary is dropped",
         LineAt(65536 - 8, "$lastScriptPointer 5\nz\n"), LineAt(65536 - 8, "z\n")},
    };
    testfiles::ScopedTempDir dir;
    for (const FilterCase& row : cases) {
        SCOPED_TRACE(row.name);
        const Corrected once = Correct(dir, MakeSave(row.state));
        EXPECT_EQ(once.result, CorrectionResult::Corrected);
        EXPECT_TRUE(once.bytes == MakeSave(row.expected));
        // The game's saves can be corrected again: a second pass changes nothing.
        const Corrected twice = Correct(dir, once.bytes);
        EXPECT_TRUE(twice.bytes == once.bytes);
    }
}

struct DamageCase {
    const char* name;
    string save;
    CorrectionResult expected;
};

TEST(CorrectSaveStream, TellsDamagedSavesApart) {
    const string header = savefixtures::Header();
    const string block = savefixtures::FixedBlock();
    const DamageCase cases[] = {
        {"empty save", "", CorrectionResult::Damaged},
        {"header without its zero byte", "ORVANE SAVE", CorrectionResult::Damaged},
        {"no fixed block", header, CorrectionResult::Damaged},
        {"fixed block one byte short", header + block.substr(0, 399), CorrectionResult::Damaged},
        {"fixed block and no state text", header + block, CorrectionResult::Corrected},
        {"a lone zero byte header", string(1, '\0') + block + "x\n", CorrectionResult::Corrected},
    };
    testfiles::ScopedTempDir dir;
    for (const DamageCase& row : cases) {
        SCOPED_TRACE(row.name);
        const Corrected corrected = Correct(dir, row.save);
        EXPECT_EQ(corrected.result, row.expected);
        if (row.expected == CorrectionResult::Corrected) {
            EXPECT_TRUE(corrected.bytes == row.save);
        }
    }
}

struct StreamFailureCase {
    const char* name;
    const char* saveMode;  // a stream opened for writing only cannot be read
    const char* workMode;  // and one opened for reading only cannot be written
    CorrectionResult expected;
};

TEST(CorrectSaveStream, ReportsFailedReadsAndWrites) {
    const StreamFailureCase cases[] = {
        {"save unreadable", "ab", "wb", CorrectionResult::ReadFailed},
        {"work file unwritable", "rb", "rb", CorrectionResult::WriteFailed},
    };
    testfiles::ScopedTempDir dir;
    for (const StreamFailureCase& row : cases) {
        SCOPED_TRACE(row.name);
        testfiles::WriteFile(dir / "in.sav", MakeSave("$stackPointer\t1\n"));
        testfiles::WriteFile(dir / "out.tmp", "");
        std::FILE* in = std::fopen((dir / "in.sav").c_str(), row.saveMode);
        std::FILE* out = std::fopen((dir / "out.tmp").c_str(), row.workMode);
        ASSERT_TRUE(in != nullptr && out != nullptr);
        EXPECT_EQ(CorrectSaveStream(in, out), row.expected);
        std::fclose(in);
        std::fclose(out);
    }
}

}  // namespace
