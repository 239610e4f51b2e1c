#include "blocks/iconcapture.h"

#include <array>
#include <cstring>

namespace {

using namespace blockicon;

// Contexts and the bitmap, each given back when the capture leaves, whatever the path.
struct WindowContext {
    HWND window;
    HDC dc;
    explicit WindowContext(HWND w) : window(w), dc(GetDC(w)) {}
    ~WindowContext() {
        if (dc) ReleaseDC(window, dc);
    }
    WindowContext(const WindowContext&) = delete;
    WindowContext& operator=(const WindowContext&) = delete;
};

struct MemoryContext {
    HDC dc;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    MemoryContext(HDC window, int side) : dc(CreateCompatibleDC(window)) {
        // Compatible with the window, not with the fresh memory context: on the
        // platform that one holds a one-bit bitmap and would make the icon black and white.
        if (dc) bitmap = CreateCompatibleBitmap(window, side, side);
        if (bitmap) previous = SelectObject(dc, bitmap);
    }
    ~MemoryContext() {
        if (dc && bitmap) SelectObject(dc, previous);
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
    }
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;
};

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void writeHeader(std::vector<std::uint8_t>& bytes) {
    std::fill(bytes.begin(), bytes.begin() + kHeaderSize, std::uint8_t{0});
    put32(bytes, 0, kHeaderSize);
    put32(bytes, 4, kSide);
    put32(bytes, 8, kSide);  // positive: rows bottom-up
    bytes[12] = 1;           // planes
    bytes[14] = 8;           // bits per pixel
}

// The header with room for the whole colour table, as the conversion writes it.
struct IconInfo {
    BITMAPINFOHEADER header;
    std::array<RGBQUAD, 256> table;
};

}  // namespace

bool captureIcon(CWnd& control, std::vector<std::uint8_t>& bytes) {
    const WindowContext window(control.GetSafeHwnd());
    if (!window.dc) return false;
    const MemoryContext memory(window.dc, kSide);
    if (!memory.dc || !memory.bitmap) return false;
    if (!BitBlt(memory.dc, 0, 0, kSide, kSide, window.dc, 0, 0, SRCCOPY)) return false;
    bytes.assign(kIconByteCount, 0);
    writeHeader(bytes);
    IconInfo info{};
    std::memcpy(&info.header, bytes.data(), kHeaderSize);
    std::array<std::uint8_t, std::size_t{kSide} * kSide> pixels{};
    const int lines = GetDIBits(memory.dc, memory.bitmap, 0, kSide, pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (lines == 0) {
        bytes.clear();
        return false;
    }
    // The header stays as written here: a conversion may fill in sizes the icon keeps at 0.
    std::memcpy(bytes.data() + kHeaderSize, info.table.data(), kTableSize);
    std::memcpy(bytes.data() + kPixelOffset, pixels.data(), pixels.size());
    return true;
}
