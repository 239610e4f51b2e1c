// Multiline attributes and definitions: the MText they embed is read, written, moved
// and copied with them.

#include "db/blockreference.h"
#include "db/blocktable.h"
#include "db/curves.h"
#include "db/database.h"
#include "db/mtext.h"
#include "db/text.h"
#include "dxf/dxfreader.h"
#include "dxf/dxfwriter.h"
#include "dxf/tagreader.h"
#include "rx/utf8.h"
#include "testdrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace {

// A drawing with one reference to block TB holding the one attribute given.
void addReferenceWith(AcDbDatabase& db, AcDbAttribute* attribute) {
    const AcDbObjectId block = addBlock(db, L"TB");
    appendTo(block, new AcDbLine({0, 0, 0}, {10, 0, 0}));
    auto* ref = new AcDbBlockReference({100, 100, 0}, block);
    const AcDbObjectId refId = appendToModel(db, ref);
    AcDbBlockReference* open = nullptr;
    ASSERT_EQ(acdbOpenObject(open, refId, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId attId;
    ASSERT_EQ(open->appendAttribute(attId, attribute), Acad::eOk);
    attribute->close();
    open->close();
}

AcDbMText twoLines(const AcGePoint3d& at) {
    AcDbMText lines;
    lines.setLocation(at);
    lines.setTextHeight(0.5);
    lines.setContents(L"one\\Ptwo");
    return lines;
}

const AcDbAttribute* onlyAttribute(const AcDbDatabase& db) {
    const auto* space = AcDbBlockTableRecord::cast(db.modelSpaceId().slot()->object);
    for (AcDbObjectId id : space->entityIds())
        if (const auto* ref = AcDbBlockReference::cast(id.slot()->object); ref && !ref->attributeIds().empty())
            return AcDbAttribute::cast(ref->attributeIds().front().slot()->object);
    return nullptr;
}

// The groups of the first ATTRIB record of a written drawing.
std::vector<std::pair<int, std::string>> attribRecord(const std::string& written) {
    hostdxf::TagReader reader(written);
    hostdxf::Tag t;
    std::vector<std::pair<int, std::string>> out;
    bool inside = false;
    while (reader.next(t)) {
        if (t.code == 0) {
            if (inside) break;
            inside = t.value == "ATTRIB";
            continue;
        }
        if (inside) out.emplace_back(t.code, std::string(t.value));
    }
    return out;
}

int countOf(const std::vector<std::pair<int, std::string>>& groups, int code) {
    int n = 0;
    for (const auto& g : groups) n += g.first == code;
    return n;
}

// Whether made in code or read from a file as another program wrote it, a multiline
// attribute is written with its kind (2) once and its MText after the mark, and reads
// back with every line.
TEST(MultilineAttribute, WrittenOnceWithItsKindAndReadBackWhole) {
    AcDbDatabase made(true, true);
    auto* attribute = new AcDbAttribute();
    attribute->setTag(L"NOTE");
    attribute->setTextString(L"one");
    attribute->setPosition({101, 102, 0});
    const AcDbMText lines = twoLines({101, 102, 0});
    ASSERT_EQ(attribute->setMTextAttribute(&lines), Acad::eOk);
    addReferenceWith(made, attribute);
    const std::string first = hostdxf::writeDrawing(made);

    // Read as written, then again after a second write: the kind the file had (2) and
    // the groups the host does not model (46) are not doubled.
    AcDbDatabase read(false, true);
    ASSERT_EQ(hostdxf::readDrawingBytes(read, first, L"made.dxf"), Acad::eOk);
    for (const std::string& written : {first, hostdxf::writeDrawing(read)}) {
        const auto groups = attribRecord(written);
        EXPECT_EQ(countOf(groups, 101), 1);
        EXPECT_EQ(countOf(groups, 71), 3) << "the text's mirroring, the attribute's kind, the MText's attachment";
        const auto mark = std::find(groups.begin(), groups.end(), std::pair<int, std::string>{101, "Embedded Object"});
        ASSERT_NE(mark, groups.end());
        EXPECT_EQ(std::prev(mark)->first, 71);
        EXPECT_EQ(std::prev(mark)->second, "2");
    }
    const AcDbAttribute* back = onlyAttribute(read);
    ASSERT_NE(back, nullptr);
    ASSERT_TRUE(back->isMTextAttribute());
    EXPECT_EQ(back->mtextAttributeConst()->contentsConst(), L"one\\Ptwo");
    EXPECT_EQ(back->textStringConst(), L"one");
    EXPECT_TRUE(back->mtextAttributeConst()->location().isEqualTo({101, 102, 0}));
}

// The MText goes wherever the attribute goes, and a copy holds its own.
TEST(MultilineAttribute, MovesWithTheAttributeAndCopiesApart) {
    AcDbAttribute attribute;
    attribute.setPosition({1, 2, 0});
    attribute.setHeight(0.5);
    const AcDbMText lines = twoLines({1, 2, 0});
    attribute.setMTextAttribute(&lines);

    const AcGeMatrix3d m = AcGeMatrix3d::translation({10, 0, 0}) *
                           AcGeMatrix3d::rotation(std::numbers::pi / 2, AcGeVector3d::kZAxis, AcGePoint3d::kOrigin) *
                           AcGeMatrix3d::scaling(2.0, AcGePoint3d::kOrigin);
    std::unique_ptr<AcDbAttribute> copy(static_cast<AcDbAttribute*>(attribute.clone()));
    ASSERT_EQ(copy->transformBy(m), Acad::eOk);
    const AcDbMText& moved = *copy->mtextAttributeConst();
    EXPECT_TRUE(moved.location().isEqualTo({6, 2, 0})) << moved.location().x << "," << moved.location().y;
    EXPECT_TRUE(moved.location().isEqualTo(copy->position()));
    EXPECT_DOUBLE_EQ(moved.textHeight(), 1.0);
    EXPECT_TRUE(moved.direction().isEqualTo(AcGeVector3d::kYAxis));
    EXPECT_TRUE(attribute.mtextAttributeConst()->location().isEqualTo({1, 2, 0})) << "the original moved along";

    // A transform the text refuses (everything flattened) leaves both as they were.
    ASSERT_NE(copy->transformBy(AcGeMatrix3d::scaling(0.0, AcGePoint3d::kOrigin)), Acad::eOk);
    EXPECT_TRUE(copy->mtextAttributeConst()->location().isEqualTo({6, 2, 0}));
    EXPECT_TRUE(copy->position().isEqualTo({6, 2, 0}));
}

}  // namespace
