#pragma once
// Formatting of texts and paths, and writing texts to the player's console.
#include <string>

#if defined(__GNUC__)
#define ORVANE_PRINTF(format_index) __attribute__((format(printf, format_index, format_index + 1)))
#else
#define ORVANE_PRINTF(format_index)
#endif

// printf-style formatting into a string of whatever length the result needs.
std::string FormatText(const char* format, ...) ORVANE_PRINTF(1);

// Writes one of the program's texts to standard output ("\n" becomes the platform's line end).
void Say(const char* text);

// Writes a text whose one %s stands for a file's path.
void Say(const char* format, const std::string& path);

// Writes a text whose one %d stands for a number.
void Say(const char* format, int number);

// Puts everything said so far on the screen; called before the program waits for a key.
void ShowSaid();
