#pragma once
// The file operations a save rewrite needs, each reporting plainly whether it worked so the
// caller can keep the player's save safe and say what went wrong. Paths are UTF-8.
#include <cstdio>
#include <string>

// True if path names an existing directory.
bool IsDirectory(const std::string& path);

enum class OpenResult {
    Opened,
    Missing,  // no file of that name, or one that is no regular file (a directory; natively a
              // FIFO, socket or device, which are never opened)
    Failed,   // it exists but cannot be opened: held by another program, no permission
};

// Opens an existing file for reading in binary mode; stream is set only when Opened.
OpenResult OpenForReading(const std::string& path, std::FILE*& stream);

// Creates a new file for writing in binary mode. Fails if anything of that name exists, a
// symbolic link included: the file written is always the program's own.
std::FILE* CreateNewFile(const std::string& path);

// True if the file is marked read-only: Windows refuses to replace or delete it.
bool IsReadOnly(const std::string& path);

// Flushes the stream, forces its bytes to the disk and closes it, whatever fails on the way.
// True only if every step worked and no write to the stream had failed before.
bool CloseDurably(std::FILE* stream);

// Deletes a file; never a directory. True if it is gone.
bool RemoveFile(const std::string& path);

enum class LinkResult {
    Linked,             // newName is a second name of existing, recorded on disk
    DestinationExists,  // newName is taken; nothing changed
    Unsupported,        // the file system has no hard links (FAT, exFAT)
    Failed,
};

// Gives the file at existing a second name, newName, in the same directory.
LinkResult LinkFile(const std::string& existing, const std::string& newName);

// Copies from to a new file to, with normal attributes, flushed to disk. Fails without touching
// an existing file at to, and leaves nothing behind at to when the copy fails.
bool CopyFileNoReplace(const std::string& from, const std::string& to);

// Puts the file at from in the place of the file at to in one step: at every moment to names
// either the old file or the new one. Natively the new name reaches the disk with the next
// FlushDirectory; on Windows the replace is written through at once.
bool MoveIntoPlace(const std::string& from, const std::string& to);

// Records the directory's names on disk (the replaces made in it since the last flush).
bool FlushDirectory(const std::string& directory);
