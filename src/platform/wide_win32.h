#pragma once
// Inside the program every path and registry text is UTF-8; the Win32 calls take UTF-16. The
// conversion happens here, at the boundary, so a Japanese folder name works whatever the
// system's ANSI code page is.
#include <windows.h>

#include <string>

// A code page's bytes in UTF-16.
inline std::wstring WideFrom(const std::string& bytes, UINT codePage) {
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, &wide[0], length);
    return wide;
}

inline std::wstring Wide(const std::string& utf8) { return WideFrom(utf8, CP_UTF8); }

// UTF-16 in a code page's bytes; characters the code page lacks become '?'.
inline std::string Narrow(const std::wstring& wide, UINT codePage) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, &narrow[0], length, nullptr, nullptr);
    return narrow;
}

inline std::string Utf8(const std::wstring& wide) { return Narrow(wide, CP_UTF8); }

