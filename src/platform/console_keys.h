#pragma once
// Single key presses read from the console itself (never from standard input), without echo
// and without waiting for Enter.

// What ReadConsoleKey gives, at once, when there is no console or it cannot be read.
constexpr int kEndOfInput = -1;

// Waits for a key and gives one code: a character key's code; for a key without a character
// (cursor, editing and function keys) a lead code of 0 or 0xE0 now and the key's code on the
// next call. Ctrl+C arrives as 3; Shift, Ctrl and Alt alone give nothing.
int ReadConsoleKey();
