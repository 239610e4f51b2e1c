#pragma once

#include <QRgb>

#include <cstdint>

namespace hostui {

// The colour an index of the 256-colour palette stands for on screen, 0xRRGGBB with an
// opaque alpha. Index 7 is the foreground colour and is not special here: the caller
// picks black or white for it by its background. 0 (by block) and 256 (by layer) are
// not colours; both answer white, as does anything out of range.
QRgb aciColor(int index);

}  // namespace hostui

// The screen colour of a palette index as the window system's colour value 0x00BBGGRR.
std::uint32_t acedGetRGB(int color);
