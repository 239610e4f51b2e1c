#!/usr/bin/python3
"""Writes the drawings the scripts of the drawing commands run on.

groups.dwg  four groups: "EMPTY" and an unnamed one without members, "KEPT" and an
            unnamed one with a line each.
burst.dwg   "TAG" references (a line, a polyline, a nested "INNER" reference, three
            attribute definitions, one invisible) at (10,0) turned by 90 degrees, on
            the locked layer at (10,20); a "PLAIN" reference without attributes at
            (30,0); an unevenly scaled "ROUND" reference (a circle, which bursts into
            an ellipse) with an attribute at (40,0); a free line at (0,-10).
ncopy.dwg   a line two levels deep ("OUTER" at (20,0), turned by 90 degrees, scale 2,
            holding "MID", holding "LEAF"); "LEAF" references scaled 1, 2, 3 at (40,0)
            and, turned by 90 degrees, at (60,0); a "TAGGED" reference with the
            attribute "42" at (80,0); a line on the locked layer inside a "LOCKEDLEAF"
            reference at (0,40).
flip.dwg    polylines over (0,0)-(10,2) and (20,0)-(30,2), a slanted 3D line, an arc,
            a text, a linear dimension, a line on the locked layer; no groups.
spline.dwg  an open cubic spline whose control points have one decimal each.
hatches.dwg "HATCHED" (a patterned hatch with a polyline path with arcs both ways, a
            solid hatch of line, arc and elliptical edges, an old-style 2D polyline with
            widths and an arc, an old-style 3D polyline) at (100,0) turned by 30
            degrees, scale 2; "STRETCHY" (a hatch with arcs in both kinds of path, a 3D
            polyline) at (200,0) scaled 2 along X only; "SOLIDBOX" (a 3D solid, which
            this host cannot transform) with an attribute at (250,0); a patterned hatch
            over (300,0)-(304,3) and an old-style 2D polyline from (320,0) to (324,3).

Usage: make_command_drawings.py OUTDIR
"""
import os
import sys

import ezdxf


def new_drawing():
    doc = ezdxf.new("R2018", setup=True)
    doc.layers.add("PARTS")
    doc.layers.add("ATTS")
    doc.layers.add("LOCKED").lock()
    return doc


def groups(path):
    doc = new_drawing()
    msp = doc.modelspace()
    kept = msp.add_line((0, 0), (1, 0))
    unnamed_kept = msp.add_line((0, 1), (1, 1))
    doc.groups.new("EMPTY")
    doc.groups.new()
    doc.groups.new("KEPT").set_data([kept])
    doc.groups.new().set_data([unnamed_kept])
    doc.saveas(path)


def burst(path):
    doc = new_drawing()
    doc.styles.new("NARROW", dxfattribs={"font": "arial.ttf", "width": 0.8})
    inner = doc.blocks.new("INNER")
    inner.add_circle((0, 0), 0.5)
    tag = doc.blocks.new("TAG")
    tag.add_line((0, 0), (4, 0), dxfattribs={"layer": "PARTS"})
    tag.add_lwpolyline([(0, 1), (4, 1), (4, 2)], dxfattribs={"layer": "PARTS"})
    tag.add_blockref("INNER", (2, 1))
    tag.add_attdef("NUMBER", (0, -2), "0", dxfattribs={"height": 0.5, "prompt": "Number"})
    tag.add_attdef("OWNER", (0, -3), "nobody", dxfattribs={"height": 0.5, "style": "NARROW"})
    tag.add_attdef("SECRET", (0, -4), "none", dxfattribs={"height": 0.5, "flags": 1})
    plain = doc.blocks.new("PLAIN")
    plain.add_line((0, 0), (2, 2))
    round_ = doc.blocks.new("ROUND")
    round_.add_circle((0, 0), 1)
    round_.add_attdef("SIZE", (0, -2), "1", dxfattribs={"height": 0.5})

    msp = doc.modelspace()
    msp.add_line((0, -10), (5, -10))
    ref = msp.add_blockref("TAG", (10, 0), dxfattribs={"layer": "PARTS", "rotation": 90})
    ref.add_auto_attribs({"NUMBER": "7", "OWNER": "Ann", "SECRET": "hidden"})
    looks = {"NUMBER": ("ATTS", 1), "OWNER": ("PARTS", 3), "SECRET": ("ATTS", 5)}
    for att in ref.attribs:
        att.dxf.layer, att.dxf.color = looks[att.dxf.tag]
    locked = msp.add_blockref("TAG", (10, 20), dxfattribs={"layer": "LOCKED"})
    locked.add_auto_attribs({"NUMBER": "8", "OWNER": "Bob", "SECRET": "x"})
    msp.add_blockref("PLAIN", (30, 0))
    stretched = msp.add_blockref("ROUND", (40, 0), dxfattribs={"xscale": 1, "yscale": 2})
    stretched.add_auto_attribs({"SIZE": "2"})
    doc.saveas(path)


