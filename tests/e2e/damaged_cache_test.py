#!/usr/bin/python3
"""End to end: the Block Manager with an "iconcache.db" that is not a database. The file
is set aside under "iconcache.db.damaged-YYYYMMDD-HHMMSS" with its bytes, one line says
so, and a new cache is made: a library selected twice is read and cached once and then
shown from the cache, read back with the sqlite3 program. "FieldDb.db", which holds the
user's own sets, is never set aside: its error is reported and its bytes stay.

Usage: damaged_cache_test.py HOST DRAWING LIBRARY WORKDIR
"""
import os
import random
import re
import shutil
import subprocess
import sys

SET_ASIDE = re.compile(r"^The icon cache could not be read as a database: it is set aside as (.*), and a new one is "
                       r"made; the block lists and the history list it held are gone\.$")
DAMAGED_NAME = re.compile(r"^iconcache\.db\.damaged-\d{8}-\d{6}$")

SELECT_TWICE = """marvolt
@ui show 104:118
@ui type 104:117 "lib/library.dwg"
@ui select 104:118 "lib/library.dwg"
@ui show 104:119
"""

FIELD_DATABASE = """marvolt
@ui tab 103:102 " Field Manager "
@ui choose 105:125 "Get From Database"
@ui answer Cancel
"""


def random_bytes(folder, name):
    data = random.Random(23).randbytes(8192)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
    return data


def truncated_cache(folder, host):
    """A cache the host made, holding the library and a history entry, cut short."""
    run_host(host, folder, 'marvolt\n@ui type 104:117 "lib/library.dwg"\n')
    path = os.path.join(folder, "iconcache.db")
    with open(path, "rb") as f:
        data = f.read()[:1000]
    with open(path, "wb") as f:
        f.write(data)
    return data


def run_host(host, folder, script):
    env = dict(os.environ, TMPDIR=folder + "/", XDG_CONFIG_HOME=os.path.join(folder, "config"),
               QT_QPA_PLATFORM="offscreen")
    return subprocess.run([host, "drawing.dwg", "--script", "-"], input=script, capture_output=True, text=True,
                          cwd=folder, env=env)


def sqlite3(folder, sql):
    return subprocess.run(["sqlite3", os.path.join(folder, "iconcache.db"), sql], capture_output=True,
                          text=True).stdout.strip()


def check_cache_rebuilt(folder, original, run):
    lines = run.stdout.splitlines()
    failures = []
    said = [m for m in (SET_ASIDE.match(line) for line in lines) if m]
    aside = [n for n in os.listdir(folder) if n.startswith("iconcache.db.")]
    if len(said) != 1 or len(aside) != 1:
        return [f"{len(said)} lines say the cache was set aside, {len(aside)} files were: {aside}"]
    if said[0].group(1) != os.path.join(folder, aside[0]) or not DAMAGED_NAME.match(aside[0]):
        failures.append(f"the line names {said[0].group(1)}, the file set aside is {aside[0]}")
    with open(os.path.join(folder, aside[0]), "rb") as f:
        if f.read() != original:
            failures.append("the file set aside does not hold the damaged bytes")
    errors = [line for line in lines if line.startswith("Error ")]
    if errors:
        failures.append(f"storage errors: {errors}")
    # The history it held is gone: the page starts with none.
    if "@ 104:118 rows=0" not in lines:
        failures.append("the history list is not empty")
    # Read and cached at the first selection, shown from the cache at the second.
    if lines.count("Done Caching lib/library.dwg") != 1:
        failures.append(f"cached {lines.count('Done Caching lib/library.dwg')} times, expected once")
    if "@ 104:119 rows=4" not in lines:
        failures.append("the second selection does not show the library's four blocks")
    if sqlite3(folder, "SELECT count(*) FROM 'lib/librarydwg';") != "4":
        failures.append("the new cache does not hold the library's four blocks")
    stamp = sqlite3(folder, "SELECT cachedate FROM CacheDateStamp WHERE name='lib/librarydwg';")
    if stamp != str(int(os.stat(os.path.join(folder, "lib", "library.dwg")).st_mtime)):
        failures.append(f"the new cache's date stamp is {stamp!r}")
    return failures


def check_field_database_kept(folder, original, run):
    failures = []
    with open(os.path.join(folder, "FieldDb.db"), "rb") as f:
        if f.read() != original:
            failures.append("FieldDb.db was changed")
    if [n for n in os.listdir(folder) if n.startswith("FieldDb.db.")]:
        failures.append("FieldDb.db was set aside")
    if not any(line.startswith("Error ") and "file is not a database SQliteUtils::listTables" in line
               for line in run.stdout.splitlines()):
        failures.append("the field database's error is not reported")
    if "set aside" in run.stdout:
        failures.append("a file was said to be set aside")
    return failures


# name, what the folder holds before the run (answers the damaged bytes), script, check
CASES = [
    ("an icon cache of random bytes", lambda folder, host: random_bytes(folder, "iconcache.db"), SELECT_TWICE,
     check_cache_rebuilt),
    ("a truncated copy of an icon cache", truncated_cache, SELECT_TWICE, check_cache_rebuilt),
    ("a field database of random bytes", lambda folder, host: random_bytes(folder, "FieldDb.db"), FIELD_DATABASE,
     check_field_database_kept),
]


def main(host, drawing, library, work):
    host = os.path.abspath(host)
    shutil.rmtree(work, ignore_errors=True)
    failures = []
    for i, (name, prepare, script, check) in enumerate(CASES):
        folder = os.path.join(os.path.abspath(work), f"case{i}")
        os.makedirs(os.path.join(folder, "lib"))
        shutil.copyfile(library, os.path.join(folder, "lib", "library.dwg"))
        shutil.copyfile(drawing, os.path.join(folder, "drawing.dwg"))
        original = prepare(folder, host)
        run = run_host(host, folder, script)
        if run.returncode != 0:
            failures.append(f"{name}: exit status {run.returncode}: {run.stderr.strip()}")
            continue
        failures += [f"{name}: {f}" for f in check(folder, original, run)]
    for f in failures:
        print(f)
    print(f"{len(CASES)} cases, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
