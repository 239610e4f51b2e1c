#!/usr/bin/python3
"""Writes the drawing the drawing-view scripts run on: annotations whose shown text
differs from what the file stores, and annotations the view cannot show yet.

Layers: "0", "ANNO", "OFF" (switched off), "LOCKED" (locked) and "CURRENT" (the
current layer). Model space:

  on "OFF", shown only once moved to the current layer:
    (0,0)    a text "50%%d %%c20 %%p0.1"            shows "50° ⌀20 ±0.1"
    (0,6)    an mtext with a font, colour, underline and a stack
                                                     shows "Bold red under 1/2"
    (0,10)   a linear dimension, 6 long              shows "6"
    (0,20)   a "LABEL" reference, attributes "%%c20" and "Ann" on "OFF" too
  on "ANNO", shown throughout:
    (30,0)   a text "Plain"
    (30,10)  a "NOTE" reference: a line, an mtext "{\\C1;Red} and \\W2;wide",
             a text "%%uUnder%%u", the attributes "%%c12" (size) and "Z9" (invisible)
    (30,20)  a "NOTE" reference on "LOCKED", attributes "%%c14" and "Y8"
  groups: "EMPTY" without members, "KEPT" holding the "Plain" text.

Usage: make_view_drawing.py OUT.dwg
"""
import sys

import ezdxf

MTEXT = "{\\fArial|b1|i0;Bold} {\\C1;red} \\Lunder\\l \\S1/2;"


def main(out):
    doc = ezdxf.new("R2018", setup=True)
    for name in ("ANNO", "CURRENT"):
        doc.layers.add(name)
    doc.layers.add("OFF").off()
    doc.layers.add("LOCKED").lock()
    doc.header["$CLAYER"] = "CURRENT"

    label = doc.blocks.new("LABEL")
    label.add_circle((0, 0), 1)
    label.add_attdef("SIZE", (0, -2), "0", dxfattribs={"height": 0.5})
    label.add_attdef("OWNER", (0, -3), "nobody", dxfattribs={"height": 0.5})

    note = doc.blocks.new("NOTE")
    note.add_line((0, 0), (8, 0))
    note.add_mtext("{\\C1;Red} and \\W2;wide", dxfattribs={"char_height": 0.5, "insert": (0, 2)})
    note.add_text("%%uUnder%%u", dxfattribs={"height": 0.5, "insert": (0, 3)})
    note.add_attdef("SIZE", (0, -1), "0", dxfattribs={"height": 0.5})
    note.add_attdef("CODE", (0, -2), "0", dxfattribs={"height": 0.5, "flags": 1})

    msp = doc.modelspace()
    hidden = {"layer": "OFF"}
    msp.add_text("50%%d %%c20 %%p0.1", dxfattribs={**hidden, "height": 1, "insert": (0, 0)})
    msp.add_mtext(MTEXT, dxfattribs={**hidden, "char_height": 1, "insert": (0, 6)})
    dim = msp.add_linear_dim(base=(0, 13), p1=(0, 10), p2=(6, 10), dimstyle="Standard", dxfattribs=hidden)
    # ezdxf draws the text and arrows on the dimension's own layer; a CAD program draws
    # them on "0", so that they follow the dimension to another layer.
    for e in dim.render().dimension.get_geometry_block():
        if e.dxf.layer == "OFF":
            e.dxf.layer = "0"
    ref = msp.add_blockref("LABEL", (0, 20), dxfattribs=hidden)
    ref.add_auto_attribs({"SIZE": "%%c20", "OWNER": "Ann"})
    for att in ref.attribs:
        att.dxf.layer = "OFF"

    plain = msp.add_text("Plain", dxfattribs={"layer": "ANNO", "height": 1, "insert": (30, 0)})
    msp.add_blockref("NOTE", (30, 10), dxfattribs={"layer": "ANNO"}).add_auto_attribs({"SIZE": "%%c12", "CODE": "Z9"})
    msp.add_blockref("NOTE", (30, 20), dxfattribs={"layer": "LOCKED"}).add_auto_attribs({"SIZE": "%%c14", "CODE": "Y8"})

    doc.groups.new("EMPTY")
    doc.groups.new("KEPT").set_data([plain])
    doc.saveas(out)


if __name__ == "__main__":
    main(sys.argv[1])
