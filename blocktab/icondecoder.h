#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

constexpr int kIconSide = 32;
// A block icon as the block list shows it: 32 × 32 pixels 0x00RRGGBB, rows top down.
using IconPixels = std::array<std::uint32_t, kIconSide * kIconSide>;

// Decodes a block's preview icon, a packed device-independent bitmap (header, colour
// table, rows), into the list's 32 × 32 picture; a bitmap of another size is scaled to
// it. The colour table is as long as the colours-used field says (a full table when it
// is 0), and a pixel whose index lies past it is black, as the host's bitmap reader
// (hostui::decodeDib) has them. The bytes come from files anyone may hand the user, so every part is checked
// against the byte count first: nullopt when the header, the colour table or the rows
// do not fit, the table is longer than the depth allows, or the bitmap is compressed or
// of a depth other than 1, 4, 8, 24 or 32 bits per pixel.
std::optional<IconPixels> decodePreviewIcon(const std::uint8_t* bytes, std::size_t size);
