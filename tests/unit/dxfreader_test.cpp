// The drawing-file reader on small inline files: block contents made on first look,
// and faults the fuzzer found, each pinned by the smallest file that showed it.

#include "db/blocktable.h"
#include "db/curves.h"
#include "db/database.h"
#include "db/dimension.h"
#include "dxf/dxfreader.h"
#include "dxf/dxfwriter.h"
#include "rx/utf8.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

// An ENTITIES-only drawing around the given entity groups.
std::string entitiesFile(const std::string& entities) {
    return "  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nENDSEC\n  0\nEOF\n";
}

// A BLOCKS-only drawing (the reader makes the block records, as for R12) around the
// given block definitions.
std::string blocksFile(const std::string& blocks) {
    return "  0\nSECTION\n  2\nBLOCKS\n" + blocks + "  0\nENDSEC\n  0\nEOF\n";
}

std::string block(const std::string& name, const std::string& entities) {
    return "  0\nBLOCK\n  8\n0\n  2\n" + name + "\n 70\n0\n 10\n0\n 20\n0\n 30\n0\n" + entities +
           "  0\nENDBLK\n  8\n0\n";
}

std::string insert(const std::string& handle, const std::string& blockName) {
    return "  0\nINSERT\n  5\n" + handle + "\n  8\n0\n  2\n" + blockName + "\n 10\n0\n 20\n0\n 30\n0\n";
}

AcDbObjectId blockNamed(const AcDbDatabase& db, const wchar_t* name) {
    const auto* table = AcDbBlockTable::cast(db.blockTableId().slot()->object);
    AcDbObjectId id;
    table->getAt(name, id);
    return id;
}

const AcDbBlockTableRecord& record(AcDbObjectId id) { return *AcDbBlockTableRecord::cast(id.slot()->object); }

