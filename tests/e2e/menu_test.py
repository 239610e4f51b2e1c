#!/usr/bin/python3
"""End to end: the module's "Marvolt" menu in the host's menu bar, worked with "@ui menu".

Each script in menu/ runs marvolt-host on a sample drawing, and its transcript is
compared whole with the golden file beside it. Then lines that cannot go through: each
ends the run with its status and a message naming the script line that caused it.

Usage: menu_test.py HOST DRAWING WORKDIR
"""
import glob
import os
import shutil
import subprocess
import sys

from golden import report, run_script

HERE = os.path.dirname(os.path.abspath(__file__))


def run(host, drawing, work, name, lines):
    script = os.path.join(work, name + ".scr")
    with open(script, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    return subprocess.run([host, "--open", drawing, "--script", script], capture_output=True, text=True,
                          env=dict(os.environ, TMPDIR=work, XDG_CONFIG_HOME=os.path.join(work, name + ".config")))


def block_icons(host, drawing, work):
    """"Create Block Icons" runs its command; what the command prints is its own."""
    done = run(host, drawing, work, "icons", ['@ui menu "Marvolt/Create Block Icons"'])
    if done.returncode != 0 or "\nCommand: zelblockicon" not in done.stdout:
        return [f"Create Block Icons: exit {done.returncode}, {done.stdout!r} {done.stderr.strip()!r}"]
    return []


def refused_lines(host, drawing, work):
    """A macro goes where typed input goes, so what typed input cannot do ends the run;
    the message names the "@ui menu" line that typed it."""
    cases = [
        (["@ui menu \"Marvolt/Explode\""], 3, "bad.scr:1: ", "no menu entry Marvolt/Explode"),
        # The command is gone with the module; the menu stays and types its name.
        (["UNLOADMODULE", "@ui menu \"Marvolt/FlipX\""], 2, "bad.scr:2: ", "unknown command \"flipx\""),
        # At a waiting prompt the command name is an answer, and no selection.
        (["zelburst", "@ui menu \"Marvolt/FlipX\""], 3, "bad.scr:2: ", "\"flipx\" is not a selection"),
        # While a file dialog waits, the main window's menus cannot be reached.
        (["@ui menu \"File/Open...\"", "@ui menu \"Marvolt/FlipX\""], 3, "bad.scr:2: ",
         "the main window's menus cannot be used while a modal window is open"),
    ]
    failures = []
    for lines, status, where, why in cases:
        done = run(host, drawing, work, "bad", lines)
        if done.returncode != status or where not in done.stderr or why not in done.stderr:
            failures.append(f"{lines!r}: exit {done.returncode}, {done.stderr.strip()!r}")
    return len(cases), failures


def main():
    host, drawing, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    failures = []
    scripts = sorted(glob.glob(os.path.join(HERE, "menu", "*.scr")))
    for script in scripts:
        saved = os.path.join(work, os.path.basename(script) + ".dwg")
        _, problems = run_script(host, drawing, script, saved, work)
        failures += [f"{os.path.basename(script)}: {p}" for p in problems]
    failures += block_icons(host, drawing, work)
    n, problems = refused_lines(host, drawing, work)
    return report(len(scripts) + 1 + n, failures + problems)


if __name__ == "__main__":
    sys.exit(main())
