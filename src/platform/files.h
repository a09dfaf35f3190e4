#pragma once
// The file operations a save rewrite needs, each reporting plainly whether it worked so the
// caller can keep the player's save safe and say what went wrong.
#include <cstdio>
#include <string>

// True if path names an existing directory.
bool IsDirectory(const std::string& path);

// Opens a file for reading in binary mode. Fails for a directory, as Windows' fopen does.
std::FILE* OpenForReading(const std::string& path);

// Creates a file, or cuts an existing one to length zero, for writing in binary mode.
std::FILE* OpenForWriting(const std::string& path);

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

// Copies from to a new file to, flushed to disk. Fails without touching an existing file at to,
// and leaves nothing behind at to when the copy fails.
bool CopyFileNoReplace(const std::string& from, const std::string& to);

// Puts the file at from in the place of the file at to in one step and records that on disk:
// at every moment to names either the old file or the new one.
bool MoveIntoPlace(const std::string& from, const std::string& to);
