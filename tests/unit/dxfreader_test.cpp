// The drawing-file reader on small inline files: faults the fuzzer found, each pinned
// by the smallest file that showed it.

#include "db/database.h"
#include "dxf/dxfreader.h"
#include "dxf/dxfwriter.h"
#include "dxf/textcodec.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

// An ENTITIES-only drawing around the given entity groups.
std::string entitiesFile(const std::string& entities) {
    return "  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nENDSEC\n  0\nEOF\n";
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
        << hostdxf::wideToUtf8(db.readReport().message);
    if (c.expected != Acad::eOk) {
        EXPECT_FALSE(db.readReport().message.empty());
        return;
    }
    AcDbDatabase back(false, true);
    EXPECT_EQ(hostdxf::readDrawingBytes(back, hostdxf::writeDrawing(db), L"saved.dxf"), Acad::eOk)
        << hostdxf::wideToUtf8(back.readReport().message);
}

const FuzzFinding kFindings[] = {
    {"RealTooLargeForAnIntegerIsRefused", entitiesFile("  0\nLINE\n 62\n1e308\n"), Acad::eDwgCorrupt},
    {"NulInARecordNameIsReplacedNotTruncated", layerFile(std::string(1, '\0') + "X"), Acad::eOk},
    {"NulFromAnEscapeInARecordNameIsReplaced", layerFile("\\U+0000X"), Acad::eOk},
};

INSTANTIATE_TEST_SUITE_P(Fuzz, ReaderFuzzFindings, testing::ValuesIn(kFindings),
                         [](const testing::TestParamInfo<FuzzFinding>& row) { return row.param.fault; });

}  // namespace
