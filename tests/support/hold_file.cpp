// Holds a file open with share mode 0, as a running game or a backup tool may, until the marker
// file it creates is deleted:  hold_file FILE MARKER
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const HANDLE held = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    const HANDLE marker = CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_DELETE | FILE_SHARE_READ,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(marker);
    for (int waited = 0; waited < 600 && GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES;
         ++waited) {
        Sleep(100);
    }
    CloseHandle(held);
    return 0;
}