// Opening checks references between blocks without making their contents.
TEST(DeferredBlocks, BlockReferencingItselfIsRefused) {
    const struct {
        const char* name;
        std::string file;
    } cases[] = {
        {"directly", blocksFile(block("A", insert("50", "A")))},
        {"through another block", blocksFile(block("A", insert("50", "B")) + block("B", insert("51", "A")))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AcDbDatabase db(false, true);
        EXPECT_EQ(hostdxf::readDrawingBytes(db, c.file, L"cycle.dxf"), Acad::eSelfReference);
        EXPECT_NE(hostrx::wideToUtf8(db.readReport().message).find("reference to itself"), std::string::npos)
            << hostrx::wideToUtf8(db.readReport().message);
    }
}

TEST(DeferredBlocks, ContentsAppearOnFirstLookInFileOrder) {
    const std::string line = "  0\nLINE\n  5\n50\n  8\n0\n 10\n0\n 20\n0\n 30\n0\n 11\n1\n 21\n0\n 31\n0\n";
    const std::string circle = "  0\nCIRCLE\n  5\n51\n  8\n0\n 10\n0\n 20\n0\n 30\n0\n 40\n2\n";
    AcDbDatabase db(false, true);
    ASSERT_EQ(hostdxf::readDrawingBytes(db, blocksFile(block("B", line + circle)), L"b.dxf"), Acad::eOk);
    const AcDbObjectId b = blockNamed(db, L"B");
    ASSERT_FALSE(b.isNull());
    // No new object may take a handle of the deferred contents, even without $HANDSEED.
    EXPECT_GT(db.handseed().value(), 0x51u);
    EXPECT_TRUE(record(b).contentsDeferred());
    // A handle lookup makes the block that holds it.
    const AcDbObjectId circleId = db.idFromHandle(AcDbHandle(0x51));
    ASSERT_NE(AcDbCircle::cast(circleId.slot()->object), nullptr);
    EXPECT_FALSE(record(b).contentsDeferred());
    ASSERT_EQ(record(b).entityIds().size(), 2u);
    EXPECT_EQ(record(b).entityIds()[1], circleId);
    // A new entity comes after those of the file.
    AcDbBlockTableRecord* open = nullptr;
    ASSERT_EQ(acdbOpenObject(open, b, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId added;
    auto* extra = new AcDbLine({0, 0, 0}, {0, 1, 0});
    ASSERT_EQ(open->appendAcDbEntity(added, extra), Acad::eOk);
    extra->close();
    open->close();
    EXPECT_EQ(record(b).entityIds().back(), added);
    EXPECT_EQ(record(b).entityIds().size(), 3u);
}

// A leader in one block whose annotation is in another: making the first makes the
// second, and the reference is set.
TEST(DeferredBlocks, ReferenceIntoAnotherDeferredBlockIsSet) {
    const std::string leader =
        "  0\nLEADER\n  5\n60\n  8\n0\n100\nAcDbLeader\n 76\n2\n 10\n0\n 20\n0\n 30\n0\n 10\n5\n 20\n5\n 30\n0\n"
        "340\n61\n";
    const std::string mtext = "  0\nMTEXT\n  5\n61\n  8\n0\n100\nAcDbMText\n 10\n5\n 20\n5\n 30\n0\n  1\nNote\n";
    AcDbDatabase db(false, true);
    ASSERT_EQ(hostdxf::readDrawingBytes(db, blocksFile(block("L", leader) + block("M", mtext)), L"l.dxf"), Acad::eOk);
    const auto& ids = record(blockNamed(db, L"L")).entityIds();
    ASSERT_EQ(ids.size(), 1u);
    const auto* lead = AcDbLeader::cast(ids[0].slot()->object);
    ASSERT_NE(lead, nullptr);
    EXPECT_EQ(lead->annotationObjId(), db.idFromHandle(AcDbHandle(0x61)));
    EXPECT_FALSE(lead->annotationObjId().isNull());
}

// A drawing whose layer table holds one layer of the given name. A long comment comes
// first: a NUL within the first 4 KiB would make the file count as binary.
std::string layerFile(const std::string& name) {
    return "999\n" + std::string(4100, 'c') + "\n  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\n" +
           name + "\n 70\n0\n 62\n7\n  0\nENDTAB\n  0\nENDSEC\n  0\nEOF\n";
}

struct FuzzFinding {
    const char* fault;
    std::string file;
    Acad::ErrorStatus expected;
};

void PrintTo(const FuzzFinding& c, std::ostream* os) { *os << c.fault; }

class ReaderFuzzFindings : public testing::TestWithParam<FuzzFinding> {};

// Each file is read, and an accepted one is saved and read back, as the fuzzer does.
TEST_P(ReaderFuzzFindings, AnswersAStatus) {
    const FuzzFinding& c = GetParam();
    AcDbDatabase db(false, true);
    ASSERT_EQ(hostdxf::readDrawingBytes(db, c.file, L"case.dxf"), c.expected)
        << hostrx::wideToUtf8(db.readReport().message);
    if (c.expected != Acad::eOk) {
        EXPECT_FALSE(db.readReport().message.empty());
        return;
    }
    AcDbDatabase back(false, true);
    EXPECT_EQ(hostdxf::readDrawingBytes(back, hostdxf::writeDrawing(db), L"saved.dxf"), Acad::eOk)
        << hostrx::wideToUtf8(back.readReport().message);
}

const FuzzFinding kFindings[] = {
    {"RealTooLargeForAnIntegerIsRefused", entitiesFile("  0\nLINE\n 62\n1e308\n"), Acad::eDwgCorrupt},
    {"NulInARecordNameIsReplacedNotTruncated", layerFile(std::string(1, '\0') + "X"), Acad::eOk},
    {"NulFromAnEscapeInARecordNameIsReplaced", layerFile("\\U+0000X"), Acad::eOk},
    {"NulInKeptBinaryDataIsReplaced",
     "999\n" + std::string(4100, 'c') + "\n  0\nSECTION\n  2\nHEADER\n  9\n$KEPT\n310\nAB" + std::string(1, '\0') +
         "CD\n  0\nENDSEC\n  0\nEOF\n",
     Acad::eOk},
};

INSTANTIATE_TEST_SUITE_P(Fuzz, ReaderFuzzFindings, testing::ValuesIn(kFindings),
                         [](const testing::TestParamInfo<FuzzFinding>& row) { return row.param.fault; });

}  // namespace
