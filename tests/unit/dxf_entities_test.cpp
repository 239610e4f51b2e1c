// Each kind of entity read from an inline fragment, in the form of release 12 (AC1009,
// no subclass markers) and of release 2018 (AC1032), and written back: the writer
// always writes AC1032, so both forms of a kind must come out as the same groups.

#include "db/blockreference.h"
#include "db/blocktable.h"
#include "db/curves.h"
#include "db/database.h"
#include "db/dimension.h"
#include "db/foreignentity.h"
#include "db/mtext.h"
#include "db/text.h"
#include "dxf/dxfreader.h"
#include "dxf/dxfwriter.h"
#include "dxf/tagreader.h"
#include "rx/numbertext.h"
#include "rx/utf8.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <numbers>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

enum class Release { R12, R2018 };

const char* acadver(Release r) { return r == Release::R12 ? "AC1009" : "AC1032"; }

struct Group {
    int code;
    std::string value;
    bool operator==(const Group&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Group& g) { return os << g.code << " " << g.value; }

std::string text(const std::vector<Group>& groups) {
    std::ostringstream os;
    for (const auto& g : groups) os << g << "\n";
    return os.str();
}

// The groups of a fragment written one a line as "CODE VALUE".
std::vector<Group> parse(const std::string& fragment) {
    std::vector<Group> out;
    std::istringstream in(fragment);
    std::string line;
    while (std::getline(in, line)) {
        const auto start = line.find_first_not_of(' ');
        if (start == std::string::npos) continue;
        const auto gap = line.find(' ', start);
        long long code = 0;
        EXPECT_TRUE(hostrx::parseInteger(line.substr(start, gap - start), code)) << line;
        out.push_back({static_cast<int>(code), gap == std::string::npos ? "" : line.substr(gap + 1)});
    }
    return out;
}

// A fragment as the release writes it: release 12 has no subclass markers and no owners.
std::string asFile(const std::vector<Group>& groups, Release r) {
    std::string out;
    for (const auto& g : groups) {
        if (r == Release::R12 && (g.code == 100 || g.code == 330)) continue;
        out += std::to_string(g.code) + "\n" + g.value + "\n";
    }
    return out;
}

std::string drawing(Release r, const std::string& blocks, const std::string& entities) {
    std::string file = "0 SECTION\n2 HEADER\n9 $ACADVER\n1 " + std::string(acadver(r)) + "\n0 ENDSEC\n";
    if (!blocks.empty()) file += "0 SECTION\n2 BLOCKS\n" + blocks + "0 ENDSEC\n";
    file += "0 SECTION\n2 ENTITIES\n" + entities + "0 ENDSEC\n0 EOF\n";
    return asFile(parse(file), r);
}

// The groups of the first entity of the written ENTITIES section, without its handle
// and owner, which the writer gives out itself.
std::vector<Group> firstWrittenEntity(const std::string& written) {
    hostdxf::TagReader reader(written);
    hostdxf::Tag t;
    bool inEntities = false;
    std::vector<Group> out;
    while (reader.next(t)) {
        const std::string value(t.value);
        if (!inEntities) {
            inEntities = t.code == 2 && value == "ENTITIES";
            continue;
        }
        if (t.code == 0 && !out.empty()) break;
        if (t.code == 5 || t.code == 330) continue;
        const auto kind = hostdxf::valueKind(t.code);
        out.push_back({t.code, kind == hostdxf::ValueKind::Real      ? hostrx::formatNumber(t.real)
                               : kind == hostdxf::ValueKind::Integer ? std::to_string(t.integer)
                                                                     : value});
    }
    return out;
}

// True when every group of want appears in got, in order (other groups may come between).
bool inOrder(const std::vector<Group>& want, const std::vector<Group>& got) {
    std::size_t at = 0;
    for (const auto& g : got)
        if (at < want.size() && g == want[at]) ++at;
    return at == want.size();
}

AcDbEntity* firstModelEntity(const AcDbDatabase& db) {
    const auto* space = AcDbBlockTableRecord::cast(db.modelSpaceId().slot()->object);
    if (!space || space->entityIds().empty()) return nullptr;
    return AcDbEntity::cast(space->entityIds().front().slot()->object);
}

struct EntityCase {
    const char* name;
    bool r12;  // the kind exists in release 12 files
    std::string blocks;
    std::string entity;    // "CODE VALUE" lines, with the subclass markers of AC1032
    std::string written;   // groups the writer must write, in this order
    std::function<void(const AcDbEntity&)> check;
};

constexpr double kTolerance = 1e-12;

void expectPoint(const AcGePoint3d& got, double x, double y, double z) {
    EXPECT_NEAR(got.x, x, kTolerance);
    EXPECT_NEAR(got.y, y, kTolerance);
    EXPECT_NEAR(got.z, z, kTolerance);
}

const EntityCase kCases[] = {
    {"line", true, "",
     "0 LINE\n100 AcDbEntity\n8 WALLS\n62 1\n100 AcDbLine\n10 1.5\n20 2\n30 0\n11 4\n21 6.25\n31 -1\n",
     "0 LINE\n100 AcDbEntity\n8 WALLS\n62 1\n100 AcDbLine\n10 1.5\n20 2.0\n30 0.0\n11 4.0\n21 6.25\n31 -1.0\n",
     [](const AcDbEntity& e) {
         const auto& line = *AcDbLine::cast(&e);
         expectPoint(line.startPoint(), 1.5, 2, 0);
         expectPoint(line.endPoint(), 4, 6.25, -1);
         EXPECT_EQ(line.colorIndex(), 1);
     }},
    {"circle in a plane facing down", true, "",
     "0 CIRCLE\n100 AcDbEntity\n8 0\n100 AcDbCircle\n10 3\n20 4\n30 0\n40 2.5\n210 0\n220 0\n230 -1\n",
     "0 CIRCLE\n100 AcDbCircle\n10 3.0\n20 4.0\n30 0.0\n40 2.5\n210 0.0\n220 0.0\n230 -1.0\n",
     [](const AcDbEntity& e) {
         // The centre is given in the circle's own plane, whose x runs against the world's.
         const auto& circle = *AcDbCircle::cast(&e);
         expectPoint(circle.center(), -3, 4, 0);
         EXPECT_EQ(circle.radius(), 2.5);
     }},
    {"arc", true, "",
     "0 ARC\n100 AcDbEntity\n8 0\n100 AcDbCircle\n10 1\n20 1\n30 0\n40 2\n100 AcDbArc\n50 0\n51 90\n",
     "0 ARC\n100 AcDbCircle\n10 1.0\n20 1.0\n40 2.0\n100 AcDbArc\n50 0.0\n51 90.0\n",
     [](const AcDbEntity& e) {
         const auto& arc = *AcDbArc::cast(&e);
         EXPECT_NEAR(arc.startAngle(), 0.0, kTolerance);
         EXPECT_NEAR(arc.endAngle(), std::numbers::pi / 2, kTolerance);
     }},
    {"point", true, "", "0 POINT\n100 AcDbEntity\n8 0\n100 AcDbPoint\n10 7\n20 8\n30 9\n",
     "0 POINT\n100 AcDbPoint\n10 7.0\n20 8.0\n30 9.0\n",
     [](const AcDbEntity& e) { expectPoint(AcDbPoint::cast(&e)->position(), 7, 8, 9); }},
    {"light-weight polyline", false, "",
     "0 LWPOLYLINE\n100 AcDbEntity\n8 0\n100 AcDbPolyline\n90 3\n70 1\n10 0\n20 0\n10 4\n20 0\n42 0.5\n10 4\n20 3\n",
     "0 LWPOLYLINE\n100 AcDbPolyline\n90 3\n70 1\n10 0.0\n20 0.0\n10 4.0\n20 0.0\n42 0.5\n10 4.0\n20 3.0\n",
     [](const AcDbEntity& e) {
         const auto& pl = *AcDbPolyline::cast(&e);
         EXPECT_EQ(pl.numVerts(), 3u);
         EXPECT_TRUE(pl.isClosed());
     }},
    {"text aligned to a point", true, "",
     "0 TEXT\n100 AcDbEntity\n8 0\n100 AcDbText\n10 1\n20 2\n30 0\n40 2.5\n1 Marvolt\n50 30\n72 1\n11 5\n21 2\n31 0\n"
     "100 AcDbText\n73 2\n",
     "0 TEXT\n100 AcDbText\n10 1.0\n20 2.0\n40 2.5\n1 Marvolt\n50 30.0\n72 1\n11 5.0\n21 2.0\n100 AcDbText\n73 2\n",
     [](const AcDbEntity& e) {
         const auto& t = *AcDbText::cast(&e);
         EXPECT_EQ(t.textStringConst(), L"Marvolt");
         EXPECT_EQ(t.horizontalMode(), AcDb::kTextCenter);
         EXPECT_NEAR(t.rotation(), std::numbers::pi / 6, kTolerance);
         expectPoint(t.alignmentPoint(), 5, 2, 0);
     }},
    {"multiline text in parts", false, "",
     "0 MTEXT\n100 AcDbEntity\n8 0\n100 AcDbMText\n10 2\n20 3\n30 0\n40 1.5\n71 5\n3 first part \n1 end\\Pline\n",
     "0 MTEXT\n100 AcDbMText\n10 2.0\n20 3.0\n40 1.5\n71 5\n1 first part end\\Pline\n",
     [](const AcDbEntity& e) { EXPECT_EQ(AcDbMText::cast(&e)->attachment(), AcDbMText::kMiddleCenter); }},
    {"multiline attribute definition with its embedded text", false, "",
     "0 ATTDEF\n100 AcDbEntity\n8 0\n100 AcDbText\n10 1\n20 2\n30 0\n40 0.5\n1 first\n"
     "100 AcDbAttributeDefinition\n280 0\n3 Note\n2 NOTE\n70 2\n74 3\n71 4\n72 0\n11 1\n21 2\n31 0\n"
     "101 Embedded Object\n10 1\n20 2\n30 0\n40 0.5\n41 0\n46 0.25\n71 1\n72 5\n1 first\\Psecond\n",
     "0 ATTDEF\n100 AcDbText\n40 0.5\n1 first\n100 AcDbAttributeDefinition\n3 Note\n2 NOTE\n70 2\n"
     "280 0\n72 0\n71 4\n101 Embedded Object\n10 1.0\n20 2.0\n40 0.5\n71 1\n1 first\\Psecond\n46 0.25\n",
     [](const AcDbEntity& e) {
         const auto& def = *AcDbAttributeDefinition::cast(&e);
         EXPECT_TRUE(def.isConstant());
         EXPECT_EQ(def.textStringConst(), L"first") << "the single line stays apart from the embedded lines";
         ASSERT_TRUE(def.isMTextAttributeDefinition());
         const AcDbMText& lines = *def.mtextAttributeDefinitionConst();
         EXPECT_EQ(lines.contentsConst(), L"first\\Psecond");
         expectPoint(lines.location(), 1, 2, 0);
         EXPECT_EQ(lines.textHeight(), 0.5);
     }},
    {"reference with an attribute", true,
     "0 BLOCK\n100 AcDbEntity\n8 0\n100 AcDbBlockBegin\n2 TAGGED\n70 2\n10 0\n20 0\n30 0\n"
     "0 ATTDEF\n100 AcDbEntity\n8 0\n100 AcDbText\n10 0\n20 0\n30 0\n40 1\n1 ?\n100 AcDbAttributeDefinition\n"
     "3 Number\n2 NR\n70 0\n0 ENDBLK\n100 AcDbEntity\n8 0\n100 AcDbBlockEnd\n",
     "0 INSERT\n100 AcDbEntity\n8 0\n100 AcDbBlockReference\n66 1\n2 TAGGED\n10 10\n20 20\n30 0\n41 2\n42 2\n43 2\n50 90\n"
     "0 ATTRIB\n100 AcDbEntity\n8 0\n100 AcDbText\n10 10\n20 22\n30 0\n40 2\n1 42\n100 AcDbAttribute\n2 NR\n70 0\n"
     "0 SEQEND\n100 AcDbEntity\n8 0\n",
     "0 INSERT\n100 AcDbBlockReference\n66 1\n2 TAGGED\n10 10.0\n20 20.0\n41 2.0\n42 2.0\n43 2.0\n50 90.0\n",
     [](const AcDbEntity& e) {
         const auto& ref = *AcDbBlockReference::cast(&e);
         expectPoint(ref.position(), 10, 20, 0);
         EXPECT_NEAR(ref.rotation(), std::numbers::pi / 2, kTolerance);
         std::unique_ptr<AcDbObjectIterator> it(ref.attributeIterator());
         ASSERT_FALSE(it->done());
         const auto* attr = AcDbAttribute::cast(it->objectId().slot()->object);
         ASSERT_NE(attr, nullptr);
         EXPECT_EQ(attr->textStringConst(), L"42");
     }},
    {"dimension", true,
     "0 BLOCK\n100 AcDbEntity\n8 0\n100 AcDbBlockBegin\n2 *D1\n70 1\n10 0\n20 0\n30 0\n"
     "0 LINE\n100 AcDbEntity\n8 0\n100 AcDbLine\n10 0\n20 0\n30 0\n11 5\n21 0\n31 0\n"
     "0 ENDBLK\n100 AcDbEntity\n8 0\n100 AcDbBlockEnd\n",
     "0 DIMENSION\n100 AcDbEntity\n8 0\n100 AcDbDimension\n2 *D1\n10 5\n20 2\n30 0\n11 2.5\n21 2.5\n31 0\n70 32\n"
     "100 AcDbAlignedDimension\n13 0\n23 0\n33 0\n14 5\n24 0\n34 0\n100 AcDbRotatedDimension\n50 30\n",
     "0 DIMENSION\n100 AcDbDimension\n2 *D1\n10 5.0\n20 2.0\n30 0.0\n11 2.5\n21 2.5\n70 32\n"
     "100 AcDbAlignedDimension\n13 0.0\n23 0.0\n33 0.0\n14 5.0\n24 0.0\n34 0.0\n100 AcDbRotatedDimension\n50 30.0\n",
     [](const AcDbEntity& e) {
         const auto& dim = *AcDbDimension::cast(&e);
         expectPoint(dim.definitionPoint(), 5, 2, 0);
         EXPECT_FALSE(dim.dimBlockId().isNull());
     }},
    {"leader", false, "",
     "0 LEADER\n100 AcDbEntity\n8 0\n100 AcDbLeader\n71 1\n72 0\n73 3\n76 3\n10 0\n20 0\n30 0\n10 2\n20 3\n30 0\n"
     "10 4\n20 3\n30 0\n",
     "0 LEADER\n100 AcDbLeader\n76 3\n10 0.0\n20 0.0\n30 0.0\n10 2.0\n20 3.0\n30 0.0\n10 4.0\n20 3.0\n30 0.0\n",
     [](const AcDbEntity& e) { EXPECT_EQ(AcDbLeader::cast(&e)->numVertices(), 3); }},
    {"old-style polyline kept with its vertices", true, "",
     "0 POLYLINE\n100 AcDbEntity\n8 0\n100 AcDb2dPolyline\n66 1\n10 0\n20 0\n30 0\n70 1\n"
     "0 VERTEX\n100 AcDbEntity\n8 0\n100 AcDbVertex\n100 AcDb2dVertex\n10 1\n20 2\n30 0\n"
     "0 VERTEX\n100 AcDbEntity\n8 0\n100 AcDbVertex\n100 AcDb2dVertex\n10 3\n20 4\n30 0\n"
     "0 SEQEND\n100 AcDbEntity\n8 0\n",
     "0 POLYLINE\n66 1\n70 1\n",
     [](const AcDbEntity& e) {
         const auto* foreign = AcDbForeignEntity::cast(&e);
         ASSERT_NE(foreign, nullptr);
         EXPECT_EQ(foreign->dxfName(), "POLYLINE");
         EXPECT_EQ(foreign->followers().size(), 3u);  // two vertices and the end of the sequence
     }},
    {"face the host does not model", true, "",
     "0 3DFACE\n100 AcDbEntity\n8 0\n100 AcDbFace\n10 0\n20 0\n30 0\n11 1\n21 0\n31 0\n12 1\n22 1\n32 0.125\n13 0\n23 1\n33 0\n"
     "70 0\n",
     "0 3DFACE\n100 AcDbEntity\n8 0\n100 AcDbFace\n10 0.0\n20 0.0\n30 0.0\n11 1.0\n21 0.0\n31 0.0\n12 1.0\n22 1.0\n"
     "32 0.125\n13 0.0\n23 1.0\n33 0.0\n70 0\n",
     [](const AcDbEntity& e) { EXPECT_EQ(AcDbForeignEntity::cast(&e)->dxfName(), "3DFACE"); }},
    {"spline the host does not model", false, "",
     "0 SPLINE\n100 AcDbEntity\n8 0\n100 AcDbSpline\n70 8\n71 3\n72 8\n73 4\n40 0\n40 0\n40 0\n40 0\n40 1\n40 1\n40 1\n"
     "40 1\n10 0.1\n20 0.2\n30 0\n10 1.3\n20 2.7\n30 0\n10 2.9\n20 0.4\n30 0\n10 4.1\n20 1.6\n30 0\n",
     "0 SPLINE\n100 AcDbEntity\n8 0\n100 AcDbSpline\n70 8\n71 3\n72 8\n73 4\n40 0.0\n40 1.0\n10 0.1\n20 0.2\n30 0.0\n"
     "10 1.3\n20 2.7\n30 0.0\n10 2.9\n20 0.4\n30 0.0\n10 4.1\n20 1.6\n30 0.0\n",
     [](const AcDbEntity& e) { EXPECT_EQ(AcDbForeignEntity::cast(&e)->dxfName(), "SPLINE"); }},
};

struct Param {
    const EntityCase* kind;
    Release release;
};

void PrintTo(const Param& p, std::ostream* os) { *os << p.kind->name << " " << acadver(p.release); }

std::vector<Param> params() {
    std::vector<Param> out;
    for (const auto& c : kCases) {
        if (c.r12) out.push_back({&c, Release::R12});
        out.push_back({&c, Release::R2018});
    }
    return out;
}

std::string paramName(const testing::TestParamInfo<Param>& info) {
    std::string name;
    for (const char* p = info.param.kind->name; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
    return name + "_" + acadver(info.param.release);
}

class EntityKinds : public testing::TestWithParam<Param> {};

TEST_P(EntityKinds, ReadAndWrittenBack) {
    const EntityCase& c = *GetParam().kind;
    const std::string file = drawing(GetParam().release, c.blocks, c.entity);
    AcDbDatabase db(false, true);
    ASSERT_EQ(hostdxf::readDrawingBytes(db, file, L"fragment.dxf"), Acad::eOk)
        << hostrx::wideToUtf8(db.readReport().message) << "\n" << file;
    const AcDbEntity* e = firstModelEntity(db);
    ASSERT_NE(e, nullptr);
    c.check(*e);
    const std::vector<Group> want = parse(c.written), got = firstWrittenEntity(hostdxf::writeDrawing(db));
    // Whatever the release read, a 2018 record opens with the entity's class marker.
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got[1], (Group{100, "AcDbEntity"})) << text(got);
    EXPECT_TRUE(inOrder(want, got)) << "expected, in this order:\n" << text(want) << "written:\n" << text(got);
}

INSTANTIATE_TEST_SUITE_P(Fragments, EntityKinds, testing::ValuesIn(params()), paramName);

}  // namespace
