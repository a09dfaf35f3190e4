#pragma once
// How one key event of a Windows console becomes the codes ReadConsoleKey gives; apart from
// the reading, so that tests can feed it events of their own making.
#include <windows.h>

#include <vector>

// None for a key release or a modifier pressed alone; one code for a character; a lead and a
// code for a key without a character.
std::vector<int> CodesOfKeyEvent(const KEY_EVENT_RECORD& key);
