#pragma once

// What fixes an entity in space, for tests that move entities about and compare where
// they land; and the groups of kinds the host keeps as read, written as a drawing file
// holds them.

#include "db/entity.h"
#include "db/foreigndata.h"

#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace shapes {

using Points = std::vector<AcGePoint3d>;

// What fixes an entity in space: characteristic points in world coordinates, which a
// transformation carries as it carries any point; for a planar entity its normal; the
// points a closed curve passes through, which have no place of their own on it (the
// image of a point on a circle lies on the image of the circle); and lengths that scale
// with an even scale (widths).
struct Shape {
    Shape(Points p = {}, std::optional<AcGeVector3d> n = {}, Points c = {}, std::vector<double> s = {})
        : points(std::move(p)), normal(n), onCurve(std::move(c)), sizes(std::move(s)) {}
    Points points;
    std::optional<AcGeVector3d> normal;
    Points onCurve;
    std::vector<double> sizes;
};

Shape shapeOf(const AcDbEntity& e);
// The shape of an entity of a database, opened for the look.
Shape residentShape(AcDbObjectId id);
// The points of the parts an entity explodes into, in order.
Points partPoints(const AcDbEntity& e);
// How far p lies off the closed curve of a circle or an ellipse.
double offCurve(const AcDbEntity& e, const AcGePoint3d& p);

// Groups as a drawing file holds them: integer codes in whole numbers.
hostdb::FilerItems items(std::initializer_list<std::pair<int, double>> values);
// An entity of a kind the host keeps as read, with the groups of its class section.
AcDbEntity* foreign(const char* kind, const char* subclass, hostdb::FilerItems data);
// A VERTEX record with the given groups.
hostdb::FilerItems vertex(std::initializer_list<std::pair<int, double>> values);
// An old-style polyline: its header's class section and its vertices, then the end of
// the sequence.
AcDbEntity* oldPolyline(const char* subclass, hostdb::FilerItems header, std::vector<hostdb::FilerItems> vertices);

}  // namespace shapes
