// Writes the fuzzer's seed corpus: saves from our generator, small and large (past the
// filter's 64 KiB reads), with LF and CRLF line ends and long lines.
#include <cstdio>
#include <fstream>
#include <string>

#include "save_generator.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds DIR\n");
        return 2;
    }
    const std::size_t sizes[] = {0, 40, 300, 2000, 70000};
    int made = 0;
    for (std::size_t size : sizes) {
        for (int variant = 0; variant < 4; ++variant) {
            SaveShape shape;
            shape.stateBytes = size;
            shape.seed = static_cast<unsigned>(made + 1);
            shape.crlf = variant % 2 == 1;
            shape.longLineBytes = variant >= 2 ? 300 : 0;
            const std::string save = GenerateSave(shape);
            std::ofstream out(std::string(argv[1]) + "/seed" + std::to_string(made++),
                              std::ios::binary);
            out.write(save.data(), static_cast<std::streamsize>(save.size()));
            if (!out) return 1;
        }
    }
    return 0;
}
