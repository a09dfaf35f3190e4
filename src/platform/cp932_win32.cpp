#include "platform/cp932.h"

#include "platform/wide_win32.h"

std::string Cp932FromUtf8(const std::string& utf8) { return Narrow(Wide(utf8), 932); }

std::string Utf8FromCp932(const std::string& cp932) { return Utf8(WideFrom(cp932, 932)); }
