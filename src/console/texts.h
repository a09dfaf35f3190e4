#pragma once
// Every text the player sees. texts.cpp is written in UTF-8 and compiled to Shift-JIS (CP932)
// bytes, the code page of the Japanese Windows consoles the game was made for.

namespace texts {
extern const char kBanner[];
extern const char kNotInstalled[];
extern const char kNotice[];
extern const char kPrompt[];
extern const char kYes[];
extern const char kNo[];
extern const char kDone[];
extern const char kPressAnyKey[];
extern const char kLineEnd[];

// %s: the VirtualStore folder where Windows keeps the game's own saves and history for it.
extern const char kGameFilesElsewhere[];

extern const char kPurgingReadHistory[];

extern const char kCorrectingSaves[];
extern const char kCorrectingSlot[];   // %d: the slot number
extern const char kCannotCreate[];     // %s: the work file
extern const char kSaveDamaged[];      // %s: the save
extern const char kCannotWrite[];      // %s: the work file
extern const char kCannotRead[];       // %s: the save
extern const char kCannotReplace[];    // %s: the save
}  // namespace texts
