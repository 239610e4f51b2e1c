// The block icon renderer on real widgets: a block drawn by the host's graphics system
// into the renderer's window, read back as an 8-bit icon and stored with the block. The
// expected pictures are drawn here from the view fitting the renderer promises (the
// block's extents centred, their diagonal plus 5 % across the field), so a wrong camera,
// scale, centre or colour reduction shows as pixels in the wrong place.

#include "hostwindow.h"
#include "librarydrawing.h"

#include "blocks/entviewdialog.h"
#include "blocks/iconcapture.h"
#include "commands/commands.h"
#include "ui/render/entityrenderer.h"
#include "ui/render/paintersink.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace {

using namespace blockicon;

// The renderer's window, which also notes the size of its drawing area as it ends.
class MeasuredDialog : public CEntViewDialog {
public:
    CRect client;

protected:
    void OnTimer(UINT_PTR id) override {
        preview.GetClientRect(&client);
        CEntViewDialog::OnTimer(id);
    }
};

struct Rendered {
    INT_PTR result = -1;
    CRect client;
};

Rendered renderBlock(AcDbDatabase& db, const std::wstring& name) {
    ModuleResourceScope resources;
    MeasuredDialog dialog;
    dialog.database = &db;
    dialog.blockName = name;
    Rendered run;
    run.result = dialog.DoModal();
    run.client = dialog.client;
    return run;
}

std::vector<std::uint8_t> iconOf(AcDbObjectId blockId) {
    AcDbBlockTableRecord* block = nullptr;
    EXPECT_EQ(acdbOpenObject(block, blockId, AcDb::kForRead), Acad::eOk);
    if (!block) return {};
    std::vector<std::uint8_t> bytes = block->previewBytes();
    block->close();
    return bytes;
}

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Ink: any pixel that is not the white background, as a 32 × 32 mask, row 0 at the top.
using Mask = std::vector<std::vector<bool>>;

Mask inkOfIcon(const std::vector<std::uint8_t>& icon) {
    Mask mask(kSide, std::vector<bool>(kSide));
    for (int row = 0; row < kSide; ++row)
        for (int x = 0; x < kSide; ++x) {
            const std::uint8_t index = icon[kPixelOffset + static_cast<std::size_t>((kSide - 1 - row) * kSide + x)];
            const std::size_t entry = kHeaderSize + std::size_t{index} * 4;
            mask[static_cast<std::size_t>(row)][static_cast<std::size_t>(x)] =
                !(icon[entry] == 255 && icon[entry + 1] == 255 && icon[entry + 2] == 255);
        }
    return mask;
}

// The block as the fitting promises to show it: a plan view of a reference at the
// origin, the extents' centre in the middle of the area, the area's shorter side
// spanning 1.05 times the extents' diagonal.
Mask expectedInk(AcDbDatabase& db, AcDbObjectId blockId, const CRect& client) {
    AcDbBlockReference reference(AcGePoint3d::kOrigin, blockId);
    AcDbExtents extents;
    EXPECT_EQ(reference.getGeomExtents(extents), Acad::eOk);
    const AcGePoint3d m = extents.minPoint(), M = extents.maxPoint();
    const double field = 1.05 * (M - m).length();
    hostui::ViewMapping mapping;
    mapping.scale = std::min(client.Width(), client.Height()) / field;
    mapping.originX = client.Width() / 2.0 - (m.x + M.x) / 2 * mapping.scale;
    mapping.originY = client.Height() / 2.0 + (m.y + M.y) / 2 * mapping.scale;
    QImage image(client.Width(), client.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        hostui::PainterSink sink(painter, mapping);
        hostui::EntityRenderer renderer(&db, sink, qRgb(0, 0, 0));
        renderer.drawEntity(reference);
    }
    Mask mask(kSide, std::vector<bool>(kSide));
    for (int y = 0; y < kSide && y < image.height(); ++y)
        for (int x = 0; x < kSide && x < image.width(); ++x)
            mask[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = image.pixel(x, y) != qRgb(255, 255, 255);
    return mask;
}

bool inkNear(const Mask& mask, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int xx = x + dx, yy = y + dy;
            if (xx >= 0 && yy >= 0 && xx < kSide && yy < kSide && mask[static_cast<std::size_t>(yy)][static_cast<std::size_t>(xx)])
                return true;
        }
    return false;
}

