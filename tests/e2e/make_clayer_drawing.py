#!/usr/bin/python3
"""Writes the drawing the move-to-current-layer scripts run on.

Layers: "0", "ANNO", "PARTS", "LOCKED" (locked) and "CURRENT" (the current layer).
Model space, left to right: a line, a text, an mtext, a linear dimension, a block
reference with two attributes, then on the locked layer a text, a dimension and a
reference. Usage: make_clayer_drawing.py OUT.dwg
"""
import sys

import ezdxf


def main(out):
    doc = ezdxf.new("R2018", setup=True)
    for name in ("ANNO", "PARTS", "CURRENT"):
        doc.layers.add(name)
    doc.layers.add("LOCKED").lock()
    doc.header["$CLAYER"] = "CURRENT"

    tag = doc.blocks.new("TAG")
    tag.add_circle((0, 0), 1, dxfattribs={"layer": "0"})
    tag.add_attdef("NUMBER", (0, -2), dxfattribs={"height": 0.5, "prompt": "Number"})
    tag.add_attdef("OWNER", (0, -3), dxfattribs={"height": 0.5, "prompt": "Owner"})

    msp = doc.modelspace()
    msp.add_line((0, 0), (10, 0), dxfattribs={"layer": "PARTS"})
    msp.add_text("Hello", dxfattribs={"layer": "ANNO", "height": 1, "insert": (12, 0)})
    msp.add_mtext("Notes", dxfattribs={"layer": "ANNO", "char_height": 1, "insert": (20, 1)})
    msp.add_linear_dim(base=(30, 3), p1=(30, 0), p2=(36, 0), dxfattribs={"layer": "ANNO"}).render()
    ref = msp.add_blockref("TAG", (45, 0), dxfattribs={"layer": "PARTS"})
    ref.add_auto_attribs({"NUMBER": "7", "OWNER": "Ann"})
    for att in ref.attribs:
        att.dxf.layer = "PARTS"

    msp.add_text("Fixed", dxfattribs={"layer": "LOCKED", "height": 1, "insert": (12, 10)})
    msp.add_linear_dim(base=(30, 13), p1=(30, 10), p2=(36, 10), dxfattribs={"layer": "LOCKED"}).render()
    msp.add_blockref("TAG", (45, 10), dxfattribs={"layer": "LOCKED"})
    doc.saveas(out)


if __name__ == "__main__":
    main(sys.argv[1])
