#include "ui/framework/gdi.h"

#include "ui/render/aci.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <array>
#include <cstring>
#include <limits>
#include <memory>

namespace hostui {

// Every handle of this file is one of these; the kind is checked on every use, so a
// handle of the wrong kind fails the call instead of being misread.
class GdiObject {
public:
    enum class Kind { bitmap, windowContext, memoryContext };
    explicit GdiObject(Kind kind) : m_kind(kind) {}
    virtual ~GdiObject() = default;
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

class GdiBitmap : public GdiObject {
public:
    GdiBitmap(int width, int height, bool isStock = false)
        : GdiObject(Kind::bitmap), image(width, height, QImage::Format_RGB32), stock(isStock) {
        image.fill(Qt::black);
    }
    QImage image;
    int selections = 0;  // contexts holding it
    const bool stock;    // a context's own first bitmap: never deleted by a caller
};

// A memory context starts with a 1 × 1 bitmap of its own, as on the platform, so that
// selecting back what SelectObject answered lets go of the caller's bitmap.
class DeviceContext : public GdiObject {
public:
    explicit DeviceContext(QWidget* w) : GdiObject(Kind::windowContext), window(w) {}
    DeviceContext() : GdiObject(Kind::memoryContext), own(std::make_unique<GdiBitmap>(1, 1, true)), selected(own.get()) {
        ++own->selections;
    }
    QPointer<QWidget> window;
    std::unique_ptr<GdiBitmap> own;
    GdiBitmap* selected = nullptr;
};

namespace {

GdiBitmap* asBitmap(HGDIOBJ object) {
    return object && object->kind() == GdiObject::Kind::bitmap ? static_cast<GdiBitmap*>(object) : nullptr;
}

// The pixels a context reads: what the window shows now, or the selected bitmap.
QImage sourcePixels(const DeviceContext& dc, const QRect& area) {
    if (dc.kind() == GdiObject::Kind::memoryContext) return dc.selected ? dc.selected->image.copy(area) : QImage();
    if (!dc.window) return {};
    QImage shown = dc.window->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    // A screen of more than one device pixel a pixel still gives one pixel a pixel here.
    return shown.size() == area.size() ? shown : shown.scaled(area.size());
}

// The 256 drawing colours as an 8-bit bitmap's table: 0 black, the palette after it.
const std::array<QRgb, 256>& drawingColours() {
    static const std::array<QRgb, 256> table = [] {
        std::array<QRgb, 256> t{};
        t[0] = qRgb(0, 0, 0);
        for (int i = 1; i < 256; ++i) t[static_cast<std::size_t>(i)] = aciColor(i);
        return t;
    }();
    return table;
}

BYTE nearestColour(QRgb c) {
    const auto& table = drawingColours();
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const int dr = qRed(c) - qRed(table[i]), dg = qGreen(c) - qGreen(table[i]), db = qBlue(c) - qBlue(table[i]);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<BYTE>(best);
}

std::size_t strideOf(int width, int bits) { return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4; }

void writeRow(const QImage& image, int y, int width, int bits, BYTE* out) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) {
        const QRgb c = x < image.width() ? line[x] : qRgb(0, 0, 0);
        if (bits == 8) {
            out[x] = nearestColour(c);
        } else {
            BYTE* p = out + 4 * x;
            p[0] = static_cast<BYTE>(qBlue(c));
            p[1] = static_cast<BYTE>(qGreen(c));
            p[2] = static_cast<BYTE>(qRed(c));
            p[3] = 0;
        }
    }
}

}  // namespace

}  // namespace hostui

using hostui::DeviceContext;
using hostui::GdiBitmap;
using hostui::GdiObject;

HDC GetDC(HWND window) { return window ? new DeviceContext(window) : nullptr; }

int ReleaseDC(HWND, HDC dc) {
    if (!dc || dc->kind() != GdiObject::Kind::windowContext) return 0;
    delete dc;
    return 1;
}

HDC CreateCompatibleDC(HDC) { return new DeviceContext(); }

BOOL DeleteDC(HDC dc) {
    if (!dc || dc->kind() != GdiObject::Kind::memoryContext) return FALSE;
    if (dc->selected) --dc->selected->selections;
    delete dc;
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!dc || width <= 0 || height <= 0) return nullptr;
    return new GdiBitmap(width, height);
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiBitmap* bitmap = hostui::asBitmap(object);
    // A bitmap still selected into a context is refused, as on the platform; a
    // context's own bitmap goes with the context.
    if (!bitmap || bitmap->selections > 0) return FALSE;
    if (bitmap->stock) return TRUE;
    delete bitmap;
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    GdiBitmap* bitmap = hostui::asBitmap(object);
    if (!dc || dc->kind() != GdiObject::Kind::memoryContext || !bitmap) return nullptr;
    GdiBitmap* previous = dc->selected;
    if (previous) --previous->selections;
    dc->selected = bitmap;
    ++bitmap->selections;
    return previous;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
    if (rop != SRCCOPY || !dest || !src || dest->kind() != GdiObject::Kind::memoryContext || !dest->selected)
        return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    const QImage pixels = hostui::sourcePixels(*src, QRect(xSrc, ySrc, width, height));
    if (pixels.isNull()) return FALSE;
    QPainter painter(&dest->selected->image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(x, y), pixels);
    return TRUE;
}

int GetDIBits(HDC dc, HBITMAP object, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
    const GdiBitmap* bitmap = hostui::asBitmap(object);
    if (!dc || !bitmap || !info || usage != DIB_RGB_COLORS) return 0;
    const QImage& image = bitmap->image;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (!bits) {
        h.biWidth = image.width();
        h.biHeight = image.height();
        h.biPlanes = 1;
        if (h.biBitCount == 0) h.biBitCount = 32;
        h.biSizeImage = static_cast<DWORD>(hostui::strideOf(image.width(), h.biBitCount) * static_cast<std::size_t>(image.height()));
        return image.height();
    }
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || (h.biBitCount != 8 && h.biBitCount != 32) ||
        h.biWidth <= 0 || h.biHeight == 0)
        return 0;
    const int width = h.biWidth, height = h.biHeight > 0 ? h.biHeight : -h.biHeight;
    const bool bottomUp = h.biHeight > 0;
    if (h.biBitCount == 8) {
        auto* table = reinterpret_cast<BYTE*>(info) + h.biSize;
        for (std::size_t i = 0; i < 256; ++i) {
            const QRgb c = hostui::drawingColours()[i];
            const BYTE quad[4] = {static_cast<BYTE>(qBlue(c)), static_cast<BYTE>(qGreen(c)), static_cast<BYTE>(qRed(c)), 0};
            std::memcpy(table + 4 * i, quad, 4);
        }
    }
    // The bitmap is read at the header's size: rows and columns past it are black.
    const QImage source = image.size() == QSize(width, height) ? image : image.copy(0, 0, width, height);
    const std::size_t stride = hostui::strideOf(width, h.biBitCount);
    int written = 0;
    for (UINT scan = start; scan < start + lines && scan < static_cast<UINT>(height); ++scan) {
        // Scan 0 is the bottom row of a bottom-up bitmap.
        const int row = bottomUp ? height - 1 - static_cast<int>(scan) : static_cast<int>(scan);
        BYTE* out = static_cast<BYTE*>(bits) + stride * (scan - start);
        std::memset(out, 0, stride);
        hostui::writeRow(source, row, width, h.biBitCount, out);
        ++written;
    }
    return written;
}
