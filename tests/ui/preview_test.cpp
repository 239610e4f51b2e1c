// Drawing previews: the bitmap codec, the preview the host writes when it saves (read
// back from the file's tail), and a stored preview drawn over a window.

#include "rendertesting.h"
#include "bitmapcases.h"

#include "db/curves.h"
#include "dxf/previewmaker.h"
#include "dxf/previewreader.h"

#include "ui/framework/drawingpreview.h"
#include "ui/render/dib.h"
#include "ui/render/previewimage.h"

#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A bitmap header and table as another program writes them; rows are the caller's.
Bytes header(std::int32_t width, std::int32_t height, int bits, std::uint32_t used, const std::vector<QRgb>& table) {
    Bytes b;
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(height));
    b.insert(b.end(), {1, 0, static_cast<std::uint8_t>(bits), 0});
    for (int i = 0; i < 4; ++i) put32(b, 0);
    put32(b, used);
    put32(b, 0);
    for (QRgb c : table)
        b.insert(b.end(), {static_cast<std::uint8_t>(qBlue(c)), static_cast<std::uint8_t>(qGreen(c)),
                           static_cast<std::uint8_t>(qRed(c)), 0});
    return b;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const QRgb kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255), kGreen = qRgb(0, 255, 0), kBlack = qRgb(0, 0, 0);

// The cases the block icon decoder reads alike (tests/support/bitmapcases.h).
TEST(DibCodec, ReadsTheSharedCases) {
    for (const bitmapcases::Case& c : bitmapcases::cases()) {
        SCOPED_TRACE(c.name);
        const QImage image = hostui::decodeDib(c.bytes);
        if (c.refused()) {
            EXPECT_TRUE(image.isNull());
            continue;
        }
        ASSERT_EQ(image.size(), QSize(c.width, c.height));
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                EXPECT_EQ(image.pixel(x, y), 0xFF000000u | c.pixels[static_cast<std::size_t>(y * c.width + x)]) << x << "," << y;
    }
}

// The block icon decoder reads the later, longer headers; previews never have them.
TEST(DibCodec, LongerHeaderGivesNoImage) {
    Bytes b = header(3, 2, 8, 2, {kRed, kBlue}) + Bytes(8, 0);
    b[0] = 108;
    EXPECT_TRUE(hostui::decodeDib(b).isNull());
}

TEST(DibCodec, EncodedImageReadsBack) {
    // 5 wide: rows are padded to 8 bytes.
    QImage few(5, 3, QImage::Format_RGB32);
    few.fill(kBlack);
    few.setPixel(0, 0, kRed);
    few.setPixel(4, 2, qRgb(12, 34, 56));
    const Bytes fewBytes = hostui::encodeDib(few);
    EXPECT_EQ(fewBytes.size(), 40u + 3 * 4 + 8 * 3);
    EXPECT_EQ(hostui::decodeDib(fewBytes), few);

    // More colours than a table holds: each pixel the nearest standard colour.
    QImage many(300, 1, QImage::Format_RGB32);
    for (int x = 0; x < 300; ++x) many.setPixel(x, 0, qRgb(x % 256, x / 256, 250));
    many.setPixel(0, 0, qRgb(250, 2, 3));
    const QImage back = hostui::decodeDib(hostui::encodeDib(many));
    ASSERT_EQ(back.size(), many.size());
    EXPECT_EQ(back.pixel(0, 0), kRed);
}

// Installs the host's preview maker for one test.
class PreviewMakerInstalled {
public:
    PreviewMakerInstalled() { hostdxf::setDrawingPreviewMaker(&hostui::drawingPreviewBytes); }
    ~PreviewMakerInstalled() { hostdxf::setDrawingPreviewMaker(nullptr); }
    PreviewMakerInstalled(const PreviewMakerInstalled&) = delete;
    PreviewMakerInstalled& operator=(const PreviewMakerInstalled&) = delete;
};

AcDbLine* coloured(AcGePoint3d from, AcGePoint3d to, int colorIndex) {
    auto* line = new AcDbLine(from, to);
    line->setColorIndex(static_cast<Adesk::UInt16>(colorIndex));
    return line;
}

// Whether a pixel within one of p has the colour: a line between pixel rows lands on
// either.
bool colourNear(const QImage& image, QPoint p, QRgb colour) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.rect().contains(p + QPoint(dx, dy)) && image.pixel(p + QPoint(dx, dy)) == colour) return true;
    return false;
}

TEST(SavedPreview, DrawingSavedWithTheMakerCarriesItsPicture) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::wstring path = QDir(folder.path()).filePath(QStringLiteral("lines.dwg")).toStdWString();
    {
        AcDbDatabase db;
        // 100 x 50: twice as wide as high, so 256 x 128 pixels.
        appendToModel(db, coloured({0, 0, 0}, {100, 0, 0}, 1));
        appendToModel(db, coloured({0, 50, 0}, {100, 50, 0}, 3));
        appendToModel(db, coloured({0, 0, 0}, {0, 50, 0}, 5));
        const PreviewMakerInstalled maker;
        ASSERT_EQ(db.saveAs(path.c_str()), Acad::eOk);
    }
    const QImage preview = hostui::decodeDib(hostdxf::readDrawingPreview(path));
    rendertest::keep(preview, QStringLiteral("SavedPreview"));
    ASSERT_EQ(preview.size(), QSize(256, 128));
    const hostui::ViewMapping m = hostui::ViewMapping::fit({0, 0, 100, 50}, {0, 0, 256, 128}, 3.0);
    const auto at = [&](double x, double y) { return m.toPixel({x, y}).toPoint(); };
    for (double x : {10.0, 50.0, 90.0}) {
        SCOPED_TRACE(x);
        EXPECT_TRUE(colourNear(preview, at(x, 0), kRed));
        EXPECT_TRUE(colourNear(preview, at(x, 50), qRgb(0, 255, 0)));
    }
    EXPECT_TRUE(colourNear(preview, at(0, 25), kBlue));
    for (const QPoint p : {at(50, 25), at(90, 10), at(10, 40), QPoint(0, 0), QPoint(255, 127)}) {
        SCOPED_TRACE(QString("%1,%2").arg(p.x()).arg(p.y()).toStdString());
        EXPECT_EQ(preview.pixel(p), kBlack);
    }
}

