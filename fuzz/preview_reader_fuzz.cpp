// libFuzzer target: the stored-preview reader, on a whole file and on a tail of it as
// the reader of a large file first sees it. The first byte of the input says how much
// of the rest is the tail. Whatever the bytes, it answers a preview or none.

#include "dxf/previewreader.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t tailSize = file.size() * data[0] / 255;
    const auto whole = hostdxf::findDrawingPreview(file);
    const auto fromTail = hostdxf::findDrawingPreviewInTail(file.substr(file.size() - tailSize), file.size());
    // A tail finds the preview the whole file holds, or nothing yet.
    if (!fromTail.empty() && fromTail != whole) __builtin_trap();
    return 0;
}
