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
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool flushed = fsync(fd) == 0;
    return close(fd) == 0 && flushed;
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

std::FILE* OpenForReading(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status;
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(fd);
        errno = EISDIR;
        return nullptr;
    }
    std::FILE* stream = fdopen(fd, "rb");
    if (stream == nullptr) close(fd);
    return stream;
}

std::FILE* OpenForWriting(const std::string& path) { return std::fopen(path.c_str(), "wbe"); }

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
    if (rename(from.c_str(), to.c_str()) != 0) return false;
    // The backup is already on disk, so whichever name the directory holds after a power cut
    // is a whole save; a failed flush here cannot cost the player anything.
    FlushDirectoryOf(to);
    return true;
}
