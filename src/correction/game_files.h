#pragma once
// Which files are the game's own: its save slots and its read-text history.
#include <string>

// True if directory holds a save, scr000.sav to scr255.sav, or a
// read-history file, ?0*.dat.
bool HoldsGameFiles(const std::string& directory);
