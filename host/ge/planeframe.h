#pragma once

#include "matrix3d.h"

#include <cmath>

// The object coordinate system of a planar entity: the frame that the drawing format
// derives from the entity's normal alone (the "arbitrary axis" rule), so that 2D data
// (centres, angles, vertices) is stored in the entity's own plane.
struct AcGePlaneFrame {
    AcGeVector3d xAxis{AcGeVector3d::kXAxis};
    AcGeVector3d yAxis{AcGeVector3d::kYAxis};
    AcGeVector3d normal{AcGeVector3d::kZAxis};

    static AcGePlaneFrame fromNormal(const AcGeVector3d& n) {
        AcGePlaneFrame f;
        f.normal = n.isZeroLength() ? AcGeVector3d::kZAxis : n.normal();
        f.xAxis = f.normal.perpVector();
        f.yAxis = f.normal.crossProduct(f.xAxis).normal();
        return f;
    }
    AcGePoint3d toWorld(const AcGePoint3d& p) const {
        return AcGePoint3d::kOrigin + xAxis * p.x + yAxis * p.y + normal * p.z;
    }
    AcGePoint3d toPlane(const AcGePoint3d& p) const {
        const AcGeVector3d v = p.asVector();
        return {v.dotProduct(xAxis), v.dotProduct(yAxis), v.dotProduct(normal)};
    }
    // The in-plane direction at angle a from the frame's X axis.
    AcGeVector3d direction(double angle) const { return xAxis * std::cos(angle) + yAxis * std::sin(angle); }
    // Angle of an in-plane vector measured from the X axis about the normal.
    double angleOf(const AcGeVector3d& v) const { return std::atan2(v.dotProduct(yAxis), v.dotProduct(xAxis)); }
};

// How a transformation acts on one plane: the new frame, the turn of the X axis
// within it and the scale. uniform is false when the plane is scaled unevenly or sheared.
struct AcGePlaneTransform {
    AcGePlaneFrame frame;
    double rotation = 0.0;
    double scale = 1.0;
    bool uniform = true;

    static AcGePlaneTransform of(const AcGeMatrix3d& m, const AcGePlaneFrame& from) {
        AcGePlaneTransform t;
        const AcGeVector3d x = m * from.xAxis;
        const AcGeVector3d y = m * from.yAxis;
        const AcGeVector3d n = x.crossProduct(y);
        t.frame = AcGePlaneFrame::fromNormal(n.isZeroLength() ? m * from.normal : n);
        t.rotation = t.frame.angleOf(x);
        t.scale = x.length();
        const double tol = 1e-9 * std::max(1.0, t.scale);
        t.uniform = std::abs(y.length() - t.scale) <= tol && std::abs(x.dotProduct(y)) <= tol * std::max(1.0, t.scale);
        return t;
    }
};
