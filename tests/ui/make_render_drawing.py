#!/usr/bin/python3
"""Write the drawing the renderer is checked on: one of every entity kind the host reads.

Usage: make_render_drawing.py OUT.dxf

Written by ezdxf, an independent DXF implementation, so the renderer sees entities as
another program stores them (hatch boundaries and patterns, old-style polylines,
dimension geometry blocks, MText codes). Each kind sits in its own cell of a 50-unit
grid; the test knows the cells by these numbers.
"""

import math
import sys

import ezdxf
from ezdxf.enums import TextEntityAlignment


def cell(col, row):
    return col * 50.0, row * 50.0


def main(out):
    doc = ezdxf.new("R2018", setup=True)
    msp = doc.modelspace()
    doc.layers.add("Red", color=1)
    doc.layers.add("Frozen", color=2).freeze()
    doc.layers.add("Off", color=3).off()

    # Row 0: curves.
    x, y = cell(0, 0)
    msp.add_line((x, y), (x + 40, y + 40), dxfattribs={"layer": "Red"})
    x, y = cell(1, 0)
    msp.add_circle((x + 20, y + 20), 15)
    msp.add_arc((x + 20, y + 20), 8, 0, 180, dxfattribs={"color": 4})
    x, y = cell(2, 0)
    msp.add_lwpolyline([(x, y, 2, 2, 0), (x + 40, y, 2, 2, 1), (x + 40, y + 40, 0, 0, 0)], format="xyseb")
    x, y = cell(3, 0)
    msp.add_polyline2d([(x, y + 20), (x + 40, y + 20)], dxfattribs={"color": 6}).vertices[0].dxf.bulge = 1.0
    x, y = cell(4, 0)
    msp.add_spline([(x, y), (x + 10, y + 30), (x + 30, y + 10), (x + 40, y + 40)])
    x, y = cell(5, 0)
    msp.add_ellipse((x + 20, y + 20), major_axis=(18, 0), ratio=0.5)

    # Row 1: areas.
    x, y = cell(0, 1)
    solid = msp.add_hatch(color=1)
    solid.paths.add_polyline_path([(x, y), (x + 40, y), (x + 40, y + 40), (x, y + 40)], is_closed=True)
    x, y = cell(1, 1)
    pattern = msp.add_hatch(color=3)
    pattern.set_pattern_fill("ANSI31", scale=0.5)
    edges = pattern.paths.add_edge_path()
    edges.add_line((x, y), (x + 40, y))
    edges.add_arc((x + 20, y), 20, 0, 180)
    x, y = cell(2, 1)
    msp.add_solid([(x, y), (x + 40, y), (x, y + 40), (x + 40, y + 40)], dxfattribs={"color": 5})
    x, y = cell(3, 1)
    msp.add_3dface([(x, y, 0), (x + 40, y, 0), (x + 40, y + 40, 0), (x, y + 40, 0)])
    x, y = cell(4, 1)
    msp.add_point((x + 20, y + 20))
    msp.add_line((x, y), (x + 40, y + 40), dxfattribs={"layer": "Frozen"})
    msp.add_line((x, y + 40), (x + 40, y), dxfattribs={"layer": "Off"})

    # Row 2: texts.
    x, y = cell(0, 2)
    msp.add_text("Plain 45%%d", height=5).set_placement((x, y + 20))
    x, y = cell(1, 2)
    msp.add_text("MID", height=8, rotation=30).set_placement((x + 20, y + 20), align=TextEntityAlignment.MIDDLE_CENTER)
    x, y = cell(2, 2)
    msp.add_mtext("{\\fArial|b1;Bold}\\PNext\\~line \\C1;red \\L%%c20\\l", dxfattribs={"char_height": 4}).set_location(
        (x, y + 40))

    # Row 3: blocks, a dimension, a leader.
    tag = doc.blocks.new("TAG")
    tag.add_circle((0, 0), 5, dxfattribs={"color": 0})
    tag.add_line((-5, 0), (5, 0), dxfattribs={"color": 0})
    tag.add_attdef("NO", (0, -10), dxfattribs={"height": 3})
    x, y = cell(0, 3)
    ref = msp.add_blockref("TAG", (x + 20, y + 30), dxfattribs={"color": 1, "rotation": 90, "xscale": 2, "yscale": 2})
    ref.add_auto_attribs({"NO": "A-17"})
    x, y = cell(1, 3)
    grid = msp.add_blockref("TAG", (x + 8, y + 8), dxfattribs={"color": 3})
    grid.grid(size=(2, 2), spacing=(24, 24))
    x, y = cell(2, 3)
    dim = msp.add_linear_dim(base=(x, y + 30), p1=(x, y + 10), p2=(x + 40, y + 10), dxfattribs={"color": 2})
    dim.render()
    x, y = cell(3, 3)
    msp.add_leader([(x, y), (x + 20, y + 30), (x + 40, y + 30)])

    doc.saveas(out)


if __name__ == "__main__":
    main(sys.argv[1])
