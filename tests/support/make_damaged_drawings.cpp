// Writes one damaged copy of a sound drawing per kind of damage, for the end-to-end
// test of recovery: make_damaged_drawings SOUND OUTDIR (OUTDIR/KIND.dwg each).

#include "damageddrawings.h"

#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_damaged_drawings SOUND OUTDIR\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string sound((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) return 1;
    try {
        for (const auto& kind : damage::kinds()) {
            std::ofstream out(std::string(argv[2]) + "/" + kind.name + ".dwg", std::ios::binary);
            out << kind.make(sound);
            if (!out) return 1;
            std::cout << kind.name << "\t" << kind.repair << "\n";
        }
    } catch (const std::exception& e) {
        std::cerr << "make_damaged_drawings: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
