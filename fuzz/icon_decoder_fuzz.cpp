// libFuzzer target: the Block Manager's decoder of block preview icons, whose bytes come
// from library drawings anyone may hand the user. Whatever the bytes, it answers a
// 32 x 32 picture or none.

#include "blocktab/icondecoder.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)decodePreviewIcon(data, size);
    return 0;
}
