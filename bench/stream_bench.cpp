// The save filter against the limit it works within: a plain copy of the same bytes through
// the same kind of streams. Saves come from our generator.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "correction/save_stream.h"
#include "save_generator.h"

namespace {

// One generated save per size, in a directory that is removed at exit.
class SaveFiles {
public:
    SaveFiles() {
        char pattern[] = "/tmp/orvane-bench-XXXXXX";
        dir_ = mkdtemp(pattern);
    }
    ~SaveFiles() {
        for (const auto& entry : saves_) std::remove(entry.second.c_str());
        std::remove(Output().c_str());
        rmdir(dir_.c_str());
    }
    const std::string& Save(std::size_t bytes) {
        std::string& path = saves_[bytes];
        if (path.empty()) {
            SaveShape shape;
            shape.stateBytes = bytes;
            const std::string save = GenerateSave(shape);
            path = dir_ + "/scr" + std::to_string(bytes) + ".sav";
            std::ofstream(path, std::ios::binary).write(save.data(), static_cast<std::streamsize>(save.size()));
        }
        return path;
    }
    std::string Output() const { return dir_ + "/scr.tmp"; }

private:
    std::string dir_;
    std::map<std::size_t, std::string> saves_;
};

SaveFiles files;

template <typename Copy>
void Run(benchmark::State& state, Copy copy) {
    const std::string& save = files.Save(static_cast<std::size_t>(state.range(0)));
    long long bytes = 0;
    for (auto _ : state) {
        std::FILE* in = std::fopen(save.c_str(), "rb");
        std::FILE* out = std::fopen(files.Output().c_str(), "wb");
        if (in == nullptr || out == nullptr || !copy(in, out)) state.SkipWithError("copy failed");
        bytes += std::ftell(in);
        std::fclose(in);
        std::fclose(out);
    }
    state.SetBytesProcessed(bytes);
}

bool PlainCopy(std::FILE* in, std::FILE* out) {
    std::vector<char> buffer(64 * 1024);
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
        if (std::fwrite(buffer.data(), 1, got, out) != got) return false;
    }
    return !std::ferror(in);
}

bool Correct(std::FILE* in, std::FILE* out) {
    return CorrectSaveStream(in, out) == CorrectionResult::Corrected;
}

}  // namespace

// Each size's copy and correction run next to each other, so that both meet the same machine.
int main(int argc, char** argv) {
    for (const long size : {4L << 10, 1L << 20, 64L << 20}) {
        benchmark::RegisterBenchmark("PlainCopy", [](benchmark::State& s) { Run(s, PlainCopy); })
            ->Arg(size)->Unit(benchmark::kMicrosecond)->UseRealTime();
        benchmark::RegisterBenchmark("CorrectSaveStream", [](benchmark::State& s) { Run(s, Correct); })
            ->Arg(size)->Unit(benchmark::kMicrosecond)->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
