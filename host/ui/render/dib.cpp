#include "ui/render/dib.h"

#include "ui/render/aci.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <unordered_map>

namespace hostui {
namespace {

constexpr std::size_t kHeaderSize = 40;
// Far beyond any preview; keeps a forged header from asking for gigabytes of image.
constexpr std::int64_t kLargestSide = 16384;

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::int32_t i32(const std::vector<std::uint8_t>& b, std::size_t at) { return static_cast<std::int32_t>(u32(b, at)); }

void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

// What the header says, checked against the bytes there are.
struct Layout {
    int width = 0, height = 0;
    bool bottomUp = true;
    int bits = 0;
    std::size_t colours = 0;  // entries of the table
    std::size_t stride = 0;
    std::size_t rows = 0;     // offset of the first row in the bytes
};

bool readLayout(const std::vector<std::uint8_t>& b, Layout& l) {
    if (b.size() < kHeaderSize || u32(b, 0) != kHeaderSize || u16(b, 12) != 1 || u32(b, 16) != 0) return false;
    const std::int64_t width = i32(b, 4), height = i32(b, 8);
    l.bits = u16(b, 14);
    if (width <= 0 || width > kLargestSide || height == 0 || std::llabs(height) > kLargestSide) return false;
    if (l.bits != 1 && l.bits != 4 && l.bits != 8 && l.bits != 24 && l.bits != 32) return false;
    const std::uint64_t used = u32(b, 32);
    const std::uint64_t tableMax = l.bits <= 8 ? 1u << l.bits : std::numeric_limits<std::uint32_t>::max();
    if (used > tableMax) return false;
    const std::uint64_t colours = l.bits <= 8 && used == 0 ? tableMax : used;
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(l.bits) + 31) / 32 * 4;
    const std::uint64_t needed = kHeaderSize + colours * 4 + stride * static_cast<std::uint64_t>(std::llabs(height));
    if (needed > b.size()) return false;
    l.width = static_cast<int>(width);
    l.height = static_cast<int>(std::llabs(height));
    l.bottomUp = height > 0;
    l.colours = static_cast<std::size_t>(colours);
    l.stride = static_cast<std::size_t>(stride);
    l.rows = kHeaderSize + l.colours * 4;
    return true;
}

QRgb tableColour(const std::vector<std::uint8_t>& b, const Layout& l, unsigned index) {
    if (index >= l.colours) return qRgb(0, 0, 0);
    const std::size_t at = kHeaderSize + index * 4;
    return qRgb(b[at + 2], b[at + 1], b[at]);
}

QRgb pixel(const std::vector<std::uint8_t>& b, const Layout& l, const std::uint8_t* row, int x) {
    switch (l.bits) {
        case 1: return tableColour(b, l, static_cast<unsigned>(row[x / 8]) >> (7 - x % 8) & 1u);
        case 4: return tableColour(b, l, static_cast<unsigned>(row[x / 2]) >> (x % 2 ? 0 : 4) & 15u);
        case 8: return tableColour(b, l, row[x]);
        case 24: return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        default: return qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}

// The colours of the table and each pixel's index into it.
class Indexer {
public:
    explicit Indexer(const QImage& image) {
        for (int y = 0; y < image.height() && m_table.size() <= 256; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width() && m_table.size() <= 256; ++x) add(line[x] | 0xFF000000u);
        }
        if (m_table.size() <= 256) return;
        // Too many colours for a table of its own: the standard colours, each pixel the nearest.
        m_table.clear();
        m_index.clear();
        m_table.push_back(qRgb(0, 0, 0));
        for (int i = 1; i < 256; ++i) m_table.push_back(aciColor(i));
    }

    const std::vector<QRgb>& table() const { return m_table; }

    std::uint8_t index(QRgb colour) {
        colour |= 0xFF000000u;
        if (const auto found = m_index.find(colour); found != m_index.end()) return found->second;
        const auto nearest = static_cast<std::uint8_t>(nearestStandard(colour));
        m_index.emplace(colour, nearest);
        return nearest;
    }

private:
    void add(QRgb colour) {
        if (m_index.emplace(colour, static_cast<std::uint8_t>(m_table.size())).second) m_table.push_back(colour);
    }

    std::size_t nearestStandard(QRgb c) const {
        std::size_t best = 0;
        int bestDistance = std::numeric_limits<int>::max();
        for (std::size_t i = 0; i < m_table.size(); ++i) {
            const int dr = qRed(c) - qRed(m_table[i]), dg = qGreen(c) - qGreen(m_table[i]), db = qBlue(c) - qBlue(m_table[i]);
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    }

    std::vector<QRgb> m_table;
    std::unordered_map<QRgb, std::uint8_t> m_index;
};

}  // namespace

QImage decodeDib(const std::vector<std::uint8_t>& bytes) {
    Layout l;
    if (!readLayout(bytes, l)) return {};
    QImage image(l.width, l.height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    for (int r = 0; r < l.height; ++r) {
        const std::uint8_t* row = bytes.data() + l.rows + static_cast<std::size_t>(r) * l.stride;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(l.bottomUp ? l.height - 1 - r : r));
        for (int x = 0; x < l.width; ++x) line[x] = pixel(bytes, l, row, x);
    }
    return image;
}

std::vector<std::uint8_t> encodeDib(const QImage& source) {
    if (source.isNull()) return {};
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    Indexer indexer(image);
    const auto width = static_cast<std::uint32_t>(image.width()), height = static_cast<std::uint32_t>(image.height());
    const std::uint32_t stride = (width + 3) / 4 * 4;
    const auto colours = static_cast<std::uint32_t>(indexer.table().size());
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderSize + colours * 4 + std::size_t{stride} * height);
    put32(out, kHeaderSize);
    put32(out, width);
    put32(out, height);  // positive: bottom-up, as every reader expects
    put16(out, 1);
    put16(out, 8);
    put32(out, 0);  // uncompressed
    put32(out, stride * height);
    put32(out, 0);
    put32(out, 0);
    put32(out, colours);
    put32(out, 0);
    for (QRgb c : indexer.table()) {
        out.insert(out.end(), {static_cast<std::uint8_t>(qBlue(c)), static_cast<std::uint8_t>(qGreen(c)),
                               static_cast<std::uint8_t>(qRed(c)), 0});
    }
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) out.push_back(indexer.index(line[x]));
        out.resize(out.size() + (stride - width));
    }
    return out;
}

}  // namespace hostui
