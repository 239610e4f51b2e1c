#!/usr/bin/python3
"""End to end: the README's main job, run as a new user runs it from the repository's
folder: it must end well, show the placed field and the inserted block's attributes, save
a drawing that ezdxf reads with the field in it, and leave its picture.

Usage: sample_job_test.py HOST SOURCE_DIR WORKDIR
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "interop"))
from field_objects import field_codes  # noqa: E402


def main(host, source, work):
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    saved = os.path.join(work, "sample.dwg")
    picture = "/tmp/marvolt-sample.png"
    if os.path.exists(picture):
        os.remove(picture)
    env = dict(os.environ, TMPDIR=work + "/", XDG_CONFIG_HOME=os.path.join(work, "config"))
    run = subprocess.run([host, "--open", "samples/annotations.dwg", "--script", "samples/to-current-layer.scr",
                          "--save", saved], cwd=source, env=env, capture_output=True, text=True)
    failures = []
    if run.returncode != 0:
        failures.append(f"exit status {run.returncode}: {run.stderr.strip()}")
    for shown in ('@ view text "Harbour Office"', '@ view text "P-100"', "Done Caching samples/library.dwg"):
        if shown not in run.stdout:
            failures.append(f"the transcript lacks {shown}")
    if not os.path.exists(picture) or os.path.getsize(picture) == 0:
        failures.append("no picture of the main window")
    if os.path.exists(saved):
        if not any("\\AcVar CustomDP.Project" in c for c in field_codes(saved).values()):
            failures.append("the saved drawing holds no field of the property Project")
    else:
        failures.append("nothing was saved")
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
