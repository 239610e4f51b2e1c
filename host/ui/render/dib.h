#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace hostui {

// A device-independent bitmap without file header, as drawing files store previews:
// a BITMAPINFOHEADER (40 bytes), the colour table, then the rows, bottom-up unless the
// height is negative, each padded to 4 bytes. Uncompressed 1, 4, 8, 24 and 32 bits a
// pixel are read; anything else, and bytes that end before the header's table and rows
// do, give a null image. A palette index past the table is drawn black.
QImage decodeDib(const std::vector<std::uint8_t>& bytes);

// The image as an 8-bit bitmap: its own colours as the table when it has at most 256,
// else each pixel as the nearest of the 256 standard drawing colours (0 black).
std::vector<std::uint8_t> encodeDib(const QImage& image);

}  // namespace hostui
