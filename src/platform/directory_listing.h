#pragma once
// The entries of one folder, so that the program's own rules decide which are the game's files.
#include <string>
#include <vector>

struct DirectoryEntry {
    std::string name;  // the entry's own (long) name, UTF-8, without its folder
    bool isDirectory = false;
};

// Every entry of directory except "." and "..", in no particular order; none when it cannot
// be read. Not recursive.
std::vector<DirectoryEntry> ListDirectory(const std::string& directory);
