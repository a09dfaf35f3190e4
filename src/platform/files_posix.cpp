#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

// A new or renamed name lasts through a power cut only once its directory is on disk too.
bool FlushDirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string directory =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    return FlushDirectory(directory);
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CopyContents(int in, int out) {
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t got = read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(got))) return false;
    }
}

}  // namespace

bool IsDirectory(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

OpenResult OpenForReading(const std::string& path, std::FILE*& stream) {
    // Only a regular file is a save. Anything else is never opened: a FIFO would block the
    // open for ever, and a device may act on being opened.
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? OpenResult::Missing : OpenResult::Failed;
    }
    if (!S_ISREG(status.st_mode)) return OpenResult::Missing;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? OpenResult::Missing : OpenResult::Failed;
    // The name may have been swapped for something else since the stat.
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return OpenResult::Missing;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        (stream = fdopen(fd, "rb")) == nullptr) {
        close(fd);
        return OpenResult::Failed;
    }
    return OpenResult::Opened;
}

std::FILE* CreateNewFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* stream = fdopen(fd, "wb");
    if (stream == nullptr) {
        close(fd);
        unlink(path.c_str());
    }
    return stream;
}

bool IsReadOnly(const std::string& path) {
    // Wine shows a file without any write permission as read-only, and makes a file read-only
    // by taking them away.
    struct stat status;
    return stat(path.c_str(), &status) == 0 && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool CloseDurably(std::FILE* stream) {
    const bool ok = std::fflush(stream) == 0 && !std::ferror(stream) && fsync(fileno(stream)) == 0;
    return std::fclose(stream) == 0 && ok;
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0 || errno == ENOENT; }

LinkResult LinkFile(const std::string& existing, const std::string& newName) {
    if (link(existing.c_str(), newName.c_str()) == 0) {
        if (FlushDirectoryOf(newName)) return LinkResult::Linked;
        unlink(newName.c_str());
        return LinkResult::Failed;
    }
    switch (errno) {
        case EEXIST: return LinkResult::DestinationExists;
        case EPERM:
        case EOPNOTSUPP:
        case ENOSYS: return LinkResult::Unsupported;
        default: return LinkResult::Failed;
    }
}

bool CopyFileNoReplace(const std::string& from, const std::string& to) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        close(in);
        return false;
    }
    bool ok = CopyContents(in, out) && fsync(out) == 0;
    close(in);
    ok = close(out) == 0 && ok && FlushDirectoryOf(to);
    if (!ok) unlink(to.c_str());
    return ok;
}

bool MoveIntoPlace(const std::string& from, const std::string& to) {
    // The directory is flushed once after all slots: until then the save's name holds the save
    // as it was, whose backup is already on disk, and each later slot's flush after its link
    // records this replace as well.
    return rename(from.c_str(), to.c_str()) == 0;
}

bool FlushDirectory(const std::string& directory) {
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool flushed = fsync(fd) == 0;
    return close(fd) == 0 && flushed;
}
