#!/usr/bin/python3
"""Time ezdxf reading a drawing and listing its block names.

Usage: ezdxf_list_blocks.py FILE

Prints {"blocks": count, "seconds": elapsed} as JSON; the time covers
readfile and the listing.  This is the reference figure for our own reader.
Only user blocks count: no anonymous blocks (*U, *D, ...), no model or paper
space layouts, no external references.
"""

import json
import sys
import time

import ezdxf


def user_block_names(doc):
    names = []
    for block in doc.blocks:
        # Layout blocks (*Model_Space, *Paper_Space0) are anonymous too.
        if block.name.startswith("*") or block.block.is_anonymous:
            continue
        if block.block.is_xref or block.block.is_xref_overlay:
            continue
        names.append(block.name)
    return names


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: ezdxf_list_blocks.py FILE")
    started = time.perf_counter()
    doc = ezdxf.readfile(argv[1])
    names = user_block_names(doc)
    elapsed = time.perf_counter() - started
    print(json.dumps({"blocks": len(names), "seconds": round(elapsed, 3)}))


if __name__ == "__main__":
    main(sys.argv)
