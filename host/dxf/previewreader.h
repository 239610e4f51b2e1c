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
// What readDrawingPreview finds in the last bytes (tail) of a file of fileSize bytes:
// the preview, or nothing when there is none or the tail does not reach back to it.
std::vector<std::uint8_t> findDrawingPreviewInTail(std::string_view tail, std::size_t fileSize);

}  // namespace hostdxf
