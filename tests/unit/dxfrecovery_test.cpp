// The recovering read. Each kind of damage that real files show is refused by the strict
// read, repaired and reported by the recovering one, and the drawing it gives saves as a
// sound file that keeps what the damaged one held; what holds no drawing stays refused.

#include "damageddrawings.h"

#include "db/blocktable.h"
#include "db/database.h"
#include "dxf/dxfreader.h"
#include "dxf/dxfwriter.h"
#include "rx/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <unistd.h>

namespace damage {
void PrintTo(const Kind& kind, std::ostream* os) { *os << kind.name; }
}  // namespace damage

namespace {

using hostdxf::Recovery;
using hostdxf::readDrawingBytes;

const std::string& soundDrawing() {
    static const std::string text = [] {
        std::ifstream in(MARVOLT_SOUND_DRAWING, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();
    return text;
}

std::size_t modelEntities(const AcDbDatabase& db) {
    return AcDbBlockTableRecord::cast(db.modelSpaceId().slot()->object)->entityIds().size();
}

std::set<std::string> headerNames(const AcDbDatabase& db) {
    std::set<std::string> names;
    for (const auto& var : db.headerVariables()) names.insert(var.name);
    return names;
}

std::string repairsOf(const AcDbDatabase& db) {
    std::string out;
    for (const auto& r : db.readReport().repairs) out += "\n  " + hostrx::wideToUtf8(r);
    return out;
}

class Recovering : public testing::TestWithParam<damage::Kind> {};

TEST_P(Recovering, StrictReadRefusesRecoveringReadRepairsAndReports) {
    const damage::Kind& kind = GetParam();
    AcDbDatabase sound(false, true);
    ASSERT_EQ(readDrawingBytes(sound, soundDrawing(), L"sound.dwg", Recovery::refuse), Acad::eOk);
    const std::string damaged = kind.make(soundDrawing());

    AcDbDatabase strict(false, true);
    EXPECT_NE(readDrawingBytes(strict, damaged, L"damaged.dwg", Recovery::refuse), Acad::eOk);
    EXPECT_FALSE(strict.readReport().message.empty());
    EXPECT_FALSE(strict.readReport().recovered());

    AcDbDatabase db(false, true);
    ASSERT_EQ(readDrawingBytes(db, damaged, L"damaged.dwg"), Acad::eOk) << hostrx::wideToUtf8(db.readReport().message);
    const hostdb::ReadReport& report = db.readReport();
    EXPECT_EQ(report.recoveredFrom, L"damaged.dwg");
    EXPECT_EQ(report.message, strict.readReport().message) << "why the strict read refused it";
    ASSERT_EQ(report.repairs.size(), 1u) << repairsOf(db);
    EXPECT_NE(hostrx::wideToUtf8(report.repairs[0]).find(kind.repair), std::string::npos) << repairsOf(db);

    EXPECT_EQ(headerNames(db), headerNames(sound));
    if (std::string(kind.name) == "cut_inside_entities") {
        EXPECT_GT(modelEntities(db), 0u) << "the entities before the cut are kept";
        EXPECT_LT(modelEntities(db), modelEntities(sound));
    } else {
        EXPECT_EQ(modelEntities(db), modelEntities(sound));
    }

    AcDbDatabase saved(false, true);
    ASSERT_EQ(readDrawingBytes(saved, hostdxf::writeDrawing(db), L"saved.dwg", Recovery::refuse), Acad::eOk)
        << hostrx::wideToUtf8(saved.readReport().message);
    EXPECT_EQ(modelEntities(saved), modelEntities(db));
}

INSTANTIATE_TEST_SUITE_P(Damage, Recovering, testing::ValuesIn(damage::kinds()),
                         [](const testing::TestParamInfo<damage::Kind>& row) { return std::string(row.param.name); });

// Windows line ends are how many writers end lines: no damage at all.
TEST(Recovering, WindowsLineEndsAreSound) {
    std::string crlf;
    for (char c : soundDrawing()) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    AcDbDatabase db(false, true);
    ASSERT_EQ(readDrawingBytes(db, crlf, L"crlf.dwg", Recovery::refuse), Acad::eOk);
    EXPECT_FALSE(db.readReport().recovered());
}

// What holds no drawing is refused, recovery or not, with the strict read's reason.
TEST(Recovering, FilesWithoutADrawingStayRefused) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"binary drawing", std::string("AC1032\0\0\0\x01\x02  0\nSECTION\n", 20)},
        {"binary DXF", "AutoCAD Binary DXF\r\n\x1a" + std::string(3, '\0')},
        {"plain text", "hello\nworld\n"},
        {"a comment alone", "999\nnothing else\n"},
        {"cut inside the first section", "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1032\n"},
        {"a section without a single sound group", "  0\nSECTION\n  2\nENTITIES\nxx\nLINE\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AcDbDatabase db(false, true);
        EXPECT_NE(readDrawingBytes(db, c.bytes, L"x.dwg"), Acad::eOk);
        EXPECT_FALSE(db.readReport().message.empty());
        EXPECT_FALSE(db.readReport().recovered());
        EXPECT_TRUE(db.objectSlots().empty()) << "nothing of a failed read stays";
    }
}

// The damaged file is never written over: saving the recovered drawing there is refused
// and leaves every byte; saving elsewhere works.
TEST(Recovering, RecoveredDrawingIsNotSavedOverItsFile) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("marvolt-recovered-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path damagedPath = dir / "damaged.dwg";
    const std::string damaged = damage::kinds().front().make(soundDrawing());
    std::ofstream(damagedPath, std::ios::binary) << damaged;
    {
        AcDbDatabase db(false, true);
        ASSERT_EQ(db.readDwgFile(damagedPath.wstring().c_str(), _SH_DENYNO), Acad::eOk);
        ASSERT_TRUE(db.readReport().recovered());
        db.closeInput();
        EXPECT_EQ(db.saveAs(damagedPath.wstring().c_str()), Acad::eRecoveredFromFile);
        EXPECT_EQ(db.saveAs((dir / "." / "damaged.dwg").wstring().c_str()), Acad::eRecoveredFromFile);
        EXPECT_EQ(db.saveAs((dir / "repaired.dwg").wstring().c_str()), Acad::eOk);
    }
    std::ifstream in(damagedPath, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), damaged);
    AcDbDatabase back(false, true);
    EXPECT_EQ(back.readDwgFile((dir / "repaired.dwg").wstring().c_str(), _SH_DENYNO), Acad::eOk);
    EXPECT_FALSE(back.readReport().recovered());
    fs::remove_all(dir);
}

}  // namespace
