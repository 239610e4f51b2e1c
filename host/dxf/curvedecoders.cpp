#include "entitydecoders.h"
#include "angles.h"

#include "../db/curves.h"

#include <algorithm>
#include <cmath>

namespace hostdxf::reading {
namespace {

void decodeLine(EntityGroups& g, EntityDecoder& d) {
    auto* e = new AcDbLine();
    d.entity.reset(e);
    d.take = [&g](const std::string&, const Tag& t) {
        return g.p10.take(t.code, 10, t.value) || g.p11.take(t.code, 11, t.value) || g.normal.take(t.code, 210, t.value) ||
               (t.code == 39 && (g.d39 = real(t.value), true));
    };
    d.finish = [&g, e] {
        e->setStartPoint(g.p10.p);
        e->setEndPoint(g.p11.p);
        e->setNormal(g.normal.p.asVector());
        e->setThickness(g.d39);
    };
}

// What circles and arcs share; the centre is stated in the plane of the normal.
template <class Circular>
void setCircle(Circular& e, const EntityGroups& g) {
    const auto f = AcGePlaneFrame::fromNormal(g.normal.p.asVector());
    e.setNormal(g.normal.p.asVector());
    e.setCenter(f.toWorld(g.p10.p));
    e.setRadius(g.d40);
}

void decodeCircleOrArc(bool arc, EntityGroups& g, EntityDecoder& d) {
    d.take = [&g, arc](const std::string&, const Tag& t) {
        switch (t.code) {
        case 40: g.d40 = real(t.value); return true;
        case 39: g.d39 = real(t.value); return true;
        case 50: if (arc) { g.d50 = real(t.value); return true; } return false;
        case 51: if (arc) { g.d51 = real(t.value); return true; } return false;
        default: return g.p10.take(t.code, 10, t.value) || g.normal.take(t.code, 210, t.value);
        }
    };
    if (arc) {
        auto* e = new AcDbArc();
        d.entity.reset(e);
        d.finish = [&g, e] {
            setCircle(*e, g);
            e->setStartAngle(radiansFromDegrees(g.d50));
            e->setEndAngle(radiansFromDegrees(g.d51));
            e->setThickness(g.d39);
        };
    } else {
        auto* e = new AcDbCircle();
        d.entity.reset(e);
        d.finish = [&g, e] {
            setCircle(*e, g);
            e->setThickness(g.d39);
        };
    }
}

void decodePoint(EntityGroups& g, EntityDecoder& d) {
    auto* e = new AcDbPoint();
    d.entity.reset(e);
    d.take = [&g](const std::string&, const Tag& t) {
        return g.p10.take(t.code, 10, t.value) || g.normal.take(t.code, 210, t.value) ||
               (t.code == 39 && (g.d39 = real(t.value), true)) || (t.code == 50 && (g.d50 = real(t.value), true));
    };
    d.finish = [&g, e] {
        e->setPosition(g.p10.p);
        e->setNormal(g.normal.p.asVector());
        e->setThickness(g.d39);
        e->setEcsRotation(radiansFromDegrees(g.d50));
    };
}

// A vertex begins at its group 10; the groups after it up to the next 10 are its own.
void decodePolyline(EntityGroups& g, EntityDecoder& d) {
    auto* e = new AcDbPolyline();
    d.entity.reset(e);
    d.take = [&g, e](const std::string&, const Tag& t) {
        auto& v = e->vertices();
        switch (t.code) {
        case 90: v.reserve(static_cast<std::size_t>(std::max(0LL, std::min(integer(t.value), 1000000LL)))); return true;
        case 70: g.i70 = integer(t.value); return true;
        case 43: e->setConstantWidth(real(t.value)); e->setHasConstantWidth(true); return true;
        case 38: e->setElevation(real(t.value)); return true;
        case 39: g.d39 = real(t.value); return true;
        case 10: v.push_back({{real(t.value), 0.0}}); return true;
        case 20: if (!v.empty()) { v.back().point.y = real(t.value); return true; } return false;
        case 40: if (!v.empty()) { v.back().startWidth = real(t.value); return true; } return false;
        case 41: if (!v.empty()) { v.back().endWidth = real(t.value); return true; } return false;
        case 42: if (!v.empty()) { v.back().bulge = real(t.value); return true; } return false;
        default: return g.normal.take(t.code, 210, t.value);
        }
    };
    d.finish = [&g, e] {
        e->setClosed((g.i70 & 1) != 0);
        e->setPlinegen((g.i70 & 128) != 0);
        e->setThickness(g.d39);
        e->setNormal(g.normal.p.asVector());
    };
}

}  // namespace

bool decodeCurve(const std::string& type, EntityGroups& g, EntityDecoder& d) {
    if (type == "LINE") decodeLine(g, d);
    else if (type == "CIRCLE" || type == "ARC") decodeCircleOrArc(type == "ARC", g, d);
    else if (type == "POINT") decodePoint(g, d);
    else if (type == "LWPOLYLINE") decodePolyline(g, d);
    else return false;
    return true;
}

}  // namespace hostdxf::reading
