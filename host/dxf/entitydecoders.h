#pragma once

// Private to the drawing-file reader: how the record of each kind of entity is decoded.
// The reader of entity records (entityreader.cpp) takes the groups common to every
// entity and offers the rest to the decoder of the record's kind.

#include "readercontext.h"

#include "../db/entity.h"

#include <functional>
#include <memory>
#include <string>

namespace hostdxf::reading {

// Groups that the records of several kinds use alike, gathered while the record is read
// and set on the entity once all are in: a point comes in three groups, anywhere in the
// record, and the plane of the normal decides where some points lie.
struct EntityGroups {
    PointAccumulator p10, p11, p12, p13;
    PointAccumulator normal{{0, 0, 1}, false};
    double d40 = 0, d41 = 1, d50 = 0, d51 = 0, d39 = 0;
    bool has41 = false, has50 = false;
    long long i70 = 0, i71 = 0, i72 = 0, i73 = 0;
    std::wstring s1, s2, s3;
    std::string styleName;
    // The block that a reference or a dimension names, found once all blocks are known.
    std::string blockName;
};

// The entity made for a record, the groups of its kind (true: taken) and what is set
// once every group is read. Both functions may refer to the record's EntityGroups.
struct EntityDecoder {
    std::unique_ptr<AcDbEntity> entity;
    std::function<bool(const std::string& sub, const Tag&)> take;
    std::function<void()> finish;
};

// Each family sets up the decoder for the kinds it models and answers false for others.
// curvedecoders.cpp: LINE, CIRCLE, ARC, POINT, LWPOLYLINE.
bool decodeCurve(const std::string& type, EntityGroups& g, EntityDecoder& d);
// textdecoders.cpp: TEXT, ATTDEF, ATTRIB, MTEXT.
bool decodeText(ReaderContext& ctx, const std::string& type, EntityGroups& g, EntityDecoder& d);
// referencedecoders.cpp: INSERT, DIMENSION, LEADER.
bool decodeReference(ReaderContext& ctx, const std::string& type, EntityGroups& g, EntityDecoder& d);
// foreigndecoders.cpp: the end of a sequence, and every kind the host does not model,
// kept as it was read.
void decodeOther(const std::string& type, EntityDecoder& d);

}  // namespace hostdxf::reading
