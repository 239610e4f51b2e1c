#!/usr/bin/python3
"""End to end: the palette worked through "@ui" lines.

Each script in palette/ runs marvolt-host on a sample drawing with a settings folder of
its own, and its transcript is compared whole with the golden file beside it. Scripts
named NAME_a, NAME_b run one after the other on one settings folder, as two sessions of
one user. A "@ui" line the host cannot act on ends the run with exit status 3.

Usage: palette_test.py HOST DRAWING WORKDIR
"""
import glob
import os
import shutil
import subprocess
import sys

from golden import report, run_script, sessions

HERE = os.path.dirname(os.path.abspath(__file__))



def bad_lines(host, drawing, work):
    """Lines that cannot act: each ends the run with 3 and a message naming the line."""
    failures = []
    cases = [
        ("@ui answer OK", "no message box, file dialog or dialog is open"),
        ("@ui click 999:1", "no window of template 999 is open"),
        ("@ui wiggle main", "no @ui action is named wiggle"),
        ('@ui type 103:102 "x', "a quote is not closed"),
        # A letter whose low byte is a digit is no row number.
        ("@ui tab 103:102 #\u0131", "no item"),
    ]
    for line, why in cases:
        script = os.path.join(work, "bad.scr")
        with open(script, "w", encoding="utf-8") as f:
            f.write("marvolt\n" + line + "\n")
        run = subprocess.run([host, "--open", drawing, "--script", script], capture_output=True, text=True,
                             env=dict(os.environ, TMPDIR=work, XDG_CONFIG_HOME=os.path.join(work, "bad.config")))
        if run.returncode != 3 or f"bad.scr:2:" not in run.stderr or why not in run.stderr:
            failures.append(f"{line!r}: exit {run.returncode}, {run.stderr.strip()!r}")
    return len(cases), failures


def main():
    host, drawing, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    failures = []
    cases = 0
    for key, scripts in sessions(glob.glob(os.path.join(HERE, "palette", "*.scr"))).items():
        config = os.path.join(work, key + ".config")
        for script in scripts:
            cases += 1
            saved = os.path.join(work, os.path.basename(script) + ".dwg")
            _, problems = run_script(host, drawing, script, saved, work, config)
            failures += [f"{os.path.basename(script)}: {p}" for p in problems]
    n, problems = bad_lines(host, drawing, work)
    return report(cases + n, failures + problems)


if __name__ == "__main__":
    sys.exit(main())
