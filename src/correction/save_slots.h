#pragma once
// Rewinds every save slot of the installation to the start of its chapter.
#include <string>

// For each slot 0 to 255 whose save scrNNN.sav exists in installDir (which ends in a path
// separator): writes the corrected save to scrNNN.tmp, keeps the save as it was as scrNNN.old
// (replacing an older backup) and puts the corrected save in its place. At every moment
// scrNNN.sav holds either the save as it was or the whole corrected save. Reports each slot,
// and each problem, on the console; a problem with one slot leaves that slot's save as it was
// and the later slots go on.
void CorrectSaveSlots(const std::string& installDir);
