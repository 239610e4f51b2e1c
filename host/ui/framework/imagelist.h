#pragma once

#include "ui/framework/wintypes.h"

#include <QImage>
#include <QPixmap>

#include <memory>
#include <optional>
#include <vector>

constexpr UINT ILC_MASK = 0x1, ILC_COLOR32 = 0x20;

// An icon of the current module's resources (LoadIconW); null when it has none.
using HICON = const hostres::ImageResource*;
HICON LoadIconW(HINSTANCE module, int iconId);

// A bitmap: owns one picture until replaced.
class CBitmap {
public:
    // bits: width × height pixels of 32 bits (0x00RRGGBB), rows top down. Only 32 bits
    // per pixel and one plane are supported.
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    // A bitmap resource of the current module.
    BOOL LoadBitmap(UINT resourceId);
    BOOL DeleteObject();
    bool isEmpty() const { return m_image.isNull(); }
    const QImage& image() const { return m_image; }

private:
    QImage m_image;
};

namespace hostui {

// The pictures of an image list, shared by the list and every control it is attached
// to, so that a control never outlives the pictures it shows. Each picture is kept as
// given, with its mask colour; the mask is applied and the pixmap made when the picture
// is first asked for, so that filling a long list costs no more than keeping its pictures.
class ImageStore {
public:
    ImageStore(int width, int height) : m_width(width), m_height(height) {}
    int width() const { return m_width; }
    int height() const { return m_height; }
    int count() const { return static_cast<int>(m_entries.size()); }
    // maskKey: the 0xRRGGBB colour that becomes transparent, or none.
    int add(QImage image, std::optional<QRgb> maskKey = std::nullopt);
    const QImage& image(int index) const;
    QPixmap pixmap(int index) const;
    // Whether the picture shows nothing at all (every pixel transparent).
    bool isBlank(int index) const;

private:
    struct Entry {
        QImage image;
        std::optional<QRgb> maskKey;
        QPixmap pixmap;
    };
    int m_width, m_height;
    mutable std::vector<Entry> m_entries;
};

// Whether a picture shows nothing at all: null, or every pixel transparent.
bool isBlankImage(const QImage& image);

}  // namespace hostui

// A list of same-sized pictures that list views and combo boxes show by index.
class CImageList {
public:
    BOOL Create(int width, int height, UINT flags, int initial, int grow);
    // From a bitmap resource holding the pictures side by side, width pixels each;
    // pixels of the mask colour are transparent.
    BOOL Create(UINT bitmapId, int width, int grow, COLORREF mask);
    BOOL DeleteImageList();
    // The picture cut or padded to the list's size; pixels of the mask colour become
    // transparent. Answers its index, or -1.
    int Add(CBitmap* bitmap, COLORREF mask);
    int Add(HICON icon);
    int GetImageCount() const;
    bool isEmpty() const { return !m_store; }
    const std::shared_ptr<hostui::ImageStore>& store() const { return m_store; }

private:
    std::shared_ptr<hostui::ImageStore> m_store;
};

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
