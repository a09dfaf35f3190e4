#include "save_generator.h"

#include <random>

std::string GenerateSave(const SaveShape& shape) {
    std::mt19937 random(shape.seed);
    const auto number = [&random](int below) {
        return std::to_string(std::uniform_int_distribution<int>(0, below - 1)(random));
    };
    const std::string end = shape.crlf ? "\r\n" : "\n";

    std::string save = "ORVANE SAVE 1.00 " + number(1000);
    save += '\0';
    for (int item = 0; item < 100; ++item) {  // 100 four-byte items, zeros among them
        const std::uint32_t value = item % 3 == 0 ? 0 : random();
        for (int byte = 0; byte < 4; ++byte) save += static_cast<char>((value >> (8 * byte)) & 0xFF);
    }
    const std::size_t stateStart = save.size();
    save += "$scriptFilename\tch" + number(9) + number(10) + ".s" + end;
    save += "$lastScriptPointer\t" + number(100000) + end;
    if (shape.longLineBytes > 0) {
        save += "$scriptFilename\t" + std::string(shape.longLineBytes, 'L') + end;
    }
    while (save.size() - stateStart < shape.stateBytes) {
        switch (random() % 8) {
            case 0: save += "$stackPointer\t" + number(16) + end; break;
            case 1: save += "$playTime\t" + number(100000) + end; break;
            case 2: save += "$flag" + number(500) + "\t" + number(2) + end; break;
            case 3: save += "$name\t" + number(9) + "," + number(9) + end; break;
            case 4: save += "_work" + number(40) + "\t" + number(256) + end; break;
            case 5: save += end; break;
            default: save += number(4000) + "," + number(300) + "," + number(8) + end; break;
        }
    }
    return save;
}
