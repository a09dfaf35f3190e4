#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <vector>

#include "platform/retry.h"
#include "platform/wide_win32.h"

namespace {

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

// Access denied is a passing refusal only for a file that is neither read-only nor a
// directory: those two are refused for good.
bool RefusedForAMoment(unsigned long error, const std::wstring& target, bool accessDeniedMayPass) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
    if (error != ERROR_ACCESS_DENIED || !accessDeniedMayPass) return false;
    const DWORD attributes = Attributes(target);
    return attributes == INVALID_FILE_ATTRIBUTES ||
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// Makes a Win32 call, waiting out a scanner's brief hold on target. GetLastError tells the
// last attempt's error afterwards.
template <typename Call>
bool Retried(Call call, const std::wstring& target, bool accessDeniedMayPass = true) {
    const unsigned long error = RetryWhileRefused(
        [&]() -> unsigned long {
            if (call()) return 0;
            const DWORD failed = GetLastError();
            return failed != 0 ? failed : ERROR_GEN_FAILURE;
        },
        [&](unsigned long failed) { return RefusedForAMoment(failed, target, accessDeniedMayPass); },
        [](unsigned ms) { Sleep(ms); });
    SetLastError(static_cast<DWORD>(error));
    return error == 0;
}

std::FILE* StreamOf(HANDLE handle, int flags, const char* mode) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, mode);
    if (stream == nullptr) _close(fd);
    return stream;
}

bool CopyContents(HANDLE in, HANDLE out) {
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            return false;
        }
        if (got == 0) return true;
        DWORD written = 0;
        if (!WriteFile(out, buffer.data(), got, &written, nullptr) || written != got) return false;
    }
}

}  // namespace

bool IsDirectory(const std::string& path) {
    const DWORD attributes = Attributes(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

OpenResult OpenForReading(const std::string& path, std::FILE*& stream) {
    const std::wstring wide = Wide(path);
    const HANDLE handle =
        CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return OpenResult::Missing;
        // A directory cannot be opened as a file: it is no save, its slot is empty.
        return IsDirectory(path) ? OpenResult::Missing : OpenResult::Failed;
    }
    // Only a file on a disk is a save; under Wine a FIFO of that name opens as a pipe.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return OpenResult::Missing;
    }
    stream = StreamOf(handle, _O_RDONLY, "rb");
    return stream != nullptr ? OpenResult::Opened : OpenResult::Failed;
}

std::FILE* CreateNewFile(const std::string& path) {
    const HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    std::FILE* stream = StreamOf(handle, _O_WRONLY, "wb");
    if (stream == nullptr) DeleteFileW(Wide(path).c_str());
    return stream;
}

bool IsReadOnly(const std::string& path) {
    const DWORD attributes = Attributes(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool CloseDurably(std::FILE* stream) {
    bool ok = std::fflush(stream) == 0 && !std::ferror(stream);
    if (ok) {
        const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
        ok = handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
    }
    return std::fclose(stream) == 0 && ok;
}

bool RemoveFile(const std::string& path) {
    const std::wstring wide = Wide(path);
    const DWORD attributes = Attributes(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    // Windows deletes neither; Wine's rename below would replace a read-only file.
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return false;
    // Under Wine, deleting a name that is a Unix symbolic link deletes the file it points to,
    // which may be anyone's, and keeps the link. A rename never follows the name it replaces:
    // an empty file of our own takes the name first, and only that file is deleted. On Windows
    // the rename replaces a link the same way.
    const std::size_t slash = wide.find_last_of(L"\\/");
    const std::wstring directory = slash == std::wstring::npos ? L"." : wide.substr(0, slash);
    wchar_t own[MAX_PATH + 1] = {};
    if (GetTempFileNameW(directory.c_str(), L"orv", 0, own) == 0) return false;
    const std::wstring ownName = own;
    if (!Retried([&] { return MoveFileExW(ownName.c_str(), wide.c_str(), MOVEFILE_REPLACE_EXISTING); },
                 wide)) {
        DeleteFileW(ownName.c_str());
        return false;
    }
    return Retried([&] { return DeleteFileW(wide.c_str()); }, wide) ||
           GetLastError() == ERROR_FILE_NOT_FOUND;
}

LinkResult LinkFile(const std::string& existing, const std::string& newName) {
    const std::wstring wideExisting = Wide(existing);
    const std::wstring wideNew = Wide(newName);
    // Access denied is how Wine says a volume has no hard links: not worth waiting out, the
    // backup is copied instead.
    if (Retried([&] { return CreateHardLinkW(wideNew.c_str(), wideExisting.c_str(), nullptr); },
                wideExisting, false)) {
        return LinkResult::Linked;
    }
    const DWORD error = GetLastError();
    if (Attributes(wideNew) != INVALID_FILE_ATTRIBUTES || error == ERROR_ALREADY_EXISTS ||
        error == ERROR_FILE_EXISTS) {
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
    // Written through a handle of its own rather than CopyFile, which would carry a read-only
    // attribute over and leave a copy that can be neither flushed nor removed.
    const std::wstring wideTo = Wide(to);
    const HANDLE in = CreateFileW(Wide(from).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    HANDLE out = INVALID_HANDLE_VALUE;
    Retried(
        [&] {
            out = CreateFileW(wideTo.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
            return out != INVALID_HANDLE_VALUE;
        },
        wideTo);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return false;
    }
    bool ok = CopyContents(in, out) && FlushFileBuffers(out);
    CloseHandle(in);
    ok = CloseHandle(out) && ok;
    if (!ok) DeleteFileW(wideTo.c_str());
    return ok;
}

bool MoveIntoPlace(const std::string& from, const std::string& to) {
    const std::wstring wideFrom = Wide(from);
    const std::wstring wideTo = Wide(to);
    return Retried(
        [&] {
            return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        },
        wideTo);
}

// Each replace was written through to the disk as it was made.
bool FlushDirectory(const std::string&) { return true; }