def patterned_hatch(space, offset=(0, 0)):
    x, y = offset
    hatch = space.add_hatch(color=3)
    hatch.set_pattern_fill("ANSI31", scale=0.5, angle=15)
    hatch.paths.add_polyline_path([(x, y, 0.4), (x + 4, y, 0), (x + 4, y + 3, -0.5), (x, y + 3, 0)], is_closed=True)
    hatch.set_seed_points([(x + 2, y + 1.5)])
    return hatch


def edged_hatch(space):
    hatch = space.add_hatch(color=5)
    path = hatch.paths.add_edge_path()
    path.add_line((0, -3), (4, -3))
    path.add_arc((4, -2), 1, 270, 90)
    path.add_ellipse((2, -1), (2, 0), 0.5, 0, 180)
    path.add_line((0, -1), (0, -3))
    return hatch


def hatches(path):
    doc = new_drawing()
    hatched = doc.blocks.new("HATCHED")
    patterned_hatch(hatched)
    edged_hatch(hatched)
    hatched.add_polyline2d([(6, 0, 0, 0, 0.5), (10, 0, 0.2, 0.2, 0), (10, 3, 0, 0, 0)], format="xyseb")
    hatched.add_polyline3d([(6, -3, 0), (10, -3, 1), (10, -1, 2)])
    stretchy = doc.blocks.new("STRETCHY")
    patterned_hatch(stretchy)
    edged_hatch(stretchy)
    stretchy.add_polyline3d([(6, -3, 0), (10, -3, 1), (10, -1, 2)])
    solidbox = doc.blocks.new("SOLIDBOX")
    solidbox.add_3dsolid()
    solidbox.add_line((0, 0), (1, 1))
    solidbox.add_attdef("SIZE", (0, -2), "1", dxfattribs={"height": 0.5})

    msp = doc.modelspace()
    msp.add_blockref("HATCHED", (100, 0), dxfattribs={"rotation": 30, "xscale": 2, "yscale": 2, "zscale": 2})
    msp.add_blockref("STRETCHY", (200, 0), dxfattribs={"xscale": 2, "yscale": 1, "zscale": 1})
    msp.add_blockref("SOLIDBOX", (250, 0)).add_auto_attribs({"SIZE": "3"})
    patterned_hatch(msp, (300, 0))
    msp.add_polyline2d([(320, 0, 0, 0, 0.5), (324, 0, 0.2, 0.2, 0), (324, 3, 0, 0, 0)], format="xyseb")
    doc.saveas(path)


def ncopy(path):
    doc = new_drawing()
    leaf = doc.blocks.new("LEAF")
    leaf.add_line((0, 0), (2, 0), dxfattribs={"layer": "PARTS", "color": 2})
    mid = doc.blocks.new("MID")
    mid.add_blockref("LEAF", (3, 0))
    outer = doc.blocks.new("OUTER")
    outer.add_blockref("MID", (0, 0))
    tagged = doc.blocks.new("TAGGED")
    tagged.add_circle((0, 3), 1)
    tagged.add_attdef("VALUE", (0, 0), "0", dxfattribs={"height": 1})
    locked_leaf = doc.blocks.new("LOCKEDLEAF")
    locked_leaf.add_line((0, 0), (2, 0), dxfattribs={"layer": "LOCKED"})

    msp = doc.modelspace()
    msp.add_blockref("OUTER", (20, 0), dxfattribs={"rotation": 90, "xscale": 2, "yscale": 2, "zscale": 2})
    msp.add_blockref("LEAF", (40, 0), dxfattribs={"xscale": 1, "yscale": 2, "zscale": 3})
    msp.add_blockref("LEAF", (60, 0), dxfattribs={"rotation": 90, "xscale": 1, "yscale": 2, "zscale": 3})
    ref = msp.add_blockref("TAGGED", (80, 0))
    ref.add_auto_attribs({"VALUE": "42"})
    for att in ref.attribs:
        att.dxf.layer = "ATTS"
    msp.add_blockref("LOCKEDLEAF", (0, 40))
    doc.saveas(path)


def flip(path):
    doc = new_drawing()
    msp = doc.modelspace()
    msp.add_lwpolyline([(0, 0), (10, 0), (10, 2), (0, 1)], close=True)
    msp.add_lwpolyline([(20, 0), (30, 0), (30, 2), (20, 1)], close=True)
    msp.add_line((0, 10, 0), (10, 12, 4))
    msp.add_arc((50, 0), 2, 0, 90)
    msp.add_text("AB", dxfattribs={"height": 1, "insert": (0, 20)})
    msp.add_linear_dim(base=(40, 33), p1=(40, 30), p2=(46, 30)).render()
    msp.add_line((0, 50), (10, 52), dxfattribs={"layer": "LOCKED"})
    doc.saveas(path)


def spline(path):
    doc = new_drawing()
    doc.modelspace().add_open_spline([(0.1, 0.2), (1.3, 2.7), (2.9, 0.4), (4.1, 1.6)], degree=3)
    doc.saveas(path)


def main(out):
    os.makedirs(out, exist_ok=True)
    for make in (groups, burst, ncopy, flip, spline, hatches):
        make(os.path.join(out, make.__name__ + ".dwg"))


if __name__ == "__main__":
    main(sys.argv[1])
