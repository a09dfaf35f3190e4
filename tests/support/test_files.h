#pragma once
// Real temporary directories and whole-file helpers for tests. A directory whose test failed
// is kept, and its path printed, so the files can be looked at.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>

namespace testfiles {

namespace fs = std::filesystem;

class ScopedTempDir {
public:
    ScopedTempDir() {
        std::random_device seed;
        const fs::path base = fs::temp_directory_path();
        for (;;) {
            path_ = base / ("orvane-test-" + std::to_string(seed()));
            if (fs::create_directory(path_)) break;
        }
    }
    ~ScopedTempDir() {
        if (testing::Test::HasFailure()) {
            std::printf("kept for inspection: %s\n", path_.string().c_str());
            return;
        }
        std::error_code ignored;
        MakeWritable(path_);
        fs::remove_all(path_, ignored);
    }
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const fs::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    static void MakeWritable(const fs::path& dir) {
        std::error_code ignored;
        for (auto it = fs::recursive_directory_iterator(dir, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::path path_;
};

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ASSERT_TRUE(out) << "cannot write " << path;
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every entry directly in dir, by name: a regular file (or a link to one) with its bytes, a
// directory as "<dir>", anything else (a FIFO, a dangling link) as "<other>".
inline std::map<std::string, std::string> DirectoryContents(const fs::path& dir) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        contents[name] = entry.is_directory()      ? "<dir>"
                         : entry.is_regular_file() ? ReadFile(entry.path())
                                                   : "<other>";
    }
    return contents;
}

}  // namespace testfiles
