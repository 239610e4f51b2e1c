#include "blocks/blockworker.h"
#include "blocks/unitsfactor.h"
#include "librarydrawing.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const std::wstring& transcript() { return hosted::CommandLine::instance().transcript(); }

std::vector<Adesk::UInt8> sampleIcon() {
    std::vector<Adesk::UInt8> icon(2088);
    for (std::size_t i = 0; i < icon.size(); ++i) icon[i] = static_cast<Adesk::UInt8>(i * 7 + 3);
    return icon;
}

class BlockReader : public ::testing::Test {
protected:
    void SetUp() override {
        hosted::CommandLine::instance().clear();
        LibraryBuilder library;
        library.addBlock(L"VALVE", 0, AcDb::kUnitsUndefined, sampleIcon());
        library.addBlock(L"*U5", AcDbBlockTableRecord::kAnonymous);
        library.addBlock(L"XREF1", AcDbBlockTableRecord::kExternal);
        library.addBlock(L"OVERLAY1", AcDbBlockTableRecord::kExternal | AcDbBlockTableRecord::kOverlay);
        library.addBlock(L"PLATE");
        library.save(path);
    }

    BlockInfoArray read(const std::wstring& dwgPath, Acad::ErrorStatus& es) {
        BlockWorker worker;
        worker.dwgPath = dwgPath;
        BlockInfoArray blocks;
        es = worker.getBlockInfoFromdDb(blocks);
        return blocks;
    }

    FreshFolder folder;
    std::wstring path = folder.path().wstring() + L"/parts.dwg";
};

TEST_F(BlockReader, ListsNamedBlocksWithTheirIconsOnly) {
    BlockWorker worker;
    worker.dwgPath = path;
    BlockInfoArray blocks;
    ASSERT_EQ(worker.getBlockInfoFromdDb(blocks), Acad::eOk);
    ASSERT_EQ(blocks.length(), 2) << "layouts, anonymous, external and overlay blocks are never listed";
    EXPECT_EQ(blocks[0].name, L"VALVE");
    const std::vector<Adesk::UInt8> icon = sampleIcon();
    ASSERT_EQ(blocks[0].previewIcon.length(), static_cast<int>(icon.size()));
    EXPECT_TRUE(std::equal(icon.begin(), icon.end(), blocks[0].previewIcon.begin())) << "bytes pass through";
    EXPECT_EQ(blocks[1].name, L"PLATE");
    EXPECT_EQ(blocks[1].previewIcon.length(), 0);

    ASSERT_EQ(worker.getBlockInfoFromdDb(blocks), Acad::eOk);
    ASSERT_EQ(blocks.length(), 4) << "a second call appends again";
    EXPECT_EQ(blocks[2].previewIcon, blocks[0].previewIcon) << "each call reads the icons from the file afresh";
    EXPECT_EQ(transcript(), L"");
}

TEST_F(BlockReader, BadPathsReportOnceAndLeaveTheArrayAlone) {
    std::ofstream(folder.path() / "damaged.dwg") << "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nnot a number\n";
    const struct {
        const char* name;
        std::wstring path;
        bool reported;
    } cases[] = {
        {"missing file", folder.path().wstring() + L"/missing.dwg", true},
        {"a folder", folder.path().wstring() + L"/sub.dwg", true},
        {"damaged file", folder.path().wstring() + L"/damaged.dwg", true},
        {"path ending in a separator", folder.path().wstring() + L"/", false},
    };
    std::filesystem::create_directory(folder.path() / "sub.dwg");
    for (const auto& c : cases) {
        hosted::CommandLine::instance().clear();
        Acad::ErrorStatus es = Acad::eOk;
        EXPECT_EQ(read(c.path, es).length(), 0) << c.name;
        EXPECT_NE(es, Acad::eOk) << c.name;
        if (!c.reported) {
            EXPECT_EQ(es, Acad::eInvalidBlockName) << c.name;
            EXPECT_EQ(transcript(), L"") << c.name;
            continue;
        }
        const std::wstring expectedStart = std::wstring(L"\n[") + acadErrorStatusText(es) +
                                           L"], Failed to open drawing\nBlockWorker::getBlockInfoFromdDb, ";
        EXPECT_TRUE(transcript().starts_with(expectedStart)) << c.name;
        EXPECT_EQ(std::count(transcript().begin(), transcript().end(), L'['), 1) << c.name;
    }
}

// A library that a tool damaged (no EOF, NUL bytes after the end) is recovered without a
// word and lists its blocks as a sound one does.
TEST_F(BlockReader, DamagedLibraryRecoversSilentlyAndListsItsBlocks) {
    std::ifstream in(folder.path() / "parts.dwg", std::ios::binary);
    std::string dxf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_NE(dxf.rfind("  0\nEOF\n"), std::string::npos);
    dxf = dxf.substr(0, dxf.rfind("  0\nEOF\n")) + std::string(64, '\0');
    std::ofstream(folder.path() / "damaged.dwg", std::ios::binary) << dxf;
    Acad::ErrorStatus es = Acad::eNotApplicable;
    const BlockInfoArray blocks = read(folder.path().wstring() + L"/damaged.dwg", es);
    ASSERT_EQ(es, Acad::eOk);
    ASSERT_EQ(blocks.length(), 2);
    EXPECT_EQ(blocks[0].name, L"VALVE");
    EXPECT_EQ(blocks[1].name, L"PLATE");
    EXPECT_EQ(transcript(), L"");
}

constexpr double kMetres[] = {0, 0.0254, 0.3048, 1609.344, 0.001, 0.01, 1, 1000, 2.54e-8, 2.54e-5, 0.9144,
                              1e-10, 1e-9, 1e-6, 0.1, 10, 100, 1e9, 1.496e11, 9.4605284048e15, 3.0857292644e16};

double factor(int target, int source) {
    return insertUnitsFactor(static_cast<AcDb::UnitsValue>(target), static_cast<AcDb::UnitsValue>(source));
}

TEST(UnitsFactor, RatiosOfLengthsFromInchesToMetres) {
    for (int source = 1; source <= 6; ++source)
        for (int target = 1; target <= 20; ++target) {
            if (target == 8 || source == target) continue;
            const double ratio = kMetres[source] / kMetres[target];
            EXPECT_NEAR(factor(target, source) / ratio, 1.0, 5e-9) << source << " -> " << target;
        }
}

TEST(UnitsFactor, ListedConstantsAndExceptions) {
    const struct {
        int source, target;
        double expected;
    } cases[] = {
        {1, 2, 0.0833333333},     {2, 10, 0.333333333},        {1, 3, 1.57828282828e-5},
        {4, 19, 1.05702341054e-19}, {1, 4, 25.4},              {2, 1, 12},
        {3, 10, 1760},            {6, 9, 39370.0787402},       {4, 1, 0.0393700787402},
        {4, 5, 0.1},              {1, 8, 1000000.00101},       {2, 8, 12000000},
        {3, 8, 1},                {4, 8, 1},                   {5, 8, 1},
        {6, 8, 1},                {7, 1, 39370.1},             {7, 2, 3280.84},
        {7, 3, 0.621371},         {7, 6, 1},                   {7, 4, 1},
        {0, 4, 1},                {8, 1, 1},                   {20, 6, 1},
        {4, 0, 1},                {4, 4, 1},                   {21, 1, 1},
        {1, 21, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(factor(c.target, c.source), c.expected) << c.source << " -> " << c.target;
}

}  // namespace
