#pragma once
// Single key presses read from the console itself (never from standard input), without echo
// and without waiting for Enter.

// What ReadConsoleKey gives, at once, when there is no console or it cannot be read.
constexpr int kEndOfInput = -1;

// What a key gives whose character lies outside ASCII (kana, kanji, full-width letters, from
// the keyboard or an input method): one code, which no question takes as an answer.
constexpr int kOtherCharacter = 0x100;

// Waits for a key and gives one code: an ASCII character key's code; for a key without a
// character (cursor, editing and function keys, and keys held with Alt) a lead code of 0 or
// 0xE0 now and the key's code on the next call. Ctrl+C arrives as 3 and does not end the
// program; Shift, Ctrl, Alt, Caps Lock and Num Lock alone give nothing.
int ReadConsoleKey();

// Forgets every key typed so far and not yet read, so that the next key read is one pressed
// after the question on the screen was asked.
void DiscardTypedAhead();
