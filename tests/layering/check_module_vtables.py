#!/usr/bin/python3
"""The module must not carry its own copy of a host class's virtual table.

A host class whose virtual functions are all inline gets its table emitted into every
library that makes one; the module, which exports nothing, would keep a private copy.
Database objects the module makes outlive it once they are in a drawing: after the
module is unloaded, their table is gone and deleting them crashes. Such a class needs
one virtual function defined in the host.

Usage: check_module_vtables.py MODULE_LIBRARY
"""
import re
import subprocess
import sys


def main(library):
    listing = subprocess.run(["nm", "-C", "--defined-only", library], capture_output=True, text=True, check=True).stdout
    own = sorted(set(re.findall(r"\bvtable for (Ac\w+)", listing)))
    for name in own:
        print(f"{library} defines its own virtual table of the host class {name}")
    return 1 if own else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
