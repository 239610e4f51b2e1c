#include "blocktab/icondecoder.h"

#include "bitmapcases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// A packed bitmap of the given size and depth, rows bottom up; pixel (x, y) from the top
// gets palette index or colour colourOf(x, y).
template <class ColourOf>
Bytes packedBitmap(int width, int height, int bits, ColourOf colourOf) {
    const std::size_t table = bits <= 8 ? (std::size_t{4} << bits) : 0;
    const std::size_t stride = static_cast<std::size_t>((width * bits + 31) / 32 * 4);
    Bytes b(40 + table + stride * static_cast<std::size_t>(height), 0);
    put32(b, 0, 40);
    put32(b, 4, static_cast<std::uint32_t>(width));
    put32(b, 8, static_cast<std::uint32_t>(height));
    put16(b, 12, 1);
    put16(b, 14, static_cast<std::uint16_t>(bits));
    // Palette entry i is blue i, green 2i, red 3i (each kept to a byte).
    for (std::size_t i = 0; i < table / 4; ++i) {
        b[40 + 4 * i] = static_cast<std::uint8_t>(i);
        b[41 + 4 * i] = static_cast<std::uint8_t>(2 * i);
        b[42 + 4 * i] = static_cast<std::uint8_t>(3 * i);
    }
    for (int y = 0; y < height; ++y) {
        const std::size_t row = 40 + table + stride * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = colourOf(x, y);
            switch (bits) {
                case 1: b[row + static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8)); break;
                case 4: b[row + static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>((v & 0xF) << (x % 2 ? 0 : 4)); break;
                case 8: b[row + static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(v); break;
                default:
                    for (int k = 0; k < 3; ++k)
                        b[row + static_cast<std::size_t>(x * bits / 8 + k)] = static_cast<std::uint8_t>(v >> (8 * k));
            }
        }
    }
    return b;
}

std::uint32_t paletteColour(unsigned i) { return ((3 * i & 0xFF) << 16) | ((2 * i & 0xFF) << 8) | (i & 0xFF); }

std::optional<IconPixels> decode(const Bytes& b) { return decodePreviewIcon(b.data(), b.size()); }

TEST(PreviewIcon, EightBitIconOfThisSystemDecodesTopDown) {
    const Bytes icon = packedBitmap(32, 32, 8, [](int x, int y) { return static_cast<std::uint32_t>((x + 2 * y) % 256); });
    ASSERT_EQ(icon.size(), 2088u);
    const auto pixels = decode(icon);
    ASSERT_TRUE(pixels);
    for (const auto& [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {17, 5}})
        EXPECT_EQ((*pixels)[static_cast<std::size_t>(y * 32 + x)], paletteColour(static_cast<unsigned>((x + 2 * y) % 256)))
            << x << "," << y;
}

TEST(PreviewIcon, OtherSizesAndDepthsAreScaledToThirtyTwo) {
    struct Case {
        const char* name;
        int width, height, bits;
    };
    for (const Case c : {Case{"16x16 at 1 bit", 16, 16, 1}, Case{"64x64 at 4 bits", 64, 64, 4},
                         Case{"8x40 at 24 bits", 8, 40, 24}, Case{"32x32 at 32 bits", 32, 32, 32}}) {
        // Left half index 1 (or colour 0x010203), right half 0.
        const auto left = [&](int x, int) -> std::uint32_t { return x < c.width / 2 ? (c.bits > 8 ? 0x010203u : 1u) : 0u; };
        const auto pixels = decode(packedBitmap(c.width, c.height, c.bits, left));
        ASSERT_TRUE(pixels) << c.name;
        const std::uint32_t inLeft = c.bits > 8 ? 0x010203u : paletteColour(1);
        const std::uint32_t inRight = c.bits > 8 ? 0u : paletteColour(0);
        EXPECT_EQ((*pixels)[5 * 32 + 3], inLeft) << c.name;
        EXPECT_EQ((*pixels)[30 * 32 + 28], inRight) << c.name;
    }
}

// Bytes from a drawing anyone may hand the user: whatever does not fit is refused.
TEST(PreviewIcon, BytesThatDoNotHoldAWholeBitmapAreRefused) {
    const Bytes good = packedBitmap(32, 32, 8, [](int, int) { return 1u; });
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const auto with = [&](auto change) {
        Bytes b = good;
        change(b);
        return b;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"header cut", Bytes(good.begin(), good.begin() + 39)},
        {"colour table cut", Bytes(good.begin(), good.begin() + 40 + 512)},
        {"last row cut", Bytes(good.begin(), good.end() - 1)},
        {"header size 12", with([](Bytes& b) { put32(b, 0, 12); })},
        {"header size past the bytes", with([](Bytes& b) { put32(b, 0, 4000); })},
        {"compressed", with([](Bytes& b) { put32(b, 16, 1); })},
        {"two planes", with([](Bytes& b) { put16(b, 12, 2); })},
        {"16 bits per pixel", with([](Bytes& b) { put16(b, 14, 16); })},
        {"zero width", with([](Bytes& b) { put32(b, 4, 0); })},
        {"negative width", with([](Bytes& b) { put32(b, 4, static_cast<std::uint32_t>(-32)); })},
        {"huge height", with([](Bytes& b) { put32(b, 8, 0x7FFFFFFF); })},
        {"width times rows past the bytes", with([](Bytes& b) { put32(b, 4, 1000); })},
    };
    for (const Case& c : cases) EXPECT_FALSE(decode(c.bytes)) << c.name;
    EXPECT_TRUE(decode(good));
}

// The cases the host's bitmap reader reads alike (tests/support/bitmapcases.h), each
// scaled to the list's 32 × 32 picture.
TEST(PreviewIcon, ReadsTheSharedCasesAsTheHostsReaderDoes) {
    for (const bitmapcases::Case& c : bitmapcases::cases()) {
        SCOPED_TRACE(c.name);
        const auto pixels = decode(c.bytes);
        if (c.refused()) {
            EXPECT_FALSE(pixels);
            continue;
        }
        ASSERT_TRUE(pixels);
        for (int y = 0; y < kIconSide; ++y)
            for (int x = 0; x < kIconSide; ++x) {
                const int sx = x * c.width / kIconSide, sy = y * c.height / kIconSide;
                ASSERT_EQ((*pixels)[static_cast<std::size_t>(y * kIconSide + x)],
                          c.pixels[static_cast<std::size_t>(sy * c.width + sx)])
                    << x << "," << y;
            }
    }
}

TEST(PreviewIcon, TopDownRowsAreReadTopDown) {
    Bytes icon = packedBitmap(32, 32, 8, [](int, int y) { return y < 16 ? 5u : 9u; });
    const auto bottomUp = decode(icon);
    // The same bytes said to be top down show the picture upside down.
    put32(icon, 8, static_cast<std::uint32_t>(-32));
    const auto topDown = decode(icon);
    ASSERT_TRUE(bottomUp && topDown);
    EXPECT_EQ((*bottomUp)[0], paletteColour(5));
    EXPECT_EQ((*topDown)[0], paletteColour(9));
}

}  // namespace
