// libFuzzer target: the host's bitmap decoder, which reads the previews that drawing
// files store. Whatever the bytes, it answers an image or a null one; an image is
// encoded again as the host saves previews.

#include "ui/render/dib.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const QImage image = hostui::decodeDib(bytes);
    // Encoding walks every pixel: kept to pictures of a preview's size.
    if (!image.isNull() && image.width() * image.height() <= 512 * 512) (void)hostui::encodeDib(image);
    return 0;
}
