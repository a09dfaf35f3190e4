// Makes a demo installation of the game with its registry entry, and afterwards shows what the
// correction did to it.
//   orvane-demo setup PREFIX GAMEDIR   a Wine-style prefix whose user.reg names GAMEDIR
//   orvane-demo report GAMEDIR         each slot before and after, the history files, backups
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "installation_layout.h"
#include "save_generator.h"

namespace fs = std::filesystem;

namespace {

const int kSlots[] = {0, 1, 7};
const char* const kHistoryFiles[] = {"s00.dat", "s01.dat", "r0chapter2.dat"};
const char* const kOtherFiles[] = {"config.dat", "system.dat", "orvane.exe"};

bool Write(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Setup(const fs::path& prefix, const fs::path& game) {
    fs::create_directories(game);
    bool ok = layout::WriteWinePrefix(prefix, {layout::GameKey(layout::WindowsPath(game))});
    if (!ok) std::fprintf(stderr, "cannot lay out the Wine prefix %s\n", prefix.c_str());
    for (int slot : kSlots) {
        SaveShape shape;
        shape.stateBytes = 160;
        shape.seed = static_cast<std::uint32_t>(slot + 11);
        shape.crlf = slot == 7;
        ok = Write(game / layout::SlotFileName(slot, "sav"), GenerateSave(shape)) && ok;
    }
    for (const char* name : kHistoryFiles) ok = Write(game / name, "read lines") && ok;
    for (const char* name : kOtherFiles) ok = Write(game / name, "not history") && ok;
    return ok ? 0 : 1;
}

// The state text's lines: what follows the header string and the 400-byte block.
std::vector<std::string> StateLines(const std::string& save) {
    std::vector<std::string> lines;
    const std::size_t header = save.find('\0');
    if (header == std::string::npos || save.size() < header + 1 + 400) return lines;
    std::size_t at = header + 1 + 400;
    while (at < save.size()) {
        std::size_t end = save.find('\n', at);
        end = end == std::string::npos ? save.size() : end + 1;
        std::string line = save.substr(at, end - at);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        lines.push_back(line);
        at = end;
    }
    return lines;
}

std::string Shown(const std::string& line) {
    std::string shown;
    for (char c : line) shown += c == '\t' ? std::string(" = ") : std::string(1, c);
    return shown.empty() ? "(empty line)" : shown;
}

int Report(const fs::path& game) {
    std::printf("\nWhat happened in %s:\n", game.c_str());
    for (int slot : kSlots) {
        const fs::path save = game / layout::SlotFileName(slot, "sav");
        const fs::path backup = game / layout::SlotFileName(slot, "old");
        if (!fs::exists(backup)) {
            std::printf("\n%s: unchanged (no backup %s)\n", save.c_str(), backup.filename().c_str());
            continue;
        }
        std::printf("\n%s (the save as it was is kept in %s)\n", save.c_str(), backup.c_str());
        const std::vector<std::string> before = StateLines(Read(backup));
        const std::vector<std::string> after = StateLines(Read(save));
        std::size_t next = 0;
        for (const std::string& line : before) {
            if (next < after.size() && after[next] == line) {
                std::printf("    kept     %s\n", Shown(line).c_str());
                ++next;
            } else if (next < after.size() && line.rfind("$lastScriptPointer\t", 0) == 0) {
                std::printf("    rewound  %s  ->  %s\n", Shown(line).c_str(),
                            Shown(after[next++]).c_str());
            } else {
                std::printf("    dropped  %s\n", Shown(line).c_str());
            }
        }
    }
    std::printf("\nRead-history files:\n");
    for (const char* name : kHistoryFiles) {
        std::printf("    %-16s %s\n", name, fs::exists(game / name) ? "still there" : "deleted");
    }
    std::printf("Other files:\n");
    for (const char* name : kOtherFiles) {
        std::printf("    %-16s %s\n", name, fs::exists(game / name) ? "untouched" : "MISSING");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "setup") == 0) return Setup(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "report") == 0) return Report(argv[2]);
    std::fprintf(stderr, "usage: orvane-demo setup PREFIX GAMEDIR | orvane-demo report GAMEDIR\n");
    return 2;
}
