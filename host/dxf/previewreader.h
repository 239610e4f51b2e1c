#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hostdxf {

// The drawing preview stored in a drawing file (its THUMBNAILIMAGE section), as the
// bytes of a device-independent bitmap without file header; empty when the file holds
// none or cannot be read. Only the file's tail is read, never the drawing itself: the
// section follows OBJECTS, so a file whose OBJECTS section comes with no preview after
// it answers as soon as that is found. A section whose byte count (group 90) does not
// match its data, or that holds characters that are not hexadecimal, is no preview.
std::vector<std::uint8_t> readDrawingPreview(const std::wstring& path);

// The same for a drawing file already in memory.
std::vector<std::uint8_t> findDrawingPreview(std::string_view fileText);

}  // namespace hostdxf
