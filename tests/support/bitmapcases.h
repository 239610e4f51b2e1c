#pragma once

// One table of packed bitmaps (a 40-byte header, the colour table, the rows), shared by
// the tests of the host's bitmap reader (hostui::decodeDib) and of the block icon
// decoder (decodePreviewIcon), so that the two read every case alike. Each case is
// either refused or gives a small picture, whose pixels are listed top down.

#include <cstdint>
#include <string>
#include <vector>

namespace bitmapcases {

using Bytes = std::vector<std::uint8_t>;
using Rgb = std::uint32_t;  // 0x00RRGGBB

inline void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A header and table as another program writes them; rows are the caller's.
inline Bytes header(std::int32_t width, std::int32_t height, int bits, std::uint32_t used, const std::vector<Rgb>& table,
                    std::uint32_t compression = 0, int planes = 1) {
    Bytes b;
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(height));
    b.insert(b.end(), {static_cast<std::uint8_t>(planes), 0, static_cast<std::uint8_t>(bits), 0});
    put32(b, compression);
    for (int i = 0; i < 3; ++i) put32(b, 0);
    put32(b, used);
    put32(b, 0);
    for (Rgb c : table) b.insert(b.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16), 0});
    return b;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

constexpr Rgb kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00, kBlack = 0x000000, kWhite = 0xFFFFFF;

struct Case {
    std::string name;
    Bytes bytes;
    int width = 0, height = 0;  // 0 × 0: refused
    std::vector<Rgb> pixels;    // rows top down
    bool refused() const { return width == 0; }
};

inline Case refused(std::string name, Bytes bytes) { return {std::move(name), std::move(bytes), 0, 0, {}}; }

// Every readable case is 3 × 2 pixels: red, blue, red on the top row, blue, red, blue
// below, unless it says otherwise.
inline std::vector<Case> cases() {
    const std::vector<Rgb> checks{kRed, kBlue, kRed, kBlue, kRed, kBlue};
    const std::vector<Rgb> two{kRed, kBlue};
    const Bytes rows8(8, 0);
    const Bytes full8 = header(3, 2, 8, 2, two) + rows8;
    auto patched = [&](std::size_t at, std::uint8_t value) {
        Bytes b = full8;
        b[at] = value;
        return b;
    };
    std::vector<Rgb> table256(256, kWhite);
    table256[0] = kRed;
    table256[1] = kBlue;
    return {
        // Every depth, both row orders; tables as long as the colours-used field says.
        {"1 bit", header(3, 2, 1, 2, two) + Bytes{0b10100000, 0, 0, 0, 0b01000000, 0, 0, 0}, 3, 2, checks},
        {"4 bits, a table of 3", header(3, 2, 4, 3, {kRed, kBlue, kGreen}) + Bytes{0x10, 0x10, 0, 0, 0x01, 0x00, 0, 0}, 3, 2, checks},
        {"8 bits, a table of 2", header(3, 2, 8, 2, two) + Bytes{1, 0, 1, 0, 0, 1, 0, 0}, 3, 2, checks},
        {"8 bits top-down", header(3, -2, 8, 2, two) + Bytes{0, 1, 0, 0, 1, 0, 1, 0}, 3, 2, checks},
        {"8 bits, the full table the field leaves at 0", header(3, 2, 8, 0, table256) + Bytes{1, 0, 1, 0, 0, 1, 0, 0}, 3, 2, checks},
        {"24 bits", header(3, 2, 24, 0, {}) + Bytes{255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0,
                                                    0, 0, 255, 255, 0, 0, 0, 0, 255, 0, 0, 0}, 3, 2, checks},
        {"24 bits after a table of 2 to skip", header(3, 2, 24, 2, {kGreen, kGreen}) + Bytes{255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0,
                                                    0, 0, 255, 255, 0, 0, 0, 0, 255, 0, 0, 0}, 3, 2, checks},
        {"32 bits", header(3, 2, 32, 0, {}) + Bytes{255, 0, 0, 9, 0, 0, 255, 9, 255, 0, 0, 9,
                                                    0, 0, 255, 9, 255, 0, 0, 9, 0, 0, 255, 9}, 3, 2, checks},
        {"an index past a short table is black", header(2, 1, 8, 1, {kRed}) + Bytes{0, 7, 0, 0}, 2, 1, {kRed, kBlack}},
        // Refused.
        refused("nothing", {}),
        refused("header cut short", Bytes(full8.begin(), full8.begin() + 39)),
        refused("header size 12", patched(0, 12)),
        refused("two planes", header(3, 2, 8, 2, two, 0, 2) + rows8),
        refused("16 bits", header(3, 2, 16, 0, {}) + Bytes(16, 0)),
        refused("compressed", header(3, 2, 8, 2, two, 1) + rows8),
        refused("width zero", header(0, 2, 8, 2, two) + rows8),
        refused("width negative", header(-3, 2, 8, 2, two) + rows8),
        refused("height zero", header(3, 0, 8, 2, two) + rows8),
        refused("huge", header(0x7FFFFFFF, 0x7FFFFFFF, 8, 2, two) + rows8),
        refused("rows short by a byte", header(3, 2, 8, 2, two) + Bytes(7, 0)),
        refused("table longer than its depth", header(3, 2, 1, 3, {kRed, kBlue, kGreen}) + rows8),
        refused("a full table past the bytes", header(3, 2, 8, 0, two) + rows8),
        refused("table of a true-colour bitmap past the bytes", header(3, 2, 24, 0xFFFFFFFF, {}) + Bytes(16, 0)),
    };
}

}  // namespace bitmapcases
