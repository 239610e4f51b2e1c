#include "blocktab/icondecoder.h"

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
// The largest header of the format's later versions; their extra fields are not used.
constexpr std::uint32_t kLargestHeaderSize = 124;
constexpr std::int64_t kLargestSide = 1 << 14;

std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::int32_t s32(const std::uint8_t* p) { return static_cast<std::int32_t>(u32(p)); }

struct Layout {
    std::int64_t width = 0, height = 0;  // height without sign
    bool bottomUp = true;
    unsigned bits = 0;
    const std::uint8_t* colours = nullptr;
    std::int64_t colourCount = 0;
    const std::uint8_t* rows = nullptr;
    std::int64_t stride = 0;
};

bool depthIsKnown(unsigned bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

std::optional<Layout> layoutOf(const std::uint8_t* bytes, std::size_t size) {
    if (!bytes || size < kInfoHeaderSize) return std::nullopt;
    const std::uint32_t headerSize = u32(bytes);
    if (headerSize < kInfoHeaderSize || headerSize > kLargestHeaderSize || headerSize > size) return std::nullopt;
    Layout l;
    l.width = s32(bytes + 4);
    const std::int64_t height = s32(bytes + 8);
    l.bottomUp = height > 0;
    l.height = height < 0 ? -height : height;
    l.bits = u16(bytes + 14);
    if (u16(bytes + 12) != 1 || u32(bytes + 16) != 0 || !depthIsKnown(l.bits)) return std::nullopt;
    if (l.width <= 0 || l.height <= 0 || l.width > kLargestSide || l.height > kLargestSide) return std::nullopt;
    // The colours-used field gives the table's length, as the host's own bitmap reader
    // takes it: other programs write short tables when a picture uses few colours. 0
    // means one entry per value of a pixel; deeper pixels hold colours, and their table
    // (of that many entries) is only skipped.
    const std::int64_t used = u32(bytes + 32);
    const std::int64_t full = l.bits <= 8 ? std::int64_t{1} << l.bits : 0;
    if (l.bits <= 8 && used > full) return std::nullopt;
    l.colourCount = l.bits <= 8 && used == 0 ? full : used;
    const std::int64_t colourBytes = 4 * l.colourCount;
    l.stride = (l.width * l.bits + 31) / 32 * 4;
    const std::int64_t needed = std::int64_t{headerSize} + colourBytes + l.stride * l.height;
    if (needed > static_cast<std::int64_t>(size)) return std::nullopt;
    l.colours = bytes + headerSize;
    l.rows = l.colours + colourBytes;
    return l;
}

std::uint32_t pixelAt(const Layout& l, std::int64_t x, std::int64_t y) {
    const std::uint8_t* row = l.rows + (l.bottomUp ? l.height - 1 - y : y) * l.stride;
    auto fromTable = [&](unsigned index) -> std::uint32_t {
        if (index >= l.colourCount) return 0;  // black, as the host draws an index past the table
        const std::uint8_t* c = l.colours + 4 * index;
        return (std::uint32_t{c[2]} << 16) | (std::uint32_t{c[1]} << 8) | c[0];
    };
    switch (l.bits) {
        case 1: return fromTable((unsigned{row[x / 8]} >> (7 - x % 8)) & 1u);
        case 4: return fromTable((unsigned{row[x / 2]} >> (x % 2 == 0 ? 4 : 0)) & 0xFu);
        case 8: return fromTable(row[x]);
        default: {
            const std::uint8_t* p = row + x * (l.bits / 8);
            return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        }
    }
}

}  // namespace

std::optional<IconPixels> decodePreviewIcon(const std::uint8_t* bytes, std::size_t size) {
    const std::optional<Layout> layout = layoutOf(bytes, size);
    if (!layout) return std::nullopt;
    IconPixels pixels{};
    for (int y = 0; y < kIconSide; ++y)
        for (int x = 0; x < kIconSide; ++x)
            pixels[static_cast<std::size_t>(y * kIconSide + x)] =
                pixelAt(*layout, x * layout->width / kIconSide, y * layout->height / kIconSide);
    return pixels;
}
