#pragma once
// The correction of one save's bytes. This file has no texts and no platform calls, so it
// builds anywhere, fuzzers included.
#include <cstdio>

enum class CorrectionResult {
    Corrected,    // the whole save was read and its corrected form written
    Damaged,      // the save ends before its header's zero byte or inside the fixed block
    ReadFailed,   // reading the save failed part-way
    WriteFailed,  // writing the corrected copy failed part-way (a full disk)
};

// Copies the open save stream to the open work stream in corrected form: the header string
// (up to and including its zero byte) and the 400-byte fixed block unchanged, then the state
// text line by line. A line is judged once, by its first bytes:
//   "$lastScriptPointer\t..."                  becomes "$lastScriptPointer\t4\n";
//   "$scriptFilename\t...", "$stackPointer\t..." is kept;
//   any other line beginning with '$' or '_'     is dropped;
//   every other line                             is kept.
// Kept lines are copied byte for byte, whatever their length and bytes. Memory use does not
// grow with the save. Stops at the first failure; the work stream is not closed.
CorrectionResult CorrectSaveStream(std::FILE* save, std::FILE* work);