// Pixels of one picture with no ink of the other within a pixel: antialiasing and
// rounding move an edge by a pixel at most, a wrong view by more.
std::vector<std::string> strays(const Mask& from, const Mask& other, const char* what) {
    std::vector<std::string> out;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if (from[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] && !inkNear(other, x, y))
                out.push_back(std::string(what) + " (" + std::to_string(x) + "," + std::to_string(y) + ")");
    return out;
}

std::string picture(const Mask& mask) {
    std::string out;
    for (const auto& row : mask) {
        for (bool ink : row) out += ink ? '#' : '.';
        out += '\n';
    }
    return out;
}

class BlockIcon : public ::testing::Test {
protected:
    void SetUp() override { hosted::CommandLine::instance().clear(); }
    static std::wstring transcript() { return hosted::CommandLine::instance().transcript(); }

    HostWindow host;
    LibraryBuilder library;
};

void addEntity(AcDbObjectId blockId, AcDbEntity* entity) {
    AcDbBlockTableRecord* block = nullptr;
    ASSERT_EQ(acdbOpenObject(block, blockId, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(block->appendAcDbEntity(entity), Acad::eOk);
    entity->close();
    block->close();
}

// An empty block definition.
AcDbObjectId emptyBlock(AcDbDatabase& db, const ACHAR* name) {
    AcDbBlockTable* table = nullptr;
    EXPECT_EQ(db.getSymbolTable(table, AcDb::kForWrite), Acad::eOk);
    auto* block = new AcDbBlockTableRecord();
    block->setName(name);
    AcDbObjectId id;
    EXPECT_EQ(table->add(id, block), Acad::eOk);
    block->close();
    table->close();
    return id;
}

void square(AcDbObjectId id, double size, double z) {
    const AcGePoint3d c[4] = {{0, 0, z}, {size, 0, z}, {size, size, z}, {0, size, z}};
    for (int i = 0; i < 4; ++i) addEntity(id, new AcDbLine(c[i], c[(i + 1) % 4]));
}

struct Shape {
    const char* name;
    std::function<void(AcDbDatabase&, AcDbObjectId)> build;
};

const Shape kShapes[] = {
    {"square outline", [](AcDbDatabase&, AcDbObjectId id) { square(id, 10, 0); }},
    {"circle", [](AcDbDatabase&, AcDbObjectId id) { addEntity(id, new AcDbCircle({0, 0, 0}, {0, 0, 1}, 5)); }},
    {"nested reference",
     [](AcDbDatabase& db, AcDbObjectId id) {
         const AcDbObjectId inner = emptyBlock(db, L"INNER");
         square(inner, 10, 0);
         addEntity(id, new AcDbBlockReference({0, 0, 0}, inner));
         addEntity(id, new AcDbLine({0, 0, 0}, {20, 20, 0}));
     }},
    {"text",
     [](AcDbDatabase&, AcDbObjectId id) {
         auto* text = new AcDbText({0, 0, 0}, L"AB");
         text->setHeight(5);
         addEntity(id, text);
     }},
    // A box without width: seen from above all the same, not from nowhere.
    {"vertical line", [](AcDbDatabase&, AcDbObjectId id) { addEntity(id, new AcDbLine({3, 0, 0}, {3, 10, 0})); }},
    // Raised off the XY plane: still a plan view, not one tilted by the elevation.
    {"raised square", [](AcDbDatabase&, AcDbObjectId id) { square(id, 10, 5); }},
};

TEST_F(BlockIcon, KnownBlocksGiveTheFittedPlanViewAsAnEightBitIcon) {
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        AcDbDatabase& db = library.database();
        const std::wstring name = L"B" + std::to_wstring(&shape - kShapes);
        const AcDbObjectId id = emptyBlock(db, name.c_str());
        shape.build(db, id);
        const Rendered run = renderBlock(db, name);
        ASSERT_EQ(run.result, IDOK);
        ASSERT_GE(run.client.Width(), kSide);
        ASSERT_GE(run.client.Height(), kSide);
        const std::vector<std::uint8_t> icon = iconOf(id);
        ASSERT_EQ(icon.size(), kIconByteCount);
        EXPECT_EQ(u32(icon, 0), 40u);
        EXPECT_EQ(u32(icon, 4), 32u);
        EXPECT_EQ(u32(icon, 8), 32u);
        EXPECT_EQ(icon[12] | icon[13] << 8, 1);
        EXPECT_EQ(icon[14] | icon[15] << 8, 8);
        for (std::size_t at = 16; at < 40; ++at) EXPECT_EQ(icon[at], 0) << "header byte " << at;
        const Mask actual = inkOfIcon(icon);
        const Mask expected = expectedInk(db, id, run.client);
        std::vector<std::string> wrong = strays(actual, expected, "ink where none belongs");
        const std::vector<std::string> missing = strays(expected, actual, "no ink where the block is");
        wrong.insert(wrong.end(), missing.begin(), missing.end());
        EXPECT_TRUE(wrong.empty()) << wrong.size() << " pixels, first " << wrong.front() << "\nicon:\n"
                                   << picture(actual) << "expected:\n" << picture(expected);
    }
}

TEST_F(BlockIcon, ColourTableIsTheDrawingColoursAndColoursReduceToTheNearest) {
    AcDbDatabase& db = library.database();
    const AcDbObjectId id = emptyBlock(db, L"RED");
    auto* circle = new AcDbCircle({0, 0, 0}, {0, 0, 1}, 5);
    circle->setColorIndex(1);
    addEntity(id, circle);
    ASSERT_EQ(renderBlock(db, L"RED").result, IDOK);
    const std::vector<std::uint8_t> icon = iconOf(id);
    ASSERT_EQ(icon.size(), kIconByteCount);
    const auto entry = [&](std::size_t i) { return qRgb(icon[40 + 4 * i + 2], icon[40 + 4 * i + 1], icon[40 + 4 * i]); };
    EXPECT_EQ(entry(0), qRgb(0, 0, 0));
    EXPECT_EQ(entry(1), qRgb(255, 0, 0));
    EXPECT_EQ(entry(7), qRgb(255, 255, 255));
    std::set<int> used(icon.begin() + kPixelOffset, icon.end());
    EXPECT_EQ(used, (std::set<int>{1, 7})) << "a red circle on white, without antialiased shades";
}

TEST_F(BlockIcon, BlocksThatCannotBeShownEndWithCancelAndKeepTheirIcon) {
    AcDbDatabase& db = library.database();
    const AcDbObjectId empty = emptyBlock(db, L"EMPTY");
    struct Case {
        const char* why;
        AcDbDatabase* database;
        const wchar_t* name;
    } cases[] = {{"an empty definition has no extents", &db, L"EMPTY"},
                 {"no block of that name", &db, L"MISSING"},
                 {"no database", nullptr, L"EMPTY"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ModuleResourceScope resources;
        CEntViewDialog dialog;
        dialog.database = c.database;
        dialog.blockName = c.name;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_TRUE(iconOf(empty).empty());
        EXPECT_EQ(transcript(), L"") << "a block without an icon is not reported";
    }
}

TEST_F(BlockIcon, RenderingAgainReplacesTheIcon) {
    AcDbDatabase& db = library.database();
    const AcDbObjectId id = emptyBlock(db, L"SQ");
    square(id, 10, 0);
    {
        AcDbBlockTableRecord* block = nullptr;
        ASSERT_EQ(acdbOpenObject(block, id, AcDb::kForWrite), Acad::eOk);
        block->setPreviewBytes(std::vector<std::uint8_t>(kIconByteCount, 3));
        block->close();
    }
    ASSERT_EQ(renderBlock(db, L"SQ").result, IDOK);
    const std::vector<std::uint8_t> first = iconOf(id);
    ASSERT_EQ(first.size(), kIconByteCount);
    EXPECT_EQ(u32(first, 0), 40u) << "the old icon was replaced";
    ASSERT_EQ(renderBlock(db, L"SQ").result, IDOK);
    EXPECT_EQ(iconOf(id), first);
}

TEST_F(BlockIcon, DrawingWithoutNamedBlocksCountsNone) {
    AcApDocument* doc = nullptr;
    std::wstring why;
    ASSERT_EQ(acDocManager->openDocument(L"", doc, why), Acad::eOk);
    hosted::CommandLine::instance().clear();
    zelblockicon();
    EXPECT_EQ(transcript(), L"\nUpdated <0> blocks: ") << "the layouts are no named blocks";
    EXPECT_EQ(acCurrentResourceModule(), nullptr) << "the module's resources are made current only while it runs";
    acDocManager->closeAll();
}

}  // namespace
