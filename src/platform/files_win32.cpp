#include "platform/files.h"

#include <io.h>
#include <windows.h>

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::FILE* OpenForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

std::FILE* OpenForWriting(const std::string& path) { return std::fopen(path.c_str(), "wb"); }

bool CloseDurably(std::FILE* stream) {
    bool ok = std::fflush(stream) == 0 && !std::ferror(stream);
    if (ok) {
        const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
        ok = handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
    }
    return std::fclose(stream) == 0 && ok;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

LinkResult LinkFile(const std::string& existing, const std::string& newName) {
    if (CreateHardLinkA(newName.c_str(), existing.c_str(), nullptr)) return LinkResult::Linked;
    const DWORD error = GetLastError();
    if (GetFileAttributesA(newName.c_str()) != INVALID_FILE_ATTRIBUTES ||
        error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        return LinkResult::DestinationExists;
    }
    // FAT volumes refuse hard links: Windows says not supported, Wine access denied.
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ||
        error == ERROR_ACCESS_DENIED) {
        return LinkResult::Unsupported;
    }
    return LinkResult::Failed;
}

bool CopyFileNoReplace(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), TRUE)) return false;
    const HANDLE copy = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool flushed = copy != INVALID_HANDLE_VALUE && FlushFileBuffers(copy);
    if (copy != INVALID_HANDLE_VALUE) CloseHandle(copy);
    if (!flushed) DeleteFileA(to.c_str());
    return flushed;
}

bool MoveIntoPlace(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
