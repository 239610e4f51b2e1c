#!/usr/bin/python3
"""End to end: the Field Manager page worked through "@ui" lines only, as a person would.

Each script in fieldmanager/ runs marvolt-host on the sample drawing with a folder of its
own; its transcript is compared whole with the golden file beside it. "{WORK}" in a
script stands for that folder (screenshots go there).

Usage: fieldmanager_test.py HOST DRAWING WORKDIR
"""
import glob
import os
import shutil
import sys

from golden import report, run_script

HERE = os.path.dirname(os.path.abspath(__file__))


def main(host, drawing, work):
    host, drawing, work = (os.path.abspath(p) for p in (host, drawing, work))
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    failures = []
    scripts = sorted(glob.glob(os.path.join(HERE, "fieldmanager", "*.scr")))
    for script in scripts:
        name = os.path.splitext(os.path.basename(script))[0]
        folder = os.path.join(work, name)
        os.makedirs(folder)
        local = os.path.join(folder, name + ".scr")
        with open(script, encoding="utf-8") as f:
            text = f.read().replace("{WORK}", folder)
        with open(local, "w", encoding="utf-8") as f:
            f.write(text)
        shutil.copyfile(os.path.splitext(script)[0] + ".expected", os.path.join(folder, name + ".expected"))
        _, problems = run_script(host, drawing, local, os.path.join(folder, name + ".saved.dwg"), folder)
        failures += [f"{name}: {p}" for p in problems]
    shot = os.path.join(work, "inplace_edit", "fieldmanager.png")
    if not os.path.exists(shot) or os.path.getsize(shot) == 0:
        failures.append("inplace_edit: no picture of the page was saved")
    return report(len(scripts), failures)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
