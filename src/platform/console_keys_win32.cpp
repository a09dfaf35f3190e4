#include "platform/console_keys.h"

#include <conio.h>

int ReadConsoleKey() { return _getch(); }