TEST(SavedPreview, SizeTakesTheDrawingsAspect) {
    const struct {
        const char* name;
        QRectF extents;
        QSize size;
    } cases[] = {
        {"empty", {}, {256, 160}},
        {"wide", {0, 0, 200, 50}, {256, 64}},
        {"tall", {0, 0, 50, 100}, {80, 160}},
        {"as the picture", {0, 0, 160, 100}, {256, 160}},
        {"a horizontal line", {0, 0, 100, 0}, {256, 32}},
        {"a vertical line", {0, 0, 0, 100}, {32, 160}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(hostui::drawingPreviewSize(c.extents), c.size);
    }
    AcDbDatabase empty;
    const QImage black = hostui::renderDrawingPreview(empty);
    EXPECT_EQ(black.size(), QSize(256, 160));
    EXPECT_EQ(black.pixel(128, 80), kBlack);
}

// A preview of 4 x 2 pixels, red on the left half and blue on the right, in a drawing
// file that holds nothing else.
std::string fileWithPreview() {
    const Bytes dib = header(4, 2, 8, 2, {kRed, kBlue}) + Bytes{0, 0, 1, 1, 0, 0, 1, 1};
    std::string hex;
    for (auto b : dib) hex += QString::asprintf("%02X", b).toStdString();
    return "  0\nSECTION\n  2\nTHUMBNAILIMAGE\n 90\n" + std::to_string(dib.size()) + "\n310\n" + hex +
           "\n  0\nENDSEC\n  0\nEOF\n";
}

class PreviewInWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        withPreview = write("with.dwg", fileWithPreview());
        without = write("without.dwg", "  0\nSECTION\n  2\nOBJECTS\n  0\nENDSEC\n  0\nEOF\n");
        QPixmap own(200, 200);
        own.fill(kGreen);
        label.setPixmap(own);
        label.resize(200, 200);
        label.show();
    }

    std::wstring write(const char* name, const std::string& text) const {
        const QString path = QDir(folder.path()).filePath(QString::fromUtf8(name));
        std::ofstream(path.toStdString(), std::ios::binary) << text;
        return path.toStdWString();
    }

    QWidget* overlay() const { return label.findChild<QWidget*>(QStringLiteral("hostui.preview")); }
    QImage shown() { return label.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QTemporaryDir folder;
    std::wstring withPreview, without;
    QLabel label;
};

TEST_F(PreviewInWindow, PictureFitsOverTheWindowOnTheBackground) {
    const Adesk::UInt32 white = 0x00FFFFFF;
    ASSERT_TRUE(acdbDisplayPreviewFromDwg(withPreview.c_str(), &label, &white));
    // 4 x 2 in 200 x 200: 200 x 100, centred between white bands.
    QImage image = shown();
    EXPECT_EQ(image.pixel(100, 20), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(100, 180), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(40, 100), kRed);
    EXPECT_EQ(image.pixel(160, 100), kBlue);

    // The window's size is followed, and the mouse goes through to the window.
    label.resize(400, 100);
    ASSERT_NE(overlay(), nullptr);
    EXPECT_EQ(overlay()->geometry(), label.contentsRect());
    EXPECT_EQ(label.childAt(QPoint(200, 50)), nullptr);
    image = shown();
    EXPECT_EQ(image.pixel(20, 50), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(150, 50), kRed);
    EXPECT_EQ(image.pixel(250, 50), kBlue);
}

TEST_F(PreviewInWindow, WithoutBackgroundTheWindowsOwnIsUsed) {
    ASSERT_TRUE(acdbDisplayPreviewFromDwg(withPreview.c_str(), &label));
    EXPECT_EQ(shown().pixel(100, 20), label.palette().color(label.backgroundRole()).rgb());
}

TEST_F(PreviewInWindow, FileWithoutPreviewTakesThePictureAway) {
    const std::wstring missing = QDir(folder.path()).filePath(QStringLiteral("missing.dwg")).toStdWString();
    for (const std::wstring& none : {without, missing}) {
        ASSERT_TRUE(acdbDisplayPreviewFromDwg(withPreview.c_str(), &label));
        EXPECT_EQ(shown().pixel(40, 100), kRed);
        EXPECT_FALSE(acdbDisplayPreviewFromDwg(none.c_str(), &label));
        EXPECT_EQ(overlay(), nullptr);
        EXPECT_EQ(shown().pixel(40, 100), kGreen);
    }
    EXPECT_FALSE(acdbDisplayPreviewFromDwg(withPreview.c_str(), nullptr));
    EXPECT_FALSE(acdbDisplayPreviewFromDwg(nullptr, &label));
}

}  // namespace
