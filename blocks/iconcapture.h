#pragma once

#include "frame/hostapi.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The preview icon that the block icon renderer makes: a packed 8-bit bitmap of 32 × 32
// pixels, a 40-byte header (planes 1, no compression, every other field 0), the 256
// entries of the colour table, then the rows bottom-up.
namespace blockicon {
constexpr int kSide = 32;
constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kTableSize = 256 * 4;
constexpr std::size_t kPixelOffset = kHeaderSize + kTableSize;
constexpr std::size_t kIconByteCount = kPixelOffset + std::size_t{kSide} * kSide;
static_assert(kPixelOffset == 1064 && kIconByteCount == 2088, "the icon layout the Block Manager reads");
}  // namespace blockicon

// Copies the 32 × 32 pixels at the window's top-left corner, as it shows them now, into
// bytes as such an icon. Answers whether the pixels were read; bytes is then the whole
// icon. Every context and bitmap it makes is given back on every path.
bool captureIcon(CWnd& control, std::vector<std::uint8_t>& bytes);
