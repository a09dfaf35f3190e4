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

// Formats a text and writes it to standard output (in text mode, so "\n" becomes the
// platform's line end).
void Say(const char* format, ...) ORVANE_PRINTF(1);

// Puts everything said so far on the screen; called before the program waits for a key.
void ShowSaid();
