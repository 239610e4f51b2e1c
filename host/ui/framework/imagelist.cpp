#include "ui/framework/imagelist.h"

#include <QPainter>

#include <cstring>

namespace {

QImage imageOf(const hostres::ImageResource& resource) {
    QImage image(resource.width, resource.height, QImage::Format_ARGB32);
    const std::vector<std::uint32_t> pixels = resource.pixels();
    if (pixels.size() != static_cast<std::size_t>(resource.width) * static_cast<std::size_t>(resource.height))
        return {};
    for (int y = 0; y < resource.height; ++y)
        std::memcpy(image.scanLine(y), pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(resource.width),
                    static_cast<std::size_t>(resource.width) * 4);
    return image;
}

QRgb rgbOf(COLORREF c) { return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF)); }

// Pixels of the mask colour (0xRRGGBB) become transparent.
QImage masked(QImage image, QRgb key) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
    }
    return image;
}

}  // namespace

HICON LoadIconW(HINSTANCE, int iconId) { return hostres::findIcon(iconId); }

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (width <= 0 || height <= 0 || planes != 1 || bitsPerPixel != 32) return FALSE;
    QImage image(width, height, QImage::Format_ARGB32);
    if (bits) {
        const auto* source = static_cast<const std::uint32_t*>(bits);
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            const std::uint32_t* from = source + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            for (int x = 0; x < width; ++x) row[x] = 0xFF000000u | from[x];
        }
    } else {
        image.fill(Qt::black);
    }
    m_image = std::move(image);
    return TRUE;
}

BOOL CBitmap::LoadBitmap(UINT resourceId) {
    const hostres::ImageResource* resource = hostres::findBitmap(static_cast<int>(resourceId));
    if (!resource) return FALSE;
    m_image = imageOf(*resource);
    return m_image.isNull() ? FALSE : TRUE;
}

BOOL CBitmap::DeleteObject() {
    const bool had = !m_image.isNull();
    m_image = QImage();
    return had ? TRUE : FALSE;
}

namespace hostui {

int ImageStore::add(QImage image, std::optional<QRgb> maskKey) {
    if (image.size() != QSize(m_width, m_height)) {
        if (maskKey) image = masked(std::move(image), *maskKey);
        maskKey.reset();
        QImage fitted(m_width, m_height, QImage::Format_ARGB32);
        fitted.fill(Qt::transparent);
        QPainter(&fitted).drawImage(0, 0, image);
        image = fitted;
    }
    m_entries.push_back({std::move(image), maskKey, {}});
    return count() - 1;
}

const QImage& ImageStore::image(int index) const {
    static const QImage none;
    if (index < 0 || index >= count()) return none;
    Entry& e = m_entries[static_cast<std::size_t>(index)];
    if (e.maskKey) {
        e.image = masked(std::move(e.image), *e.maskKey);
        e.maskKey.reset();
    }
    return e.image;
}

QPixmap ImageStore::pixmap(int index) const {
    if (index < 0 || index >= count()) return {};
    Entry& e = m_entries[static_cast<std::size_t>(index)];
    if (e.pixmap.isNull()) e.pixmap = QPixmap::fromImage(image(index));
    return e.pixmap;
}

bool ImageStore::isBlank(int index) const { return isBlankImage(image(index)); }

bool isBlankImage(const QImage& image) {
    if (image.isNull()) return true;
    if (!image.hasAlphaChannel()) return false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0) return false;
    return true;
}

}  // namespace hostui

BOOL CImageList::Create(int width, int height, UINT, int, int) {
    if (width <= 0 || height <= 0) return FALSE;
    m_store = std::make_shared<hostui::ImageStore>(width, height);
    return TRUE;
}

BOOL CImageList::Create(UINT bitmapId, int width, int, COLORREF mask) {
    CBitmap strip;
    if (width <= 0 || !strip.LoadBitmap(bitmapId)) return FALSE;
    const QImage image = masked(strip.image(), rgbOf(mask) & 0xFFFFFF);
    m_store = std::make_shared<hostui::ImageStore>(width, image.height());
    for (int x = 0; x + width <= image.width(); x += width) m_store->add(image.copy(x, 0, width, image.height()));
    return TRUE;
}

BOOL CImageList::DeleteImageList() {
    const bool had = static_cast<bool>(m_store);
    m_store.reset();
    return had ? TRUE : FALSE;
}

int CImageList::Add(CBitmap* bitmap, COLORREF mask) {
    if (!m_store || !bitmap || bitmap->isEmpty()) return -1;
    return m_store->add(bitmap->image(), rgbOf(mask) & 0xFFFFFF);
}

int CImageList::Add(HICON icon) {
    if (!m_store || !icon) return -1;
    const QImage image = imageOf(*icon);
    return image.isNull() ? -1 : m_store->add(image);
}

int CImageList::GetImageCount() const { return m_store ? m_store->count() : 0; }
