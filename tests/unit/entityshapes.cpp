#include "entityshapes.h"

#include "rx/numbertext.h"

#include "db/blockreference.h"
#include "db/curves.h"
#include "db/dimension.h"
#include "db/filervalues.h"
#include "db/foreignentity.h"
#include "db/mtext.h"
#include "db/text.h"
#include "ge/planeframe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

namespace shapes {

namespace {

void addArcPoints(const AcDbArc& arc, Points& out) {
    const double sweep = std::fmod(arc.endAngle() - arc.startAngle() + 4 * std::numbers::pi, 2 * std::numbers::pi);
    out.insert(out.end(), {arc.pointAt(arc.startAngle()), arc.pointAt(arc.startAngle() + sweep / 2),
                           arc.pointAt(arc.endAngle())});
}
}  // namespace

// The points of the parts an entity explodes into, in order.
Points partPoints(const AcDbEntity& e) {
    AcDbVoidPtrArray parts;
    EXPECT_EQ(e.explode(parts), Acad::eOk);
    Points out;
    for (void* p : parts) {
        const std::unique_ptr<AcDbEntity> part(static_cast<AcDbEntity*>(p));
        const Shape s = shapeOf(*part);
        out.insert(out.end(), s.points.begin(), s.points.end());
    }
    return out;
}

namespace {

AcGePoint3d itemPoint(const AcDbEntity& e, int code) {
    double v[3] = {0, 0, 0};
    for (const auto& chunk : e.foreignData()->chunks())
        for (const auto& item : chunk.items)
            for (int k = 0; k < 3; ++k)
                if (item.code == code + 10 * k) v[k] = hostrx::numberOrZero(item.value);
    return {v[0], v[1], v[2]};
}

AcGeVector3d itemNormal(const AcDbEntity& e) {
    const AcGeVector3d n = itemPoint(e, 210).asVector();
    return n.isZeroLength() ? AcGeVector3d::kZAxis : n.normal();
}

double itemReal(const AcDbEntity& e, int code) { return itemPoint(e, code).x; }

// A full ellipse has its centre; an elliptical arc its ends and the middle of its sweep
// too, which an affine map carries to the same places on the image.
Shape ellipseShape(const AcDbEntity& e) {
    const AcGePoint3d c = itemPoint(e, 10);
    const AcGeVector3d major = itemPoint(e, 11).asVector(), n = itemNormal(e);
    const AcGeVector3d minor = n.crossProduct(major) * itemReal(e, 40);
    Shape s{{c}, n, {}, {}};
    const double from = itemReal(e, 41), to = itemReal(e, 42);
    if (std::abs(to - from - 2 * std::numbers::pi) > 1e-9)
        for (double t : {from, (from + to) / 2, to}) s.points.push_back(c + major * std::cos(t) + minor * std::sin(t));
    return s;
}

Shape solidShape(const AcDbEntity& e) {
    const auto frame = AcGePlaneFrame::fromNormal(itemNormal(e));
    Shape s;
    for (int code = 10; code <= 13; ++code) s.points.push_back(frame.toWorld(itemPoint(e, code)));
    s.normal = itemNormal(e);
    return s;
}

Shape textShape(const AcDbText& t) {
    const auto f = AcGePlaneFrame::fromNormal(t.normal());
    const AcGeVector3d along = f.direction(t.rotation()) * t.height() * t.widthFactor();
    const AcGeVector3d up = f.direction(t.rotation() + std::numbers::pi / 2) * t.height();
    return {{t.position(), t.alignmentPoint(), t.position() + along, t.position() + up}, t.normal()};
}

Shape referenceShape(const AcDbBlockReference& ref) {
    Shape s{partPoints(ref), ref.normal()};
    for (AcDbObjectId id : ref.attributeIds()) {
        const Shape a = textShape(*AcDbAttribute::cast(id.slot()->object));
        s.points.insert(s.points.end(), a.points.begin(), a.points.end());
    }
    return s;
}
}  // namespace

// How far p lies off the closed curve of a circle or an ellipse.
double offCurve(const AcDbEntity& e, const AcGePoint3d& p) {
    if (const auto* circle = AcDbCircle::cast(&e)) {
        const AcGeVector3d d = p - circle->center();
        return std::abs(d.length() - circle->radius()) + std::abs(d.dotProduct(circle->normal()));
    }
    const auto* ellipse = AcDbForeignEntity::cast(&e);
    if (!ellipse || ellipse->dxfName() != "ELLIPSE") return 1e300;
    const AcGeVector3d major = itemPoint(e, 11).asVector(), n = itemNormal(e);
    const AcGeVector3d minor = n.crossProduct(major) * itemReal(e, 40);
    const AcGeVector3d d = p - itemPoint(e, 10);
    const double x = d.dotProduct(major) / (major.length() * major.length());
    const double y = d.dotProduct(minor) / (minor.length() * minor.length());
    return std::abs(std::hypot(x, y) - 1.0) * major.length() + std::abs(d.dotProduct(n));
}

namespace {

// A hatch's groups in the order the format gives them: the points of each boundary
// segment (start, middle, end; a spline by its control points), the seed points, and
// per pattern line its base point, the base of the next line and the end of its first
// dash.
Shape hatchShape(const AcDbEntity& e) {
    const auto& items = *e.foreignData()->find("AcDbHatch");
    std::size_t i = 0;
    auto real = [&](int code) {
        EXPECT_EQ(items.at(i).code, code) << "group " << i;
        return hostrx::numberOrZero(items.at(i++).value);
    };
    auto skipTo = [&](int code) {
        while (i < items.size() && items[i].code != code) ++i;
        return i < items.size();
    };
    const AcGeVector3d n = itemNormal(e);
    const auto f = AcGePlaneFrame::fromNormal(n);
    const double elevation = itemPoint(e, 10).z;
    auto world = [&](double x, double y) { return f.toWorld({x, y, elevation}); };
    Shape s{{}, n, {}, {}};
    auto conic = [&](double cx, double cy, AcGeVector3d u, AcGeVector3d v, double from, double to) {
        for (double t : {from, (from + to) / 2, to}) {
            const AcGeVector3d d = u * std::cos(t) + v * std::sin(t);
            s.points.push_back(world(cx + d.x, cy + d.y));
        }
    };
    skipTo(91);
    for (int paths = static_cast<int>(real(91)); paths > 0; --paths) {
        const auto flags = static_cast<int>(real(92));
        if (flags & 2) {
            const bool bulges = real(72) != 0;
            const bool closed = real(73) != 0;
            struct V {
                double x, y, b;
            };
            std::vector<V> vs;
            for (int k = static_cast<int>(real(93)); k > 0; --k) {
                V v{real(10), real(20), 0};
                if (bulges) v.b = real(42);
                vs.push_back(v);
            }
            for (std::size_t k = 0; k + (closed ? 0 : 1) < vs.size(); ++k) {
                const V a = vs[k], b = vs[(k + 1) % vs.size()];
                // The middle of a bulged segment lies off the chord's middle by the
                // sagitta, half the chord times the bulge, to the right of a->b.
                const double dx = b.x - a.x, dy = b.y - a.y, sag = a.b / 2;
                const AcGePoint3d middle = world((a.x + b.x) / 2 + dy * sag, (a.y + b.y) / 2 - dx * sag);
                s.points.insert(s.points.end(), {world(a.x, a.y), middle, world(b.x, b.y)});
            }
        } else {
            for (int k = static_cast<int>(real(93)); k > 0; --k) {
                const int type = static_cast<int>(real(72));
                if (type == 1) {
                    const double x0 = real(10), y0 = real(20), x1 = real(11), y1 = real(21);
                    s.points.insert(s.points.end(), {world(x0, y0), world((x0 + x1) / 2, (y0 + y1) / 2), world(x1, y1)});
                } else if (type == 2 || type == 3) {
                    const double cx = real(10), cy = real(20);
                    AcGeVector3d u(1, 0, 0);
                    if (type == 3) {
                        const double ux = real(11);
                        u = AcGeVector3d(ux, real(21), 0);
                    }
                    const double r = real(40);
                    double from = real(50) * std::numbers::pi / 180, to = real(51) * std::numbers::pi / 180;
                    const double sense = real(73) != 0 ? 1.0 : -1.0;  // clockwise edges keep mirrored angles
                    if (type == 3) {
                        // Elliptical edges keep the angles of their ends in the ellipse's
                        // own axes; the curve's parameters follow from the ratio.
                        from = std::atan2(std::sin(from) / r, std::cos(from));
                        to = std::atan2(std::sin(to) / r, std::cos(to));
                    }
                    double sweep = std::fmod(to - from + 4 * std::numbers::pi, 2 * std::numbers::pi);
                    if (sweep < 1e-12) sweep = 2 * std::numbers::pi;
                    if (type == 2) conic(cx, cy, u * r, AcGeVector3d(0, sense * r, 0), from, from + sweep);
                    else conic(cx, cy, u, AcGeVector3d(-u.y, u.x, 0) * (sense * r), from, from + sweep);
                } else {
                    for (const int code : {94, 73, 74}) real(code);
                    const int knots = static_cast<int>(real(95)), controls = static_cast<int>(real(96));
                    for (int q = 0; q < knots; ++q) real(40);
                    for (int q = 0; q < controls; ++q) {
                        const double x = real(10);
                        s.points.push_back(world(x, real(20)));
                    }
                    for (int q = static_cast<int>(real(97)); q > 0; --q) {
                        const double x = real(11);
                        s.points.push_back(world(x, real(21)));
                    }
                }
            }
        }
        for (int k = static_cast<int>(real(97)); k > 0; --k) ++i;
    }
    for (int lines = skipTo(78) ? static_cast<int>(real(78)) : 0; lines > 0; --lines) {
        const double angle = real(53) * std::numbers::pi / 180, bx = real(43), by = real(44), ox = real(45), oy = real(46);
        const int dashes = static_cast<int>(real(79));
        double first = 0;
        for (int q = 0; q < dashes; ++q) {
            const double d = real(49);
            if (q == 0) first = std::abs(d);
        }
        s.points.insert(s.points.end(), {world(bx, by), world(bx + ox, by + oy),
                                         world(bx + std::cos(angle) * first, by + std::sin(angle) * first)});
    }
    for (int seeds = skipTo(98) ? static_cast<int>(real(98)) : 0; seeds > 0; --seeds) {
        const double x = real(10);
        s.points.push_back(world(x, real(20)));
    }
    return s;
}

// Only a 2D polyline lies in a plane of its own.
Shape oldPolylineShape(const AcDbForeignEntity& pl) {
    const bool flat = (static_cast<int>(itemReal(pl, 70)) & (8 | 16 | 64)) == 0;
    Shape s{partPoints(pl), flat ? std::optional(itemNormal(pl)) : std::nullopt, {}, {}};
    for (const auto& record : pl.followers())
        for (const auto& item : record)
            if (item.code == 40 || item.code == 41) s.sizes.push_back(hostrx::numberOrZero(item.value));
    return s;
}

Shape splineShape(const AcDbEntity& e) {
    Shape s;
    for (const auto& chunk : e.foreignData()->chunks())
        for (std::size_t i = 0; i + 2 < chunk.items.size(); ++i)
            if (chunk.items[i].code == 10)
                s.points.emplace_back(hostrx::numberOrZero(chunk.items[i].value), hostrx::numberOrZero(chunk.items[i + 1].value),
                                      hostrx::numberOrZero(chunk.items[i + 2].value));
    return s;
}
}  // namespace

Shape shapeOf(const AcDbEntity& e) {
    if (const auto* line = AcDbLine::cast(&e)) return {{line->startPoint(), line->endPoint()}, line->normal()};
    if (const auto* arc = AcDbArc::cast(&e)) {
        Shape s{{arc->center()}, arc->normal()};
        addArcPoints(*arc, s.points);
        return s;
    }
    if (const auto* circle = AcDbCircle::cast(&e)) {
        Shape s{{circle->center()}, circle->normal(), {}, {}};
        for (int k = 0; k < 8; ++k)
            s.onCurve.push_back(circle->center() + AcGePlaneFrame::fromNormal(circle->normal())
                                                           .direction(k * std::numbers::pi / 4) * circle->radius());
        return s;
    }
    if (const auto* point = AcDbPoint::cast(&e)) return {{point->position()}, point->normal()};
    if (const auto* pl = AcDbPolyline::cast(&e)) return {partPoints(*pl), pl->normal()};
    if (const auto* text = AcDbText::cast(&e)) return textShape(*text);
    if (const auto* mt = AcDbMText::cast(&e))
        return {{mt->location(), mt->location() + mt->direction() * mt->textHeight(),
                 mt->location() + mt->normal().crossProduct(mt->direction()) * mt->textHeight()},
                mt->normal()};
    if (const auto* ref = AcDbBlockReference::cast(&e)) return referenceShape(*ref);
    if (const auto* dim = AcDbDimension::cast(&e)) {
        Shape s{partPoints(*dim), dim->normal()};
        s.points.push_back(dim->definitionPoint());
        return s;
    }
    if (const auto* leader = AcDbLeader::cast(&e)) return {leader->vertices(), leader->normal()};
    if (const auto* foreign = AcDbForeignEntity::cast(&e)) {
        const std::string& kind = foreign->dxfName();
        if (kind == "ELLIPSE") return ellipseShape(e);
        if (kind == "HATCH") return hatchShape(e);
        if (kind == "POLYLINE") return oldPolylineShape(*foreign);
        if (kind == "SPLINE") return splineShape(e);
        if (kind == "SHAPE") {
            // The insertion point, the end of its base line and the top of its height.
            const AcGePoint3d at = itemPoint(e, 10);
            const auto f = AcGePlaneFrame::fromNormal(itemNormal(e));
            const double size = itemReal(e, 40), rotation = itemReal(e, 50) * std::numbers::pi / 180;
            double xscale = 1;
            for (const auto& chunk : e.foreignData()->chunks())
                for (const auto& item : chunk.items)
                    if (item.code == 41) xscale = hostrx::numberOrZero(item.value);
            return Shape{{at, at + f.direction(rotation) * (size * xscale),
                          at + f.direction(rotation + std::numbers::pi / 2) * size},
                         itemNormal(e)};
        }
        if (kind == "IMAGE") {
            // The corners: the size in pixels (13, 23) times the pixel vectors (11, 12).
            const AcGePoint3d at = itemPoint(e, 10), size = itemPoint(e, 13);
            const AcGeVector3d u = itemPoint(e, 11).asVector() * size.x, v = itemPoint(e, 12).asVector() * size.y;
            return Shape{{at, at + u, at + u + v}};
        }
        return solidShape(e);
    }
    ADD_FAILURE() << "no shape for this kind";
    return {};
}

Shape residentShape(AcDbObjectId id) {
    AcDbEntity* e = nullptr;
    EXPECT_EQ(acdbOpenObject(e, id, AcDb::kForRead), Acad::eOk);
    Shape s = shapeOf(*e);
    e->close();
    return s;
}

namespace {

bool isIntegerCode(int code) {
    return (code >= 60 && code <= 99) || (code >= 170 && code <= 179) || (code >= 450 && code <= 459);
}
}  // namespace

// Groups as a drawing file holds them: integer codes in whole numbers.
hostdb::FilerItems items(std::initializer_list<std::pair<int, double>> values) {
    hostdb::FilerItems out;
    for (const auto& [code, v] : values)
        out.push_back({code, isIntegerCode(code) ? std::to_string(static_cast<long long>(v)) : hostdb::textOf(v)});
    return out;
}

AcDbEntity* foreign(const char* kind, const char* subclass, hostdb::FilerItems data) {
    auto* e = new AcDbForeignEntity(kind);
    e->foreign().chunk(subclass) = std::move(data);
    return e;
}

hostdb::FilerItems vertex(std::initializer_list<std::pair<int, double>> values) {
    hostdb::FilerItems out{{0, "VERTEX"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbVertex"}};
    const hostdb::FilerItems rest = items(values);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

AcDbEntity* oldPolyline(const char* subclass, hostdb::FilerItems header, std::vector<hostdb::FilerItems> vertices) {
    auto* e = foreign("POLYLINE", subclass, std::move(header));
    auto* pl = static_cast<AcDbForeignEntity*>(e);
    pl->followers() = std::move(vertices);
    pl->followers().push_back({{0, "SEQEND"}, {100, "AcDbEntity"}, {8, "0"}});
    return e;
}

}  // namespace shapes
