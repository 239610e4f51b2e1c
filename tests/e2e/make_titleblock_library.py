#!/usr/bin/python3
"""Makes the title-block library of the attribute end-to-end runs with ezdxf, as a
library from another program holds one: block TITLE with a plain, an invisible, a
constant, a multiline and a constant multiline attribute definition, and an empty
drawing to insert it into.

Usage: make_titleblock_library.py LIBRARY DRAWING
"""
import sys

import ezdxf
from ezdxf.entities import MText

# tag, prompt, default, flags, lines (a multiline definition), position
DEFINITIONS = [
    ("PART", "Part number", "P-0", 0, None, (1, 9)),
    ("SECRET", "Internal note", "none", ezdxf.const.ATTRIB_INVISIBLE, None, (1, 7)),
    ("MAKER", "Maker", "ACME", ezdxf.const.ATTRIB_CONST, None, (21, 9)),
    ("NOTE", "Note", "first", 0, "first\\Psecond", (1, 5)),
    ("STAMP", "Stamp", "fixed", ezdxf.const.ATTRIB_CONST, "fixed\\Pstamp", (21, 5)),
]


def embedded(lines, at):
    mtext = MText.new(dxfattribs={"insert": at, "char_height": 1.0})
    mtext.text = lines
    return mtext


def main(library, drawing):
    doc = ezdxf.new("R2018")
    block = doc.blocks.new("TITLE")
    block.add_lwpolyline([(0, 0), (40, 0), (40, 12), (0, 12)], close=True)
    for tag, prompt, default, flags, lines, at in DEFINITIONS:
        attdef = block.add_attdef(tag, insert=at, text=default,
                                  dxfattribs={"prompt": prompt, "height": 1.0, "flags": flags})
        if lines:
            attdef.embed_mtext(embedded(lines, at))
    doc.saveas(library)
    ezdxf.new("R2018").saveas(drawing)


if __name__ == "__main__":
    main(*sys.argv[1:3])
